// The steps of "Shifted frames", free of files and report lines so that
// they can be checked on their own.
//
// Each sample's peaks become shares of its total (100 * v / total over the
// peaks within the size limits; a relative cutoff drops the small shares and
// the others are not renormalised).  A frame is a layout of fixed windows
// [lo + o + m*w, lo + o + (m+1)*w) for integer m; its columns are the
// windows that hold a peak of some sample, and each sample's cell is the sum
// of its shares there.  A frame is scored by the mean over all pairs of
// samples of Pearson's r across its columns, or of the Bray-Curtis
// similarity.
//
// Sizes are float32 values of the table; a boundary is compared in the same
// precision, so a peak printed on a boundary goes to the window above it.
//
// Cost, for n peaks, S samples and F frames: sorting the peaks by size
// once, O(n log n); then per frame O(n log S + S) to build the columns (a
// column's samples sorted) and, for Pearson, O(n + S) for the mean over all
// S(S-1)/2 pairs (the mean of r is a sum of per-column terms once each
// profile is scaled by its own spread, so no pair is visited).  Bray-Curtis
// needs the sum over the pairs of the smaller of two cells: O(n log n) per
// frame (a sort per column) when every sample keeps the same total (no
// cutoff, or one that cut nothing); else each pair sharing a column is
// visited once there, the sum over the columns of k(k-1)/2 with k the
// samples in a column, at most S n / 2.  Memory: O(n + S).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "peakprep/filter_steps.h"

// A peak of a sample: its size and its value (height or area as read;
// after prepareframes, its share in % of the sample's total).
struct FramePeak {
    float size = 0;
    int sample = 0;  // 0 .. samples - 1
    double value = 0;
};

// Why a sample takes no part in the pairs.
enum class SampleState { used, no_peak, zero_total, cut };

struct FramePrep {
    std::vector<SampleState> state;  // per sample
    std::vector<double> total;       // the kept shares' sum (100 unless the cutoff cut), used samples
    long long bad_value = 0;         // peaks whose size or value is not finite, or whose value is below 0
    long long out_of_range = 0;      // peaks outside the size limits
    long long cut = 0;               // peaks below the relative cutoff
    double lo = 0, hi = 0;           // the smallest and largest size kept (when any)
};

// The peaks kept, in size order (equal sizes by sample, then as given),
// each with its share.  min_size and max_size of 0 are off; cutoff 0 keeps
// every share.
inline FramePrep prepareframes(std::vector<FramePeak>& peaks, int samples, double min_size, double max_size,
                               double cutoff) {
    FramePrep r;
    r.state.assign(static_cast<std::size_t>(samples), SampleState::no_peak);
    r.total.assign(static_cast<std::size_t>(samples), 0);
    std::vector<double> sum(static_cast<std::size_t>(samples), 0);
    std::size_t k = 0;
    for (const FramePeak& p : peaks) {
        if (!std::isfinite(p.size) || !std::isfinite(p.value) || p.value < 0) {
            ++r.bad_value;
        } else if ((min_size > 0 && !atleast(p.size, min_size)) || (max_size > 0 && !atmost(p.size, max_size))) {
            ++r.out_of_range;
        } else {
            sum[static_cast<std::size_t>(p.sample)] += p.value;
            peaks[k++] = p;
        }
    }
    peaks.resize(k);
    std::vector<double> kept(static_cast<std::size_t>(samples), 0);
    k = 0;
    for (const FramePeak& p : peaks) {
        const std::size_t s = static_cast<std::size_t>(p.sample);
        if (!(sum[s] > 0) || !std::isfinite(sum[s])) {
            r.state[s] = SampleState::zero_total;
            continue;
        }
        // The share is compared with a relative slack of the division's rounding.
        const double share = 100.0 * p.value / sum[s];
        if (cutoff > 0 && !(share * (1 + 1e-12) >= cutoff)) {
            ++r.cut;
            if (r.state[s] == SampleState::no_peak) r.state[s] = SampleState::cut;
            continue;
        }
        r.state[s] = SampleState::used;
        kept[s] += p.value;
        peaks[k++] = {p.size, p.sample, share};
    }
    peaks.resize(k);
    // With nothing cut the ratio is exactly 1, so the totals are exactly 100.
    for (std::size_t s = 0; s < kept.size(); ++s)
        if (r.state[s] == SampleState::used) r.total[s] = 100.0 * (kept[s] / sum[s]);
    std::stable_sort(peaks.begin(), peaks.end(), [](const FramePeak& a, const FramePeak& b) {
        return a.size < b.size || (a.size == b.size && a.sample < b.sample);
    });
    if (!peaks.empty()) {
        r.lo = peaks.front().size;
        r.hi = peaks.back().size;
    }
    return r;
}

