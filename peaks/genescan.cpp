// Option 1, "Read Genescan file": one pass over a GeneScan text export.
//
// The first line (the column header) is skipped; every further line is one
// peak whose fields are separated by runs of blanks, tabs and line-end
// characters:
//   1, 2   skipped (dye/peak label, sample file name)
//   3      sample name (up to 255 bytes are kept)
//   4      dye number: 1..4 selects the channel, anything else none
//   5..9   peak number, minutes or scan, size, height, area
// Each peak of dye k becomes one row of "Chank": the channel sample number
// (how many dye-k blocks have begun so far), then fields 5..9.  A sample
// number grows when the name changes from one line to the next; a channel
// sample number grows when the dye changes.  "SampleNames" and
// "SampleNamesCh1".."SampleNamesCh4" map those numbers to sample names.
//
// Memory does not grow with the input: one line buffer (as long as the
// longest line) and a block of rows per table; each peak goes to its table
// as soon as it has been read.
#include "peaks/genescan.h"

#include <cfloat>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#include "datafile/binfile.h"
#include "datafile/messages.h"
#include "base/reportstream.h"

namespace {

const char* const kTables[5] = {nullptr, "Chan1", "Chan2", "Chan3", "Chan4"};
const char* const kNameFiles[5] = {"SampleNames", "SampleNamesCh1", "SampleNamesCh2",
                                   "SampleNamesCh3", "SampleNamesCh4"};

const char kWriteFailed[] = "Error: can't write scalar (writescal)";
const char kNamesWriteFailed[] = "Error: can't write sample names file (Peakread)";
const char kInputIsOutput[] = "Error: input file is also an output file (Peakread)";

const int kFields = 9;     // fields looked at on each line
const int kColumns = 6;    // columns of a channel table
const int kNameMax = 255;  // bytes of a sample name that are kept

// Closes a plain stream when the run ends, also when it is abandoned.
struct StreamCloser {
    std::FILE*& f;
    ~StreamCloser() {
        if (f) std::fclose(f);
    }
};

bool same_file(const char* a, const char* b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec);
}

// Closes a text output and reports whether everything reached the file.
bool close_text(std::FILE*& f) {
    std::FILE* s = f;
    f = nullptr;
    bool ok = std::ferror(s) == 0;
    if (std::fclose(s) != 0) ok = false;
    return ok;
}

// Field delimiters: blank, tab, LF and CR (so a CR LF line end reads like
// LF).  A NUL ends the line, as it would end a C string.
const std::uint64_t kDelimiters = (1ull << ' ') | (1ull << '\t') | (1ull << '\n') | (1ull << '\r');
inline bool is_delimiter(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return u <= ' ' && ((kDelimiters >> u) & 1u);
}
inline bool ends_field(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return u <= ' ' && (((kDelimiters | 1u) >> u) & 1u);
}

// Moves p to the next field of a NUL-terminated line and returns its start,
// or null when the line has no further field.  end_field() then moves p past
// it.
inline char* next_field(char*& field) {
    char* p = field;
    while (is_delimiter(*p)) ++p;
    field = p;
    return *p ? p : nullptr;
}
// Text fields are skipped eight bytes at a time while none of the eight can
// end the field (every such byte is below 0x21).  The line buffer keeps
// kPadding readable bytes behind the terminating NUL for this.
const std::size_t kPadding = 8;
inline void end_field(char*& field) {
    const std::uint64_t ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
    char* p = field;
    for (;;) {
        std::uint64_t w;
        std::memcpy(&w, p, sizeof w);
        if ((w - 0x21 * ones) & ~w & highs) break;  // some byte is below 0x21
        p += sizeof w;
    }
    while (!ends_field(*p)) ++p;
    field = p;
}

// Hands out the input's physical lines one by one, whole whatever their
// length: the buffer doubles when a line does not fit, so it ends as large as
// the longest line and never grows with the number of lines.
class LineReader {
  public:
    explicit LineReader(std::FILE* f)
        : f_(f), buf_(new char[kInitial + kPadding]()), cap_(kInitial) {}

    // The next line without its LF, NUL-terminated in place as [line, end).
    // False at the end of the input.
    bool next(char*& line, char*& end) {
        for (;;) {
            char* b = buf_.get();
            if (char* nl = static_cast<char*>(std::memchr(b + scan_, '\n', end_ - scan_))) {
                line = b + pos_;
                end = nl;
                *nl = '\0';
                pos_ = scan_ = static_cast<std::size_t>(nl - b) + 1;
                return true;
            }
            scan_ = end_;
            if (eof_) {
                if (pos_ == end_) return false;
                line = b + pos_;
                end = b + end_;
                *end = '\0';  // the buffer always keeps one byte spare for this
                pos_ = scan_ = end_;
                return true;
            }
            refill();
        }
    }

