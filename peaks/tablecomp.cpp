// Option 2, "Compute table".
//
// The input is read once for the four columns it needs; every peak finds its
// class by a binary search in the class layout; the peak counts take one
// pass over the peaks; the per-sample peak limit uses a selection instead of
// a sort.  Only the table that is written (heights or areas) is built.
// Every comparison is made on the same doubles, in the same order where the
// order matters (sums), as a direct reading of the method would make them,
// so the output files are the same byte for byte.
#include "peaks/tablecomp.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "datafile/arrays.h"
#include "datafile/binfile.h"
#include "datafile/messages.h"
#include "datafile/readcols.h"
#include "base/files.h"
#include "base/reportstream.h"
#include "datafile/staging.h"
#include "peaks/classlayout.h"
#include "peaks/classtables.h"
#include "peaks/labelledcsv.h"

namespace {

// Tables beyond this size are refused before anything is allocated: a limit
// of four S x T tables of doubles.  The computation holds one (the reduced
// table is made in place in it), and with row proportions the rows whose
// kept classes sum differently are set aside, at most one more.
const double kMaxTableBytes = sizeof(void*) >= 8 ? 4294967296.0 : 1073741824.0;

// Ends a run that writes nothing, with a notice and a report line.
void stop(const char* notice) {
    infobox(notice);
    reportf("Computation stopped: no output table written\n");
}

void cancelled() {
    infobox("Sorry: computation cancelled, no table written");
    reportf("Computation cancelled: no output table written\n");
}

// The input columns, one DVector of R entries each: the value column is
// the heights or the areas, whichever the table is made of.
struct Columns {
    DVector sample = nullptr, peak = nullptr, length = nullptr, value = nullptr;
    VecGuard g1{sample}, g2{peak}, g3{length}, g4{value};
};

// Lower end: the floor of the smallest length, or the start when it is not
// 0.  Upper end: the ceiling of the largest length.  The scans start from the
// first row and replace only on strictly smaller (larger) values.
void find_ends(ClassLayout& layout, DVector length, int start) {
    const int R = veclen(length);
    double lo = length[1], hi = length[1];
    for (int r = 1; r <= R; ++r) {
        if (length[r] < lo) lo = length[r];
        if (length[r] > hi) hi = length[r];
    }
    layout.lower = start != 0 ? start : std::floor(lo);
    layout.upper = std::ceil(hi);
}

// S is the largest sample number truncated toward zero, never below 0.  A
// row whose sample number is below 1 or not finite belongs to no sample.
void count_samples(DVector sample, double& S, int& skipped) {
    const int R = veclen(sample);
    S = 0.0;
    skipped = 0;
    for (int r = 1; r <= R; ++r) {
        double x = sample[r];
        if (std::isfinite(x) && std::trunc(x) > S) S = std::trunc(x);
        if (!(x >= 1.0) || !std::isfinite(x)) ++skipped;
    }
}

// Number of peaks of each sample: the largest peak number among the rows
// whose sample number is exactly s, and at least 1.
void report_peaks(const Columns& in, int S, int skipped) {
    DVector peaks = nullptr;
    VecGuard pg{peaks};
    vecalloc(peaks, S);
    for (int s = 1; s <= S; ++s) peaks[s] = 1.0;
    const int R = veclen(in.sample);
    for (int r = 1; r <= R; ++r) {
        double x = in.sample[r];
        if (!(x >= 1.0 && x <= S)) continue;
        int s = static_cast<int>(x);
        if (static_cast<double>(s) == x && in.peak[r] > peaks[s]) peaks[s] = in.peak[r];
    }
    reportf("Number of samples = %d\n", S);
    for (int s = 1; s <= S; ++s) reportf("Sample number : %d, number of peaks = %g\n", s, peaks[s]);
    if (skipped > 0) reportf("Rows skipped (sample number below 1 or not finite) = %d\n", skipped);
}

// The table's row count, reported with its column count; false when the
// table is empty (the notice is given).
bool read_rows(const char* path, int& R, int& C) {
    readdims(path, R, C);
    reportf("Input file: %s\n", path);
    reportf("--- Number of rows: %d, columns: %d\n", R, C);
    if (static_cast<long long>(R) * C == 0) {
        checkbin(path);  // the notice, and a fresh report
        return false;
    }
    return true;
}

// The four columns the computation needs: sample, peak, length, and height
// or area.
void read_columns(const char* path, int R, int C, bool heights, Columns& in) {
    vecalloc(in.sample, R);
    vecalloc(in.peak, R);
    vecalloc(in.length, R);
    vecalloc(in.value, R);
    const int cols[] = {1, 2, 4, heights ? 5 : 6};
    DVector into[] = {in.sample, in.peak, in.length, in.value};
    selectcols(path, cols, into, 4);
    // Both value columns are part of a channel table, whichever is read.
    if (C < 6) fatalerror("fatal input-output error numcol>c1 (selectcol");
}

// The sample count S of the input; false when the run stops (the notice is
// given).
bool find_samples(const Columns& in, int& S, int& skipped) {
    double samples = 0.0;
    count_samples(in.sample, samples, skipped);
    if (samples < 1.0) {
        stop("Sorry: no sample number of 1 or more in column 1");
        return false;
    }
    if (samples > kMaxTableCount) {
        stop("Sorry: more than 999999 samples");
        return false;
    }
    S = static_cast<int>(samples);
    return true;
}

// The classes, as the user sets them, reported with the samples' peaks;
// false when the run stops (cancelled, too many classes, a table too large).
bool settle_classes(ClassLayout& layout, const Columns& in, int S, int skipped) {
    if (!askclasses(layout)) {
        cancelled();
        return false;
    }
    reportgroups(layout);
    report_peaks(in, S, skipped);
    if (!countclasses(layout)) {
        stop("Sorry: more than 999999 size classes");
        return false;
    }
    reportclasscounts(layout);
    const int T = layout.total;
    if (static_cast<double>(S) * T * 8.0 * 4.0 > kMaxTableBytes) {
        char text[256];
        std::snprintf(text, sizeof text, "Sorry: a table of %d samples x %d classes needs too much memory", S, T);
        stop(text);
        return false;
    }
    return true;
}

// Fills the full table, keeps each sample's largest peaks, and writes both
// tables under temporary names, put in place together, so a failure leaves
// the earlier pair as it was.
void compute_and_write(const ClassLayout& layout, const Columns& in, int S, bool sum, int rowpct,
                       int maxpeaks, const std::string& full_name, const std::string& kept_name) {
    const int T = layout.total;
    ClassFinder finder = makefinder(layout);
    DMatrix full = nullptr;
    TabGuard fg{full};
    taballoc(full, S, T);
    if (sum)
        fillsum(full, in.sample, in.length, in.value, finder);
    else
        fillmax(full, in.sample, in.length, in.value, finder);
    keeplargest(full, maxpeaks);
    std::vector<int> keep = nonzerocolumns(full);

    const char* const cant_open = "Error: can't open binary output file (ouvecr)";
    WrittenTables w =
        writetables(full, keep, rowpct == 1, stageoutput(full_name, cant_open), stageoutput(kept_name, cant_open));
    commitoutputs();
    reportf("Output file: %s\n", full_name.c_str());
    reportf("--- Number of rows: %d, columns: %d\n", S, T);
    reportf("Output file: %s (columns of zeros are removed) \n", kept_name.c_str());
    reportf("--- Number of rows: %d, columns: %d\n", S, w.kept_cols);
    if (w.zero_full + w.zero_kept > 0)
        reportf("Rows of sum 0 left as zeros (no proportions): %d in the full table, %d in the reduced table\n",
                w.zero_full, w.zero_kept);
    if (g_labelled.csv) writelabelledtables(layout, keep, full_name, kept_name);
}

}  // namespace

void computetable(const char* path, int groups, int heightarea, int summax, int rowpct, int maxpeaks, int start) {
    reportf("Peakgrid: computing table\n");
    if (groups < 1) return stop("Sorry: the number of groups must be at least 1");
    if (groups > kMaxTableCount) return stop("Sorry: the number of groups must be at most 999999");

    const bool heights = heightarea == 1;
    const bool sum = summax == 1;
    const std::string full_name = full_table_name(path, heights, sum);
    const std::string kept_name = kept_table_name(path, heights, sum);
    // An output that is the input (a link) would be replaced by the run.
    if (samefile(path, full_name) || samefile(path, kept_name))
        fatalerror("Error: input file is also an output file (computetable)");

    int R = 0, C = 0;
    if (!read_rows(path, R, C)) return;
    ClassLayout layout(groups);
    Columns in;
    read_columns(path, R, C, heights, in);
    find_ends(layout, in.length, start);
    int S = 0, skipped = 0;
    if (!find_samples(in, S, skipped)) return;
    if (!settle_classes(layout, in, S, skipped)) return;
    compute_and_write(layout, in, S, sum, rowpct, maxpeaks, full_name, kept_name);
}
