// The parameter dialog and the value-entry dialog, driven in-process: rows,
// "Set" per type, the file choosers (answered by a stand-in) and OK/Cancel.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "frame/frame.h"
#include "frame/report.h"
#include "win32/winstate.h"
#include "framework/registry.h"
#include "win32/choosers.h"
#include "win32/resource.h"
#include "win32/gui_harness.h"
#include "win32/dialog_helpers.h"

namespace {

// The file choosers are answered by the stand-in unless a test restores
// the common dialogs.
class ParamDialog : public MainWindowTest {
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
    Choosers saved = g_choosers;
};

// The control's own visible style: the dialog itself may not be shown yet
// when a queued action runs on a busy machine.
bool shown(HWND dialog, int id) {
    HWND c = GetDlgItem(dialog, id);
    return (GetWindowLongA(c, GWL_STYLE) & WS_VISIBLE) && IsWindowEnabled(c);
}

}  // namespace

TEST_F(ParamDialog, ReadGenescanFileHasOneRow) {
    HWND seen = nullptr;
    on_next_dialog([&](HWND d) {
        seen = d;
        EXPECT_EQ(window_text(d), "Read Genescan file");
        EXPECT_EQ(g_win.lastdialog, d);
        EXPECT_EQ(dialog_item_text(d, ROWID(IDC_ROW_LABEL, 1)), "Input file");
        for (int column : {IDC_ROW_LABEL, IDC_ROW_VALUE, IDC_ROW_SET, IDC_ROW_COUNT1, IDC_ROW_COUNT2})
            EXPECT_TRUE(shown(d, ROWID(column, 1))) << column;
        for (int r = 2; r <= ROW_COUNT; ++r)
            for (int column : {IDC_ROW_LABEL, IDC_ROW_VALUE, IDC_ROW_SET, IDC_ROW_COUNT1, IDC_ROW_COUNT2})
                EXPECT_FALSE(IsWindowVisible(GetDlgItem(d, ROWID(column, r))) ||
                             IsWindowEnabled(GetDlgItem(d, ROWID(column, r))))
                    << r << " " << column;
        // "Set" on a text row: the open-file chooser for all files; the
        // path goes into the row, no counts.
        g_chooser.answer = "C:\\data\\export.txt";
        click(d, ROWID(IDC_ROW_SET, 1));
        EXPECT_EQ(g_chooser.calls, (std::vector<std::string>{"open"}));
        EXPECT_EQ(g_chooser.filters[0], std::string("All files (*.*)\0*.*\0\0", 21));
        EXPECT_EQ(dialog_item_text(d, ROWID(IDC_ROW_VALUE, 1)), "C:\\data\\export.txt");
        EXPECT_EQ(dialog_item_text(d, ROWID(IDC_ROW_COUNT1, 1)), " ");
        press(d, IDCANCEL);
    });
    std::strcpy(g_registry.ParamValues[1], "before");
    SendMessageA(g_win.main, WM_COMMAND, MAKEWPARAM(CM_FIRSTOPTION, 0), 0);
    ASSERT_NE(seen, nullptr);
    EXPECT_STREQ(g_registry.ParamValues[1], "before");  // Cancel changes nothing
    EXPECT_EQ(g_win.lastdialog, nullptr);               // a closed dialog is forgotten
    EXPECT_FALSE(g_report.published);
}

