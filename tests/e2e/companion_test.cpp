// The companion programs and the console's --csv, on real files: an export
// of today's layout imported, read by option 1, tabulated by option 2 with
// labelled copies, and exported again.
#include <algorithm>
#include <cstring>

#include "e2e/console_fixture.h"

namespace {

std::string inquotes(const std::string& s) { return "'" + s + "'"; }

int shell(const std::string& cmd) {
    int raw = std::system(cmd.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// Two samples, dyes interleaved as GeneMapper writes them, one
// size-standard row and one unsized peak.
const char kExport[] =
    "Dye/Sample Peak\tSample File Name\tSize\tHeight\tArea\tData Point\t\r\n"
    "\"B,1\"\tPlot A.fsa\t100.5\t500\t2000\t2100\t\r\n"
    "\"G,1\"\tPlot A.fsa\t101.5\t50\t200\t2110\t\r\n"
    "\"B,2\"\tPlot A.fsa\t105\t300\t1500\t2200\t\r\n"
    "\"R,1     *\"\tPlot A.fsa\t110.0\t900\t900\t2250\t\r\n"
    "\"B,3\"\tPlot A.fsa\t121\t200\t900\t2400\t\r\n"
    "\"B,1\"\tPlot B.fsa\t101\t450\t2100\t2105\t\r\n"
    "\"B,2\"\tPlot B.fsa\t\t10\t10\t2150\t\r\n"
    "\"G,1\"\tPlot B.fsa\t119.5\t70\t390\t2390\t\r\n"
    "\"B,3\"\tPlot B.fsa\t119.5\t700\t3900\t2390\t\r\n";

// Option 1 on the imported file, then option 2 on Chan1: sums of heights,
// no proportions, classes of width 10.
const char kBatch[] = "Roundtrip\n1\n1\nin.txt\n----------\n2\n7\nChan1\n1\n1\n1\n2\n0\n0\n";

}  // namespace

TEST_F(Console, ImportThenBothOptionsThenExportGiveTheLabelledTable) {
    write_bytes(dir.file("data/gm.txt"), kExport);
    const std::string data_dir = dir.file("data");
    ASSERT_EQ(shell("cd " + inquotes(data_dir) + " && " PEAKGRID_IMPORT_EXE " -o in.txt gm.txt 2>import.err"), 0);
    EXPECT_EQ(read_bytes(dir.file("data/import.err")),
              "peakgrid-import: gm.txt: GeneMapper table\n"
              "peakgrid-import: 9 data lines read; 7 peaks of 2 samples written to in.txt\n"
              "peakgrid-import: skipped 1 size-standard rows (first: gm.txt line 5)\n"
              "peakgrid-import: skipped 1 unsized peaks (first: gm.txt line 8)\n"
              "peakgrid-import: skipped 0 unknown dyes\n"
              "peakgrid-import: skipped 0 malformed lines\n");

    write_bytes(dir.file("run.txt"), kBatch);
    Outcome r = run("--csv run.txt", "10\n");
    ASSERT_EQ(r.status, 0) << r.err;
    // Channel 1 holds A's three blue peaks as one block, then B's two.
    EXPECT_EQ(data("SampleNamesCh1"), "Echantillon 1 = Plot_A\nEchantillon 2 = Plot_B\n");
    const std::string expected =
        "Sample,\"[100,110)\",\"[110,120)\",\"[120,121)\"\r\n"
        "Plot_A,800,0,0\r\n"
        "Plot_B,450,700,0\r\n";
    EXPECT_EQ(data("Chan1_tabtotSH.csv"), expected);
    EXPECT_EQ(data("Chan1_tabSH.csv"), "Sample,\"[100,110)\",\"[110,120)\"\r\nPlot_A,800,0\r\nPlot_B,450,700\r\n");
    EXPECT_NE(report().find("Labelled table: Chan1_tabSH.csv\n"), std::string::npos);

    // The export finds the names beside the table; its columns are numbered.
    ASSERT_EQ(shell("cd " + inquotes(data_dir) + " && " PEAKGRID_EXPORT_EXE " -o out.csv Chan1_tabtotSH"), 0);
    EXPECT_EQ(data("out.csv"), "Sample,1,2,3\r\nPlot_A,800,0,0\r\nPlot_B,450,700,0\r\n");
    ASSERT_EQ(shell("cd " + inquotes(data_dir) + " && " PEAKGRID_EXPORT_EXE " --svg -o out.svg Chan1_tabtotSH"), 0);
    EXPECT_NE(data("out.svg").find(">[110,120)</text>"), std::string::npos);
    EXPECT_NE(data("out.svg").find(">Plot_B</text>"), std::string::npos);
    ASSERT_EQ(shell("cd " + inquotes(data_dir) + " && " PEAKGRID_EXPORT_EXE " --info Chan1_tabSH >info.txt"), 0);
    EXPECT_EQ(data("info.txt"),
              "Chan1_tabSH: 2 rows, 2 columns\nrow labels: SampleNamesCh1 (2 names)\n"
              "class labels for --svg: Chan1_tabSH.csv\n");
}

TEST_F(Console, SamplesOfOneDyeStayApartInOption1) {
    // Single-dye runs: every line is blue, so without the lines of dye 0
    // that the import puts between samples option 1 would number all the
    // peaks as channel sample 1.
    write_bytes(dir.file("data/s1"), "B,1\t5.70\t100.25\t50\t321\t2137\r\nB,2\t5.80\t104.5\t60\t330\t2150");
    write_bytes(dir.file("data/s2"), "B,1\t5.75\t101.00\t70\t340\t2140\r\n");
    const std::string data_dir = dir.file("data");
    ASSERT_EQ(shell("cd " + inquotes(data_dir) + " && " PEAKGRID_IMPORT_EXE " -o in.txt s1 s2 2>/dev/null"), 0);
    write_bytes(dir.file("run.txt"), "One\n1\n1\nin.txt\n");
    ASSERT_EQ(run("run.txt").status, 0);
    EXPECT_EQ(data("SampleNamesCh1"), "Echantillon 1 = s1\nEchantillon 2 = s2\n");
    EXPECT_EQ(data("Chan1"),
              table({1, 1, 2137, 100.25f, 50, 321, 1, 2, 2150, 104.5f, 60, 330, 2, 1, 2140, 101, 70, 340}, 3, 6));
}

TEST_F(Console, WithoutCsvOption2LeavesTheFilesItLeftBefore) {
    write_bytes(dir.file("data/in.txt"),
                "h\nB,1 f A 1 1 0 100.5 500 2000\nB,2 f A 1 2 0 105 300 1500\nB,1 f B 1 1 0 119.5 700 3900\n");
    write_bytes(dir.file("run.txt"), kBatch);
    // The files left, but the text report, whose name carries the time.
    auto listing = [&] {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir.file("data")))
            if (e.path().filename().string().rfind("l-", 0) != 0) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    };
    ASSERT_EQ(run("run.txt", "10\n").status, 0);
    std::vector<std::string> plain = listing();
    const std::string full = data("Chan1_tabtotSH"), kept = data("Chan1_tabSH"), rep = report();
    EXPECT_EQ(rep.find("Labelled"), std::string::npos);

