// Peakprep's "Bin by clusters" through the console program and batch files,
// on examples worked by hand.
#include <cstring>

#include "e2e/console_fixture.h"

namespace {

using Rows = std::vector<float>;

class PrepClusters : public Console {
  protected:
    // Option 5 on Chan1 with its nine values: min. width, max. width,
    // tolerance, min. size, max. size, height/area, sum/max/mean, row
    // percentage, min. samples.
    Outcome clusters(const std::string& values) { return Console::prep("Clusters\n5\n10\nChan1\n" + values); }
    void put(const Rows& v, int cols = 6) { write_bytes(dir.file("data/Chan1"), tab(v, cols)); }
    // The first and last size of each bin, from the bin table.
    Rows bounds() {
        const std::string b = data("Chan1_clubins");
        Rows v(b.size() >= 18 ? (b.size() - 18) / 4 : 0), out;
        if (!v.empty()) std::memcpy(v.data(), b.data(), v.size() * 4);
        for (std::size_t i = 0; i + 6 <= v.size(); i += 6) out.insert(out.end(), {v[i], v[i + 1]});
        return out;
    }
};

// Sample 1 has a shoulder at 100.4; sample 3 is alone at 300; sample 4's
// only peak is below the min. size 50; a row of sample number 0 belongs to
// no sample.
const Rows kWorked = {
    1, 1, 10, 100,    100, 1000, 1, 2, 10, 100.4f, 100, 500, 1, 3, 15, 150, 200, 2000, 2, 1, 10, 100.3f, 300, 3000,
    2, 2, 15, 150.3f, 100, 100,  3, 1, 30, 300,    10,  10,  4, 1, 4,  40,  5,   5,    0, 1, 1,  120,    1,   1,
};

}  // namespace

TEST_F(PrepClusters, WorkedExampleCellsAndBins) {
    put(kWorked);
    struct Case {
        const char* values;  // from the min. size on
        Rows want;           // samples 1 to 4
        int cols;
    // clang-format off
    } cases[] = {
        // Sums of heights as row proportions: sample 4's row stays zeros.
        {"50\n400\n1\n1\n1\n1\n", {0.5f, 0.5f, 0, 0.75f, 0.25f, 0, 0, 0, 1, 0, 0, 0}, 3},
        {"50\n400\n1\n2\n2\n1\n", {100, 200, 0, 300, 100, 0, 0, 0, 10, 0, 0, 0}, 3},
        {"50\n400\n2\n3\n2\n1\n", {750, 2000, 0, 3000, 100, 0, 0, 0, 10, 0, 0, 0}, 3},
        // The bin at 300 has one sample: dropped.
        {"50\n400\n1\n1\n2\n2\n", {200, 200, 300, 100, 0, 0, 0, 0}, 2},
    };
    // clang-format on
    for (const Case& c : cases) {
        Outcome r = clusters(std::string("\n\n\n") + c.values);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(data("Chan1_clu"), table(c.want, 4, c.cols)) << c.values;
    }
    ASSERT_EQ(clusters("\n\n\n50\n400\n\n\n\n\n").status, 0);
    // Labels: the mean of the samples' mean sizes.
    const float label1 = static_cast<float>(((100.0 + 100.4f) / 2 + 100.3f) / 2);
    const float label2 = static_cast<float>((150.0 + 150.3f) / 2);
    EXPECT_EQ(data("Chan1_clubins"),
              tab({100, 100.4f, 0.4f, 3, 2, label1, 150, 150.3f, 0.3f, 2, 2, label2, 300, 300, 0, 1, 1, 300}, 6));
    const std::string rep = report();
    for (const char* line :
         {"Rows dropped (sample number below 1, above 999999 or not finite) = 1\n",
          "Peaks outside the size limits = 1\n",
          "Bin 1: 100 - 100.4 bp, width = 0.4, peaks = 3, samples = 2, peaks per sample = 1.5",
          "Peaks binned = 6; bins = 3, kept = 3, dropped = 0\n", "Rows of sum 0 left as zeros (no proportions) = 1\n",
          "Output file: Chan1_clu (rows: samples 1 to 4; columns: the bins kept)\n"})
        EXPECT_NE(rep.find(line), std::string::npos) << line << rep;
    ASSERT_EQ(clusters("\n\n\n50\n400\n\n\n\n2\n").status, 0);
    EXPECT_NE(report().find("Dropped bin (fewer samples than the min.) 1: 300 - 300 bp"), std::string::npos);
}

