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

std::size_t LineBreaks::find(const char* text, std::size_t from, std::size_t size) {
    auto first = [&](char c, std::size_t& cache) {
        if (cache == kUnknown || cache < from) {
            const void* hit = std::memchr(text + from, c, size - from);
            cache = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text) : size;
        }
        return cache;
    };
    std::size_t lf = first('\n', lf_), cr = first('\r', cr_);
    return lf < cr ? lf : cr;
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
