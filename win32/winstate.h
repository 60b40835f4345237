// The Win32 front's process-wide state: the main window, the report pane
// with its font and colours, the shared dialog settings and the pane
// document.  One instance each, created at start-up, alive until exit.
#pragma once

#include <windows.h>
#include <commdlg.h>

struct WinState {
    HINSTANCE instance = nullptr;
    HWND main = nullptr;     // the main window
    HWND pane = nullptr;     // the report pane, control 1000
    HACCEL accel = nullptr;  // accelerator table 1000
    HCURSOR wait = nullptr;  // for the parameter dialog's run
    HCURSOR arrow = nullptr;
    HWND lastdialog = nullptr;  // most recent parameter dialog, for IsDialogMessageA
    char classname[32] = {};    // string 1001, the module word
    char title[64] = {};        // string 1002

    LOGFONTA fontdesc = {};   // pane font description
    HFONT font = nullptr;     // pane font
    COLORREF textcolour = 0;  // 0: follow COLOR_WINDOWTEXT
    COLORREF backcolour = 0;  // 0: follow COLOR_WINDOW
    HBRUSH brush = nullptr;   // pane brush
    CHOOSEFONTA fontdialog = {};
    CHOOSECOLORA colourdialog = {};
    COLORREF customcolours[16] = {};
    bool helpmessages = false;  // "Display help messages"

    OPENFILENAMEA filedialog = {};  // shared by the document and the choosers
    char filter[260] = {};
    char filebuffer[260] = {};
    char titlebuffer[MAX_PATH] = {};  // the chosen file's name, whole
    char defext[4] = {};
    char initialdir[260] = {};

    int exitcode = 0;  // of the message loop's end
};
extern WinState g_win;

// The text in the report pane bound to a file on disk.
struct PaneDocument {
    HANDLE file = INVALID_HANDLE_VALUE;  // open for read/write, shared for reading
    char path[260] = {};
    char title[64] = {};  // at most 63 characters of the file's name
    bool failed = false;  // failure flag, cleared at every main window message
};
extern PaneDocument g_doc;
