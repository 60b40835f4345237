#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "frame/batch.h"
#include "frame/frame.h"
#include "frame/report.h"
#include "frame/run.h"
#include "framework/registry.h"
#include "support/fake_platform.h"
#include "support/test_dir.h"

namespace fs = std::filesystem;

namespace {

class Batch : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_fake();
        g_fake.windows_folder = dir.path;
        g_report.start_folder = dir.path;
        registermodule();
        write_bytes("export.txt", "header line\n");
    }
    void TearDown() override { reset_fake(); }
    // Runs a batch file; returns its outcome and counts the option-1 runs
    // that reached the text report.
    BatchOutcome run(const std::string& content, int* runs) {
        for (const auto& e : fs::directory_iterator(dir.path))
            if (e.path().filename().string().rfind("l-", 0) == 0) fs::remove(e.path());
        write_bytes(dir.file("b.txt"), content);
        BatchOutcome o = runbatch(dir.file("b.txt").c_str());
        std::string report = g_report.text_path.empty() ? "" : read_bytes(g_report.text_path);
        *runs = 0;
        for (std::size_t at = 0; (at = report.find("Orvendale: Read Genescan file", at)) != std::string::npos; ++at)
            ++*runs;
        return o;
    }
    TestDir dir;
};

const std::string R1 = "1\n1\nexport.txt\n";  // one run of option 1
const std::string SEP = "----------\n";

}  // namespace

TEST_F(Batch, ContinuationAndEarlyStops) {
    struct Case {
        std::string body;  // after the report name line
        BatchEnd end;
        int runs;
        int line;  // where it stopped, for early stops
    } cases[] = {
        {R1, BatchEnd::Completed, 1, 0},
        {R1 + SEP, BatchEnd::StoppedEarly, 1, 6},
        {R1 + SEP + R1, BatchEnd::Completed, 2, 0},
        {R1 + "3\n" + SEP + R1, BatchEnd::Completed, 2, 0},
        {R1 + "3\nx\n" + R1, BatchEnd::Completed, 1, 0},
        {R1 + "3\n", BatchEnd::Completed, 1, 0},
        {R1 + "---------- \n" + R1, BatchEnd::Completed, 1, 0},
        {R1 + "----------", BatchEnd::Completed, 1, 0},
        {R1 + SEP + "0\n1\nx\n", BatchEnd::StoppedEarly, 1, 6},
        {R1 + SEP + "21\n", BatchEnd::StoppedEarly, 1, 6},
        {"-1\n", BatchEnd::StoppedEarly, 0, 2},
        {"abc\n", BatchEnd::StoppedEarly, 0, 2},
        {"2\n6\n", BatchEnd::StoppedEarly, 0, 3},
        {"1\n", BatchEnd::StoppedEarly, 0, 3},
        {"1\n1\n", BatchEnd::StoppedEarly, 0, 4},
        {"3\n0\n", BatchEnd::Completed, 0, 0},
        {"1\r\n1\r\nexport.txt\r\n----------\r\n1\r\n1\r\nexport.txt\r\n", BatchEnd::Completed, 2, 0},
    };
    for (const auto& c : cases) {
        int runs = 0;
        BatchOutcome o = run("Peaks\n" + c.body, &runs);
        EXPECT_EQ(o.end, c.end) << c.body;
        EXPECT_EQ(runs, c.runs) << c.body;
        if (c.end == BatchEnd::StoppedEarly) {
            EXPECT_EQ(o.line, c.line) << c.body;
            EXPECT_EQ(g_registry.current_option, 0);
        }
        EXPECT_TRUE(fake_events("error: ").empty());
    }
}

TEST_F(Batch, CompletedFileFinishesItsReport) {
    int runs = 0;
    BatchOutcome o = run("Peaks\n" + R1, &runs);
    ASSERT_EQ(o.end, BatchEnd::Completed);
    EXPECT_TRUE(g_frame.batch_mode);
    EXPECT_EQ(g_reportstream.file, nullptr);
    EXPECT_FALSE(fs::exists(g_reportstream.path));
    EXPECT_TRUE(fs::exists(g_report.text_path));
    EXPECT_EQ(g_report.text_name.rfind("l-Peaks-", 0), 0u);
    EXPECT_TRUE(fake_events("pane: ").empty());
    EXPECT_TRUE(fake_events("yesno: ").empty());
}

TEST_F(Batch, ValuesAreCopiedVerbatim) {
    int runs = 0;
    run("Peaks\n3\n0\n", &runs);
    run("Peaks\n1\n1\n \n", &runs);
    EXPECT_STREQ(g_registry.ParamValues[1], " ");
    run("Peaks\n1\n1\n\n", &runs);
    EXPECT_STREQ(g_registry.ParamValues[1], "");
}

// Values end at the line end whatever CRs come before the LF, and keep
// their first 1023 characters; the rest of a long line is read past.
TEST_F(Batch, LineEndsAndLongLines) {
    int runs = 0;
    EXPECT_EQ(run("Peaks\r\r\n1\r\r\n1\r\r\nexport.txt\r\r\n", &runs).end, BatchEnd::Completed);
    EXPECT_STREQ(g_registry.ParamValues[1], "export.txt");
    EXPECT_EQ(runs, 1);
    run("Peaks\n1\n1\n" + std::string(5000, 'v') + "\n", &runs);
    EXPECT_EQ(std::string(g_registry.ParamValues[1]), std::string(1023, 'v'));
    BatchOutcome o = run("Peaks\n" + std::string(100000, '9') + "\n", &runs);
    EXPECT_EQ(o.end, BatchEnd::StoppedEarly);
    EXPECT_EQ(o.reason, "option number must be 1 to 20, not \"" + std::string(40, '9') + "...\"");
}

TEST_F(Batch, FilesThatCannotRun) {
    fs::create_directory("folder");
    EXPECT_EQ(runbatch("folder").reason, "this is a folder, not a batch file");
    EXPECT_EQ(runbatch(dir.file("missing.txt").c_str()).end, BatchEnd::CannotOpen);
    write_bytes("empty.txt", "");
    EXPECT_EQ(runbatch("empty.txt").end, BatchEnd::Empty);
    EXPECT_FALSE(g_frame.batch_mode);
}

TEST_F(Batch, CompletedFileEndsTheProcessAndLaterDropsDoNotRun) {
    write_bytes("stops.txt", "Peaks\n" + R1 + SEP);
    write_bytes("done.txt", "Peaks\n" + R1);
    write_bytes("never.txt", "Peaks\n3\n0\n");
    EXPECT_THROW(rundroppedfiles({"stops.txt", "done.txt", "never.txt"}), FakeExit);
    EXPECT_EQ(g_fake.exit_status, 0);
}

TEST_F(Batch, FatalErrorStopsTheFile) {
    write_bytes("b2.txt", "Peaks\n1\n1\nmissing-export.txt\n" + SEP + R1);
    BatchOutcome o = runbatch("b2.txt");
    EXPECT_EQ(fake_events("error: ").size(), 1u);
    EXPECT_EQ(o.end, BatchEnd::Closing);
}
