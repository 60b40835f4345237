// The report stream: the open text stream on the temporary report file.
//
// Every layer appends its report lines here (the frame its banners, the
// module its summaries, the data-file library its resets); the frame names
// the file (ReportSetUp) and publishes it after each run (PublishReport).
#pragma once

#include <cstdio>
#include <string>

#include "base/files.h"

struct ReportStream {
    std::string name;           // temporary report file: "QOR.temp-" + name + stamp
    std::string path;           // name made absolute when the stream is first opened,
                                // so a chooser that changes folder cannot split the report
    std::FILE* file = nullptr;  // the report stream, or null
    PathLock lock;              // held on path while this process writes it
    unsigned emptied = 0;       // counts the times the file was emptied ("w"), so a
                                // reader of an earlier part knows it is gone
};
extern ReportStream g_reportstream;

// Closes the stream (if open) and opens the temporary report file again with
// a stdio mode; nothing is opened before the file has a name.
void reopenreport(const char* mode);
// Starts the report of the run afresh (the file is emptied).
void ResetReport();
// Closes the stream, if open.
void closereport();
// printf-style append to the report stream; nothing when it is not open.
void reportf(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
