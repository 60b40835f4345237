#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "datafile/binfile.h"
#include "datafile/messages.h"
#include "frame/report.h"
#include "peaks/genescan.h"
#include "support/fake_platform.h"
#include "support/report_fixture.h"
#include "support/test_dir.h"

namespace fs = std::filesystem;

namespace {

const char* const kOutputs[] = {"Chan1",          "Chan2",          "Chan3",          "Chan4",         "SampleNames",
                                "SampleNamesCh1", "SampleNamesCh2", "SampleNamesCh3", "SampleNamesCh4"};
const std::string kHeader =
    "Dye/Sample Peak\tSample File Name\tSample Name\tDye\tPeak\tMinutes\t"
    "Size\tHeight\tArea\n";

std::string peak(const std::string& fields3to9) { return "B,1\tRun01.fsa\t" + fields3to9 + "\n"; }

// A small export: five peaks of two samples in dyes 1 and 2.
const std::string kBody = peak("S1 1 1 0 100.5 500 2000") + peak("S1 1 2 0 150.25 300 1500") +
                          peak("S1 2 1 0 120 800 4000") + peak("S2 1 1 0 101 450 2100") +
                          peak("S2 2 1 0 119.5 700 3900");
const std::string kWant =
    "1 1 0 100.5 500 2000;1 2 0 150.25 300 1500;2 1 0 101 450 2100|1 1 0 120 800 4000;"
    "2 1 0 119.5 700 3900||#1=S1 2=S2 |1=S1 2=S2 |1=S1 2=S2 ||";

class Genescan : public ReportTest {};

std::string replace_all(std::string s, const std::string& from, const std::string& to) {
    for (std::size_t at = 0; (at = s.find(from, at)) != std::string::npos; at += to.size())
        s.replace(at, from.size(), to);
    return s;
}

std::string text(const std::string& name) { return text_lf(name); }

std::string report() { return report_text(); }

// Runs Peakread on the bytes and returns its fatal text ("" when none).
std::string run(const std::string& bytes, const std::string& path = "in.txt") {
    write_bytes(path, bytes);
    try {
        Peakread(path.c_str());
    } catch (const RunAbandoned& e) {
        return e.text;
    }
    return "";
}

// All nine outputs in short: the first `cols` columns of each table's rows
// ("1 2;3 4|...|..."), then "#" and the name files with each line
// "Echantillon 1 = A\n" as "1=A " ("1=A 2=B |...").  Each table must have
// six columns and the size its trailer gives.
std::string outputs(int cols = 6) {
    std::string all;
    for (int k = 0; k < 4; ++k) {
        std::string b = read_bytes(kOutputs[k]);
        int rows, c;
        readdims(kOutputs[k], rows, c);
        EXPECT_EQ(c, 6);
        EXPECT_EQ(b.size(), 24u * rows + 18) << kOutputs[k];
        for (int i = 0; i < rows * 6 && 4u * i < b.size(); ++i) {
            char v[32];
            std::snprintf(v, sizeof v, "%s%g",
                          i == 0  ? ""
                          : i % 6 ? " "
                                  : ";",
                          decodescal(reinterpret_cast<unsigned char*>(&b[4 * i])));
            if (i % 6 < cols) all += v;
        }
        all += k < 3 ? "|" : "#";
    }
    for (int k = 4; k < 9; ++k)
        all += replace_all(replace_all(replace_all(text(kOutputs[k]), "Echantillon ", ""), " = ", "="), "\n", " ") +
               (k < 8 ? "|" : "");
    return all;
}

int descriptors() {
    int n = 0;
#ifndef _WIN32
    for (auto it = fs::directory_iterator("/proc/self/fd"); it != fs::directory_iterator(); ++it) ++n;
#endif
    return n;
}

// The nine outputs' bytes ("-" for one that is not a regular file).
std::vector<std::string> snapshot() {
    std::vector<std::string> v;
    for (const char* name : kOutputs)
        v.push_back(fs::is_regular_file(fs::symlink_status(name)) ? read_bytes(name) : "-");
    return v;
}

// After an abandoned run: the earlier outputs as they were, no temporary
// file left and no file still open.
void expect_cleaned_up(int descriptors_before, const std::vector<std::string>& before, const std::string& label) {
    abandon_outputs();
    EXPECT_EQ(snapshot(), before) << label;
    for (const auto& e : fs::directory_iterator("."))
        EXPECT_EQ(e.path().string().find(".part~"), std::string::npos) << label << e.path();
    EXPECT_EQ(descriptors(), descriptors_before) << label;
}

}  // namespace

