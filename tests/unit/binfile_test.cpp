#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "datafile/arrays.h"
#include "datafile/binfile.h"
#include "datafile/messages.h"
#include "datafile/readrows.h"
#include "frame/report.h"
#include "frame/reset.h"
#include "support/fake_platform.h"
#include "support/test_dir.h"

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif

namespace {

class Binfile : public ::testing::Test {
  protected:
    void SetUp() override { reset_fake(); }
    void TearDown() override { reset_fake(); }
    TestDir dir;
};

// Writes rows x cols values (i * 10 + j) with ecrmat.
void write_table(const std::string& name, int rows, int cols) {
    DMatrix m = nullptr;
    TabGuard g{m};
    taballoc(m, rows, cols);
    for (int i = 1; i <= rows; ++i)
        for (int j = 1; j <= cols; ++j) m[i][j] = i * 10 + j;
    ecrmat(m, name.c_str());
}

std::string trailer(int rows, int cols) {
    char t[19];
    std::snprintf(t, sizeof t, "\r\n%06d\r\n%06d\r\n", rows, cols);
    return t;
}

// Runs f and returns the error box it ended with ("" when none).
template <class F>
std::string fatal_text(F f) {
    std::size_t before = fake_events("error: ").size();
    try {
        f();
    } catch (const RunAbandoned&) {
        auto e = fake_events("error: ");
        return e.size() > before ? e.back() : "abandoned without a box";
    }
    return "";
}

}  // namespace

TEST_F(Binfile, TwoByThreeTableIsFortyTwoBytes) {
    write_table("t", 2, 3);
    std::string b = read_bytes("t");
    ASSERT_EQ(b.size(), 42u);
    EXPECT_EQ(b.substr(24), std::string("\x0D\x0A"
                                        "000002"
                                        "\x0D\x0A"
                                        "000003"
                                        "\x0D\x0A"));
    // Element (2, 1) = 21.0f little-endian at offset 4 * 3.
    EXPECT_EQ(b.substr(12, 4), std::string("\x00\x00\xA8\x41", 4));
    int r, c;
    readdims("t", r, c);
    EXPECT_EQ(r, 2);
    EXPECT_EQ(c, 3);
}

TEST_F(Binfile, ValuesRoundToNearestFloat) {
    const double values[] = {0.1, 1.0 / 3.0, 16777217.0, -2.5e-3, 1e-50, 123456789.123};
    DMatrix m = nullptr;
    TabGuard g{m};
    taballoc(m, 1, 6);
    for (int j = 1; j <= 6; ++j) m[1][j] = values[j - 1];
    ecrmat(m, "r");
    DVector v = nullptr;
    VecGuard vg{v};
    vecalloc(v, 1);
    for (int j = 1; j <= 6; ++j) {
        selectcol("r", v, j);
        EXPECT_EQ(v[1], static_cast<double>(static_cast<float>(values[j - 1]))) << j;
    }
}

// The same trailer comes from both ways of writing a table, for every shape.
TEST_F(Binfile, ShapesRoundTrip) {
    const int shapes[][2] = {{1, 1}, {0, 6}, {3, 0}, {5, 6}, {999999, 0}};
    for (const auto& s : shapes) {
        write_table("a", s[0], s[1]);
        std::FILE* f = nullptr;
        ouvecr("b", f, 'b');
        for (int i = 1; i <= s[0]; ++i)
            for (int j = 1; j <= s[1]; ++j) writescal(i * 10 + j, f);
        closebin(f, "unused");
        writedims("b", s[0], s[1]);
        std::string a = read_bytes("a");
        EXPECT_EQ(a, read_bytes("b"));
        EXPECT_EQ(a.size(), 4u * s[0] * s[1] + 18);
        EXPECT_EQ(a.substr(a.size() - 18), trailer(s[0], s[1]));
        int r, c;
        readdims("a", r, c);
        EXPECT_EQ(r, s[0]);
        EXPECT_EQ(c, s[1]);
    }
}

