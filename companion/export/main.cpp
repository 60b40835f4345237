// peakgrid-export: a binary table of the suite out as CSV, TSV or an SVG
// heat map, labelled with sample names; or its counts (--info).
//
// The output is written under a temporary name beside it and put in place
// only once it is complete, so a run that fails leaves an earlier output as
// it was.  An output that is the table or its names file is refused, as
// writing it would destroy what is being read.  A device named as the
// output (-o /dev/null, NUL) is written directly.
//
// Exit status: 0 done; 1 the output could not be written or the table could
// not be read (nothing left behind); 2 bad usage, a table or names file that
// cannot be opened or holds no table, or an output that is one of the
// inputs (nothing written).
#include <cstdio>
#include <new>
#include <stdexcept>
#include <string>

#include "base/files.h"
#include "companion/export/heatmap.h"
#include "companion/export/labels.h"
#include "datafile/binfile.h"
#include "datafile/messages.h"
#include "datafile/staging.h"
#include "datafile/tabletext.h"
#include "datafile/samplenames.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

namespace {

const char kUsage[] =
    "usage: peakgrid-export [--csv|--tsv|--svg|--info] [--names FILE] [-o OUT] TABLE\n"
    "Writes a binary table (a channel table, a class table, any table of the\n"
    "suite) as text or as a picture, to OUT or to standard output.\n"
    "  --csv        comma-separated values, RFC 4180 (the default)\n"
    "  --tsv        tab-separated values\n"
    "  --svg        an SVG heat map: rows x columns, with a colour scale\n"
    "  --info       the table's row and column counts and its labels\n"
    "  --names FILE sample-name file for the row labels (default: the one the\n"
    "               suite's naming gives, Chan1_tabSH -> SampleNamesCh1 beside it)\n"
    "  -o OUT       output file\n"
    "Rows are labelled with sample names (or row numbers), columns with their\n"
    "numbers; the heat map labels them with the class bounds found in TABLE.csv\n"
    "when \"peakgrid --csv\" wrote one. Values read back as the same 32-bit\n"
    "floats; not-a-number is an empty cell.\n";

int usage(const std::string& why) {
    std::fprintf(stderr, "peakgrid-export: %s\n%s", why.c_str(), kUsage);
    return 2;
}

// A line on standard error about a file; returns the exit status.
int say(const std::string& file, const std::string& what, int status) {
    std::fprintf(stderr, "peakgrid-export: %s: %s\n", file.c_str(), what.c_str());
    return status;
}

long long filesize(const std::string& path) {
    std::FILE* f = isregularfile(path) ? openfile(path, "rb") : nullptr;
    if (!f) return -1;
    long long n = std::fseek(f, 0, SEEK_END) == 0 ? std::ftell(f) : -1;
    std::fclose(f);
    return n;
}

int run(int argc, char** argv) {
    std::string mode = "--csv", names, out_path, table;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (a == "--version") {
            std::printf("peakgrid-export %s\n", PEAKGRID_VERSION);
            return 0;
        } else if (a == "--csv" || a == "--tsv" || a == "--svg" || a == "--info") {
            mode = a;
        } else if (a == "--names" || a == "-o") {
            if (i + 1 >= argc) return usage("missing value after " + a);
            (a == "-o" ? out_path : names) = argv[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            return usage("unknown option " + a);
        } else if (table.empty()) {
            table = a;
        } else {
            return usage("more than one table");
        }
    }
    if (table.empty()) return usage("no table");

    // Only a regular file is read: a pipe or a device might never end.
    const FileKind kind = filekind(table);
    if (kind == FileKind::folder || kind == FileKind::device)
        return say(table, "not a regular file (a folder, a pipe or a device)", 2);
    const long long size = filesize(table);
    if (size < 0) return say(table, "cannot open", 2);
    int rows = 0, cols = 0;
    readdims(table.c_str(), rows, cols);
    if (static_cast<long long>(rows) * cols == 0)
        return say(table, "no table (the trailer gives no rows or no columns)", 2);
    if (4LL * rows * cols + 18 > size)
        return say(table, "shorter than its " + std::to_string(rows) + " x " + std::to_string(cols) + " table", 2);
    FoundLabels labels;
    std::string why;
    if (!findlabels(table, cols, names, labels, why)) return say(names, why, 2);
    for (const std::string& note : labels.notes) std::fprintf(stderr, "peakgrid-export: note: %s\n", note.c_str());
    if (!labels.rows.empty() && static_cast<int>(labels.rows.size()) != rows)
        std::fprintf(stderr, "peakgrid-export: note: %s names %d samples, the table has %d rows\n",
                     labels.rows_from.c_str(), static_cast<int>(labels.rows.size()), rows);

    // An output that is an input would be destroyed while it is read.
    if (!out_path.empty()) {
        const std::string names_path = names.empty() ? samplenamesfor(table) : names;
        if (samefile(out_path, table))
            return say(out_path, "is the table being exported; choose another output (nothing written)", 2);
        if (!names_path.empty() && samefile(out_path, names_path))
            return say(out_path, "is the names file being read; choose another output (nothing written)", 2);
    }

    // The heat map holds the whole table: it is read before any output is
    // made, taking its counts from the stream its values come from.
    HeatMap map;
    if (mode == "--svg") {
        try {
            why = readheatmap(table, map);
        } catch (const std::bad_alloc&) {
            return say(table, "not enough memory for its " + std::to_string(rows) + " x " + std::to_string(cols) +
                                  " table; nothing written", 1);
        }
        if (!why.empty()) return say(table, why + "; nothing written", 1);
    }

    // The output: staged unless it is a device.
    std::FILE* out = stdout;
    bool staged = false;
    if (!out_path.empty()) {
        const FileKind out_kind = filekind(out_path);
        if (out_kind == FileKind::folder) return say(out_path, "is a folder; nothing written", 1);
        std::string write_path = out_path;
        if (out_kind != FileKind::device) {
            const std::string fail = "peakgrid-export: " + out_path + ": read-only; nothing written";
            try {
                write_path = stageoutput(out_path, fail.c_str());
            } catch (const RunAbandoned&) {
                return 1;  // the port has said why
            }
            staged = true;
        }
        out = openfile(write_path, "wb");
        if (!out) {
            discardoutputs();
            return say(out_path, "cannot create", 1);
        }
    } else {
#if defined(_WIN32)
        _setmode(_fileno(stdout), _O_BINARY);  // the line ends are written as they are
#endif
    }
    bool ok = true, unread = false, memory = false;
    try {
        if (mode == "--info") {
            std::fprintf(out, "%s: %d rows, %d columns\n", table.c_str(), rows, cols);
            std::fprintf(out, "row labels: %s\n",
                         labels.rows_from.empty() ? "row numbers" : (labels.rows_from + " (" +
                         std::to_string(labels.rows.size()) + " names)").c_str());
            std::fprintf(out, "class labels for --svg: %s\n",
                         labels.cols_from.empty() ? "none (column numbers)" : labels.cols_from.c_str());
            ok = std::fflush(out) == 0 && !std::ferror(out);
        } else if (mode == "--svg") {
            map.title = basenameofpath(table);
            map.row_labels = labels.rows;
            map.col_labels = labels.cols;
            ok = writeheatmap(map, out);
        } else {
            TextLabels text;
            text.sep = mode == "--tsv" ? '\t' : ',';
            text.corner = "Sample";
            text.rows = labels.rows;
            ok = texttable(table.c_str(), out, text);
        }
    } catch (const RunAbandoned&) {
        ok = false;  // the library has said why
        unread = true;
        why = "cannot read";
    } catch (const std::bad_alloc&) {
        ok = false;
        memory = true;
    } catch (const std::length_error&) {
        ok = false;
        memory = true;
    }
    if (out != stdout && std::fclose(out) != 0) ok = false;
    if (ok && staged) {
        try {
            commitoutputs();
        } catch (const RunAbandoned&) {
            return say(out_path, "not replaced; the earlier file is kept", 1);
        }
    }
    if (!ok) {
        discardoutputs();
        const std::string where = out_path.empty() ? "standard output" : out_path;
        const std::string nothing = staged ? "; nothing written" : "";
        if (memory)
            return say(table, "not enough memory for its " + std::to_string(rows) + " x " + std::to_string(cols) +
                                  " table" + nothing, 1);
        if (unread) return say(table, why + nothing, 1);
        return say(where, "cannot write" + nothing, 1);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // Memory runs out only for huge names files or tables; what was staged
    // goes, and the earlier output stays.
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc&) {
        discardoutputs();
        std::fprintf(stderr, "peakgrid-export: not enough memory; nothing written\n");
        return 1;
    }
}
