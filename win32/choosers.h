// The file choosers of the parameter dialog's rows.  They share the main
// window's file dialog settings (its file-name buffer keeps the last choice,
// its filter the last one built) and put the chosen path into the row.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include "framework/dialog.h"

// The common dialogs the choosers show; tests put their own in.
using FileChooser = BOOL (*)(OPENFILENAMEA*);
struct Choosers {
    FileChooser open;
    FileChooser save;
};
extern Choosers g_choosers;

// The binary-table or text-file chooser of row r (by the row's action): the
// filter from the row's extension, then the open-file dialog; a binary
// table's row and column counts go beside the row.
void choosefile(HWND dialog, int r, const DialogRow& row);
// The new-file chooser of row r: the save-file dialog, preset with the pane
// document's name, with whatever filter was built last.
void choosenewfile(HWND dialog, int r);
