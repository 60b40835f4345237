// Pull-up flags of "Flag pull-up": cases worked by hand, and the sliding
// window against a plain comparison of all pairs.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "peakprep/pullup_flags.h"

namespace {

// A peak as a table holds it: size and height are float32 values.
PullupPeak peak(float size, float height, int dye) { return {size, height, dye}; }

// Every pair compared: the tallest peak of another dye within the
// tolerance; ties to the smaller dye, the closer size, the smaller size.
std::vector<PullupFlag> allpairs(const std::vector<PullupPeak>& p, double tol, double min_ratio) {
    std::vector<PullupFlag> flags(p.size());
    auto usable = [](const PullupPeak& x) { return std::isfinite(x.size) && x.height > 0 && std::isfinite(x.height); };
    for (std::size_t i = 0; i < p.size(); ++i) {
        if (!usable(p[i])) continue;
        PullupFlag& f = flags[i];
        for (std::size_t j = 0; j < p.size(); ++j) {
            if (p[j].dye == p[i].dye || !usable(p[j]) || !withintolerance(p[i].size, p[j].size, tol)) continue;
            const double dj = std::fabs(p[j].size - p[i].size), df = std::fabs(f.parent_size - p[i].size);
            const bool better = f.parent_dye == 0 || p[j].height > f.parent_height ||
                                (p[j].height == f.parent_height &&
                                 (p[j].dye < f.parent_dye ||
                                  (p[j].dye == f.parent_dye && (dj < df || (dj == df && p[j].size < f.parent_size)))));
            if (!better) continue;
            f.parent_dye = p[j].dye;
            f.parent_size = p[j].size;
            f.parent_height = p[j].height;
        }
        if (f.parent_dye == 0) continue;
        f.ratio = f.parent_height / p[i].height;
        f.flagged = f.ratio >= min_ratio * (1 - 0x1p-22);
    }
    return flags;
}

}  // namespace

TEST(PullupFlags, WorkedCases) {
    // The first peak is the one looked at; parent size 0 when it has none.
    struct Case {
        const char* what;
        std::vector<PullupPeak> peaks;
        double tol, min_ratio;
        bool flagged;
        int parent_dye;
        float parent_size;
        double ratio;
    // clang-format off
    } cases[] = {
        {"ratio exactly the minimum", {peak(100, 100, 1), peak(100.2f, 1000, 2)}, 0.5, 10, true, 2, 100.2f, 10},
        {"ratio just below", {peak(100, 100, 1), peak(100.2f, 999.9f, 2)}, 0.5, 10, false, 2, 100.2f, 9.999},
        {"ratio 8.9", {peak(100, 100, 1), peak(100, 890, 2)}, 0.5, 10, false, 2, 100, 8.9},
        // 599.97 / 199.99 falls below 3 in the stored float32 values.
        {"ratio exact in decimals", {peak(250, 199.99f, 3), peak(250, 599.97f, 4)}, 0.5, 3, true, 4, 250, 3},
        // 100.4f - 100.1f is 0.300003: the tolerance holds for what is printed.
        {"sizes exactly the tolerance apart", {peak(100.1f, 10, 1), peak(100.4f, 1000, 2)}, 0.3, 10, true, 2, 100.4f,
         100},
        {"just beyond the tolerance", {peak(100.1f, 10, 1), peak(100.41f, 1000, 2)}, 0.3, 10, false, 0, 0, 0},
        {"below, exactly the tolerance", {peak(100.4f, 10, 2), peak(100.1f, 1000, 1)}, 0.3, 10, true, 1, 100.1f, 100},
        {"the largest ratio, though farther", {peak(100, 10, 1), peak(100.4f, 2000, 2), peak(100, 1500, 3)}, 0.5, 10,
         true, 2, 100.4f, 200},
        {"equal heights: the smaller dye", {peak(100, 10, 1), peak(100.1f, 1000, 4), peak(100.4f, 1000, 2)}, 0.5, 10,
         true, 2, 100.4f, 100},
        {"equal heights in one dye: the closer", {peak(100, 10, 1), peak(99.7f, 1000, 3), peak(100.1f, 1000, 3)}, 0.5,
         10, true, 3, 100.1f, 100},
        {"equally close: the smaller size", {peak(100, 10, 1), peak(100.25f, 1000, 3), peak(99.75f, 1000, 3)}, 0.5,
         10, true, 3, 99.75f, 100},
        {"the same dye is no parent", {peak(100, 10, 1), peak(100.1f, 5000, 1)}, 0.5, 10, false, 0, 0, 0},
        {"a taller peak outside the window is ignored",
         {peak(100, 100, 2), peak(99.6f, 5000, 1), peak(100.2f, 500, 1)}, 0.3, 10, false, 1, 100.2f, 5},
        {"height 0 is never flagged", {peak(100, 0, 1), peak(100, 1000, 2)}, 0.5, 10, false, 0, 0, 0},
        {"a NaN height is no parent", {peak(100, 10, 1), peak(100, NAN, 2), peak(100, 50, 3)}, 0.5, 2, true, 3, 100, 5},
    };
    // clang-format on
    for (const Case& c : cases) {
        std::vector<PullupFlag> flags;
        flagpullups(c.peaks, c.tol, c.min_ratio, flags);
        ASSERT_EQ(flags.size(), c.peaks.size());
        const PullupFlag& f = flags[0];
        EXPECT_EQ(f.flagged, c.flagged) << c.what;
        EXPECT_EQ(f.parent_dye, c.parent_dye) << c.what;
        EXPECT_EQ(f.parent_size, static_cast<double>(c.parent_size)) << c.what;
        EXPECT_NEAR(f.ratio, c.ratio, 1e-4) << c.what;
    }
}

TEST(PullupFlags, WindowMatchesAllPairs) {
    // Sizes on a 0.1 grid and few heights, so that sizes on the window's
    // edges and ties of height are common.
    std::mt19937 rng(17);
    for (int round = 0; round < 300; ++round) {
        std::vector<PullupPeak> p;
        const int n = 1 + static_cast<int>(rng() % 60);
        for (int i = 0; i < n; ++i)
            p.push_back(peak(static_cast<float>(100 + static_cast<int>(rng() % 80) * 0.1),
                             static_cast<float>(std::pow(2.0, static_cast<int>(rng() % 6))) * (rng() % 5 ? 1 : 0),
                             1 + static_cast<int>(rng() % 4)));
        const double tol = round % 3 == 0 ? 0.3 : round % 3 == 1 ? 0.5 : 1;
        const double min_ratio = round % 2 ? 4 : 1;
        std::vector<PullupFlag> fast;
        flagpullups(p, tol, min_ratio, fast);
        const std::vector<PullupFlag> plain = allpairs(p, tol, min_ratio);
        for (std::size_t i = 0; i < p.size(); ++i) {
            EXPECT_EQ(fast[i].parent_dye, plain[i].parent_dye) << round << " " << i;
            EXPECT_EQ(fast[i].parent_size, plain[i].parent_size) << round << " " << i;
            EXPECT_EQ(fast[i].ratio, plain[i].ratio) << round << " " << i;
            EXPECT_EQ(fast[i].flagged, plain[i].flagged) << round << " " << i;
        }
    }
}
