// Message boxes go through the platform port; texts are cut to the 255
// characters a box buffer holds.
#include "datafile/messages.h"

#include <cstring>

#include "base/platform.h"

namespace {

// Copies text into a 256-byte box buffer, as every box does.
void boxtext(char (&buf)[256], const char* text) {
    std::strncpy(buf, text ? text : "", sizeof buf - 1);
    buf[sizeof buf - 1] = '\0';
}

}  // namespace

void infobox(const char* text) {
    char buf[256];
    boxtext(buf, text);
    port_beep();
    port_infobox(buf);
}

void errorbox(const char* text) {
    char buf[256];
    boxtext(buf, text);
    port_beep();
    port_errorbox(buf);
}

void fatalerror(const char* text) {
    errorbox(text);
    port_close_request();
    throw RunAbandoned{text};
}
