// The Win32 implementation of the platform port (the two dialogs live in
// framework/win32/).
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "base/platform.h"
#include "frame/frame.h"
#include "win32/document.h"
#include "win32/pane.h"
#include "win32/winstate.h"

namespace {

const int kOptionsMenu = 2;  // position of "&Options" in the menu bar

HMENU optionsmenu() { return GetSubMenu(GetMenu(g_win.main), kOptionsMenu); }

// Box texts pass through a 256-byte buffer.
void box(const char* text, const char* caption, UINT style) {
    char buffer[256];
    lstrcpynA(buffer, text, sizeof buffer);
    MessageBoxA(g_win.main, buffer, caption, style);
}

}  // namespace

void port_beep() { MessageBeep(0); }

void port_infobox(const char* text) { box(text, "Message:", MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND); }

void port_errorbox(const char* text) { box(text, nullptr, MB_OK | MB_ICONHAND | MB_SETFOREGROUND); }

void port_close_request() {
    SendMessageA(g_win.main, WM_CLOSE, 0, 0);
    if (!IsWindow(g_win.main)) {
        // The close went ahead: no further run may start, and the process
        // ends with a status that says a fatal error closed it.
        g_frame.closing = true;
        g_win.exitcode = 1;
    }
}

bool port_ask_yesno(const char* text, const char* caption) {
    return MessageBoxA(g_win.main, text, caption, MB_YESNO) == IDYES;
}

std::string port_windows_folder() {
    char buffer[256];
    UINT n = GetWindowsDirectoryA(buffer, sizeof buffer);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

bool port_choose_folder_file() { return GetOpenFileNameA(&sharedfiledialog()) != 0; }

int port_pane_line_count() { return static_cast<int>(SendMessageA(g_win.pane, EM_GETLINECOUNT, 0, 0)); }

void port_pane_close_file() { closedocumentfile(); }

void port_pane_load(const char* path) { openbyname(path); }

void port_pane_apply_font() { applypanefont(); }

void port_pane_scroll(int lines) { SendMessageA(g_win.pane, EM_LINESCROLL, 0, lines); }

void port_menu_append(int command_id, const char* title) {
    AppendMenuA(optionsmenu(), MF_STRING, static_cast<UINT_PTR>(command_id), title);
}

void port_menu_append_separator() { AppendMenuA(optionsmenu(), MF_SEPARATOR, 0, nullptr); }

std::string port_menu_item_text(int position) {
    // Position 0 is the Options menu's own separator; option k stands at k.
    // A title longer than the buffer may come back unterminated: at most 255
    // characters are kept, and the buffer always ends with a NUL.
    char text[256] = {};
    if (position < 1 ||
        GetMenuStringA(optionsmenu(), static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION) <= 0)
        return "";
    text[sizeof text - 1] = '\0';
    return text;
}

std::string port_find_file(const char* path) {
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(path, &found);
    if (h == INVALID_HANDLE_VALUE) return "";
    FindClose(h);
    return found.cFileName;
}

void port_exit_process(int status) { std::exit(status); }