  private:
    static const std::size_t kInitial = 256 * 1024;

    // Moves the unfinished line to the front, grows the buffer if that line
    // fills it, and reads more behind it.
    void refill() {
        if (pos_ > 0) {
            std::memmove(buf_.get(), buf_.get() + pos_, end_ - pos_);
            end_ -= pos_;
            scan_ -= pos_;
            pos_ = 0;
        }
        if (end_ + 1 >= cap_) {
            std::unique_ptr<char[]> bigger(new char[2 * cap_ + kPadding]());
            std::memcpy(bigger.get(), buf_.get(), end_);
            buf_ = std::move(bigger);
            cap_ *= 2;
        }
        std::size_t got = std::fread(buf_.get() + end_, 1, cap_ - 1 - end_, f_);
        if (got == 0)
            eof_ = true;  // end of file or read error; the caller checks ferror
        else
            end_ += got;
    }

    std::FILE* f_;
    std::unique_ptr<char[]> buf_;
    std::size_t cap_;
    std::size_t pos_ = 0;   // start of the next line
    std::size_t scan_ = 0;  // searched for LF up to here
    std::size_t end_ = 0;   // end of the data read
    bool eof_ = false;
};

// Reads the numeric field at `field` as the standard atof does: the longest
// leading decimal number, 0 when there is none; field ends past it.
// Plain decimals of up to 15 digits without exponent (nearly every field of
// an export) are converted here: the digits and the power of ten are then
// both exact doubles, so one division gives the correctly rounded value, the
// one strtod gives.  Anything else goes to strtod.  Where intermediate
// results are kept in extended precision that division could round twice,
// so there strtod converts every field.
double number_field(char*& field) {
    char* const start = field;
    char* p = start;  // a local, so the compiler can keep it in a register
#if defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD == 0
    static const double kPow10[16] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                      1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    bool negative = false;
    if (*p == '-' || *p == '+') negative = *p++ == '-';
    std::uint64_t mantissa = 0;
    int digits = 0;
    unsigned d;
    while ((d = static_cast<unsigned char>(*p) - static_cast<unsigned>('0')) < 10) {
        mantissa = mantissa * 10 + d;
        ++digits;
        ++p;
    }
    int decimals = 0;
    if (*p == '.') {
        ++p;
        while ((d = static_cast<unsigned char>(*p) - static_cast<unsigned>('0')) < 10) {
            mantissa = mantissa * 10 + d;
            ++decimals;
            ++p;
        }
        digits += decimals;
    }
    if (ends_field(*p) && digits > 0 && digits <= 15) {
        double v = static_cast<double>(mantissa);
        if (decimals) v /= kPow10[decimals];  // whole numbers need no division
        field = p;
        return negative ? -v : v;
    }
#endif
    p = start;
    end_field(p);
    char saved = *p;
    *p = '\0';
    double v = std::strtod(start, nullptr);
    *p = saved;
    field = p;
    return v;
}

// The fields of one peak line, pointing into the line buffer.
struct PeakLine {
    const char* name;  // field 3
    std::size_t name_len;
    double dye;        // field 4
    double values[5];  // fields 5..9
};

// Reads the first nine fields of a NUL-terminated line; false when the line
// has fewer.
bool read_peak_line(char* p, PeakLine& peak) {
    for (int skip = 0; skip < 2; ++skip) {
        if (!next_field(p)) return false;
        end_field(p);
    }
    char* name = next_field(p);
    if (!name) return false;
    end_field(p);
    peak.name = name;
    peak.name_len = static_cast<std::size_t>(p - name);
    if (!next_field(p)) return false;
    peak.dye = number_field(p);
    for (double& v : peak.values) {
        if (!next_field(p)) return false;
        v = number_field(p);
    }
    return true;
}

// The channel a dye value selects: 1..4 by exact equality, else 0.
int channel_of(double dye) {
    for (int k = 1; k <= 4; ++k)
        if (dye == k) return k;
    return 0;
}

void write_name(std::FILE* f, long long number, const char* name, std::size_t len) {
    std::fprintf(f, "Echantillon %lld = ", number);
    std::fwrite(name, 1, len, f);
    std::fputc('\n', f);
}

// The rows of one channel table on their way to its file: collected in a
// block and written a block at a time.  The bytes are those six writescal
// calls per row would write.
struct ChannelTable {
    static const std::size_t kRowBytes = 4 * kColumns;
    static const std::size_t kBlockRows = 8192;
    std::FILE* f = nullptr;
    std::size_t used = 0;
    unsigned char block[kBlockRows * kRowBytes];

    unsigned char* new_row() {
        if (used == sizeof block) flush();
        unsigned char* row = block + used;
        used += kRowBytes;
        return row;
    }
    void flush() {
        if (used && std::fwrite(block, 1, used, f) != used) {
            // closebin removes the unfinished table before the box.
            closebin(f, kWriteFailed);
            fatalerror(kWriteFailed);
        }
        used = 0;
    }
};

}  // namespace

