// "Export table": the export program as an option.  The table is written as
// <input>.csv, <input>.tsv or <input>.svg beside it, with the sample names
// as row labels.
#include <string>

#include "base/reportstream.h"
#include "companion/export/exporter.h"
#include "datafile/messages.h"
#include "peakprep/options.h"

void exporttable(const std::string& input, ExportFormat format, const std::string& names) {
    static const char* const kExtensions[] = {"", ".csv", ".tsv", ".svg"};
    reportf("Peakprep: exporting a table\n");
    reportf("Input file: %s\n", input.c_str());
    ExportRequest request;
    request.table = input;
    request.names = names;
    request.out_path = input + kExtensions[static_cast<int>(format)];
    request.mode = format == ExportFormat::tsv   ? ExportMode::tsv
                   : format == ExportFormat::svg ? ExportMode::svg
                                                 : ExportMode::csv;
    ExportOutcome done = exportone(request, "Export table");
    for (const std::string& note : done.notes) reportf("%s\n", note.c_str());
    if (done.status != 0) {
        if (!done.error.empty()) {
            reportf("%s\n", done.error.c_str());
            infobox(("Sorry: " + done.error).substr(0, 255).c_str());
        }
        return;
    }
    reportf("Output file : %s\n", request.out_path.c_str());
}
