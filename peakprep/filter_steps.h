// The steps of "Filter peaks" on the peaks of one sample (or, for the
// statistical filter, on a pool of proportions), free of files and report
// lines so that they can be checked on their own.
//
// Sizes and heights come from the table as float32 values; a limit typed as
// a decimal is compared in the same precision (a size printed 100.2 and a
// limit of 100.2 are equal), so a value on the limit is kept.  Distances
// between sizes are compared with a tolerance of the float rounding of the
// sizes, so peaks printed exactly d apart stay apart.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

// A peak of a sample (the output numbers the peaks afresh).
struct FilterPeak {
    double minutes = 0, size = 0, height = 0, area = 0;
    float lo = 0, hi = 0;  // smallest and largest size of the original peaks merged here
    int members = 1;       // number of original peaks merged here
};

// A peak as read: its size is a float32 of the table.
inline FilterPeak makepeak(double minutes, float size, double height, double area) {
    FilterPeak p;
    p.minutes = minutes;
    p.size = p.lo = p.hi = size;
    p.height = height;
    p.area = area;
    return p;
}

// value >= limit, the limit taken in the table's precision.
inline bool atleast(double value, double limit) { return value >= static_cast<double>(static_cast<float>(limit)); }
inline bool atmost(double value, double limit) { return value <= static_cast<double>(static_cast<float>(limit)); }

// The rounding slack of a distance between two sizes stored as float32.
inline double sizeslack(double a, double b) { return std::max(std::fabs(a), std::fabs(b)) * 0x1p-22; }

// Keeps p[i] as the k-th peak kept (moving it only when some were dropped).
inline void keepat(std::vector<FilterPeak>& p, std::size_t& k, std::size_t i) {
    if (k != i) p[k] = p[i];
    ++k;
}

// Peaks outside [min_size, max_size] (a limit of 0 is off) go to dropped.
inline void sizerange(std::vector<FilterPeak>& p, double min_size, double max_size, std::vector<FilterPeak>& dropped) {
    std::size_t k = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const FilterPeak& x = p[i];
        if ((min_size <= 0 || atleast(x.size, min_size)) && (max_size <= 0 || atmost(x.size, max_size)))
            keepat(p, k, i);
        else
            dropped.push_back(x);
    }
    p.resize(k);
}

// Peaks lower than min_height (0 is off) go to dropped.
inline void absoluteheight(std::vector<FilterPeak>& p, double min_height, std::vector<FilterPeak>& dropped) {
    if (min_height <= 0) return;
    std::size_t k = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        if (atleast(p[i].height, min_height))
            keepat(p, k, i);
        else
            dropped.push_back(p[i]);
    }
    p.resize(k);
}

// The peak that replaces two neighbours: sizes and times averaged with the
// heights as weights (a plain mean over the original peaks when both are 0),
// heights and areas summed.
inline FilterPeak combine(const FilterPeak& a, const FilterPeak& b) {
    FilterPeak m = a;
    double w = a.height + b.height;
    double wa = a.height, wb = b.height;
    if (!(w > 0)) {
        wa = a.members;
        wb = b.members;
        w = wa + wb;
    }
    m.size = (a.size * wa + b.size * wb) / w;
    m.minutes = (a.minutes * wa + b.minutes * wb) / w;
    m.height = a.height + b.height;
    m.area = a.area + b.area;
    m.lo = std::min(a.lo, b.lo);
    m.hi = std::max(a.hi, b.hi);
    m.members = a.members + b.members;
    return m;
}

// Whether neighbours a (smaller size) and b may merge: closer than d, and,
// when max_span > 0, their original peaks together spanning at most max_span.
inline bool maymerge(const FilterPeak& a, const FilterPeak& b, double d, double max_span) {
    if (!(b.size - a.size < d - sizeslack(a.size, b.size))) return false;
    return max_span <= 0 || static_cast<double>(b.hi) - a.lo <= max_span + sizeslack(a.lo, b.hi);
}

