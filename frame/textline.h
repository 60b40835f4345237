// Reading text files line by line, whatever their line ends, and reading
// small files whole.  Nothing here throws, and memory stays bounded however
// long a line or a file is.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

// Characters of a line that are kept; the rest of a longer line is read
// past.  (Batch values hold 1023 characters.)
const std::size_t kMaxTextLine = 1023;

// Reads the next line without its line end: LF, CR LF, or any run of CRs
// before an LF (a file opened in binary mode reads alike on every platform).
// False at the end of the file.  ended, when given, tells whether the line
// had a line end.
bool readtextline(std::FILE* f, std::string& line, bool* ended = nullptr,
                  std::size_t max = kMaxTextLine);

// Up to max bytes of a regular file, every byte; false when the path is not
// a regular file (a folder, a pipe, a device) or cannot be read.
bool readwholefile(const std::string& path, std::string& out, std::size_t max);
