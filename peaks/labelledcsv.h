// Labelled copies of the class tables, on request (the console's --csv).
//
// Beside each binary table that "Compute table" writes, "<table>.csv"
// holds the same values with the sample names as row labels and each
// column labelled by its class bounds "[lo,hi)"; the reduced table's
// columns keep the labels of the classes they come from.
#pragma once

#include <string>
#include <vector>

#include "peaks/classlayout.h"

// Owned by the module; the console front sets it before start-up.
struct LabelledState {
    bool csv = false;  // write the labelled copies
};
extern LabelledState g_labelled;

// Labels "[lo,hi)" of the T classes of a counted layout, in column order.
std::vector<std::string> classlabels(const ClassLayout& layout);

// Writes full_name + ".csv" and kept_name + ".csv" from the finished
// binary tables, which it reads back; keep lists the full table's columns
// (1-based) that the reduced table holds.  Appends a report line per file.
// A copy that cannot be written is removed and ends in fatalerror; the
// binary tables stay as they are.
void writelabelledtables(const ClassLayout& layout, const std::vector<int>& keep, const std::string& full_name,
                         const std::string& kept_name);
