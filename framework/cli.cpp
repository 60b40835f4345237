#include "framework/cli.h"

#include <algorithm>
#include <cstdio>

// The build gives the version; a build that does not (the fuzz targets)
// still compiles.
#ifndef PEAKGRID_VERSION
#define PEAKGRID_VERSION "(no version)"
#endif

ExitStatus refuseusage(const CliProgram& program, const std::string& why) {
    std::fprintf(stderr, "%s: %s\n%s", program.name, why.c_str(), program.usage);
    return ExitStatus::Refused;
}

std::optional<ExitStatus> readcommandline(int argc, char** argv, int first, const CliProgram& program,
                                          std::string& output, const CliWord& take) {
    const bool info = !program.info_alone || argc - first == 1;
    for (int i = first; i < argc; ++i) {
        const std::string a = argv[i];
        if (info && a == "--help") {
            std::fputs(program.usage, stdout);
            return ExitStatus::Done;
        }
        if (info && a == "--version") {
            std::printf("%s %s\n", program.name, PEAKGRID_VERSION);
            return ExitStatus::Done;
        }
        const bool is_output = program.output && a == "-o";
        if (is_output || std::find(program.valued.begin(), program.valued.end(), a) != program.valued.end()) {
            if (i + 1 >= argc) return refuseusage(program, "missing value after " + a);
            const char* value = argv[++i];
            if (is_output) {
                output = value;
                continue;
            }
            const std::string why = take(a, value);
            if (!why.empty()) return refuseusage(program, why);
            continue;
        }
        const std::string why = take(a, nullptr);
        if (!why.empty()) return refuseusage(program, why);
    }
    return std::nullopt;
}
