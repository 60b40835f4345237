// Binary tables as labelled text: values that read back bit for bit,
// RFC 4180 cells, the sample names found beside a table, the heat map.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "companion/export/heatmap.h"
#include "datafile/arrays.h"
#include "datafile/binfile.h"
#include "datafile/tabletext.h"
#include "datafile/samplenames.h"
#include "support/test_dir.h"

namespace {

std::string text(float v) {
    char b[32];
    return std::string(b, static_cast<std::size_t>(floattext(v, b)));
}

std::uint32_t bits(float f) {
    std::uint32_t u;
    std::memcpy(&u, &f, 4);
    return u;
}

std::string written(const std::function<void(std::FILE*)>& write) {
    std::FILE* f = std::tmpfile();
    write(f);
    std::rewind(f);
    std::string s;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
    std::fclose(f);
    return s;
}

}  // namespace

TEST(TableText, FloatsReadBackBitEqual) {
    std::vector<float> values = {
        0.0f,        -0.0f,       1.0f,     -1.0f,           0.1f,           1.0f / 3, 16777215.0f,
        16777216.0f, 16777217.0f, 1e-45f,   1.17549435e-38f, 3.40282347e38f, -2.5e-7f, 0.83143336f,
        123456.789f, INFINITY,    -INFINITY};
    std::mt19937 rng(11);
    for (int i = 0; i < 200000; ++i) {
        std::uint32_t u = rng();
        float f;
        std::memcpy(&f, &u, 4);
        if (!std::isnan(f)) values.push_back(f);
    }
    for (float v : values) {
        std::string t = text(v);
        ASSERT_FALSE(t.empty());
        char* end = nullptr;
        float back = std::strtof(t.c_str(), &end);
        ASSERT_EQ(*end, '\0') << t;
        ASSERT_EQ(bits(back), bits(v)) << t;
    }
    EXPECT_EQ(text(1234567.0f), "1234567");
    EXPECT_EQ(text(-0.0f), "-0");
    EXPECT_EQ(text(0.1f), "0.1");
    EXPECT_EQ(text(std::nanf("")), "");
}

TEST(TableText, CellsAndTables) {
    struct Case {
        const char* in;
        const char* csv;
        const char* tsv;
    } cells[] = {
        {"plain", "plain", "plain"},
        {"[100,110)", "\"[100,110)\"", "[100,110)"},
        {"say \"hi\"", "\"say \"\"hi\"\"\"", "say \"hi\""},
        {"two\nlines\tx", "\"two\nlines\tx\"", "two lines x"},
    };
    for (const Case& c : cells) {
        std::string a, b;
        appendcell(a, c.in, ',');
        appendcell(b, c.in, '\t');
        EXPECT_EQ(a, c.csv);
        EXPECT_EQ(b, c.tsv);
    }

    TestDir dir;
    DMatrix m = nullptr;
    TabGuard g{m};
    taballoc(m, 3, 2);
    m[1][1] = 1.5;
    m[1][2] = NAN;
    m[2][1] = 0.1;
    m[2][2] = 700;
    m[3][1] = -2;
    m[3][2] = 1e30;
    ecrmat(m, "t.bin");
    TextLabels csv;
    csv.corner = "Sample";
    csv.rows = {"S,1", "", "S3"};
    csv.cols = {"[1,2)"};
    EXPECT_EQ(written([&](std::FILE* f) { EXPECT_TRUE(texttable("t.bin", f, csv)); }),
              "Sample,\"[1,2)\",2\r\n\"S,1\",1.5,\r\n2,0.1,700\r\nS3,-2,1e+30\r\n");
    csv.sep = '\t';
    EXPECT_EQ(written([&](std::FILE* f) { texttable("t.bin", f, csv); }),
              "Sample\t[1,2)\t2\nS,1\t1.5\t\n2\t0.1\t700\nS3\t-2\t1e+30\n");
}

TEST(TableText, SampleNamesBesideATable) {
    struct Case {
        const char* table;
        const char* names;
    } cases[] = {
        {"Chan1_tabSH", "SampleNamesCh1"},
        {"data/Chan4_tabtotMS", "data/SampleNamesCh4"},
        {"Chan2x", "SampleNamesCh2"},
        {"Chan1", ""},  // a channel table: a row per peak
        {"Chan5_tabSH", ""},
        {"mytable", ""},
        {"Chan3/other", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(samplenamesfor(c.table), c.names) << c.table;

    TestDir dir;
    write_bytes("SampleNamesCh1", "Echantillon 1 = Meadow01\r\nEchantillon 3 = Forest_01\r\njunk\nEchantillon 2 = M2");
    EXPECT_EQ(readsamplenames("SampleNamesCh1"), (std::vector<std::string>{"Meadow01", "M2", "Forest_01"}));
    EXPECT_TRUE(readsamplenames("absent").empty());
    // A table's own names file comes first.
    write_bytes("Chan1_tabSH_cons.names", "Echantillon 1 = G1\r\n");
    EXPECT_EQ(samplenamesfor("Chan1_tabSH_cons"), "Chan1_tabSH_cons.names");
}

TEST(TableText, HeatMapsOfBothShapesStayReadable) {
    // A label every 12 units at most: thinned where rows or columns are many.
    for (auto shape : {std::pair<int, int>{40, 1000}, std::pair<int, int>{1000, 40}}) {
        HeatMap m;
        m.title = "t";
        m.rows = shape.first;
        m.cols = shape.second;
        for (int i = 0; i < m.rows * m.cols; ++i) m.values.push_back(static_cast<float>(i % 7));
        m.values[5] = std::nanf("");
        std::string svg = written([&](std::FILE* f) { EXPECT_TRUE(writeheatmap(m, f)); });
        std::size_t texts = 0;
        for (std::size_t at = 0; (at = svg.find("<text", at)) != std::string::npos; ++at) ++texts;
        EXPECT_GT(texts, 60u);
        EXPECT_LT(texts, 260u);
        EXPECT_NE(svg.find("no value"), std::string::npos);
        EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
    }
    // Many rows are drawn in blocks, each showing its largest value.
    HeatMap tall;
    tall.title = "t";
    tall.rows = 2500;
    tall.cols = 2;
    tall.values.assign(5000, 0.0f);
    tall.values[2 * 2499 + 1] = 9.0f;  // the last row alone in its block
    std::string blocks = written([&](std::FILE* f) { writeheatmap(tall, f); });
    EXPECT_NE(blocks.find("(2500 x 2, blocks of 3 x 1 cells show their largest value)"), std::string::npos);
    EXPECT_NE(blocks.find(">9</text>"), std::string::npos);  // the scale reaches it

    // Names in a Windows code page become characters; UTF-8 names stay.
    HeatMap m;
    m.rows = 2;
    m.cols = 1;
    m.values = {1, 2};
    m.row_labels = {"For\xeat <1>", "For\xc3\xaat"};
    std::string svg = written([&](std::FILE* f) { writeheatmap(m, f); });
    EXPECT_NE(svg.find(">For&#234;t &lt;1&gt;</text>"), std::string::npos);
    EXPECT_NE(svg.find(">For\xc3\xaat</text>"), std::string::npos);
}
