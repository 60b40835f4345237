// The console front: the same command line, batch runs and options as the
// Windows program, with boxes on standard error, questions on standard
// input and the report of each run on standard output.
//
// Exit status: 0 normal; 1 when a fatal error closed the program; 2 when a
// batch file could not be opened or stopped early and input then ended.
#include <cstdio>
#include <new>
#include <string>

#include "datafile/binfile.h"
#include "datafile/messages.h"
#include "frame/console/console.h"
#include "frame/frame.h"
#include "frame/report.h"
#include "frame/startup.h"
#include "peaks/labelledcsv.h"

namespace {

const char kUsage[] =
    "usage: peakgrid [--csv] [-o N] [-f BATCHFILE] [-d FOLDER] [-m]\n"
    "       peakgrid [--csv] BATCHFILE\n"
    "  --csv      (first word only) Compute table also writes <table>.csv\n"
    "             beside each table: sample names and class bounds as labels\n"
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
    // "--csv" as the first word asks for labelled copies of option 2's
    // tables; it is taken off and the rest is parsed as usual.
    int first = 1;
    if (argc > 1 && std::string(argv[1]) == "--csv") {
        g_labelled.csv = true;
        first = 2;
    }
    std::string args;
    for (int i = first; i < argc; ++i) args += (i > first ? " " : "") + std::string(argv[i]);
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
    } catch (const std::bad_alloc&) {
        // Out of memory outside a run (runs catch their own).
        try {
            fatalerror("Error: insufficient memory (peakgrid)");
        } catch (const RunAbandoned&) {
            abandon_outputs();
        }
    }
    if (g_frame.closing) return 1;
    ExitReport();
    return status;
}
