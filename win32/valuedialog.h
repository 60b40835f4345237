// The value-entry dialog (resource 1500): up to twelve label lines over one
// value field.  It serves a parameter dialog row's "Set" button and the
// run-time questions of an option.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Runs the dialog modally over owner, showing lines 1..12.  OK copies the
// typed text (at most 255 characters, possibly empty) into buffer (256
// bytes) and returns true; Esc returns false and leaves buffer untouched.
bool valueentry(HWND owner, const std::vector<std::string>& lines, char* buffer);
