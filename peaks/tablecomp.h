// Option 2, "Compute table": cuts the fragment-length axis of a channel
// table into groups of size classes (asking the class widths and upper
// limits while it runs) and writes the samples x classes table of peak
// heights or areas, in full and without its all-zero columns, next to the
// input.
#pragma once

void computetable(const char* path, int groups, int heightarea, int summax, int rowpct, int maxpeaks, int start);
