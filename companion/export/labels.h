// Row and column labels of a binary table, found beside it.
//
// Rows: the sample-name file the suite's naming gives ("Chan1_tabSH" ->
// "SampleNamesCh1" in the same folder), or one named by the user.
// Columns (for the heat map): the header of "<table>.csv" when "Compute
// table" wrote one (its class bounds) and it has a label for every column;
// otherwise none.
//
// Only regular files are read (a pipe or a device might never end), line by
// line whatever their line ends (LF, CR LF or a lone CR), each line cut to a
// bounded length.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

struct FoundLabels {
    std::vector<std::string> rows, cols;
    std::string rows_from, cols_from;  // the files they came from, or empty
    std::vector<std::string> notes;    // files beside the table that were passed over, and why
};

// names_file: the user's sample-name file, or empty to use the naming.
// False (and why) when the user's file cannot be read.
bool findlabels(const std::string& table, int cols, const std::string& names_file, FoundLabels& found,
                std::string& why);

// Lines of a stream, read in blocks.  A line ends with LF, CR LF or a lone
// CR; bytes of a line beyond max are read past.
class TextLines {
  public:
    // block: bytes read at once (smaller only in tests).
    TextLines(std::FILE* f, std::size_t max, std::size_t block = 1u << 16)
        : f_(f), max_(max), buf_(block ? block : 1) {}
    // The next line without its line end; false at the end of the stream
    // (or at a read error, which the caller finds with ferror).
    bool next(std::string& line);

  private:
    std::FILE* f_;
    std::size_t max_;
    std::vector<char> buf_;
    std::size_t pos_ = 0, end_ = 0;
    bool after_cr_ = false;  // the last line ended with CR: an LF next belongs to it
};
