// Poses the Peakprep program for tools/screenshots: the main window after
// an import run, then the "Filter peaks" dialog filled in.  Runs only when
// PEAKGRID_SCREENSHOTS names a folder; at each pose it saves the window's
// own pixels as pose-N.bmp there, writes "pose-N" and waits for the script
// to answer with "shot-N" once it has converted the picture.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "framework/registry.h"
#include "win32/choosers.h"
#include "win32/dialog_helpers.h"
#include "win32/gui_harness.h"
#include "win32/resource.h"
#include "win32/winstate.h"

namespace {

std::string g_folder;
int g_pose = 0;

// A run of three samples as a GeneMapper table exports it.
const char kTable[] =
    "Dye/Sample Peak\tSample File Name\tSize\tHeight\tArea\tData Point\r\n"
    "\"B,1\"\tsoil_A01.fsa\t75.2\t2210\t18120\t1490\r\n"
    "\"B,2\"\tsoil_A01.fsa\t131.6\t845\t6930\t2344\r\n"
    "\"B,3\"\tsoil_A01.fsa\t212.9\t4120\t40310\t3561\r\n"
    "\"G,1\"\tsoil_A01.fsa\t98.4\t612\t5020\t1841\r\n"
    "\"R,1 *\"\tsoil_A01.fsa\t100.0\t1500\t9000\t1860\r\n"
    "\"B,1\"\tsoil_B01.fsa\t75.3\t1980\t16500\t1492\r\n"
    "\"B,2\"\tsoil_B01.fsa\t188.1\t305\t2410\t3190\r\n"
    "\"G,1\"\tsoil_B01.fsa\t98.5\t733\t6010\t1843\r\n"
    "\"G,2\"\tsoil_B01.fsa\t340.7\t128\t990\t5411\r\n"
    "\"B,1\"\tsoil_C01.fsa\t131.5\t1402\t11900\t2342\r\n"
    "\"B,2\"\tsoil_C01.fsa\t\t96\t700\t7020\r\n"
    "\"G,1\"\tsoil_C01.fsa\t255.0\t2870\t25100\t4177\r\n";

// Saves the window (title bar and frame included) as a 24-bit BMP; false
// when the picture came out all black (the window not on the X server yet).
bool savepicture(HWND window, const std::string& path) {
    RECT frame;
    GetWindowRect(window, &frame);
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
    HDC dc = GetWindowDC(window);
    BitBlt(memory, 0, 0, w, h, dc, 0, 0, SRCCOPY);
    ReleaseDC(window, dc);
    GdiFlush();
    DWORD size = static_cast<DWORD>(((w * 3 + 3) & ~3) * h);
    const char* pixels = static_cast<const char*>(bits);
    bool painted = false;
    for (DWORD i = 0; i < size && !painted; ++i) painted = pixels[i] != 0;
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
    return painted;
}

// Paints the window whole, saves its picture, tells the script and waits
// (up to 20 s) for its answer.
void pose(HWND window) {
    std::string n = std::to_string(++g_pose);
    for (int tries = 0; tries < 20; ++tries) {  // a new window reaches the X server a little later
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
        for (int i = 0; i < 10; ++i) {
            pump_messages();
            Sleep(30);
        }
        if (savepicture(window, g_folder + "/pose-" + n + ".bmp")) break;
    }
    std::ofstream(g_folder + "/pose-" + n) << n;
    for (int i = 0; i < 400 && !std::filesystem::exists(g_folder + "/shot-" + n); ++i) {
        pump_messages();
        Sleep(50);
    }
}

}  // namespace

TEST(PeakprepScreenshots, ReportAndFilterDialog) {
    const char* folder = std::getenv("PEAKGRID_SCREENSHOTS");
    if (!folder) GTEST_SKIP() << "poses only for tools/screenshots";
    g_folder = folder;
    TestDir dir;
    // The data in a short folder of the throw-away prefix, so that the
    // paths in the pictures read whole.
    const std::string data = "C:\\soil";
    std::filesystem::create_directories(data);
    write_bytes(data + "\\soil-run.txt", kTable);
    write_table(data + "\\Chan1", 3, 14);
    open_main_window(dir);
    MoveWindow(g_win.main, 0, 0, 760, 520, TRUE);
    Choosers saved = g_choosers;
    g_choosers.open = standin_open;

    on_next_dialog([&](HWND d) {
        SetDlgItemTextA(d, ROWID(IDC_ROW_VALUE, 1), (data + "\\soil-run.txt").c_str());
        press(d, IDOK);
    });
    SendMessageA(g_win.main, WM_COMMAND, MAKEWPARAM(CM_FIRSTOPTION, 0), 0);
    SendMessageA(g_win.pane, EM_SETSEL, 0, 0);
    SendMessageA(g_win.pane, EM_SCROLLCARET, 0, 0);
    pump_messages();
    pose(g_win.main);

    g_chooser.answer = data + "\\Chan1";
    on_next_dialog([&](HWND d) {
        click(d, ROWID(IDC_ROW_SET, 1));  // the table's counts beside its name
        const char* values[] = {"50", "500", "50", "1", "1", "3", "1", "0.5", "2"};
        for (int r = 2; r <= 10; ++r) SetDlgItemTextA(d, ROWID(IDC_ROW_VALUE, r), values[r - 2]);
        SendMessageA(d, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(d, IDOK)), TRUE);  // no caret in a row
        pose(d);
        press(d, IDCANCEL);
    });
    SendMessageA(g_win.main, WM_COMMAND, MAKEWPARAM(CM_FIRSTOPTION + 1, 0), 0);
    g_choosers = saved;
    close_main_window();
    std::filesystem::remove_all(data);
}
