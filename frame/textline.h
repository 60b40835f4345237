// Reading text files line by line (readtextline, kMaxTextLine: the suite's
// one line reader, in datafile/textline.h) and reading small files whole.
// Nothing here throws, and memory stays bounded however long a line or a
// file is.
#pragma once

#include <cstddef>
#include <string>

#include "datafile/textline.h"

// Up to max bytes of a regular file, every byte; false when the path is not
// a regular file (a folder, a pipe, a device) or cannot be read.
bool readwholefile(const std::string& path, std::string& out, std::size_t max);
