// The two range trees the cutting of "Bin by clusters" works with, free of
// files so that they can be checked on their own.
#pragma once

#include <algorithm>
#include <cstddef>
#include <limits>
#include <vector>

const std::size_t kNoPosition = static_cast<std::size_t>(-1);

// Range maximum over fixed positions, with point changes and a search for
// the first position at or above a threshold (a bottom-up tree).
class MaxTree {
  public:
    explicit MaxTree(const std::vector<double>& v) {
        while (base_ < v.size()) base_ *= 2;
        t_.assign(2 * base_, -std::numeric_limits<double>::infinity());
        for (std::size_t i = 0; i < v.size(); ++i) t_[base_ + i] = v[i];
        for (std::size_t k = base_ - 1; k >= 1; --k) t_[k] = std::max(t_[2 * k], t_[2 * k + 1]);
    }
    // The largest value in [l, r].
    double max(std::size_t l, std::size_t r) const {
        double m = -std::numeric_limits<double>::infinity();
        for (std::size_t lo = l + base_, hi = r + base_ + 1; lo < hi; lo /= 2, hi /= 2) {
            if (lo & 1) m = std::max(m, t_[lo++]);
            if (hi & 1) m = std::max(m, t_[--hi]);
        }
        return m;
    }
    void set(std::size_t i, double v) {
        std::size_t k = i + base_;
        t_[k] = v;
        for (k /= 2; k >= 1; k /= 2) t_[k] = std::max(t_[2 * k], t_[2 * k + 1]);
    }
    // The first position in [l, r] whose value is at least threshold, or
    // kNoPosition.
    std::size_t first(std::size_t l, std::size_t r, double threshold) const {
        std::size_t left[64], right[64];
        int nl = 0, nr = 0;
        for (std::size_t lo = l + base_, hi = r + base_ + 1; lo < hi; lo /= 2, hi /= 2) {
            if (lo & 1) left[nl++] = lo++;
            if (hi & 1) right[nr++] = --hi;
        }
        while (nr > 0) left[nl++] = right[--nr];  // the covering nodes, left to right
        for (int j = 0; j < nl; ++j) {
            std::size_t k = left[j];
            if (!(t_[k] >= threshold)) continue;
            while (k < base_) k = t_[2 * k] >= threshold ? 2 * k : 2 * k + 1;
            return k - base_;
        }
        return kNoPosition;
    }

  private:
    std::size_t base_ = 1;
    std::vector<double> t_;
};

// Integer values at positions with additions over ranges, the largest
// value in a range and the first and last positions holding it.  Its
// recursion only follows the tree's height (about 20 levels for a million
// positions).
class AddMaxTree {
  public:
    explicit AddMaxTree(const std::vector<long long>& v) : n_(v.size()) {
        while (base_ < n_) base_ *= 2;
        mx_.assign(2 * base_, kLow);
        add_.assign(2 * base_, 0);
        for (std::size_t i = 0; i < n_; ++i) mx_[base_ + i] = v[i];
        for (std::size_t k = base_ - 1; k >= 1; --k) mx_[k] = std::max(mx_[2 * k], mx_[2 * k + 1]);
    }
    void add(std::size_t l, std::size_t r, long long d) { add_at(1, 0, base_ - 1, l, r, d); }
    long long max(std::size_t l, std::size_t r) const { return max_at(1, 0, base_ - 1, l, r); }
    // The first (last) position in [l, r] holding value, or kNoPosition.
    std::size_t first(std::size_t l, std::size_t r, long long value) const {
        return find_at(1, 0, base_ - 1, l, r, value, 0, false);
    }
    std::size_t last(std::size_t l, std::size_t r, long long value) const {
        return find_at(1, 0, base_ - 1, l, r, value, 0, true);
    }

  private:
    static constexpr long long kLow = std::numeric_limits<long long>::min() / 4;

    // mx_[k] is the largest value below node k, counting the additions of
    // k and of its descendants but not of its ancestors.
    void add_at(std::size_t k, std::size_t nl, std::size_t nr, std::size_t l, std::size_t r, long long d) {
        if (r < nl || nr < l) return;
        if (l <= nl && nr <= r) {
            mx_[k] += d;
            add_[k] += d;
            return;
        }
        const std::size_t mid = nl + (nr - nl) / 2;
        add_at(2 * k, nl, mid, l, r, d);
        add_at(2 * k + 1, mid + 1, nr, l, r, d);
        mx_[k] = std::max(mx_[2 * k], mx_[2 * k + 1]) + add_[k];
    }
    long long max_at(std::size_t k, std::size_t nl, std::size_t nr, std::size_t l, std::size_t r) const {
        if (r < nl || nr < l) return kLow;
        if (l <= nl && nr <= r) return mx_[k];
        const std::size_t mid = nl + (nr - nl) / 2;
        return std::max(max_at(2 * k, nl, mid, l, r), max_at(2 * k + 1, mid + 1, nr, l, r)) + add_[k];
    }
    // above: the additions of k's ancestors.
    std::size_t find_at(std::size_t k, std::size_t nl, std::size_t nr, std::size_t l, std::size_t r, long long value,
                        long long above, bool from_right) const {
        if (r < nl || nr < l || mx_[k] + above < value) return kNoPosition;
        if (nl == nr) return nl;
        const std::size_t mid = nl + (nr - nl) / 2;
        const long long below = above + add_[k];
        std::size_t got = from_right ? find_at(2 * k + 1, mid + 1, nr, l, r, value, below, true)
                                     : find_at(2 * k, nl, mid, l, r, value, below, false);
        if (got != kNoPosition) return got;
        return from_right ? find_at(2 * k, nl, mid, l, r, value, below, true)
                          : find_at(2 * k + 1, mid + 1, nr, l, r, value, below, false);
    }

    std::size_t n_, base_ = 1;
    std::vector<long long> mx_, add_;
};
