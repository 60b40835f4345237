// "Filter peaks": a channel table's peaks cleaned up sample by sample.
//
// The steps run in this order: size range, absolute height, merging of
// close peaks within each sample, relative threshold, statistical filter
// (peakprep/filter_steps.h holds the steps themselves).  Every peak a step
// drops or merges is written to the QC log with the step, a reason code and
// the parameter value; a sample that loses every peak keeps one placeholder
// row (height and area 0), so that the samples of every later table stay
// aligned with the names file.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/files.h"
#include "base/reportstream.h"
#include "datafile/binfile.h"
#include "datafile/messages.h"
#include "datafile/readrows.h"
#include "datafile/samplenames.h"
#include "datafile/staging.h"
#include "datafile/tabletext.h"
#include "peakprep/filter_steps.h"
#include "peakprep/options.h"
#include "peakprep/profiles.h"

namespace {


// One QC record of a sample: the peak's size, height and area (absent for
// a record of the whole sample), the step, the reason code and the
// parameter value (NaN when there is none).
struct QcItem {
    std::size_t sample;  // index in the run's samples
    float size = NAN, height = NAN, area = NAN;
    const char* step;
    const char* reason;
    double param;
};

struct Sample {
    long long number = 0;
    std::vector<FilterPeak> peaks;
    long long before = 0;
    double height_before = 0;
};

// The QC log written straight into its file through a buffer: a header
// line, then a tab-separated record a line.
class QcWriter {
  public:
    explicit QcWriter(const std::string& staged) : f_(openfile(staged, "wb")), buf_(1u << 20) {
        if (!f_) fatalerror(kFailed);
        text("sample\tname\tsize\theight\tarea\tstep\treason\tparameter\n");
    }
    ~QcWriter() {
        if (f_) std::fclose(f_);
    }
    // sample_cells: the sample number and name cells with their tabs.
    void record(const std::string& sample_cells, const QcItem& q) {
        text(sample_cells);
        for (float v : {q.size, q.height, q.area}) {
            value(v);
            text("\t", 1);
        }
        text(q.step);
        text("\t", 1);
        text(q.reason);
        text("\t", 1);
        // A step's records share one parameter value: its text is kept.
        const float param = static_cast<float>(q.param);
        if (!(param == last_param_) || std::signbit(param) != std::signbit(last_param_)) {
            last_param_ = param;
            last_text_len_ = static_cast<std::size_t>(floattext(param, last_text_));
        }
        text(last_text_, last_text_len_);
        text("\n", 1);
        ++records_;
    }
    long long records() const { return records_; }
    void close() {
        flush();
        std::FILE* f = f_;
        f_ = nullptr;
        bool ok = ok_ && std::ferror(f) == 0;
        if (std::fclose(f) != 0) ok = false;
        if (!ok) fatalerror(kFailed);  // the staged file is discarded with the run
    }

  private:
    static constexpr const char* kFailed = "Error: can't write QC log (filterpeaks)";
    void text(const std::string& t) { text(t.data(), t.size()); }
    void text(const char* t) { text(t, std::strlen(t)); }
    void text(const char* t, std::size_t n) {
        if (used_ + n > buf_.size()) flush();
        if (n > buf_.size()) {
            ok_ = ok_ && std::fwrite(t, 1, n, f_) == n;
            return;
        }
        std::memcpy(buf_.data() + used_, t, n);
        used_ += n;
    }
    void value(float v) {
        if (used_ + 32 > buf_.size()) flush();
        used_ += static_cast<std::size_t>(floattext(v, buf_.data() + used_));  // NaN: an empty cell
    }
    void flush() {
        if (used_ && std::fwrite(buf_.data(), 1, used_, f_) != used_) ok_ = false;
        used_ = 0;
    }
    std::FILE* f_;
    std::vector<char> buf_;
    std::size_t used_ = 0;
    bool ok_ = true;
    long long records_ = 0;
    float last_param_ = NAN;
    char last_text_[32];
    std::size_t last_text_len_ = 0;
};

// The sample number and name cells of a record, each followed by a tab;
// tabs and line ends in a name become blanks.
std::string samplecells(const std::string& number, const std::string& name) {
    std::string cells = number + '\t';
    appendcell(cells, name, '\t');
    return cells + '\t';
}

// The output table as it is built, and where its placeholder rows are.
struct Output {
    std::vector<float> rows;
    std::vector<std::size_t> placeholders;  // offsets of the placeholder rows
    double smallest = 0;                    // the smallest size kept
    bool any = false;
};

struct Run {
    explicit Run(const FilterSettings& settings) : s(settings) {}
    const FilterSettings& s;
    std::vector<std::string> names;
    std::vector<Sample> samples;
    std::vector<std::pair<float, QcItem>> bad_rows;  // rows of no sample: column 1 and the record
    std::vector<QcItem> qc;                          // the records of the samples, in the order the steps made them
    MergeWork merge_work;
    std::vector<FilterPeak> dropped;

