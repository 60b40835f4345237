// The console front's own state and terminal helpers.
#pragma once

#include <string>
#include <vector>

struct ConsoleState {
    std::vector<std::string> menu;  // Options menu items; "-" = separator
    std::string pane;               // text of the report "pane" shown so far
    bool told_no_home = false;      // the notice about HOME is given once
};
extern ConsoleState g_console;

// One line from standard input without its line end (datafile/textline.h);
// false at the end.
bool readline(std::string& line);
// True when standard input is a terminal (questions may be asked).
bool interactiveinput();
// The interactive Options menu; returns at the end of input.
void menuloop();
