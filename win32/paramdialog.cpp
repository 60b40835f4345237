// The parameter dialog (resource 1100): one row per parameter of the current
// option, built from the portable row model; OK hands the values to the
// frame's run starter, Cancel changes nothing.
#include <string>
#include <vector>

#include "base/platform.h"
#include "datafile/messages.h"
#include "frame/run.h"
#include "win32/winstate.h"
#include "framework/dialog.h"
#include "framework/registry.h"
#include "win32/choosers.h"
#include "win32/valuedialog.h"
#include "win32/resource.h"

namespace {

// One opening of the dialog: its rows, and the values read at OK.
struct ParamDialog {
    std::vector<DialogRow> rows;
    std::vector<std::string> values;
};

const int kColumns[] = {IDC_ROW_LABEL, IDC_ROW_COUNT1, IDC_ROW_COUNT2, IDC_ROW_VALUE, IDC_ROW_SET};

bool islabel(int id) {
    return id >= IDC_ROW_LABEL && id <= ROWID(IDC_ROW_LABEL, ROW_COUNT) && (id - IDC_ROW_LABEL) % ROW_STRIDE == 0;
}

// A short label wider than the label column would be cut: the column then
// grows to the widest label, and everything right of it (the "Set", value
// and count columns, OK, Cancel and the dialog's own edge) moves right.
void fitlabels(HWND dialog, int n) {
    HWND first = GetDlgItem(dialog, ROWID(IDC_ROW_LABEL, 1));
    HDC dc = GetDC(first);
    HGDIOBJ oldfont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
    int widest = 0;
    for (int r = 1; r <= n; ++r) {
        char text[256] = {};
        int len = GetDlgItemTextA(dialog, ROWID(IDC_ROW_LABEL, r), text, sizeof text);
        SIZE size = {};
        GetTextExtentPoint32A(dc, text, len, &size);
        if (size.cx > widest) widest = size.cx;
    }
    SelectObject(dc, oldfont);
    ReleaseDC(first, dc);
    RECT column;
    GetClientRect(first, &column);
    if (widest <= column.right) return;
    int shift = widest - column.right + 4;  // and a little room before "Set"
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        RECT r;
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        if (islabel(GetDlgCtrlID(c)))
            SetWindowPos(c, nullptr, 0, 0, r.right - r.left + shift, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
        else
            SetWindowPos(c, nullptr, r.left + shift, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    RECT frame;
    GetWindowRect(dialog, &frame);
    SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left + shift, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER);
}

void setup(HWND dialog, const ParamDialog& p) {
    int n = static_cast<int>(p.rows.size());
    for (int r = 1; r <= n; ++r)
        SetDlgItemTextA(dialog, ROWID(IDC_ROW_LABEL, r), p.rows[static_cast<std::size_t>(r - 1)].shortlabel.c_str());
    for (int r = n + 1; r <= ROW_COUNT; ++r)
        for (int column : kColumns) {
            HWND control = GetDlgItem(dialog, ROWID(column, r));
            EnableWindow(control, FALSE);
            ShowWindow(control, SW_HIDE);
        }
    fitlabels(dialog, n);
    SetWindowTextA(dialog, dialogtitle().c_str());
}

void readvalues(HWND dialog, ParamDialog& p) {
    p.values.clear();
    for (int r = 1; r <= static_cast<int>(p.rows.size()); ++r) {
        char value[256] = {};
        GetDlgItemTextA(dialog, ROWID(IDC_ROW_VALUE, r), value, sizeof value);
        p.values.push_back(value);
    }
}

// After "Set": the row's value field has the focus again, so Enter is OK
// and not "Set" once more, and it shows the end of its text (a long path's
// file name) with the caret after the last character.
void focusvalue(HWND dialog, int r) {
    HWND value = GetDlgItem(dialog, ROWID(IDC_ROW_VALUE, r));
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(value), TRUE);
    LPARAM end = GetWindowTextLengthA(value);
    SendMessageA(value, EM_SETSEL, static_cast<WPARAM>(end), end);
    SendMessageA(value, EM_SCROLLCARET, 0, 0);
}

// The "Set" button of row r.
void pressset(HWND dialog, int r, const DialogRow& row) {
    if (g_win.helpmessages && helpfirst(row.action)) infobox(row.longlabel.c_str());
    switch (row.action) {
        case SetAction::BinChooser:
        case SetAction::TextChooser:
            choosefile(dialog, r, row);
            break;
        case SetAction::NewChooser:
            choosenewfile(dialog, r);
            break;
        case SetAction::ValueEntry:
            // An empty value leaves the row as it was.
            if (valueentry(dialog, row.lines, g_registry.valuebuffer) && g_registry.valuebuffer[0])
                SetDlgItemTextA(dialog, ROWID(IDC_ROW_VALUE, r), g_registry.valuebuffer);
            SetForegroundWindow(dialog);
            break;
        case SetAction::None:
            return;
    }
    focusvalue(dialog, r);
}

INT_PTR CALLBACK paramproc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    // The message loop offers keyboard messages to the open dialog; a closed
    // one is forgotten so that its handle is never used again.
    g_win.lastdialog = message == WM_NCDESTROY ? nullptr : dialog;
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lparam);
        setup(dialog, *reinterpret_cast<ParamDialog*>(lparam));
        return TRUE;
    }
    auto* p = reinterpret_cast<ParamDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (message != WM_COMMAND || !p) return FALSE;
    // Only button clicks act: the whole command word is compared.
    if (wparam == IDOK) {
        // An input file that is not there is said here, and the dialog
        // stays open for another name: the run would end in the fatal
        // error that closes the program.
        readvalues(dialog, *p);
        int row = 0;
        std::string refusal = checkinputfiles(p->rows, p->values, &row);
        if (!refusal.empty()) {
            infobox(refusal.c_str());
            SetForegroundWindow(dialog);
            focusvalue(dialog, row);
            return TRUE;
        }
        // A value the module refuses keeps the dialog open too.
        if (!acceptvalues(p->values)) {
            SetForegroundWindow(dialog);
            return TRUE;
        }
        EndDialog(dialog, 1);
        return TRUE;
    }
    if (wparam == IDCANCEL) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    for (int r = 1; r <= static_cast<int>(p->rows.size()); ++r)
        if (wparam == static_cast<WPARAM>(ROWID(IDC_ROW_SET, r))) {
            pressset(dialog, r, p->rows[static_cast<std::size_t>(r - 1)]);
            return TRUE;
        }
    return FALSE;
}

}  // namespace

void port_open_param_dialog(int) {
    ParamDialog p;
    p.rows = dialogrows();
    if (DialogBoxParamA(g_win.instance, MAKEINTRESOURCEA(IDD_PARAMS), g_win.main, paramproc,
                        reinterpret_cast<LPARAM>(&p)) != 1)
        return;
    // The dialog has gone: the banner and the run, under the wait cursor.
    SetCursor(g_win.wait);
    dialogok(p.values);
    SetCursor(g_win.arrow);
}
