// Dye/peak codes ("B,12", "B, 1", "R,1     *") and spelled-out dyes.
//
// Dyes: B(lue) 1, G(reen) 2, Y(ellow) 3, R(ed) 4, O(range) 5; any other
// letter or word is an unknown dye (0).  An asterisk after the peak number
// marks a size-standard peak.
#pragma once

#include <string_view>

struct PeakCode {
    int dye = 0;              // 1..5, or 0 for an unknown dye
    char letter = 0;          // the dye letter as written
    std::string_view number;  // the peak number as written
    bool size_standard = false;
};

// False when text is not a dye/peak code at all.
bool parsecode(std::string_view text, PeakCode& code);

// A dye written as a word or a letter, as GeneMarker writes it: 1..5, or 0.
int dyeword(std::string_view text);

// The letter that stands for a dye number 1..5.
char dyeletter(int dye);
