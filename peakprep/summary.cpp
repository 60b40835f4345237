// "Profile summary": a class table (a row per sample) as a presence/absence
// table and a table of per-sample diversity figures.
#include <cmath>
#include <string>
#include <vector>

#include "base/files.h"
#include "base/reportstream.h"
#include "datafile/messages.h"
#include "datafile/samplenames.h"
#include "datafile/staging.h"
#include "peakprep/options.h"
#include "peakprep/profiles.h"
#include "peakprep/summary_figures.h"

namespace {

const int kFigures = 6;

std::string figuretext(double v) { return std::isnan(v) ? std::string("undefined") : valuetext(v); }

}  // namespace

void profilesummary(const std::string& input, double presence_threshold) {
    reportf("Peakprep: profile summary\n");
    const std::string pa_name = input + "_pa";
    const std::string div_name = input + "_div";
    // An output that is the input (a link) would be replaced by the run.
    if (samefile(input, pa_name) || samefile(input, div_name))
        fatalerror("Error: input file is also an output file (profilesummary)");

    FloatTable t;
    if (!readtable(input, t)) return;
    // A class table's rows are samples; a channel table's are peaks, whose
    // rows the names would mislabel.
    const std::string names_file = samplenamesfor(input);
    const std::vector<std::string> names = readsamplenames(names_file);
    if (names.empty())
        reportf("Sample names: none found\n");
    else
        reportf("Sample names: %s\n", names_file.c_str());
    reportf("Presence threshold = %g: a cell is present when its value is above 0 and at least the threshold\n",
            presence_threshold);
    reportf(
        "Figures over the present cells: richness S, total, Shannon H' (natural log), Pielou J = H'/ln S,"
        " Simpson 1-D and inverse Simpson 1/D (D = sum of squared shares)\n");

    const std::size_t cols = static_cast<std::size_t>(t.cols);
    std::vector<float> pa(t.values.size());
    std::vector<float> div;
    div.reserve(static_cast<std::size_t>(t.rows) * kFigures);
    long long empty_rows = 0, not_finite = 0;
    for (int r = 0; r < t.rows; ++r) {
        const float* row = &t.values[static_cast<std::size_t>(r) * cols];
        for (std::size_t c = 0; c < cols; ++c) {
            pa[static_cast<std::size_t>(r) * cols + c] = present(row[c], presence_threshold) ? 1.0f : 0.0f;
            if (!std::isfinite(row[c])) ++not_finite;
        }
        const Diversity d = diversity(row, cols, presence_threshold);
        div.insert(div.end(),
                   {static_cast<float>(d.richness), static_cast<float>(d.total), static_cast<float>(d.shannon),
                    static_cast<float>(d.pielou), static_cast<float>(d.simpson), static_cast<float>(d.invsimpson)});
        if (d.richness == 0) ++empty_rows;
        const std::string& name = samplename(names, r + 1);
        reportf(
            "Sample number : %d%s%s%s, richness = %g, total = %s, Shannon H' (ln) = %s, Pielou J = %s,"
            " Simpson 1-D = %s, inverse Simpson 1/D = %s\n",
            r + 1, name.empty() ? "" : " (", name.c_str(), name.empty() ? "" : ")", d.richness,
            figuretext(d.total).c_str(), figuretext(d.shannon).c_str(), figuretext(d.pielou).c_str(),
            figuretext(d.simpson).c_str(), figuretext(d.invsimpson).c_str());
    }
    if (empty_rows) reportf("Rows with no present cell (indices undefined, NaN) = %lld\n", empty_rows);
    if (not_finite) reportf("Cells not finite (never present) = %lld\n", not_finite);

    // Both tables are written under temporary names and put in place
    // together, so a failure leaves the earlier pair as it was.
    const char* const cant_open = "Error: can't open binary output file (ouvecr)";
    const std::string staged_pa = stageoutput(pa_name, cant_open);
    const std::string staged_div = stageoutput(div_name, cant_open);
    writetable(staged_pa, pa, t.rows, t.cols);
    writetable(staged_div, div, t.rows, kFigures);
    commitoutputs();
    reportf("Output file: %s (presence 1, absence 0)\n", pa_name.c_str());
    reportf("--- Number of rows: %d, columns: %d\n", t.rows, t.cols);
    reportf(
        "Output file: %s (columns: richness, total, Shannon H' ln, Pielou J, Simpson 1-D, inverse Simpson 1/D;"
        " undefined as NaN)\n",
        div_name.c_str());
    reportf("--- Number of rows: %d, columns: %d\n", t.rows, kFigures);
}
