// The batch parameter-file runner: runs options unattended from a file.
//
// Layout: a report name line; then per run an option number line, a
// parameter count line and one value line per parameter; runs are joined
// by a line of exactly ten '-'.  Lines end as in every text file the suite
// reads (datafile/textline.h): LF, CR LF, a lone CR or a run of CRs.
#pragma once

#include <string>
#include <vector>

enum class BatchEnd {
    Completed,     // worked through; the caller ends the process with 0
    StoppedEarly,  // a malformed or missing block; earlier runs stand
    CannotOpen,    // the file could not be opened
    Empty,         // no report name line
    Closing,       // a run ended in a fatal error that closed the program
};

struct BatchOutcome {
    BatchEnd end = BatchEnd::Completed;
    int line = 0;        // line where it stopped (StoppedEarly)
    std::string reason;  // why it stopped, for fronts that say so
};

// Runs one file and returns; a completed file has already finished its
// report (temporary report file deleted, text report file kept).
BatchOutcome runbatch(const char* path);
// Runs one file and ends the process with status 0 when it completed;
// returns otherwise.
BatchOutcome runbatchfile(const char* path);
// Runs dropped files in order until one completes (which ends the process).
BatchOutcome rundroppedfiles(const std::vector<std::string>& paths);
