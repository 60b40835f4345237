// "Bin by clusters": the peaks of a channel table, pooled from all samples,
// cut into bins whose widths follow the data (peakprep/clusters_cut.h), and
// written as a samples x bins table with a table of the bins.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "base/files.h"
#include "base/reportstream.h"
#include "datafile/binfile.h"
#include "datafile/decimal.h"
#include "datafile/messages.h"
#include "datafile/readrows.h"
#include "datafile/staging.h"
#include "peakprep/clusters_cut.h"
#include "peakprep/filter_steps.h"
#include "peakprep/options.h"
#include "peakprep/profiles.h"

namespace {

const int kBinColumns = 6;
// The samples x bins table is refused beyond the size "Compute table"
// refuses (four tables of doubles within this many bytes), before it is
// given memory.
const double kMaxTableBytes = sizeof(void*) >= 8 ? 4294967296.0 : 1073741824.0;
const char* const kCells[] = {"", "sum", "max.", "mean"};

struct Peak {
    float size;
    int sample;  // from 0
    float value;
};

struct Input {
    std::vector<Peak> peaks;
    int samples = 0;  // the largest sample number
    long long no_sample = 0, not_finite = 0, outside = 0;
};

// The peaks of the table within the size limits, with the value chosen.
Input readpeaks(const ClusterSettings& s) {
    Input in;
    readrows(s.input.c_str(), [&](int, const float* v) {
        const double x = v[0];
        if (!(std::isfinite(x) && x >= 1 && x < kMaxTableCount + 1.0)) {
            ++in.no_sample;
            return;
        }
        const int sample = static_cast<int>(x);
        in.samples = std::max(in.samples, sample);
        const float size = v[3], value = s.use_area ? v[5] : v[4];
        if (!std::isfinite(size) || !std::isfinite(value)) {
            ++in.not_finite;
            return;
        }
        if ((s.min_size > 0 && !atleast(size, s.min_size)) || (s.max_size > 0 && !atmost(size, s.max_size))) {
            ++in.outside;
            return;
        }
        in.peaks.push_back({size, sample - 1, value});
    });
    return in;
}

struct BinFigures {
    float lower = 0, upper = 0;
    double width = 0;  // between the sizes as printed
    long long peaks = 0, samples = 0;
    double label = 0;  // the mean of the samples' mean sizes
    bool kept = false;
    int column = -1;
};

// Per-sample sums of one bin, found again through a stamp of the bin.
struct SampleWork {
    std::vector<int> stamp;
    std::vector<double> sum, max, sizes;
    std::vector<long long> count;
    std::vector<int> touched;
    explicit SampleWork(int samples)
        : stamp(static_cast<std::size_t>(samples), -1),
          sum(stamp.size()),
          max(stamp.size()),
          sizes(stamp.size()),
          count(stamp.size()) {}
};

// The figures of bin k, and the sums of its samples in work.
BinFigures binfigures(const std::vector<Peak>& p, const ClusterBin& bin, int k, SampleWork& w) {
    BinFigures f;
    f.lower = p[bin.first].size;
    f.upper = p[bin.last].size;
    f.width = decimalvalue(valuetext(f.upper).c_str()) - decimalvalue(valuetext(f.lower).c_str());
    f.peaks = static_cast<long long>(bin.last - bin.first + 1);
    w.touched.clear();
    for (std::size_t i = bin.first; i <= bin.last; ++i) {
        const std::size_t s = static_cast<std::size_t>(p[i].sample);
        if (w.stamp[s] != k) {
            w.stamp[s] = k;
            w.sum[s] = w.sizes[s] = 0;
            w.max[s] = p[i].value;
            w.count[s] = 0;
            w.touched.push_back(p[i].sample);
        }
        w.sum[s] += p[i].value;
        w.max[s] = std::max(w.max[s], static_cast<double>(p[i].value));
        w.sizes[s] += p[i].size;
        ++w.count[s];
    }
    double label = 0;
    for (int s : w.touched) label += w.sizes[static_cast<std::size_t>(s)] / w.count[static_cast<std::size_t>(s)];
    f.samples = static_cast<long long>(w.touched.size());
    f.label = label / f.samples;
    return f;
}

// The samples x kept bins table (rows: the sample numbers 1 .. samples),
// and the table of the kept bins.
struct Tables {
    std::vector<float> cells, bins;
    long long zero_rows = 0;  // rows of sum 0 left as zeros when proportions are asked for
};

Tables maketables(const ClusterSettings& s, const std::vector<Peak>& p, const std::vector<ClusterBin>& bins,
                  const std::vector<BinFigures>& figures, int samples, int kept, SampleWork& work) {
    const std::size_t S = static_cast<std::size_t>(samples), K = static_cast<std::size_t>(kept);
    Tables t;
    t.cells.assign(S * K, 0.0f);
    t.bins.reserve(K * kBinColumns);
    std::vector<double> total(S, 0.0);
    for (std::size_t k = 0; k < bins.size(); ++k) {
        const BinFigures& f = figures[k];
        if (!f.kept) continue;
        binfigures(p, bins[k], static_cast<int>(bins.size() + k), work);  // a fresh stamp
        const std::size_t col = static_cast<std::size_t>(f.column);
        for (int i : work.touched) {
            const std::size_t x = static_cast<std::size_t>(i);
            const double v = s.cell == 1 ? work.sum[x] : s.cell == 2 ? work.max[x] : work.sum[x] / work.count[x];
            t.cells[x * K + col] = static_cast<float>(v);
            total[x] += v;
        }
        for (double v : {static_cast<double>(f.lower), static_cast<double>(f.upper), f.width,
                         static_cast<double>(f.peaks), static_cast<double>(f.samples), f.label})
            t.bins.push_back(static_cast<float>(v));
    }
    if (!s.percent) return t;
    for (std::size_t x = 0; x < S; ++x) {
        float* row = &t.cells[x * K];
        if (total[x] == 0) {
            std::fill(row, row + K, 0.0f);  // no proportions: the row stays zeros
            ++t.zero_rows;
            continue;
        }
        for (std::size_t c = 0; c < K; ++c) row[c] = static_cast<float>(row[c] / total[x]);
    }
    return t;
}

std::string settingtext(double v) { return v > 0 ? valuetext(v) : std::string("off"); }

void stopped() { reportf("Binning stopped: no output written\n"); }

void reportbin(const char* what, int number, const BinFigures& f) {
    reportf("%s %d: %s - %s bp, width = %s, peaks = %lld, samples = %lld, peaks per sample = %s, label = %s\n", what,
            number, valuetext(f.lower).c_str(), valuetext(f.upper).c_str(), valuetext(f.width).c_str(), f.peaks,
            f.samples, valuetext(static_cast<double>(f.peaks) / f.samples).c_str(), valuetext(f.label).c_str());
}

}  // namespace

