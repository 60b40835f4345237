// Peakprep's "Flag pull-up" through the console program and batch files:
// the dyes of one folder compared sample by sample, matched by name.
#include "e2e/console_fixture.h"

namespace {

using Rows = std::vector<float>;  // six values a peak: sample, peak, minutes, size, height, area

class Pullup : public Console {
  protected:
    void put(const std::string& name, const Rows& v) { write_bytes(dir.file("data/" + name), tab(v, 6)); }
    void names(int dye, const std::string& lines) {
        write_bytes(dir.file("data/SampleNamesCh" + std::to_string(dye)), lines);
    }
};

// Option 8 on input with its tolerance and min. ratio.
std::string batch(const std::string& input, const std::string& values = "\n\n") {
    return "Pull-up\n8\n3\n" + input + "\n" + values;
}

// Sample A is number 1 of dye 1 and number 2 of dye 2; B the other way
// round; C is in dye 3 only (by number it would meet dye 1's B).
const Rows kChan1 = {1, 1, 10, 100, 100, 100, 1, 2, 20, 200, 5000, 5000, 2, 1, 15, 150, 50, 50};
const Rows kChan2 = {1, 1, 15, 150.3f, 500, 500, 2, 1, 10, 100.4f, 1000, 1000, 2, 2, 20, 200.2f, 400, 400};
const Rows kChan3 = {1, 1, 10, 100.1f, 999, 999, 2, 1, 15, 150, 5, 5};
const char kFlagged[] =
    "sample\tdye\tsize\theight\tparent dye\tparent size\tratio\n"
    "A\t1\t100\t100\t2\t100.4\t10\n"  // ratio exactly 10; dye 2's 1000 beats dye 3's 999
    "A\t2\t200.2\t400\t1\t200\t12.5\n"
    "B\t1\t150\t50\t2\t150.3\t10\n";

}  // namespace

TEST_F(Pullup, DyesMatchedByNameAndFlagsWritten) {
    put("Chan1", kChan1);
    put("Chan2", kChan2);
    put("Chan3", kChan3);
    names(1, "Echantillon 1 = A\nEchantillon 2 = B\n");
    names(2, "Echantillon 1 = B\nEchantillon 2 = A\n");
    names(3, "Echantillon 1 = A\nEchantillon 2 = C\n");
    // Whichever dye is the input, the same report of all of them.
    for (const char* input : {"Chan1", "Chan3"}) {
        fs::remove(dir.file("data/Chan_pullup.txt"));
        Outcome r = prep(batch(input));
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(data("Chan_pullup.txt"), kFlagged) << input;
        const std::string rep = report();
        for (const std::string line :
             {"Chan4 not found, skipped\n", "Samples found in one dye only (not compared) = 1\n",
              "Dye 1: peaks = 3, compared = 3 (", "flagged = 2\n", "Dye 2: peaks = 3, compared = 3",
              "Dye 3: peaks = 2, compared = 1 (", "--- Number of flagged peaks: 3\n"})
            EXPECT_NE(rep.find(line), std::string::npos) << line << rep;
    }
    // A stricter ratio keeps only 12.5; the tables are left as they were.
    ASSERT_EQ(prep(batch("Chan2", "0.5\n12.5\n")).status, 0);
    EXPECT_EQ(data("Chan_pullup.txt"),
              "sample\tdye\tsize\theight\tparent dye\tparent size\tratio\nA\t2\t200.2\t400\t1\t200\t12.5\n");
    EXPECT_EQ(data("Chan1"), tab(kChan1, 6));
    // Tables named after the channel tables (filtered ones) are compared
    // with their own kind, under their own name.
    put("Chan1_flt", kChan1);
    put("Chan2_flt", kChan2);
    ASSERT_EQ(prep(batch("Chan2_flt")).status, 0);
    EXPECT_EQ(data("Chan_flt_pullup.txt"), kFlagged);
    // A name given twice within a dye matches neither sample.
    names(3, "Echantillon 1 = A\nEchantillon 2 = A\n");
    ASSERT_EQ(prep(batch("Chan1")).status, 0);
    EXPECT_EQ(data("Chan_pullup.txt"), kFlagged);
    for (const char* line :
         {"Dye 3: the name A is given to 2 samples, none of them compared\n", "Dye 3: peaks = 2, compared = 0 ("})
        EXPECT_NE(report().find(line), std::string::npos) << line;
}

TEST_F(Pullup, BadInputsAreRefusedAndWriteNothing) {
    struct Case {
        const char* what;
        std::string input;
        Rows values;
        int cols;
        bool chan2, names, link_output;  // link_output: Chan_pullup.txt is a link to Chan1
        int status;
        const char* message;
    // clang-format off
    } cases[] = {
        {"not a channel table's name", "Peaks1", kChan1, 6, true, true, false, 0,
         "Sorry: the input must be a channel table Chan1 to Chan4"},
        {"a class table of six columns", "Chan1_div", {1, 2, 3, 4, 5, 6}, 6, true, true, false, 0,
         "Sorry: the input must be a channel table"},
        {"five columns", "Chan1", {1, 1, 0, 100, 50}, 5, true, true, false, 0, "Sorry: a channel table has 6 columns"},
        {"one dye only", "Chan1", kChan1, 6, false, true, false, 0,
         "Sorry: pull-up needs the tables of at least two dyes"},
        {"no names files", "Chan1", kChan1, 6, true, false, false, 0, "Sorry: no sample name is found in two dyes"},
        {"output is an input", "Chan1", kChan1, 6, true, true, true, 1,
         "Error: input file is also an output file (flagpullup)"},
    };
    // clang-format on
    for (const Case& c : cases) {
        fs::remove_all(dir.file("data"));
        fs::create_directories(dir.file("data"));
        write_bytes(dir.file("data/" + c.input), tab(c.values, c.cols));
        if (c.chan2) put("Chan2", kChan2);
        if (c.names) {
            names(1, "Echantillon 1 = A\nEchantillon 2 = B\n");
            names(2, "Echantillon 1 = B\nEchantillon 2 = A\n");
        }
        if (c.link_output) fs::create_symlink("Chan1", dir.file("data/Chan_pullup.txt"));
        Outcome r = prep(batch(c.input));
        EXPECT_EQ(r.status, c.status) << c.what;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.what << r.err;
        EXPECT_EQ(data(c.input), tab(c.values, c.cols)) << c.what;
        EXPECT_EQ(fs::exists(fs::symlink_status(dir.file("data/Chan_pullup.txt"))), c.link_output) << c.what;
    }
}
