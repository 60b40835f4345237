// A table as an SVG heat map: rows (samples) down, columns (classes)
// across, one colour per value on a scale shown beside it, row labels on
// the left and column labels on top.
//
// Cell sizes follow the table's shape so that 40 x 1000 and 1000 x 40
// tables both stay readable; when labels would overlap only every k-th
// one is written.  Tables of more than 1000 rows or columns are drawn in
// blocks of rows or columns, each block showing its largest value.  Zero
// cells are left in the background colour, not-a-number cells are grey.
// The scale spans the finite values; infinite cells take its ends.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

struct HeatMap {
    std::string title;
    int rows = 0, cols = 0;
    std::vector<float> values;            // rows x cols, row after row
    std::vector<std::string> row_labels;  // by row; missing or empty: the row number
    std::vector<std::string> col_labels;  // by column; missing or empty: the column number
};

// Writes the SVG document; false on a write error.
bool writeheatmap(const HeatMap& map, std::FILE* out);

// Reads a binary table's counts and values into map through one open
// stream, so the counts are those of the values read even when the file
// changes meanwhile.  Returns an empty text, or why the table cannot be
// read.  Throws std::bad_alloc when its values do not fit in memory.
std::string readheatmap(const std::string& table, HeatMap& map);
