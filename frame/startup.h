// The platform-free half of start-up: the argument grammar, the order of
// the start-up steps after the main window exists, and the resolution of a
// batch file's path.
#pragma once

#include <string>

#include "frame/batch.h"

struct StartupSettings {
    std::string start_folder;  // "-d"
    std::string batch_path;    // "-f", or the whole argument string
    int option = 0;            // "-o": open this option's dialog at start
};

// The argument string of a whole command line: the program's name is cut
// off (it ends at the first space, tab or end of text; a double quote opens a
// stretch running to the next double quote), then every character of value
// 32 or less after it.
std::string argumentstring(const char* commandline);
StartupSettings parseargs(const char* args);
// The folder part of a path (up to and including its last separator: '\'
// or '/' on Windows, '/' elsewhere) followed by the file's name as the file
// system lists it.  Surrounding double quotes are removed first, and a
// relative path is taken relative to base (when given).  A path that names
// no existing file comes back unresolved.
std::string resolvebatchpath(const std::string& path, const std::string& base = "");

// Steps after the window set-up: parse the arguments, fill an empty start
// folder, register the module, open the "-o" dialog, run the batch file.
// Returns the batch outcome when a batch file was named and did not end the
// process, otherwise an outcome of Completed with line 0.
BatchOutcome startup(const char* args);
