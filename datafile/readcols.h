// Several columns of a binary table file in one pass.
//
// selectcols fills vectors[k] with column cols[k] of the table, for k = 0 ..
// count - 1, reading the file once in large blocks.  It behaves as count
// calls of selectcol in that order would, with the same failure texts in the
// same order: the row count of the file against each vector's length
// ("l1!=l2"), each column number against the column count ("numcol>c1",
// "numcol<1"), and a data region shorter than the trailer claims ("can't
// read vector (readvec)"), which is found before any value is read: nothing
// beyond the data region is ever read.  checkbin's warning about an empty
// table is given once, not once per column.
#pragma once

#include "datafile/arrays.h"

void selectcols(const char* name, const int* cols, DVector* vectors, int count);