TEST_F(ParamDialog, ComputeTableRowsAndTheValueEntry) {
    const char* labels[] = {"Input file",
                            "Number of groups",
                            "Height (1) or Area (2) of peaks ",
                            "Sum (1) or Max (2) of peaks ",
                            "Row percentage transformation ",
                            "Max. number of peaks ",
                            "Start "};
    std::vector<std::string> lines;
    on_next_dialog([&](HWND d) {
        EXPECT_EQ(window_text(d), "Compute table");
        for (int r = 1; r <= 7; ++r) {
            EXPECT_EQ(dialog_item_text(d, ROWID(IDC_ROW_LABEL, r)), labels[r - 1]);
            EXPECT_TRUE(shown(d, ROWID(IDC_ROW_VALUE, r)));
        }
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(d, ROWID(IDC_ROW_VALUE, 8))));
        // Typing 2 and OK puts 2 into the row.
        on_next_dialog(type_value("2", &lines));
        click(d, ROWID(IDC_ROW_SET, 3));
        EXPECT_EQ(dialog_item_text(d, ROWID(IDC_ROW_VALUE, 3)), "2");
        // OK with an empty value, then Esc: the row keeps its value.
        on_next_dialog(type_value(""));
        click(d, ROWID(IDC_ROW_SET, 3));
        on_next_dialog([](HWND v) {
            SetDlgItemTextA(v, IDC_VALUE_EDIT, "9");
            press(v, IDCANCEL);
        });
        click(d, ROWID(IDC_ROW_SET, 3));
        EXPECT_EQ(dialog_item_text(d, ROWID(IDC_ROW_VALUE, 3)), "2");
        EXPECT_TRUE(g_chooser.calls.empty());
        SetDlgItemTextA(d, ROWID(IDC_ROW_VALUE, 1), "typed");
        press(d, IDCANCEL);
    });
    for (int k = 1; k <= 10; ++k) std::strcpy(g_registry.ParamValues[k], "old");
    SendMessageA(g_win.main, WM_COMMAND, MAKEWPARAM(CM_FIRSTOPTION + 1, 0), 0);
    EXPECT_EQ(lines, (std::vector<std::string>{"Height (1) or Area (2) of peaks ", "Default = Height ", " ", " ", " ",
                                               " ", " ", " ", " ", " ", " ", " "}));
    for (int k = 1; k <= 10; ++k) EXPECT_STREQ(g_registry.ParamValues[k], "old") << k;
    EXPECT_STREQ(g_registry.valuebuffer, "");  // the empty OK went through it
}

TEST_F(ParamDialog, BinaryTableRowShowsItsCounts) {
    write_table(dir.file("Table12x6"), 12, 6);
    write_bytes(dir.file("notatable"), "hello");
    std::string unexpected;
    on_next_dialog([&](HWND d) {
        // A cancelled chooser leaves the row as it was.
        SetDlgItemTextA(d, ROWID(IDC_ROW_VALUE, 1), "earlier");
        g_chooser.answer = "";
        click(d, ROWID(IDC_ROW_SET, 1));
        EXPECT_EQ(dialog_item_text(d, ROWID(IDC_ROW_VALUE, 1)), "earlier");

        g_chooser.answer = dir.file("Table12x6");
        click(d, ROWID(IDC_ROW_SET, 1));
        EXPECT_EQ(g_chooser.filters.back(), std::string("All files (*.*)\0*.*\0\0", 21));
        EXPECT_EQ(dialog_item_text(d, ROWID(IDC_ROW_VALUE, 1)), dir.file("Table12x6"));
        EXPECT_EQ(dialog_item_text(d, ROWID(IDC_ROW_COUNT1, 1)), "12");
        EXPECT_EQ(dialog_item_text(d, ROWID(IDC_ROW_COUNT2, 1)), "6");

        // A file without a table's trailer is said at once.
        on_next_dialog(answer(IDOK));
        g_chooser.answer = dir.file("notatable");
        click(d, ROWID(IDC_ROW_SET, 1));
        EXPECT_EQ(dialog_item_text(d, ROWID(IDC_ROW_COUNT1, 1)), "0");
        press(d, IDCANCEL);
    });
    SendMessageA(g_win.main, WM_COMMAND, MAKEWPARAM(CM_FIRSTOPTION + 1, 0), 0);
    EXPECT_EQ(answered_boxes(), std::vector<std::string>{"Sorry: invalid binary file"});
    EXPECT_EQ(g_chooser.calls.size(), 3u);
}

