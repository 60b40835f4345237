// The import: exports in, one file in the layout "Read Genescan file"
// reads out.
//
// Output: a header line, then one tab-separated line of nine fields per
// peak: code ("B,12"), sample file name, sample name, dye number 1..5,
// peak number, data point, size, height, area.  Numbers are copied as
// their text stands.  Lines are grouped by sample (in the order samples
// first appear, over all inputs) and within a sample by dye 1..5, peaks of
// one dye in input order, so option 1 opens one block per sample and dye.
// Fields hold no blanks (blanks in names become '_'; option 1 splits on
// them) and are never empty (no data point gives 0; no file name gives the
// sample name).  Option 1 starts a sample's block in a channel when the
// dye changes from one line to the next, so where a sample would begin
// with the dye the previous sample ended with (samples of one dye only),
// a line "-  -  NAME  0  0 0 0 0 0" of dye 0 comes first: option 1 counts
// it, writes it to no table, and opens the block.
//
// Names are cleaned so that option 1 reads them as the import reports them:
// blanks and NUL bytes become '_' and a name keeps its first 255 bytes (what
// option 1 keeps); two different names that come out the same are noted.
//
// Skipped and counted: size-standard rows, unsized peaks (Size empty or 0),
// unknown dyes, malformed lines (no code or dye, a value that is not a
// number, an unclosed quote, a line longer than LineReader::kMaxLine).
// Blank lines are ignored.  A number with a decimal comma ends the import
// (nothing is written): it cannot be told from a thousands separator.
//
// Memory: the peaks are kept until the output is written, each as its key
// and the text of its numbers (the names once per sample and sample file),
// in blocks of fixed size, so memory grows with the input in small steps
// and stays below its size for the known layouts.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "companion/import/formats.h"
#include "companion/import/peakcode.h"

// The kinds of skipped lines, counted apart.
enum class Skip { SizeStandard, Unsized, UnknownDye, Malformed };
const int kSkipKinds = 4;
// Short names for them.
constexpr Skip kSizeStandard = Skip::SizeStandard, kUnsized = Skip::Unsized, kUnknownDye = Skip::UnknownDye,
               kMalformed = Skip::Malformed;

struct SkipCount {
    long count = 0;
    std::string first;  // "FILE line N" of the first one
};

struct ImportOptions {
    Format format = Format::Unknown;  // forced format, or Unknown to detect
    bool area_bp = false;             // Peak Scanner: "Area in BP"
};

// Two different names in the input that the output holds as one.
struct MergedNames {
    std::string first, other, written;
};

class Importer;
class LineReader;

// What an import read, skipped and wrote, one line each (without a program
// name): the format of each file, the counts of peaks and samples written to
// out_name (empty: none was written), lines of dye 0 put between samples, the
// skipped lines of each kind with the first of them, and notes on names.
// The import program prints these lines, Peakprep's "Import peak table"
// reports them.
std::vector<std::string> importsummary(const Importer& importer, const std::string& out_name);

class Importer {
  public:
    explicit Importer(ImportOptions options) : options_(options) {}

    // Reads one export.  False, with a message in error, when the file
    // cannot be opened or read (a folder, a device or a pipe is refused, and
    // so is a file added before under any name), its format is not
    // recognised, or it holds numbers the import cannot read (the import
    // then stops: nothing is written).
    bool add(const std::string& path, std::string& error);
    // Reads an export from a stream; name stands for the file in messages
    // and as a sample name.
    bool add(std::FILE* f, const std::string& name, std::string& error);

    // Writes the output; false on a write error.
    bool write(std::FILE* out);
    // Lines of dye 0 the last write put between samples.
    long separators() const { return separators_; }

    long peaks() const { return static_cast<long>(count_); }
    int samples() const { return static_cast<int>(samples_.size()); }
    long lines() const { return lines_; }
    const SkipCount& skipped(Skip kind) const { return skips_[static_cast<int>(kind)]; }
    // Sample names that several sample files gave (merged into one sample).
    const std::vector<std::string>& shared_names() const { return shared_; }
    // Different names written as one (blanks, NUL bytes, length).
    const std::vector<MergedNames>& merged_names() const { return merged_; }
    // The format of each file added, as "FILE: format".
    const std::vector<std::string>& files() const { return files_; }
    // The files added, as named.
    const std::vector<std::string>& paths() const { return paths_; }

