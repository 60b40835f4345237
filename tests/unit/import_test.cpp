// The import of peak-table exports: one synthetic file per layout, each
// with the quirks that layout is known for, and the exact output and skip
// counts it must give.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "companion/common/fields.h"
#include "companion/import/importer.h"
#include "companion/import/linereader.h"
#include "support/test_dir.h"

namespace {

const char kHead[] =
    "Dye/Sample Peak\tSample File Name\tSample Name\tDye\tSample Peak\tData Point\tSize\tHeight\tArea\n";

struct Imported {
    bool ok;
    std::string out, error;
    Importer importer;
};

// Imports the named files (name, content) in order.
Imported import(const std::vector<std::pair<std::string, std::string>>& files, ImportOptions options = {}) {
    Imported r{true, "", "", Importer(options)};
    for (const auto& f : files) {
        write_bytes(f.first, f.second);
        if (!r.importer.add(f.first, r.error)) {
            r.ok = false;
            return r;
        }
    }
    std::FILE* out = std::tmpfile();
    r.importer.write(out);
    std::rewind(out);
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, out)) > 0) r.out.append(buf, n);
    std::fclose(out);
    return r;
}

struct Skips {
    long size_standard, unsized, unknown_dye, malformed;
};

void expect_skips(const Importer& im, Skips s) {
    EXPECT_EQ(im.skipped(kSizeStandard).count, s.size_standard);
    EXPECT_EQ(im.skipped(kUnsized).count, s.unsized);
    EXPECT_EQ(im.skipped(kUnknownDye).count, s.unknown_dye);
    EXPECT_EQ(im.skipped(kMalformed).count, s.malformed);
}

const char kPeakScannerHead[] =
    "Status\tSample Name\tSample Type\tSize Standard\tAnalysis Method\tSQI\tOffscale\tQuality\tUD1\tUD2\tUD3\t"
    "Dye/Sample Peak\tSample File Name\tSize\tHeight\tArea in Point\tArea in BP\tData Point\tBegin Point\t"
    "Begin BP\tEnd Point\tEnd BP\tWidth in Point\tWidth in BP\tUser Comments\tUser Edit\n";

std::string peakscanner_line(const char* name, const char* code, const char* file, const char* size, const char* height,
                             const char* area_pt, const char* area_bp, const char* point) {
    return std::string("Analyzed\t") + name + "\tSample\tGS400HD\tAFLP\tfalse\tPass\tPass\t\t\t\t" + code + "\t" +
           file + "\t" + size + "\t" + height + "\t" + area_pt + "\t" + area_bp + "\t" + point +
           "\t1000\t60.5\t1012\t61.25\t12\t0.75\t\t\n";
}

// A literal with its NUL bytes.
template <std::size_t N>
std::string bytes(const char (&s)[N]) {
    return std::string(s, N - 1);
}

std::string utf16(const std::string& ascii, bool big_endian) {
    std::string out = big_endian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : ascii) {
        out += big_endian ? '\0' : c;
        out += big_endian ? c : '\0';
    }
    return out;
}

const std::string kShortHead = "Dye/Sample Peak\tSample Name\tSize\tHeight\tArea\n";

}  // namespace