void binbyclusters(const ClusterSettings& s) {
    reportf("Peakprep: bin by clusters\n");
    const std::string table_name = s.input + "_clu";
    const std::string bins_name = s.input + "_clubins";
    // An output that is the input (a link) would be replaced by the run.
    if (samefile(s.input, table_name) || samefile(s.input, bins_name))
        fatalerror("Error: input file is also an output file (binbyclusters)");

    int rows = 0, cols = 0;
    if (!tablesize(s.input, rows, cols)) return;
    if (cols != kChannelColumns) {
        infobox(kNotChannelTable);
        stopped();
        return;
    }
    reportf("Min. bin width (bp): %s; max. bin width (bp): %s; gap tolerance: %s\n", valuetext(s.min_width).c_str(),
            valuetext(s.max_width).c_str(), valuetext(s.tolerance).c_str());
    reportf("Min. size (bp): %s; max. size (bp): %s\n", settingtext(s.min_size).c_str(),
            settingtext(s.max_size).c_str());
    reportf(
        "Cells: %s of the %s of a sample's peaks in a bin; row percentage: %s; min. number of samples per bin: %d\n",
        kCells[s.cell], s.use_area ? "areas" : "heights", s.percent ? "yes (each row divided by its total)" : "no",
        s.min_samples);
    reportf(
        "Bins: runs of peaks of all samples sorted by size, cut at the gaps of at least the tolerance times the"
        " run's largest gap with the fewest repeats (peaks of a sample already in the same part) on both sides"
        " (of these the first when it cuts off fewer peaks on the left than the last on the right, else the last),"
        " until a run is no wider than the max. width and either no wider than the min. width or with no sample"
        " twice\n");

    Input in = readpeaks(s);
    if (in.no_sample)
        reportf("Rows dropped (sample number below 1, above 999999 or not finite) = %lld\n", in.no_sample);
    if (in.not_finite) reportf("Peaks dropped (size or value not finite) = %lld\n", in.not_finite);
    if (in.outside) reportf("Peaks outside the size limits = %lld\n", in.outside);
    if (in.samples == 0) {
        infobox("Sorry: no sample number of 1 or more in column 1");
        stopped();
        return;
    }
    if (in.peaks.empty()) {
        infobox("Sorry: no peak left to bin (size limits, values not finite)");
        stopped();
        return;
    }
    std::vector<Peak>& p = in.peaks;
    std::sort(p.begin(), p.end(), [](const Peak& x, const Peak& y) {
        return x.size < y.size || (x.size == y.size && x.sample < y.sample);
    });
    std::vector<ClusterBin> bins;
    {
        std::vector<ClusterPeak> cp(p.size());
        for (std::size_t i = 0; i < p.size(); ++i) cp[i] = {p[i].size, p[i].sample};
        bins = cutclusters(cp, {s.min_width, s.max_width, s.tolerance});
    }

    SampleWork work(in.samples);
    std::vector<BinFigures> figures(bins.size());
    int kept = 0;
    for (std::size_t k = 0; k < bins.size(); ++k) {
        figures[k] = binfigures(p, bins[k], static_cast<int>(k), work);
        figures[k].kept = figures[k].samples >= s.min_samples;
        if (figures[k].kept) figures[k].column = kept++;
    }
    for (const BinFigures& f : figures)
        if (f.kept) reportbin("Bin", f.column + 1, f);
    int dropped = 0;
    for (const BinFigures& f : figures)
        if (!f.kept) reportbin("Dropped bin (fewer samples than the min.)", ++dropped, f);
    reportf("Peaks binned = %lld; bins = %lld, kept = %d, dropped = %d\n", static_cast<long long>(p.size()),
            static_cast<long long>(bins.size()), kept, dropped);
    if (kept == 0) {
        infobox("Sorry: no bin has peaks of the min. number of samples");
        stopped();
        return;
    }
    if (static_cast<double>(in.samples) * kept * 8.0 * 4.0 > kMaxTableBytes) {
        char text[256];
        std::snprintf(text, sizeof text, "Sorry: a table of %d samples x %d bins needs too much memory", in.samples,
                      kept);
        infobox(text);
        stopped();
        return;
    }

    const Tables t = maketables(s, p, bins, figures, in.samples, kept, work);
    if (t.zero_rows) reportf("Rows of sum 0 left as zeros (no proportions) = %lld\n", t.zero_rows);

    // Both tables are written under temporary names and put in place
    // together, so a failure leaves the earlier pair as it was.
    const char* const cant_open = "Error: can't open binary output file (ouvecr)";
    const std::string staged_table = stageoutput(table_name, cant_open);
    const std::string staged_bins = stageoutput(bins_name, cant_open);
    writetable(staged_table, t.cells, in.samples, kept);
    writetable(staged_bins, t.bins, kept, kBinColumns);
    commitoutputs();
    reportf("Output file: %s (rows: samples 1 to %d; columns: the bins kept)\n", table_name.c_str(), in.samples);
    reportf("--- Number of rows: %d, columns: %d\n", in.samples, kept);
    reportf("Output file: %s (columns: lower size, upper size, width, peaks, samples, label)\n", bins_name.c_str());
    reportf("--- Number of rows: %d, columns: %d\n", kept, kBinColumns);
}
