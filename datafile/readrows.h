// The rows of a binary table file, in order: the one block reader of the
// tables.
//
// readrows reads the table's data region once, in blocks of about 1 MiB of
// whole rows, and hands every row to fn as cols float32 values (the stored
// values, not widened).  The counts come from the trailer (readdims); a
// data region shorter than the trailer claims is found before any row is
// handed over and ends in fatalerror("Error: can't read vector (readvec)"),
// so nothing beyond the data region is ever read.  A table of 0 rows or 0
// columns hands over nothing.
#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>

void readrows(const char* name, const std::function<void(int row, const float* values)>& fn);

// The same on a table already opened by ouvlec, of rows x cols values, a
// block at a time: fn(first, n, values) gets rows first .. first + n - 1,
// n * cols values.
void readrowblocks(std::FILE* f, int rows, int cols,
                   const std::function<void(int first, std::size_t n, const float* values)>& fn);