TEST(Import, EachLayoutWithItsQuirks) {
    TestDir dir;
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> files;
        ImportOptions options;
        std::string lines;  // expected output after the header
        Skips skips;
        std::string first_sizestd, first_unsized, first_unknown, first_malformed;
    } cases[] = {
        {"GeneMapper tab: quoted codes, trailing tab, CR LF, size standard, unsized, interleaved dyes",
         {{"gm.txt",
           "Dye/Sample Peak\tSample File Name\tSize\tHeight\tArea\tData Point\t\r\n"
           "\"B,3\"\tS1_A01.fsa\t225.48\t7799\t102925\t4936\t\r\n"
           "\"Y,2\"\tS1_A01.fsa\t200.85\t5078\t50704\t4620\t\r\n"
           "\"B,4\"\tS1_A01.fsa\t279.2\t126\t956\t5616\t\r\n"
           "\"R,1     *\"\tS1_A01.fsa\t112.0\t1026\t5686\t1775\t\r\n"
           "\"R,32\"\tS1_A01.fsa\t\t774\t12893\t8205\t\r\n"
           "\"G,1\"\tS2_A02.fsa\t150.5\t300\t900\t3000\t\r\n"
           "\"B,218\"\tS2_A02.fsa\t1491.53\t500\t1500\t8144\t\r\n"}},
         {},
         "B,3\tS1_A01.fsa\tS1_A01\t1\t3\t4936\t225.48\t7799\t102925\n"
         "B,4\tS1_A01.fsa\tS1_A01\t1\t4\t5616\t279.2\t126\t956\n"
         "Y,2\tS1_A01.fsa\tS1_A01\t3\t2\t4620\t200.85\t5078\t50704\n"
         "B,218\tS2_A02.fsa\tS2_A02\t1\t218\t8144\t1491.53\t500\t1500\n"
         "G,1\tS2_A02.fsa\tS2_A02\t2\t1\t3000\t150.5\t300\t900\n",
         {1, 1, 0, 0},
         "gm.txt line 5",
         "gm.txt line 6",
         "",
         ""},
        {"GeneMapper CSV with Marker/Allele: dotted names, a quoted name with a comma and blanks, "
         "unknown dye, bad size, ragged row, no final line end",
         {{"gm.csv",
           "Dye/Sample Peak,Sample File Name,Marker,Allele,Size,Height,Area,Data Point\n"
           "\"B,23\",S01.UNT.2103.X_015.fsa,,,52.9,274,4168,5937\n"
           "\"G,2\",\"Plot 7, north.fsa\",,,60.1,80,400,6000\n"
           "\"P,1\",S01.UNT.2103.X_015.fsa,,,70,10,20,7000\n"
           "\"B,5\",S01.UNT.2103.X_015.fsa,,,7O.5,10,20,7100\n"
           "\"B,6\",S01.UNT.2103.X_015.fsa,Bin_3,91,80.5,30,60"}},
         {},
         "B,23\tS01.UNT.2103.X_015.fsa\tS01.UNT.2103.X_015\t1\t23\t5937\t52.9\t274\t4168\n"
         "B,6\tS01.UNT.2103.X_015.fsa\tS01.UNT.2103.X_015\t1\t6\t0\t80.5\t30\t60\n"
         "G,2\tPlot_7,_north.fsa\tPlot_7,_north\t2\t2\t6000\t60.1\t80\t400\n",
         {0, 0, 1, 1},
         "",
         "",
         "gm.csv line 4",
         "gm.csv line 5"},
        {"Peak Scanner: 26 columns, \"B, 1\" codes, runs of tabs, Sample Name with a blank, orange kept as 5",
         {{"ps.txt",
           std::string(kPeakScannerHead) +
               peakscanner_line("Oak 3", "\"G, 7\"", "Oak3.fsa", "120.1234", "800", "5000", "512.5", "2100") +
               peakscanner_line("Oak 3", "\"O, 2\"", "Oak3.fsa", "190.0", "900", "6000", "610.25", "2500") +
               peakscanner_line("Oak 3", "\"B, 1\"", "Oak3.fsa", "50.9319", "5943", "53605", "4972.5", "1906") +
               peakscanner_line("", "\"B, 2\"", "Elm1.fsa", "517.1004", "60", "300", "31", "7000") +
               peakscanner_line("Oak 3", "\"B, 3\"", "Oak3.fsa", "", "70", "310", "32", "7100")}},
         {},
         "B,1\tOak3.fsa\tOak_3\t1\t1\t1906\t50.9319\t5943\t53605\n"
         "G,7\tOak3.fsa\tOak_3\t2\t7\t2100\t120.1234\t800\t5000\n"
         "O,2\tOak3.fsa\tOak_3\t5\t2\t2500\t190.0\t900\t6000\n"
         "B,2\tElm1.fsa\tElm1\t1\t2\t7000\t517.1004\t60\t300\n",
         {0, 1, 0, 0},
         "",
         "ps.txt line 6",
         "",
         ""},
        {"Peak Scanner with Area in BP",
         {{"ps.txt", std::string(kPeakScannerHead) +
                         peakscanner_line("Oak3", "\"G, 7\"", "Oak3.fsa", "120.1234", "800", "5000", "512.5", "2100")}},
         {Format::Unknown, true},
         "G,7\tOak3.fsa\tOak3\t2\t7\t2100\t120.1234\t800\t512.5\n",
         {0, 0, 0, 0},
         "",
         "",
         "",
         ""},
        {"GeneMarker: a padded preamble, dyes spelled out and interleaved, peaks numbered per dye",
         {{"gmk.txt",
           "Allele Report\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\r\n"
           "Software Package: a peak caller 1.0\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\r\n"
           "Date/Time: 3/1/2024 9:00:00 AM\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\r\n"
           "Project: C:\\My Projects\\run 1.SGF\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\r\n"
           "\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\r\n"
           "\tSample\tAr_Ratio\tArea\tDye\tSize\tHeight\tHt_Ratio\tAllele\tDifference\tQuality\tMarker\tScore\t"
           "Start\tEnd\tComments\tQuality Reasons\r\n"
           "\tW12\t0.5\t3400\tBlue\t101.5\t420\t1\t\t\tPass\tM1\t1\t99\t103\t[<SAT (Repaired)>]\t\r\n"
           "\tW12\t0.5\t2100\tGreen\t99.0\t220\t1\t\t\tPass\tM1\t1\t98\t100\t\t\r\n"
           "\tW12\t0.5\t900\tBlue\t140.2\t95\t1\t\t\tPass\tM1\t1\t139\t141\t\t\r\n"
           "\tW12\t0.5\t900\tPurple\t150.2\t95\t1\t\t\tPass\tM1\t1\t149\t151\t\t\r\n"}},
         {},
         "B,1\tW12\tW12\t1\t1\t0\t101.5\t420\t3400\n"
         "B,2\tW12\tW12\t1\t2\t0\t140.2\t95\t900\n"
         "G,1\tW12\tW12\t2\t1\t0\t99.0\t220\t2100\n",
         {0, 0, 1, 0},
         "",
         "",
         "gmk.txt line 10",
         ""},
        {"GeneScan per-sample files: no header, CR LF, no final line end, a size of 0, CR only",
         {{"748-3b",
           "B,1\t5.70\t38.72\t50\t321\t2137\r\nG,1\t5.92\t44.87\t76\t990\t2219\r\n"
           "B,2\t5.75\t0.00\t107\t912\t2155\r\nR,18\t20.29\t500.00\t1447\t16429\t7607"},
          {"E27-1x", "B,1\t6.00\t40.10\t60\t330\t2200\rB,2\t6.10\t41.00\t61\t331\t2210\r"}},
         {},
         "B,1\t748-3b\t748-3b\t1\t1\t2137\t38.72\t50\t321\n"
         "G,1\t748-3b\t748-3b\t2\t1\t2219\t44.87\t76\t990\n"
         "R,18\t748-3b\t748-3b\t4\t18\t7607\t500.00\t1447\t16429\n"
         "B,1\tE27-1x\tE27-1x\t1\t1\t2200\t40.10\t60\t330\n"
         "B,2\tE27-1x\tE27-1x\t1\t2\t2210\t41.00\t61\t331\n",
         {0, 1, 0, 0},
         "",
         "748-3b line 3",
         "",
         ""},
        {"UTF-16 little and big endian after their marks; a UTF-8 mark before a GeneScan sample file",
         {{"le.txt", utf16(kShortHead + "\"B,1\"\tA\t100\t1\t2\r\n", false)},
          {"be.txt", utf16(kShortHead + "\"G,1\"\tB\t110\t3\t4\r\n", true)},
          {"gs1",
           "\xEF\xBB\xBF"
           "B,1\t5.70\t38.72\t50\t321\t2137\r\n"}},
         {},
         "B,1\tA\tA\t1\t1\t0\t100\t1\t2\nG,1\tB\tB\t2\t1\t0\t110\t3\t4\n"
         "B,1\tgs1\tgs1\t1\t1\t2137\t38.72\t50\t321\n",
         {0, 0, 0, 0},
         "",
         "",
         "",
         ""},
        {"semicolons; a quoted line break and a stray quote are malformed; NUL bytes and blanks in names",
         {{"semi.csv",
           "Dye/Sample Peak;Sample Name;Size;Height;Area\n"
           "\"B,1\";\"Oak\n"
           "3\";100;1;2\n"
           "\"B,2\";\"Oak;110;1;2\n"
           "\"B,3\";Oak 3;120;5;6\n" +
               bytes("\"B,4\";Elm\0"
                     "1;130;7;8\n")}},
         {},
         "B,3\tOak_3\tOak_3\t1\t3\t0\t120\t5\t6\n"
         "-\t-\tElm_1\t0\t0\t0\t0\t0\t0\n"
         "B,4\tElm_1\tElm_1\t1\t4\t0\t130\t7\t8\n",
         {0, 0, 0, 3},
         "",
         "",
         "",
         "semi.csv line 2"},
        {"a header after a line longer than the bound; a data line longer than it is malformed",
         {{"long.txt", std::string(LineReader::kMaxLine + 10, '\t') + "\n" + kShortHead + "B,1\tA\t100\t1\t2\n" +
                           "B,2\tA\t110\t1\t2\t" + std::string(LineReader::kMaxLine, 'x') + "\nB,3\tA\t120\t1\t2\n"}},
         {},
         "B,1\tA\tA\t1\t1\t0\t100\t1\t2\nB,3\tA\tA\t1\t3\t0\t120\t1\t2\n",
         {0, 0, 0, 1},
         "",
         "",
         "",
         "long.txt line 4"},
        {"names mangled by R, two samples interleaved line by line",
         {{"r.txt",
           "Dye.Sample.Peak\tSample.Name\tSize\tHeight\tArea\n"
           "B,1\tA\t100\t1\t2\nB,1\tB\t100\t3\t4\nG,1\tA\t110\t5\t6\nB,2\tB\t120\t7\t8\nB,2\tA\t130\t9\t10\n"}},
         {},
         "B,1\tA\tA\t1\t1\t0\t100\t1\t2\nB,2\tA\tA\t1\t2\t0\t130\t9\t10\nG,1\tA\tA\t2\t1\t0\t110\t5\t6\n"
         "B,1\tB\tB\t1\t1\t0\t100\t3\t4\nB,2\tB\tB\t1\t2\t0\t120\t7\t8\n",
         {0, 0, 0, 0},
         "",
         "",
         "",
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Imported r = import(c.files, c.options);
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_EQ(r.out, kHead + c.lines);
        expect_skips(r.importer, c.skips);
        EXPECT_EQ(r.importer.skipped(kSizeStandard).first, c.first_sizestd);
        EXPECT_EQ(r.importer.skipped(kUnsized).first, c.first_unsized);
        EXPECT_EQ(r.importer.skipped(kUnknownDye).first, c.first_unknown);
        EXPECT_EQ(r.importer.skipped(kMalformed).first, c.first_malformed);
    }
}