TEST_F(Binfile, UnreadableTrailersReadAsEmpty) {
    const std::pair<const char*, std::string> files[] = {
        {"short", "\r\n00001"},
        {"letters", std::string(8, '\0') + "\r\n0000x2\r\n000001\r\n"},
        {"no-line-ends", std::string(8, '\0') + "xx000002xx000001xx"},
        {"text", "hello, this is not a table at all\n"},
    };
    for (const auto& f : files) {
        write_bytes(f.first, f.second);
        int r = -1, c = -1;
        readdims(f.first, r, c);
        EXPECT_EQ(r, 0) << f.first;
        EXPECT_EQ(c, 0) << f.first;
    }
    int r = -1, c = -1;
    readdims("missing", r, c);
    EXPECT_EQ(r + c, 0);
}

TEST_F(Binfile, CheckbinWarnsAndEmptiesTheReportOnEmptyTables) {
    g_reportstream.name = "QOR.temp-test";
    OpenReportStream();
    reportf("earlier report text\n");
    write_table("ok", 2, 2);
    checkbin("ok");
    EXPECT_TRUE(fake_events("info: ").empty());
    write_table("empty", 0, 6);
    for (const char* name : {"empty", "missing"}) checkbin(name);
    EXPECT_EQ(fake_events("info: "),
              (std::vector<std::string>{"Sorry: invalid binary file", "Sorry: invalid binary file"}));
    reportf("after\n");
    std::fflush(g_reportstream.file);
#ifdef _WIN32
    EXPECT_EQ(read_bytes("QOR.temp-test"), "after\r\n");  // a text stream
#else
    EXPECT_EQ(read_bytes("QOR.temp-test"), "after\n");
#endif
    EXPECT_FALSE(g_fake.closing);
}

TEST_F(Binfile, SelectcolChecks) {
    write_table("t", 3, 2);
    write_table("empty", 0, 6);
    // Corrupt: the trailer claims 3 x 2 but only 4 values are there.
    write_bytes("short", std::string(16, '\0') + trailer(3, 2));
    struct Case {
        const char* file;
        int len, col;
        const char* text;
        std::vector<double> want;
    } cases[] = {
        {"t", 3, 1, "", {11, 21, 31}},
        {"t", 3, 2, "", {12, 22, 32}},
        {"t", 3, 3, "fatal input-output error numcol>c1 (selectcol", {}},
        {"t", 2, 1, "fatal input-output error l1!=l2 (selectcol)", {}},
        {"t", 3, 0, "fatal input-output error numcol<1 (selectcol)", {}},
        {"empty", 0, 6, "", {}},
        {"empty", 0, 7, "fatal input-output error numcol>c1 (selectcol", {}},
        {"short", 3, 1, "Error: can't read vector (readvec)", {}},
    };
    for (const auto& c : cases) {
        DVector v = nullptr;
        VecGuard g{v};
        vecalloc(v, c.len);
        EXPECT_EQ(fatal_text([&] { selectcol(c.file, v, c.col); }), c.text) << c.file << c.col;
        if (*c.text == '\0') {
            EXPECT_EQ(std::vector<double>(v + 1, v + 1 + c.len), c.want) << c.file << c.col;
        }
    }
}

TEST_F(Binfile, OpenFailuresAndModes) {
    std::FILE* f = nullptr;
    struct Case {
        std::function<void()> call;
        const char* text;
    } cases[] = {
        {[&] { ouvecr("no/such/dir/t", f, 'b'); }, "Error: can't open binary output file (ouvecr)"},
        {[&] { ouvecr("no/such/dir/t", f, 'a'); }, "Error: can't open ascii output file (ouvecr)"},
        {[&] { ouvecr("t", f, 'x'); }, "Error: wrong open mode (ouvecr)"},
        {[&] { ouvlec("missing", f, 'b'); }, "Error: can't open binary input file (ouvlec)"},
        {[&] { ouvlec("missing", f, 'a'); }, "Error: can't open ascii input file (ouvlec)"},
        {[&] { ouvlec("t", f, 'x'); }, "Error: wrong open mode (ouvlec)"},
    };
    for (const auto& c : cases) EXPECT_EQ(fatal_text(c.call), c.text);
    EXPECT_EQ(f, nullptr);
}

TEST_F(Binfile, OversizedCountsAreRefusedAndNothingIsLeft) {
    std::FILE* f = nullptr;
    ouvecr("big", f, 'b');
    writescal(1.0, f);
    closebin(f, "unused");
    EXPECT_EQ(fatal_text([] { writedims("big", 1000000, 1); }), "Error: more than 999999 rows or columns (writedims)");
    EXPECT_FALSE(std::filesystem::exists("big"));
}

