// The platform port: everything the portable core asks of a window system.
//
// The core (datafile/, peaks/, framework/, frame/) includes only this header
// when it needs a box, a question, the report pane or the Options menu.
// Three implementations exist, each a complete set of these functions:
//   frame/win32/ and framework/win32/   the real Win32 program (USER32,
//                     COMDLG32, ...; the two dialogs in framework/win32/)
//   frame/console/    the console front: stderr, stdin, stdout
//   tests/support/    a recording fake for the unit tests
// Exactly one of them is linked into each executable.
#pragma once

#include <string>

// ---- Provided by the front end, called by the message routines -------------

// The default beep that precedes every box.
void port_beep();
// Notice box: caption "Message:", information icon, OK.
void port_infobox(const char* text);
// Error box: no caption of its own, stop icon, OK.
void port_errorbox(const char* text);
// The close request that a fatal error sends to the main window.  The front
// runs its ordinary close path (save question, exit procedure) and marks the
// program as closing; the failed run is then abandoned by the caller.
void port_close_request();

// ---- Provided by the front end, called by the report files and exit path ---

// Yes/No question box; returns true for Yes.  Fronts that cannot ask (a
// console without a terminal) answer with the safe choice, No.
bool port_ask_yesno(const char* text, const char* caption);
// The folder that holds QOR4PREF.txt when QOR4DIRP.txt is absent.
std::string port_windows_folder();
// The open-file chooser of "Change default folder": the user picks any file
// and the chooser leaves that file's folder current.  False when cancelled.
bool port_choose_folder_file();
// Report pane: line count, release the document's file, load a text file as
// the pane document, apply the pane font, scroll down by a number of lines.
int port_pane_line_count();
// Releases the pane document's hold on its file, so the text report file
// can be replaced.
void port_pane_close_file();
void port_pane_load(const char* path);
void port_pane_apply_font();
void port_pane_scroll(int lines);

// ---- Provided by the front end, called by the module framework -------------

// Options menu: append a text item with a command id, or a separator.
void port_menu_append(int command_id, const char* title);
void port_menu_append_separator();
// Text of the Options menu item at a position (1 = first option); empty when
// there is no such item.
std::string port_menu_item_text(int position);
// Runs the parameter dialog of the current option modally.
void port_open_param_dialog(int option);
// The value-entry question: shows up to 12 label lines and reads one typed
// value of at most 255 characters into answer (256 bytes).  Returns false
// when the question was cancelled (Esc, end of input); answer is then left
// untouched.
bool port_ask_value(const char* const* lines, int line_count, char* answer);

// ---- Provided by the front end, called by start-up and the batch runner ----

// The name (without folder) of the first file the file system lists for a
// path, which may hold wildcards, spelled as the file system has it (a short
// name comes back long).  Empty when nothing matches.
std::string port_find_file(const char* path);

// Ends the process with a status (a completed batch file ends with 0).
[[noreturn]] void port_exit_process(int status);
