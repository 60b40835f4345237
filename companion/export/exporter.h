// Exporting one binary table of the suite: as CSV or TSV text, as an SVG
// heat map, or its counts and labels.  The export program and Peakprep's
// "Export table" both go through here.
//
// The output is written under a temporary name beside it and put in place
// only once it is complete, so a run that fails leaves an earlier output as
// it was.  An output that is the table or its names file is refused, as
// writing it would destroy what is being read.  A device named as the
// output (-o /dev/null, NUL) is written directly; no output path means
// standard output.
#pragma once

#include <string>
#include <vector>

enum class ExportMode { csv, tsv, svg, info };

struct ExportRequest {
    std::string table;
    std::string names;     // sample-name file; empty: the one the suite's naming gives
    std::string out_path;  // empty: standard output
    ExportMode mode = ExportMode::csv;
};

struct ExportOutcome {
    // 0 done; 1 the output could not be written or the table could not be
    // read (nothing left behind); 2 a table or names file that cannot be
    // opened or holds no table, or an output that is one of the inputs
    // (nothing written).
    int status = 0;
    std::string error;               // "FILE: what went wrong" (empty when a box said it)
    std::vector<std::string> notes;  // about the labels found
};

// program names the caller in the messages the data-file routines give.
ExportOutcome exportone(const ExportRequest& request, const std::string& program);
