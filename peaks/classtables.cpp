#include "peaks/classtables.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>
#include <vector>

#include "datafile/binfile.h"

#include "datafile/sort.h"

void fillsum(DMatrix table, DVector sample, DVector length, DVector value, const ClassFinder& finder) {
    const int S = tabrows(table);
    const int R = veclen(sample);
    for (int r = 1; r <= R; ++r) {
        double x = sample[r];
        if (!(x >= 1.0) || !std::isfinite(x)) continue;
        int i = static_cast<int>(x);
        if (i > S) continue;
        int c = finder.first(length[r]);
        // In input order, so every cell adds its values in the same order.
        if (c) table[i][c] += value[r];
    }
}

void fillmax(DMatrix table, DVector sample, DVector length, DVector value, const ClassFinder& finder) {
    const int S = tabrows(table);
    const int R = veclen(sample);
    for (int r = 1; r <= R; ++r) {
        double x = sample[r];
        if (!(x >= 1.0 && x <= S)) continue;
        int s = static_cast<int>(x);
        if (static_cast<double>(s) != x) continue;
        // The result is the largest value of each cell, whatever the order
        // of the peaks: cells never fall, and NaN never replaces a value.
        double v = value[r];
        double* row = table[s];
        finder.each(length[r], [row, v](int c) {
            if (row[c] < v) row[c] = v;
        });
    }
}

namespace {

// The few largest values of a row, in a heap whose top is the smallest of
// them: after a pass over the row the top is the value at position n in
// decreasing order.  Most values of a row are below the top and cost one
// comparison.  False when the row holds NaN, which has no place in an order.
bool nth_largest_by_heap(const double* row, int T, std::size_t n, std::vector<double>& heap, double& value) {
    heap.clear();
    const std::greater<double> above;
    for (int j = 1; j <= T; ++j) {
        double v = row[j];
        if (std::isnan(v)) return false;
        if (heap.size() < n) {
            heap.push_back(v);
            std::push_heap(heap.begin(), heap.end(), above);
        } else if (v > heap.front()) {
            std::pop_heap(heap.begin(), heap.end(), above);
            heap.back() = v;
            std::push_heap(heap.begin(), heap.end(), above);
        }
    }
    value = heap.front();
    return true;
}

// The same by a selection on a copy of the row, for larger n.
bool nth_largest_by_selection(const double* row, int T, std::size_t n, std::vector<double>& work, double& value) {
    work.assign(row + 1, row + 1 + T);
    for (double v : work)
        if (std::isnan(v)) return false;
    const std::size_t at = static_cast<std::size_t>(T) - n;
    std::nth_element(work.begin(), work.begin() + static_cast<long>(at), work.end());
    value = work[at];
    return true;
}

}  // namespace

void keeplargest(DMatrix table, int maxpeaks) {
    const int S = tabrows(table);
    const int T = tabcols(table);
    if (!(maxpeaks >= 1 && maxpeaks < T)) return;
    // The value at position maxpeaks in decreasing order does not depend on
    // the order of equal values, so a heap or a selection gives the value
    // that the library's sort would put there.
    const std::size_t n = static_cast<std::size_t>(maxpeaks);
    const bool by_heap = n <= 64;
    std::vector<double> work;
    DVector x = nullptr;
    IVector p = nullptr;
    VecGuard xg{x};
    IVecGuard pg{p};
    for (int s = 1; s <= S; ++s) {
        double* row = table[s];
        double threshold;
        bool ordered = by_heap ? nth_largest_by_heap(row, T, n, work, threshold)
                               : nth_largest_by_selection(row, T, n, work, threshold);
        if (!ordered) {
            // NaN: the library's sort decides where every value goes.
            if (!x) {
                vecalloc(x, T);
                vecintalloc(p, T);
            }
            for (int j = 1; j <= T; ++j) x[j] = row[j];
            vecsort(x, p);
            threshold = x[T - maxpeaks + 1];
        }
        for (int j = 1; j <= T; ++j)
            if (row[j] < threshold) row[j] = 0.0;
    }
}

