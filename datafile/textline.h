// The one line-end rule of every text file the suite reads (batch files,
// console input, sample-name files, exports, imports), and a bounded line
// reader built on it.
//
// A line ends at its first LF or CR.  An LF ends it alone; a CR takes the
// CRs right after it and one LF after those along.  So LF, CR LF, a run of
// CRs before an LF and a lone CR (old Mac OS files) each end one line, and
// a file opened in binary mode reads alike on every platform.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>

// Characters of a line that readtextline keeps by default; the rest of a
// longer line is read past.  (Batch values hold 1023 characters.)
const std::size_t kMaxTextLine = 1023;

// Reads the next line without its line end, keeping its first max bytes.
// False at the end of the file.  ended, when given, tells whether the line
// had a line end.  Nothing here throws; memory stays bounded.
bool readtextline(std::FILE* f, std::string& line, bool* ended = nullptr, std::size_t max = kMaxTextLine);

// For readers of blocks: where the next line break (CR or LF) is.  The
// answers for CR and LF are each kept until the reader passes them, so a
// block is searched once however many lines it holds; forget() them when
// the text moves or more is read.
class LineBreaks {
  public:
    // The first CR or LF in text[from, size), or size when there is none.
    // (In line: the readers of big files ask once a line.)
    std::size_t find(const char* text, std::size_t from, std::size_t size) {
        std::size_t lf = first(text, '\n', lf_, from, size), cr = first(text, '\r', cr_, from, size);
        return lf < cr ? lf : cr;
    }
    void forget() { lf_ = cr_ = kUnknown; }

  private:
    static const std::size_t kUnknown = static_cast<std::size_t>(-1);
    std::size_t lf_ = kUnknown, cr_ = kUnknown;

    static std::size_t first(const char* text, char c, std::size_t& cache, std::size_t from, std::size_t size) {
        if (cache == kUnknown || cache < from) {
            const void* hit = std::memchr(text + from, c, size - from);
            cache = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text) : size;
        }
        return cache;
    }
};

// For readers of blocks: the rest of a line end that began with a CR (the
// CRs after it and one LF), which may arrive in a later block.
class LineEndTail {
  public:
    // The line just handed out ended at break_char (CR or LF).
    void start(char break_char) { open_ = break_char == '\r'; }
    // The bytes at the front of text[0, size) that still belong to the line
    // end; open() stays true while the text ran out inside the run of CRs.
    std::size_t skip(const char* text, std::size_t size);
    bool open() const { return open_; }

  private:
    bool open_ = false;
};
