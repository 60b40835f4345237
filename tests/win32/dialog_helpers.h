// Helpers for the tests of the parameter and value-entry dialogs: a
// stand-in for the common file dialogs, clicks that run synchronously, and
// files to choose.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <functional>
#include <string>
#include <vector>

#include "win32/gui_harness.h"

// Answers the file choosers in place of the common dialogs and records each
// call: "open" or "save", with the filter list shown.
struct ChooserStandIn {
    std::string answer;  // the path chosen; empty = cancelled
    std::vector<std::string> calls;
    std::vector<std::string> filters;  // each list with its NULs
    std::function<void()> on_call;     // runs when the chooser opens
};
extern ChooserStandIn g_chooser;
BOOL standin_open(OPENFILENAMEA* f);
BOOL standin_save(OPENFILENAMEA* f);

// Clicks a dialog's button and returns when its command has run (nested
// dialogs it opens take their queued actions meanwhile).
void click(HWND dialog, int id);
// A value-entry dialog action: records label lines 1..12 (when lines is
// given), types value and presses OK.
DialogAction type_value(const std::string& value, std::vector<std::string>* lines = nullptr);
// A binary table of rows x cols values (zeros when none are given).
void write_table(const std::string& path, int rows, int cols, const std::vector<float>& values = {});
// A file of the source tree's examples/ folder, as a Windows path.
std::string example(const std::string& name);
// A path of the Linux file system as Wine shows it (drive Z:).
std::string winepath(const std::string& unixpath);
