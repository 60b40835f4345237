// The figures of "Replicate consensus" and its replicate map, against cases
// worked by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "peakprep/consensus_figures.h"
#include "peakprep/consensus_map.h"

namespace {

// Three replicates over four bins, totals 100, 200 and 100: as proportions
// (.1 0 .3 .6), (.1 0 0 .9), (0 0 .5 .5); bins present 2, 0, 2 and 3 times.
const std::vector<float> kThree = {10, 0, 30, 60, 20, 0, 0, 180, 0, 0, 50, 50};

TEST(PeakprepConsensus, KOfNAndTheAverage) {
    struct Case {
        int k;
        bool over_present, normalise;
        std::vector<float> want;
        int k_used;
        long long kept, dropped;
    } cases[] = {
        {2, false, true, {0.2f / 3, 0, 0.8f / 3, 2.0f / 3}, 2, 3, 0},
        {3, false, true, {0, 0, 0, 2.0f / 3}, 3, 1, 2},
        {9, false, true, {0, 0, 0, 2.0f / 3}, 3, 1, 2},  // k capped at the group size
        {2, true, true, {0.1f, 0, 0.4f, 2.0f / 3}, 2, 3, 0},
        {2, false, false, {10, 0, 80.0f / 3, 290.0f / 3}, 2, 3, 0},
        {1, true, false, {15, 0, 40, 290.0f / 3}, 1, 3, 0},
    };
    for (const Case& c : cases) {
        const GroupConsensus g = consensusrow(kThree, 4, {0, 1, 2}, {c.k, c.over_present, c.normalise});
        EXPECT_EQ(g.k, c.k_used) << c.k;
        EXPECT_EQ(g.kept, c.kept) << c.k;
        EXPECT_EQ(g.dropped, c.dropped) << c.k;
        EXPECT_EQ(g.present, (std::vector<int>{2, 0, 2, 3}));
        for (std::size_t b = 0; b < 4; ++b) EXPECT_FLOAT_EQ(g.values[b], c.want[b]) << c.k << " bin " << b + 1;
    }
    // An empty replicate (zeros, a negative value, not-a-number) is absent
    // everywhere but still one of the n.
    const std::vector<float> with_empty = {10, 30, 0, -5, NAN, 0};
    const GroupConsensus g = consensusrow(with_empty, 3, {0, 1}, {2, false, true});
    EXPECT_EQ(g.empty_replicates, 1);
    EXPECT_EQ(g.dropped, 2);
    EXPECT_EQ(g.values, (std::vector<float>{0, 0, 0}));
    const GroupConsensus one = consensusrow(with_empty, 3, {0, 1}, {1, false, true});
    EXPECT_EQ(one.values, (std::vector<float>{0.125f, 0.375f, 0}));
}

TEST(PeakprepConsensus, PairsBinsAndRepeatability) {
    // Four bins: one mismatch is exactly a quarter, an outlier.
    const PairFigures p = comparepair(kThree, 4, 0, 1);
    EXPECT_DOUBLE_EQ(p.bray_curtis, 0.3);  // (.3 + .3) / 2
    EXPECT_DOUBLE_EQ(p.jaccard, 2.0 / 3);
    EXPECT_EQ(p.mismatches, 1);
    EXPECT_TRUE(p.outlier);
    // Two empty rows: nothing to compare; one empty row: all different.
    const std::vector<float> empty = {0, 0, 0, 0, 0, 5};
    EXPECT_TRUE(std::isnan(comparepair(empty, 3, 0, 0).bray_curtis));
    EXPECT_TRUE(std::isnan(comparepair(empty, 3, 0, 0).jaccard));
    EXPECT_DOUBLE_EQ(comparepair(empty, 3, 0, 1).bray_curtis, 1);
    EXPECT_DOUBLE_EQ(comparepair(empty, 3, 0, 1).jaccard, 0);

    // Eight bins; a-b differ in bin 7 and a-c in bin 6 (1/8 each), b-c in
    // bins 6 and 7 (2/8, an outlier left out).  No row has bin 8.
    const std::vector<float> t = {1, 1, 1, 1, 1, 1, 1, 0, 1, 1, 1, 1, 1, 1, 0, 0, 1, 1, 1, 1, 1, 0, 1, 0};
    const std::vector<PairFigures> pairs = {comparepair(t, 8, 0, 1), comparepair(t, 8, 0, 2), comparepair(t, 8, 1, 2)};
    EXPECT_FALSE(pairs[0].outlier);
    EXPECT_FALSE(pairs[1].outlier);
    EXPECT_TRUE(pairs[2].outlier);
    EXPECT_NEAR(pairs[0].bray_curtis, 1.0 / 7, 1e-12);  // 6 * |1/7 - 1/6| + 1/7 over 2
    EXPECT_NEAR(pairs[0].jaccard, 6.0 / 7, 1e-12);
    const std::vector<BinFigures> bins = binfigures(t, 8, pairs);
    struct Want {
        std::size_t bin;
        double all, present_only;
        long long pairs_present, tested;
    } want[] = {{0, 100, 100, 2, 4}, {5, 50, 50, 2, 3}, {6, 50, 50, 2, 3}, {7, 100, NAN, 0, 0}};
    for (const Want& w : want) {
        const BinFigures& b = bins[w.bin];
        EXPECT_EQ(b.pairs, 2) << w.bin;
        EXPECT_DOUBLE_EQ(b.all(), w.all) << w.bin;
        if (std::isnan(w.present_only))
            EXPECT_TRUE(std::isnan(b.present_only())) << w.bin;  // no data, not 100 %
        else
            EXPECT_DOUBLE_EQ(b.present_only(), w.present_only) << w.bin;
        EXPECT_EQ(b.pairs_present, w.pairs_present) << w.bin;
        EXPECT_EQ(b.tested, w.tested) << w.bin;
    }
    EXPECT_DOUBLE_EQ(medianerror(pairs, 8), 0.125);
    EXPECT_TRUE(std::isnan(medianerror({pairs[2]}, 8)));

    // Present 3, 3, 3, 3, 3, 2, 2, 0 of n = 3: max 1 a bin, mistakes 2.
    Repeatability r;
    for (int present : consensusrow(t, 8, {0, 1, 2}, {}).present) r.add(present, 3);
    EXPECT_DOUBLE_EQ(r.value(), 0.75);
    Repeatability single;
    single.add(1, 1);  // a group of one adds nothing
    EXPECT_TRUE(std::isnan(single.value()));
}

std::string readmap(const std::string& text, std::vector<MapEntry>& entries) {
    std::FILE* f = std::tmpfile();
    std::fwrite(text.data(), 1, text.size(), f);
    std::rewind(f);
    std::string error;
    if (!readreplicatemap(f, entries, error) && error.empty()) error = "(false without a message)";
    std::fclose(f);
    return error;
}

TEST(PeakprepConsensus, ReplicateMap) {
    struct Case {
        std::string text;
        const char* error;  // empty: accepted
        std::size_t entries;
    } cases[] = {
        {"A\tG1\r\nB\tG1\r\n\r\n  \nC\tG2", "", 3},
        {"\xEF\xBB\xBF"
         "A\tG1\n",
         "", 1},
        {"A\tG1\nA\tG1\n", "", 1},
        {"", "", 0},
        {"A G1\n", "replicate map line 1 has no tab between the sample name and the group", 0},
        {"A\tG1\n\tG2\n", "replicate map line 2 has no sample name", 0},
        {"A\t\n", "replicate map line 1 has no group", 0},
        {"A\tG1\tx\n", "replicate map line 1 has more than one tab (a line is: sample name, a tab, group)", 0},
        {"A\tG1\nB\tG1\nA\tG2\n", "replicate map line 3 gives sample A a second group (line 1 gives it G1)", 0},
        {"A\tG1\n" + std::string(5000, 'x') + "\tG\n", "replicate map line 2 is longer than 4096 characters", 0},
    };
    for (const Case& c : cases) {
        std::vector<MapEntry> entries;
        EXPECT_EQ(readmap(c.text, entries), c.error) << c.text.substr(0, 40);
        if (!*c.error) {
            EXPECT_EQ(entries.size(), c.entries) << c.text.substr(0, 40);
        }
    }
    std::vector<MapEntry> entries, absent;
    ASSERT_EQ(readmap("A\tG1\nZ\tG2\nC\tG1\n", entries), "");
    EXPECT_EQ(entries[0].sample, "A");
    const std::vector<ReplicateGroup> groups = groupreplicates({"A", "B", "C", "D"}, entries, absent);
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups[0].name, "G1");
    EXPECT_EQ(groups[0].rows, (std::vector<int>{0, 2}));
    EXPECT_EQ(groups[1].name, "B");  // not listed: a group of its own
    EXPECT_EQ(groups[2].rows, (std::vector<int>{3}));
    ASSERT_EQ(absent.size(), 1u);
    EXPECT_EQ(absent[0].sample, "Z");
    EXPECT_EQ(absent[0].line, 2);
}

}  // namespace
