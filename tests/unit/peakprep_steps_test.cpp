// The steps of Peakprep's "Filter peaks" and the figures of "Profile
// summary", against cases worked by hand and against plain versions of the
// fast algorithms.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "peakprep/filter_steps.h"
#include "peakprep/summary_figures.h"

namespace {

std::vector<FilterPeak> peaks(const std::vector<std::pair<double, double>>& size_height) {
    std::vector<FilterPeak> p;
    for (const auto& sh : size_height) p.push_back(makepeak(0, static_cast<float>(sh.first), sh.second, 1));
    return p;
}

// The merge as defined, with no heap: sort, then merge the closest
// mergeable neighbours (the leftmost on ties) until none is left.
std::vector<FilterPeak> plainmerge(std::vector<FilterPeak> p, double d, double span) {
    for (std::size_t i = 1; i < p.size(); ++i)  // insertion sort: stable
        for (std::size_t j = i; j > 0 && p[j].size < p[j - 1].size; --j) std::swap(p[j], p[j - 1]);
    for (;;) {
        std::size_t best = p.size();
        for (std::size_t i = 0; i + 1 < p.size(); ++i)
            if (maymerge(p[i], p[i + 1], d, span) &&
                (best == p.size() || p[i + 1].size - p[i].size < p[best + 1].size - p[best].size))
                best = i;
        if (best == p.size()) return p;
        p[best] = combine(p[best], p[best + 1]);
        p.erase(p.begin() + static_cast<long>(best) + 1);
    }
}

// The statistical filter as defined: s over what is left, every value
// above k*s accepted, until a round accepts nothing.
std::vector<char> plainstatistical(const std::vector<double>& x, double k) {
    std::vector<char> accepted(x.size(), 0);
    if (x.size() <= k * k) return std::vector<char>(x.size(), 1);
    for (;;) {
        double sum = 0;
        int n = 0;
        for (std::size_t i = 0; i < x.size(); ++i)
            if (!accepted[i]) sum += x[i] * x[i], ++n;
        if (n == 0) return accepted;
        const double bar = k * std::sqrt(sum / n);
        int taken = 0;
        for (std::size_t i = 0; i < x.size(); ++i)
            if (!accepted[i] && x[i] > bar) accepted[i] = 1, ++taken;
        if (!taken) return accepted;
    }
}

std::vector<double> sizes(const std::vector<FilterPeak>& p) {
    std::vector<double> s;
    for (const FilterPeak& x : p) s.push_back(x.size);
    return s;
}

}  // namespace

TEST(PeakprepSteps, LimitsKeepValuesOnThemInTheTablePrecision) {
    // 100.2 is stored as a float below the double 100.2; it is on the limit.
    std::vector<FilterPeak> p = peaks({{100.2, 10}, {100.1, 10}, {500.7, 10}, {500.8, 10}}), dropped;
    sizerange(p, 100.2, 500.7, dropped);
    EXPECT_EQ(sizes(p), (std::vector<double>{static_cast<float>(100.2), static_cast<float>(500.7)}));
    EXPECT_EQ(dropped.size(), 2u);
    p = peaks({{1, 49.9f}, {2, 50}, {3, 50.1f}});
    dropped.clear();
    absoluteheight(p, 50, dropped);
    EXPECT_EQ(sizes(p), (std::vector<double>{2, 3}));
}

TEST(PeakprepSteps, MergeCases) {
    struct Case {
        const char* what;
        std::vector<std::pair<double, double>> in;
        double d, span;
        std::vector<double> sizes, heights;
    // clang-format off
    } cases[] = {
        {"unsorted input is sorted first", {{300, 10}, {100, 30}, {100.4, 10}}, 0.5, 0, {100.1, 300}, {40, 10}},
        // As floats 100.3 and 100.6 are 0.2999954 apart.
        {"decimals exactly d apart stay apart", {{100.3, 1}, {100.6, 1}, {1500.3, 1}, {1500.6, 1}}, 0.3, 0,
         {100.3, 100.6, 1500.3, 1500.6}, {1, 1, 1, 1}},
        {"zero heights: the plain mean", {{100, 0}, {100.25, 0}, {100.5, 0}}, 0.5, 0, {100.25}, {0}},
        {"the closer pair first, then the chain", {{100, 10}, {100.4, 10}, {100.5, 20}}, 0.5, 0, {100.35}, {40}},
        {"a size that is not a number goes last, unmerged", {{100.25, 1}, {NAN, 1}, {100, 1}}, 0.5, 0, {100.125, NAN},
         {2, 1}},
        {"a span refused, the other neighbour taken", {{100, 10}, {100.4, 10}, {100.5, 20}}, 0.5, 0.45,
         {100, 100.46666666666667}, {10, 30}},
    };
    // clang-format on
    for (const Case& c : cases) {
        MergeWork w;
        std::vector<FilterPeak> m = peaks(c.in);
        mergeclose(m, c.d, c.span, w);
        ASSERT_EQ(m.size(), c.sizes.size()) << c.what;
        std::size_t members = m.size();
        for (std::size_t i = 0; i < m.size(); ++i) {
            if (std::isnan(c.sizes[i]))
                EXPECT_TRUE(std::isnan(m[i].size)) << c.what;
            else
                EXPECT_NEAR(m[i].size, c.sizes[i], 1e-4) << c.what;
            EXPECT_EQ(m[i].height, c.heights[i]) << c.what;
        }
        for (const MergeGroup& g : w.groups) {
            EXPECT_EQ(static_cast<int>(g.count), m[g.index].members) << c.what;
            double height = 0;
            for (std::size_t k = g.first; k < g.first + g.count; ++k) height += w.members[k].height;
            EXPECT_EQ(height, m[g.index].height) << c.what;
            members += g.count - 1;
        }
        EXPECT_EQ(members, c.in.size()) << c.what;
    }
}