TEST_F(Genescan, SmallExport) {
    ASSERT_EQ(run(kHeader + kBody), "");
    EXPECT_EQ(outputs(), kWant);
    EXPECT_EQ(text("SampleNamesCh1"), "Echantillon 1 = S1\nEchantillon 2 = S2\n");
    EXPECT_EQ(read_bytes("Chan2").substr(48), "\r\n000002\r\n000006\r\n");
    EXPECT_EQ(report(),
              "Peakread: Reading input file\n"
              "Input file: in.txt\n--- Number of rows: 5, columns: 9\n"
              "Output file (channel 1) : Chan1\n--- Number of rows: 3, columns: 6\n"
              "Output file (channel 2) : Chan2\n--- Number of rows: 2, columns: 6\n"
              "Output file (channel 3) : Chan3\n--- Number of rows: 0, columns: 6\n"
              "Output file (channel 4) : Chan4\n--- Number of rows: 0, columns: 6\n"
              "Sample names : SampleNames\n--- Number of rows: 2\n"
              "Sample names (channel 1) : SampleNamesCh1\n--- Number of rows: 2\n"
              "Sample names (channel 2) : SampleNamesCh2\n--- Number of rows: 2\n"
              "Sample names (channel 3) : SampleNamesCh3\n--- Number of rows: 0\n"
              "Sample names (channel 4) : SampleNamesCh4\n--- Number of rows: 0\n");
}

// Other layouts of the small export give the same nine files and counts,
// written to the current folder whatever folder the input is in.
TEST_F(Genescan, LayoutsReadAlike) {
    const std::string huge(300000, 'x'), first = kBody.substr(0, kBody.find('\n') + 1);
    fs::create_directory("data");
    struct Case {
        std::string bytes;
        int skipped;
        std::string path;
    } cases[] = {
        {kHeader + replace_all(kBody, "\n", "\r\n"), 0, "in.txt"},
        {replace_all(kHeader + kBody, "\n", "\r"), 0, "in.txt"},
        {replace_all(kHeader + kBody, "\n", "\r\r\n"), 0, "in.txt"},
        {kHeader + replace_all(replace_all(kBody, "\t", "  \t "), "\n", "  \n"), 0, "in.txt"},
        {kHeader + replace_all(kBody, "\n", "\t7 8\tx\n"), 0, "in.txt"},
        {kHeader + peak("S1 1.0 1 0 100.50 5e2 2000") + peak("S1 1e0 2 0 1.5025e2 300 1500.0") +
             peak("S1 2 +1 0.0 120 800 4000abc") + peak("S2 01 1.0 .0 101 450 2100") + peak("S2 2. 1 0 119.5 700 3900"),
         0, "in.txt"},
        {kHeader + kBody.substr(0, kBody.size() - 1), 0, "in.txt"},
        {kHeader + kBody + "\n", 1, "in.txt"},
        {kHeader + first + "B,9 R S9 3 1 0 7 7\n\n \t\n" + kBody.substr(first.size()) + "x y", 4, "in.txt"},
        {"Dye " + huge + "\n" + kBody, 0, "in.txt"},  // both longer than the first buffer
        {"Dye\x1a end of a text file on Windows\n" + kBody, 0, "in.txt"},
        {kHeader + kBody.substr(0, kBody.size() - 1) + "\t" + huge + "\n", 0, "in.txt"},
        {kHeader + kBody, 0, dir.file("data") + "/export.txt"},
    };
    for (const auto& c : cases) {
        for (const char* name : kOutputs) fs::remove(name);
        ResetReport();
        ASSERT_EQ(run(c.bytes, c.path), "") << c.bytes.substr(0, 80);
        EXPECT_EQ(outputs(), kWant) << c.bytes.substr(0, 80);
        std::string r = report();
        EXPECT_EQ(r.substr(0, r.find(" : Chan1")), "Peakread: Reading input file\nInput file: " + c.path +
                                                       "\n--- Number of rows: 5, columns: 9\n"
                                                       "Output file (channel 1)");
        const std::string last = "SampleNamesCh4\n--- Number of rows: 0\n";
        std::string note = "--- Lines skipped (fewer than 9 fields): " + std::to_string(c.skipped) + "\n";
        EXPECT_EQ(r.substr(r.find(last) + last.size()), c.skipped ? note : "");
    }
}

