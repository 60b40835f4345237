// The main window, its menus and pane, driven in-process.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/platform.h"
#include "frame/frame.h"
#include "frame/report.h"
#include "win32/mainwindow.h"
#include "win32/pane.h"
#include "win32/winstate.h"
#include "framework/registry.h"
#include "win32/resource.h"
#include "win32/gui_harness.h"

namespace {

using MainWindow = MainWindowTest;

struct Item {
    std::string text;  // "-" for a separator
    UINT id;
};

std::vector<Item> items(HMENU menu) {
    std::vector<Item> out;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[128] = {};
        UINT id = GetMenuItemID(menu, i);
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE;
        GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
        if (info.fType & MFT_SEPARATOR) {
            out.push_back({"-", 0});
        } else {
            GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            out.push_back({text, id});
        }
    }
    return out;
}

bool grayed(HMENU menu, UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0; }

}  // namespace

TEST_F(MainWindow, MenuBarItemsAndIdentifiers) {
    HMENU bar = GetMenu(g_win.main);
    ASSERT_EQ(GetMenuItemCount(bar), 4);
    const std::vector<std::pair<std::string, std::vector<Item>>> expected = {
        {"&File",
         {{"Display help messages", CM_HELPMESSAGES},
          {"-", 0},
          {"Change default folder", CM_DEFAULTFOLDER},
          {"-", 0},
          {"E&xit\tCtrl+Q", CM_EXIT}}},
        {"&Edit",
         {{"&Undo\tCtrl+Z", CM_UNDO},
          {"-", 0},
          {"Cu&t\tCtrl+X", CM_CUT},
          {"&Copy\tCtrl+C", CM_COPY},
          {"&Paste\tCtrl+V", CM_PASTE},
          {"&Delete\tDelete", CM_DELETE},
          {"-", 0},
          {"Select &All\tCtrl+A", CM_SELECTALL}}},
        {"&Options", {{"-", 0}, {"Read Genescan file", 1301}, {"Compute table", 1302}}},
        {"&?", {{"&Help\tCtrl+?", CM_HELP}, {"-", 0}, {"&About QOR-4...", CM_ABOUT}}},
    };
    for (int p = 0; p < 4; ++p) {
        char title[32] = {};
        GetMenuStringA(bar, static_cast<UINT>(p), title, sizeof title, MF_BYPOSITION);
        EXPECT_EQ(title, expected[static_cast<std::size_t>(p)].first);
        std::vector<Item> got = items(GetSubMenu(bar, p));
        const std::vector<Item>& want = expected[static_cast<std::size_t>(p)].second;
        ASSERT_EQ(got.size(), want.size()) << title;
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].text, want[i].text);
            EXPECT_EQ(got[i].id, want[i].id) << got[i].text;
        }
    }
    EXPECT_EQ(window_text(g_win.main), "Orvendale");
    EXPECT_EQ(g_frame.module_word, "Orvendale");
}

TEST_F(MainWindow, EditItemsFollowThePane) {
    HMENU edit = GetSubMenu(GetMenu(g_win.main), 1);
    SendMessageA(g_win.main, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(edit), MAKELPARAM(1, 0));
    for (UINT id : {CM_CUT, CM_COPY, CM_DELETE, CM_SELECTALL}) EXPECT_TRUE(grayed(edit, id)) << id;

    SetWindowTextA(g_win.pane, "some report text");
    SendMessageA(g_win.pane, EM_SETSEL, 0, 4);
    SendMessageA(g_win.main, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(edit), MAKELPARAM(1, 0));
    for (UINT id : {CM_CUT, CM_COPY, CM_DELETE, CM_SELECTALL}) EXPECT_FALSE(grayed(edit, id)) << id;

    SendMessageA(g_win.pane, EM_SETSEL, 2, 2);  // text but no selection
    SendMessageA(g_win.main, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(edit), MAKELPARAM(1, 0));
    for (UINT id : {CM_CUT, CM_COPY, CM_DELETE}) EXPECT_TRUE(grayed(edit, id)) << id;
    EXPECT_FALSE(grayed(edit, CM_SELECTALL));

    // Select All and Delete reach the pane through the commands.
    SendMessageA(g_win.main, WM_COMMAND, MAKEWPARAM(CM_SELECTALL, 1), 0);
    SendMessageA(g_win.main, WM_COMMAND, MAKEWPARAM(CM_DELETE, 0), 0);
    EXPECT_EQ(pane_text(), "");
}