  private:
    struct Sample {
        std::string name;
        std::string raw;   // the name as the input first wrote it
        std::string file;  // the first sample file that named it
        long next_peak[6] = {0, 0, 0, 0, 0, 0};
        bool shared = false, merged = false;
    };
    // One peak: sample * 8 + dye, the sample-file name written with it and
    // where its text ("PEAK\tPOINT\tSIZE\tHEIGHT\tAREA\n") is kept.
    struct Record {
        std::uint32_t key;
        std::uint32_t file;
        // text block << 32 | length << 20 | offset in the block; length is
        // that of a text shorter than kShortText, else 0.
        std::uint64_t at;
    };
    static const std::size_t kRecordBlock = 1u << 16;  // records per block
    static const std::size_t kTextBlock = 1u << 20;    // bytes per text block
    static const int kLengthShift = 20;                // offsets are below kTextBlock
    static const std::uint64_t kOffsetMask = kTextBlock - 1;
    static const std::size_t kShortText = 1u << 12;
    // The fields of a data line that the output line is made of.
    struct DataLine {
        PeakCode code;
        std::string_view size, height, area, point;
    };
    // Reads lines up to the header (or the first line of a headerless
    // GeneScan sample file, which is taken as data); Unknown, with a hint,
    // when none is found.
    Format find_header(LineReader& reader, const std::string& path, const std::string& base, Columns& cols,
                       std::string& hint);
    // One data line: checked, its sample found, its peak kept.
    void line(std::string_view text, const Columns& cols, Format format, const std::string& file,
              const std::string& base, long number, bool cut);
    // The fields of a data line; false when the line is skipped (and
    // counted) or stops the import (stop_ says why).
    bool check_line(std::string_view text, const Columns& cols, const std::string& file, long number, bool cut,
                    DataLine& d);
    // The sample of the data line just checked (its sample file in
    // fileid_).
    int line_sample(const Columns& cols, Format format, const std::string& file, const std::string& base);
    // Keeps the peak of a checked line: its key and its text.
    void keep(int s, const DataLine& d, const Columns& cols);
    void skip(Skip kind, const std::string& file, long number);
    int sample(const std::string& name, const std::string& raw, const std::string& file);
    std::uint32_t filename(const std::string& name);
    char* new_text(std::size_t len, std::uint64_t& at);
    Record& record(std::size_t i) { return records_[i / kRecordBlock][i % kRecordBlock]; }

    ImportOptions options_;
    std::vector<Sample> samples_;
    std::unordered_map<std::string, int> index_;
    int last_ = -1;  // the sample of the previous line
    std::vector<std::unique_ptr<Record[]>> records_;
    std::size_t count_ = 0;
    std::vector<std::unique_ptr<char[]>> text_;
    std::size_t text_used_ = kTextBlock;  // in the last text block
    std::vector<std::string> filenames_;  // sample-file names as written
    std::unordered_map<std::string, std::uint32_t> filename_index_;
    std::uint32_t last_filename_ = 0;
    bool sorted_ = true;
    long separators_ = 0;
    long lines_ = 0;
    SkipCount skips_[kSkipKinds];
    std::vector<std::string> shared_, files_, paths_;
    std::vector<long> sizes_;  // of the files added (-1 when unknown)
    long pending_size_ = -1;   // of the file add(path) is reading
    std::vector<MergedNames> merged_;
    std::string stop_;  // why the file being read cannot be imported
    std::vector<std::string_view> fields_;
    std::string scratch_, name_, raw_, filename_;
    std::uint32_t fileid_ = 0;  // the sample file of the line just checked
    // The sample-file and sample-name fields of the last line whose sample
    // was looked up, and what they gave.
    std::string same_file_, same_name_;
    int same_sample_ = 0;
    std::uint32_t same_fileid_ = 0;
    bool same_valid_ = false;
};
