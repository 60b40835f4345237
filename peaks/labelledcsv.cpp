#include "peaks/labelledcsv.h"

#include <cstdio>

#include "base/files.h"
#include "base/reportstream.h"
#include "datafile/messages.h"
#include "datafile/staging.h"
#include "datafile/tabletext.h"
#include "datafile/samplenames.h"

LabelledState g_labelled;

namespace {

std::string limittext(double x) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.17g", x);
    return buf;
}

// One labelled copy, "<table>.csv".
void csvtable(const std::string& table, const TextLabels& labels) {
    // Written under a temporary name, so a failure leaves an earlier copy
    // as it was (abandon_outputs() removes the temporary file).
    const std::string name = table + ".csv";
    const char* const cant_open = "Error: can't open labelled table (csvtable)";
    std::FILE* out = openfile(stageoutput(name, cant_open), "wb");
    if (!out) fatalerror(cant_open);
    bool ok = texttable(table.c_str(), out, labels);
    if (std::fclose(out) != 0) ok = false;
    if (!ok) fatalerror("Error: can't write labelled table (csvtable)");
    commitoutputs();
    reportf("Labelled table: %s\n", name.c_str());
}

}  // namespace

std::vector<std::string> classlabels(const ClassLayout& layout) {
    const std::vector<double> limits = classlimits(layout);
    std::vector<std::string> labels;
    std::size_t base = 0;
    for (int g = 1; g <= layout.groups; ++g) {
        const int n = static_cast<int>(layout.counts[g]);
        for (int k = 1; k <= n; ++k)
            labels.push_back("[" + limittext(limits[base + static_cast<std::size_t>(k) - 1]) + "," +
                             limittext(limits[base + static_cast<std::size_t>(k)]) + ")");
        base += static_cast<std::size_t>(n) + 1;
    }
    return labels;
}

void writelabelledtables(const ClassLayout& layout, const std::vector<int>& keep, const std::string& full_name,
                         const std::string& kept_name) {
    TextLabels labels;
    labels.corner = "Sample";
    labels.rows = readsamplenames(samplenamesfor(full_name));
    labels.cols = classlabels(layout);
    csvtable(full_name, labels);
    std::vector<std::string> all = std::move(labels.cols);
    labels.cols.clear();
    for (int c : keep) labels.cols.push_back(all[static_cast<std::size_t>(c) - 1]);
    csvtable(kept_name, labels);
}