TEST(PeakprepSteps, FastMergeAndStatisticalFilterMatchThePlainVersions) {
    std::mt19937 rng(7);
    MergeWork work;  // reused, as from sample to sample
    for (int trial = 0; trial < 300; ++trial) {
        std::vector<std::pair<double, double>> in;
        const int n = 1 + static_cast<int>(rng() % 40);
        for (int i = 0; i < n; ++i)  // sizes on a 0.05 grid, so ties occur
            in.push_back({100 + 0.05 * static_cast<double>(rng() % 80), static_cast<double>(rng() % 4 * 50)});
        const double d = 0.05 * static_cast<double>(1 + rng() % 12), span = trial % 3 ? 0.0 : 0.4;
        std::vector<FilterPeak> fast = peaks(in), plain = plainmerge(peaks(in), d, span);
        mergeclose(fast, d, span, work);
        ASSERT_EQ(sizes(fast), sizes(plain)) << trial;
        double total = 0, merged = 0;
        for (const auto& sh : in) total += sh.second;
        for (std::size_t i = 0; i < fast.size(); ++i) {
            merged += fast[i].height;
            if (i + 1 < fast.size()) {
                EXPECT_FALSE(maymerge(fast[i], fast[i + 1], d, span)) << trial;
            }
        }
        EXPECT_EQ(merged, total) << trial;

        std::vector<double> x;
        for (const auto& sh : in) x.push_back(sh.second / 1000 + static_cast<double>(rng() % 3) / 100);
        const double k = 1 + static_cast<double>(rng() % 3);
        EXPECT_EQ(statisticalfilter(x, k).accepted, plainstatistical(x, k)) << trial;
    }
}

TEST(PeakprepSteps, StatisticalFilterEdges) {
    struct Case {
        const char* what;
        std::vector<double> x;
        double k;
        std::vector<char> accepted;
        bool too_small;
        std::size_t rounds;
    // clang-format off
    } cases[] = {
        // 9 shares, one of 99.9 %: n <= k^2, nothing could pass; kept whole.
        {"n <= k^2", {0.999, 0.000125, 0.000125, 0.000125, 0.000125, 0.000125, 0.000125, 0.000125, 0.000125}, 3,
         {1, 1, 1, 1, 1, 1, 1, 1, 1}, true, 0},
        // Sum of squares 0.625 over 10: s = 0.25, k*s = 0.75: 0.75 is not above it.
        {"a value on the bar is not above it", {0.75, 0.25, 0, 0, 0, 0, 0, 0, 0, 0}, 3,
         {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, false, 1},
        // s = sqrt(1/10) = 0.316, k*s = 0.949 takes 1; then s = 0.
        {"a lone peak among ten", {1, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 3, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0}, false, 2},
    };
    // clang-format on
    for (const Case& c : cases) {
        StatOutcome o = statisticalfilter(c.x, c.k);
        EXPECT_EQ(o.accepted, c.accepted) << c.what;
        EXPECT_EQ(o.too_small, c.too_small) << c.what;
        EXPECT_EQ(o.rounds.size(), c.rounds) << c.what;
    }
}

TEST(PeakprepSteps, RelativeThresholdIsFinalAfterOnePass) {
    std::mt19937 rng(11);
    for (int trial = 0; trial < 200; ++trial) {
        std::vector<std::pair<double, double>> in;
        for (int i = 0, n = 1 + static_cast<int>(rng() % 30); i < n; ++i)
            in.push_back({100.0 + i, static_cast<double>(rng() % 1000)});
        std::vector<FilterPeak> p = peaks(in), dropped;
        bool zero = false;
        const double t = static_cast<double>(rng() % 20);
        relativethreshold(p, t, false, dropped, zero);
        const std::size_t kept = p.size();
        dropped.clear();
        relativethreshold(p, t, false, dropped, zero);
        EXPECT_EQ(p.size(), kept) << trial;
    }
    std::vector<FilterPeak> p = peaks({{1, 0}, {2, 0}}), dropped;
    bool zero = false;
    relativethreshold(p, 5, false, dropped, zero);
    EXPECT_TRUE(zero);
    EXPECT_TRUE(p.empty());
}

TEST(PeakprepSummary, PresenceAndSmallRows) {
    const float nan = NAN, inf = INFINITY;
    struct Case {
        std::vector<float> row;
        double threshold;
        double richness, total, shannon, simpson, invsimpson;
    // clang-format off
    } cases[] = {
        {{0, 0}, 0, 0, 0, nan, nan, nan},
        {{-3, nan, inf, 4}, 0, 1, 4, 0, 0, 1},  // only finite values above 0 count
        {{2, 1.5f}, 2, 1, 2, 0, 0, 1},          // on the threshold counts
        {{3, 1}, 0, 2, 4, -(0.75 * std::log(0.75) + 0.25 * std::log(0.25)), 0.375, 1.6},
    };
    // clang-format on
    for (const Case& c : cases) {
        Diversity d = diversity(c.row.data(), c.row.size(), c.threshold);
        EXPECT_EQ(d.richness, c.richness);
        EXPECT_EQ(d.total, c.total);
        for (auto [got, want] :
             {std::pair<double, double>{d.shannon, c.shannon}, {d.simpson, c.simpson}, {d.invsimpson, c.invsimpson}}) {
            if (std::isnan(want))
                EXPECT_TRUE(std::isnan(got));
            else
                EXPECT_NEAR(got, want, 1e-12);
        }
    }
}
