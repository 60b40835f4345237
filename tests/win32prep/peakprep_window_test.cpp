// The Peakprep program's windows under Wine: its menu, title and About box,
// the ten-row "Filter peaks" dialog, a whole import run from the dialog and
// values refused before anything runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "frame/frame.h"
#include "frame/report.h"
#include "framework/registry.h"
#include "win32/choosers.h"
#include "win32/dialog_helpers.h"
#include "win32/gui_harness.h"
#include "win32/resource.h"
#include "win32/winstate.h"

namespace {

// A small GeneMapper table of two samples: a size-standard peak (skipped),
// the other dyes out of order (regrouped by sample and dye).
const char kTable[] =
    "Dye/Sample Peak\tSample File Name\tSize\tHeight\tArea\tData Point\r\n"
    "\"B,3\"\tS1_A01.fsa\t225.48\t7799\t102925\t4936\r\n"
    "\"Y,2\"\tS1_A01.fsa\t200.85\t5078\t50704\t4620\r\n"
    "\"B,4\"\tS1_A01.fsa\t279.2\t126\t956\t5616\r\n"
    "\"R,1 *\"\tS1_A01.fsa\t112.0\t1026\t5686\t1775\r\n"
    "\"G,1\"\tS2_A02.fsa\t150.5\t300\t900\t3000\r\n";
// What "Read Genescan file" reads from it, in text mode (CR LF).
const char kImported[] =
    "Dye/Sample Peak\tSample File Name\tSample Name\tDye\tSample Peak\tData Point\tSize\tHeight\tArea\r\n"
    "B,3\tS1_A01.fsa\tS1_A01\t1\t3\t4936\t225.48\t7799\t102925\r\n"
    "B,4\tS1_A01.fsa\tS1_A01\t1\t4\t5616\t279.2\t126\t956\r\n"
    "Y,2\tS1_A01.fsa\tS1_A01\t3\t2\t4620\t200.85\t5078\t50704\r\n"
    "G,1\tS2_A02.fsa\tS2_A02\t2\t1\t3000\t150.5\t300\t900\r\n";

const char* const kFilterLabels[] = {
    "Input file",
    "Min. size (bp) ",
    "Max. size (bp) ",
    "Min. height (RFU) ",
    "Relative threshold (%) ",
    "Relative and statistical filters on Height (1) or Area (2) ",
    "Statistical filter k ",
    "Statistical filter pooled (1) or per sample (2) ",
    "Merge peaks closer than (bp) ",
    "Max. span of a merged peak (bp) ",
};

// The file choosers are answered by a stand-in (no test here needs them to
// open, but a stray "Set" must not wait on a real dialog).
class PeakprepWindow : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        g_chooser = ChooserStandIn();
        g_choosers = {standin_open, standin_save};
    }
    void TearDown() override {
        g_choosers = saved;
        MainWindowTest::TearDown();
    }
    // Opens option n's dialog; act fills it and closes it.
    void open_option(int n, DialogAction act) {
        on_next_dialog(std::move(act));
        SendMessageA(g_win.main, WM_COMMAND, MAKEWPARAM(CM_FIRSTOPTION + n - 1, 0), 0);
    }
    Choosers saved = g_choosers;
};

// The files of a folder but the report stream's own temporary file.
std::set<std::string> files_in(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        std::string name = e.path().filename().string();
        if (name.rfind("QOR.temp-", 0) != 0) names.insert(name);
    }
    return names;
}

std::string loaded_string(UINT id) {
    char text[256] = {};
    LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
    return text;
}

RECT screen_rect(HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    return r;
}

bool inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

}  // namespace

