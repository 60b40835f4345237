// The clustering of "Bin by clusters": cases worked by hand, and the fast
// cut against a plain one on random data.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "peakprep/clusters_cut.h"

namespace {

using Sizes = std::vector<std::pair<float, float>>;  // first and last size of each bin

// The cut as defined, each run examined afresh.  Switches turn a rule off:
// without the repeat score every candidate stays, without the edge rule
// the first candidate is taken.
struct Plain {
    bool repeat_score = true;
    bool edge_rule = true;
};

std::size_t repeats(const std::vector<ClusterPeak>& p, std::size_t l, std::size_t r) {
    std::set<int> seen;
    std::size_t k = 0;
    for (std::size_t i = l; i <= r; ++i) k += !seen.insert(p[i].sample).second;
    return k;
}

void plaincut(const std::vector<ClusterPeak>& p, std::size_t a, std::size_t b, const ClusterRule& rule, Plain how,
              std::vector<ClusterBin>& out) {
    const double slack = clusterslack(p);
    const double width = static_cast<double>(p[b].size) - p[a].size;
    if (width <= rule.max_width + slack && (width <= rule.min_width + slack || repeats(p, a, b) == 0)) {
        out.push_back({a, b});
        return;
    }
    double largest = 0;
    for (std::size_t i = a; i < b; ++i) largest = std::max(largest, static_cast<double>(p[i + 1].size) - p[i].size);
    std::vector<std::size_t> cand;
    for (std::size_t i = a; i < b; ++i) {
        const double g = static_cast<double>(p[i + 1].size) - p[i].size;
        if (g > 0 && g >= rule.tolerance * largest - slack) cand.push_back(i);
    }
    if (how.repeat_score) {
        std::size_t best = p.size();
        for (std::size_t c : cand) best = std::min(best, repeats(p, a, c) + repeats(p, c + 1, b));
        std::vector<std::size_t> kept;
        for (std::size_t c : cand)
            if (repeats(p, a, c) + repeats(p, c + 1, b) == best) kept.push_back(c);
        cand.swap(kept);
    }
    const std::size_t f = cand.front(), l = cand.back();
    const std::size_t c = !how.edge_rule || f - a + 1 < b - l ? f : l;
    plaincut(p, a, c, rule, how, out);
    plaincut(p, c + 1, b, rule, how, out);
}

std::vector<ClusterBin> plainbins(const std::vector<ClusterPeak>& p, const ClusterRule& rule, Plain how = {}) {
    std::vector<ClusterBin> out;
    if (!p.empty()) plaincut(p, 0, p.size() - 1, rule, how, out);
    return out;
}

std::vector<ClusterPeak> sorted(std::vector<ClusterPeak> p) {
    std::sort(p.begin(), p.end(), sizesample);
    return p;
}

Sizes sizes(const std::vector<ClusterPeak>& p, const std::vector<ClusterBin>& bins) {
    Sizes s;
    for (const ClusterBin& b : bins) s.push_back({p[b.first].size, p[b.last].size});
    return s;
}

}  // namespace

