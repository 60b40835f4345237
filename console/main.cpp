// The console front: the same command line, batch runs and options as the
// Windows program, with boxes on standard error, questions on standard
// input and the report of each run on standard output.
//
// Exit status (framework/cli.h): Done; Failed when a fatal error closed the
// program; Refused when a batch file could not be opened or stopped early
// and input then ended.
#include <cstdio>
#include <new>
#include <string>

#include "datafile/binfile.h"
#include "datafile/messages.h"
#include "console/console.h"
#include "frame/frame.h"
#include "frame/report.h"
#include "frame/startup.h"
#include "framework/cli.h"
#include "framework/module.h"

namespace {

void say_batch_end(const std::string& path, const BatchOutcome& o) {
    if (o.end == BatchEnd::StoppedEarly)
        std::fprintf(stderr, "%s: batch file %s stopped early at line %d: %s\n", moduletexts().program, path.c_str(),
                     o.line, o.reason.c_str());
    else if (o.end == BatchEnd::CannotOpen || o.end == BatchEnd::Empty)
        std::fprintf(stderr, "%s: batch file %s: %s\n", moduletexts().program, path.c_str(), o.reason.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    // A first word of the module's own is taken off; the rest is parsed as
    // usual.
    int first = argc > 1 && moduleword(argv[1]) ? 2 : 1;
    // --help and --version are answered only as the one word; every other
    // word (-o, -f, -d, a batch file) is the start-up's, which parses the
    // line as the Windows program parses its command line.
    const CliProgram program{moduletexts().program, moduletexts().usage, {}, false, true};
    std::string unused;
    if (std::optional<ExitStatus> end = readcommandline(
            argc, argv, first, program, unused, [](const std::string&, const char*) -> std::string { return ""; }))
        return exitcode(*end);
    std::string args;
    for (int i = first; i < argc; ++i) args += (i > first ? " " : "") + std::string(argv[i]);
    ExitStatus status = ExitStatus::Done;
    try {
        BatchOutcome o = startup(args.c_str());
        if (o.end != BatchEnd::Completed) {
            say_batch_end(parseargs(args.c_str()).batch_path, o);
            if (o.end != BatchEnd::Closing) status = ExitStatus::Refused;
        }
        if (!g_frame.closing) menuloop();
    } catch (const RunAbandoned&) {
        abandon_outputs();  // a fatal error during start-up
    } catch (const std::bad_alloc&) {
        // Out of memory outside a run (runs catch their own).
        try {
            fatalerror(("Error: insufficient memory (" + std::string(moduletexts().program) + ")").c_str());
        } catch (const RunAbandoned&) {
            abandon_outputs();
        }
    }
    if (g_frame.closing) return exitcode(ExitStatus::Failed);
    ExitReport();
    return exitcode(status);
}