// The windows of one frame.
struct FrameLayout {
    double lo = 0, width = 1, offset = 0;
    double boundary(long long m) const { return lo + offset + static_cast<double>(m) * width; }
};

// size >= the boundary, the boundary taken in the table's precision.
inline bool onorabove(float size, double b) { return size >= static_cast<float>(b); }

// The window m of a size: boundary(m) <= size < boundary(m + 1).  The
// correction steps are bounded: they matter only where the float rounding
// of the sizes is finer than the width.
inline long long windowof(float size, const FrameLayout& f) {
    long long m = static_cast<long long>(std::floor((size - f.lo - f.offset) / f.width));
    for (int i = 0; i < 64 && !onorabove(size, f.boundary(m)); ++i) --m;
    for (int i = 0; i < 64 && onorabove(size, f.boundary(m + 1)); ++i) ++m;
    return m;
}

// A frame's table, column by column: the windows that hold a peak, in size
// order, and the cells of each (sample and summed share), samples in
// ascending order.
struct FrameCells {
    std::vector<long long> windows;  // m of each column
    std::vector<std::size_t> start;  // column j's cells: start[j] .. start[j + 1]
    std::vector<int> sample;
    std::vector<double> value;
    long long near_boundary = 0;  // peaks within the margin of a boundary of their window
    std::size_t columns() const { return windows.size(); }
};

// The cells of frame f over peaks in size order (from prepareframes).
// margin: the distance to a boundary counted as near (inclusive).
inline void framecells(const std::vector<FramePeak>& peaks, int samples, const FrameLayout& f, double margin,
                       FrameCells& out) {
    out.windows.clear();
    out.start.clear();
    out.sample.clear();
    out.value.clear();
    out.near_boundary = 0;
    std::vector<double> sum(static_cast<std::size_t>(samples), 0);
    std::vector<long long> seen(static_cast<std::size_t>(samples), -1);  // the column a sample was last summed in
    std::vector<int> touched;
    auto close_column = [&]() {
        std::sort(touched.begin(), touched.end());
        for (int s : touched) {
            out.sample.push_back(s);
            out.value.push_back(sum[static_cast<std::size_t>(s)]);
        }
        touched.clear();
    };
    long long m_last = 0;
    for (const FramePeak& p : peaks) {
        const long long m = windowof(p.size, f);
        if (out.windows.empty() || m != m_last) {
            close_column();
            out.windows.push_back(m);
            out.start.push_back(out.sample.size());
            m_last = m;
        }
        const std::size_t s = static_cast<std::size_t>(p.sample);
        const long long col = static_cast<long long>(out.windows.size()) - 1;
        if (seen[s] != col) {
            seen[s] = col;
            sum[s] = 0;
            touched.push_back(p.sample);
        }
        sum[s] += p.value;
        if (p.size <= static_cast<float>(f.boundary(m) + margin) || onorabove(p.size, f.boundary(m + 1) - margin))
            ++out.near_boundary;
    }
    close_column();
    out.start.push_back(out.sample.size());
}

struct FrameScore {
    double mean = NAN;  // NaN: no defined pair
    long long pairs_used = 0, pairs_undefined = 0;
};

