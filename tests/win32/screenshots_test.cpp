// Poses the main window for tools/screenshots: with a report shown, then
// with each menu of the menu bar dropped down.  Runs only when
// PEAKGRID_SCREENSHOTS names a folder; at each pose it writes "pose-N" there
// and waits for the script to answer with "shot-N" once it has taken the
// picture (or, for a menu, converted the picture the test saved itself).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "frame/run.h"
#include "frame/win32/winstate.h"
#include "framework/registry.h"
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
// box, so the menu is pictured from the windows' own pixels: the main window
// with the menu window laid over it, saved as a 24-bit BMP.
void savepicture(HWND menu, const std::string& path) {
    RECT frame, popup;
    GetWindowRect(g_win.main, &frame);
    GetWindowRect(menu, &popup);
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
    HDC main = GetWindowDC(g_win.main);
    BitBlt(memory, 0, 0, w, h, main, 0, 0, SRCCOPY);
    ReleaseDC(g_win.main, main);
    HDC dc = GetWindowDC(menu);
    BitBlt(memory, popup.left - frame.left, popup.top - frame.top, popup.right - popup.left,
           popup.bottom - popup.top, dc, 0, 0, SRCCOPY);
    ReleaseDC(menu, dc);
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

// Inside a menu's modal loop: take the picture, then close the menu.
void CALLBACK posemenu(HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    HWND menu = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findmenu, reinterpret_cast<LPARAM>(&menu));
    if (menu) {
        UpdateWindow(menu);
        savepicture(menu, g_folder + "/pose-" + std::to_string(g_pose + 1) + ".bmp");
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
