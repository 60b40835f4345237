// Option 2 through the console program: a batch file names the run, the
// class questions are answered on standard input.
#include "e2e/console_fixture.h"

namespace {

// Five peaks of two samples: (sample, peak, -, length, height, area).
const std::vector<float> kPeaks = {1,   1,   0,   100.5f, 500, 2000, 1,   2,   0,    105, 300, 1500, 1,      3,   0,
                                   121, 200, 900, 2,      1,   0,    101, 450, 2100, 2,   2,   0,    119.5f, 700, 3900};

// A batch file running option 2 on in.bin with G groups and values 3..7.
std::string batch(const std::string& p3to7, int groups = 1) {
    return "Table\n2\n7\nin.bin\n" + std::to_string(groups) + "\n" + p3to7;
}

float f(double x) { return static_cast<float>(x); }

}  // namespace

TEST_F(Console, ComputeTableWorkedExamples) {
    write_bytes(dir.file("data/in.bin"), table(kPeaks, 5, 6));
    struct Case {
        const char* params;  // values 3..7, one per line
        const char* answers;
        const char* full_name;
        std::vector<float> full;  // 2 x 3
        const char* kept_name;
        std::vector<float> kept;  // 2 x 2
    // clang-format off
    } cases[] = {
        {"1\n1\n2\n0\n0\n", "10\n", "in.bin_tabtotSH", {800, 0, 0, 450, 700, 0}, "in.bin_tabSH", {800, 0, 450, 700}},
        {"2\n1\n2\n\n\n", "10\n", "in.bin_tabtotSS", {3500, 0, 0, 2100, 3900, 0}, "in.bin_tabSS",
         {3500, 0, 2100, 3900}},
        {"1\n2\n2\n0\n0\n", "10\n", "in.bin_tabtotMH", {500, 0, 0, 450, 700, 0}, "in.bin_tabMH", {500, 0, 450, 700}},
        {"2\n2\n2\n0\n0\n", "10\n", "in.bin_tabtotMS", {2000, 0, 0, 2100, 3900, 0}, "in.bin_tabMS",
         {2000, 0, 2100, 3900}},
        {"1\n1\n2\n1\n0\n", "10\n", "in.bin_tabtotSH", {800, 0, 0, 0, 700, 0}, "in.bin_tabSH", {800, 0, 0, 700}},
        // Row proportions (the default), and a width of 0 asked again.
        {"\n\n\n\n\n", "0\n10\n", "in.bin_tabtotSH", {1, 0, 0, f(450.0 / 1150), f(700.0 / 1150), 0}, "in.bin_tabSH",
         {1, 0, f(450.0 / 1150), f(700.0 / 1150)}},
    };
    // clang-format on
    for (const auto& c : cases) {
        write_bytes(dir.file("run.txt"), batch(c.params));
        Outcome r = run("run.txt", c.answers);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(data(c.full_name), table(c.full, 2, 3)) << c.params;
        EXPECT_EQ(data(c.kept_name), table(c.kept, 2, 2)) << c.params;
        EXPECT_NE(r.err.find("Message: Min. length = 100  Max. length = 121"), std::string::npos);
    }
    std::string rep = report();
    ASSERT_NE(rep.find("Peakgrid: computing table"), std::string::npos) << rep;
    EXPECT_EQ(rep.substr(rep.find("Peakgrid: computing table")),
              "Peakgrid: computing table\n"
              "Input file: in.bin\n"
              "--- Number of rows: 5, columns: 6\n"
              "Group number : 1, class width = 10\n"
              "Class limits :\n"
              "Mini = 100\n"
              "Maxi = 121\n"
              "Number of samples = 2\n"
              "Sample number : 1, number of peaks = 3\n"
              "Sample number : 2, number of peaks = 2\n"
              "Group number : 1, number of classes = 3\n"
              "Total number of classes = 3\n"
              "Max number of classes = 3\n"
              "Output file: in.bin_tabtotSH\n"
              "--- Number of rows: 2, columns: 3\n"
              "Output file: in.bin_tabSH (columns of zeros are removed) \n"
              "--- Number of rows: 2, columns: 2\n");
}

