// Notices, errors and fatal errors shown to the user.
//
// infobox and errorbox show their text and return.  fatalerror shows the
// error box, sends the close request to the main window and then abandons
// the current run by throwing RunAbandoned, which the option dispatcher (and
// the fronts around start-up) catch.  No other code throws for control flow.
#pragma once

// Thrown by fatalerror; caught where a run or start-up step is dispatched.
struct RunAbandoned {
    const char* text;
};

void infobox(const char* text);
void errorbox(const char* text);
[[noreturn]] void fatalerror(const char* text);