std::vector<int> nonzerocolumns(DMatrix table) {
    const int S = tabrows(table);
    const int T = tabcols(table);
    // Row after row, so that each column adds its rows in order.
    std::vector<double> sum(static_cast<std::size_t>(T) + 1, 0.0);
    for (int i = 1; i <= S; ++i) {
        const double* row = table[i];
        for (int j = 1; j <= T; ++j) sum[static_cast<std::size_t>(j)] += row[j];
    }
    std::vector<int> cols;
    for (int j = 1; j <= T; ++j)
        if (sum[static_cast<std::size_t>(j)] != 0.0) cols.push_back(j);
    return cols;
}

namespace {

// The sum of a row's values over the columns cols (1-based; all T columns
// when cols is null), added in column order.
double row_sum(const double* a, int T, const std::vector<int>* cols) {
    double sum = 0.0;
    if (cols) {
        for (int j : *cols) sum += a[j];
    } else {
        for (int j = 1; j <= T; ++j) sum += a[j];
    }
    return sum;
}

// Divides values by sum, or makes them zeros when the sum is 0 (and there
// are values); true in that case.
bool divide(double* v, int n, double sum) {
    if (n > 0 && sum == 0.0) {
        for (int j = 0; j < n; ++j) v[j] = 0.0;
        return true;
    }
    for (int j = 0; j < n; ++j) v[j] /= sum;
    return false;
}

}  // namespace

WrittenTables writetables(DMatrix table, const std::vector<int>& keep, bool proportions, const std::string& full_name,
                          const std::string& kept_name) {
    const int S = tabrows(table);
    const int T = tabcols(table);
    const int NH = static_cast<int>(keep.size());
    WrittenTables w{NH, 0, 0};
    // A reduced row is its kept values divided by its own sum.  Where that
    // sum equals the full row's sum, the divided full row already holds
    // those values.  The sums differ only where a dropped column (whose
    // cells add up to 0) holds values in the row, or where a sum is not a
    // number: such rows keep their reduced values aside, divided by their
    // own sum, before the full row is divided.
    std::vector<int> kept_zero(static_cast<std::size_t>(S) + 1, 0);
    std::vector<std::pair<int, std::vector<double>>> aside;
    if (proportions) {
        // A running sum from +0 is never -0, so a cell of 0 never changes
        // it: where every dropped cell of a row is 0, the kept sum is the
        // full sum, bit for bit, and need not be added up again.
        std::vector<int> dropped;
        for (int j = 1, k = 0; j <= T; ++j) {
            if (k < NH && keep[static_cast<std::size_t>(k)] == j)
                ++k;
            else
                dropped.push_back(j);
        }
        // Row by row, both sums and the division while the row is in cache.
        for (int i = 1; i <= S; ++i) {
            double* row = table[i];
            const double full = row_sum(row, T, nullptr);
            bool zeros = true;
            for (int j : dropped) zeros = zeros && row[j] == 0.0;
            const double kept = zeros ? full : row_sum(row, T, &keep);
            if (!(kept == full)) {
                std::vector<double> v;
                for (int c : keep) v.push_back(row[c]);
                kept_zero[static_cast<std::size_t>(i)] = divide(v.data(), NH, kept);
                aside.emplace_back(i, std::move(v));
            } else {
                kept_zero[static_cast<std::size_t>(i)] = NH > 0 && kept == 0.0;
            }
            if (divide(row + 1, T, full)) ++w.zero_full;
        }
    }
    ecrmat(table, full_name.c_str());

    for (int i = 1; i <= S; ++i) {
        double* row = table[i];
        for (int k = 0; k < NH; ++k) row[k + 1] = row[keep[static_cast<std::size_t>(k)]];  // keep[k] >= k + 1
        w.zero_kept += kept_zero[static_cast<std::size_t>(i)];
    }
    for (const auto& a : aside)
        for (int k = 0; k < NH; ++k) table[a.first][k + 1] = a.second[static_cast<std::size_t>(k)];
    table[1][0] = NH;
    ecrmat(table, kept_name.c_str());
    table[1][0] = T;
    return w;
}

std::string full_table_name(const char* path, bool heights, bool sum) {
    return std::string(path) + (sum ? (heights ? "_tabtotSH" : "_tabtotSS") : (heights ? "_tabtotMH" : "_tabtotMS"));
}

std::string kept_table_name(const char* path, bool heights, bool sum) {
    return std::string(path) + (sum ? (heights ? "_tabSH" : "_tabSS") : (heights ? "_tabMH" : "_tabMS"));
}
