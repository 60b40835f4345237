#include "win32/mainwindow.h"

#include <shellapi.h>

#include <string>
#include <vector>

#include "frame/batch.h"
#include "frame/frame.h"
#include "frame/report.h"
#include "win32/document.h"
#include "win32/pane.h"
#include "win32/winstate.h"
#include "framework/dialog.h"
#include "framework/registry.h"
#include "win32/resource.h"

WinState g_win;

namespace {

void beep() { MessageBeep(0); }

INT_PTR CALLBACK aboutproc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL)) {
        EndDialog(dialog, 1);
        return TRUE;
    }
    return FALSE;
}

// Dropped files run as batch parameter files, in order.
void dropfiles(HDROP drop) {
    std::vector<std::string> paths;
    UINT n = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < n; ++i) {
        char path[MAX_PATH] = {};
        if (DragQueryFileA(drop, i, path, sizeof path)) paths.push_back(path);
    }
    DragFinish(drop);
    rundroppedfiles(paths);
}

void enable(HMENU popup, UINT id, bool on) { EnableMenuItem(popup, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)); }

// The file dialog's settings, shared by the document commands and the
// parameter dialog's choosers.
void preparefiledialog() {
    OPENFILENAMEA& f = g_win.filedialog;
    char text[sizeof g_win.filter - 1] = {};
    LoadStringA(g_win.instance, IDS_FILTER, text, sizeof text);
    std::string list = filterlist(text);
    list.copy(g_win.filter, sizeof g_win.filter - 1);
    LoadStringA(g_win.instance, IDS_DEFEXT, g_win.defext, sizeof g_win.defext);
    f.lStructSize = sizeof f;
    f.hwndOwner = g_win.main;
    f.lpstrFilter = g_win.filter;
    f.nFilterIndex = 1;
    f.lpstrFile = g_win.filebuffer;
    f.nMaxFile = sizeof g_win.filebuffer;
    f.lpstrFileTitle = g_win.titlebuffer;
    f.nMaxFileTitle = sizeof g_win.titlebuffer;
    f.Flags = OFN_CREATEPROMPT | OFN_OVERWRITEPROMPT;
    f.lpstrDefExt = g_win.defext[0] ? g_win.defext : nullptr;
}

void preparefontdialogs() {
    CHOOSEFONTA& cf = g_win.fontdialog;
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = g_win.main;
    cf.lpLogFont = &g_win.fontdesc;
    cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS;
    cf.rgbColors = GetSysColor(COLOR_WINDOWTEXT);
    CHOOSECOLORA& cc = g_win.colourdialog;
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = g_win.main;
    cc.rgbResult = GetSysColor(COLOR_WINDOW);
    cc.lpCustColors = g_win.customcolours;
    cc.Flags = CC_RGBINIT;
}

}  // namespace

bool createmainwindow(HINSTANCE instance, int show) {
    g_win.instance = instance;
    LoadStringA(instance, IDS_CLASSNAME, g_win.classname, sizeof g_win.classname);
    LoadStringA(instance, IDS_TITLE, g_win.title, sizeof g_win.title);
    g_frame.module_word = g_win.classname;

    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = mainwindowproc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_PROGRAM));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszMenuName = MAKEINTRESOURCEA(IDR_MAINMENU);
    wc.lpszClassName = g_win.classname;
    RegisterClassA(&wc);
    g_win.wait = LoadCursorA(nullptr, IDC_WAIT);
    g_win.arrow = LoadCursorA(nullptr, IDC_ARROW);

    buildpanefont();
    g_win.main = CreateWindowExA(0, g_win.classname, g_win.title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (!g_win.main) return false;
    ShowWindow(g_win.main, show);
    UpdateWindow(g_win.main);

    preparefiledialog();
    preparefontdialogs();
    g_win.accel = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCEL));
    return true;
}

