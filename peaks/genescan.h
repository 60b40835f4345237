// Option 1, "Read Genescan file": splits a GeneScan text export by dye
// channel into the binary tables "Chan1".."Chan4" and the sample-name files
// "SampleNames", "SampleNamesCh1".."SampleNamesCh4", all in the current
// folder, and appends its summary to the report stream.
#pragma once

void Peakread(const char* path);
