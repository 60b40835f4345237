#include "datafile/textline.h"

#include <cstring>

bool readtextline(std::FILE* f, std::string& line, bool* ended, std::size_t max) {
    line.clear();
    int c;
    bool any = false;
    while ((c = std::getc(f)) != EOF && c != '\n' && c != '\r') {
        any = true;
        if (line.size() < max) line.push_back(static_cast<char>(c));
    }
    if (c == EOF && !any) return false;
    if (ended) *ended = c != EOF;
    if (c == '\r') {
        // The rest of the line end: more CRs, then one LF.  What follows is
        // looked at only once it arrives, and put back when it is not part
        // of the line end.
        while ((c = std::getc(f)) == '\r') {
        }
        if (c != '\n' && c != EOF) std::ungetc(c, f);
    }
    return true;
}

std::size_t LineEndTail::skip(const char* text, std::size_t size) {
    if (!open_) return 0;
    std::size_t i = 0;
    while (i < size && text[i] == '\r') ++i;
    if (i < size) {
        if (text[i] == '\n') ++i;
        open_ = false;
    }
    return i;
}