    for (const auto& e : fs::directory_iterator(dir.file("data"))) fs::remove(e.path());
    write_bytes(dir.file("data/in.txt"),
                "h\nB,1 f A 1 1 0 100.5 500 2000\nB,2 f A 1 2 0 105 300 1500\nB,1 f B 1 1 0 119.5 700 3900\n");
    ASSERT_EQ(run("--csv run.txt", "10\n").status, 0);
    std::vector<std::string> with_csv = listing();
    std::vector<std::string> expected = plain;
    expected.push_back("Chan1_tabSH.csv");
    expected.push_back("Chan1_tabtotSH.csv");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(with_csv, expected);
    EXPECT_EQ(data("Chan1_tabtotSH"), full);
    EXPECT_EQ(data("Chan1_tabSH"), kept);
    // The report differs only by the two lines naming the copies.
    std::string rep2 = report();
    for (const char* line : {"Labelled table: Chan1_tabtotSH.csv\n", "Labelled table: Chan1_tabSH.csv\n"}) {
        std::size_t at = rep2.find(line);
        ASSERT_NE(at, std::string::npos);
        rep2.erase(at, std::strlen(line));
    }
    auto body = [](const std::string& s) { return s.substr(s.find("Peakread")); };  // past the dated banner
    EXPECT_EQ(body(rep2), body(rep));
}

