// "Compute table" done the plain way, step by step, for the tests to compare
// the real option against: every input column read by its own selectcol,
// both tables built, every class of every group tested for every peak (and,
// in max mode, for every sample), the peak counts by one scan per sample,
// and the peak limit through the library's sort.  It makes the same
// refusals, notices and report lines as the option.
#pragma once

void computetable_literal(const char* path, int groups, int heightarea, int summax, int rowpct, int maxpeaks,
                          int start);
