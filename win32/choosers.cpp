#include "win32/choosers.h"

#include <cstring>
#include <string>

#include "datafile/binfile.h"
#include "datafile/messages.h"
#include "win32/document.h"
#include "win32/winstate.h"
#include "win32/resource.h"

namespace {

BOOL openchooser(OPENFILENAMEA* f) { return GetOpenFileNameA(f); }
BOOL savechooser(OPENFILENAMEA* f) { return GetSaveFileNameA(f); }

void setfilter(const std::string& text) {
    std::memset(g_win.filter, 0, sizeof g_win.filter);
    filterlist(text).copy(g_win.filter, sizeof g_win.filter - 2);  // two NULs end it
    g_win.filedialog.nFilterIndex = 1;
}

void setrow(HWND dialog, int column, int r, const char* text) { SetDlgItemTextA(dialog, ROWID(column, r), text); }

}  // namespace

Choosers g_choosers = {openchooser, savechooser};

void choosefile(HWND dialog, int r, const DialogRow& row) {
    setfilter(filtertext(row.action, row.extension));
    if (g_choosers.open(&sharedfiledialog()) && acceptchoice(row.action, row.extension, g_win.filebuffer)) {
        setrow(dialog, IDC_ROW_VALUE, r, g_win.filebuffer);
        if (row.action == SetAction::BinChooser) {
            int rows = 0, cols = 0;
            readdims(g_win.filebuffer, rows, cols);
            setrow(dialog, IDC_ROW_COUNT1, r, std::to_string(rows).c_str());
            setrow(dialog, IDC_ROW_COUNT2, r, std::to_string(cols).c_str());
            // The option would refuse it the same way when run.
            if (static_cast<long long>(rows) * cols == 0) infobox("Sorry: invalid binary file");
        }
    }
    SetForegroundWindow(dialog);
}

void choosenewfile(HWND dialog, int r) {
    lstrcpynA(g_win.filebuffer, g_doc.path, sizeof g_win.filebuffer);
    lstrcpynA(g_win.titlebuffer, g_doc.title, sizeof g_win.titlebuffer);
    if (g_choosers.save(&sharedfiledialog())) setrow(dialog, IDC_ROW_VALUE, r, g_win.filebuffer);
    SetForegroundWindow(dialog);
}
