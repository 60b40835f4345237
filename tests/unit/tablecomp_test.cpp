#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "datafile/arrays.h"
#include "datafile/binfile.h"
#include "datafile/messages.h"
#include "datafile/readcols.h"
#include "frame/report.h"
#include "peaks/classlayout.h"
#include "peaks/classtables.h"
#include "peaks/tablecomp.h"
#include "support/fake_platform.h"
#include "support/report_fixture.h"
#include "support/test_dir.h"
#include "tablecomp_oracle.h"

namespace {

typedef std::array<double, 6> Peak;  // sample, peak number, -, length, height, area
typedef std::vector<std::vector<double>> Rows;

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

class Tablecomp : public ReportTest {};

void write_input(const std::string& name, const std::vector<Peak>& peaks, int cols = 6) {
    DMatrix m = nullptr;
    TabGuard g{m};
    taballoc(m, static_cast<int>(peaks.size()), cols);
    for (std::size_t i = 0; i < peaks.size(); ++i)
        for (int j = 1; j <= cols; ++j) m[i + 1][j] = peaks[i][static_cast<std::size_t>(j - 1)];
    ecrmat(m, name.c_str());
}

// The bytes of a table file holding these rows, built without ecrmat.
std::string table_bytes(const Rows& rows, int cols) {
    std::string b;
    for (const auto& row : rows)
        for (double v : row) {
            unsigned char e[4];
            encodescal(v, e);
            b.append(reinterpret_cast<const char*>(e), 4);
        }
    char t[19];
    std::snprintf(t, sizeof t, "\r\n%06d\r\n%06d\r\n", static_cast<int>(rows.size()), cols);
    return b + t;
}

struct Params {
    std::vector<std::string> answers;
    int groups = 1, heightarea = 1, summax = 1, rowpct = 2, maxpeaks = 0, start = 0;
};

// Runs the option on "in"; the fatal text it ended with, "" when none.
std::string run(const Params& r, decltype(&computetable) entry = &computetable) {
    g_fake.answers.assign(r.answers.begin(), r.answers.end());
    try {
        entry("in", r.groups, r.heightarea, r.summax, r.rowpct, r.maxpeaks, r.start);
    } catch (const RunAbandoned& e) {
        return e.text;
    }
    return "";
}

std::string full_name_of(const Params& r) { return full_table_name("in", r.heightarea == 1, r.summax == 1); }
std::string kept_name_of(const Params& r) { return kept_table_name("in", r.heightarea == 1, r.summax == 1); }

bool exists(const std::string& name) { return std::filesystem::exists(name); }

bool ends_with(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The five peaks of the worked example: classes [100,110) [110,120) [120,121).
const std::vector<Peak> kFive = {{1, 1, 0, 100.5, 500, 2000},
                                 {1, 2, 0, 105, 300, 1500},
                                 {1, 3, 0, 121, 200, 900},
                                 {2, 1, 0, 101, 450, 2100},
                                 {2, 2, 0, 119.5, 700, 3900}};

const char* const kFiveHead =
    "Peakgrid: computing table\n"
    "Input file: in\n"
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
    "Max number of classes = 3\n";

}  // namespace

TEST_F(Tablecomp, WorkedExampleEveryKindOfTable) {
    write_input("in", kFive);
    const double a = 450.0 / 1150.0, b = 700.0 / 1150.0;
    struct Case {
        int heightarea, summax, rowpct, maxpeaks;
        const char* kind;
        Rows full, kept;
    } cases[] = {
        {1, 1, 2, 0, "SH", {{800, 0, 0}, {450, 700, 0}}, {{800, 0}, {450, 700}}},
        {2, 1, 2, 0, "SS", {{3500, 0, 0}, {2100, 3900, 0}}, {{3500, 0}, {2100, 3900}}},
        {1, 2, 2, 0, "MH", {{500, 0, 0}, {450, 700, 0}}, {{500, 0}, {450, 700}}},
        {2, 2, 2, 0, "MS", {{2000, 0, 0}, {2100, 3900, 0}}, {{2000, 0}, {2100, 3900}}},
        {1, 1, 2, 1, "SH", {{800, 0, 0}, {0, 700, 0}}, {{800, 0}, {0, 700}}},
        {1, 1, 1, 0, "SH", {{1, 0, 0}, {a, b, 0}}, {{1, 0}, {a, b}}},
    };
    for (const auto& c : cases) {
        ResetReport();
        g_fake.events.clear();
        Params r;
        r.answers = {"10"};
        r.heightarea = c.heightarea;
        r.summax = c.summax;
        r.rowpct = c.rowpct;
        r.maxpeaks = c.maxpeaks;
        ASSERT_EQ(run(r), "");
        std::string full = std::string("in_tabtot") + c.kind, kept = std::string("in_tab") + c.kind;
        EXPECT_EQ(read_bytes(full), table_bytes(c.full, 3)) << full;
        EXPECT_EQ(read_bytes(kept), table_bytes(c.kept, 2)) << kept;
        EXPECT_EQ(report_text(), kFiveHead + ("Output file: " + full + "\n--- Number of rows: 2, columns: 3\n" +
                                              "Output file: " + kept +
                                              " (columns of zeros are removed) \n--- Number of rows: 2, columns: 2\n"));
        EXPECT_EQ(g_fake.events, (std::vector<std::string>{"ask: Group number 1|Class width ", "beep",
                                                           "info: Min. length = 100  Max. length = 121"}));
    }
}

// Layouts: where the classes lie and which column a length lands in.
TEST_F(Tablecomp, ClassLayoutsPlaceLengths) {
    struct Case {
        const char* what;
        std::vector<double> lengths;  // one peak each, heights 1, 2, 3, ...
        std::vector<std::string> answers;
        int groups, start;
        std::vector<const char*> lines;  // report lines that must be there
        std::vector<double> row;         // the full table's single row
    } cases[] = {
        {"two groups, 17 + 15 classes",
         {35.2, 194.9, 195, 200, 219.5, 480, 498.6},
         {"10", "20", "200"},
         2,
         0,
         {"Mini = 35\n200\nMaxi = 499\n", "Group number : 1, number of classes = 17\n",
          "Group number : 2, number of classes = 15\n", "Total number of classes = 32\n",
          "Max number of classes = 17\n"},
         {}},
        {"span a multiple of the width: empty last class; the upper end counts nowhere",
         {100, 199.5, 200, 500},
         {"10", "20", "200"},
         2,
         0,
         {"Group number : 1, number of classes = 11\n", "Group number : 2, number of classes = 15\n",
          "Total number of classes = 26\n"},
         {}},
        {"position carried over: narrow and wide last classes",
         {100, 195, 200, 212, 229.5, 230},
         {"30", "5", "200"},
         2,
         0,
         {"Group number : 1, number of classes = 4\n", "Group number : 2, number of classes = 3\n"},
         {}},
        {"start below the data",
         {80, 94.5},
         {"10"},
         1,
         50,
         {"Mini = 50\nMaxi = 95\n", "Group number : 1, number of classes = 5\n"},
         {0, 0, 0, 1, 2}},
        {"start above the data: no class at all",
         {80, 120},
         {"10"},
         1,
         500,
         {"Mini = 500\nMaxi = 120\n", "Total number of classes = 0\n", "Max number of classes = 0\n",
          "--- Number of rows: 1, columns: 0\n"},
         {}},
    };
    // Expected rows of the first three layouts, by column.
    std::vector<double> first(32, 0.0), second(26, 0.0), third(7, 0.0);
    first[0] = 1;
    first[15] = 2;   // 194.9 in [185, 195)
    first[16] = 3;   // 195 in [195, 200)
    first[17] = 4;   // 200 in [200, 220), the next group
    first[17] += 5;  // 219.5
    first[31] = 6 + 7;
    second[0] = 1;
    second[9] = 2;   // 199.5 in [190, 200); [200, 200) stays empty
    second[11] = 3;  // 200 opens group 2; 500 is the upper end
    third[0] = 1;
    third[3] = 2;      // 195 in [190, 200)
    third[4] = 3;      // 200 in [200, 205)
    third[6] = 4 + 5;  // 212 and 229.5 in [210, 230); 230 is the upper end
    cases[0].row = first;
    cases[1].row = second;
    cases[2].row = third;
    for (const auto& c : cases) {
        std::vector<Peak> peaks;
        for (std::size_t i = 0; i < c.lengths.size(); ++i)
            peaks.push_back({1, 1, 0, c.lengths[i], static_cast<double>(i + 1), 0});
        write_input("in", peaks);
        ResetReport();
        Params r;
        r.answers = c.answers;
        r.groups = c.groups;
        r.start = c.start;
        ASSERT_EQ(run(r), "") << c.what;
        std::string text = report_text();
        for (const char* line : c.lines) EXPECT_NE(text.find(line), std::string::npos) << c.what << ": " << line;
        EXPECT_EQ(read_bytes("in_tabtotSH"), table_bytes({c.row}, static_cast<int>(c.row.size()))) << c.what;
    }
}

TEST_F(Tablecomp, PeakLimitKeepsTiesAndLargestValues) {
    // One sample, classes [100,110) [110,120) [120,130) [130,131) holding 3, 1, 5, 3.
    write_input("in", {{1, 1, 0, 100.5, 3, 0}, {1, 2, 0, 110.5, 1, 0}, {1, 3, 0, 120.5, 5, 0}, {1, 4, 0, 130.5, 3, 0}});
    struct Case {
        int maxpeaks;
        std::vector<double> full, kept;
    } cases[] = {
        {2, {3, 0, 5, 3}, {3, 5, 3}},    {3, {3, 0, 5, 3}, {3, 5, 3}},     {1, {0, 0, 5, 0}, {5}},
        {0, {3, 1, 5, 3}, {3, 1, 5, 3}}, {-1, {3, 1, 5, 3}, {3, 1, 5, 3}}, {4, {3, 1, 5, 3}, {3, 1, 5, 3}},
    };
    for (const auto& c : cases) {
        Params r;
        r.answers = {"10"};
        r.maxpeaks = c.maxpeaks;
        ASSERT_EQ(run(r), "");
        EXPECT_EQ(read_bytes("in_tabtotSH"), table_bytes({c.full}, 4)) << c.maxpeaks;
        EXPECT_EQ(read_bytes("in_tabSH"), table_bytes({c.kept}, static_cast<int>(c.kept.size()))) << c.maxpeaks;
    }
}

TEST_F(Tablecomp, OverlappingGroupsFirstClassForSumsEveryClassForMax) {
    // Upper limits 300 then 200: group 1 has [100,150) .. [250,300) [300,300),
    // group 2 none, group 3 [200,300) [300,500).
    write_input("in", {{1, 1, 0, 220, 4, 0}, {1, 2, 0, 230, 6, 0}, {1, 3, 0, 320, 7, 0}, {1, 4, 0, 500, 1, 0}});
    Params r;
    r.answers = {"50", "10", "100", "300", "200"};
    r.groups = 3;
    r.start = 100;
    ASSERT_EQ(run(r), "");
    EXPECT_EQ(read_bytes("in_tabtotSH"), table_bytes({{0, 0, 10, 0, 0, 0, 7}}, 7));
    EXPECT_NE(report_text().find("Group number : 1, number of classes = 5\n"
                                 "Group number : 2, number of classes = 0\n"
                                 "Group number : 3, number of classes = 2\n"),
              std::string::npos);
    r.summax = 2;
    ASSERT_EQ(run(r), "");
    EXPECT_EQ(read_bytes("in_tabtotMH"), table_bytes({{0, 0, 6, 0, 0, 6, 7}}, 7));
}

TEST_F(Tablecomp, RowsWithoutAValidSampleNumberAreSkippedAndCounted) {
    // Sums use the truncated number (2.5 -> 2); max and the peak counts only
    // whole numbers.
    write_input("in", {{1, 4, 0, 100.5, 1, 0},
                       {2.5, 9, 0, 100.5, 2, 0},
                       {0.5, 1, 0, 100.5, 4, 0},
                       {0, 1, 0, 100.5, 8, 0},
                       {-3, 1, 0, 100.5, 16, 0},
                       {kNaN, 1, 0, 100.5, 32, 0},
                       {kInf, 1, 0, 100.5, 64, 0},
                       {-kInf, 1, 0, 100.5, 128, 0},
                       {1, 1, 0, 101.5, 256, 0}});
    Params r;
    r.answers = {"10"};
    ASSERT_EQ(run(r), "");
    EXPECT_EQ(read_bytes("in_tabtotSH"), table_bytes({{257}, {2}}, 1));
    EXPECT_NE(report_text().find("Number of samples = 2\n"
                                 "Sample number : 1, number of peaks = 4\n"
                                 "Sample number : 2, number of peaks = 1\n"
                                 "Rows skipped (sample number below 1 or not finite) = 6\n"),
              std::string::npos);
    r.summax = 2;
    ASSERT_EQ(run(r), "");
    EXPECT_EQ(read_bytes("in_tabtotMH"), table_bytes({{256}, {0}}, 1));
}

TEST_F(Tablecomp, RowsSummingToZeroStayZeroUnderProportions) {
    // Sample 2 has no peak in a class; sample 3's peaks cancel out.
    write_input("in", {{1, 1, 0, 100.5, 3, 0},
                       {1, 2, 0, 110.5, 1, 0},
                       {2, 1, 0, 121, 5, 0},
                       {3, 1, 0, 100.5, 2, 0},
                       {3, 2, 0, 110.5, -2, 0}});
    Params r;
    r.answers = {"10"};
    r.rowpct = 1;
    ASSERT_EQ(run(r), "");
    EXPECT_EQ(read_bytes("in_tabtotSH"), table_bytes({{0.75, 0.25, 0}, {0, 0, 0}, {0, 0, 0}}, 3));
    EXPECT_EQ(read_bytes("in_tabSH"), table_bytes({{0.75, 0.25}, {0, 0}, {0, 0}}, 2));
    EXPECT_NE(report_text().find("Rows of sum 0 left as zeros (no proportions): 2 in the full table, "
                                 "2 in the reduced table\n"),
              std::string::npos);
}

// Questions: refused widths are asked again, long answers are cut, any
// cancelled question ends the run without a table.
TEST_F(Tablecomp, AnswersAndCancellation) {
    write_input("in", kFive);
    const std::string refused = "info: Sorry: the class width must be at least 1";
    const std::string cancel = "info: Sorry: computation cancelled, no table written";
    struct Case {
        std::vector<std::string> answers;
        int groups;
        const char* width;  // the width line of the report; null when cancelled
        std::vector<std::string> boxes;
    } cases[] = {
        {{"0", "-5", "abc", "10"},
         1,
         "class width = 10\n",
         {refused, refused, refused, "info: Min. length = 100  Max. length = 121"}},
        {{std::string(50, ' ') + "5"}, 1, "class width = 5\n", {"info: Min. length = 100  Max. length = 121"}},
        {{std::string(51, ' ') + "5", "10"},
         1,
         "class width = 10\n",
         {refused, "info: Min. length = 100  Max. length = 121"}},
        {{}, 1, nullptr, {cancel}},
        {{"0"}, 1, nullptr, {refused, cancel}},
        {{"10", "20"}, 2, nullptr, {"info: Min. length = 100  Max. length = 121", cancel}},
    };
    for (const auto& c : cases) {
        std::filesystem::remove("in_tabtotSH");
        std::filesystem::remove("in_tabSH");
        ResetReport();
        g_fake.events.clear();
        Params r;
        r.answers = c.answers;
        r.groups = c.groups;
        ASSERT_EQ(run(r), "");
        std::vector<std::string> boxes;
        for (const auto& e : g_fake.events)
            if (e.compare(0, 6, "info: ") == 0) boxes.push_back(e);
        EXPECT_EQ(boxes, c.boxes) << c.answers.size();
        EXPECT_EQ(exists("in_tabtotSH"), c.width != nullptr);
        EXPECT_EQ(exists("in_tabSH"), c.width != nullptr);
        std::string text = report_text();
        if (c.width)
            EXPECT_NE(text.find(c.width), std::string::npos);
        else
            EXPECT_TRUE(ends_with(text, "Computation cancelled: no output table written\n")) << text;
    }
}

// Inputs and parameters that stop the run with a notice, before any question.
TEST_F(Tablecomp, RefusedInputsWriteNothing) {
    struct Case {
        const char* what;
        std::vector<Peak> peaks;
        int cols, groups, start;
        std::vector<std::string> answers;
        const char* notice;
        bool report_reset;
    } cases[] = {
        {"no groups", kFive, 6, 0, 0, {}, "Sorry: the number of groups must be at least 1", false},
        {"negative groups", kFive, 6, -3, 0, {}, "Sorry: the number of groups must be at least 1", false},
        {"no rows", {}, 6, 1, 0, {}, "Sorry: invalid binary file", true},
        {"no columns", kFive, 0, 1, 0, {}, "Sorry: invalid binary file", true},
        {"no sample number of 1",
         {{0.9, 1, 0, 100, 1, 1}, {-2, 1, 0, 110, 1, 1}},
         6,
         1,
         0,
         {},
         "Sorry: no sample number of 1 or more in column 1",
         false},
        {"too many samples", {{1000000, 1, 0, 100, 1, 1}}, 6, 1, 0, {}, "Sorry: more than 999999 samples", false},
        {"too many classes", kFive, 6, 1, -2000000000, {"1"}, "Sorry: more than 999999 size classes", false},
        {"tables too large",
         {{20000, 1, 0, 100, 1, 1}, {1, 1, 0, 7099.5, 1, 1}},
         6,
         1,
         0,
         {"1"},
         "Sorry: a table of 20000 samples x 7001 classes needs too much memory",
         false},
    };
    for (const auto& c : cases) {
        write_input("in", c.peaks, c.cols);
        ResetReport();
        g_fake.events.clear();
        Params r;
        r.answers = c.answers;
        r.groups = c.groups;
        r.start = c.start;
        ASSERT_EQ(run(r), "") << c.what;
        std::vector<std::string> boxes = fake_events("info: ");
        ASSERT_FALSE(boxes.empty()) << c.what;
        EXPECT_EQ(boxes.back(), c.notice) << c.what;
        EXPECT_FALSE(exists("in_tabtotSH")) << c.what;
        std::string text = report_text();
        if (c.report_reset)
            EXPECT_EQ(text, "") << c.what;
        else
            EXPECT_TRUE(ends_with(text, "Computation stopped: no output table written\n")) << c.what;
    }
    std::filesystem::remove("in");
    ResetReport();
    g_fake.events.clear();
    ASSERT_EQ(run(Params{}), "");
    EXPECT_EQ(fake_events("info: "), std::vector<std::string>{"Sorry: invalid binary file"});
}

TEST_F(Tablecomp, DamagedInputsFailWithTheReadersTexts) {
    write_input("five", kFive, 5);
    // The trailer claims 5 x 6, the data hold 4 rows.
    write_bytes("short",
                table_bytes({{1, 1, 0, 100, 1, 1}, {1, 1, 0, 100, 1, 1}, {1, 1, 0, 100, 1, 1}, {1, 1, 0, 100, 1, 1}}, 6)
                        .substr(0, 96) +
                    "\r\n000005\r\n000006\r\n");
    write_bytes("short3", std::string(8, '\0') + "\r\n000004\r\n000003\r\n");
    struct Case {
        const char* file;
        const char* text;
    } cases[] = {
        {"five", "fatal input-output error numcol>c1 (selectcol"},
        {"short", "Error: can't read vector (readvec)"},
        {"short3", "Error: can't read vector (readvec)"},
    };
    for (const auto& c : cases) {
        write_bytes("in", read_bytes(c.file));
        for (auto entry : {&computetable, &computetable_literal}) {
            Params r;
            r.answers = {"10"};
            EXPECT_EQ(run(r, entry), c.text) << c.file;
            EXPECT_FALSE(exists("in_tabtotSH"));
        }
    }
}

// Every allocation of the run can fail: the run is abandoned with the
// allocator's text and (under the sanitizers) nothing leaks.
TEST_F(Tablecomp, AbandonedRunsReleaseEverything) {
    write_input("in", kFive);
    int failures = 0;
    for (long n = 0;; ++n) {
        g_arrays.fail_countdown = n;
        Params r;
        r.answers = {"10"};
        r.maxpeaks = 1;
        r.rowpct = 1;
        std::string text = run(r);
        if (text.empty()) break;
        EXPECT_EQ(text.rfind("Error: insufficient memory (", 0), 0u) << text;
        ++failures;
    }
    EXPECT_GE(failures, 10);
}

// One pass over blocks of rows gives what one selectcol per column gives,
// for tables of many blocks and for rows longer than a block.
TEST_F(Tablecomp, SelectcolsReadsWhatSelectcolReads) {
    const int shapes[][2] = {{100000, 6}, {3, 300000}, {1, 7}};
    for (const auto& shape : shapes) {
        int R = shape[0], C = shape[1];
        DMatrix m = nullptr;
        TabGuard g{m};
        taballoc(m, R, C);
        for (int i = 1; i <= R; ++i)
            for (int j = 1; j <= C; ++j) m[i][j] = i * 0.37 - j * 1.5;
        ecrmat(m, "wide");
        const int cols[] = {C, 1, 2, C - 1};
        DVector v[4] = {nullptr, nullptr, nullptr, nullptr};
        VecGuard g0{v[0]}, g1{v[1]}, g2{v[2]}, g3{v[3]};
        for (auto& x : v) vecalloc(x, R);
        selectcols("wide", cols, v, 4);
        DVector one = nullptr;
        VecGuard go{one};
        vecalloc(one, R);
        for (int k = 0; k < 4; ++k) {
            selectcol("wide", one, cols[k]);
            ASSERT_EQ(std::vector<double>(one + 1, one + 1 + R), std::vector<double>(v[k] + 1, v[k] + 1 + R))
                << R << "x" << C << " column " << cols[k];
        }
    }
}

// The lookup against a plain test of every class, on random layouts that
// include overlapping groups, empty classes and limits that decrease.
TEST(ClassFinder, FindsWhatAScanOfEveryClassFinds) {
    std::mt19937 rng(7);
    for (int trial = 0; trial < 3000; ++trial) {
        int G = 1 + static_cast<int>(rng() % 5);
        std::vector<int> counts;
        std::vector<double> limits;
        bool messy = rng() % 4 == 0;
        for (int g = 0; g < G; ++g) {
            int n = static_cast<int>(rng() % 6);
            counts.push_back(n);
            double x = static_cast<double>(rng() % 40);
            for (int k = 0; k <= n; ++k) {
                limits.push_back(x);
                x += messy ? static_cast<double>(rng() % 9) - 3.0 : static_cast<double>(rng() % 5);
            }
        }
        ClassFinder f(counts, limits);
        for (double len = -1.0; len < 75.0; len += 0.5) {
            std::vector<int> want;
            std::size_t base = 0;
            int offset = 0;
            for (int g = 0; g < G; ++g) {
                for (int k = 1; k <= counts[static_cast<std::size_t>(g)]; ++k)
                    if (limits[base + static_cast<std::size_t>(k) - 1] <= len &&
                        len < limits[base + static_cast<std::size_t>(k)])
                        want.push_back(offset + k);
                base += static_cast<std::size_t>(counts[static_cast<std::size_t>(g)]) + 1;
                offset += counts[static_cast<std::size_t>(g)];
            }
            std::vector<int> got;
            f.each(len, [&](int c) { got.push_back(c); });
            std::sort(got.begin(), got.end());
            std::sort(want.begin(), want.end());
            ASSERT_EQ(got, want) << "trial " << trial << " length " << len;
            ASSERT_EQ(f.first(len), want.empty() ? 0 : want.front()) << "trial " << trial;
        }
        ASSERT_EQ(f.first(kNaN), 0);
    }
}

// The option against the plain method on thousands of small random inputs:
// both output files, the report and every box and question must agree.
TEST_F(Tablecomp, MatchesThePlainMethodOnRandomInputs) {
    std::mt19937 rng(2024);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const double fractions[] = {0.0, 0.0, 0.5, 0.25, 0.1, 0.9};
    const double values[] = {0, 1, 2, 2, 5, -3, 0.5, 1e-3, 7.25, -2, -1, kNaN, kInf};
    // File operations dominate; under Wine they are several times slower.
#ifdef _WIN32
    const int trials = 300;
#else
    const int trials = 2000;
#endif
    int compared = 0;
    for (int trial = 0; trial < trials; ++trial) {
        int R = 1 + pick(60), S = 1 + pick(8);
        int lo = 30 + pick(60), span = 1 + pick(300);
        std::vector<Peak> peaks;
        for (int i = 0; i < R; ++i) {
            double sample = 1 + pick(S);
            int odd = pick(40);
            if (odd == 0) sample += 0.5;
            if (odd == 1) sample = -pick(3);
            if (odd == 2) sample = 0.75;
            if (odd == 3) sample = kNaN;
            double length = lo + pick(span) + fractions[pick(6)];
            if (pick(30) == 0) length = -length;
            // Now and then values that cancel out (columns and rows of sum
            // 0) or are not numbers.
            auto value = [&] {
                if (pick(3) == 0) return values[pick(trial % 7 == 0 ? 13 : 11)];
                return pick(5000) / 8.0 - (pick(10) == 0 ? 300 : 0);
            };
            peaks.push_back({sample, 1.0 + pick(25), 0, length, value(), value()});
        }
        write_input("in", peaks);

        Params r;
        r.groups = 1 + pick(4);
        for (int g = 0; g < r.groups; ++g) {
            if (pick(15) == 0) r.answers.push_back(pick(2) ? "0" : "-4");
            r.answers.push_back(std::to_string(1 + pick(30)));
        }
        int at = lo;
        for (int g = 1; g < r.groups; ++g) {
            at = pick(4) == 0 ? lo - 20 + pick(span + 40) : at + pick(span / r.groups + 20);
            r.answers.push_back(std::to_string(at));
        }
        if (pick(25) == 0) r.answers.resize(static_cast<std::size_t>(pick(static_cast<int>(r.answers.size()) + 1)));
        r.heightarea = 1 + pick(2);
        r.summax = 1 + pick(2);
        r.rowpct = 1 + pick(2);
        const int ranks[] = {0, 0, 1, 2, 3, 5, -2};
        r.maxpeaks = pick(2) ? ranks[pick(7)] : pick(150);
        r.start = pick(8) == 0 ? lo - pick(40) : (pick(20) == 0 ? lo + span + pick(10) : 0);

        std::string outcome[2], text[2], full[2], kept[2];
        std::vector<std::string> events[2];
        for (int k = 0; k < 2; ++k) {
            std::filesystem::remove(full_name_of(r));
            std::filesystem::remove(kept_name_of(r));
            ResetReport();
            g_fake.events.clear();
            outcome[k] = run(r, k == 0 ? &computetable : &computetable_literal);
            text[k] = report_text();
            events[k] = g_fake.events;
            full[k] = exists(full_name_of(r)) ? read_bytes(full_name_of(r)) : "none";
            kept[k] = exists(kept_name_of(r)) ? read_bytes(kept_name_of(r)) : "none";
        }
        ASSERT_EQ(outcome[0], outcome[1]) << "trial " << trial;
        ASSERT_EQ(text[0], text[1]) << "trial " << trial;
        ASSERT_EQ(events[0], events[1]) << "trial " << trial;
        ASSERT_EQ(full[0], full[1]) << "trial " << trial;
        ASSERT_EQ(kept[0], kept[1]) << "trial " << trial;
        if (full[0] != "none") ++compared;
    }
    EXPECT_GT(compared, trials * 4 / 5);
}
