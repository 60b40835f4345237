#include "win32/valuedialog.h"

#include "base/platform.h"
#include "win32/winstate.h"
#include "win32/resource.h"

namespace {

struct ValueEntry {
    const std::vector<std::string>* lines;
    char* buffer;
};

void setup(HWND dialog, const std::vector<std::string>& lines) {
    for (std::size_t k = 1; k <= lines.size() && k <= VALUE_LINES; ++k)
        SetDlgItemTextA(dialog, IDC_VALUE_LINE(static_cast<int>(k)), lines[k - 1].c_str());
    // Line 1 stands where the caption text is: the two must not overprint.
    if (!lines.empty() && !lines[0].empty()) ShowWindow(GetDlgItem(dialog, IDC_VALUE_CAPTION), SW_HIDE);
    SendDlgItemMessageA(dialog, IDC_VALUE_EDIT, EM_LIMITTEXT, 255, 0);
}

INT_PTR CALLBACK valueproc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lparam);
        setup(dialog, *reinterpret_cast<ValueEntry*>(lparam)->lines);
        return TRUE;  // the focus goes to the value field
    }
    auto* entry = reinterpret_cast<ValueEntry*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (message != WM_COMMAND || !entry) return FALSE;
    if (wparam == IDOK) {
        GetDlgItemTextA(dialog, IDC_VALUE_EDIT, entry->buffer, 256);
        EndDialog(dialog, 1);
        return TRUE;
    }
    if (wparam == IDCANCEL) {  // Esc
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

bool valueentry(HWND owner, const std::vector<std::string>& lines, char* buffer) {
    ValueEntry entry{&lines, buffer};
    return DialogBoxParamA(g_win.instance, MAKEINTRESOURCEA(IDD_VALUE), owner, valueproc,
                           reinterpret_cast<LPARAM>(&entry)) == 1;
}

// The question role: owned by the main window.  Esc cancels the question,
// and the option stops as at the end of input on the console.
bool port_ask_value(const char* const* lines, int line_count, char* answer) {
    std::vector<std::string> shown(lines, lines + line_count);
    bool typed = valueentry(g_win.main, shown, answer);
    if (g_win.lastdialog && IsWindow(g_win.lastdialog)) SetForegroundWindow(g_win.lastdialog);
    return typed;
}
