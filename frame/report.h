// The report files and the configuration files.
//
// Every option run appends its banner and report lines to the report stream
// (base/reportstream.h) on the temporary report file.  After each run
// PublishReport copies that file over the text report file, which the
// report pane shows.  QOR4DIRP.txt (in the start folder) names the
// preference folder; QOR4PREF.txt (in the preference folder) names the
// default folder, which ReportSetUp makes current.
#pragma once

#include <string>

#include "base/reportstream.h"

struct ReportState {
    std::string start_folder;    // "-d", else the folder current at start-up
    std::string pref_folder;     // holds QOR4PREF.txt
    std::string default_folder;  // named by QOR4PREF.txt; empty when none
    std::string text_name;       // "l-" + report name + stamp + ".txt"
    // Absolute path, bound with the temporary report file's when the report
    // stream is first opened under the current names.
    std::string text_path;
    bool published = false;         // set by the first PublishReport
    // What the last publish left in the text report file: its size (-1 when
    // unknown, so the next publish copies everything) and the temporary
    // file's emptied count then.  A text file still of that size gets only
    // what the temporary file gained since.
    long long published_bytes = -1;
    unsigned published_emptied = 0;
    bool told_folder_name = false;  // the code-page notice is shown once
};
extern ReportState g_report;

void ReportSetUp(const char* report_name);
void PublishReport();
void ReopenReport();
void ChangeDefaultFolder();
// Opens the report stream with "a+" when it is not open (before a run).
void OpenReportStream();
// Closes the report stream (if open) and deletes the temporary report file.
void CloseReportAndDeleteTemp();
// The exit procedure run when the main window is destroyed; pane and brush
// work stays with the front, which calls this in between.
void ExitReport();
