// The clustering of "Bin by clusters": peaks pooled from all samples and
// sorted by size are cut into bins at gaps, free of files so that it can be
// checked on its own.
//
// A run of consecutive peaks is final (one bin) when its width (largest
// size minus smallest) is at most the max. width, and either at most the
// min. width or no sample has two peaks in it.  A run that is not final is
// cut at one gap:
//   1. the candidates are the gaps above 0 that are at least tolerance times
//      the run's largest gap;
//   2. of these, the cuts with the fewest repeats (peaks of a sample that
//      already has a peak in the same part) in the left part plus the right
//      part are kept;
//   3. of these, the first is taken when it cuts off fewer peaks on the left
//      than the last cuts off on the right; otherwise the last.
// Both parts are examined again; the bins do not depend on the order.
//
// Widths and gaps are compared with a slack of the float rounding of the
// largest size, so sizes printed exactly the max. width apart stay in one
// bin and gaps printed alike count alike.
//
// The cut takes O(n log n) for n peaks.  The repeats of a cut are the
// run's repeats less the samples with peaks on both sides of it, so the
// best cuts are those that the most samples straddle.  One tree holds, for
// every gap, how many samples of its run straddle it (offset down while it
// is not a candidate); a cut corrects it by walking the smaller part only,
// and each pair of neighbouring peaks of a sample is parted only once.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <utility>
#include <vector>

#include "peakprep/clusters_trees.h"

struct ClusterPeak {
    float size = 0;
    int sample = 0;  // from 0
};

struct ClusterRule {
    double min_width = 1;
    double max_width = 1.5;
    double tolerance = 0.97;
};

// A bin: the peaks first..last (inclusive) of the sorted peaks.
struct ClusterBin {
    std::size_t first = 0, last = 0;
};

inline bool sizesample(const ClusterPeak& x, const ClusterPeak& y) {
    return x.size < y.size || (x.size == y.size && x.sample < y.sample);
}

// The slack of distances between the sizes of sorted peaks.
inline double clusterslack(const std::vector<ClusterPeak>& p) {
    if (p.empty()) return 0;
    return std::max(std::fabs(p.front().size), std::fabs(p.back().size)) * 0x1p-22;
}

// The bins of peaks sorted by (size, sample), in ascending order.
inline std::vector<ClusterBin> cutclusters(const std::vector<ClusterPeak>& p, const ClusterRule& rule) {
    std::vector<ClusterBin> bins;
    const std::size_t n = p.size();
    if (n == 0) return bins;
    const double slack = clusterslack(p);

    // The previous and next peak of the same sample (n when there is none).
    int samples = 0;
    for (const ClusterPeak& x : p) samples = std::max(samples, x.sample + 1);
    std::vector<std::size_t> seen(static_cast<std::size_t>(samples), n), prev(n, n), next(n, n);
    for (std::size_t i = 0; i < n; ++i) {
        std::size_t& s = seen[static_cast<std::size_t>(p[i].sample)];
        if (s != n) {
            prev[i] = s;
            next[s] = i;
        }
        s = i;
    }
    // Gap i lies between peaks i and i + 1.  Every gap starts as no
    // candidate (offset down by kOff); a cut gap is offset down twice.
    const long long kOff = 1LL << 40;
    std::vector<double> gaps(n > 1 ? n - 1 : 1, 0), before(n);
    std::vector<long long> straddle(n, 0);  // a sample straddles the gaps from its first to its last peak
    for (std::size_t i = 0; i + 1 < n; ++i) gaps[i] = static_cast<double>(p[i + 1].size) - p[i].size;
    for (std::size_t i = 0; i < n; ++i) {
        before[i] = prev[i] == n ? -1.0 : static_cast<double>(prev[i]);
        straddle[i] += (next[i] != n) - (prev[i] != n);
        if (i > 0) straddle[i] += straddle[i - 1];
    }
    straddle.resize(gaps.size());
    for (long long& v : straddle) v -= kOff;
    const MaxTree largest(gaps), repeats(before);
    MaxTree waiting(gaps);  // the gaps not yet candidates
    AddMaxTree across(straddle);

    auto final_run = [&](std::size_t a, std::size_t b) {
        const double width = static_cast<double>(p[b].size) - p[a].size;
        if (width > rule.max_width + slack) return false;
        return width <= rule.min_width + slack || repeats.max(a, b) < static_cast<double>(a);
    };
    std::vector<std::pair<std::size_t, std::size_t>> work{{0, n - 1}};
    while (!work.empty()) {
        const std::size_t a = work.back().first, b = work.back().second;
        work.pop_back();
        if (final_run(a, b)) {
            bins.push_back({a, b});
            continue;
        }
        // A run that is not final is wider than the min. width, so its
        // largest gap is above 0.  Candidates only grow down the parts.
        const double threshold =
            std::max(rule.tolerance * largest.max(a, b - 1) - slack, std::numeric_limits<double>::denorm_min());
        for (std::size_t g; (g = waiting.first(a, b - 1, threshold)) != kNoPosition;) {
            waiting.set(g, -1);
            across.add(g, g, kOff);
        }
        const long long most = across.max(a, b - 1);
        const std::size_t f = across.first(a, b - 1, most), l = across.last(a, b - 1, most);
        const std::size_t c = f - a + 1 < b - l ? f : l;
        across.add(c, c, -kOff);
        // The samples on both sides no longer straddle the gaps of either
        // part beyond their nearest peaks to the cut.
        auto part = [&](std::size_t last_left, std::size_t first_right) {
            if (last_left < c) across.add(last_left, c - 1, -1);
            if (first_right > c + 1) across.add(c + 1, first_right - 1, -1);
        };
        if (c - a + 1 <= b - c) {
            for (std::size_t i = a; i <= c; ++i)
                if (next[i] > c && next[i] <= b) part(i, next[i]);
        } else {
            for (std::size_t i = c + 1; i <= b; ++i)
                if (prev[i] < c + 1 && prev[i] >= a) part(prev[i], i);
        }
        work.push_back({c + 1, b});
        work.push_back({a, c});
    }
    return bins;
}