// The text stands 4 pixels inside the pane, whatever came before: sizes,
// font changes, reports published (each applies the font again).
TEST_F(MainWindow, PaneKeepsItsMarginAcrossResizesAndFontChanges) {
    for (SIZE s : {SIZE{400, 300}, SIZE{640, 200}}) {
        SendMessageA(g_win.main, WM_SIZE, SIZE_RESTORED, MAKELPARAM(s.cx, s.cy));
        for (int change = 0; change < 3; ++change) applypanefont();
        RECT pane, text;
        GetWindowRect(g_win.pane, &pane);
        EXPECT_EQ(pane.right - pane.left, s.cx);
        EXPECT_EQ(pane.bottom - pane.top, s.cy);
        SendMessageA(g_win.pane, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
        EXPECT_EQ(text.left, 4);
        EXPECT_EQ(text.top, 4);
        RECT client;
        GetClientRect(g_win.pane, &client);
        EXPECT_EQ(text.right, client.right - 4);
        SendMessageA(g_win.main, WM_COMMAND, MAKEWPARAM(CM_HELP, 0), 0);  // beeps, changes nothing
        RECT after;
        SendMessageA(g_win.pane, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&after));
        EXPECT_TRUE(EqualRect(&text, &after));
    }
}

// Option titles are read back from the Options menu whole, up to 255
// characters.
TEST_F(MainWindow, LongOptionTitlesAreReadWhole) {
    for (std::size_t length : {63u, 64u, 200u, 255u, 300u}) {
        std::string title(length, 't');
        title[0] = 'A';
        HMENU options = GetSubMenu(GetMenu(g_win.main), 2);
        ModifyMenuA(options, 1, MF_BYPOSITION | MF_STRING, 1301, title.c_str());
        EXPECT_EQ(port_menu_item_text(1), title.substr(0, 255)) << length;
    }
}

TEST_F(MainWindow, HelpSwitchFlipsAndAboutBoxCloses) {
    EXPECT_FALSE(g_win.helpmessages);
    SendMessageA(g_win.main, WM_COMMAND, MAKEWPARAM(CM_HELPMESSAGES, 0), 0);
    EXPECT_TRUE(g_win.helpmessages);
    EXPECT_EQ(GetMenuState(GetMenu(g_win.main), CM_HELPMESSAGES, MF_BYCOMMAND) & MF_CHECKED, 0u);
    SendMessageA(g_win.main, WM_COMMAND, MAKEWPARAM(CM_HELPMESSAGES, 0), 0);
    EXPECT_FALSE(g_win.helpmessages);

    for (int key : {IDOK, IDCANCEL}) {
        std::string version, credits;
        on_next_dialog([&](HWND about) {
            char text[64] = {};
            GetDlgItemTextA(about, IDC_ABOUT_VERSION, text, sizeof text);
            version = text;
            GetDlgItemTextA(about, IDC_ABOUT_CREDITS, text, sizeof text);
            credits = text;
            press(about, key);
        });
        SendMessageA(g_win.main, WM_COMMAND, MAKEWPARAM(CM_ABOUT, 0), 0);
        EXPECT_EQ(version, "QOR-4 version 2001");
        // The program's own version, the one --version prints.
        EXPECT_EQ(credits, "Peakgrid " PEAKGRID_VERSION ": peaks to size classes");
    }
}

