// "Shifted frames": a channel table's peaks binned in fixed windows whose
// start is shifted step by step; the frame whose samples agree best is kept.
//
// peakprep/frames_steps.h holds the steps (shares, windows, the two
// criteria, the choice).  Every frame tried gets a report line and a row of
// the curve table; a sample that the limits or the cutoff empty is flagged,
// keeps a row of zeros and takes no part in the pairs.
#include <cmath>
#include <string>
#include <vector>

#include "base/files.h"
#include "base/reportstream.h"
#include "datafile/binfile.h"
#include "datafile/messages.h"
#include "datafile/readrows.h"
#include "datafile/samplenames.h"
#include "datafile/staging.h"
#include "peakprep/frames_steps.h"
#include "peakprep/options.h"
#include "peakprep/profiles.h"

namespace {

const int kCurveColumns = 6;
const int kMaxFrames = 1000;
const double kMinWidth = 0.001;   // bp
const double kMaxWindows = 1e9;   // windows across the size range
const double kNearMargin = 0.05;  // bp

// The peaks of a channel table, their samples numbered 0.. in the order of
// the sample numbers.
struct Peaks {
    std::vector<FramePeak> peaks;
    std::vector<long long> numbers;  // sample number of each sample
    long long bad_rows = 0;          // rows of no sample
};

Peaks readpeaks(const std::string& input, bool use_area) {
    Peaks r;
    std::vector<int> slot(static_cast<std::size_t>(kMaxTableCount) + 1, -1);
    readrows(input.c_str(), [&](int, const float* v) {
        const double x = v[0];
        if (!(std::isfinite(x) && x >= 1 && x < kMaxTableCount + 1.0)) {
            ++r.bad_rows;
            return;
        }
        slot[static_cast<std::size_t>(x)] = 0;
        r.peaks.push_back({v[3], static_cast<int>(x), use_area ? v[5] : v[4]});
    });
    for (std::size_t n = 0; n < slot.size(); ++n)
        if (slot[n] == 0) {
            slot[n] = static_cast<int>(r.numbers.size());
            r.numbers.push_back(static_cast<long long>(n));
        }
    for (FramePeak& p : r.peaks) p.sample = slot[static_cast<std::size_t>(p.sample)];
    return r;
}

std::string settingtext(double v) { return v > 0 ? valuetext(v) : std::string("off"); }
std::string nametext(const std::vector<std::string>& names, long long n) {
    const std::string& name = samplename(names, n);
    return name.empty() ? std::string() : " (" + name + ")";
}

const char* emptiedwhy(SampleState s) {
    switch (s) {
        case SampleState::zero_total:
            return "total not above 0";
        case SampleState::cut:
            return "every peak below the relative cutoff";
        default:
            return "no usable peak within the size limits";
    }
}

bool refused(const char* why) {
    infobox(why);
    reportf("Shifted frames stopped: no output written\n");
    return true;
}

}  // namespace

