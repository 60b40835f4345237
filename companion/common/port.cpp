// The part of the platform port that the companion programs need: they
// have no window and ask no questions, and of the core they use only the
// data-file routines, whose failures come as boxes.  A box is a line on
// standard error; the close request has nothing to close (the program
// ends when the failed run is abandoned).
#include <cstdio>

#include "base/platform.h"

void port_beep() {}
void port_infobox(const char* text) { std::fprintf(stderr, "%s\n", text); }
void port_errorbox(const char* text) { std::fprintf(stderr, "%s\n", text); }
void port_close_request() {}