void Peakread(const char* path) {
    reportf("Peakread: Reading input file\n");

    // The input is checked first, so a mistyped path leaves the outputs of an
    // earlier run as they were.
    std::FILE* in = std::fopen(path, "r");
    StreamCloser in_closer{in};
    if (!in) fatalerror("Error: can't open input file (Peakread)");

    // An input that is also one of the outputs would be emptied before it is
    // read.
    for (const char* name : kTables)
        if (name && same_file(path, name)) fatalerror(kInputIsOutput);
    for (const char* name : kNameFiles)
        if (same_file(path, name)) fatalerror(kInputIsOutput);

    // Tables still open when the run is abandoned stay pending and are
    // removed by abandon_outputs().
    std::unique_ptr<ChannelTable[]> tables(new ChannelTable[4]);
    for (int k = 1; k <= 4; ++k) ouvecr(kTables[k], tables[k - 1].f, 'b');

    std::FILE* names[5] = {nullptr, nullptr, nullptr, nullptr, nullptr};
    StreamCloser name_closers[5] = {{names[0]}, {names[1]}, {names[2]}, {names[3]}, {names[4]}};
    for (int k = 0; k <= 4; ++k) {
        names[k] = std::fopen(kNameFiles[k], "w");
        if (!names[k]) fatalerror("Error: can't open sample names file (Peakread)");
    }

    // Counts that no table limits are kept wide enough for any input.
    long long total_lines = 0, skipped = 0, total_samples = 0;
    int channel_lines[5] = {0, 0, 0, 0, 0};
    int channel_samples[5] = {0, 0, 0, 0, 0};
    char previous_name[kNameMax + 1];
    std::size_t previous_len = 0;
    double previous_dye = 0;
    bool have_previous_dye = false;  // the first line always opens a block

    LineReader reader(in);
    char* line;
    char* end;
    if (reader.next(line, end)) {  // the column header
        while (reader.next(line, end)) {
            PeakLine peak;
            if (!read_peak_line(line, peak)) {
                ++skipped;  // nothing of it is used; the previous line stays previous
                continue;
            }

            std::size_t name_len = peak.name_len;
            if (name_len > static_cast<std::size_t>(kNameMax)) name_len = kNameMax;
            if (name_len != previous_len || std::memcmp(peak.name, previous_name, name_len) != 0) {
                ++total_samples;
                write_name(names[0], total_samples, peak.name, name_len);
                std::memcpy(previous_name, peak.name, name_len);
                previous_len = name_len;
            }

            int k = channel_of(peak.dye);
            if (k && (!have_previous_dye || peak.dye != previous_dye)) {
                ++channel_samples[k];
                write_name(names[k], channel_samples[k], peak.name, name_len);
            }
            previous_dye = peak.dye;
            have_previous_dye = true;

            ++total_lines;
            if (!k) continue;  // a dye outside 1..4 goes to no table
            if (channel_lines[k] == kMaxTableCount)
                fatalerror("Error: more than 999999 peaks in one channel (Peakread)");
            ++channel_lines[k];
            unsigned char* row = tables[k - 1].new_row();
            encodescal(channel_samples[k], row);
            for (int j = 0; j < 5; ++j) encodescal(peak.values[j], row + 4 * (j + 1));
        }
    }

    if (std::ferror(in)) fatalerror("Error: can't read input file (Peakread)");
    std::fclose(in);
    in = nullptr;
    for (int k = 1; k <= 4; ++k) {
        tables[k - 1].flush();
        closebin(tables[k - 1].f, kWriteFailed);
    }
    bool names_ok = true;
    for (int k = 0; k <= 4; ++k)
        if (!close_text(names[k])) names_ok = false;
    if (!names_ok) fatalerror(kNamesWriteFailed);
    for (int k = 1; k <= 4; ++k) writedims(kTables[k], channel_lines[k], kColumns);

    reportf("Input file: %s\n", path);
    reportf("--- Number of rows: %lld, columns: %d\n", total_lines, kFields);
    for (int k = 1; k <= 4; ++k) {
        reportf("Output file (channel %d) : %s\n", k, kTables[k]);
        reportf("--- Number of rows: %d, columns: %d\n", channel_lines[k], kColumns);
    }
    reportf("Sample names : %s\n", kNameFiles[0]);
    reportf("--- Number of rows: %lld\n", total_samples);
    for (int k = 1; k <= 4; ++k) {
        reportf("Sample names (channel %d) : %s\n", k, kNameFiles[k]);
        reportf("--- Number of rows: %d\n", channel_samples[k]);
    }
    if (skipped) reportf("--- Lines skipped (fewer than %d fields): %lld\n", kFields, skipped);
}
