// Reading a GeneScan text export: its lines, the fields of a line and the
// numbers in them.
//
// Lines end as every text file the suite reads (datafile/textline.h): LF,
// CR LF, a lone CR (exports of the old Mac version of the exporting
// program), and a run of CRs before an LF counts as one line end.
// Memory stays bounded whatever the input: a line longer than the read
// buffer is cut down to its first nine fields, each cut to kLongField bytes.
#pragma once

#include <cfloat>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "datafile/decimal.h"
#include "datafile/textline.h"
#include "datafile/wordscan.h"

// Field delimiters: blank, tab, LF and CR.  A NUL ends the line, as it would
// end a C string.
const std::uint64_t kExportDelimiters = (1ull << ' ') | (1ull << '\t') | (1ull << '\n') | (1ull << '\r');
inline bool isdelimiter(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return u <= ' ' && ((kExportDelimiters >> u) & 1u);
}
inline bool endsfield(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return u <= ' ' && (((kExportDelimiters | 1u) >> u) & 1u);
}

// Moves p to the next field of a NUL-terminated line and returns its start,
// or null when the line has no further field.  endfield() then moves p past
// it.  May read the byte after the line's NUL (ExportLines::kPadding).
inline char* nextfield(char*& field) {
    char* p = field;
    // Fields are mostly one tab apart: one delimiter, then a field byte.
    if (static_cast<unsigned char>(p[1]) > ' ' && isdelimiter(*p)) {
        field = p + 1;
        return field;
    }
    while (isdelimiter(*p)) ++p;
    field = p;
    return *p ? p : nullptr;
}

// Moves field past the field it starts.  Every delimiter and the NUL are
// below '!', so each word is searched for its first byte below '!'; another
// control byte inside the field is stepped over.  Reads up to seven bytes
// past the line's NUL (ExportLines::kPadding).
inline void endfield(char*& field) {
    char* p = field;
    for (;;) {
        int i = firstbelow(loadword(p), '!');
        p += i;
        if (i < 8) {
            if (endsfield(*p)) break;
            ++p;
        }
    }
    field = p;
}

// The same as leadingdecimal on a field, with the common case done in line:
// a sign, then up to 15 digits and a decimal point, no exponent.  The
// digits and the power of ten are then both exact doubles, so one division
// gives the correctly rounded value.  (Where intermediate results are kept
// in extended precision that division could round twice, so there every
// number takes the long way.)  The digit loops do not count: a run longer
// than 15 digits only wraps the unsigned mantissa, which is then not used.
// (Eight digits at a time measured slower on exports, whose numbers have
// one to six digits: 65 ms against 38 ms for 10^6 lines.)
inline double fielddecimal(const char* text, const char** stop) {
#if defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD == 0
    static const double kPow10[16] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                      1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const char* p = text;
    bool negative = false;
    if (*p == '-' || *p == '+') negative = *p++ == '-';
    std::uint64_t mantissa = 0;
    unsigned d;
    const char* const whole = p;
    while ((d = static_cast<unsigned char>(*p) - static_cast<unsigned>('0')) < 10) {
        mantissa = mantissa * 10 + d;
        ++p;
    }
    std::ptrdiff_t count = p - whole, decimals = 0;
    if (*p == '.') {
        const char* const fraction = ++p;
        while ((d = static_cast<unsigned char>(*p) - static_cast<unsigned>('0')) < 10) {
            mantissa = mantissa * 10 + d;
            ++p;
        }
        decimals = p - fraction;
        count += decimals;
    }
    if (count > 0 && count <= 15 && (*p | 0x20) != 'e') {
        double v = static_cast<double>(mantissa);
        if (decimals) v /= kPow10[decimals];
        *stop = p;
        return negative ? -v : v;
    }
#endif
    return leadingdecimal(text, stop);
}

// Hands out the lines of a stream one by one, NUL-terminated.  At least
// kPadding readable bytes follow each line's NUL, so the field scans above
// may read a word that begins at or before it, and splitnine
// (peaks/fieldsplit.h) the 64 bytes from the line's start.
class ExportLines {
  public:
    // capacity: the longest line kept whole (smaller only in tests).
    explicit ExportLines(std::FILE* f, std::size_t capacity = kCapacity);
    // The next line without its line end; false at the end of the input (or
    // at a read error, which the caller finds with ferror).
    bool next(char*& line) {
        std::size_t length;
        if (!nextspan(line, length)) return false;
        line[length] = '\0';
        return true;
    }
    // The same, not yet terminated: the line is line[0, length), and
    // line[length] (its line end, or a NUL) is the caller's to overwrite.  A
    // caller can so read the line before anything is stored into it, which
    // wide loads would otherwise wait for.  A line whole in the buffer is
    // handed out here in line; the rest by next_line.
    bool nextspan(char*& line, std::size_t& length) {
        char* b = buf_.get();
        if (tail_.open()) pos_ += tail_.skip(b + pos_, end_ - pos_);
        if (!tail_.open() && !skip_end_) {
            const std::size_t t = breaks_.find(b, pos_, end_);
            if (t < end_) {
                tail_.start(b[t]);
                line = b + pos_;
                length = t - pos_;
                pos_ = t + 1;
                return true;
            }
        }
        if (!next_line(line)) return false;
        length = std::strlen(line);
        return true;
    }

    static const std::size_t kCapacity = 256 * 1024;  // longest line kept whole
    static const std::size_t kLongField = 1023;       // bytes kept of a field of a longer line
    static const int kLongFields = 9;                 // fields kept of a longer line
    static const std::size_t kPadding = 64;           // readable bytes past a line's NUL

  private:
    bool next_line(char*& line);
    void refill();
    bool long_line(char*& line);

    std::FILE* f_;
    std::size_t capacity_;
    std::unique_ptr<char[]> buf_;
    std::size_t pos_ = 0;  // start of the next line
    std::size_t end_ = 0;  // end of the data read
    LineBreaks breaks_;    // the next CR or LF at or after pos_
    LineEndTail tail_;     // the rest of a line end still to be passed over
    bool eof_ = false;
    bool skip_end_ = false;  // a long line's end is still to be passed over
    std::string long_;       // a long line, cut down
};