    void record(Sample& x, const FilterPeak* p, const char* step, const char* reason, double param) {
        QcItem q{static_cast<std::size_t>(&x - samples.data()), NAN, NAN, NAN, step, reason, param};
        if (p) {
            q.size = static_cast<float>(p->size);
            q.height = static_cast<float>(p->height);
            q.area = static_cast<float>(p->area);
        }
        qc.push_back(q);
    }
    void records(Sample& x, const std::vector<FilterPeak>& dropped, const char* step, const char* reason,
                 double param) {
        for (const FilterPeak& p : dropped) record(x, &p, step, reason, param);
    }

    // The rows of the table grouped by sample number (column 1, truncated),
    // in ascending sample order; within a sample the rows keep their order.
    void group(const std::string& input) {
        std::vector<int> slot(static_cast<std::size_t>(kMaxTableCount) + 1, -1);
        readrows(input.c_str(), [&](int, const float* v) {
            const double x = v[0];
            if (!(std::isfinite(x) && x >= 1 && x < kMaxTableCount + 1.0)) {
                bad_rows.push_back({v[0], {0, v[3], v[4], v[5], "input", "no_sample_number", NAN}});
                return;
            }
            const long long n = static_cast<long long>(x);
            int& k = slot[static_cast<std::size_t>(n)];
            if (k < 0) {
                k = static_cast<int>(samples.size());
                // Samples tend to have alike numbers of peaks.
                const std::size_t guess = samples.empty() ? 64 : samples.back().peaks.size() + 16;
                samples.emplace_back();
                samples.back().number = n;
                samples.back().peaks.reserve(guess);
            }
            Sample& sample = samples[static_cast<std::size_t>(k)];
            sample.peaks.push_back(makepeak(v[2], v[3], v[4], v[5]));
            ++sample.before;
            sample.height_before += v[4];
        });
        auto by_number = [](const Sample& a, const Sample& b) { return a.number < b.number; };
        if (!std::is_sorted(samples.begin(), samples.end(), by_number))
            std::sort(samples.begin(), samples.end(), by_number);
    }

    void persample(Sample& x) {
        dropped.clear();
        if (s.min_size > 0 || s.max_size > 0) {
            sizerange(x.peaks, s.min_size, s.max_size, dropped);
            for (const FilterPeak& p : dropped)
                record(x, &p, "size_range", "out_of_range",
                       s.min_size > 0 && !atleast(p.size, s.min_size) ? s.min_size : s.max_size);
            dropped.clear();
        }
        if (s.min_height > 0) {
            absoluteheight(x.peaks, s.min_height, dropped);
            records(x, dropped, "absolute_height", "below_absolute_threshold", s.min_height);
            dropped.clear();
        }
        if (s.merge_below > 0) {
            mergeclose(x.peaks, s.merge_below, s.max_span, merge_work);
            for (const MergeGroup& g : merge_work.groups) {
                for (std::size_t m = g.first; m < g.first + g.count; ++m)
                    record(x, &merge_work.members[m], "merge", "merged", s.merge_below);
                record(x, &x.peaks[g.index], "merge", "merge_result", s.merge_below);
            }
        } else {
            sortbysize(x.peaks);
        }
        if (s.relative > 0) {
            bool zero_total = false;
            relativethreshold(x.peaks, s.relative, s.use_area, dropped, zero_total);
            records(x, dropped, "relative_threshold", zero_total ? "zero_total" : "below_relative_threshold",
                    s.relative);
        }
    }

