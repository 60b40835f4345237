#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "frame/frame.h"
#include "frame/report.h"
#include "support/fake_platform.h"
#include "support/test_dir.h"

namespace fs = std::filesystem;

class Report : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_fake();
        fs::create_directories("start");
        fs::create_directories("win");
        g_report.start_folder = dir.file("start");
        g_fake.windows_folder = dir.file("win");
    }
    void TearDown() override { reset_fake(); }
    std::string here() const { return fs::current_path().string(); }
    TestDir dir;
};

TEST_F(Report, FirstRunWithoutConfigurationFiles) {
    ReportSetUp("Peakgrid");
    EXPECT_EQ(here(), dir.file("win"));
    EXPECT_EQ(read_bytes(dir.file("win/QOR4PREF.txt")), dir.file("win"));
    EXPECT_EQ(g_report.default_folder, dir.file("win"));
    EXPECT_TRUE(std::regex_match(g_report.text_name, std::regex("l-Peakgrid-\\d\\d-\\d\\d-\\d\\d\\.txt")));
    EXPECT_TRUE(std::regex_match(g_reportstream.name, std::regex("QOR\\.temp-Peakgrid-\\d\\d-\\d\\d-\\d\\d")));
    EXPECT_EQ(g_reportstream.file, nullptr);
}

TEST_F(Report, ConfigurationFilesChooseTheFolders) {
    fs::create_directories("prefs");
    fs::create_directories("data");
    struct Case {
        std::string dirp;         // content of QOR4DIRP.txt ("" = no file)
        std::string pref_folder;  // where QOR4PREF.txt is expected
        std::string current;      // current folder after set-up
    } cases[] = {
        {dir.file("prefs"), dir.file("prefs"), dir.file("data")},
        // A line end is part of the path: that folder cannot be entered, so
        // QOR4PREF.txt is looked for in the start folder.
        {dir.file("prefs") + "\n", dir.file("start"), dir.file("data")},
    };
    for (const auto& c : cases) {
        fs::remove(dir.file("start/QOR4PREF.txt"));
        write_bytes(dir.file("start/QOR4DIRP.txt"), c.dirp);
        write_bytes(c.pref_folder + "/QOR4PREF.txt", dir.file("data"));
        ReportSetUp("Peakgrid");
        EXPECT_EQ(here(), c.current);
        EXPECT_EQ(g_report.pref_folder, c.pref_folder);
        EXPECT_EQ(read_bytes(c.pref_folder + "/QOR4PREF.txt"), dir.file("data")) << "unchanged";
        EXPECT_EQ(read_bytes(dir.file("start/QOR4DIRP.txt")), c.dirp) << "unchanged";
    }
}

TEST_F(Report, PublishAccumulatesAndResetStartsOver) {
    ReportSetUp("Peakgrid");
    for (const char* run : {"first\n", "second\n"}) {
        OpenReportStream();
        reportf("%s", run);
        PublishReport();
    }
    std::string text = read_bytes(g_report.text_path);
#ifdef _WIN32
    EXPECT_EQ(text, "first\r\nsecond\r\n");
#else
    EXPECT_EQ(text, "first\nsecond\n");
#endif
    EXPECT_EQ(fake_events("pane: ").size(), 2u);
    ResetReport();
    reportf("third");
    PublishReport();
    EXPECT_EQ(read_bytes(g_report.text_path), "third");
    // Report names are bound to the folder where the stream was opened.
    fs::current_path(dir.path);
    OpenReportStream();
    reportf("x");
    PublishReport();
    EXPECT_EQ(read_bytes(dir.file("win/" + g_report.text_name)), "thirdx");
}

// A publish appends only the new part when the text report file is as the
// last publish left it; anything else has it copied whole again.
TEST_F(Report, PublishCopiesWholeWhenTheTextFileChanged) {
    struct Case {
        const char* name;
        bool reset;               // the report emptied after the first publish
        const char* edited_text;  // the text file's bytes replaced by these (null = untouched)
    } cases[] = {
        {"appended", false, nullptr},
        {"emptied, then longer", true, nullptr},
        {"edited, same size", false, "FIRST\n"},
        {"edited, shorter", false, "f"},
        {"edited, longer", false, "first\nmore\n"},
    };
    for (const Case& c : cases) {
        ReportSetUp(c.name);
        OpenReportStream();
        reportf("first\n");
        PublishReport();
        if (c.reset) ResetReport();
        if (c.edited_text) write_bytes(g_report.text_path, c.edited_text);
        OpenReportStream();
        reportf("second, which is longer than the first\n");
        PublishReport();
        closereport();
        EXPECT_EQ(read_bytes(g_report.text_path), read_bytes(g_reportstream.path)) << c.name;
        CloseReportAndDeleteTemp();
    }
}

TEST_F(Report, BatchModeDoesNotLoadThePane) {
    g_frame.batch_mode = true;
    ReportSetUp("Peakgrid");
    OpenReportStream();
    PublishReport();
    EXPECT_TRUE(fake_events("pane: ").empty());
}

TEST_F(Report, ExitAsksOnlyAfterAPublish) {
    ReportSetUp("Peakgrid");
    ExitReport();
    EXPECT_TRUE(fake_events("yesno: ").empty());

    for (bool yes : {false, true}) {
        OpenReportStream();
        reportf("run\n");
        PublishReport();
        std::string temp = g_reportstream.path, text = g_report.text_path;
        g_fake.yesno.push_back(yes);
        ExitReport();
        EXPECT_EQ(fake_events("yesno: ").back(), "WinQOR-4 Exiting...|Delete the text report file ? ");
        EXPECT_FALSE(fs::exists(temp));
        EXPECT_EQ(fs::exists(text), !yes);
    }
}

TEST_F(Report, NewSetUpFinishesTheOpenReportFirst) {
    ReportSetUp("Peakgrid");
    OpenReportStream();
    reportf("before");
    std::string old_text = g_report.text_path, old_temp = g_reportstream.path;
    ReportSetUp("Batch");
    EXPECT_EQ(read_bytes(old_text), "before");
    EXPECT_FALSE(fs::exists(old_temp));
    EXPECT_EQ(g_report.text_name.rfind("l-Batch-", 0), 0u);
}
