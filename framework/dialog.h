// The portable logic of the parameter dialog, shared by every front's form.
#pragma once

#include <string>
#include <vector>

struct DialogRow {
    std::string shortlabel;  // shown in the row
    std::string longlabel;   // all lines, for help and the value entry
    std::string type;        // descriptor type: "bin", "text", "int", ...
    std::string extension;   // file filter extension for "bin" and "text"
};

// The rows of the current option's dialog, from its ParamSpec.
std::vector<DialogRow> dialogrows();
// Title of the current option's dialog.
std::string dialogtitle();
