// Lines of a text file, read in blocks of 1 MiB.
//
// A line ends at LF, CR LF, or (in a file with no LF in its first block,
// as old Mac OS programs wrote them) at CR; the line end is not part of the
// line, and a last line without a line end still counts.
#pragma once

#include <cstdio>
#include <string_view>
#include <vector>

class LineReader {
  public:
    explicit LineReader(std::FILE* f) : f_(f), buf_(1u << 20) {}
    // The next line, valid until the following call; false at the end of
    // the file or on a read error (see failed).
    bool next(std::string_view& line);
    long number() const { return number_; }  // of the last line returned
    bool failed() const { return failed_; }

  private:
    bool fill();
    std::FILE* f_;
    std::vector<char> buf_;
    std::size_t begin_ = 0, end_ = 0;
    long number_ = 0;
    bool eof_ = false, failed_ = false, first_ = true, cr_only_ = false;
};
