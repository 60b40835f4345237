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
// Memory does not grow with the input: one line buffer of fixed size and a
// block of rows per table; each peak goes to its table as soon as it has
// been read.  The nine outputs are written under temporary names and put in
// place only when the whole run has succeeded.
#include "peaks/genescan.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "datafile/binfile.h"
#include "datafile/messages.h"
#include "base/files.h"
#include "base/reportstream.h"
#include "datafile/staging.h"
#include "datafile/wordscan.h"
#include "peaks/exportlines.h"
#include "peaks/fieldsplit.h"

namespace {

const char* const kTables[5] = {nullptr, "Chan1", "Chan2", "Chan3", "Chan4"};
const char* const kNameFiles[5] = {"SampleNames", "SampleNamesCh1", "SampleNamesCh2", "SampleNamesCh3",
                                   "SampleNamesCh4"};

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

bool same_file(const char* a, const char* b) { return samefile(a, b); }

// Closes a text output and reports whether everything reached the file.
bool close_text(std::FILE*& f) {
    std::FILE* s = f;
    f = nullptr;
    bool ok = std::ferror(s) == 0;
    if (std::fclose(s) != 0) ok = false;
    return ok;
}

// Reads the numeric field at `field` (the longest leading decimal number, 0
// when there is none); field ends past it.
inline double number_field(char*& field) {
    const char* stop;
    double v = fielddecimal(field, &stop);
    char* p = field + (stop - field);
    if (!endsfield(*p)) endfield(p);
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

// Reads the first nine fields of the line p[0, length) (which a NUL in it
// ends); false when the line has fewer.  Most lines have all nine in their
// first 64 bytes, found at once; the others are NUL-terminated and read a
// field after another.
bool read_peak_line(char* p, std::size_t length, PeakLine& peak) {
    FieldSpans f;
    if (splitnine(p, length, f)) {
        const char* stop;
        peak.name = p + f.start[2];
        peak.name_len = static_cast<std::size_t>(f.end[2] - f.start[2]);
        peak.dye = fielddecimal(p + f.start[3], &stop);
        for (int k = 0; k < 5; ++k) peak.values[k] = fielddecimal(p + f.start[4 + k], &stop);
        return true;
    }
    p[length] = '\0';
    for (int skip = 0; skip < 2; ++skip) {
        if (!nextfield(p)) return false;
        endfield(p);
    }
    char* name = nextfield(p);
    if (!name) return false;
    endfield(p);
    peak.name = name;
    peak.name_len = static_cast<std::size_t>(p - name);
    if (!nextfield(p)) return false;
    peak.dye = number_field(p);
    for (double& v : peak.values) {
        if (!nextfield(p)) return false;
        v = number_field(p);
    }
    return true;
}

// Whether a[0, len) and b[0, len) hold the same bytes; a sample name is
// compared with the previous one on every line, mostly in a word or two.
bool same_bytes(const char* a, const char* b, std::size_t len) {
    std::size_t i = 0;
    for (; i + 8 <= len; i += 8)
        if (loadword(a + i) != loadword(b + i)) return false;
    for (; i < len; ++i)
        if (a[i] != b[i]) return false;
    return true;
}

// The channel a dye value selects: 1..4 by exact equality, else 0.
int channel_of(double dye) {
    for (int k = 1; k <= 4; ++k)
        if (dye == k) return k;
    return 0;
}

// "Echantillon <number> = <name>" and a line end, put together and written
// at once (a fprintf a sample was a tenth of the run's own time).
void write_name(std::FILE* f, long long number, const char* name, std::size_t len) {
    static const char kLabel[] = "Echantillon ";
    char line[sizeof kLabel + 24 + kNameMax + 1];
    char* p = line;
    std::memcpy(p, kLabel, sizeof kLabel - 1);
    p += sizeof kLabel - 1;
    p = std::to_chars(p, line + sizeof line, number).ptr;
    std::memcpy(p, " = ", 3);
    p += 3;
    std::memcpy(p, name, len);
    p += len;
    *p++ = '\n';
    std::fwrite(line, 1, static_cast<std::size_t>(p - line), f);
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

// The nine outputs of a run, staged: four channel tables and five names
// files (all samples, then per channel).
struct PeakOutputs {
    std::string table_names[5], name_files[5];
    std::unique_ptr<ChannelTable[]> tables{new ChannelTable[4]};
    std::FILE* names[5] = {nullptr, nullptr, nullptr, nullptr, nullptr};
    ~PeakOutputs() {
        for (std::FILE* f : names)
            if (f) std::fclose(f);
    }
    ChannelTable& table(int k) { return tables[static_cast<std::size_t>(k - 1)]; }

    // Every output is written under a temporary name; a failed run leaves
    // the earlier outputs alone and abandon_outputs() removes the rest.
    void open() {
        for (int k = 1; k <= 4; ++k)
            table_names[k] = stageoutput(kTables[k], "Error: can't open binary output file (ouvecr)");
        for (int k = 0; k <= 4; ++k)
            name_files[k] = stageoutput(kNameFiles[k], "Error: can't open sample names file (Peakread)");
        for (int k = 1; k <= 4; ++k) ouvecr(table_names[k].c_str(), table(k).f, 'b');
        for (int k = 0; k <= 4; ++k) {
            names[k] = openfile(name_files[k], "w");
            if (!names[k]) fatalerror("Error: can't open sample names file (Peakread)");
        }
    }
};

// What a run has counted, and the sample and dye of the last peak read.
struct PeakCounts {
    // Counts that no table limits are kept wide enough for any input.
    long long total_lines = 0, skipped = 0, total_samples = 0;
    int channel_lines[5] = {0, 0, 0, 0, 0};
    int channel_samples[5] = {0, 0, 0, 0, 0};
    char previous_name[kNameMax + 1];
    std::size_t previous_len = 0;
    double previous_dye = 0;
    bool have_previous_dye = false;  // the first line always opens a block
};

// One line after the header: a peak to its channel's table, a new sample's
// name to the names files, or a skipped line.
void take_line(char* line, std::size_t length, PeakOutputs& out, PeakCounts& n) {
    PeakLine peak;
    if (!read_peak_line(line, length, peak)) {
        ++n.skipped;  // nothing of it is used; the previous line stays previous
        return;
    }

    std::size_t name_len = peak.name_len;
    if (name_len > static_cast<std::size_t>(kNameMax)) name_len = kNameMax;
    if (name_len != n.previous_len || !same_bytes(peak.name, n.previous_name, name_len)) {
        ++n.total_samples;
        write_name(out.names[0], n.total_samples, peak.name, name_len);
        std::memcpy(n.previous_name, peak.name, name_len);
        n.previous_len = name_len;
    }

    int k = channel_of(peak.dye);
    if (k && (!n.have_previous_dye || peak.dye != n.previous_dye)) {
        ++n.channel_samples[k];
        write_name(out.names[k], n.channel_samples[k], peak.name, name_len);
    }
    n.previous_dye = peak.dye;
    n.have_previous_dye = true;

    ++n.total_lines;
    if (!k) return;  // a dye outside 1..4 goes to no table
    if (n.channel_lines[k] == kMaxTableCount) fatalerror("Error: more than 999999 peaks in one channel (Peakread)");
    ++n.channel_lines[k];
    const double values[kColumns] = {static_cast<double>(n.channel_samples[k]),
                                     peak.values[0],
                                     peak.values[1],
                                     peak.values[2],
                                     peak.values[3],
                                     peak.values[4]};
    encoderow(values, kColumns, out.table(k).new_row());
}

// Completes every output (the tables' last rows and trailers) and puts
// them in place together.
void finish_outputs(PeakOutputs& out, const PeakCounts& n) {
    for (int k = 1; k <= 4; ++k) {
        out.table(k).flush();
        closebin(out.table(k).f, kWriteFailed);
    }
    bool names_ok = true;
    for (int k = 0; k <= 4; ++k)
        if (!close_text(out.names[k])) names_ok = false;
    if (!names_ok) fatalerror(kNamesWriteFailed);
    for (int k = 1; k <= 4; ++k) writedims(out.table_names[k].c_str(), n.channel_lines[k], kColumns);
    commitoutputs();
}

void report_run(const char* path, const PeakCounts& n) {
    reportf("Input file: %s\n", path);
    reportf("--- Number of rows: %lld, columns: %d\n", n.total_lines, kFields);
    for (int k = 1; k <= 4; ++k) {
        reportf("Output file (channel %d) : %s\n", k, kTables[k]);
        reportf("--- Number of rows: %d, columns: %d\n", n.channel_lines[k], kColumns);
    }
    reportf("Sample names : %s\n", kNameFiles[0]);
    reportf("--- Number of rows: %lld\n", n.total_samples);
    for (int k = 1; k <= 4; ++k) {
        reportf("Sample names (channel %d) : %s\n", k, kNameFiles[k]);
        reportf("--- Number of rows: %d\n", n.channel_samples[k]);
    }
    if (n.skipped) reportf("--- Lines skipped (fewer than %d fields): %lld\n", kFields, n.skipped);
}

}  // namespace

void Peakread(const char* path) {
    reportf("Peakread: Reading input file\n");

    // The input is checked first, so a mistyped path leaves the outputs of an
    // earlier run as they were.  A folder, a pipe or a device is refused: it
    // cannot be read, or might never end.
    FileKind kind = filekind(path);
    if (kind == FileKind::folder || kind == FileKind::device)
        fatalerror("Error: input file is a folder or a device, not a file (Peakread)");
    // Binary mode: the line reader takes CR LF itself, and a text-mode read
    // on Windows would end the file at a Ctrl-Z byte, losing the rest.
    std::FILE* in = openfile(path, "rb");
    StreamCloser in_closer{in};
    if (!in) fatalerror("Error: can't open input file (Peakread)");

    // An input that is also one of the outputs would be replaced by the run.
    for (const char* name : kTables)
        if (name && same_file(path, name)) fatalerror(kInputIsOutput);
    for (const char* name : kNameFiles)
        if (same_file(path, name)) fatalerror(kInputIsOutput);

    PeakOutputs out;
    out.open();
    PeakCounts counts;
    ExportLines reader(in);
    char* line;
    std::size_t length;
    if (reader.next(line))  // the column header
        while (reader.nextspan(line, length)) take_line(line, length, out, counts);

    if (std::ferror(in)) fatalerror("Error: can't read input file (Peakread)");
    std::fclose(in);
    in = nullptr;
    finish_outputs(out, counts);
    report_run(path, counts);
}
