// Reading text files line by line, whatever their line ends.
#pragma once

#include <cstdio>
#include <string>

// Reads the next line without its LF or CR LF (a file opened in binary
// mode reads alike on every platform).  False at the end of the file.
// ended, when given, tells whether the line had a line end.
bool readtextline(std::FILE* f, std::string& line, bool* ended = nullptr);