// The clustering's rules through the program: the min. width, the gap
// tolerance, the repeat score and the edge rule each decide a cut.
TEST_F(PrepClusters, RulesDecideTheCuts) {
    struct Case {
        const char* what;
        Rows peaks;          // sample and size pairs
        const char* values;  // min. width, max. width, tolerance
        Rows want;           // first and last size of each bin
    // clang-format off
    } cases[] = {
        {"a shoulder within the min. width", {1, 100, 1, 100.4f}, "\n\n\n", {100, 100.4f}},
        {"... beyond it", {1, 100, 1, 100.4f}, "0.3\n\n\n", {100, 100, 100.4f, 100.4f}},
        {"gaps 0.6 and 0.59 within the tolerance: the edge rule takes the last", {1, 100, 2, 100.6f, 1, 101.19f},
         "\n\n\n", {100, 100.6f, 101.19f, 101.19f}},
        {"... with tolerance 1 only the largest", {1, 100, 2, 100.6f, 1, 101.19f}, "\n\n1\n",
         {100, 100, 100.6f, 101.19f}},
        {"the repeat score overrides the edge rule", {1, 100, 1, 100.5f, 2, 100.6f, 3, 101.1f}, "\n\n\n",
         {100, 100, 100.5f, 101.1f}},
        {"wider than the max. width", {1, 100, 2, 100.8f, 3, 101.6f}, "\n\n\n", {100, 100.8f, 101.6f, 101.6f}},
        {"... and with a max. width of 2", {1, 100, 2, 100.8f, 3, 101.6f}, "\n2\n\n", {100, 101.6f}},
    };
    // clang-format on
    for (const Case& c : cases) {
        Rows rows;
        for (std::size_t i = 0; i + 1 < c.peaks.size(); i += 2)
            rows.insert(rows.end(), {c.peaks[i], 1, 1, c.peaks[i + 1], 100, 100});
        put(rows);
        ASSERT_EQ(clusters(std::string(c.values) + "\n\n\n\n\n\n").status, 0) << c.what;
        EXPECT_EQ(bounds(), c.want) << c.what;
    }
}

// Inputs that give no bins write nothing and keep the earlier outputs.
TEST_F(PrepClusters, NothingToBinWritesNothing) {
    put(kWorked);
    ASSERT_EQ(clusters("\n\n\n\n\n\n\n\n\n").status, 0);
    const std::string before = data("Chan1_clu");
    struct Case {
        Rows table;
        int cols;
        const char* values;
        const char* notice;
    // clang-format off
    } cases[] = {
        {{1, 2, 3, 4}, 4, "\n\n\n\n\n\n\n\n\n", "Sorry: a channel table has 6 columns"},
        {kWorked, 6, "\n\n\n500\n\n\n\n\n\n", "Sorry: no peak left to bin"},
        {kWorked, 6, "\n\n\n\n\n\n\n\n5\n", "Sorry: no bin has peaks of the min. number of samples"},
        {{0, 1, 1, 100, 1, 1}, 6, "\n\n\n\n\n\n\n\n\n", "Sorry: no sample number of 1 or more"},
    };
    // clang-format on
    for (const Case& c : cases) {
        put(c.table, c.cols);
        Outcome r = clusters(c.values);
        EXPECT_EQ(r.status, 0) << c.notice;
        EXPECT_NE((r.out + r.err).find(c.notice), std::string::npos) << r.out << r.err;
        EXPECT_EQ(data("Chan1_clu"), before) << c.notice;
        EXPECT_NE(report().find("Binning stopped: no output written"), std::string::npos) << c.notice;
    }
}
