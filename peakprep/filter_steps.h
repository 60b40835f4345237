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
#include <queue>
#include <vector>

struct FilterPeak {
    double peak_no = 0, minutes = 0, size = 0, height = 0, area = 0;
    double lo = 0, hi = 0;  // smallest and largest size of the original peaks merged here
    int members = 1;        // number of original peaks merged here
};

inline FilterPeak makepeak(double peak_no, double minutes, double size, double height, double area) {
    FilterPeak p;
    p.peak_no = peak_no;
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

// Peaks outside [min_size, max_size] (a limit of 0 is off) go to dropped.
inline void sizerange(std::vector<FilterPeak>& p, double min_size, double max_size, std::vector<FilterPeak>& dropped) {
    std::size_t k = 0;
    for (const FilterPeak& x : p) {
        bool keep = (min_size <= 0 || atleast(x.size, min_size)) && (max_size <= 0 || atmost(x.size, max_size));
        if (keep)
            p[k++] = x;
        else
            dropped.push_back(x);
    }
    p.resize(k);
}

// Peaks lower than min_height (0 is off) go to dropped.
inline void absoluteheight(std::vector<FilterPeak>& p, double min_height, std::vector<FilterPeak>& dropped) {
    if (min_height <= 0) return;
    std::size_t k = 0;
    for (const FilterPeak& x : p) {
        if (atleast(x.height, min_height))
            p[k++] = x;
        else
            dropped.push_back(x);
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
    return max_span <= 0 || b.hi - a.lo <= max_span + sizeslack(a.lo, b.hi);
}

// The peaks of one sample merged: sorted by size (stably), then, as long as
// some neighbours may merge, the closest such pair (the leftmost of equally
// close pairs) is replaced by its combination, and the distances to the new
// peak's neighbours are taken again.  groups[i] lists the original peaks of
// result[i] (in size order).  A heap of candidate pairs keeps this near
// n log n; stale entries (a side merged since) are skipped.
inline std::vector<FilterPeak> mergeclose(std::vector<FilterPeak> p, double d, double max_span,
                                          std::vector<std::vector<FilterPeak>>* groups) {
    std::stable_sort(p.begin(), p.end(), [](const FilterPeak& a, const FilterPeak& b) { return a.size < b.size; });
    const int n = static_cast<int>(p.size());
    std::vector<int> prev(n), next(n), version(n, 0), member_next(n, -1), member_tail(n);
    std::vector<char> alive(n, 1);
    for (int i = 0; i < n; ++i) {
        prev[i] = i - 1;
        next[i] = i + 1 < n ? i + 1 : -1;
        member_tail[i] = i;
    }
    const std::vector<FilterPeak> originals = groups ? p : std::vector<FilterPeak>();
    struct Pair {
        double diff;
        int left, right, vl, vr;
    };
    auto later = [](const Pair& x, const Pair& y) { return x.diff > y.diff || (x.diff == y.diff && x.left > y.left); };
    std::priority_queue<Pair, std::vector<Pair>, decltype(later)> heap(later);
    auto offer = [&](int l, int r) {
        if (l >= 0 && r >= 0 && maymerge(p[l], p[r], d, max_span))
            heap.push({p[r].size - p[l].size, l, r, version[l], version[r]});
    };
    for (int i = 0; i + 1 < n; ++i) offer(i, i + 1);
    while (!heap.empty()) {
        Pair top = heap.top();
        heap.pop();
        if (!alive[top.left] || !alive[top.right] || version[top.left] != top.vl || version[top.right] != top.vr)
            continue;
        const int l = top.left, r = top.right;
        p[l] = combine(p[l], p[r]);
        alive[r] = 0;
        ++version[l];
        next[l] = next[r];
        if (next[r] >= 0) prev[next[r]] = l;
        member_next[member_tail[l]] = r;
        member_tail[l] = member_tail[r];
        offer(prev[l], l);
        offer(l, next[l]);
    }
    std::vector<FilterPeak> result;
    if (groups) groups->clear();
    for (int i = 0; i < n; ++i) {
        if (!alive[i]) continue;
        result.push_back(p[i]);
        if (!groups) continue;
        groups->emplace_back();
        for (int m = i; m >= 0; m = member_next[m]) groups->back().push_back(originals[m]);
    }
    return result;
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
    for (const FilterPeak& x : p) {
        // The share is compared with a relative slack of the division's rounding.
        double share = 100.0 * filtervalue(x, use_area) / total;
        if (share * (1 + 1e-12) >= percent)
            p[k++] = x;
        else
            dropped.push_back(x);
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
    bool too_small = false;      // n <= k^2: no value could pass; all kept
};

// The iterative statistical filter of Abdo et al. (2006) on a pool of
// proportions: every value above k*s is accepted and leaves the pool, s is
// taken again on what is left, until a round accepts nothing.  Since
// sum x^2 >= max^2, a pool of n <= k^2 values can never pass a value; such a
// pool is left whole (too_small) rather than emptied.  The values are taken
// largest first, so what is left is always a tail of that order and its sum
// of squares is read from sums built from the smallest value up.
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
    std::vector<std::size_t> order(n);
    for (std::size_t i = 0; i < n; ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return x[a] > x[b]; });
    std::vector<double> tail(n + 1, 0.0);  // tail[i] = sum of squares of order[i..n-1]
    for (std::size_t i = n; i-- > 0;) tail[i] = tail[i + 1] + x[order[i]] * x[order[i]];
    std::size_t first = 0;  // values order[first..] are left
    while (first < n) {
        const long long left = static_cast<long long>(n - first);
        const double s = std::sqrt(tail[first] / static_cast<double>(left));
        const double bar = k * s;
        std::size_t end = first;
        while (end < n && x[order[end]] > bar) out.accepted[order[end++]] = 1;
        out.rounds.push_back({left, s, bar, static_cast<long long>(end - first)});
        if (end == first) break;
        first = end;
    }
    return out;
}