TEST_F(Console, ComputeTableClassLayoutOfTwoGroups) {
    // Lengths from 35.2 to 498.6 in one sample.
    std::vector<float> peaks;
    for (int k = 0; k <= 10; ++k)
        peaks.insert(peaks.end(), {1, static_cast<float>(k + 1), 0, f(35.2 + k * 46.34), 100, 200});
    write_bytes(dir.file("data/in.bin"), table(peaks, 11, 6));
    write_bytes(dir.file("run.txt"), batch("1\n1\n2\n0\n0\n", 2));
    Outcome r = run("run.txt", "10\n20\n200\n");
    ASSERT_EQ(r.status, 0) << r.err;
    std::string rep = report();
    for (const char* line :
         {"Mini = 35\n200\nMaxi = 499\n", "Group number : 1, number of classes = 17\n",
          "Group number : 2, number of classes = 15\n", "Total number of classes = 32\nMax number of classes = 17\n"})
        EXPECT_NE(rep.find(line), std::string::npos) << line << rep;
    EXPECT_EQ(data("in.bin_tabtotSH").size(), 4u * 32 + 18);
}

TEST_F(Console, ComputeTableCancelledOrRefused) {
    write_bytes(dir.file("data/in.bin"), table(kPeaks, 5, 6));
    write_bytes(dir.file("data/empty.bin"), table({}, 0, 6));
    struct Case {
        std::string batch, answers, message;
    // clang-format off
    } cases[] = {
        {batch("1\n1\n2\n0\n0\n"), "", "Message: Sorry: computation cancelled, no table written"},
        {"Table\n2\n7\nin.bin\n0\n1\n1\n2\n0\n0\n", "10\n", "Message: Sorry: the number of groups must be at least 1"},
        {"Table\n2\n7\nempty.bin\n1\n1\n1\n2\n0\n0\n", "10\n", "Message: Sorry: invalid binary file"},
    };
    // clang-format on
    for (const auto& c : cases) {
        write_bytes(dir.file("run.txt"), c.batch);
        Outcome r = run("run.txt", c.answers);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        for (const auto& e : fs::directory_iterator(dir.file("data")))
            EXPECT_EQ(e.path().filename().string().find("_tab"), std::string::npos) << c.message;
    }
}

TEST_F(Console, ComputeTableLayoutEdges) {
    // One sample whose heights 5, 3, 3, 1 fall in four classes of width 10.
    const std::vector<float> ranked = {1,  1, 0, 10, 5, 1, 1,  2, 0, 20, 3, 1, 1,  3, 0,
                                       30, 3, 1, 1,  4, 0, 40, 1, 1, 1,  5, 0, 45, 0, 1};
    struct Case {
        const char* what;
        std::vector<float> input;
        int groups;
        const char* params;  // values 3..7
        const char* answers;
        const char* suffix;  // of the kept table; the full one is "tot" + it
        int rows, cols, kept_cols;
        std::vector<float> full, kept;
    // clang-format off
    } cases[] = {
        {"start above the data: no class", kPeaks, 1, "1\n1\n2\n0\n1000\n", "10\n", "SH", 2, 0, 0, {}, {}},
        {"an empty last class [121, 121)", kPeaks, 1, "1\n1\n2\n0\n0\n", "7\n", "SH", 2, 4, 2,
         {800, 0, 0, 0, 450, 0, 700, 0}, {800, 0, 450, 700}},
        {"two largest peaks, ties kept", ranked, 1, "1\n1\n2\n2\n0\n", "10\n", "SH", 1, 4, 3, {5, 3, 3, 0}, {5, 3, 3}},
        // Upper limits 115 then 105: group 2 gets no class and group 3,
        // [105, 121), overlaps group 1's [100, 110) and [110, 115).
        {"overlapping groups, sums", kPeaks, 3, "1\n1\n2\n0\n0\n", "10\n10\n10\n115\n105\n", "SH", 2, 3, 2,
         {800, 0, 0, 450, 0, 700}, {800, 0, 450, 700}},
        {"overlapping groups, maxima", kPeaks, 3, "1\n2\n2\n0\n0\n", "10\n10\n10\n115\n105\n", "MH", 2, 3, 2,
         {500, 0, 300, 450, 0, 700}, {500, 300, 450, 700}},
    };
    // clang-format on
    for (const auto& c : cases) {
        write_bytes(dir.file("data/in.bin"), table(c.input, static_cast<int>(c.input.size() / 6), 6));
        write_bytes(dir.file("run.txt"), batch(c.params, c.groups));
        Outcome r = run("run.txt", c.answers);
        ASSERT_EQ(r.status, 0) << c.what << r.err;
        EXPECT_EQ(data(std::string("in.bin_tabtot") + c.suffix), table(c.full, c.rows, c.cols)) << c.what;
        EXPECT_EQ(data(std::string("in.bin_tab") + c.suffix), table(c.kept, c.rows, c.kept_cols)) << c.what;
    }
}