// The mean Pearson r over the pairs of used samples across the frame's
// columns.  A profile that is the same in every column has no r: its pairs
// are left out and counted.
inline FrameScore pearsonscore(const FrameCells& c, const std::vector<SampleState>& state) {
    const std::size_t n = state.size();
    const double cols = static_cast<double>(c.columns());
    std::vector<double> sx(n, 0), sxx(n, 0), lo(n, INFINITY), hi(n, -INFINITY);
    std::vector<std::size_t> nonzero(n, 0);
    for (std::size_t i = 0; i < c.sample.size(); ++i) {
        const std::size_t s = static_cast<std::size_t>(c.sample[i]);
        const double x = c.value[i];
        sx[s] += x;
        sxx[s] += x * x;
        if (x != 0) ++nonzero[s];
        lo[s] = std::min(lo[s], x);
        hi[s] = std::max(hi[s], x);
    }
    // r(a, b) = (C sxy - sx_a sx_b) / (d_a d_b) with d = sqrt(C sxx - sx^2):
    // summed over the pairs, the sxy part is C/2 times, per column, the
    // square of the sum of x/d less the sum of squares, and the other part
    // the same of sx/d over the samples.
    std::vector<double> inv(n, 0);  // 1/d, 0 for a sample left out
    long long used = 0, defined = 0;
    double st = 0, st2 = 0;
    for (std::size_t s = 0; s < n; ++s) {
        if (state[s] != SampleState::used) continue;
        ++used;
        // Equal to the rounding of shares summed in different orders.
        const bool constant = nonzero[s] == c.columns() && hi[s] - lo[s] <= 1e-9 * hi[s];
        const double d = std::sqrt(cols * sxx[s] - sx[s] * sx[s]);
        if (constant || !(d > 0)) continue;
        ++defined;
        inv[s] = 1 / d;
        st += sx[s] * inv[s];
        st2 += sx[s] * inv[s] * sx[s] * inv[s];
    }
    double across = 0;
    for (std::size_t j = 0; j + 1 < c.start.size(); ++j) {
        double su = 0, su2 = 0;
        for (std::size_t i = c.start[j]; i < c.start[j + 1]; ++i) {
            const double u = c.value[i] * inv[static_cast<std::size_t>(c.sample[i])];
            su += u;
            su2 += u * u;
        }
        across += su * su - su2;
    }
    FrameScore r;
    r.pairs_used = defined * (defined - 1) / 2;
    r.pairs_undefined = used * (used - 1) / 2 - r.pairs_used;
    if (r.pairs_used > 0) r.mean = (cols * across - (st * st - st2)) / 2 / static_cast<double>(r.pairs_used);
    return r;
}

// The mean Bray-Curtis similarity 2 sum min(x_a, x_b) / (T_a + T_b) over the
// pairs of used samples, T the sample's total.
inline FrameScore braycurtisscore(const FrameCells& c, const std::vector<SampleState>& state,
                                  const std::vector<double>& total) {
    const std::size_t n = state.size();
    long long used = 0;
    bool same = true;
    double t0 = 0;
    for (std::size_t s = 0; s < n; ++s) {
        if (state[s] != SampleState::used) continue;
        if (used++ == 0) t0 = total[s];
        same = same && total[s] == t0;
    }
    FrameScore r;
    r.pairs_used = used * (used - 1) / 2;
    if (r.pairs_used == 0) return r;
    double sum = 0;
    if (same) {
        // One denominator: per column, the sum over the pairs of the smaller
        // cell is sum_i x_(i) (k - 1 - i) over the cells in ascending order.
        std::vector<double> v;
        double mins = 0;
        for (std::size_t j = 0; j + 1 < c.start.size(); ++j) {
            v.assign(c.value.begin() + static_cast<std::ptrdiff_t>(c.start[j]),
                     c.value.begin() + static_cast<std::ptrdiff_t>(c.start[j + 1]));
            std::sort(v.begin(), v.end());
            for (std::size_t i = 0; i < v.size(); ++i) mins += v[i] * static_cast<double>(v.size() - 1 - i);
        }
        sum = 2 * mins / (2 * t0);
    } else {
        // Every pair sharing a column, once: a column's samples are in
        // ascending order, so each cell meets the cells after it.
        std::vector<std::size_t> at(n + 1, 0);
        for (int s : c.sample) ++at[static_cast<std::size_t>(s) + 1];
        for (std::size_t s = 0; s < n; ++s) at[s + 1] += at[s];
        std::vector<std::size_t> cell(c.sample.size()), end(c.sample.size()), fill(at.begin(), at.end() - 1);
        for (std::size_t j = 0; j + 1 < c.start.size(); ++j)
            for (std::size_t i = c.start[j]; i < c.start[j + 1]; ++i) {
                const std::size_t k = fill[static_cast<std::size_t>(c.sample[i])]++;
                cell[k] = i;
                end[k] = c.start[j + 1];
            }
        for (std::size_t a = 0; a < n; ++a)
            for (std::size_t k = at[a]; k < at[a + 1]; ++k) {
                const double x = c.value[cell[k]];
                for (std::size_t i = cell[k] + 1; i < end[k]; ++i)
                    sum += 2 * std::min(x, c.value[i]) / (total[a] + total[static_cast<std::size_t>(c.sample[i])]);
            }
    }
    r.mean = sum / static_cast<double>(r.pairs_used);
    return r;
}

// The best of the frames' means: the highest, a tie (within 1e-9, the
// rounding of sums taken in different orders) to the first; -1 when no
// frame has a score.
inline int bestframe(const std::vector<double>& means) {
    int best = -1;
    for (std::size_t i = 0; i < means.size(); ++i)
        if (!std::isnan(means[i]) && (best < 0 || means[i] > means[static_cast<std::size_t>(best)] + 1e-9))
            best = static_cast<int>(i);
    return best;
}
