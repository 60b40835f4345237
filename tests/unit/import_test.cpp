// The import of peak-table exports: one synthetic file per layout, each
// with the quirks that layout is known for, and the exact output and skip
// counts it must give.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "companion/common/fields.h"
#include "companion/import/importer.h"
#include "support/test_dir.h"

namespace {

const char kHead[] = "Dye/Sample Peak\tSample File Name\tSample Name\tDye\tSample Peak\tData Point\tSize\tHeight\tArea\n";

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

std::string peakscanner_line(const char* name, const char* code, const char* file, const char* size,
                             const char* height, const char* area_pt, const char* area_bp, const char* point) {
    return std::string("Analyzed\t") + name + "\tSample\tGS400HD\tAFLP\tfalse\tPass\tPass\t\t\t\t" + code + "\t" +
           file + "\t" + size + "\t" + height + "\t" + area_pt + "\t" + area_bp + "\t" + point +
           "\t1000\t60.5\t1012\t61.25\t12\t0.75\t\t\n";
}

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
         "gm.txt line 5", "gm.txt line 6", "", ""},
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
         "", "", "gm.csv line 4", "gm.csv line 5"},
        {"Peak Scanner: 26 columns, \"B, 1\" codes, runs of tabs, Sample Name with a blank, orange kept as 5",
         {{"ps.txt", std::string(kPeakScannerHead) +
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
         "", "ps.txt line 6", "", ""},
        {"Peak Scanner with Area in BP",
         {{"ps.txt", std::string(kPeakScannerHead) +
                         peakscanner_line("Oak3", "\"G, 7\"", "Oak3.fsa", "120.1234", "800", "5000", "512.5", "2100")}},
         {Format::Unknown, true},
         "G,7\tOak3.fsa\tOak3\t2\t7\t2100\t120.1234\t800\t512.5\n",
         {0, 0, 0, 0},
         "", "", "", ""},
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
         "", "", "gmk.txt line 10", ""},
        {"GeneScan per-sample files: no header, CR LF, no final line end, a size of 0, CR only",
         {{"748-3b", "B,1\t5.70\t38.72\t50\t321\t2137\r\nG,1\t5.92\t44.87\t76\t990\t2219\r\n"
                     "B,2\t5.75\t0.00\t107\t912\t2155\r\nR,18\t20.29\t500.00\t1447\t16429\t7607"},
          {"E27-1x", "B,1\t6.00\t40.10\t60\t330\t2200\rB,2\t6.10\t41.00\t61\t331\t2210\r"}},
         {},
         "B,1\t748-3b\t748-3b\t1\t1\t2137\t38.72\t50\t321\n"
         "G,1\t748-3b\t748-3b\t2\t1\t2219\t44.87\t76\t990\n"
         "R,18\t748-3b\t748-3b\t4\t18\t7607\t500.00\t1447\t16429\n"
         "B,1\tE27-1x\tE27-1x\t1\t1\t2200\t40.10\t60\t330\n"
         "B,2\tE27-1x\tE27-1x\t1\t2\t2210\t41.00\t61\t331\n",
         {0, 1, 0, 0},
         "", "748-3b line 3", "", ""},
        {"names mangled by R, two samples interleaved line by line",
         {{"r.txt",
           "Dye.Sample.Peak\tSample.Name\tSize\tHeight\tArea\n"
           "B,1\tA\t100\t1\t2\nB,1\tB\t100\t3\t4\nG,1\tA\t110\t5\t6\nB,2\tB\t120\t7\t8\nB,2\tA\t130\t9\t10\n"}},
         {},
         "B,1\tA\tA\t1\t1\t0\t100\t1\t2\nB,2\tA\tA\t1\t2\t0\t130\t9\t10\nG,1\tA\tA\t2\t1\t0\t110\t5\t6\n"
         "B,1\tB\tB\t1\t1\t0\t100\t3\t4\nB,2\tB\tB\t1\t2\t0\t120\t7\t8\n",
         {0, 0, 0, 0},
         "", "", "", ""},
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

TEST(Import, RefusesWhatItCannotRead) {
    TestDir dir;
    struct Case {
        const char* what;
        std::string content;
        ImportOptions options;
    } cases[] = {
        {"no known header", "Name\tValue\nA\t1\n", {}},
        {"empty file", "", {}},
        {"Peak Scanner without the area asked for",
         "Dye/Sample Peak\tSample Name\tSize\tHeight\tArea in Point\n\"B, 1\"\tA\t100\t1\t1\n", {Format::Unknown, true}},
        {"a format forced that the header is not", std::string(kPeakScannerHead), {Format::GeneMarker, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Imported r = import({{"in.txt", c.content}}, c.options);
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.error.find("in.txt: not a peak table"), std::string::npos) << r.error;
    }
    Importer im({});
    std::string error;
    EXPECT_FALSE(im.add("absent.txt", error));
    EXPECT_EQ(error, "absent.txt: cannot open");
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
