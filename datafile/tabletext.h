// A binary table file as a labelled text table (CSV or TSV).
//
// Values are written as the shortest decimal text that reads back as the
// same float32 (whole numbers below 2^24 as plain integers); not-a-number
// is an empty cell.  CSV cells follow RFC 4180: a cell holding the
// separator, a double quote, CR or LF is quoted, inner quotes doubled.  TSV
// cells cannot be quoted: tabs and line ends in labels become blanks.
// Lines end with CR LF in CSV (as RFC 4180 has it) and LF in TSV.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// Writes the shortest text of v into out (at least 32 bytes, not
// terminated) and returns its length; 0 for not-a-number.
int floattext(float v, char* out);

// Appends one cell of a line (no separator before it).
void appendcell(std::string& line, const std::string& text, char sep);

struct TextLabels {
    char sep = ',';                 // ',' for CSV, '\t' for TSV
    std::string corner;             // first cell of the header line
    std::vector<std::string> rows;  // row labels by row (0-based); missing or empty: the row number
    std::vector<std::string> cols;  // column labels; missing or empty: the column number
};

// Writes the table in file name to out: a header line (the corner, then a
// label per column), then per row its label and its values.  Reading
// failures end in fatalerror as the library's readers do.  Returns false
// when out reported a write error.
bool texttable(const char* name, std::FILE* out, const TextLabels& labels);
