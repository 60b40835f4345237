// The console front: the same command line, batch runs and options as the
// Windows program, with boxes on standard error, questions on standard
// input and the report of each run on standard output.
//
// Exit status: 0 normal; 1 when a fatal error closed the program; 2 when a
// batch file could not be opened or stopped early and input then ended.
#include <cstdio>
#include <string>

#include "datafile/binfile.h"
#include "datafile/messages.h"
#include "frame/console/console.h"
#include "frame/frame.h"
#include "frame/report.h"
#include "frame/startup.h"

namespace {

const char kUsage[] =
    "usage: peakgrid [-o N] [-f BATCHFILE] [-d FOLDER] [-m]\n"
    "       peakgrid BATCHFILE\n"
    "  -o N       open option N's parameters at start (1 Read Genescan file,\n"
    "             2 Compute table)\n"
    "  -f FILE    run a batch parameter file\n"
    "  -d FOLDER  start folder (where QOR4DIRP.txt is looked for)\n"
    "  -m         accepted and ignored\n"
    "Without a batch file the Options menu is offered on the terminal.\n";

void say_batch_end(const std::string& path, const BatchOutcome& o) {
    if (o.end == BatchEnd::StoppedEarly)
        std::fprintf(stderr, "peakgrid: batch file %s stopped early at line %d: %s\n",
                     path.c_str(), o.line, o.reason.c_str());
    else if (o.end == BatchEnd::CannotOpen || o.end == BatchEnd::Empty)
        std::fprintf(stderr, "peakgrid: batch file %s: %s\n", path.c_str(), o.reason.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    std::string args;
    for (int i = 1; i < argc; ++i) args += (i > 1 ? " " : "") + std::string(argv[i]);
    if (args == "--version") {
        std::printf("peakgrid %s\n", PEAKGRID_VERSION);
        return 0;
    }
    if (args == "--help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    int status = 0;
    try {
        BatchOutcome o = startup(args.c_str());
        if (o.end != BatchEnd::Completed) {
            say_batch_end(parseargs(args.c_str()).batch_path, o);
            if (o.end != BatchEnd::Closing) status = 2;
        }
        if (!g_frame.closing) menuloop();
    } catch (const RunAbandoned&) {
        abandon_outputs();  // a fatal error during start-up
    }
    if (g_frame.closing) return 1;
    ExitReport();
    return status;
}
