// The portable logic of the parameter dialog, shared by every front's form:
// the rows built from the current option's ParamSpec, what a row's "Set"
// button does, and the filters of the file choosers.
#pragma once

#include <string>
#include <vector>

// What a row's "Set" button opens, by the descriptor's type.
enum class SetAction {
    None,         // "pict" and unknown types
    BinChooser,   // "bin": open a binary table, show its counts
    TextChooser,  // "text": open any file
    NewChooser,   // "new": name a file to create
    ValueEntry,   // "int", "float", "string", "selection"
};

struct DialogRow {
    std::string shortlabel;          // shown in the row
    std::string longlabel;           // all lines, for the help message
    std::vector<std::string> lines;  // label lines 1..12, for the value entry
    std::string type;                // descriptor type: "bin", "text", "int", ...
    std::string extension;           // file filter extension for "bin" and "text"
    SetAction action = SetAction::None;
};

// The rows of the current option's dialog, from its ParamSpec (which is
// split again into the registry's labels and descriptors).
std::vector<DialogRow> dialogrows();
// Title of the current option's dialog.
std::string dialogtitle();

SetAction setaction(const std::string& type);
// The file choosers show the label as a help message first (when the help
// messages are switched on); the value entry shows the lines itself.
bool helpfirst(SetAction action);

// The filter text of an open-file chooser for an extension, '|' separated:
// "All files (*.*)|*.*|" for none, the files without extension for one
// character, the files whose extension ends with it for two, and the files
// with exactly that extension for three or more.
std::string filtertext(SetAction chooser, const std::string& extension);
// A filter text as the platform's list: its last character separates, and
// each separator becomes a NUL, so the list ends with two NULs.
std::string filterlist(const std::string& text);
// False when a chosen path does not fit the chooser: the binary-table
// chooser for files without extension refuses a file name with a dot.
bool acceptchoice(SetAction chooser, const std::string& extension, const std::string& path);
// Before a run starts from the dialog: the message for the first "bin" or
// "text" row whose value does not name an existing regular file ("Sorry: no
// such file: PATH (LABEL)"), with its number (from 1) in *row, or an empty
// string when every one does.  An empty value passes: the option itself
// says what an empty value means.
std::string checkinputfiles(const std::vector<DialogRow>& rows, const std::vector<std::string>& values,
                            int* row = nullptr);
