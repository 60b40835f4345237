// The samples x classes tables of "Compute table": filling them from the
// peaks, the per-sample peak limit, the removal of all-zero columns, the row
// proportions and the output files.
//
// Tables are DMatrix (rows = samples 1..S, columns = classes 1..T).  The
// input columns are DVectors of one entry per peak.
#pragma once

#include <string>
#include <vector>

#include "datafile/arrays.h"
#include "peaks/classlayout.h"

// Sum mode: every peak adds its value to the first class (in layout order)
// that holds its length, in the row of its sample number truncated toward
// zero.  Sample numbers below 1 or not finite are left out.
void fillsum(DMatrix table, DVector sample, DVector length, DVector value, const ClassFinder& finder);

// Max mode: every peak whose sample number is exactly a whole s in 1..S
// raises each class that holds its length to its value.  Cells start at 0,
// so only larger values count.
void fillmax(DMatrix table, DVector sample, DVector length, DVector value, const ClassFinder& finder);

// Keeps in each row only the values at least as large as the value at
// position maxpeaks of the row in decreasing order (ties survive); the rest
// become 0.  Nothing changes unless 1 <= maxpeaks < the column count.
void keeplargest(DMatrix table, int maxpeaks);

// The columns (1-based, in order) whose sum over the rows is not exactly 0.
std::vector<int> nonzerocolumns(DMatrix table);

struct WrittenTables {
    int kept_cols;  // columns of the reduced table
    int zero_full;  // rows of sum 0 left as zeros under row proportions
    int zero_kept;
};

// Writes the full table to full_name, then the table of the columns keep to
// kept_name.  With proportions, every row of each table is first divided by
// its own sum over that table's columns; a row whose sum is 0 is left as
// zeros instead of turning into not-a-number.
//
// The reduced table is built in place in the full table once that one is
// written, so no second S x T table is needed; the full table is used up.
WrittenTables writetables(DMatrix table, const std::vector<int>& keep, bool proportions, const std::string& full_name,
                          const std::string& kept_name);

// Names of the two output files of a run.
std::string full_table_name(const char* path, bool heights, bool sum);
std::string kept_table_name(const char* path, bool heights, bool sum);