TEST(Import, SamplesKeepTheirFirstOrderOverSeveralFiles) {
    TestDir dir;
    const std::string head = "Dye/Sample Peak\tSample Name\tSize\tHeight\tArea\n";
    Imported r = import({{"one.txt", head + "\"Y,1\"\tS2\t100\t1\t1\n\"B,1\"\tS1\t100\t2\t2\n"},
                         {"two.txt", head + "\"B,1\"\tS3\t100\t3\t3\n\"B,2\"\tS2\t120\t4\t4\n"}});
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.out, std::string(kHead) +
                         "B,2\tS2\tS2\t1\t2\t0\t120\t4\t4\nY,1\tS2\tS2\t3\t1\t0\t100\t1\t1\n"
                         "B,1\tS1\tS1\t1\t1\t0\t100\t2\t2\n"
                         // S3 begins with the dye S1 ended with: a line of dye 0 between them.
                         "-\t-\tS3\t0\t0\t0\t0\t0\t0\n"
                         "B,1\tS3\tS3\t1\t1\t0\t100\t3\t3\n");
    EXPECT_EQ(r.importer.samples(), 3);
    EXPECT_EQ(r.importer.separators(), 1);
    // S2 came from two export files: said, and read as one sample.
    EXPECT_EQ(r.importer.shared_names(), std::vector<std::string>{"S2"});
}

