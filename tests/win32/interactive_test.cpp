// The whole interactive road in the real windows: start-up's "-o", the
// run-time questions in the value-entry dialog, and a Compute table run
// compared byte for byte with the console program's on the same answers.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "frame/report.h"
#include "frame/startup.h"
#include "win32/winstate.h"
#include "framework/registry.h"
#include "win32/choosers.h"
#include "win32/resource.h"
#include "win32/dialog_helpers.h"
#include "win32/gui_harness.h"

namespace fs = std::filesystem;

namespace {

class Interactive : public ::testing::Test {
  protected:
    void SetUp() override {
        g_chooser = ChooserStandIn();
        g_choosers = {standin_open, standin_save};
    }
    void TearDown() override {
        g_choosers = saved;
        close_main_window();
        std::string unexpected;
        EXPECT_TRUE(all_dialogs_handled(&unexpected)) << unexpected;
    }
    TestDir dir;
    Choosers saved = g_choosers;
};

// Fills rows 2..7 of the Compute table dialog and presses OK.
DialogAction compute_table(const std::string& input, std::vector<std::string> values) {
    return [input, values](HWND d) {
        SetDlgItemTextA(d, ROWID(IDC_ROW_VALUE, 1), input.c_str());
        for (std::size_t i = 0; i < values.size(); ++i)
            SetDlgItemTextA(d, ROWID(IDC_ROW_VALUE, static_cast<int>(i) + 2), values[i].c_str());
        press(d, IDOK);
    };
}

// Runs the Windows build of the console program on a batch file, its
// standard input read from a file; returns its exit status.
DWORD run_console(const std::string& batch, const std::string& input, const std::string& output) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE in = CreateFileA(input.c_str(), GENERIC_READ, FILE_SHARE_READ, &inherit, OPEN_EXISTING, 0, nullptr);
    HANDLE out = CreateFileA(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA start = {};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = in;
    start.hStdOutput = out;
    start.hStdError = out;
    std::string exe = winepath(PEAKGRID_CONSOLE_EXE);
    std::string line = "\"" + exe + "\" " + batch;
    PROCESS_INFORMATION p = {};
    DWORD status = 999;
    if (CreateProcessA(exe.c_str(), &line[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &start, &p)) {
        if (WaitForSingleObject(p.hProcess, 30000) == WAIT_OBJECT_0) GetExitCodeProcess(p.hProcess, &status);
        CloseHandle(p.hProcess);
        CloseHandle(p.hThread);
    }
    CloseHandle(in);
    CloseHandle(out);
    return status;
}

}  // namespace

// A class question in the value-entry dialog: the group line, then what is
// asked; Esc cancels the computation as the end of input does on the
// console, whatever text the value buffer still holds.
TEST_F(Interactive, EscAtAQuestionCancelsTheComputation) {
    open_main_window(dir);
    // Two peaks of sample 1: (sample, peak, -, length, height, area).
    write_table(dir.file("Chan1"), 2, 6, {1, 1, 0, 100.5f, 500, 2000, 1, 2, 0, 121, 300, 1500});
    std::vector<std::string> lines;
    std::string title = "unset";
    bool caption_hidden = false;
    on_next_dialog(compute_table(dir.file("Chan1"), {"1", "", "", "", "", "7"}));
    on_next_dialog([&](HWND v) {
        title = window_text(v);
        caption_hidden = !IsWindowVisible(GetDlgItem(v, IDC_VALUE_CAPTION));
        for (int k = 1; k <= 3; ++k) lines.push_back(dialog_item_text(v, IDC_VALUE_LINE(k)));
        SetDlgItemTextA(v, IDC_VALUE_EDIT, "10");  // typed, then Esc
        press(v, IDCANCEL);
    });
    on_next_dialog(answer(IDOK));
    std::strcpy(g_registry.valuebuffer, "10");  // as if left by an earlier answer
    SendMessageA(g_win.main, WM_COMMAND, MAKEWPARAM(CM_FIRSTOPTION + 1, 0), 0);
    EXPECT_EQ(lines, (std::vector<std::string>{"Group number 1", "Class width ", " "}));
    EXPECT_EQ(title, "");
    EXPECT_TRUE(caption_hidden);
    EXPECT_EQ(answered_boxes(), std::vector<std::string>{"Sorry: computation cancelled, no table written"});
    EXPECT_STREQ(g_registry.valuebuffer, "10");  // Esc leaves it as it was
    EXPECT_FALSE(fs::exists(dir.file("Chan1_tabtotSH")));
    EXPECT_FALSE(fs::exists(dir.file("Chan1_tabSH")));
    EXPECT_NE(pane_text().find("Computation cancelled: no output table written"), std::string::npos) << pane_text();
}

// Start-up opens the "-o" dialog before the batch file runs; an option that
// does not exist is refused with a notice, as on the console.
TEST_F(Interactive, StartupOptionOpensItsDialogFirst) {
    open_unregistered_main_window(dir);
    write_bytes(dir.file("export.txt"), read_bytes(example("export.txt")));
    write_bytes(dir.file("run.txt"), "First\n1\n1\n" + dir.file("export.txt") + "\n----------\n2\n");
    std::string title;
    bool batch_ran_before = true;
    on_next_dialog([&](HWND d) {
        title = window_text(d);
        batch_ran_before = fs::exists(dir.file("Chan1"));
        press(d, IDCANCEL);
    });
    BatchOutcome o = startup(("-o 1 -f " + dir.file("run.txt")).c_str());
    EXPECT_EQ(title, "Read Genescan file");
    EXPECT_FALSE(batch_ran_before);
    EXPECT_EQ(o.end, BatchEnd::StoppedEarly);
    EXPECT_TRUE(fs::exists(dir.file("Chan1")));

    open_unregistered_main_window(dir);
    on_next_dialog(answer(IDOK));
    startup("-o 3");
    EXPECT_EQ(answered_boxes(), std::vector<std::string>{"Sorry: there is no such option in this program"});
}

// The Overview's road: option 1 on the example export, then Compute table on
// its Chan1 with the questions answered as in examples/answers.txt (the
// number of groups typed in the dialog's row through the value entry).  The
// console program runs the same batch with the same answers in a folder of
// its own; every table and name file of both runs must be the same bytes.
TEST_F(Interactive, ComputeTableRunMatchesTheConsoleProgram) {
    fs::create_directories(dir.file("console"));
    for (const char* name : {"export.txt", "peaks.batch", "answers.txt"})
        write_bytes(dir.file(std::string("console\\") + name), read_bytes(example(name)));
    write_bytes(dir.file("console\\QOR4DIRP.txt"), dir.file("console"));
    DWORD status =
        run_console(dir.file("console\\peaks.batch"), dir.file("console\\answers.txt"), dir.file("console.out"));
    ASSERT_EQ(status, 0u) << read_bytes(dir.file("console.out"));

    open_main_window(dir);
    write_bytes(dir.file("export.txt"), read_bytes(example("export.txt")));
    on_next_dialog([&](HWND d) {
        SetDlgItemTextA(d, ROWID(IDC_ROW_VALUE, 1), dir.file("export.txt").c_str());
        press(d, IDOK);
    });
    SendMessageA(g_win.main, WM_COMMAND, MAKEWPARAM(CM_FIRSTOPTION, 0), 0);
    ASSERT_TRUE(fs::exists(dir.file("Chan1")));

    std::string rows, cols;
    on_next_dialog([&](HWND d) {
        g_chooser.answer = dir.file("Chan1");
        click(d, ROWID(IDC_ROW_SET, 1));
        rows = dialog_item_text(d, ROWID(IDC_ROW_COUNT1, 1));
        cols = dialog_item_text(d, ROWID(IDC_ROW_COUNT2, 1));
        click(d, ROWID(IDC_ROW_SET, 2));  // the number of groups, in the value entry
        for (int r = 3; r <= 7; ++r) SetDlgItemTextA(d, ROWID(IDC_ROW_VALUE, r), r <= 5 ? "1" : "0");
        press(d, IDOK);
    });
    on_next_dialog(type_value("3"));
    std::vector<std::string> asked;
    for (const char* width : {"5", "10", "20"}) on_next_dialog(type_value(width, &asked));
    on_next_dialog(answer(IDOK));  // the smallest and largest fragment length
    for (const char* limit : {"150", "300"}) on_next_dialog(type_value(limit, &asked));
    SendMessageA(g_win.main, WM_COMMAND, MAKEWPARAM(CM_FIRSTOPTION + 1, 0), 0);

    EXPECT_EQ(std::to_string(read_bytes(dir.file("Chan1")).size()),
              std::to_string(4 * std::stoi(rows) * std::stoi(cols) + 18));
    ASSERT_EQ(asked.size(), 5u * VALUE_LINES);
    EXPECT_EQ(asked[2 * VALUE_LINES], "Group number 3");
    EXPECT_EQ(asked[2 * VALUE_LINES + 1], "Class width ");
    EXPECT_EQ(asked[4 * VALUE_LINES], "Group number 2");
    EXPECT_EQ(asked[4 * VALUE_LINES + 1], "Upper limit ");
    ASSERT_EQ(answered_boxes().size(), 1u);
    std::string console_out = read_bytes(dir.file("console.out"));
    EXPECT_NE(console_out.find("Message: " + answered_boxes()[0]), std::string::npos) << answered_boxes()[0] << "\n"
                                                                                      << console_out;

    int compared = 0;
    for (const auto& entry : fs::directory_iterator(dir.file("console"))) {
        std::string name = entry.path().filename().string();
        if (name.rfind("Chan", 0) != 0 && name.rfind("SampleNames", 0) != 0) continue;
        EXPECT_EQ(read_bytes(dir.file(name)), read_bytes(entry.path().string())) << name;
        ++compared;
    }
    EXPECT_EQ(compared, 11);  // Chan1..4, two tables of Chan1, five name files
    EXPECT_TRUE(fs::exists(dir.file("Chan1_tabSH")));
    EXPECT_TRUE(fs::exists(dir.file("Chan1_tabtotSH")));
    std::string pane = pane_text();
    EXPECT_NE(pane.find("Group number : 3, class width = 20"), std::string::npos) << pane;
}
