// End-to-end tests: the console program on real files in temporary folders.
#include "e2e/console_fixture.h"

namespace {

const std::string kHeader = "Dye/Sample Peak\tSample File\tSample\tDye\tPeak\tMinutes\tSize\tHeight\tArea\n";
const std::string kExample =
    "B,1\tf.fsa\tS1\t1\t1\t0\t100.5\t500\t2000\n"
    "B,2\tf.fsa\tS1\t1\t2\t0\t150.25\t300\t1500\n"
    "G,1\tf.fsa\tS1\t2\t1\t0\t120\t800\t4000\n"
    "B,1\tg.fsa\tS2\t1\t1\t0\t101\t450\t2100\n"
    "G,1\tg.fsa\tS2\t2\t1\t0\t119.5\t700\t3900\n";

}  // namespace

TEST_F(Console, VersionAndHelp) {
    EXPECT_EQ(run("--version").out, "peakgrid " PEAKGRID_VERSION "\n");
    Outcome h = run("--help");
    EXPECT_EQ(h.status, 0);
    EXPECT_NE(h.out.find("usage: peakgrid"), std::string::npos);
}

TEST_F(Console, OptionOneFromABatchFile) {
    fs::create_directories(dir.file("in"));
    write_bytes(dir.file("in/export.txt"), kHeader + kExample);
    write_bytes(dir.file("run.txt"), "Peaks\n1\n1\n" + dir.file("in/export.txt") + "\n");
    Outcome r = run("run.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");  // batch runs do not show the report
    EXPECT_EQ(data("Chan1"),
              table({1, 1, 0, 100.5f, 500, 2000, 1, 2, 0, 150.25f, 300, 1500, 2, 1, 0, 101, 450, 2100}, 3, 6));
    EXPECT_EQ(data("Chan2"), table({1, 1, 0, 120, 800, 4000, 2, 1, 0, 119.5f, 700, 3900}, 2, 6));
    EXPECT_EQ(data("Chan3"), table({}, 0, 6));
    EXPECT_EQ(data("Chan4"), table({}, 0, 6));
    const std::string names = "Echantillon 1 = S1\nEchantillon 2 = S2\n";
    EXPECT_EQ(data("SampleNames"), names);
    EXPECT_EQ(data("SampleNamesCh1"), names);
    EXPECT_EQ(data("SampleNamesCh2"), names);
    EXPECT_EQ(data("SampleNamesCh3"), "");
    EXPECT_FALSE(fs::exists(dir.file("in/Chan1")));  // outputs go to the current folder
    std::string rep = report();
    std::size_t body = rep.find("Peakread");
    ASSERT_NE(body, std::string::npos) << rep;
    EXPECT_EQ(rep.substr(body),
              "Peakread: Reading input file\n"
              "Input file: " +
                  dir.file("in/export.txt") +
                  "\n"
                  "--- Number of rows: 5, columns: 9\n"
                  "Output file (channel 1) : Chan1\n--- Number of rows: 3, columns: 6\n"
                  "Output file (channel 2) : Chan2\n--- Number of rows: 2, columns: 6\n"
                  "Output file (channel 3) : Chan3\n--- Number of rows: 0, columns: 6\n"
                  "Output file (channel 4) : Chan4\n--- Number of rows: 0, columns: 6\n"
                  "Sample names : SampleNames\n--- Number of rows: 2\n"
                  "Sample names (channel 1) : SampleNamesCh1\n--- Number of rows: 2\n"
                  "Sample names (channel 2) : SampleNamesCh2\n--- Number of rows: 2\n"
                  "Sample names (channel 3) : SampleNamesCh3\n--- Number of rows: 0\n"
                  "Sample names (channel 4) : SampleNamesCh4\n--- Number of rows: 0\n");
    EXPECT_EQ(rep.substr(0, 63), "*------------------------------------------------------------*\n");
    // No temporary report file is left behind.
    for (const auto& e : fs::directory_iterator(dir.file("data")))
        EXPECT_NE(e.path().filename().string().rfind("QOR.temp-", 0), 0u);
}

// Spellings of the same export give the same channel table.
TEST_F(Console, ExportVariantsReadAlike) {
    write_bytes(dir.file("run.txt"), "Peaks\n1\n1\nexport.txt\n");
    write_bytes(dir.file("data/export.txt"), kHeader + kExample);
    ASSERT_EQ(run("run.txt").status, 0);
    const std::string want = data("Chan1");
    std::string crlf;
    for (char c : kExample) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const std::string variants[] = {
        crlf,
        "B,1 f.fsa  S1 1.0 1 0 100.5 500 2000\nB,2 f.fsa S1 1e0 2 0 150.25 300 1500 extra fields\n"
        "G,1\tf.fsa\tS1\t2\t1\t0\t120\t800\t4000\nB,1\tg.fsa\tS2\t1\t1\t0\t101\t450\t2100\n"
        "G,1\tg.fsa\tS2\t2\t1\t0\t119.5\t700\t3900\n\n",
    };
    for (const auto& v : variants) {
        write_bytes(dir.file("data/export.txt"), kHeader + v);
        ASSERT_EQ(run("run.txt").status, 0);
        EXPECT_EQ(data("Chan1"), want);
    }
}