    // The sample's rows of the output (the peaks numbered afresh, or a
    // placeholder row when none is left) and its report line.
    void emit(const Sample& x, Output& out) {
        double height_after = 0;
        long long k = 0;
        const double number = static_cast<double>(x.number);
        for (const FilterPeak& p : x.peaks) {
            for (double v : {number, static_cast<double>(++k), p.minutes, p.size, p.height, p.area})
                out.rows.push_back(static_cast<float>(v));
            height_after += p.height;
            if (!out.any || p.size < out.smallest) {
                out.smallest = p.size;
                out.any = true;
            }
        }
        const bool empty = x.peaks.empty();
        if (empty) {
            out.placeholders.push_back(out.rows.size());
            for (double v : {number, 1.0, 0.0, 0.0, 0.0, 0.0}) out.rows.push_back(static_cast<float>(v));
            qc.push_back(
                {static_cast<std::size_t>(&x - samples.data()), NAN, NAN, NAN, "result", "sample_emptied", NAN});
        }
        const std::string& name = samplename(names, x.number);
        reportf(
            "Sample number : %lld%s%s%s, peaks before = %lld, after = %lld, total height before = %g, after = %g%s\n",
            x.number, name.empty() ? "" : " (", name.c_str(), name.empty() ? "" : ")", x.before,
            static_cast<long long>(x.peaks.size()), x.height_before, height_after, empty ? " (emptied)" : "");
    }

    void trace(const StatOutcome& o, const std::string& pool) {
        if (o.too_small) {
            reportf("Warning: pool_too_small_no_peak_can_pass: %s has %lld peaks, n <= k^2 = %g; left unfiltered\n",
                    pool.c_str(), static_cast<long long>(o.accepted.size()), s.stat_k * s.stat_k);
            return;
        }
        for (std::size_t i = 0; i < o.rounds.size(); ++i) {
            const StatRound& r = o.rounds[i];
            reportf("%s, round %d: n = %lld, s = %g, k*s = %g, accepted = %lld\n", pool.c_str(),
                    static_cast<int>(i + 1), r.n, r.s, r.bar, r.accepted);
        }
    }

    // The statistical filter on the shares of each peak in its sample's
    // total, pooled over all samples or sample by sample.
    void statistical() {
        reportf(
            "Statistical filter: k = %g, %s, on %s (share of the sample's total; a spread about 0 with divisor n)\n",
            s.stat_k, s.stat_per_sample ? "per sample" : "pooled over all samples", s.use_area ? "area" : "height");
        std::vector<double> pool;
        std::vector<std::pair<std::size_t, std::size_t>> owner;  // (sample, peak) of each pooled share
        auto run_pool = [&](const std::string& name) {
            StatOutcome o = statisticalfilter(pool, s.stat_k);
            trace(o, name);
            std::size_t from = 0;
            while (from < owner.size()) {
                const std::size_t si = owner[from].first;
                Sample& x = samples[si];
                std::vector<FilterPeak> kept;
                for (; from < owner.size() && owner[from].first == si; ++from) {
                    const FilterPeak& p = x.peaks[owner[from].second];
                    if (o.accepted[from])
                        kept.push_back(p);
                    else
                        record(x, &p, "statistical_filter", "below_statistical_threshold", s.stat_k);
                }
                x.peaks.swap(kept);
            }
            pool.clear();
            owner.clear();
        };
        for (std::size_t si = 0; si < samples.size(); ++si) {
            Sample& x = samples[si];
            if (x.peaks.empty()) continue;
            double total = 0;
            for (const FilterPeak& p : x.peaks) total += filtervalue(p, s.use_area);
            // A finite total also makes every share finite.
            if (!(total > 0) || !std::isfinite(total)) {
                records(x, x.peaks, "statistical_filter", total > 0 ? "total_not_finite" : "zero_total", s.stat_k);
                x.peaks.clear();
                continue;
            }
            for (std::size_t i = 0; i < x.peaks.size(); ++i) {
                pool.push_back(filtervalue(x.peaks[i], s.use_area) / total);
                owner.push_back({si, i});
            }
            if (s.stat_per_sample) run_pool("Sample " + std::to_string(x.number));
        }
        if (!s.stat_per_sample) run_pool("Pool of all samples");
    }
};

std::string settingtext(double v) { return v > 0 ? valuetext(v) : std::string("off"); }

}  // namespace

