#include "win32/pane.h"

#include <commdlg.h>

#include "win32/document.h"
#include "win32/winstate.h"
#include "win32/resource.h"

namespace {

const int kMargin = 4;  // pixels between the pane's border and its text

COLORREF systemtext() { return GetSysColor(COLOR_WINDOWTEXT); }
COLORREF systemwindow() { return GetSysColor(COLOR_WINDOW); }

// The text starts kMargin pixels inside the pane's client area, on every
// side.  The rectangle is made anew from the client area each time, and the
// edit's own margins (which a new font resets) are held at 0: an edit adds
// them to any rectangle it is given, so reusing its rectangle would widen
// the margin at every font change or published report.
void setmargin() {
    RECT r;
    GetClientRect(g_win.pane, &r);
    SendMessageA(g_win.pane, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(0, 0));
    InflateRect(&r, -kMargin, -kMargin);
    SendMessageA(g_win.pane, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&r));
}

void newbrush(COLORREF colour) {
    if (g_win.brush) DeleteObject(g_win.brush);
    g_win.brush = CreateSolidBrush(colour);
}

}  // namespace

void buildpanefont() {
    GetObjectA(GetStockObject(ANSI_FIXED_FONT), sizeof g_win.fontdesc, &g_win.fontdesc);
    if (g_win.font) DeleteObject(g_win.font);
    g_win.font = CreateFontIndirectA(&g_win.fontdesc);
}

void createpane(HWND main) {
    g_win.pane = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL, 0,
                                 0, 0, 0, main, reinterpret_cast<HMENU>(IDC_PANE), g_win.instance, nullptr);
    lstrcpynA(g_doc.title, g_win.title, sizeof g_doc.title);
    SendMessageA(g_win.pane, WM_SETFONT, reinterpret_cast<WPARAM>(g_win.font), FALSE);
    newbrush(g_win.backcolour ? g_win.backcolour : systemwindow());
}

void sizepane(int width, int height) {
    MoveWindow(g_win.pane, 0, 0, width, height, TRUE);
    setmargin();
}

void applypanefont() {
    if (g_win.font) DeleteObject(g_win.font);
    g_win.font = CreateFontIndirectA(&g_win.fontdesc);
    SendMessageA(g_win.pane, WM_SETFONT, reinterpret_cast<WPARAM>(g_win.font), TRUE);
    COLORREF chosen = g_win.fontdialog.rgbColors;
    g_win.textcolour = chosen == systemtext() ? 0 : chosen;
    setmargin();
}

void applypanecolour() {
    COLORREF chosen = g_win.colourdialog.rgbResult;
    g_win.backcolour = chosen == systemwindow() ? 0 : chosen;
    newbrush(chosen);
    InvalidateRect(g_win.pane, nullptr, TRUE);
}

void choosepanefont() {
    if (ChooseFontA(&g_win.fontdialog)) applypanefont();
}

void choosepanecolour() {
    if (ChooseColorA(&g_win.colourdialog)) applypanecolour();
}

void standardformat() {
    if (querybox(IDS_REVERTSTANDARD, MB_ICONQUESTION, MB_OKCANCEL, "???", g_doc.title) == IDCANCEL) return;
    GetObjectA(GetStockObject(ANSI_FIXED_FONT), sizeof g_win.fontdesc, &g_win.fontdesc);
    g_win.fontdialog.rgbColors = systemtext();
    g_win.colourdialog.rgbResult = systemwindow();
    applypanefont();
    applypanecolour();
}

void followsystemcolours() {
    COLORREF text = systemtext(), window = systemwindow();
    if (g_win.textcolour == 0)
        g_win.fontdialog.rgbColors = text;
    else if (g_win.textcolour == text)
        g_win.textcolour = 0;
    if (g_win.backcolour == 0) {
        g_win.colourdialog.rgbResult = window;
        newbrush(window);
    } else if (g_win.backcolour == window) {
        g_win.backcolour = 0;
    }
    InvalidateRect(g_win.main, nullptr, TRUE);
}

LRESULT panecolours(HDC dc) {
    SetTextColor(dc, g_win.textcolour ? g_win.textcolour : systemtext());
    SetBkColor(dc, g_win.backcolour ? g_win.backcolour : systemwindow());
    return reinterpret_cast<LRESULT>(g_win.brush);
}

void releasepanebrush() {
    if (g_win.brush) DeleteObject(g_win.brush);
    g_win.brush = nullptr;
}
