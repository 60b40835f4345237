// The platform port for the companion programs, which have no window, no
// report pane and ask no questions: boxes go to standard error, questions
// get the safe answer, the pane and the menu do nothing.  Only the data-file
// library's messages reach it in practice (a table that cannot be read).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "frame/platform.h"

void port_beep() {}
void port_infobox(const char* text) { std::fprintf(stderr, "%s\n", text); }
void port_errorbox(const char* text) { std::fprintf(stderr, "%s\n", text); }
void port_close_request() {}
bool port_ask_yesno(const char*, const char*) { return false; }
std::string port_windows_folder() { return "."; }
bool port_choose_folder_file() { return false; }
int port_pane_line_count() { return 0; }
void port_pane_load(const char*) {}
void port_pane_apply_font() {}
void port_pane_scroll(int) {}
void port_menu_append(int, const char*) {}
void port_menu_append_separator() {}
std::string port_menu_item_text(int) { return ""; }
void port_open_param_dialog(int) {}
bool port_ask_value(const char* const*, int, char*) { return false; }
std::string port_find_file(const char*) { return ""; }
void port_exit_process(int status) { std::exit(status); }