TEST_F(Console, CompanionExitStatuses) {
    write_bytes(dir.file("t.bin"), table({1, 2, 3, 4}, 2, 2));
    write_bytes(dir.file("short.bin"), table({1, 2, 3}, 2, 2).substr(4));
    write_bytes(dir.file("odd.txt"), "Name\tValue\nA\t1\n");
    write_bytes(dir.file("gs"), "B,1\t5.70\t38.72\t50\t321\t2137\r\n");
    const std::string in = "cd " + inquotes(dir.path) + " && ";
    struct Case {
        std::string cmd;
        int status;
    } cases[] = {
        {PEAKGRID_EXPORT_EXE " t.bin", 0},
        {PEAKGRID_EXPORT_EXE " --tsv -o o.tsv t.bin", 0},
        {PEAKGRID_EXPORT_EXE " absent.bin", 2},
        {PEAKGRID_EXPORT_EXE " short.bin", 2},
        {PEAKGRID_EXPORT_EXE " odd.txt", 2},
        {PEAKGRID_EXPORT_EXE " --names absent t.bin", 2},
        {PEAKGRID_EXPORT_EXE " --bogus t.bin", 2},
        {PEAKGRID_EXPORT_EXE " -o /dev/full t.bin", 1},
        {PEAKGRID_IMPORT_EXE " gs", 0},
        {PEAKGRID_IMPORT_EXE " -o none.txt odd.txt", 2},
        {PEAKGRID_IMPORT_EXE " -o none.txt gs absent", 2},
        {PEAKGRID_IMPORT_EXE " --format nosuch gs", 2},
        {PEAKGRID_IMPORT_EXE " -o /dev/full gs", 1},
    };
    for (const Case& c : cases) EXPECT_EQ(shell(in + c.cmd + " >/dev/null 2>&1"), c.status) << c.cmd;
    EXPECT_FALSE(fs::exists(dir.file("none.txt")));  // nothing written for a bad input
    EXPECT_EQ(read_bytes(dir.file("o.tsv")), "Sample\t1\t2\n1\t1\t2\n2\t3\t4\n");
    EXPECT_TRUE(fs::exists("/dev/full"));
}

TEST_F(Console, ALabelledCopyThatCannotBeWrittenEndsTheRunButKeepsTheTables) {
    write_bytes(dir.file("data/in.txt"), "h\nB,1 f A 1 1 0 100.5 500 2000\nB,1 f B 1 1 0 119.5 700 3900\n");
    write_bytes(dir.file("run.txt"), kBatch);
    fs::create_directories(dir.file("data/Chan1_tabtotSH.csv"));  // in the way of the copy
    Outcome r = run("--csv run.txt", "10\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("can't open labelled table (csvtable)"), std::string::npos) << r.err;
    // Both peaks carry channel sample 1 (no dye change between them): 1 x 3.
    EXPECT_EQ(data("Chan1_tabtotSH").size(), 4u * 1 * 3 + 18);
    EXPECT_FALSE(fs::exists(dir.file("data/Chan1_tabSH.csv")));
}
