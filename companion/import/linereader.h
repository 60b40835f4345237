// Lines of a text file, read in blocks of 1 MiB.
//
// Lines end as in every text file the suite reads (datafile/textline.h:
// LF, CR LF, a run of CRs before an LF, or a lone CR); the line end is not
// part of the line, and a last line without a line end still counts.
//
// The text is UTF-8 (or any 8-bit code page) or, after its byte-order mark,
// UTF-16 (little or big endian, what spreadsheets save as "Unicode text"),
// which is handed out as UTF-8.  A UTF-8 byte-order mark is not part of the
// first line.
//
// Memory stays bounded whatever the input: a line longer than kMaxLine is
// handed out cut to its first kMaxLine bytes and marked (see cut); the rest
// of it is passed over.
#pragma once

#include <cstdio>
#include <memory>
#include <string_view>

#include "datafile/textline.h"

class LineReader {
  public:
    static const std::size_t kMaxLine = 1u << 20;

    explicit LineReader(std::FILE* f);
    // The next line, valid until the following call; false at the end of
    // the file or on a read error (see failed).
    bool next(std::string_view& line);
    long number() const { return number_; }  // of the last line returned
    bool failed() const { return failed_; }
    // The last line returned was longer than kMaxLine (and is cut).
    bool cut() const { return cut_; }
    // "UTF-16LE", "UTF-16BE" or null, as the byte-order mark said.
    const char* encoding() const;

  private:
    enum class Encoding { Bytes, Utf16le, Utf16be };
    bool fill();
    std::size_t read(char* to, std::size_t room);
    std::size_t decode(char* to, std::size_t room);
    std::FILE* f_;
    std::unique_ptr<char[]> buf_;
    std::size_t cap_;
    std::size_t begin_ = 0, end_ = 0;
    long number_ = 0;
    bool eof_ = false, failed_ = false, first_ = true, cut_ = false, skipping_ = false;
    Encoding enc_ = Encoding::Bytes;
    LineBreaks breaks_;
    LineEndTail tail_;
    // UTF-16: raw bytes read but not yet decoded.
    std::unique_ptr<unsigned char[]> raw_;
    std::size_t raw_begin_ = 0, raw_end_ = 0;
    bool raw_eof_ = false;
};
