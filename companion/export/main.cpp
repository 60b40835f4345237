// peakgrid-export: a binary table of the suite out as CSV, TSV or an SVG
// heat map, labelled with sample names; or its counts (--info).
//
// The output is written under a temporary name beside it and put in place
// only once it is complete, so a run that fails leaves an earlier output as
// it was.  An output that is the table or its names file is refused, as
// writing it would destroy what is being read.  A device named as the
// output (-o /dev/null, NUL) is written directly.
//
// Exit status: 0 done; 1 the output could not be written or the table could
// not be read (nothing left behind); 2 bad usage, a table or names file that
// cannot be opened or holds no table, or an output that is one of the
// inputs (nothing written).
#include <cstdio>
#include <new>
#include <optional>
#include <string>

#include "companion/export/exporter.h"
#include "framework/cli.h"
#include "datafile/staging.h"

namespace {

const char kUsage[] =
    "usage: peakgrid-export [--csv|--tsv|--svg|--info] [--names FILE] [-o OUT] TABLE\n"
    "Writes a binary table (a channel table, a class table, any table of the\n"
    "suite) as text or as a picture, to OUT or to standard output.\n"
    "  --csv        comma-separated values, RFC 4180 (the default)\n"
    "  --tsv        tab-separated values\n"
    "  --svg        an SVG heat map: rows x columns, with a colour scale\n"
    "  --info       the table's row and column counts and its labels\n"
    "  --names FILE sample-name file for the row labels (default: the one the\n"
    "               suite's naming gives, Chan1_tabSH -> SampleNamesCh1 beside it)\n"
    "  -o OUT       output file\n"
    "Rows are labelled with sample names (or row numbers), columns with their\n"
    "numbers; the heat map labels them with the class bounds found in TABLE.csv\n"
    "when \"peakgrid --csv\" wrote one. Values read back as the same 32-bit\n"
    "floats; not-a-number is an empty cell.\n";

int run(int argc, char** argv) {
    const CliProgram program{"peakgrid-export", kUsage, {"--names"}};
    ExportRequest request;
    std::string mode = "--csv";
    std::string& table = request.table;
    std::optional<ExitStatus> end = readcommandline(
        argc, argv, 1, program, request.out_path, [&](const std::string& a, const char* value) -> std::string {
            if (a == "--names")
                request.names = value;
            else if (a == "--csv" || a == "--tsv" || a == "--svg" || a == "--info")
                mode = a;
            else if (a.size() > 1 && a[0] == '-')
                return "unknown option " + a;
            else if (table.empty())
                table = a;
            else
                return "more than one table";
            return "";
        });
    if (end) return exitcode(*end);
    if (table.empty()) return exitcode(refuseusage(program, "no table"));
    request.mode = mode == "--tsv"    ? ExportMode::tsv
                   : mode == "--svg"  ? ExportMode::svg
                   : mode == "--info" ? ExportMode::info
                                      : ExportMode::csv;
    ExportOutcome done = exportone(request, "peakgrid-export");
    for (const std::string& note : done.notes) std::fprintf(stderr, "peakgrid-export: %s\n", note.c_str());
    if (!done.error.empty()) std::fprintf(stderr, "peakgrid-export: %s\n", done.error.c_str());
    return done.status;
}

}  // namespace

int main(int argc, char** argv) {
    // Memory runs out only for huge names files or tables; what was staged
    // goes, and the earlier output stays.
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc&) {
        discardoutputs();
        std::fprintf(stderr, "peakgrid-export: not enough memory; nothing written\n");
        return exitcode(ExitStatus::Failed);
    }
}
