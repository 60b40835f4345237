// The library's sort: increasing order of a DVector, carrying an IVector of
// former positions (p[i] = where the value now at x[i] was before).
//
// The order of equal values is fixed by the exchanges of a descending
// partition sort followed by a reversal; callers and stored results rely on
// it, so it must not be replaced by another sort.
#pragma once

#include "datafile/arrays.h"

void vecsort(DVector x, IVector p);