// A peak whose text outgrows what its record can say about it (4 KiB) is
// written whole all the same, between short ones.
TEST(Import, LongPeakTextsAreWrittenWhole) {
    TestDir dir;
    const std::string head = "Dye/Sample Peak\tSample Name\tSize\tHeight\tArea\n";
    const std::string area(5000, '7');
    Imported r = import({{"one.txt", head + "\"B,1\"\tS1\t100\t1\t" + area + "\n\"B,2\"\tS1\t110\t2\t2\n"}});
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.out,
              std::string(kHead) + "B,1\tS1\tS1\t1\t1\t0\t100\t1\t" + area + "\nB,2\tS1\tS1\t1\t2\t0\t110\t2\t2\n");
}

TEST(Import, RefusesWhatItCannotRead) {
    TestDir dir;
    struct Case {
        const char* what;
        std::string content;
        ImportOptions options;
        std::string message;  // after "in.txt: "
    } cases[] = {
        {"no known header", "Name\tValue\nA\t1\n", {}, "not a peak table"},
        {"empty file", "", {}, "not a peak table"},
        {"Peak Scanner without the area asked for",
         "Dye/Sample Peak\tSample Name\tSize\tHeight\tArea in Point\n\"B, 1\"\tA\t100\t1\t1\n",
         {Format::Unknown, true},
         "not a peak table this program reads (line 1: it names no Area in BP column)"},
        {"a format forced that the header is not",
         std::string(kPeakScannerHead),
         {Format::GeneMarker, false},
         "(line 1: it is a header of a Peak Scanner table, not of the format asked for)"},
        {"no Height column",
         "Dye/Sample Peak,Sample Name,Size,Area\n\"B,1\",A,100,2\n",
         {},
         "(line 1: it names no Height column)"},
        {"a separator not read",
         "Dye/Sample Peak|Sample Name|Size|Height|Area\n\"B,1\"|A|100|1|2\n",
         {},
         "(line 1: fields separated by '|'; the separators read are tab, comma and semicolon)"},
        {"UTF-16 without its mark", utf16(kShortHead, false).substr(2), {}, "line 1 holds NUL bytes"},
        {"decimal commas",
         "Dye/Sample Peak;Sample Name;Size;Height;Area\n\"B,1\";A;100,5;1;2\n",
         {},
         "line 2: the size \"100,5\" has a decimal comma"},
        {"decimal comma in a height",
         kShortHead + "B,1\tA\t100\t1,5\t2\n",
         {},
         "line 2: the number \"1,5\" has a decimal comma"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Imported r = import({{"in.txt", c.content}}, c.options);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error.rfind("in.txt: ", 0), 0u) << r.error;
        EXPECT_NE(r.error.find(c.message), std::string::npos) << r.error;
    }
    Importer im({});
    std::string error;
    EXPECT_FALSE(im.add("absent.txt", error));
    EXPECT_EQ(error, "absent.txt: cannot open");
    EXPECT_FALSE(im.add(".", error));
    EXPECT_EQ(error, ".: is a folder or a device, not a file");
    // The same file under a second name would double its peaks.
    write_bytes("x.txt", kShortHead + "B,1\tA\t100\t1\t2\n");
    ASSERT_TRUE(im.add("x.txt", error)) << error;
    EXPECT_FALSE(im.add("./x.txt", error));
    EXPECT_EQ(error, "./x.txt: given twice (also as x.txt); each file is read once");
}

