// Pull-up flags on the peaks of one sample read in several dyes, free of
// files and report lines so that they can be checked on their own.
//
// A peak is flagged when another dye of the same sample has a peak at most
// tolerance bp away that is at least min_ratio times as tall: the taller
// one's signal seen in the other colour.  Its parent is the tallest such
// peak; among equally tall ones the smaller dye number, then the closer
// size, then the smaller size.  Nothing is dropped.
//
// Sizes and heights are the tables' float32 values, taken in double.  The
// distance and the ratio are compared with a slack of the float rounding
// of the stored values, so that sizes printed exactly tolerance apart are
// within it and heights printed exactly min_ratio times apart are flagged.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <tuple>
#include <vector>

#include "peakprep/filter_steps.h"

struct PullupPeak {
    double size = 0, height = 0;
    int dye = 1;  // 1 to 4
};

struct PullupFlag {
    bool flagged = false;
    int parent_dye = 0;  // 0 when no peak of another dye lies within the tolerance
    double parent_size = 0, parent_height = 0;
    double ratio = 0;  // parent_height / height (0 without a parent)
};

// Whether sizes a and b are at most tolerance apart.
inline bool withintolerance(double a, double b, double tolerance) {
    return std::fabs(a - b) <= tolerance + sizeslack(a, b);
}

// Whether parent_height / height reaches min_ratio (height above 0).
inline bool reachesratio(double parent_height, double height, double min_ratio) {
    // Each float32 height is within 2^-24 of its printed value; the ratio
    // of two of them within about 2^-23.
    return parent_height / height >= min_ratio * (1 - 0x1p-22);
}

namespace pullup_detail {

const int kPullupDyes = 4;

inline bool usable(const PullupPeak& p) {
    return std::isfinite(p.size) && std::isfinite(p.height) && p.height > 0 && p.dye >= 1 && p.dye <= kPullupDyes;
}

// The tallest peak of dye e within the tolerance of each peak of dye d,
// offered to that peak's flag when it beats the parent found so far.
struct Sweep {
    const std::vector<PullupPeak>& peaks;
    double tolerance;

    double size(std::size_t i) const { return peaks[i].size; }
    double height(std::size_t i) const { return peaks[i].height; }

    // by_size: dye e's peaks in size order; by_height: the same peaks in
    // (height, size) order, to find the closest of the tallest ones.
    void run(const std::vector<std::size_t>& mine, const std::vector<std::size_t>& by_size,
             const std::vector<std::size_t>& by_height, int dye, std::vector<PullupFlag>& flags) const {
        std::vector<std::size_t> queue;  // positions in by_size, heights not increasing
        std::size_t head = 0, lo = 0, hi = 0;
        for (std::size_t i : mine) {
            const double x = size(i);
            // Both window ends only move up as x grows: the slack changes
            // far more slowly than the sizes.
            while (hi < by_size.size() &&
                   (size(by_size[hi]) <= x || withintolerance(x, size(by_size[hi]), tolerance))) {
                while (queue.size() > head && height(by_size[queue.back()]) < height(by_size[hi])) queue.pop_back();
                queue.push_back(hi++);
            }
            while (lo < hi && size(by_size[lo]) < x && !withintolerance(x, size(by_size[lo]), tolerance)) ++lo;
            while (head < queue.size() && queue[head] < lo) ++head;
            if (head == queue.size()) continue;
            const double tallest = height(by_size[queue[head]]);
            PullupFlag& f = flags[i];
            // A taller parent wins; an equal one of a smaller dye was seen first.
            if (f.parent_dye != 0 && !(tallest > f.parent_height)) continue;
            f.parent_dye = dye;
            f.parent_height = tallest;
            f.parent_size = closest(by_height, tallest, x, size(by_size[queue[head]]));
        }
    }

    // The size of the tallest peak closest to x (the smaller one of two
    // equally close).  One of the two neighbours of x among the peaks of
    // that height lies in the window, as the queue's head does (fallback).
    double closest(const std::vector<std::size_t>& by_height, double tallest, double x, double fallback) const {
        auto at = std::lower_bound(by_height.begin(), by_height.end(), x, [&](std::size_t j, double v) {
            return height(j) < tallest || (height(j) == tallest && size(j) < v);
        });
        const bool above = at != by_height.end() && height(*at) == tallest && withintolerance(x, size(*at), tolerance);
        const bool below =
            at != by_height.begin() && height(*(at - 1)) == tallest && withintolerance(x, size(*(at - 1)), tolerance);
        if (below && (!above || x - size(*(at - 1)) <= size(*at) - x)) return size(*(at - 1));
        return above ? size(*at) : fallback;
    }
};

}  // namespace pullup_detail

// The flag of every peak (flags[i] for peaks[i]), in O(n log n): the peaks
// of each dye in size order, a sliding window over each other dye with the
// window's tallest peak kept in a monotone queue.  A peak whose size or
// height is not finite, or whose height is 0 or less, is never flagged and
// never a parent.
inline void flagpullups(const std::vector<PullupPeak>& peaks, double tolerance, double min_ratio,
                        std::vector<PullupFlag>& flags) {
    const int kDyes = pullup_detail::kPullupDyes;
    flags.assign(peaks.size(), PullupFlag());
    std::vector<std::size_t> by_size[kDyes + 1], by_height[kDyes + 1];
    for (std::size_t i = 0; i < peaks.size(); ++i)
        if (pullup_detail::usable(peaks[i])) by_size[peaks[i].dye].push_back(i);
    for (int d = 1; d <= kDyes; ++d) {
        std::vector<std::size_t>& s = by_size[d];
        std::sort(s.begin(), s.end(), [&](std::size_t a, std::size_t b) {
            return std::make_tuple(peaks[a].size, a) < std::make_tuple(peaks[b].size, b);
        });
        by_height[d] = s;
        std::stable_sort(by_height[d].begin(), by_height[d].end(),
                         [&](std::size_t a, std::size_t b) { return peaks[a].height < peaks[b].height; });
    }
    const pullup_detail::Sweep sweep{peaks, tolerance};
    for (int d = 1; d <= kDyes; ++d)
        for (int e = 1; e <= kDyes; ++e)
            if (e != d && !by_size[d].empty() && !by_size[e].empty())
                sweep.run(by_size[d], by_size[e], by_height[e], e, flags);
    for (std::size_t i = 0; i < peaks.size(); ++i) {
        PullupFlag& f = flags[i];
        if (f.parent_dye == 0) continue;
        f.ratio = f.parent_height / peaks[i].height;
        f.flagged = reachesratio(f.parent_height, peaks[i].height, min_ratio);
    }
}
