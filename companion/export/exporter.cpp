#include "companion/export/exporter.h"

#include <cstdio>
#include <new>
#include <stdexcept>

#include "base/files.h"
#include "companion/export/heatmap.h"
#include "companion/export/labels.h"
#include "datafile/binfile.h"
#include "datafile/messages.h"
#include "datafile/samplenames.h"
#include "datafile/staging.h"
#include "datafile/tabletext.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

namespace {

// The outcome of a failed export: why, about which file.
ExportOutcome fail(ExportOutcome& done, const std::string& file, const std::string& what, int status) {
    done.status = status;
    done.error = file + ": " + what;
    return done;
}

long long filesize(const std::string& path) {
    std::FILE* f = isregularfile(path) ? openfile(path, "rb") : nullptr;
    if (!f) return -1;
    long long n = std::fseek(f, 0, SEEK_END) == 0 ? std::ftell(f) : -1;
    std::fclose(f);
    return n;
}

}  // namespace

ExportOutcome exportone(const ExportRequest& request, const std::string& program) {
    const std::string& table = request.table;
    const std::string& names = request.names;
    const std::string& out_path = request.out_path;
    const ExportMode mode = request.mode;
    ExportOutcome done;
    // Only a regular file is read: a pipe or a device might never end.
    const FileKind kind = filekind(table);
    if (kind == FileKind::folder || kind == FileKind::device)
        return fail(done, table, "not a regular file (a folder, a pipe or a device)", 2);
    const long long size = filesize(table);
    if (size < 0) return fail(done, table, "cannot open", 2);
    int rows = 0, cols = 0;
    readdims(table.c_str(), rows, cols);
    if (static_cast<long long>(rows) * cols == 0)
        return fail(done, table, "no table (the trailer gives no rows or no columns)", 2);
    if (4LL * rows * cols + 18 > size)
        return fail(done, table, "shorter than its " + std::to_string(rows) + " x " + std::to_string(cols) + " table",
                    2);
    FoundLabels labels;
    std::string why;
    if (!findlabels(table, cols, names, labels, why)) return fail(done, names, why, 2);
    for (const std::string& note : labels.notes) done.notes.push_back("note: " + note);
    if (!labels.rows.empty() && static_cast<int>(labels.rows.size()) != rows)
        done.notes.push_back("note: " + labels.rows_from + " names " + std::to_string(labels.rows.size()) +
                             " samples, the table has " + std::to_string(rows) + " rows");

    // An output that is an input would be destroyed while it is read.
    if (!out_path.empty()) {
        const std::string names_path = names.empty() ? samplenamesfor(table) : names;
        if (samefile(out_path, table))
            return fail(done, out_path, "is the table being exported; choose another output (nothing written)", 2);
        if (!names_path.empty() && samefile(out_path, names_path))
            return fail(done, out_path, "is the names file being read; choose another output (nothing written)", 2);
    }

    // The heat map holds the whole table: it is read before any output is
    // made, taking its counts from the stream its values come from.
    HeatMap map;
    if (mode == ExportMode::svg) {
        try {
            why = readheatmap(table, map);
        } catch (const std::bad_alloc&) {
            return fail(done, table,
                        "not enough memory for its " + std::to_string(rows) + " x " + std::to_string(cols) +
                            " table; nothing written",
                        1);
        }
        if (!why.empty()) return fail(done, table, why + "; nothing written", 1);
    }

    // The output: staged unless it is a device.
    std::FILE* out = stdout;
    bool staged = false;
    if (!out_path.empty()) {
        const FileKind out_kind = filekind(out_path);
        if (out_kind == FileKind::folder) return fail(done, out_path, "is a folder; nothing written", 1);
        std::string write_path = out_path;
        if (out_kind != FileKind::device) {
            const std::string readonly = program + ": " + out_path + ": read-only; nothing written";
            try {
                write_path = stageoutput(out_path, readonly.c_str());
            } catch (const RunAbandoned&) {
                done.status = 1;  // the port has said why
                return done;
            }
            staged = true;
        }
        out = openfile(write_path, "wb");
        if (!out) {
            discardoutputs();
            return fail(done, out_path, "cannot create", 1);
        }
    } else {
#if defined(_WIN32)
        _setmode(_fileno(stdout), _O_BINARY);  // the line ends are written as they are
#endif
    }
    bool ok = true, unread = false, memory = false;
    try {
        if (mode == ExportMode::info) {
            std::fprintf(out, "%s: %d rows, %d columns\n", table.c_str(), rows, cols);
            std::fprintf(out, "row labels: %s\n",
                         labels.rows_from.empty()
                             ? "row numbers"
                             : (labels.rows_from + " (" + std::to_string(labels.rows.size()) + " names)").c_str());
            std::fprintf(out, "class labels for --svg: %s\n",
                         labels.cols_from.empty() ? "none (column numbers)" : labels.cols_from.c_str());
            ok = std::fflush(out) == 0 && !std::ferror(out);
        } else if (mode == ExportMode::svg) {
            map.title = basenameofpath(table);
            map.row_labels = labels.rows;
            map.col_labels = labels.cols;
            ok = writeheatmap(map, out);
        } else {
            TextLabels text;
            text.sep = mode == ExportMode::tsv ? '\t' : ',';
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
            return fail(done, out_path, "not replaced; the earlier file is kept", 1);
        }
    }
    if (!ok) {
        discardoutputs();
        const std::string where = out_path.empty() ? "standard output" : out_path;
        const std::string nothing = staged ? "; nothing written" : "";
        if (memory)
            return fail(
                done, table,
                "not enough memory for its " + std::to_string(rows) + " x " + std::to_string(cols) + " table" + nothing,
                1);
        if (unread) return fail(done, table, why + nothing, 1);
        return fail(done, where, "cannot write" + nothing, 1);
    }
    return done;
}