void shiftedframes(const FrameSettings& s) {
    reportf("Peakprep: shifted frames\n");
    const std::string frm_name = s.input + "_frm";
    const std::string curve_name = s.input + "_frmcurve";
    // An output that is the input (a link) would be replaced by the run.
    if (samefile(s.input, frm_name) || samefile(s.input, curve_name))
        fatalerror("Error: input file is also an output file (shiftedframes)");

    int rows = 0, cols = 0;
    if (!tablesize(s.input, rows, cols)) return;
    if (cols != kChannelColumns &&
        refused(kNotChannelTable))
        return;
    // Narrower windows than the sizes' rounding, or frames by the million,
    // would only make the run endless.
    if (s.width < kMinWidth && refused("Sorry: Window width (bp) must be at least 0.001")) return;
    const int frames = s.fixed_offset ? 1 : s.frames;
    if (frames > kMaxFrames && refused("Sorry: at most 1000 frames (window width / shift step)")) return;

    const std::string names_file = namesfile(s.input);
    const std::vector<std::string> names = readsamplenames(names_file);
    if (names.empty())
        reportf("Sample names: none found\n");
    else
        reportf("Sample names: %s\n", names_file.c_str());
    if (s.fixed_offset)
        reportf("Window width (bp) = %s; offset (bp) = %s, fixed\n", valuetext(s.width).c_str(),
                valuetext(s.offset).c_str());
    else
        reportf("Window width (bp) = %s; shift step (bp) = %s; frames = %d\n", valuetext(s.width).c_str(),
                valuetext(s.step).c_str(), frames);
    reportf("Min. size (bp): %s; max. size (bp): %s; relative cutoff (%%): %s; on %s\n",
            settingtext(s.min_size).c_str(), settingtext(s.max_size).c_str(), settingtext(s.cutoff).c_str(),
            s.use_area ? "area" : "height");
    reportf(
        "Cells: the sum of a sample's peaks as %% of its total within the size limits (not renormalised"
        " after the cutoff)\n");
    reportf("Criterion: mean %s over the pairs of samples used%s; the highest mean wins, a tie the smallest offset\n",
            s.bray_curtis ? "Bray-Curtis similarity" : "Pearson r",
            s.bray_curtis ? "" : " (a pair with a profile the same in every class has no r: left out and counted)");

    Peaks in = readpeaks(s.input, s.use_area);
    if (in.bad_rows) reportf("Rows dropped (sample number below 1, above 999999 or not finite) = %lld\n", in.bad_rows);
    if (in.numbers.empty() && refused("Sorry: no sample number of 1 or more in column 1")) return;
    const int samples = static_cast<int>(in.numbers.size());
    FramePrep prep = prepareframes(in.peaks, samples, s.min_size, s.max_size, s.cutoff);
    if (prep.bad_value) reportf("Peaks left out (size or value not finite, or value below 0) = %lld\n", prep.bad_value);
    reportf("Peaks outside the size limits = %lld; below the relative cutoff = %lld; binned = %lld\n",
            prep.out_of_range, prep.cut, static_cast<long long>(in.peaks.size()));
    long long used = 0;
    for (int k = 0; k < samples; ++k) {
        const SampleState st = prep.state[static_cast<std::size_t>(k)];
        if (st == SampleState::used) {
            ++used;
            continue;
        }
        const long long n = in.numbers[static_cast<std::size_t>(k)];
        reportf("Emptied: sample number %lld%s, %s (a row of zeros, left out of the pairs)\n", n,
                nametext(names, n).c_str(), emptiedwhy(st));
    }
    reportf("Samples used = %lld of %d\n", used, samples);
    if (in.peaks.empty() && refused("Sorry: no peak is left within the size limits and the relative cutoff")) return;

    FrameLayout layout;
    layout.lo = s.min_size > 0 ? s.min_size : prep.lo;
    layout.width = s.width;
    if ((prep.hi - layout.lo) / s.width > kMaxWindows &&
        refused("Sorry: the size range holds more than a billion windows"))
        return;
    reportf("Classes start at (bp) = %s (%s), plus the offset\n", valuetext(layout.lo).c_str(),
            s.min_size > 0 ? "the min. size" : "the smallest size binned");

    // Offsets are taken in the table's precision, so the offset printed
    // for a run repeats it exactly.
    std::vector<float> offsets(static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i)
        offsets[static_cast<std::size_t>(i)] = static_cast<float>(s.fixed_offset ? s.offset : i * s.step);
    std::vector<float> curve;
    std::vector<double> means;
    FrameCells cells;
    for (int i = 0; i < frames; ++i) {
        layout.offset = offsets[static_cast<std::size_t>(i)];
        framecells(in.peaks, samples, layout, kNearMargin, cells);
        const FrameScore sc =
            s.bray_curtis ? braycurtisscore(cells, prep.state, prep.total) : pearsonscore(cells, prep.state);
        means.push_back(sc.mean);
        const long long classes = static_cast<long long>(cells.columns());
        for (double v : {layout.offset, static_cast<double>(classes), sc.mean, static_cast<double>(sc.pairs_used),
                         static_cast<double>(sc.pairs_undefined), static_cast<double>(cells.near_boundary)})
            curve.push_back(static_cast<float>(v));
        reportf(
            "Frame %d: offset (bp) = %s, classes = %lld, mean %s = %s, pairs used = %lld, pairs undefined = %lld,"
            " peaks within 0.05 bp of a boundary = %lld\n",
            i + 1, valuetext(layout.offset).c_str(), classes, s.bray_curtis ? "Bray-Curtis" : "Pearson r",
            std::isnan(sc.mean) ? "none" : valuetext(sc.mean).c_str(), sc.pairs_used, sc.pairs_undefined,
            cells.near_boundary);
    }
    int best = bestframe(means);
    if (best < 0) {
        reportf("No frame has a score (no pair of samples with a defined criterion): the first frame is kept\n");
        best = 0;
    }
    layout.offset = offsets[static_cast<std::size_t>(best)];
    reportf("Chosen offset (bp) = %s\n", valuetext(layout.offset).c_str());

    // The chosen frame's table: a row per sample number from 1, a column
    // per class.
    framecells(in.peaks, samples, layout, kNearMargin, cells);
    const std::size_t ncols = cells.columns();
    const long long out_rows = in.numbers.back();
    std::vector<float> table(static_cast<std::size_t>(out_rows) * ncols, 0.0f);
    for (std::size_t j = 0; j < ncols; ++j)
        for (std::size_t k = cells.start[j]; k < cells.start[j + 1]; ++k) {
            const long long n = in.numbers[static_cast<std::size_t>(cells.sample[k])];
            table[static_cast<std::size_t>(n - 1) * ncols + j] = static_cast<float>(cells.value[k]);
        }
    std::string bounds;
    for (long long m : cells.windows) bounds += " " + valuetext(layout.boundary(m));
    reportf("Classes of the chosen frame (lower bound, bp):%s\n", bounds.c_str());

    // Both tables are written under temporary names and put in place
    // together, so a failure leaves the earlier pair as it was.
    const char* const cant_open = "Error: can't open binary output file (ouvecr)";
    const std::string staged_frm = stageoutput(frm_name, cant_open);
    const std::string staged_curve = stageoutput(curve_name, cant_open);
    writetable(staged_frm, table, static_cast<int>(out_rows), static_cast<int>(ncols));
    writetable(staged_curve, curve, frames, kCurveColumns);
    commitoutputs();
    reportf("Output file: %s (rows: sample numbers from 1; columns: the classes)\n", frm_name.c_str());
    reportf("--- Number of rows: %lld, columns: %d\n", out_rows, static_cast<int>(ncols));
    reportf(
        "Output file: %s (columns: offset, classes, mean criterion (NaN: none), pairs used, pairs undefined,"
        " peaks within 0.05 bp of a boundary)\n",
        curve_name.c_str());
    reportf("--- Number of rows: %d, columns: %d\n", frames, kCurveColumns);
}