void filterpeaks(const FilterSettings& s) {
    reportf("Peakprep: filtering peaks\n");
    const std::string out_name = s.input + "_flt";
    const std::string qc_name = out_name + ".qc.txt";
    // An output that is the input (a link) would be replaced by the run.
    if (samefile(s.input, out_name) || samefile(s.input, qc_name))
        fatalerror("Error: input file is also an output file (filterpeaks)");

    int rows = 0, cols = 0;
    if (!tablesize(s.input, rows, cols)) return;
    if (cols != kChannelColumns) {
        infobox(kNotChannelTable);
        reportf("Filtering stopped: no output written\n");
        return;
    }
    Run run(s);
    const std::string names_file = namesfile(s.input);
    run.names = readsamplenames(names_file);
    if (run.names.empty())
        reportf("Sample names: none found\n");
    else
        reportf("Sample names: %s\n", names_file.c_str());
    reportf("Min. size (bp): %s; max. size (bp): %s; min. height (RFU): %s\n", settingtext(s.min_size).c_str(),
            settingtext(s.max_size).c_str(), settingtext(s.min_height).c_str());
    reportf(
        "Merge peaks closer than (bp): %s; max. span of a merged peak (bp): %s (sizes and times weighted by"
        " height, heights and areas summed)\n",
        settingtext(s.merge_below).c_str(), settingtext(s.max_span).c_str());
    reportf("Relative threshold (%%): %s; statistical filter k: %s; on %s\n", settingtext(s.relative).c_str(),
            settingtext(s.stat_k).c_str(), s.use_area ? "area" : "height");

    run.group(s.input);
    if (run.samples.empty()) {
        infobox("Sorry: no sample number of 1 or more in column 1");
        reportf("Filtering stopped: no output written\n");
        return;
    }
    // Without the statistical filter each sample is written out while its
    // peaks are still in the cache.
    Output out;
    out.rows.reserve(static_cast<std::size_t>(rows) * kChannelColumns);
    for (Sample& x : run.samples) {
        run.persample(x);
        if (!(s.stat_k > 0)) run.emit(x, out);
    }
    if (s.stat_k > 0) {
        run.statistical();
        for (Sample& x : run.samples) run.emit(x, out);
    }
    // A placeholder row takes the smallest size kept anywhere, so it never
    // widens the size range a later class layout is built on.
    for (std::size_t at : out.placeholders) out.rows[at + 3] = static_cast<float>(out.any ? out.smallest : 0);
    const long long emptied = static_cast<long long>(out.placeholders.size());
    const long long out_rows = static_cast<long long>(out.rows.size() / kChannelColumns);
    if (!run.bad_rows.empty())
        reportf("Rows dropped (sample number below 1, above 999999 or not finite) = %lld\n",
                static_cast<long long>(run.bad_rows.size()));
    reportf("Samples emptied (one placeholder row of height and area 0 each) = %lld\n", emptied);
    for (const Sample& x : run.samples)
        if (x.peaks.empty()) reportf("Emptied: sample number %lld\n", x.number);

    // Both files are written under temporary names and put in place
    // together, so a failure leaves the earlier pair as it was.
    const char* const cant_open = "Error: can't open binary output file (ouvecr)";
    const std::string staged_table = stageoutput(out_name, cant_open);
    const std::string staged_qc = stageoutput(qc_name, "Error: can't open QC log (filterpeaks)");
    writetable(staged_table, out.rows, static_cast<int>(out_rows), kChannelColumns);
    QcWriter qc(staged_qc);
    for (const auto& b : run.bad_rows) qc.record(samplecells(valuetext(b.first), ""), b.second);
    // The records sample by sample, each sample's in the order of the steps.
    // (A counting sort: the statistical filter's records come after all
    // samples' others.)
    auto by_sample = [](const QcItem& a, const QcItem& b) { return a.sample < b.sample; };
    if (!std::is_sorted(run.qc.begin(), run.qc.end(), by_sample)) {
        std::vector<std::size_t> at(run.samples.size() + 1, 0);
        for (const QcItem& q : run.qc) ++at[q.sample + 1];
        for (std::size_t i = 1; i < at.size(); ++i) at[i] += at[i - 1];
        std::vector<QcItem> sorted(run.qc.size());
        for (const QcItem& q : run.qc) sorted[at[q.sample]++] = q;
        run.qc.swap(sorted);
    }
    std::string cells;
    for (std::size_t i = 0; i < run.qc.size(); ++i) {
        const QcItem& q = run.qc[i];
        if (i == 0 || q.sample != run.qc[i - 1].sample) {
            const Sample& x = run.samples[q.sample];
            cells = samplecells(std::to_string(x.number), samplename(run.names, x.number));
        }
        qc.record(cells, q);
    }
    qc.close();
    commitoutputs();
    reportf("Output file: %s\n", out_name.c_str());
    reportf("--- Number of rows: %lld, columns: %d\n", out_rows, kChannelColumns);
    reportf("QC log: %s\n", qc_name.c_str());
    reportf("--- Number of records: %lld\n", qc.records());
}