TEST_F(Binfile, AbandonedTablesAreRemoved) {
    write_table("old", 1, 1);
    std::FILE* f = nullptr;
    ouvecr("old", f, 'b');  // being replaced
    writescal(5.0, f);
    std::FILE* g = nullptr;
    ouvecr("done", g, 'b');
    closebin(g, "unused");
    writedims("done", 0, 6);
    abandon_outputs();
    EXPECT_FALSE(std::filesystem::exists("old"));
    EXPECT_TRUE(std::filesystem::exists("done"));
}

#ifndef _WIN32
TEST_F(Binfile, DeviceFullIsAWriteFailure) {
    DMatrix m = nullptr;
    TabGuard g{m};
    taballoc(m, 2, 3);
    EXPECT_EQ(fatal_text([&] { ecrmat(m, "/dev/full"); }), "Error: can't write matrix (ecrmat)");
    std::FILE* f = nullptr;
    ouvecr("/dev/full", f, 'b');
    // Buffered: the failure shows when the data reach the device.
    std::string text = fatal_text([&] {
        for (int i = 0; i < 100000; ++i) writescal(i, f);
        closebin(f, "Error: can't write scalar (writescal)");
    });
    EXPECT_EQ(text, "Error: can't write scalar (writescal)");
    EXPECT_TRUE(std::filesystem::exists("/dev/full"));
}

TEST_F(Binfile, FailedWriteLeavesNoTableBehind) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &small);
    std::string text = fatal_text([] { write_table("big", 100, 100); });
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(text, "Error: can't write matrix (ecrmat)");
    EXPECT_FALSE(std::filesystem::exists("big"));
}
#endif

// The block reader every table reader shares: blocks of whole rows, in
// order, covering every row once; a short data region is refused before a
// block is handed over.
TEST_F(Binfile, RowBlocksCoverEveryRowOnce) {
    const struct {
        int rows, cols, write_rows;
    } cases[] = {{3, 2, 3}, {300000, 1, 300000}, {2, 300000, 2}, {70000, 5, 69999}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rows << " x " << c.cols);
        write_table("t", c.write_rows, c.cols);
        if (c.write_rows != c.rows) {  // a trailer claiming one row more than is there
            std::string b = read_bytes("t");
            write_bytes("t", b.substr(0, b.size() - 18) + trailer(c.rows, c.cols));
        }
        std::FILE* f = nullptr;
        ouvlec("t", f, 'b');
        InputCloser closer{f};
        EXPECT_EQ(tabledataend(f), 4LL * c.write_rows * c.cols);
        int next = 1, blocks = 0;
        bool values_ok = true;
        std::string err = fatal_text([&] {
            readrowblocks(f, c.rows, c.cols, [&](int first, std::size_t n, const float* v) {
                EXPECT_EQ(first, next);
                ++blocks;
                for (std::size_t i = 0; i < n; ++i)
                    values_ok = values_ok &&
                                v[i * static_cast<std::size_t>(c.cols)] == (first + static_cast<int>(i)) * 10 + 1 &&
                                v[(i + 1) * static_cast<std::size_t>(c.cols) - 1] ==
                                    (first + static_cast<int>(i)) * 10 + c.cols;
                next = first + static_cast<int>(n);
            });
        });
        EXPECT_TRUE(values_ok);
        if (c.write_rows != c.rows) {
            EXPECT_EQ(err, "Error: can't read vector (readvec)");
            EXPECT_EQ(blocks, 0);
        } else {
            EXPECT_EQ(err, "");
            EXPECT_EQ(next, c.rows + 1);
            EXPECT_GE(blocks, c.rows * 4LL * c.cols > (1 << 20) ? 2 : 1);
        }
    }
}

// The core's reset leaves no table behind: pending outputs are removed and
// tables open for reading are closed and forgotten.
TEST_F(Binfile, ResetForgetsOpenTables) {
    write_table("in", 2, 2);
    std::FILE* in = nullptr;
    ouvlec("in", in, 'b');
    std::FILE* out = nullptr;
    ouvecr("out", out, 'b');
    resetcore();
    EXPECT_EQ(tabledataend(in), 0);
    EXPECT_FALSE(std::filesystem::exists("out"));
}
