// The sample names that label the rows of a table of samples.
//
// Option 1 numbers the samples of channel K in "SampleNamesChK" with lines
// "Echantillon %d = %s"; option 2 names its tables after its input, so a
// table whose file name is "ChanK" followed by a suffix ("Chan1_tabSH") has
// the rows of "SampleNamesChK" in the same folder.  The channel table
// "ChanK" itself has a row per peak, not per sample, and no names file.
// A table that names its own rows (a table of replicate groups) has them in
// "<table>.names" beside it, in the same layout; that file comes first.
#pragma once

#include <string>
#include <vector>

// The names file for a table, or empty when the naming gives none.
std::string samplenamesfor(const std::string& table);

// The names of a names file by sample number: names[n - 1] names sample n;
// numbers the file does not name stay empty.  An absent or unreadable file
// gives no names.
std::vector<std::string> readsamplenames(const std::string& path);