// Peaks in size order, equal sizes in their order (tables usually come
// sorted: then nothing moves).
inline void sortbysize(std::vector<FilterPeak>& p) {
    // A size that is not a number goes last (and never merges), so that the
    // order stays a strict weak order.
    auto smaller = [](double a, double b) { return a < b || (!std::isnan(a) && std::isnan(b)); };
    if (std::is_sorted(p.begin(), p.end(),
                       [&](const FilterPeak& a, const FilterPeak& b) { return smaller(a.size, b.size); }))
        return;
    // Stable through the original position as the last key (std::sort needs
    // no temporary buffer).
    std::vector<std::pair<double, std::size_t>> order(p.size());
    for (std::size_t i = 0; i < p.size(); ++i) order[i] = {p[i].size, i};
    std::sort(order.begin(), order.end(),
              [&](const std::pair<double, std::size_t>& a, const std::pair<double, std::size_t>& b) {
                  return smaller(a.first, b.first) || (!smaller(b.first, a.first) && a.second < b.second);
              });
    std::vector<FilterPeak> sorted(p.size());
    for (std::size_t i = 0; i < p.size(); ++i) sorted[i] = p[order[i].second];
    p.swap(sorted);
}

// A merged peak: result[index] of the last merge, whose original peaks are
// members[first .. first + count - 1] (in size order).
struct MergeGroup {
    std::size_t index, first, count;
};
struct MergePair {
    double diff;
    int left, right, vl, vr;
};
// What a merge works in, kept from sample to sample so that the arrays are
// not made again for each; groups and members describe the last merge.
struct MergeWork {
    std::vector<int> prev, next, version, member_next, member_tail;
    std::vector<char> alive;
    std::vector<FilterPeak> originals;
    std::vector<MergePair> heap;
    std::vector<FilterPeak> members;
    std::vector<MergeGroup> groups;
};

// The peaks of one sample merged in place: sorted by size (stably), then,
// as long as some neighbours may merge, the closest such pair (the leftmost
// of equally close pairs) is replaced by its combination, and the distances
// to the new peak's neighbours are taken again.  A heap of candidate pairs
// keeps this near n log n; an entry whose side merged since is skipped.
inline void mergeclose(std::vector<FilterPeak>& p, double d, double max_span, MergeWork& w) {
    sortbysize(p);
    w.groups.clear();
    w.members.clear();
    const int n = static_cast<int>(p.size());
    w.heap.clear();
    auto later = [](const MergePair& x, const MergePair& y) {
        return x.diff > y.diff || (x.diff == y.diff && x.left > y.left);
    };
    auto offer = [&](int l, int r) {
        if (l >= 0 && r >= 0 && maymerge(p[l], p[r], d, max_span)) {
            w.heap.push_back({p[r].size - p[l].size, l, r, w.version[l], w.version[r]});
            std::push_heap(w.heap.begin(), w.heap.end(), later);
        }
    };
    w.version.assign(n, 0);
    for (int i = 0; i + 1 < n; ++i) offer(i, i + 1);
    if (w.heap.empty()) return;  // nothing to merge
    w.prev.resize(n);
    w.next.resize(n);
    w.member_next.assign(n, -1);
    w.member_tail.resize(n);
    w.alive.assign(n, 1);
    for (int i = 0; i < n; ++i) {
        w.prev[i] = i - 1;
        w.next[i] = i + 1 < n ? i + 1 : -1;
        w.member_tail[i] = i;
    }
    w.originals.assign(p.begin(), p.end());
    while (!w.heap.empty()) {
        std::pop_heap(w.heap.begin(), w.heap.end(), later);
        const MergePair top = w.heap.back();
        w.heap.pop_back();
        const int l = top.left, r = top.right;
        if (!w.alive[l] || !w.alive[r] || w.version[l] != top.vl || w.version[r] != top.vr) continue;
        p[l] = combine(p[l], p[r]);
        w.alive[r] = 0;
        ++w.version[l];
        w.next[l] = w.next[r];
        if (w.next[r] >= 0) w.prev[w.next[r]] = l;
        w.member_next[w.member_tail[l]] = r;
        w.member_tail[l] = w.member_tail[r];
        offer(w.prev[l], l);
        offer(l, w.next[l]);
    }
    std::size_t k = 0;
    for (int i = 0; i < n; ++i) {
        if (!w.alive[i]) continue;
        if (p[i].members > 1) {
            w.groups.push_back({k, w.members.size(), static_cast<std::size_t>(p[i].members)});
            for (int m = i; m >= 0; m = w.member_next[m]) w.members.push_back(w.originals[m]);
        }
        p[k++] = p[i];
    }
    p.resize(k);
}