TEST_F(ParamDialog, HelpMessageComesBeforeTheChooser) {
    SendMessageA(g_win.main, WM_COMMAND, MAKEWPARAM(CM_HELPMESSAGES, 0), 0);
    std::string caption;
    std::size_t boxes_before_chooser = 99;
    g_chooser.on_call = [&] { boxes_before_chooser = answered_boxes().size(); };
    on_next_dialog([&](HWND d) {
        on_next_dialog([&](HWND box) {
            caption = window_text(box);
            answer(IDOK)(box);
        });
        g_chooser.answer = "";
        click(d, ROWID(IDC_ROW_SET, 1));
        // No help message before the value entry: it shows the label itself.
        on_next_dialog(type_value("3"));
        click(d, ROWID(IDC_ROW_SET, 2));
        press(d, IDCANCEL);
    });
    SendMessageA(g_win.main, WM_COMMAND, MAKEWPARAM(CM_FIRSTOPTION + 1, 0), 0);
    EXPECT_EQ(caption, "Message:");
    EXPECT_EQ(answered_boxes(), std::vector<std::string>{"Input file\n"});
    EXPECT_EQ(boxes_before_chooser, 1u);
}

// The filters follow each row's extension; a new-file row starts from the
// pane document's name and keeps the filter built last.
TEST_F(ParamDialog, ChoosersOfEachType) {
    g_registry.table.param_count[1] = 4;
    g_registry.table.param_spec[1] = "Table\n[bin,x,]Export\n[text,dat,]Output\n[new,,]Picture\n[pict,,]";
    std::strcpy(g_doc.path, "C:\\reports\\l-Peakgrid.txt");
    std::string preset;
    on_next_dialog([&](HWND d) {
        g_chooser.answer = dir.file("Chan1.bin");  // has an extension: refused
        click(d, ROWID(IDC_ROW_SET, 1));
        EXPECT_EQ(g_chooser.filters.back(), std::string("Files without extension (*)\0*\0\0", 31));
        EXPECT_EQ(dialog_item_text(d, ROWID(IDC_ROW_VALUE, 1)), "");

        g_chooser.answer = "C:\\in\\peaks.dat";
        click(d, ROWID(IDC_ROW_SET, 2));
        EXPECT_EQ(g_chooser.filters.back(), std::string("Files with dat extension (*.dat)\0*.dat\0\0", 40));
        EXPECT_EQ(dialog_item_text(d, ROWID(IDC_ROW_VALUE, 2)), "C:\\in\\peaks.dat");

        g_chooser.on_call = [&] { preset = g_win.filebuffer; };
        g_chooser.answer = "C:\\out\\new.txt";
        click(d, ROWID(IDC_ROW_SET, 3));
        EXPECT_EQ(g_chooser.calls.back(), "save");
        EXPECT_EQ(g_chooser.filters.back(), std::string("Files with dat extension (*.dat)\0*.dat\0\0", 40));
        EXPECT_EQ(dialog_item_text(d, ROWID(IDC_ROW_VALUE, 3)), "C:\\out\\new.txt");

        click(d, ROWID(IDC_ROW_SET, 4));  // "pict": nothing
        EXPECT_EQ(g_chooser.calls.size(), 3u);
        press(d, IDCANCEL);
    });
    SendMessageA(g_win.main, WM_COMMAND, MAKEWPARAM(CM_FIRSTOPTION, 0), 0);
    EXPECT_EQ(preset, "C:\\reports\\l-Peakgrid.txt");
}

// OK closes the dialog, writes the banner, runs the option and shows the
// report in the pane.
TEST_F(ParamDialog, OkRunsTheOptionAndShowsTheReport) {
    write_bytes(dir.file("export.txt"), read_bytes(example("export.txt")));
    on_next_dialog([&](HWND d) {
        SetDlgItemTextA(d, ROWID(IDC_ROW_VALUE, 1), dir.file("export.txt").c_str());
        press(d, IDOK);
    });
    std::strcpy(g_registry.ParamValues[2], "kept");
    SendMessageA(g_win.main, WM_COMMAND, MAKEWPARAM(CM_FIRSTOPTION, 0), 0);
    EXPECT_EQ(std::string(g_registry.ParamValues[1]), dir.file("export.txt"));
    EXPECT_STREQ(g_registry.ParamValues[2], "kept");
    std::string pane = pane_text();
    EXPECT_NE(pane.find("Read Genescan file"), std::string::npos) << pane;
    EXPECT_NE(pane.find("Input file: " + dir.file("export.txt")), std::string::npos) << pane;
    EXPECT_GT(read_bytes(dir.file("Chan1")).size(), 18u);
}