// How samples and dye blocks are numbered.  Each line gives "name dye"; the
// result is the first column of each table and the five name files.  An
// input without peaks gives empty outputs.
TEST_F(Genescan, Numbering) {
    const std::string n300(300, 'n'), n255(255, 'n');
    struct Case {
        std::vector<std::string> lines;
        std::string want;
    } cases[] = {
        {{"A 1", "B 1", "A 1"}, "1;1;1|||#1=A 2=B 3=A |1=A |||"},
        {{"A 1", "A 1", "A 2", "B 1", "B 2"}, "1;1;2|1;2||#1=A 2=B |1=A 2=B |1=A 2=B ||"},
        {{"A 1", "B 1", "A 2", "B 2"}, "1;1|1;1||#1=A 2=B 3=A 4=B |1=A |1=A ||"},
        {{"A 3", "A 4", "B 4", "B 1"}, "1||1|1;1#1=A 2=B |1=B ||1=A |1=A "},
        {{"A 1", "A 2", "B 1", "B 3", "C 1", "C 2"}, "1;2;3|1;2|1|#1=A 2=B 3=C |1=A 2=B 3=C |1=A 2=C |1=B |"},
        {{"A 1", "A 0", "A 1", "A 5", "A 1", "A x", "A 1"}, "1;2;3;4|||#1=A |1=A 2=A 3=A 4=A |||"},
        {{"A 1", "A 2.5", "A -1", "A 1"}, "1;2|||#1=A |1=A 2=A |||"},
        {{n300 + " 1", n255 + "zz 1", "B 1"}, "1;1;1|||#1=" + n255 + " 2=B |1=" + n255 + " |||"},
    };
    for (const auto& c : cases) {
        std::string body;
        for (const auto& l : c.lines) body += peak(l + " 0 0 0 0 0");
        ASSERT_EQ(run(kHeader + body), "");
        EXPECT_EQ(outputs(1), c.want) << c.lines[1];
    }
    for (std::string bytes : {std::string(), std::string("Header only"), kHeader}) {
        ASSERT_EQ(run(bytes), "");
        EXPECT_EQ(outputs(), "|||#||||") << bytes;  // four 0 x 6 tables, empty name files
    }
}

// Every numeric field is stored as the float nearest to its longest leading
// decimal number, 0 when it has none: hexadecimal, infinities and NaN are
// not numbers here.  Plain decimals read as strtod reads them.
TEST_F(Genescan, NumbersReadAsLeadingDecimals) {
    struct Case {
        const char* field;
        double want;
    } named[] = {{"0x1", 0},
                 {"0x10", 0},
                 {"inf", 0},
                 {"-INFINITY", 0},
                 {"nan", 0},
                 {"NAN(1)", 0},
                 {"1e", 1},
                 {"1e+", 1},
                 {"2E-x", 2},
                 {"-.5e-1", -0.05},
                 {"+7", 7},
                 {"12abc", 12},
                 {"0.1.2", 0.1},
                 {"-", 0},
                 {".", 0},
                 {"1e999", HUGE_VAL},
                 {"-1e999", -HUGE_VAL},
                 {"1e-50", 0},
                 {"3.5e38", 3.5e38},
                 {"\v5", 5},
                 {"5\v", 5},
                 {"1234567890123456789012", 1234567890123456789012.0},
                 {"00000000000000000001", 1},
                 {"1.0000000000000000000000001", 1}};
    std::vector<std::string> fields;
    std::vector<double> want;
    for (const auto& c : named) {
        fields.push_back(c.field);
        want.push_back(c.want);
    }
    std::mt19937 rng(3);
    for (int i = 0; i < 3000; ++i) {
        std::string digits = (std::to_string(rng()) + std::to_string(rng())).substr(0, 1 + rng() % 17);
        digits.insert(rng() % (digits.size() + 1), rng() % 4 ? "." : "");
        if (rng() % 5 == 0) digits += "e" + std::to_string(static_cast<int>(rng() % 80) - 40);
        fields.push_back((rng() % 3 ? "" : "-") + digits);
        want.push_back(std::strtod(fields.back().c_str(), nullptr));
    }
    std::string body;
    for (const auto& f : fields) body += peak("A 1 1 " + f + " 0 0 0");
    ASSERT_EQ(run(kHeader + body), "");
    std::string b = read_bytes("Chan1");
    ASSERT_EQ(b.size(), 24 * fields.size() + 18);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        unsigned char w[4];
        encodescal(want[i], w);
        EXPECT_EQ(b.substr(24 * i + 8, 4), std::string(reinterpret_cast<char*>(w), 4)) << fields[i];
    }
}