inline double filtervalue(const FilterPeak& x, bool use_area) { return use_area ? x.area : x.height; }

// The relative threshold: a peak is kept when its value is at least
// percent % of the sample's total over the peaks left.  One pass is final:
// removing peaks only lowers the total, so every kept share only grows.  A
// sample whose total is not above 0 loses every peak (zero_total set).
inline void relativethreshold(std::vector<FilterPeak>& p, double percent, bool use_area,
                              std::vector<FilterPeak>& dropped, bool& zero_total) {
    zero_total = false;
    if (percent <= 0 || p.empty()) return;
    double total = 0;
    for (const FilterPeak& x : p) total += filtervalue(x, use_area);
    if (!(total > 0)) {
        zero_total = true;
        dropped.insert(dropped.end(), p.begin(), p.end());
        p.clear();
        return;
    }
    std::size_t k = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        // The share is compared with a relative slack of the division's rounding.
        double share = 100.0 * filtervalue(p[i], use_area) / total;
        if (share * (1 + 1e-12) >= percent)
            keepat(p, k, i);
        else
            dropped.push_back(p[i]);
    }
    p.resize(k);
}

// One round of the statistical filter: n values left, s = sqrt(sum x^2 / n)
// (a spread about 0), the bar k*s and the number of values above it.
struct StatRound {
    long long n;
    double s, bar;
    long long accepted;
};
struct StatOutcome {
    std::vector<char> accepted;  // per value: above the bar in some round
    std::vector<StatRound> rounds;
    bool too_small = false;  // n <= k^2: no value could pass; all kept
};

// The iterative statistical filter of Abdo et al. (2006) on a pool of
// proportions: every value above k*s is accepted and leaves the pool, s is
// taken again on what is left, until a round accepts nothing.  Since
// sum x^2 >= max^2, a pool of n <= k^2 values can never pass a value; such a
// pool is left whole (too_small) rather than emptied.  The values are taken
// largest first, so what is left is always a tail of that order and its sum
// of squares is read from sums built from the smallest value up.  The values
// must be finite.
inline StatOutcome statisticalfilter(const std::vector<double>& x, double k) {
    StatOutcome out;
    const std::size_t n = x.size();
    out.accepted.assign(n, 0);
    if (n == 0) return out;
    if (static_cast<double>(n) <= k * k) {
        out.too_small = true;
        out.accepted.assign(n, 1);
        return out;
    }
    // Each round takes a top part of what is left, so the accepted values
    // are the m largest, ties never split (equal values pass together).
    std::vector<double> sorted(x);
    std::sort(sorted.begin(), sorted.end(), [](double a, double b) { return a > b; });
    std::vector<double> tail(n + 1, 0.0);  // tail[i] = sum of squares of sorted[i..n-1]
    for (std::size_t i = n; i-- > 0;) tail[i] = tail[i + 1] + sorted[i] * sorted[i];
    std::size_t first = 0;  // sorted[first..] are left
    while (first < n) {
        const long long left = static_cast<long long>(n - first);
        const double s = std::sqrt(tail[first] / static_cast<double>(left));
        const double bar = k * s;
        std::size_t end = first;
        while (end < n && sorted[end] > bar) ++end;
        out.rounds.push_back({left, s, bar, static_cast<long long>(end - first)});
        if (end == first) break;
        first = end;
    }
    if (first > 0)
        for (std::size_t i = 0; i < n; ++i) out.accepted[i] = x[i] >= sorted[first - 1];
    return out;
}
