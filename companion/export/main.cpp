// peakgrid-export: a binary table of the suite out as CSV, TSV or an SVG
// heat map, labelled with sample names; or its counts (--info).
//
// Exit status: 0 done; 1 the output could not be written (a partial output
// file is removed) or the table could not be read; 2 bad usage, or a table
// or names file that cannot be opened or holds no table (nothing written).
#include <cstdio>
#include <string>

#include "companion/export/heatmap.h"
#include "companion/common/partial.h"
#include "companion/export/labels.h"
#include "datafile/binfile.h"
#include "datafile/messages.h"
#include "datafile/readrows.h"
#include "datafile/tabletext.h"

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

long long filesize(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return -1;
    long long n = std::fseek(f, 0, SEEK_END) == 0 ? std::ftell(f) : -1;
    std::fclose(f);
    return n;
}

}  // namespace

int main(int argc, char** argv) {
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

    const long long size = filesize(table);
    if (size < 0) {
        std::fprintf(stderr, "peakgrid-export: %s: cannot open\n", table.c_str());
        return 2;
    }
    int rows = 0, cols = 0;
    readdims(table.c_str(), rows, cols);
    if (static_cast<long long>(rows) * cols == 0) {
        std::fprintf(stderr, "peakgrid-export: %s: no table (the trailer gives no rows or no columns)\n",
                     table.c_str());
        return 2;
    }
    if (4LL * rows * cols + 18 > size) {
        std::fprintf(stderr, "peakgrid-export: %s: shorter than its %d x %d table\n", table.c_str(), rows, cols);
        return 2;
    }
    FoundLabels labels;
    if (!findlabels(table, cols, names, labels)) {
        std::fprintf(stderr, "peakgrid-export: %s: cannot open\n", names.c_str());
        return 2;
    }
    if (!labels.rows.empty() && static_cast<int>(labels.rows.size()) != rows)
        std::fprintf(stderr, "peakgrid-export: note: %s names %d samples, the table has %d rows\n",
                     labels.rows_from.c_str(), static_cast<int>(labels.rows.size()), rows);

    std::FILE* out = stdout;
    if (!out_path.empty()) {
        out = std::fopen(out_path.c_str(), "wb");
        if (!out) {
            std::fprintf(stderr, "peakgrid-export: %s: cannot create\n", out_path.c_str());
            return 1;
        }
    } else {
#if defined(_WIN32)
        _setmode(_fileno(stdout), _O_BINARY);  // the line ends are written as they are
#endif
    }
    bool ok = true;
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
            HeatMap map;
            std::size_t at = table.find_last_of("/\\");
            map.title = at == std::string::npos ? table : table.substr(at + 1);
            map.rows = rows;
            map.cols = cols;
            map.values.reserve(static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols));
            readrows(table.c_str(), [&](int, const float* v) { map.values.insert(map.values.end(), v, v + cols); });
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
    }
    if (out != stdout && std::fclose(out) != 0) ok = false;
    if (!ok) {
        if (out != stdout) removepartial(out_path);
        std::fprintf(stderr, "peakgrid-export: %s: cannot write\n",
                     out_path.empty() ? "standard output" : out_path.c_str());
        return 1;
    }
    return 0;
}
