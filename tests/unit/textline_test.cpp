// The one line-end rule: the suite's line readers (batch and console lines,
// the export reader, the import reader) split the same bytes into the same
// lines.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "companion/import/linereader.h"
#include "datafile/samplenames.h"
#include "datafile/textline.h"
#include "peaks/exportlines.h"
#include "support/test_dir.h"

namespace {

std::FILE* file_of(const std::string& bytes) {
    std::FILE* f = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::rewind(f);
    return f;
}

// The lines a reader hands out, joined by '|'.
template <typename Next>
std::string lines_of(const std::string& bytes, Next next) {
    std::FILE* f = file_of(bytes);
    std::string out, line;
    bool first = true;
    while (next(f, line)) {
        out += (first ? "" : "|") + line;
        first = false;
    }
    std::fclose(f);
    return out;
}

TEST(TextLine, EveryReaderEndsLinesAlike) {
    const std::string many_crs(40, '\r');
    const struct {
        std::string in, lines;
    } cases[] = {
        {"a\nb\n", "a|b"},
        {"a\r\nb", "a|b"},
        {"a\r\r\r\nb\r\r\n", "a|b"},
        {"a\rb\rc", "a|b|c"},         // lone CRs (old Mac OS files)
        {"a\nb\rc\r\nd", "a|b|c|d"},  // mixed, a CR past the first line
        {"a\r\rb", "a|b"},            // a run of CRs is one line end
        {"a\n\rb\n\nc", "a||b||c"},   // an LF after an LF, a CR after an LF
        {"\r\n\r\n", "|"},
        {"ab" + many_crs + "\ncd" + many_crs, "ab|cd"},  // across small refills
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.in));
        EXPECT_EQ(lines_of(c.in, [](std::FILE* f, std::string& l) { return readtextline(f, l); }), c.lines);
        for (std::size_t capacity : {ExportLines::kCapacity, std::size_t{4}}) {
            std::unique_ptr<ExportLines> r;
            EXPECT_EQ(lines_of(c.in,
                               [&](std::FILE* f, std::string& l) {
                                   if (!r) r.reset(new ExportLines(f, capacity));
                                   char* p;
                                   if (!r->next(p)) return false;
                                   l = p;
                                   return true;
                               }),
                      c.lines)
                << "export reader, capacity " << capacity;
        }
        std::unique_ptr<LineReader> r;
        EXPECT_EQ(lines_of(c.in,
                           [&](std::FILE* f, std::string& l) {
                               if (!r) r.reset(new LineReader(f));
                               std::string_view v;
                               if (!r->next(v)) return false;
                               l = std::string(v);
                               return true;
                           }),
                  c.lines)
            << "import reader";
    }
}

TEST(TextLine, EndedAndBoundAndNamesFiles) {
    std::FILE* f = file_of(
        "abcdef\r"
        "gh");
    std::string line;
    bool ended = false;
    ASSERT_TRUE(readtextline(f, line, &ended, 3));
    EXPECT_EQ(line, "abc");
    EXPECT_TRUE(ended);
    ASSERT_TRUE(readtextline(f, line, &ended));
    EXPECT_EQ(line, "gh");
    EXPECT_FALSE(ended);
    EXPECT_FALSE(readtextline(f, line));
    std::fclose(f);

    TestDir dir;
    write_bytes("SampleNamesCh2", "Echantillon 1 = Meadow01\rEchantillon 2 = M2\r");
    EXPECT_EQ(readsamplenames("SampleNamesCh2"), (std::vector<std::string>{"Meadow01", "M2"}));
}

}  // namespace
