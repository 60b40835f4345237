// The export's own readers and the heat map's scale and text: names and
// headers whatever their line ends, infinite cells, names that are not
// UTF-8 an XML document may hold.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "companion/export/heatmap.h"
#include "companion/export/labels.h"
#include "support/test_dir.h"

namespace {

std::string svgof(const HeatMap& m) {
    std::FILE* f = std::tmpfile();
    EXPECT_TRUE(writeheatmap(m, f));
    std::rewind(f);
    std::string s;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
    std::fclose(f);
    return s;
}

}  // namespace

TEST(Export, NamesAndHeadersWhateverTheirLineEnds) {
    struct Case {
        const char* kind;
        std::string names, header;
        std::vector<std::string> rows, cols;
    } cases[] = {
        {"LF",
         "Echantillon 1 = A\nEchantillon 2 = B\n",
         "Sample,\"[1,2)\",\"[2,3)\"\nx,1,2\n",
         {"A", "B"},
         {"[1,2)", "[2,3)"}},
        {"CR LF", "Echantillon 1 = A\r\nEchantillon 2 = B", "Sample,a,b\r\n", {"A", "B"}, {"a", "b"}},
        {"lone CR", "Echantillon 2 = B\rEchantillon 1 = A\r", "Sample,a,b\rx,1,2\r", {"A", "B"}, {"a", "b"}},
        {"CR CR LF", "Echantillon 1 = A\r\r\nEchantillon 2 = B\r\r\n", "Sample,a,b\r\r\n", {"A", "B"}, {"a", "b"}},
        {"long name cut, header of the wrong width",
         "Echantillon 1 = " + std::string(9000, 'n') + "\nEchantillon 2 = B\n",
         "Sample,a,b,c\n",
         {std::string(4096 - 16, 'n'), "B"},
         {}},
        {"header longer than 64 bytes a column", "", "Sample,a," + std::string(300, 'b') + "\n", {}, {}},
    };
    TestDir dir;
    for (const Case& c : cases) {
        write_bytes("Chan1_tabSH", "");
        write_bytes("SampleNamesCh1", c.names);
        write_bytes("Chan1_tabSH.csv", c.header);
        FoundLabels found;
        std::string why;
        ASSERT_TRUE(findlabels("Chan1_tabSH", 2, "", found, why)) << c.kind;
        EXPECT_EQ(found.rows, c.rows) << c.kind;
        EXPECT_EQ(found.cols, c.cols) << c.kind;
    }
}

TEST(Export, HeatMapScaleSpansTheFiniteValues) {
    const float inf = INFINITY;
    struct Case {
        std::vector<float> values;
        const char* top;   // the highest tick of the scale
        const char* dark;  // a cell at the dark end of the scale
    } cases[] = {
        {{1, inf, 3, 6}, ">6</text>", "2, 2: 6"},
        {{-inf, 2, 4, 8}, ">8</text>", "2, 2: 8"},
        {{inf, -inf, std::nanf(""), 0}, ">0</text>", "1, 1: inf"},
    };
    for (const Case& c : cases) {
        HeatMap m;
        m.rows = 2;
        m.cols = 2;
        m.values = c.values;
        std::string svg = svgof(m);
        EXPECT_EQ(svg.find("nan</text>"), std::string::npos) << c.top;
        EXPECT_NE(svg.find(c.top), std::string::npos) << c.top;
        EXPECT_NE(svg.find(std::string("fill=\"#081d58\"><title>") + c.dark), std::string::npos) << c.dark;
    }
}

TEST(Export, NamesAreWrittenAsUtf8OnlyWhenXmlMayHoldThem) {
    struct Case {
        const char* name;
        const char* written;
    } cases[] = {
        {"\xc3\xa9t\xc3\xa9", "\xc3\xa9t\xc3\xa9"},
        {"\xe2\x82\xac \xf0\x9f\x8c\xb2 \xf4\x8f\xbf\xbd", "\xe2\x82\xac \xf0\x9f\x8c\xb2 \xf4\x8f\xbf\xbd"},
        {"\xc0\xaf", "&#192;&#175;"},                      // overlong
        {"\xe0\x80\xaf", "&#224;&#128;&#175;"},            // overlong
        {"\xf0\x80\x80\xaf", "&#240;&#128;&#128;&#175;"},  // overlong
        {"\xed\xa0\x80", "&#237;&#160;&#128;"},            // surrogate
        {"\xf4\x90\x80\x80", "&#244;&#144;&#128;&#128;"},  // above U+10FFFF
        {"\xf8\x88\x80\x80\x80", "&#248;&#136;&#128;&#128;&#128;"},
        {"\xef\xbf\xbe", "&#239;&#191;&#190;"},    // U+FFFE
        {"\xef\xbf\xbf", "&#239;&#191;&#191;"},    // U+FFFF
        {"a\xf0\x9f\x8c", "a&#240;&#159;&#140;"},  // cut short
        {"\x80x", "&#128;x"},
    };
    for (const Case& c : cases) {
        HeatMap m;
        m.rows = 1;
        m.cols = 1;
        m.values = {1};
        m.row_labels = {c.name};
        EXPECT_NE(svgof(m).find(std::string(">") + c.written + "</text>"), std::string::npos) << c.written;
    }
}
