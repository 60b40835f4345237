// "Import peak table": the import program's reading as an option.  The
// output, <input base>.gs.txt beside the input, is what "Read Genescan file"
// reads; the report gives the format found and what was kept and skipped.
#include <string>

#include "base/files.h"
#include "base/reportstream.h"
#include "companion/import/importer.h"
#include "datafile/messages.h"
#include "datafile/staging.h"
#include "peakprep/options.h"

namespace {

const char kCantOpen[] = "Error: can't open output file (Import peak table)";

// dir/run1.txt -> dir/run1.gs.txt: the name in the input's own folder text
// (whatever its separators), without its extension; a name without one
// gets ".gs.txt" added.
std::string output_name(const std::string& input) {
    std::string name = basenameofpath(input);
    std::string folder = input.substr(0, input.size() - name.size());
    std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return folder + name + ".gs.txt";
}

// The reason the import stops, as a notice; nothing is written.
void refuse(const std::string& why) {
    reportf("%s; nothing written\n", why.c_str());
    infobox(("Sorry: " + why).substr(0, 255).c_str());
    discardoutputs();
}

}  // namespace

void importpeaktable(const std::string& input, bool area_in_bp) {
    reportf("Peakprep: importing a peak table\n");
    reportf("Input file: %s\n", input.c_str());
    const std::string output = output_name(input);
    if (samefile(input, output)) fatalerror("Error: input file is also an output file (Import peak table)");
    const std::string temporary = stageoutput(output, kCantOpen);

    ImportOptions options;
    options.area_bp = area_in_bp;
    Importer importer(options);
    std::string error;
    if (!importer.add(input, error)) return refuse(error);
    if (importer.peaks() == 0) {
        for (const std::string& line : importsummary(importer, "")) reportf("%s\n", line.c_str());
        return refuse("no peak to write (every data line was skipped)");
    }
    // Text mode, as the import program writes it: CR LF on Windows.
    std::FILE* out = openfile(temporary, "w");
    if (!out) fatalerror(kCantOpen);
    bool ok = importer.write(out);
    if (std::fclose(out) != 0) ok = false;
    if (!ok) fatalerror("Error: can't write output file (Import peak table)");
    commitoutputs();
    for (const std::string& line : importsummary(importer, output)) reportf("%s\n", line.c_str());
    reportf("Output file : %s\n", output.c_str());
}
