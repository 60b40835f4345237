// Reading and writing Peakprep's tables: the channel tables of peaks and the
// class tables of samples, their sample names, and the staged outputs.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// A channel table's columns: sample, peak, minutes, size, height, area; and
// the notice for a table of any other width.
const int kChannelColumns = 6;
constexpr const char kNotChannelTable[] =
    "Sorry: a channel table has 6 columns (sample, peak, minutes, size, height, area)";

// The names file of a table: "SampleNamesChK" in the same folder for
// "ChanK" itself and for every "ChanK_..." table; empty otherwise.
std::string namesfile(const std::string& table);

// The name of sample s (from 1) in names, or empty.
const std::string& samplename(const std::vector<std::string>& names, long long s);

// The size of a binary table, with the report lines of the input's name and
// size; an empty or invalid table gives the usual notice and false.
bool tablesize(const std::string& name, int& rows, int& cols);

// A binary table read whole: rows x cols float32 values, row after row.
// Reports the input's name and size.  An empty or invalid table gives the
// usual notice and false.
struct FloatTable {
    int rows = 0, cols = 0;
    std::vector<float> values;
};
bool readtable(const std::string& name, FloatTable& t);

// A binary table written under a staged name (row after row, cols values
// each); failures end in fatalerror.
void writetable(const std::string& staged, const std::vector<float>& values, int rows, int cols);

// The shortest text that reads back as the same float32; "NaN" for
// not-a-number.
std::string valuetext(double v);
