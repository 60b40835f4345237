// Peakprep's "Shifted frames" through the console program and batch files,
// on examples worked by hand.
#include <array>
#include <cmath>
#include <cstring>

#include "e2e/console_fixture.h"

namespace {

using Rows = std::vector<float>;

class FramesPrep : public Console {
  protected:
    Outcome prep(const std::string& values) { return Console::prep("Frames\n6\n9\nChan1\n" + values); }
    // Peaks (sample, size, area; height 1) as a channel table.
    void put(const std::vector<std::array<float, 3>>& peaks) {
        Rows v;
        for (const auto& p : peaks) v.insert(v.end(), {p[0], 1, 0, p[1], 1, p[2]});
        write_bytes(dir.file("data/Chan1"), tab(v, 6));
    }
    Rows values(const std::string& name, int& rows, int& cols) { return tablevalues(data(name), rows, cols); }
    // The report's text of the last run.
    std::string lastrun() {
        const std::string rep = report();
        const std::size_t at = rep.rfind("Peakprep: shifted frames");
        return at == std::string::npos ? rep : rep.substr(at);
    }
};

void expectnear(const Rows& got, const Rows& want, const char* what) {
    ASSERT_EQ(got.size(), want.size()) << what;
    for (std::size_t i = 0; i < want.size(); ++i) EXPECT_NEAR(got[i], want[i], 1e-5) << what << " cell " << i;
}

}  // namespace

TEST_F(FramesPrep, TieUndefinedPairsAndEmptiedSample) {
    // Sample 3 has the same share in all three classes (no r) and sample 4
    // has its only peak below the min. size; both frames group the peaks
    // alike, so the smaller offset is chosen.  r(1, 2) = 4/sqrt(19).
    put({{1, 100.2f, 10},
         {1, 101.2f, 30},
         {1, 102.2f, 60},
         {2, 100.3f, 20},
         {2, 101.3f, 20},
         {2, 102.3f, 60},
         {3, 100.4f, 1},
         {3, 101.4f, 1},
         {3, 102.4f, 1},
         {4, 50, 5}});
    Outcome r = prep("1\n0.5\n100\n0\n0\n2\n1\n\n");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string rep = lastrun();
    for (const char* line :
         {"Frame 1: offset (bp) = 0, classes = 3, mean Pearson r = 0.9176629",
          "Frame 2: offset (bp) = 0.5, classes = 3, mean Pearson r = 0.9176629",
          ", pairs used = 1, pairs undefined = 2, peaks within 0.05 bp of a boundary = 0\n",
          "Emptied: sample number 4, no usable peak within the size limits", "Samples used = 3 of 4\n",
          "Chosen offset (bp) = 0\n", "Classes of the chosen frame (lower bound, bp): 100 101 102\n"})
        EXPECT_NE(rep.find(line), std::string::npos) << line << rep;
    int rows = 0, cols = 0;
    const float third = 100.0f / 3;
    expectnear(values("Chan1_frm", rows, cols), {10, 30, 60, 20, 20, 60, third, third, third, 0, 0, 0}, "frm");
    EXPECT_EQ(rows, 4);
    const float r12 = 4 / std::sqrt(19.0f);
    expectnear(values("Chan1_frmcurve", rows, cols), {0, 3, r12, 1, 2, 0, 0.5f, 3, r12, 1, 2, 0}, "curve");
}

TEST_F(FramesPrep, CriteriaChooseApartAndAFixedOffsetRepeatsTheChoice) {
    // Two classes make r = 1 whatever the profiles; Bray-Curtis prefers the
    // shifted frame's three classes (0.95 against 0.9).  101 lies on a
    // boundary of the unshifted frame and 101.45 within 0.05 of the shifted
    // one's; both carry nothing.
    put({{1, 100.2f, 50},
         {1, 100.7f, 10},
         {1, 101.2f, 20},
         {1, 101.7f, 20},
         {2, 100.2f, 50},
         {2, 100.7f, 20},
         {2, 101.2f, 5},
         {2, 101.7f, 25},
         {2, 101, 0},
         {1, 101.45f, 0}});
    struct Case {
        const char* values;  // width, step, min, max, cutoff, height/area, criterion, offset
        const char* chosen;
        Rows curve;
    } cases[] = {
        {"1\n0.5\n100\n0\n0\n2\n1\n\n", "Chosen offset (bp) = 0\n", {0, 2, 1, 1, 0, 1, 0.5f, 3, 0.9449112f, 1, 0, 1}},
        {"1\n0.5\n100\n0\n0\n2\n2\n\n", "Chosen offset (bp) = 0.5\n", {0, 2, 0.9f, 1, 0, 1, 0.5f, 3, 0.95f, 1, 0, 1}},
        {"1\n0.5\n100\n0\n0\n2\n2\n0.5\n", "Chosen offset (bp) = 0.5\n", {0.5f, 3, 0.95f, 1, 0, 1}},
    };
    std::string chosen_frm;
    for (const Case& c : cases) {
        Outcome r = prep(c.values);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(lastrun().find(c.chosen), std::string::npos) << c.values << lastrun();
        int rows = 0, cols = 0;
        expectnear(values("Chan1_frmcurve", rows, cols), c.curve, c.values);
        if (c.values[std::strlen(c.values) - 2] != '\n') {
            EXPECT_EQ(data("Chan1_frm"), chosen_frm) << c.values;
        }
        chosen_frm = data("Chan1_frm");
    }
    // The shifted frame: classes from 99.5, 100.5 and 101.5.
    EXPECT_EQ(chosen_frm, tab({50, 30, 20, 50, 25, 25}, 3));
}

TEST_F(FramesPrep, RefusalsWriteNothing) {
    struct Case {
        const char* what;
        std::vector<std::array<float, 3>> peaks;
        const char* values;
        const char* message;
    } cases[] = {
        {"nothing in range",
         {{1, 50, 1}, {2, 60, 1}},
         "1\n0.1\n100\n0\n0\n2\n1\n\n",
         "Sorry: no peak is left within the size limits and the relative cutoff"},
        {"too many frames", {{1, 100, 1}}, "10\n0.001\n0\n0\n0\n2\n1\n\n", "Sorry: at most 1000 frames"},
        {"no sample number",
         {{0, 100, 1}},
         "1\n0.1\n0\n0\n0\n2\n1\n\n",
         "Sorry: no sample number of 1 or more in column 1"},
    };
    for (const Case& c : cases) {
        put(c.peaks);
        Outcome r = prep(c.values);
        EXPECT_EQ(r.status, 0) << c.what;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.what << r.err;
        for (const char* out : {"Chan1_frm", "Chan1_frmcurve"})
            EXPECT_FALSE(fs::exists(dir.file(std::string("data/") + out))) << c.what;
    }
    // An output that is a link to the input: the input stays as it was.
    put({{1, 100, 1}, {2, 101, 1}});
    const std::string input = data("Chan1");
    fs::create_symlink("Chan1", dir.file("data/Chan1_frmcurve"));
    Outcome r = prep("1\n0.1\n0\n0\n0\n2\n1\n\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Error: input file is also an output file (shiftedframes)"), std::string::npos) << r.err;
    EXPECT_EQ(data("Chan1"), input);
    EXPECT_FALSE(fs::exists(dir.file("data/Chan1_frm")));
}
