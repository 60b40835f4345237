// The figures of "Replicate consensus" on a class table held in memory (a
// row per replicate, a column per bin), free of files and report lines so
// that they can be checked on their own.
//
// A cell is present when it is finite and above 0; any other cell (0, a
// negative value, not-a-number) is absent and counts as 0.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

inline bool replicatepresent(float v) { return std::isfinite(v) && v > 0; }

// How a group's replicates are joined.
struct ConsensusRule {
    int min_present = 2;        // k, capped at the group size
    bool over_present = false;  // the mean over the replicates where a bin is present, else over all
    bool normalise = true;      // each replicate divided by its own total first
};

// One group's consensus row.
struct GroupConsensus {
    std::vector<float> values;  // a value per bin; 0 where the bin is dropped
    std::vector<int> present;   // per bin, the replicates where it is present
    int k = 0;                  // the minimum used (k capped at the group size)
    int empty_replicates = 0;   // replicates with no present cell
    long long kept = 0;         // bins present in at least k replicates
    long long dropped = 0;      // bins present in some replicate but fewer than k
};

// The sum of the present cells of a row.
inline double replicatetotal(const float* row, int cols) {
    double total = 0;
    for (int c = 0; c < cols; ++c)
        if (replicatepresent(row[c])) total += row[c];
    return total;
}

// The consensus of the replicate rows (indices into table, cols to a row).
// An empty replicate counts as absent everywhere but still counts in n.
inline GroupConsensus consensusrow(const std::vector<float>& table, int cols, const std::vector<int>& rows,
                                   const ConsensusRule& rule) {
    const std::size_t ncols = static_cast<std::size_t>(cols);
    GroupConsensus g;
    const int n = static_cast<int>(rows.size());
    g.k = std::max(1, std::min(rule.min_present, n));
    std::vector<double> sum(ncols, 0.0);
    g.present.assign(ncols, 0);
    for (int r : rows) {
        const float* row = &table[static_cast<std::size_t>(r) * ncols];
        const double total = replicatetotal(row, cols);
        if (!(total > 0)) {
            ++g.empty_replicates;
            continue;
        }
        const double scale = rule.normalise ? 1 / total : 1;
        for (std::size_t c = 0; c < ncols; ++c)
            if (replicatepresent(row[c])) {
                sum[c] += row[c] * scale;
                ++g.present[c];
            }
    }
    g.values.assign(ncols, 0.0f);
    for (std::size_t c = 0; c < ncols; ++c) {
        if (g.present[c] == 0) continue;
        if (g.present[c] < g.k) {
            ++g.dropped;
            continue;
        }
        ++g.kept;
        g.values[c] = static_cast<float>(sum[c] / (rule.over_present ? g.present[c] : n));
    }
    return g;
}

// Two replicates of one group compared.  Bray-Curtis is taken on the
// proportions of each row's total; both figures are undefined (NaN) when
// neither replicate has a present cell.
struct PairFigures {
    int a = 0, b = 0;  // table rows
    double bray_curtis = 0, jaccard = 0;
    long long mismatches = 0;  // bins present in exactly one of the two
    bool outlier = false;      // mismatches are at least a quarter of the bins
};

inline PairFigures comparepair(const std::vector<float>& table, int cols, int a, int b) {
    const std::size_t ncols = static_cast<std::size_t>(cols);
    const float* x = &table[static_cast<std::size_t>(a) * ncols];
    const float* y = &table[static_cast<std::size_t>(b) * ncols];
    const double tx = replicatetotal(x, cols), ty = replicatetotal(y, cols);
    PairFigures p;
    p.a = a;
    p.b = b;
    double diff = 0, both = 0;
    long long shared = 0;
    for (std::size_t c = 0; c < ncols; ++c) {
        const bool in_x = replicatepresent(x[c]), in_y = replicatepresent(y[c]);
        const double px = in_x ? x[c] / tx : 0, py = in_y ? y[c] / ty : 0;
        diff += std::fabs(px - py);
        both += px + py;
        if (in_x && in_y) ++shared;
        if (in_x != in_y) ++p.mismatches;
    }
    const double nan = std::numeric_limits<double>::quiet_NaN();
    p.bray_curtis = both > 0 ? diff / both : nan;
    p.jaccard =
        shared + p.mismatches > 0 ? static_cast<double>(shared) / static_cast<double>(shared + p.mismatches) : nan;
    // In whole numbers, so that a rate of exactly 25 % is an outlier.
    p.outlier = cols > 0 && 4 * p.mismatches >= static_cast<long long>(cols);
    return p;
}

// The reproducibility of one bin over the pairs that are not outliers.
struct BinFigures {
    long long pairs = 0;          // pairs used
    long long pairs_present = 0;  // of those, pairs where a member has the bin
    long long mismatches = 0;     // of those, pairs where exactly one member has it
    long long tested = 0;         // presences of the bin summed over the pairs used
    // 100 - 100 * mismatches / pairs, and the same over pairs_present (NaN
    // when there is no pair to take it over).
    double all() const { return percent(pairs); }
    double present_only() const { return percent(pairs_present); }

  private:
    double percent(long long over) const {
        return over > 0 ? 100 - 100 * static_cast<double>(mismatches) / static_cast<double>(over)
                        : std::numeric_limits<double>::quiet_NaN();
    }
};

// The figures of every bin over the pairs given (outliers left out).
inline std::vector<BinFigures> binfigures(const std::vector<float>& table, int cols,
                                          const std::vector<PairFigures>& pairs) {
    const std::size_t ncols = static_cast<std::size_t>(cols);
    std::vector<BinFigures> bins(ncols);
    for (const PairFigures& p : pairs) {
        if (p.outlier) continue;
        const float* x = &table[static_cast<std::size_t>(p.a) * ncols];
        const float* y = &table[static_cast<std::size_t>(p.b) * ncols];
        for (std::size_t c = 0; c < ncols; ++c) {
            const int in = (replicatepresent(x[c]) ? 1 : 0) + (replicatepresent(y[c]) ? 1 : 0);
            BinFigures& f = bins[c];
            ++f.pairs;
            f.tested += in;
            if (in > 0) ++f.pairs_present;
            if (in == 1) ++f.mismatches;
        }
    }
    return bins;
}

// The median over the pairs used (outliers left out) of their mismatches
// per bin; NaN when no pair is used.
inline double medianerror(const std::vector<PairFigures>& pairs, int cols) {
    std::vector<double> rates;
    for (const PairFigures& p : pairs)
        if (!p.outlier) rates.push_back(static_cast<double>(p.mismatches) / cols);
    if (rates.empty()) return std::numeric_limits<double>::quiet_NaN();
    std::sort(rates.begin(), rates.end());
    const std::size_t m = rates.size() / 2;
    return rates.size() % 2 ? rates[m] : (rates[m - 1] + rates[m]) / 2;
}

// The repeatability indicator (sum of max - sum of mistakes) / sum of max,
// where for a group of n >= 2 replicates and a bin the mistakes are the
// replicates on the minority side of present/absent and max = floor(n/2).
// Sums are kept per group, per bin and overall; a group of one replicate
// adds nothing.
struct Repeatability {
    long long max = 0, mistakes = 0;
    void add(int present, int n) {
        if (n < 2) return;
        max += n / 2;
        mistakes += std::min(present, n - present);
    }
    double value() const {
        return max > 0 ? static_cast<double>(max - mistakes) / static_cast<double>(max)
                       : std::numeric_limits<double>::quiet_NaN();
    }
};
