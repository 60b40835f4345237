// The parameter dialog (resource 1100): one row per parameter of the current
// option, built from the portable row model; OK hands the values to the
// frame's run starter, Cancel changes nothing.
#include <string>
#include <vector>

#include "base/platform.h"
#include "datafile/messages.h"
#include "frame/run.h"
#include "frame/win32/winstate.h"
#include "framework/dialog.h"
#include "framework/registry.h"
#include "framework/win32/choosers.h"
#include "framework/win32/valuedialog.h"
#include "resources/resource.h"

namespace {

// One opening of the dialog: its rows, and the values read at OK.
struct ParamDialog {
    std::vector<DialogRow> rows;
    std::vector<std::string> values;
};

const int kColumns[] = {IDC_ROW_LABEL, IDC_ROW_COUNT1, IDC_ROW_COUNT2, IDC_ROW_VALUE, IDC_ROW_SET};

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
    SetWindowTextA(dialog, dialogtitle().c_str());
}

void readvalues(HWND dialog, ParamDialog& p) {
    for (int r = 1; r <= static_cast<int>(p.rows.size()); ++r) {
        char value[256] = {};
        GetDlgItemTextA(dialog, ROWID(IDC_ROW_VALUE, r), value, sizeof value);
        p.values.push_back(value);
    }
}

// The "Set" button of row r.
void setrow(HWND dialog, int r, const DialogRow& row) {
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
        break;
    }
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
    if (message != WM_COMMAND) return FALSE;
    // Only button clicks act: the whole command word is compared.
    auto* p = reinterpret_cast<ParamDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (wparam == IDOK) {
        readvalues(dialog, *p);
        EndDialog(dialog, 1);
        return TRUE;
    }
    if (wparam == IDCANCEL) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    for (int r = 1; r <= static_cast<int>(p->rows.size()); ++r)
        if (wparam == static_cast<WPARAM>(ROWID(IDC_ROW_SET, r))) {
            setrow(dialog, r, p->rows[static_cast<std::size_t>(r - 1)]);
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
