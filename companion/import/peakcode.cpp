#include "companion/import/peakcode.h"

#include "companion/common/fields.h"

namespace {

int dyeofletter(char c) {
    switch (c) {
        case 'B':
        case 'b':
            return 1;
        case 'G':
        case 'g':
            return 2;
        case 'Y':
        case 'y':
            return 3;
        case 'R':
        case 'r':
            return 4;
        case 'O':
        case 'o':
            return 5;
        default:
            return 0;
    }
}

}  // namespace

bool parsecode(std::string_view s, PeakCode& code) {
    std::size_t i = 0, n = s.size();
    while (i < n && s[i] == ' ') ++i;
    if (i >= n || !((s[i] >= 'A' && s[i] <= 'Z') || (s[i] >= 'a' && s[i] <= 'z'))) return false;
    code.letter = s[i];
    code.dye = dyeofletter(s[i]);
    ++i;
    while (i < n && s[i] == ' ') ++i;
    if (i >= n || s[i] != ',') return false;
    ++i;
    while (i < n && s[i] == ' ') ++i;
    std::size_t start = i;
    while (i < n && s[i] >= '0' && s[i] <= '9') ++i;
    if (i == start) return false;
    code.number = s.substr(start, i - start);
    code.size_standard = false;
    for (; i < n; ++i) {
        if (s[i] == '*')
            code.size_standard = true;
        else if (s[i] != ' ')
            return false;
    }
    return true;
}

int dyeword(std::string_view text) {
    const std::string k = columnkey(text);
    if (k == "blue" || k == "b") return 1;
    if (k == "green" || k == "g") return 2;
    if (k == "yellow" || k == "y") return 3;
    if (k == "red" || k == "r") return 4;
    if (k == "orange" || k == "o") return 5;
    return 0;
}

char dyeletter(int dye) { return "?BGYRO"[dye >= 1 && dye <= 5 ? dye : 0]; }