// The real open-file dialog, answered through its file-name box.
TEST_F(ParamDialog, RealOpenFileChooser) {
    g_choosers = saved;
    write_table(dir.file("Table2x3"), 2, 3);
    on_next_dialog([&](HWND d) {
        on_next_dialog([&](HWND chooser) {
            SetDlgItemTextA(chooser, 0x47C, dir.file("Table2x3").c_str());
            press(chooser, IDOK);
        });
        click(d, ROWID(IDC_ROW_SET, 1));
        EXPECT_EQ(dialog_item_text(d, ROWID(IDC_ROW_VALUE, 1)), dir.file("Table2x3"));
        EXPECT_EQ(dialog_item_text(d, ROWID(IDC_ROW_COUNT1, 1)), "2");
        EXPECT_EQ(dialog_item_text(d, ROWID(IDC_ROW_COUNT2, 1)), "3");
        press(d, IDCANCEL);
    });
    SendMessageA(g_win.main, WM_COMMAND, MAKEWPARAM(CM_FIRSTOPTION + 1, 0), 0);
}

// Every label fits its column and ends before its "Set"; Tab goes through
// the rows in order, then OK and Cancel; Enter in a row is OK, Esc Cancel.
TEST_F(ParamDialog, LayoutAndKeyboard) {
    std::vector<int> order;
    on_next_dialog([&](HWND d) {
        HDC dc = GetDC(d);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(d, WM_GETFONT, 0, 0)));
        RECT client;
        GetClientRect(d, &client);
        MapWindowPoints(d, nullptr, reinterpret_cast<POINT*>(&client), 2);
        for (int r = 1; r <= 7; ++r) {
            std::string text = dialog_item_text(d, ROWID(IDC_ROW_LABEL, r));
            SIZE size = {};
            GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
            RECT label, set, count;
            GetWindowRect(GetDlgItem(d, ROWID(IDC_ROW_LABEL, r)), &label);
            GetWindowRect(GetDlgItem(d, ROWID(IDC_ROW_SET, r)), &set);
            GetWindowRect(GetDlgItem(d, ROWID(IDC_ROW_COUNT2, r)), &count);
            EXPECT_GE(label.right - label.left, size.cx) << text;
            EXPECT_LE(label.right, set.left) << text;
            EXPECT_LE(count.right, client.right) << r;
        }
        SelectObject(dc, old);
        ReleaseDC(d, dc);

        HWND focus = GetFocus();
        for (int i = 0; i < 16; ++i) {
            order.push_back(GetDlgCtrlID(focus));
            focus = GetNextDlgTabItem(d, focus, FALSE);
        }
        SetDlgItemTextA(d, ROWID(IDC_ROW_VALUE, 2), "4");
        HWND value = GetDlgItem(d, ROWID(IDC_ROW_VALUE, 2));
        SetFocus(value);
        PostMessageA(value, WM_KEYDOWN, VK_RETURN, 0);
    });
    SendMessageA(g_win.main, WM_COMMAND, MAKEWPARAM(CM_FIRSTOPTION + 1, 0), 0);
    std::vector<int> expected;
    for (int r = 1; r <= 7; ++r) {
        expected.push_back(ROWID(IDC_ROW_VALUE, r));
        expected.push_back(ROWID(IDC_ROW_SET, r));
    }
    expected.push_back(IDOK);
    expected.push_back(IDCANCEL);
    EXPECT_EQ(order, expected);
    EXPECT_STREQ(g_registry.ParamValues[2], "4");  // Enter was OK (nothing runs without a file)

    on_next_dialog([&](HWND d) {
        SetDlgItemTextA(d, ROWID(IDC_ROW_VALUE, 1), "typed");
        HWND value = GetDlgItem(d, ROWID(IDC_ROW_VALUE, 1));
        SetFocus(value);
        PostMessageA(value, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    SendMessageA(g_win.main, WM_COMMAND, MAKEWPARAM(CM_FIRSTOPTION, 0), 0);
    EXPECT_STREQ(g_registry.ParamValues[1], "");  // Esc was Cancel
}

namespace {

struct Control {
    int id;
    const char* kind;  // window class
    int x, y, w, h;    // dialog units
    const char* text;
};

// Each control stands where its template puts it, is of its kind and
// shows its text; the client area is 300 x 180 dialog units.
void expect_template(HWND d, const std::vector<Control>& controls) {
    RECT size = {0, 0, 300, 180}, client;
    MapDialogRect(d, &size);
    GetClientRect(d, &client);
    EXPECT_TRUE(EqualRect(&size, &client));
    for (const Control& c : controls) {
        HWND w = GetDlgItem(d, c.id);
        ASSERT_NE(w, nullptr) << c.id;
        char kind[32] = {};
        GetClassNameA(w, kind, sizeof kind);
        EXPECT_STRCASEEQ(kind, c.kind) << c.id;
        // Position and size are converted one by one, as the dialog does.
        RECT want = {c.x, c.y, c.w, c.h}, got;
        MapDialogRect(d, &want);
        GetWindowRect(w, &got);
        MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&got), 2);
        EXPECT_EQ(got.left, want.left) << c.id;
        EXPECT_EQ(got.top, want.top) << c.id;
        EXPECT_EQ(got.right - got.left, want.right) << c.id;
        EXPECT_EQ(got.bottom - got.top, want.bottom) << c.id;
        EXPECT_EQ(window_text(w), c.text) << c.id;
    }
}

}  // namespace