// A failed run ends with its box text; once its outputs are abandoned no
// table is left and no file is open.
TEST_F(Genescan, Failures) {
    // A mistyped input path, or an output given as input, leaves the outputs
    // of the previous run alone.
    ASSERT_EQ(run(kHeader + kBody), "");
    EXPECT_EQ(run("", "missing/in.txt"), "Error: can't open input file (Peakread)");
    EXPECT_THROW(Peakread("./SampleNamesCh3"), RunAbandoned);
    EXPECT_EQ(fake_events("error: ").back(), "Error: input file is also an output file (Peakread)");
    abandon_outputs();
    EXPECT_EQ(outputs(), kWant);

    struct Case {
        std::string prepare;  // "dir:NAME", or "full:NAME" for a link to /dev/full
        const char* input;
        const char* text;
    } cases[] = {
        {"dir:SampleNamesCh2", "in.txt", "Error: can't open sample names file (Peakread)"},
#ifndef _WIN32
        {"dir:folder", "folder", "Error: input file is a folder or a device, not a file (Peakread)"},
        {"full:Chan2", "in.txt", "Error: can't open binary output file (ouvecr)"},
        {"full:SampleNames", "in.txt", "Error: can't open sample names file (Peakread)"},
#endif
    };
    for (const auto& c : cases) {
        ASSERT_EQ(run(kHeader + kBody), "");
        std::string target = c.prepare.substr(c.prepare.find(':') + 1);
        fs::remove(target);
        if (c.prepare[0] == 'd') fs::create_directory(target);
        if (c.prepare[0] == 'f') fs::create_symlink("/dev/full", target);
        write_bytes("in.txt", kHeader + peak("X 1 1 0 1 1 1"));
        int before = descriptors();
        std::vector<std::string> outputs_before = snapshot();
        std::string got;
        try {
            Peakread(c.input);
        } catch (const RunAbandoned& e) {
            got = e.text;
        }
        EXPECT_EQ(got, c.text) << c.prepare;
        expect_cleaned_up(before, outputs_before, c.prepare);
        fs::remove_all(target);
    }
}

// A six-digit trailer counts up to 999999 rows; one more is refused, and the
// earlier outputs stay.
TEST_F(Genescan, ChannelRowLimit) {
    std::string body;
    body.reserve(20 * 1000000u);
    for (int i = 0; i < 999999; ++i) body += "p f A 1 1 0 1 2 3\n";
    ASSERT_EQ(run(kHeader + body + "p f A 2 1 0 1 2 3\n"), "");
    EXPECT_EQ(read_bytes("Chan1").substr(999999u * 24), "\r\n999999\r\n000006\r\n");
    int before = descriptors();
    std::vector<std::string> outputs_before = snapshot();
    EXPECT_EQ(run(kHeader + body + "p f A 2 1 0 1 2 3\np f A 1 1 0 1 2 3\n"),
              "Error: more than 999999 peaks in one channel (Peakread)");
    expect_cleaned_up(before, outputs_before, "limit");
}
