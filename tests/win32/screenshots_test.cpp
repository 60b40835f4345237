// Poses the main window for tools/screenshots: with a report shown, then
// with each menu of the menu bar dropped down; then the parameter dialogs of
// both options and a value-entry question.  Runs only when
// PEAKGRID_SCREENSHOTS names a folder; at each pose it writes "pose-N" there
// and waits for the script to answer with "shot-N" once it has taken the
// picture (or, for a menu, converted the picture the test saved itself).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "frame/run.h"
#include "win32/winstate.h"
#include "framework/registry.h"
#include "win32/choosers.h"
#include "win32/resource.h"
#include "win32/dialog_helpers.h"
#include "win32/gui_harness.h"

namespace {

std::string g_folder;
int g_pose = 0;

// Tells the script a pose is ready and waits (up to 20 s) for its picture.
void pose() {
    std::string n = std::to_string(++g_pose);
    std::ofstream(g_folder + "/pose-" + n) << n;
    for (int i = 0; i < 400 && !std::filesystem::exists(g_folder + "/shot-" + n); ++i) {
        pump_messages();  // keeps painting, a dropped-down menu's window too
        Sleep(50);
    }
}

// The visible dropped-down menu window, if any.
BOOL CALLBACK findmenu(HWND window, LPARAM found) {
    char cls[16] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (std::string(cls) == "#32768" && IsWindowVisible(window)) *reinterpret_cast<HWND*>(found) = window;
    return TRUE;
}

// Without a compositor the X server shows a dropped-down menu as a black
// box, so pictures are made from the windows' own pixels: the first window
// with each further one laid over it at its place, saved as a 24-bit BMP.
void savepicture(const std::vector<HWND>& layers, const std::string& path) {
    RECT frame;
    GetWindowRect(layers[0], &frame);
    int w = frame.right - frame.left, h = frame.bottom - frame.top;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    for (HWND layer : layers) {
        RECT r;
        GetWindowRect(layer, &r);
        HDC dc = GetWindowDC(layer);
        BitBlt(memory, r.left - frame.left, r.top - frame.top, r.right - r.left, r.bottom - r.top, dc, 0, 0, SRCCOPY);
        ReleaseDC(layer, dc);
    }
    GdiFlush();
    DWORD size = static_cast<DWORD>(((w * 3 + 3) & ~3) * h);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + size;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    out.write(static_cast<const char*>(bits), size);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

std::string nextpicture() { return g_folder + "/pose-" + std::to_string(g_pose + 1) + ".bmp"; }

// A dialog, painted whole, pictured on its own.
void posedialog(HWND dialog) {
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    for (int i = 0; i < 10; ++i) {  // a new window reaches the X server a little later
        pump_messages();
        Sleep(30);
    }
    savepicture({dialog}, nextpicture());
    pose();
}

// Inside a menu's modal loop: take the picture, then close the menu.
void CALLBACK posemenu(HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    HWND menu = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findmenu, reinterpret_cast<LPARAM>(&menu));
    if (menu) {
        UpdateWindow(menu);
        savepicture({g_win.main, menu}, nextpicture());
    }
    pose();
    EndMenu();
}

}  // namespace

TEST(Screenshots, MainWindowAndMenus) {
    const char* folder = std::getenv("PEAKGRID_SCREENSHOTS");
    if (!folder) GTEST_SKIP() << "poses only for tools/screenshots";
    g_folder = folder;
    TestDir dir;
    std::filesystem::copy_file(std::string(folder) + "/export.txt", dir.file("export.txt"));
    open_main_window(dir);
    MoveWindow(g_win.main, 0, 0, 760, 520, TRUE);
    g_registry.current_option = 1;
    dialogok({"export.txt"});
    SendMessageA(g_win.pane, EM_SETSEL, 0, 0);
    SendMessageA(g_win.pane, EM_SCROLLCARET, 0, 0);
    pump_messages();
    UpdateWindow(g_win.main);
    pose();
    for (char key : {'f', 'e', 'o', '?'}) {
        SetTimer(g_win.main, 7, 300, posemenu);
        SendMessageA(g_win.main, WM_SYSCOMMAND, SC_KEYMENU, key);
        pump_messages();
    }
    close_main_window();
}

TEST(Screenshots, Dialogs) {
    const char* folder = std::getenv("PEAKGRID_SCREENSHOTS");
    if (!folder) GTEST_SKIP() << "poses only for tools/screenshots";
    g_folder = folder;
    TestDir dir;
    std::filesystem::copy_file(std::string(folder) + "/export.txt", dir.file("export.txt"));
    open_main_window(dir);
    MoveWindow(g_win.main, 0, 0, 760, 520, TRUE);
    g_registry.current_option = 1;
    dialogok({"export.txt"});
    Choosers saved = g_choosers;
    g_choosers.open = standin_open;
    g_chooser.answer = dir.file("Chan1");

    on_next_dialog([&](HWND d) {
        SetDlgItemTextA(d, ROWID(IDC_ROW_VALUE, 1), dir.file("export.txt").c_str());
        posedialog(d);
        press(d, IDCANCEL);
    });
    SendMessageA(g_win.main, WM_COMMAND, MAKEWPARAM(CM_FIRSTOPTION, 0), 0);

    on_next_dialog([&](HWND d) {
        click(d, ROWID(IDC_ROW_SET, 1));
        const char* values[] = {"3", "1", "1", "1", "0", "0"};
        for (int r = 2; r <= 7; ++r) SetDlgItemTextA(d, ROWID(IDC_ROW_VALUE, r), values[r - 2]);
        SetFocus(GetDlgItem(d, ROWID(IDC_ROW_VALUE, 2)));
        posedialog(d);
        press(d, IDOK);
    });
    on_next_dialog([&](HWND v) {
        SetDlgItemTextA(v, IDC_VALUE_EDIT, "5");
        posedialog(v);
        press(v, IDCANCEL);
    });
    on_next_dialog([](HWND box) { press(box, IDOK); });  // the computation is cancelled
    SendMessageA(g_win.main, WM_COMMAND, MAKEWPARAM(CM_FIRSTOPTION + 1, 0), 0);
    g_choosers = saved;
    close_main_window();
}