TEST_F(MainWindow, AcceleratorTable) {
    struct Key {
        BYTE flags;
        WORD key;
        WORD cmd;
    } expected[] = {
        {FCONTROL, 'A', CM_SELECTALL},
        {FCONTROL, 'B', CM_BACKCOLOUR},
        {FCONTROL, 'C', CM_COPY},
        {FCONTROL, 'D', CM_STANDARDFORMAT},
        {FCONTROL, 'F', CM_FONT},
        {FCONTROL, 'N', CM_NEW},
        {FCONTROL, 'O', CM_OPEN},
        {FCONTROL, 'P', CM_PRINT},
        {FCONTROL | FALT, 'P', CM_PRINTSETUP},
        {FCONTROL, 'Q', CM_EXIT},
        {FCONTROL, 'R', CM_REVERT},
        {FCONTROL, 'S', CM_SAVE},
        {FCONTROL | FALT, 'S', CM_SAVEAS},
        {FCONTROL, 'V', CM_PASTE},
        {FALT, VK_BACK, CM_UNDO},
        {FSHIFT, VK_DELETE, CM_CUT},
        {0, VK_F1, CM_HELP},
        {0, VK_F2, CM_CUT},
        {0, VK_F3, CM_COPY},
        {0, VK_F4, CM_PASTE},
        {FCONTROL, VK_HELP, CM_HELP},
        {FCONTROL | FSHIFT, VK_HELP, CM_HELP},
        {FCONTROL, VK_INSERT, CM_COPY},
        {FSHIFT, VK_INSERT, CM_PASTE},
        {FCONTROL, 'W', CM_CLOSE},
        {FCONTROL, 'X', CM_CUT},
        {FCONTROL, 'Z', CM_UNDO},
    };
    ACCEL table[64];
    int n = CopyAcceleratorTableA(g_win.accel, table, 64);
    ASSERT_EQ(n, static_cast<int>(sizeof expected / sizeof expected[0]));
    for (int i = 0; i < n; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(table[i].fVirt & ~0x80, FVIRTKEY | FNOINVERT | expected[i].flags);  // 0x80: last entry
        EXPECT_EQ(table[i].key, expected[i].key);
        EXPECT_EQ(table[i].cmd, expected[i].cmd);
    }
}

// A colour equal to the system's is held as 0, "follow the system"; any
// other is kept until a system change makes them equal.
TEST_F(MainWindow, PaneColoursFollowTheSystemOnlyWhenChosenSo) {
    COLORREF system_text = GetSysColor(COLOR_WINDOWTEXT), system_window = GetSysColor(COLOR_WINDOW);
    COLORREF other = RGB(10, 120, 30);
    struct Case {
        COLORREF chosen;
        COLORREF held;
    } cases[] = {{system_text, 0}, {other, other}};
    for (const Case& c : cases) {
        g_win.fontdialog.rgbColors = c.chosen;
        applypanefont();
        EXPECT_EQ(g_win.textcolour, c.held);
        SendMessageA(g_win.main, WM_SYSCOLORCHANGE, 0, 0);
        EXPECT_EQ(g_win.textcolour, c.held);
        if (c.held == 0) {
            EXPECT_EQ(g_win.fontdialog.rgbColors, system_text);
        }
    }
    g_win.colourdialog.rgbResult = system_window;
    applypanecolour();
    EXPECT_EQ(g_win.backcolour, 0u);
    g_win.colourdialog.rgbResult = other;
    applypanecolour();
    EXPECT_EQ(g_win.backcolour, other);
    HDC dc = GetDC(g_win.pane);
    EXPECT_EQ(
        SendMessageA(g_win.main, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(g_win.pane)),
        reinterpret_cast<LRESULT>(g_win.brush));
    EXPECT_EQ(GetBkColor(dc), other);
    ReleaseDC(g_win.pane, dc);
}