void updatepopup(HMENU popup, int position) {
    if (position == 0) {
        for (UINT id : {CM_NEW, CM_OPEN, CM_CLOSE, CM_SAVEAS, CM_EXIT}) enable(popup, id, true);
        enable(popup, CM_PRINTSETUP, false);
        enable(popup, CM_PRINT, false);
        bool modified = SendMessageA(g_win.pane, EM_GETMODIFY, 0, 0) != 0;
        enable(popup, CM_SAVE, modified);
        enable(popup, CM_REVERT, modified && g_doc.file != INVALID_HANDLE_VALUE);
    } else if (position == 1) {
        DWORD from = 0, to = 0;
        SendMessageA(g_win.pane, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
        bool selection = from != to;
        enable(popup, CM_UNDO, SendMessageA(g_win.pane, EM_CANUNDO, 0, 0) != 0);
        enable(popup, CM_CUT, selection);
        enable(popup, CM_COPY, selection);
        enable(popup, CM_DELETE, selection);
        enable(popup, CM_PASTE, IsClipboardFormatAvailable(CF_TEXT) != 0);
        enable(popup, CM_SELECTALL, GetWindowTextLengthA(g_win.pane) > 0);
    }
}

void runcommand(int id) {
    switch (id) {
        case CM_NEW:
            newdocument();
            break;
        case CM_OPEN:
            opendocument();
            break;
        case CM_CLOSE:
            closedocument();
            break;
        case CM_SAVE:
            savedocument();
            break;
        case CM_SAVEAS:
            saveasdocument();
            break;
        case CM_REVERT:
            revertdocument();
            break;
        case CM_EXIT:
            SendMessageA(g_win.main, WM_CLOSE, 0, 0);
            break;
        case CM_DEFAULTFOLDER:
            ChangeDefaultFolder();
            break;
        case CM_HELPMESSAGES:
            g_win.helpmessages = !g_win.helpmessages;
            break;
        case CM_UNDO:
            SendMessageA(g_win.pane, WM_UNDO, 0, 0);
            break;
        case CM_CUT:
            SendMessageA(g_win.pane, WM_CUT, 0, 0);
            break;
        case CM_COPY:
            SendMessageA(g_win.pane, WM_COPY, 0, 0);
            break;
        case CM_PASTE:
            SendMessageA(g_win.pane, WM_PASTE, 0, 0);
            break;
        case CM_DELETE:
            SendMessageA(g_win.pane, WM_CLEAR, 0, 0);
            break;
        case CM_SELECTALL:
            SendMessageA(g_win.pane, EM_SETSEL, 0, -1);
            break;
        case CM_FONT:
            choosepanefont();
            break;
        case CM_STANDARDFORMAT:
            standardformat();
            break;
        case CM_BACKCOLOUR:
            choosepanecolour();
            break;
        case CM_ABOUT:
            DialogBoxParamA(g_win.instance, MAKEINTRESOURCEA(IDD_ABOUT), g_win.main, aboutproc, 0);
            break;
        default:
            if (id >= CM_FIRSTOPTION && id <= CM_LASTOPTION)
                openoptdialog(id);
            else
                beep();  // 1007, 1008, Help and anything unknown
    }
}

LRESULT CALLBACK mainwindowproc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    g_doc.failed = false;
    switch (message) {
        case WM_CREATE:
            g_win.main = window;
            createpane(window);
            DragAcceptFiles(window, TRUE);
            return 0;
        case WM_DESTROY:
            // The exit procedure: the document's file, the report files, the
            // pane brush, then the quit request that ends the message loop.
            DragAcceptFiles(window, FALSE);
            closedocumentfile();
            ExitReport();
            releasepanebrush();
            PostQuitMessage(0);
            return 0;
        case WM_SIZE:
            sizepane(LOWORD(lparam), HIWORD(lparam));
            return 0;
        case WM_SETFOCUS:
            SetFocus(g_win.pane);
            return 0;
        case WM_CLOSE:
            closedocument();
            return 0;
        case WM_QUERYENDSESSION:
            return asktosave() ? 1 : 0;
        case WM_SYSCOLORCHANGE:
            followsystemcolours();
            return 0;
        case WM_COMMAND:
            if (HIWORD(wparam) == 0 || HIWORD(wparam) == 1) runcommand(LOWORD(wparam));
            return 0;
        case WM_INITMENUPOPUP:
            if (!HIWORD(lparam)) updatepopup(reinterpret_cast<HMENU>(wparam), LOWORD(lparam));
            return 0;
        case WM_CTLCOLOREDIT:
            return panecolours(reinterpret_cast<HDC>(wparam));
        case WM_DROPFILES:
            dropfiles(reinterpret_cast<HDROP>(wparam));
            return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

int messageloop() {
    MSG msg;
    for (;;) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) break;
        if (got == -1) continue;
        if (TranslateAcceleratorA(g_win.main, g_win.accel, &msg)) continue;
        if (g_win.lastdialog && IsDialogMessageA(g_win.lastdialog, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
