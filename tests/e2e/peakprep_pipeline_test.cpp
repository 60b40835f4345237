// The whole road of a user's data through both modules' console programs:
// import -> "Read Genescan file" -> "Filter peaks" -> "Compute table" ->
// "Profile summary" -> "Export table".
#include "e2e/console_fixture.h"

namespace {

const char kPeaks[] =
    "Dye/Sample Peak\tSample File Name\tSize\tHeight\tArea\tData Point\n"
    "\"B,1\"\tS1_A01.fsa\t101.20\t900\t9000\t1000\n"
    "\"B,2\"\tS1_A01.fsa\t115.50\t40\t400\t1100\n"
    "\"B,3\"\tS1_A01.fsa\t131.00\t300\t3000\t1200\n"
    "\"O,1\"\tS1_A01.fsa\t100.00\t5000\t50000\t900\n"
    "\"B,1\"\tS2_A02.fsa\t102.40\t600\t6000\t1000\n"
    "\"B,2\"\tS2_A02.fsa\t128.90\t600\t6000\t1100\n";

class Pipeline : public Console {
  protected:
    Outcome prep(const std::string& batch) {
        write_bytes(dir.file("prep.txt"), batch);
        std::string cmd = "cd '" + dir.path + "' && HOME='" + dir.path + "' " + wrapper() +
                          "'" PEAKPREP_EXE "' prep.txt </dev/null >stdout.txt 2>stderr.txt";
        int raw = std::system(cmd.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read_bytes(dir.file("stdout.txt")),
                read_bytes(dir.file("stderr.txt"))};
    }
};

}  // namespace

TEST_F(Pipeline, FromAnImportToAnExportedSummary) {
    write_bytes(dir.file("data/run1.txt"), kPeaks);
    Outcome r = prep("imp\n1\n2\nrun1.txt\n\n");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_FALSE(data("run1.gs.txt").empty());

    write_bytes(dir.file("gs.txt"), "gs\n1\n1\nrun1.gs.txt\n");
    r = run("gs.txt");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(data("SampleNamesCh1"), "Echantillon 1 = S1_A01\nEchantillon 2 = S2_A02\n");

    // The 40 RFU peak goes; both samples keep their rows.
    r = prep("flt\n2\n10\nChan1\n\n\n100\n\n\n\n\n\n\n\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(data("Chan1_flt.qc.txt").find("115.5"), std::string::npos) << data("Chan1_flt.qc.txt");

    // One group of 20-bp classes, heights summed, no row percentages.
    write_bytes(dir.file("tab.txt"), "tab\n2\n7\nChan1_flt\n1\n1\n1\n2\n0\n0\n");
    r = run("tab.txt", "20\n");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_FALSE(data("Chan1_flt_tabSH").empty()) << r.err;

    r = prep("sum\n3\n2\nChan1_flt_tabSH\n\n----------\n4\n3\nChan1_flt_tabSH_div\n1\n\n");
    ASSERT_EQ(r.status, 0) << r.err;
    std::string csv = data("Chan1_flt_tabSH_div.csv");
    // Rows labelled with the names of the channel's samples.  S1 keeps one
    // peak in the classes (its 131 bp peak lies on the top limit, outside
    // the last class), so J is undefined: an empty cell.  S2 has two equal
    // classes: H' = ln 2, J = 1, 1-D = 0.5, 1/D = 2.
    EXPECT_EQ(csv, "Sample,1,2,3,4,5,6\r\nS1_A01,1,900,0,,0,1\r\nS2_A02,2,1200,0.6931472,1,0.5,2\r\n");
}
