#include "frame/textline.h"

bool readtextline(std::FILE* f, std::string& line, bool* ended) {
    line.clear();
    int c;
    while ((c = std::fgetc(f)) != EOF && c != '\n') line.push_back(static_cast<char>(c));
    if (c == EOF && line.empty()) return false;
    if (c == '\n' && !line.empty() && line.back() == '\r') line.pop_back();
    if (ended) *ended = c == '\n';
    return true;
}