TEST(Import, NamesThatWouldMergeAreReported) {
    TestDir dir;
    const std::string head = "Dye/Sample Peak\tSample Name\tSize\tHeight\tArea\n";
    const std::string long_a = std::string(255, 'a');
    Imported r =
        import({{"n.txt", head + "B,1\tA B\t100\t1\t1\nB,2\tA_B\t110\t1\t1\n" + bytes("B,3\tA\0B\t120\t1\t1\n") +
                              "B,1\t" + long_a + "x\t100\t1\t1\nB,2\t" + long_a + "y\t110\t1\t1\n"}});
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.importer.samples(), 2);
    ASSERT_EQ(r.importer.merged_names().size(), 2u);
    EXPECT_EQ(r.importer.merged_names()[0].first, "A B");
    EXPECT_EQ(r.importer.merged_names()[0].other, "A_B");
    EXPECT_EQ(r.importer.merged_names()[0].written, "A_B");
    // Option 1 keeps 255 bytes of a name: so does the import.
    EXPECT_NE(r.out.find("B,2\t" + long_a + "\t" + long_a + "\t1\t2\t"), std::string::npos);
    EXPECT_EQ(r.out.find('\0'), std::string::npos);
}

TEST(Import, LineReaderDecodesUtf16AcrossBlocks) {
    // Lines of two-, three- and four-byte UTF-8 characters (a surrogate
    // pair), long enough that code units fall across the 1 MiB blocks read,
    // then a lone surrogate and an odd last byte.
    const std::string line16 = bytes("\xE9\x00\xAC\x20\x3D\xD8\x00\xDE");  // é € U+1F600
    const std::string line8 = "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
    for (int rep : {1, 100001}) {
        SCOPED_TRACE(rep);
        std::string in = "\xFF\xFE", expected;
        for (int i = 0; i < rep; ++i) {
            in += line16 + bytes("\n\0");
            expected += line8 + "\n";
        }
        in += bytes("\x00\xD8x\0\n\0y\0z");  // a lone high surrogate, "x", LF, "y", half a unit
        expected += "\xEF\xBF\xBDx\ny\xEF\xBF\xBD\n";
        std::FILE* f = std::tmpfile();
        ASSERT_NE(f, nullptr);
        std::fwrite(in.data(), 1, in.size(), f);
        std::rewind(f);
        LineReader reader(f);
        std::string got;
        std::string_view l;
        while (reader.next(l)) got.append(l.data(), l.size()).push_back('\n');
        std::fclose(f);
        EXPECT_STREQ(reader.encoding(), "UTF-16LE");
        EXPECT_TRUE(got == expected) << got.size() << " bytes, " << expected.size() << " expected";
    }
}

