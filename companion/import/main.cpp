// peakgrid-import: peak tables exported by today's fragment-analysis
// programs in, one file that "Read Genescan file" reads out.
//
// Exit status, as the console program's: 0 done; 1 the output could not be
// written, or memory ran out (an earlier output file is left as it was); 2
// bad usage, an input that could not be opened, read or recognised, an
// input named twice or as the output, or no peak at all (nothing is
// written).
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "base/files.h"
#include "companion/import/importer.h"
#include "companion/import/output.h"
#include "framework/cli.h"

namespace {

const char kUsage[] =
    "usage: peakgrid-import [-o OUT] [--format F] [--area-bp] FILE...\n"
    "Reads peak tables exported as text and writes one file in the layout that\n"
    "\"Read Genescan file\" reads (to OUT, or to standard output), grouped by sample\n"
    "and, within a sample, by dye.  Inputs are tab, comma or semicolon separated\n"
    "text (UTF-8, or UTF-16 with a byte-order mark).\n"
    "  -o OUT       output file\n"
    "  --format F   genemapper, peakscanner, genemarker or genescan (default: found\n"
    "               from each file's header)\n"
    "  --area-bp    Peak Scanner: take \"Area in BP\" instead of \"Area in Point\"\n"
    "Skipped and counted on standard error: size-standard rows, unsized peaks,\n"
    "unknown dyes, malformed lines.\n";

const CliProgram kProgram{"peakgrid-import", kUsage, {"--format"}};

void summary(const Importer& importer, const std::string& out_name) {
    for (const std::string& line : importsummary(importer, out_name))
        std::fprintf(stderr, "peakgrid-import: %s\n", line.c_str());
}

ExitStatus import(const ImportOptions& options, const std::string& out_path, const std::vector<std::string>& inputs) {
    std::string error;
    if (!out_path.empty()) {
        // The output replaces its file only at the end, but an input named
        // as the output would still be lost.
        for (const std::string& in : inputs)
            if (samefile(out_path, in)) {
                std::fprintf(stderr, "peakgrid-import: %s: is also an input file; nothing written\n", out_path.c_str());
                return ExitStatus::Refused;
            }
        if (!StagedOutput::usable(out_path, error)) {
            std::fprintf(stderr, "peakgrid-import: %s; nothing written\n", error.c_str());
            return ExitStatus::Failed;
        }
    }

    Importer importer(options);
    for (const std::string& in : inputs)
        if (!importer.add(in, error)) {
            std::fprintf(stderr, "peakgrid-import: %s; nothing written\n", error.c_str());
            return ExitStatus::Refused;
        }
    if (importer.peaks() == 0) {
        summary(importer, "");
        std::fprintf(stderr, "peakgrid-import: no peak to write (every data line was skipped); nothing written\n");
        return ExitStatus::Refused;
    }

    StagedOutput staged;
    const bool device = !out_path.empty() && filekind(out_path) == FileKind::device;
    std::FILE* out = stdout;
    if (!out_path.empty()) {
        if (!staged.open(out_path, error)) {
            std::fprintf(stderr, "peakgrid-import: %s; nothing written\n", error.c_str());
            return ExitStatus::Failed;
        }
        out = staged.stream();
    }
    bool ok = importer.write(out);
    if (out_path.empty())
        ok = ok && std::fflush(stdout) == 0;
    else
        ok = ok && staged.commit();
    if (!ok) {
        staged.discard();
        std::fprintf(stderr, "peakgrid-import: %s: cannot write%s\n",
                     out_path.empty() ? "standard output" : out_path.c_str(),
                     out_path.empty() || device ? "" : "; the file is left as it was");
        return ExitStatus::Failed;
    }
    summary(importer, out_path.empty() ? "standard output" : out_path);
    return ExitStatus::Done;
}

}  // namespace

int main(int argc, char** argv) {
    ImportOptions options;
    std::string out_path;
    std::vector<std::string> inputs;
    const std::optional<ExitStatus> end =
        readcommandline(argc, argv, 1, kProgram, out_path, [&](const std::string& a, const char* value) -> std::string {
            if (a == "--format") {
                options.format = formatfromword(value);
                if (options.format == Format::Unknown) return std::string("unknown format ") + value;
            } else if (a == "--area-bp") {
                options.area_bp = true;
            } else if (a.size() > 1 && a[0] == '-') {
                return "unknown option " + a;
            } else {
                inputs.push_back(a);
            }
            return "";
        });
    if (end) return exitcode(*end);
    if (inputs.empty()) return exitcode(refuseusage(kProgram, "no input file"));
    try {
        return exitcode(import(options, out_path, inputs));
    } catch (const std::bad_alloc&) {
        // The staged output was removed on the way out.
        std::fputs("peakgrid-import: not enough memory to hold the peaks; nothing written\n", stderr);
        return exitcode(ExitStatus::Failed);
    }
}
