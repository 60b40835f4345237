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
// Skipped and counted: size-standard rows, unsized peaks (Size empty or 0),
// unknown dyes, malformed lines (no code or dye, a value that is not a
// number).  Blank lines are ignored.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "companion/import/formats.h"

enum Skip { kSizeStandard, kUnsized, kUnknownDye, kMalformed, kSkipKinds };

struct SkipCount {
    long count = 0;
    std::string first;  // "FILE line N" of the first one
};

struct ImportOptions {
    Format format = Format::Unknown;  // forced format, or Unknown to detect
    bool area_bp = false;             // Peak Scanner: "Area in BP"
};

class Importer {
  public:
    explicit Importer(ImportOptions options) : options_(options) {}

    // Reads one export.  False, with a message in error, when the file
    // cannot be opened or read or its format is not recognised (the import
    // then stops: nothing is written).
    bool add(const std::string& path, std::string& error);
    // Reads an export from a stream; name stands for the file in messages
    // and as a sample name.
    bool add(std::FILE* f, const std::string& name, std::string& error);

    // Writes the output; false on a write error.
    bool write(std::FILE* out);
    // Lines of dye 0 the last write put between samples.
    long separators() const { return separators_; }

    long peaks() const { return static_cast<long>(records_.size()); }
    int samples() const { return static_cast<int>(samples_.size()); }
    long lines() const { return lines_; }
    const SkipCount& skipped(Skip kind) const { return skips_[kind]; }
    // Sample names that several sample files gave (merged into one sample).
    const std::vector<std::string>& shared_names() const { return shared_; }
    // The format of each file added, as "FILE: format".
    const std::vector<std::string>& files() const { return files_; }

  private:
    struct Sample {
        std::string name;
        std::string file;  // the first sample file that named it
        long next_peak[6] = {0, 0, 0, 0, 0, 0};
        bool shared = false;
    };
    struct Record {
        std::uint32_t key;  // sample * 8 + dye
        std::uint32_t len;
        std::uint64_t at;   // in text_
    };
    void line(std::string_view text, const Columns& cols, Format format, const std::string& file,
              const std::string& base, long number);
    void skip(Skip kind, const std::string& file, long number);
    int sample(const std::string& name, const std::string& file);

    ImportOptions options_;
    std::vector<Sample> samples_;
    std::unordered_map<std::string, int> index_;
    int last_ = -1;  // the sample of the previous line
    std::vector<Record> records_;
    std::string text_;  // the output lines, in input order
    bool sorted_ = true;
    long separators_ = 0;
    long lines_ = 0;
    SkipCount skips_[kSkipKinds];
    std::vector<std::string> shared_, files_;
    std::vector<std::string_view> fields_;
    std::string scratch_, name_, filename_;
};
