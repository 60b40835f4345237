#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "datafile/arrays.h"
#include "datafile/sort.h"
#include "support/fake_platform.h"

namespace {

// The plain recursive form of the sort, kept as the oracle.
void oracle_step(std::vector<double>& x, std::vector<int>& p, int left, int right) {
    if (right - left <= 0) return;
    int m = (left + right) / 2;
    std::swap(x[left], x[m]);
    std::swap(p[left], p[m]);
    double pivot = x[left];
    int last = left;
    for (int i = left + 1; i <= right; ++i)
        if (x[i] > pivot) {
            ++last;
            std::swap(x[last], x[i]);
            std::swap(p[last], p[i]);
        }
    std::swap(x[left], x[last]);
    std::swap(p[left], p[last]);
    oracle_step(x, p, left, last - 1);
    oracle_step(x, p, last + 1, right);
}

void oracle_sort(std::vector<double>& x, std::vector<int>& p) {
    int n = static_cast<int>(x.size()) - 1;
    for (int i = 1; i <= n; ++i) p[i] = i;
    oracle_step(x, p, 1, n);
    std::vector<double> w(x);
    std::vector<int> q(p);
    for (int i = 1; i <= n; ++i) {
        x[i] = w[n - i + 1];
        p[i] = q[n - i + 1];
    }
}

struct Sorted {
    std::vector<double> x;
    std::vector<int> p;
};

Sorted run_vecsort(const std::vector<double>& values) {
    int n = static_cast<int>(values.size());
    DVector x = nullptr;
    IVector p = nullptr;
    VecGuard xg{x};
    IVecGuard pg{p};
    vecalloc(x, n);
    vecintalloc(p, n);
    for (int i = 1; i <= n; ++i) x[i] = values[static_cast<std::size_t>(i - 1)];
    vecsort(x, p);
    EXPECT_EQ(x[0], n);
    EXPECT_EQ(p[0], n);
    Sorted s;
    for (int i = 1; i <= n; ++i) {
        s.x.push_back(x[i]);
        s.p.push_back(p[i]);
    }
    return s;
}

}  // namespace

TEST(Vecsort, WorkedOrdersOfEqualValues) {
    reset_fake();
    struct Case {
        std::vector<double> in, x;
        std::vector<int> p;
    } cases[] = {
        {{}, {}, {}},
        {{4}, {4}, {1}},
        {{3, 1, 2}, {1, 2, 3}, {2, 3, 1}},
        {{5, 5, 1}, {1, 5, 5}, {3, 1, 2}},
        {{2, 2, 2}, {2, 2, 2}, {3, 1, 2}},
        {{0, 7, 0, 7, 1}, {0, 0, 1, 7, 7}, {1, 3, 5, 4, 2}},
        {{1, 2, 3, 4}, {1, 2, 3, 4}, {1, 2, 3, 4}},
    };
    for (const auto& c : cases) {
        Sorted s = run_vecsort(c.in);
        EXPECT_EQ(s.x, c.x);
        EXPECT_EQ(s.p, c.p);
    }
}

TEST(Vecsort, MatchesRecursiveFormOnRandomVectorsWithTies) {
    reset_fake();
    std::mt19937 rng(12345);
    for (int trial = 0; trial < 2000; ++trial) {
        int n = static_cast<int>(rng() % 60);
        int spread = 1 + static_cast<int>(rng() % 6);  // few distinct values: many ties
        std::vector<double> in;
        for (int i = 0; i < n; ++i)
            in.push_back(rng() % 50 == 0 ? std::nan("") : static_cast<double>(rng() % spread) - 2.5);
        std::vector<double> ox(in);
        ox.insert(ox.begin(), 0.0);
        std::vector<int> op(ox.size());
        oracle_sort(ox, op);
        Sorted s = run_vecsort(in);
        // Positions decide everything; NaN values make x itself incomparable.
        ASSERT_EQ(s.p, std::vector<int>(op.begin() + 1, op.end())) << "trial " << trial;
        for (int i = 0; i < n; ++i) ASSERT_EQ(std::memcmp(&s.x[i], &in[s.p[i] - 1], sizeof(double)), 0);
    }
}

TEST(Vecsort, MillionEqualValuesDoNotExhaustTheStack) {
    reset_fake();
    Sorted s = run_vecsort(std::vector<double>(1000000, 0.0));
    EXPECT_EQ(s.p.size(), 1000000u);
    EXPECT_EQ(s.x.back(), 0.0);
}