TEST(Import, FieldsAndNumbers) {
    std::vector<std::string_view> f;
    std::string scratch;
    splitfields("\"a,b\",\"say \"\"hi\"\"\", c ,,\"x\"", ',', 99, f, scratch);
    ASSERT_EQ(f.size(), 5u);
    EXPECT_EQ(f[0], "a,b");
    EXPECT_EQ(f[1], "say \"hi\"");
    EXPECT_EQ(f[2], "c");
    EXPECT_EQ(f[3], "");
    EXPECT_EQ(f[4], "x");
    splitfields("a\tb\tc\td", '\t', 2, f, scratch);
    EXPECT_EQ(f.size(), 2u);
    for (const char* yes : {"0", "-1.5", "+2.", ".5", "1e3", "1.25E-02"}) EXPECT_TRUE(isnumber(yes)) << yes;
    for (const char* no : {"", ".", "-", "1e", "1,5", "7O", "1 2", "nan", "inf"}) EXPECT_FALSE(isnumber(no)) << no;
}

// The fields of a line, byte by byte: what splitfields must agree with
// wherever its separators fall in its blocks of 64 bytes.
std::vector<std::string> plainfields(const std::string& line, char sep, std::size_t limit, bool& closed) {
    auto trim = [](std::string f) {
        while (!f.empty() && (f[0] == ' ' || f[0] == '\t')) f.erase(0, 1);
        while (!f.empty() && (f.back() == ' ' || f.back() == '\t')) f.pop_back();
        return f;
    };
    std::vector<std::string> out;
    std::size_t pos = 0, n = line.size();
    closed = true;
    while (out.size() < limit) {
        std::size_t p = pos;
        while (p < n && line[p] == ' ') ++p;
        if (p < n && line[p] == '"') {
            std::string f;
            std::size_t q = p + 1;
            for (; q < n; ++q) {
                if (line[q] != '"') {
                    f += line[q];
                } else if (q + 1 < n && line[q + 1] == '"') {
                    f += line[q++];
                } else {
                    break;
                }
            }
            out.push_back(q < n ? f : line.substr(p + 1));
            if (q >= n) return closed = false, out;
            pos = line.find(sep, q);
            if (pos == std::string::npos) return out;
            ++pos;
            continue;
        }
        std::size_t end = line.find(sep, pos);
        out.push_back(trim(line.substr(pos, end == std::string::npos ? std::string::npos : end - pos)));
        if (end == std::string::npos) return out;
        pos = end + 1;
    }
    return out;
}

TEST(Import, FieldsWhereverTheSeparatorsFall) {
    std::mt19937 rng(5);
    const char alphabet[] = "ab \t,\"\"xy,,\t";
    std::vector<std::string_view> f;
    std::string scratch;
    for (int t = 0; t < 3000; ++t) {
        std::string line(rng() % 300, 'a');
        for (char& c : line) c = alphabet[rng() % (sizeof alphabet - 1)];
        const char sep = t % 2 ? ',' : '\t';
        const std::size_t limit = t % 3 ? 1000 : 1 + rng() % 20;
        bool closed;
        const std::vector<std::string> want = plainfields(line, sep, limit, closed);
        ASSERT_EQ(splitfields(line, sep, limit, f, scratch), closed) << line;
        ASSERT_EQ(std::vector<std::string>(f.begin(), f.end()), want) << line;
    }
}