TEST(Clusters, WorkedCases) {
    const ClusterRule usual;  // min. 1, max. 1.5, tolerance 0.97
    struct Case {
        const char* what;
        std::vector<ClusterPeak> peaks;
        ClusterRule rule;
        Sizes want;
        Plain without;       // a rule turned off ...
        Sizes want_without;  // ... and what the bins would be then (empty: not shown)
    // clang-format off
    } cases[] = {
        {"equal gaps, equal pieces: the last is cut", {{100, 0}, {100.5f, 1}, {101, 2}, {101.5f, 3}, {102, 4}}, usual,
         {{100, 101.5f}, {102, 102}}, {true, false}, {{100, 100}, {100.5f, 102}}},
        {"equal gaps, a smaller piece on the left: the first is cut",
         {{100, 0}, {100.5f, 1}, {101, 2}, {101.5f, 3}, {102, 4}, {102.1f, 5}}, usual,
         {{100, 100}, {100.5f, 100.5f}, {101, 102.1f}}, {}, {}},
        {"the repeat score overrides the edge", {{100, 0}, {100.5f, 0}, {100.6f, 1}, {101.1f, 2}}, usual,
         {{100, 100}, {100.5f, 101.1f}}, {false, true}, {{100, 100.6f}, {101.1f, 101.1f}}},
        {"gaps of 0.6 and 0.59 are both candidates within 0.97", {{100, 0}, {100.6f, 1}, {101.19f, 0}}, usual,
         {{100, 100.6f}, {101.19f, 101.19f}}, {}, {}},
        {"... and only the largest within tolerance 1", {{100, 0}, {100.6f, 1}, {101.19f, 0}}, {1, 1.5, 1},
         {{100, 100}, {100.6f, 101.19f}}, {}, {}},
        {"a shoulder within the min. width stays one bin", {{100, 0}, {100.4f, 0}}, usual, {{100, 100.4f}}, {}, {}},
        {"... and is cut with a min. width of 0.3", {{100, 0}, {100.4f, 0}}, {0.3, 1.5, 0.97},
         {{100, 100}, {100.4f, 100.4f}}, {}, {}},
        {"a sample twice exactly the min. width apart", {{100.1f, 0}, {101.1f, 0}}, usual, {{100.1f, 101.1f}}, {}, {}},
        {"distinct samples exactly the max. width apart", {{100.1f, 0}, {101.6f, 1}}, usual, {{100.1f, 101.6f}}, {},
         {}},
        {"... and just beyond it", {{100.1f, 0}, {101.61f, 1}}, usual, {{100.1f, 100.1f}, {101.61f, 101.61f}}, {}, {}},
        {"wider than the max. width with no sample twice", {{100, 0}, {100.8f, 1}, {101.6f, 2}}, usual,
         {{100, 100.8f}, {101.6f, 101.6f}}, {}, {}},
        {"equal sizes are never parted", {{100, 0}, {100, 0}, {100, 1}, {102, 0}}, {0.0001, 1.5, 0.0001},
         {{100, 100}, {102, 102}}, {}, {}},
    };
    // clang-format on
    for (const Case& c : cases) {
        const std::vector<ClusterPeak> p = sorted(c.peaks);
        EXPECT_EQ(sizes(p, cutclusters(p, c.rule)), c.want) << c.what;
        EXPECT_EQ(sizes(p, plainbins(p, c.rule)), c.want) << c.what;
        if (!c.want_without.empty()) {
            EXPECT_EQ(sizes(p, plainbins(p, c.rule, c.without)), c.want_without) << c.what;
        }
    }
}

// Random peaks on a grid of 0.05 bp (many equal gaps and sizes) and, at
// the end, sizes with 4 decimals: the fast cut gives the plain cut's bins,
// no bin is wider than the max. width, and no bin wider than the min. width
// holds a sample twice.
TEST(Clusters, FastCutMatchesThePlainOne) {
    std::mt19937 rng(17);
    const double mins[] = {0.2, 0.5, 1}, maxs[] = {1, 1.5, 2}, tols[] = {0.5, 0.97, 1};
    for (int trial = 0; trial < 600; ++trial) {
        const bool fine = trial >= 560;
        const int n = 1 + static_cast<int>(rng() % (fine ? 2000 : 90));
        const int samples = 1 + static_cast<int>(rng() % (fine ? 40 : 6));
        std::vector<ClusterPeak> p;
        for (int i = 0; i < n; ++i) {
            const double size = fine ? 100 + (rng() % 200000) / 1e4 * (n / 200.0) : 100 + (rng() % 80) * 0.05;
            p.push_back({static_cast<float>(size), static_cast<int>(rng() % static_cast<unsigned>(samples))});
        }
        p = sorted(p);
        ClusterRule rule{mins[rng() % 3], maxs[rng() % 3], tols[rng() % 3]};
        rule.max_width = std::max(rule.max_width, rule.min_width);
        const std::vector<ClusterBin> bins = cutclusters(p, rule);
        const std::vector<ClusterBin> want = plainbins(p, rule);
        ASSERT_EQ(sizes(p, bins), sizes(p, want)) << "trial " << trial;
        std::size_t next = 0;
        const double slack = clusterslack(p);
        for (const ClusterBin& b : bins) {
            ASSERT_EQ(b.first, next);
            next = b.last + 1;
            const double width = static_cast<double>(p[b.last].size) - p[b.first].size;
            ASSERT_LE(width, rule.max_width + slack);
            if (width > rule.min_width + slack) {
                ASSERT_EQ(repeats(p, b.first, b.last), 0u) << "trial " << trial;
            }
        }
        ASSERT_EQ(next, p.size());
    }
}