TEST_F(PeakprepWindow, MenuTitleAndAboutBoxArePeakpreps) {
    HMENU options = GetSubMenu(GetMenu(g_win.main), 2);
    std::vector<std::string> titles;
    for (int i = 0; i < GetMenuItemCount(options); ++i) {
        char text[128] = {};
        if (GetMenuStringA(options, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION) > 0) {
            titles.push_back(text);
            EXPECT_EQ(GetMenuItemID(options, i), static_cast<UINT>(CM_FIRSTOPTION + titles.size() - 1)) << text;
        }
    }
    EXPECT_EQ(titles,
              (std::vector<std::string>{"Import peak table", "Filter peaks", "Profile summary", "Export table",
                                        "Bin by clusters", "Shifted frames", "Replicate consensus", "Flag pull-up"}));
    EXPECT_EQ(loaded_string(IDS_CLASSNAME), "Orvendale");
    EXPECT_EQ(loaded_string(IDS_TITLE), "Peakprep");
    EXPECT_EQ(window_text(g_win.main), "Peakprep");
    EXPECT_EQ(g_frame.module_word, "Orvendale");

    std::string credits;
    SIZE needed = {};
    RECT room = {};
    on_next_dialog([&](HWND about) {
        credits = dialog_item_text(about, IDC_ABOUT_CREDITS);
        HWND line = GetDlgItem(about, IDC_ABOUT_CREDITS);
        GetClientRect(line, &room);
        HDC dc = GetDC(line);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(about, WM_GETFONT, 0, 0)));
        GetTextExtentPoint32A(dc, credits.c_str(), static_cast<int>(credits.size()), &needed);
        SelectObject(dc, old);
        ReleaseDC(line, dc);
        press(about, IDOK);
    });
    SendMessageA(g_win.main, WM_COMMAND, MAKEWPARAM(CM_ABOUT, 0), 0);
    EXPECT_EQ(credits, "Peakprep " PEAKGRID_VERSION ": peak tables cleaned up");
    // The credits line, version included, fits its one line: a longer text
    // would wrap and lose its end.
    EXPECT_LE(needed.cx, room.right);
}

// Ten rows: each label is shown whole in its column, and every row's label,
// value and "Set" lie inside the client area, one row below the other; the
// dialog itself fits the screen.
TEST_F(PeakprepWindow, FilterDialogFitsItsTenRows) {
    open_option(2, [&](HWND d) {
        EXPECT_EQ(window_text(d), "Filter peaks");
        RECT client;
        GetClientRect(d, &client);
        MapWindowPoints(d, nullptr, reinterpret_cast<POINT*>(&client), 2);
        // The dialog fits the screen (where it opens follows the main window,
        // which the system cascades from one program start to the next).
        RECT whole = screen_rect(d);
        EXPECT_LE(whole.right - whole.left, GetSystemMetrics(SM_CXSCREEN));
        EXPECT_LE(whole.bottom - whole.top, GetSystemMetrics(SM_CYSCREEN));
        HDC dc = GetDC(d);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(d, WM_GETFONT, 0, 0)));
        int previous_bottom = client.top;
        for (int r = 1; r <= 10; ++r) {
            SCOPED_TRACE(r);
            std::string text = dialog_item_text(d, ROWID(IDC_ROW_LABEL, r));
            EXPECT_EQ(text, kFilterLabels[r - 1]);
            SIZE size = {};
            GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
            RECT label = screen_rect(GetDlgItem(d, ROWID(IDC_ROW_LABEL, r)));
            RECT value = screen_rect(GetDlgItem(d, ROWID(IDC_ROW_VALUE, r)));
            RECT set = screen_rect(GetDlgItem(d, ROWID(IDC_ROW_SET, r)));
            EXPECT_GE(label.right - label.left, size.cx);
            EXPECT_GE(label.bottom - label.top, size.cy);
            EXPECT_LE(label.right, set.left);
            EXPECT_LE(set.right, value.left);
            int top = client.bottom, bottom = client.top;
            for (const RECT& c : {label, value, set}) {
                EXPECT_TRUE(inside(c, client));
                // The control's own style: the dialog may not be on screen yet.
                EXPECT_TRUE(GetWindowLongA(GetDlgItem(d, ROWID(IDC_ROW_VALUE, r)), GWL_STYLE) & WS_VISIBLE);
                top = std::min(top, static_cast<int>(c.top));
                bottom = std::max(bottom, static_cast<int>(c.bottom));
            }
            EXPECT_GE(top, previous_bottom);
            previous_bottom = bottom;
        }
        for (int id : {IDOK, IDCANCEL}) {
            RECT button = screen_rect(GetDlgItem(d, id));
            EXPECT_TRUE(inside(button, client)) << id;
            EXPECT_GE(button.top, previous_bottom) << id;
        }
        SelectObject(dc, old);
        ReleaseDC(d, dc);
        press(d, IDCANCEL);
    });
}

