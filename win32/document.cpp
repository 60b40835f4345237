#include "win32/document.h"

#include <cstring>
#include <string>
#include <vector>

#include "base/files.h"
#include "datafile/messages.h"
#include "frame/report.h"
#include "win32/winstate.h"
#include "win32/resource.h"

PaneDocument g_doc;

namespace {

const DWORD kLongest = 32767;  // the pane's default text limit

// A file step's outcome: a failed step sets the failure flag, a successful
// one clears it.  Returns the outcome.
bool check(bool ok) {
    g_doc.failed = !ok;
    return ok;
}

// A document that could not be written is said.  The failure flag is set
// after the box and the caption change: every message to the main window
// clears it, and the caller (the ask-to-save) must still see the failure.
void notwritten(const char* path) {
    std::string text = std::string("Sorry: can't write the document ") + path;
    infobox(text.c_str());
    g_doc.failed = true;
}

bool hasfile() { return g_doc.file != INVALID_HANDLE_VALUE; }

HANDLE openfile(const char* path, DWORD disposition) {
    return CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

// The pane has no document: no file, no path, the program's own title.
void forgetfile() {
    g_doc.file = INVALID_HANDLE_VALUE;
    g_doc.path[0] = '\0';
    lstrcpynA(g_doc.title, g_win.title, sizeof g_doc.title);
}

// The document's title from its path, cut to what the title holds (a title
// too long for a buffer would otherwise come back empty).
void settitle(const char* path) {
    char title[MAX_PATH] = {};
    if (GetFileTitleA(path, title, sizeof title) != 0) lstrcpynA(title, basenameofpath(path).c_str(), sizeof title);
    lstrcpynA(g_doc.title, title, sizeof g_doc.title);
}

}  // namespace

int querybox(int id, UINT icon, UINT buttons, const char* caption, const char* text) {
    MessageBeep(0);
    char format[256] = {};
    LoadStringA(g_win.instance, static_cast<UINT>(id), format, sizeof format);
    std::string message = format;
    std::size_t at = message.find("%s");
    if (at != std::string::npos) message.replace(at, 2, text ? text : "");
    message = message.substr(0, 255);
    return MessageBoxA(g_win.main, message.c_str(), caption, icon | buttons | MB_SETFOREGROUND);
}

void closedocumentfile() {
    if (hasfile()) CloseHandle(g_doc.file);
    g_doc.file = INVALID_HANDLE_VALUE;
}

bool asktosave() {
    bool allowed = true;
    if (SendMessageA(g_win.pane, EM_GETMODIFY, 0, 0)) {
        int answer = querybox(IDS_SAVEBEFORECLOSE, MB_ICONQUESTION, MB_YESNOCANCEL, "???", g_doc.title);
        if (answer == IDYES) {
            savedocument();
            allowed = !g_doc.failed;
        } else {
            allowed = answer == IDNO;
        }
    }
    if (allowed) {
        closedocumentfile();
        SetWindowTextA(g_win.pane, "");
    }
    return allowed;
}

void openbyname(const char* path) {
    closedocumentfile();
    HANDLE file = openfile(path, OPEN_ALWAYS);
    if (!check(file != INVALID_HANDLE_VALUE)) {
        forgetfile();
        return;
    }
    g_doc.file = file;
    lstrcpynA(g_doc.path, path, sizeof g_doc.path);
    settitle(path);
    revertdocument();
}

void revertdocument() {
    if (SendMessageA(g_win.pane, EM_GETMODIFY, 0, 0) &&
        querybox(IDS_REVERTSAVED, MB_ICONQUESTION, MB_OKCANCEL, "???", g_doc.title) == IDCANCEL)
        return;
    DWORD size = hasfile() ? GetFileSize(g_doc.file, nullptr) : INVALID_FILE_SIZE;
    if (size != INVALID_FILE_SIZE && size > kLongest) {
        querybox(IDS_TOOLONG, MB_ICONEXCLAMATION, MB_OK, nullptr, g_doc.title);
        // The file is no longer the document, so no Save can write the
        // pane's text over it: Save asks for a new name, Revert has no file.
        closedocumentfile();
        forgetfile();
        g_doc.failed = true;
        return;
    }
    if (!check(size != INVALID_FILE_SIZE)) return;
    if (!check(SetFilePointer(g_doc.file, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER)) return;
    std::vector<char> text(size + 10, '\0');
    DWORD got = 0;
    if (!check(ReadFile(g_doc.file, text.data(), size, &got, nullptr) && got == size)) return;
    text[size] = '\0';
    SendMessageA(g_win.pane, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.data()));
}

void writedocument() {
    int n = GetWindowTextLengthA(g_win.pane);
    std::vector<char> text(static_cast<std::size_t>(n) + 1, '\0');
    SendMessageA(g_win.pane, WM_GETTEXT, static_cast<WPARAM>(n + 1), reinterpret_cast<LPARAM>(text.data()));
    n = static_cast<int>(std::strlen(text.data()));
    DWORD written = 0;
    bool ok = SetFilePointer(g_doc.file, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
              WriteFile(g_doc.file, text.data(), static_cast<DWORD>(n), &written, nullptr) &&
              written == static_cast<DWORD>(n) && SetEndOfFile(g_doc.file) && FlushFileBuffers(g_doc.file);
    if (!ok) {
        notwritten(g_doc.path);
        return;
    }
    g_doc.failed = false;
    SendMessageA(g_win.pane, EM_SETMODIFY, FALSE, 0);
}

void newdocument() {
    if (!asktosave()) return;
    forgetfile();
    SetWindowTextA(g_win.main, g_win.title);
}

OPENFILENAMEA& sharedfiledialog() {
    lstrcpynA(g_win.initialdir, g_report.default_folder.c_str(), sizeof g_win.initialdir);
    g_win.filedialog.lpstrInitialDir = g_win.initialdir[0] ? g_win.initialdir : nullptr;
    return g_win.filedialog;
}

void opendocument() {
    if (GetOpenFileNameA(&sharedfiledialog())) openbyname(g_win.filebuffer);
}

void closedocument() {
    if (asktosave()) DestroyWindow(g_win.main);
}

void savedocument() {
    if (hasfile())
        writedocument();
    else
        saveasdocument();
}

void saveasdocument() {
    lstrcpynA(g_win.filebuffer, g_doc.path, sizeof g_win.filebuffer);
    lstrcpynA(g_win.titlebuffer, g_doc.title, sizeof g_win.titlebuffer);
    if (!GetSaveFileNameA(&sharedfiledialog())) {
        g_doc.failed = true;
        return;
    }
    if (hasfile() && std::strcmp(g_win.filebuffer, g_doc.path) == 0) {
        writedocument();
        return;
    }
    if (hasfile()) {
        BOOL closed = CloseHandle(g_doc.file);
        g_doc.file = INVALID_HANDLE_VALUE;
        if (!check(closed != 0)) return;
    }
    HANDLE file = openfile(g_win.filebuffer, CREATE_ALWAYS);
    if (file == INVALID_HANDLE_VALUE) {
        forgetfile();
        SetWindowTextA(g_win.main, g_win.title);
        notwritten(g_win.filebuffer);
        return;
    }
    g_doc.file = file;
    lstrcpynA(g_doc.path, g_win.filebuffer, sizeof g_doc.path);
    settitle(g_win.filebuffer);
    SetWindowTextA(g_win.main, g_doc.title);
    writedocument();
}
