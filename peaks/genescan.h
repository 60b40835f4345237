// Option 1, "Read Genescan file": splits a GeneScan text export by dye
// channel into the binary tables "Chan1".."Chan4" and the sample-name files
// "SampleNames", "SampleNamesCh1".."SampleNamesCh4", all in the current
// folder, and appends its summary to the report stream.
//
// Lines with fewer than nine fields are skipped and counted in the report.
// An input that cannot be opened or read, or that is one of the outputs, a
// name file that cannot be opened or written, a table that cannot be written
// and a channel of more than 999999 peaks end in fatalerror; the input is
// checked before any output is created, and the tables of a failed run stay
// pending until abandon_outputs() removes them.
#pragma once

void Peakread(const char* path);