// "Import peak table" from its dialog: <base>.gs.txt beside the table, and
// the report in the pane.
TEST_F(PeakprepWindow, ImportRunFromTheDialog) {
    write_bytes(dir.file("run1.txt"), kTable);
    open_option(1, [&](HWND d) {
        EXPECT_EQ(window_text(d), "Import peak table");
        SetDlgItemTextA(d, ROWID(IDC_ROW_VALUE, 1), dir.file("run1.txt").c_str());
        press(d, IDOK);
    });
    EXPECT_EQ(read_bytes(dir.file("run1.gs.txt")), kImported);
    EXPECT_TRUE(g_report.published);
    // Windows takes either separator; the report may join the output's
    // folder and name with '/'.
    std::string pane = pane_text();
    for (char& c : pane)
        if (c == '/') c = '\\';
    for (const std::string& line :
         {std::string("Import peak table"), "Peakprep: importing a peak table\nInput file: " + dir.file("run1.txt"),
          dir.file("run1.txt") + ": GeneMapper table",
          "5 data lines read; 4 peaks of 2 samples written to " + dir.file("run1.gs.txt"),
          std::string("skipped 1 size-standard rows"), "Output file : " + dir.file("run1.gs.txt")})
        EXPECT_NE(pane.find(line), std::string::npos) << line << "\n--- pane:\n" << pane;
}

// A value out of range is refused with a box naming the parameter; nothing
// runs: no file is written, no report is published.
TEST_F(PeakprepWindow, ValuesOutOfRangeRunNothing) {
    write_bytes(dir.file("run1.txt"), kTable);
    write_table(dir.file("Chan1"), 3, 4);
    struct Case {
        int option;
        const char* input;
        int row;
        const char* value;
        const char* box;
    } cases[] = {
        {2, "Chan1", 5, "150", "Sorry: Relative threshold (%) must be at most 100"},
        {2, "Chan1", 2, "-1", "Sorry: Min. size (bp) must be at least 0"},
        {2, "Chan1", 8, "3", "Sorry: Statistical filter pooled (1) or per sample (2) must be 1 to 2"},
        {1, "run1.txt", 2, "3", "Sorry: Area in points (1) or in bp (2) must be 1 to 2"},
        {3, "Chan1", 2, "-0.5", "Sorry: Presence threshold must be at least 0"},
        {4, "Chan1", 2, "4", "Sorry: CSV (1), TSV (2) or SVG heat map (3) must be 1 to 3"},
    };
    const std::set<std::string> before = files_in(dir.path);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box);
        answered_boxes().clear();
        open_option(c.option, [&](HWND d) {
            for (int r = 2; r <= ROW_COUNT; ++r) SetDlgItemTextA(d, ROWID(IDC_ROW_VALUE, r), "");
            SetDlgItemTextA(d, ROWID(IDC_ROW_VALUE, 1), dir.file(c.input).c_str());
            SetDlgItemTextA(d, ROWID(IDC_ROW_VALUE, c.row), c.value);
            on_next_dialog(answer(IDOK));
            press(d, IDOK);
            press(d, IDCANCEL);  // the refusal keeps the dialog open
        });
        EXPECT_EQ(answered_boxes(), std::vector<std::string>{c.box});
        EXPECT_FALSE(g_report.published);
        EXPECT_EQ(pane_text(), "");
        EXPECT_EQ(files_in(dir.path), before);
        EXPECT_TRUE(IsWindow(g_win.main));
        EXPECT_FALSE(g_frame.closing);
    }
}

// A refused run's banner must not reach the next report: the report of the
// import that follows would otherwise say "Filter peaks" ran.
TEST_F(PeakprepWindow, RefusedRunLeavesNoBannerInTheNextReport) {
    write_bytes(dir.file("run1.txt"), kTable);
    write_table(dir.file("Chan1"), 3, 4);
    open_option(2, [&](HWND d) {
        SetDlgItemTextA(d, ROWID(IDC_ROW_VALUE, 1), dir.file("Chan1").c_str());
        SetDlgItemTextA(d, ROWID(IDC_ROW_VALUE, 5), "150");
        on_next_dialog(answer(IDOK));
        press(d, IDOK);
        press(d, IDCANCEL);  // the refusal keeps the dialog open
    });
    open_option(1, [&](HWND d) {
        SetDlgItemTextA(d, ROWID(IDC_ROW_VALUE, 1), dir.file("run1.txt").c_str());
        press(d, IDOK);
    });
    std::string pane = pane_text();
    EXPECT_NE(pane.find("Orvendale: Import peak table"), std::string::npos) << pane;
    EXPECT_EQ(pane.find("Orvendale: Filter peaks"), std::string::npos) << pane;
}