TEST_F(Console, BatchFilesThatStopEarlyOrCannotOpen) {
    struct Case {
        std::string args, file, where;
    } cases[] = {
        {"missing.txt", "", "missing.txt"},
        {"run.txt", "Peaks\n5\n", "line 3: parameter count expected"},
        {"run.txt", "Peaks\n0\n", "line 2: option number must be 1 to 20"},
        {"run.txt", "Peaks\n1\n1\nexport.txt\n----------\n", "line 6"},
        {"-f run.txt", "", "empty"},
    };
    write_bytes(dir.file("data/export.txt"), kHeader);
    for (const auto& c : cases) {
        if (c.args != "missing.txt") write_bytes(dir.file("run.txt"), c.file);
        Outcome r = run(c.args);
        EXPECT_EQ(r.status, 2) << c.args << c.file;
        EXPECT_NE(r.err.find(c.where), std::string::npos) << r.err;
    }
}

TEST_F(Console, FatalErrorEndsWithStatusOne) {
    write_bytes(dir.file("run.txt"), "Peaks\n1\n1\nno-such-export.txt\n----------\n1\n1\nx\n");
    Outcome r = run("run.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Error: "), std::string::npos);
    EXPECT_FALSE(fs::exists(dir.file("data/Chan1")));
}

TEST_F(Console, InteractiveMenuRunsAnOptionAndShowsItsReport) {
    write_bytes(dir.file("data/export.txt"), kHeader + kExample);
    Outcome r = run("", "1\nexport.txt\n1\n\n9\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("1. Read Genescan file"), std::string::npos);
    EXPECT_NE(r.err.find("2. Compute table"), std::string::npos);
    EXPECT_NE(r.err.find("Message: Sorry: there is no such option"), std::string::npos);
    // The first run's report, then the second run's, each shown once.
    EXPECT_EQ(r.out.find("Peakread: Reading input file"), r.out.rfind("Peakread: Reading input file"));
    EXPECT_NE(r.out.find("Input file: export.txt"), std::string::npos);
    EXPECT_EQ(data("SampleNames"), "Echantillon 1 = S1\nEchantillon 2 = S2\n");
}

TEST_F(Console, StartOptionOpensItsParametersFirst) {
    write_bytes(dir.file("data/export.txt"), kHeader + kExample);
    Outcome r = run("-o 1", "export.txt\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Peakread"), std::string::npos);
}

TEST_F(Console, ExportNumberingEdges) {
    auto line = [](const char* sample, const char* dye) {
        return std::string("X f ") + sample + " " + dye + " 1 0 100 10 20\n";
    };
    auto rows = [](std::vector<int> channel_numbers) {
        std::vector<float> v;
        for (int n : channel_numbers) v.insert(v.end(), {static_cast<float>(n), 1, 0, 100, 10, 20});
        return table(v, static_cast<int>(channel_numbers.size()), 6);
    };
    struct Case {
        const char* what;
        std::string body;  // after the header line
        std::string names, names1, chan1;
    } cases[] = {
        {"header only", "", "", "", rows({})},
        {"names A, B, A: three samples, one dye-1 block", line("A", "1") + line("B", "1") + line("A", "1"),
         "Echantillon 1 = A\nEchantillon 2 = B\nEchantillon 3 = A\n", "Echantillon 1 = A\n", rows({1, 1, 1})},
        {"dyes 0, 5 and x open no block but end one",
         line("S", "1") + line("S", "0") + line("S", "1") + line("S", "5") + line("S", "x") + line("S", "1"),
         "Echantillon 1 = S\n", "Echantillon 1 = S\nEchantillon 2 = S\nEchantillon 3 = S\n", rows({1, 2, 3})},
    };
    write_bytes(dir.file("run.txt"), "Peaks\n1\n1\nexport.txt\n");
    for (const auto& c : cases) {
        write_bytes(dir.file("data/export.txt"), kHeader + c.body);
        ASSERT_EQ(run("run.txt").status, 0) << c.what;
        EXPECT_EQ(data("SampleNames"), c.names) << c.what;
        EXPECT_EQ(data("SampleNamesCh1"), c.names1) << c.what;
        EXPECT_EQ(data("Chan1"), c.chan1) << c.what;
    }
    write_bytes(dir.file("data/export.txt"), "");  // not even a header
    ASSERT_EQ(run("run.txt").status, 0);
    EXPECT_EQ(data("Chan4"), rows({}));
    EXPECT_NE(report().find("--- Number of rows: 0, columns: 9"), std::string::npos);
}

// The console form reads the same rows as the Win32 dialog: the short label,
// and the label's further lines as a hint.
TEST_F(Console, FormRowsShowTheirLabels) {
    Outcome r = run("-o 2", "Chan1\n3\n");  // the input ends at row 3: nothing runs
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("Compute table\n  Input file: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("  Height (1) or Area (2) of peaks  - Default = Height : "), std::string::npos) << r.err;
    EXPECT_EQ(r.out.find("Peakgrid"), std::string::npos);
}

// An input path longer than 255 characters is read whole, not cut to a name
// that may belong to another file.
TEST_F(Console, LongInputPathIsReadWhole) {
    std::string deep = "in";
    while (deep.size() < 300) deep += "/folder-of-a-long-path-name";
    fs::create_directories(dir.file(deep));
    write_bytes(dir.file(deep + "/export.txt"), kHeader + kExample);
    write_bytes(dir.file("run.txt"), "Peaks\n1\n1\n" + dir.file(deep + "/export.txt") + "\n");
    Outcome r = run("run.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(data("Chan2"), table({1, 1, 0, 120, 800, 4000, 2, 1, 0, 119.5f, 700, 3900}, 2, 6));
}
