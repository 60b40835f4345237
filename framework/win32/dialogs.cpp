// The parameter dialog and the value-entry dialog of the Win32 program.
// (Placeholders until the dialog templates exist: the parameter dialog
// only beeps and a question is cancelled.)
#include <windows.h>

#include "base/platform.h"

void port_open_param_dialog(int) { MessageBeep(0); }

bool port_ask_value(const char* const*, int, char*) { return false; }