TEST_F(ParamDialog, TemplatesAsDefined) {
    on_next_dialog([&](HWND d) {
        std::vector<Control> controls = {{IDOK, "Button", 200, 160, 40, 15, "Ok"},
                                         {IDCANCEL, "Button", 250, 160, 40, 15, "Cancel"}};
        for (int r : {1, 2, 10}) {
            int y = 10 + 14 * (r - 1);
            controls.push_back({ROWID(IDC_ROW_LABEL, r), "Static", 10, y, 100, 8, r == 1 ? "Input file" : " "});
            controls.push_back({ROWID(IDC_ROW_COUNT1, r), "Static", 250, y, 25, 12, " "});
            controls.push_back({ROWID(IDC_ROW_COUNT2, r), "Static", 275, y, 25, 12, " "});
            controls.push_back({ROWID(IDC_ROW_VALUE, r), "Edit", 150, y - 2, 100, 12, ""});
            controls.push_back({ROWID(IDC_ROW_SET, r), "Button", 110, y - 2, 30, 12, "Set"});
        }
        expect_template(d, controls);
        HWND edit = GetDlgItem(d, ROWID(IDC_ROW_VALUE, 1));
        LONG style = GetWindowLongA(edit, GWL_STYLE);
        EXPECT_EQ(style & (ES_AUTOHSCROLL | WS_TABSTOP), ES_AUTOHSCROLL | WS_TABSTOP);
        // The dialog draws an edit's border as a sunken edge.
        EXPECT_TRUE((style & WS_BORDER) || (GetWindowLongA(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE));
        EXPECT_EQ(GetWindowLongA(GetDlgItem(d, IDOK), GWL_STYLE) & BS_DEFPUSHBUTTON, BS_DEFPUSHBUTTON);
        EXPECT_EQ(GetWindowLongA(d, GWL_STYLE) & (WS_CAPTION | WS_SYSMENU | DS_MODALFRAME), WS_CAPTION | DS_MODALFRAME);

        on_next_dialog([&](HWND v) {
            std::vector<Control> lines = {{IDC_VALUE_CAPTION, "Static", 10, 10, 100, 8, "Type the value"},
                                          {IDC_VALUE_EDIT, "Edit", 210, 8, 80, 12, ""},
                                          {IDOK, "Button", 250, 160, 40, 15, "Ok"},
                                          {IDC_VALUE_LINE(1), "Static", 10, 10, 200, 8, "Input file"},
                                          {IDC_VALUE_LINE(2), "Static", 10, 24, 280, 8, " "},
                                          {IDC_VALUE_LINE(10), "Static", 10, 136, 280, 8, " "},
                                          {IDC_VALUE_LINE(11), "Static", 10, 150, 240, 8, " "},
                                          {IDC_VALUE_LINE(12), "Static", 10, 164, 240, 8, " "}};
            expect_template(v, lines);
            EXPECT_EQ(window_text(v), "");
            EXPECT_EQ(GetDlgItem(v, IDCANCEL), nullptr);
            press(v, IDCANCEL);
        });
        click(d, ROWID(IDC_ROW_SET, 1));
        press(d, IDCANCEL);
    });
    g_registry.table.param_spec[1] = "Input file\n[int,,]";  // "Set" opens the value entry
    SendMessageA(g_win.main, WM_COMMAND, MAKEWPARAM(CM_FIRSTOPTION, 0), 0);
}

// After "Set" (as a mouse click leaves it: "Set" focused and default) the
// row's value field has the focus back, OK is the default again, and a long
// path shows its end, the caret after the file name.
TEST_F(ParamDialog, SetGivesTheFocusBackToTheValue) {
    std::string longpath = dir.file("Chan1_" + std::string(80, 'x'));
    write_table(longpath, 2, 3);
    struct Case {
        int row;
        std::string chosen;  // the chooser's answer; "" = cancelled
        const char* typed;   // the value entry's answer, for row 2
        std::string shown;
    } cases[] = {
        {1, longpath, nullptr, longpath},
        {1, "", nullptr, longpath},
        {2, "", "3", "3"},
    };
    on_next_dialog([&](HWND d) {
        for (const Case& c : cases) {
            HWND set = GetDlgItem(d, ROWID(IDC_ROW_SET, c.row)), value = GetDlgItem(d, ROWID(IDC_ROW_VALUE, c.row));
            SendMessageA(d, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(set), TRUE);
            g_chooser.answer = c.chosen;
            if (c.typed) on_next_dialog(type_value(c.typed));
            click(d, ROWID(IDC_ROW_SET, c.row));
            EXPECT_EQ(GetFocus(), value) << c.row;
            EXPECT_EQ(GetWindowLongA(GetDlgItem(d, IDOK), GWL_STYLE) & 0xF, BS_DEFPUSHBUTTON) << c.row;
            EXPECT_EQ(dialog_item_text(d, ROWID(IDC_ROW_VALUE, c.row)), c.shown);
            DWORD from = 0, to = 0;
            SendMessageA(value, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
            EXPECT_EQ(from, c.shown.size()) << c.row;
            EXPECT_EQ(to, c.shown.size()) << c.row;
            // A single-line edit tells its first visible character.
            LRESULT first = SendMessageA(value, EM_GETFIRSTVISIBLELINE, 0, 0);
            if (c.shown.size() > 40) {
                EXPECT_GT(first, 0) << c.row;
            }
        }
        press(d, IDCANCEL);
    });
    SendMessageA(g_win.main, WM_COMMAND, MAKEWPARAM(CM_FIRSTOPTION + 1, 0), 0);
}

// OK with a mistyped input file name says so and keeps the dialog open for
// another name, the program running on; the right name then runs.
TEST_F(ParamDialog, OkRefusesAMissingInputFileAndStaysOpen) {
    write_bytes(dir.file("export.txt"), read_bytes(example("export.txt")));
    bool stayed = false;
    on_next_dialog([&](HWND d) {
        SetDlgItemTextA(d, ROWID(IDC_ROW_VALUE, 1), dir.file("exprot.txt").c_str());
        on_next_dialog(answer(IDOK));
        click(d, IDOK);
        stayed = IsWindow(d) && GetFocus() == GetDlgItem(d, ROWID(IDC_ROW_VALUE, 1));
        SetDlgItemTextA(d, ROWID(IDC_ROW_VALUE, 1), dir.file("export.txt").c_str());
        click(d, IDOK);
    });
    SendMessageA(g_win.main, WM_COMMAND, MAKEWPARAM(CM_FIRSTOPTION, 0), 0);
    EXPECT_EQ(answered_boxes(),
              std::vector<std::string>{"Sorry: no such file: " + dir.file("exprot.txt") + " (Input file)"});
    EXPECT_TRUE(stayed);
    ASSERT_TRUE(IsWindow(g_win.main));
    EXPECT_FALSE(g_frame.closing);
    EXPECT_TRUE(g_report.published);
    EXPECT_EQ(std::string(g_registry.ParamValues[1]), dir.file("export.txt"));
}
