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

// A failed check of the export: the outcome says why; false.
bool refused(ExportOutcome& done, const std::string& file, const std::string& what, int status) {
    fail(done, file, what, status);
    return false;
}

// The table and its labels, checked before anything is made: a regular file
// that holds its whole table, labels that can be read, and no output that
// is one of the inputs (it would be destroyed while it is read).
bool check_inputs(const ExportRequest& r, int& rows, int& cols, FoundLabels& labels, ExportOutcome& done) {
    const std::string& table = r.table;
    // Only a regular file is read: a pipe or a device might never end.
    const FileKind kind = filekind(table);
    if (kind == FileKind::folder || kind == FileKind::device)
        return refused(done, table, "not a regular file (a folder, a pipe or a device)", 2);
    const long long size = filesize(table);
    if (size < 0) return refused(done, table, "cannot open", 2);
    readdims(table.c_str(), rows, cols);
    if (static_cast<long long>(rows) * cols == 0)
        return refused(done, table, "no table (the trailer gives no rows or no columns)", 2);
    if (4LL * rows * cols + 18 > size)
        return refused(done, table,
                       "shorter than its " + std::to_string(rows) + " x " + std::to_string(cols) + " table", 2);
    std::string why;
    if (!findlabels(table, cols, r.names, labels, why)) return refused(done, r.names, why, 2);
    for (const std::string& note : labels.notes) done.notes.push_back("note: " + note);
    if (!labels.rows.empty() && static_cast<int>(labels.rows.size()) != rows)
        done.notes.push_back("note: " + labels.rows_from + " names " + std::to_string(labels.rows.size()) +
                             " samples, the table has " + std::to_string(rows) + " rows");
    if (!r.out_path.empty()) {
        const std::string names_path = r.names.empty() ? samplenamesfor(table) : r.names;
        if (samefile(r.out_path, table))
            return refused(done, r.out_path, "is the table being exported; choose another output (nothing written)", 2);
        if (!names_path.empty() && samefile(r.out_path, names_path))
            return refused(done, r.out_path, "is the names file being read; choose another output (nothing written)",
                           2);
    }
    return true;
}

// The output stream: standard output, a device written directly, or a file
// staged under a temporary name.
bool open_output(const ExportRequest& r, const std::string& program, std::FILE*& out, bool& staged,
                 ExportOutcome& done) {
    out = stdout;
    staged = false;
    if (r.out_path.empty()) {
#if defined(_WIN32)
        _setmode(_fileno(stdout), _O_BINARY);  // the line ends are written as they are
#endif
        return true;
    }
    const FileKind out_kind = filekind(r.out_path);
    if (out_kind == FileKind::folder) return refused(done, r.out_path, "is a folder; nothing written", 1);
    std::string write_path = r.out_path;
    if (out_kind != FileKind::device) {
        const std::string readonly = program + ": " + r.out_path + ": read-only; nothing written";
        try {
            write_path = stageoutput(r.out_path, readonly.c_str());
        } catch (const RunAbandoned&) {
            done.status = 1;  // the port has said why
            return false;
        }
        staged = true;
    }
    out = openfile(write_path, "wb");
    if (!out) {
        discardoutputs();
        return refused(done, r.out_path, "cannot create", 1);
    }
    return true;
}

enum class Written { ok, unread, memory, failed };

// The body of the output in the mode asked for.
Written write_body(const ExportRequest& r, int rows, int cols, const FoundLabels& labels, HeatMap& map,
                   std::FILE* out) {
    bool ok = true;
    try {
        if (r.mode == ExportMode::info) {
            std::fprintf(out, "%s: %d rows, %d columns\n", r.table.c_str(), rows, cols);
            std::fprintf(out, "row labels: %s\n",
                         labels.rows_from.empty()
                             ? "row numbers"
                             : (labels.rows_from + " (" + std::to_string(labels.rows.size()) + " names)").c_str());
            std::fprintf(out, "class labels for --svg: %s\n",
                         labels.cols_from.empty() ? "none (column numbers)" : labels.cols_from.c_str());
            ok = std::fflush(out) == 0 && !std::ferror(out);
        } else if (r.mode == ExportMode::svg) {
            map.title = basenameofpath(r.table);
            map.row_labels = labels.rows;
            map.col_labels = labels.cols;
            ok = writeheatmap(map, out);
        } else {
            TextLabels text;
            text.sep = r.mode == ExportMode::tsv ? '\t' : ',';
            text.corner = "Sample";
            text.rows = labels.rows;
            ok = texttable(r.table.c_str(), out, text);
        }
    } catch (const RunAbandoned&) {
        return Written::unread;  // the library has said why
    } catch (const std::bad_alloc&) {
        return Written::memory;
    } catch (const std::length_error&) {
        return Written::memory;
    }
    return ok ? Written::ok : Written::failed;
}

std::string memory_text(int rows, int cols) {
    return "not enough memory for its " + std::to_string(rows) + " x " + std::to_string(cols) + " table";
}

}  // namespace

ExportOutcome exportone(const ExportRequest& request, const std::string& program) {
    ExportOutcome done;
    int rows = 0, cols = 0;
    FoundLabels labels;
    if (!check_inputs(request, rows, cols, labels, done)) return done;

    // The heat map holds the whole table: it is read before any output is
    // made, taking its counts from the stream its values come from.
    HeatMap map;
    if (request.mode == ExportMode::svg) {
        std::string why;
        try {
            why = readheatmap(request.table, map);
        } catch (const std::bad_alloc&) {
            return fail(done, request.table, memory_text(rows, cols) + "; nothing written", 1);
        }
        if (!why.empty()) return fail(done, request.table, why + "; nothing written", 1);
    }

    std::FILE* out = nullptr;
    bool staged = false;
    if (!open_output(request, program, out, staged, done)) return done;
    Written w = write_body(request, rows, cols, labels, map, out);
    if (out != stdout && std::fclose(out) != 0 && w == Written::ok) w = Written::failed;
    if (w == Written::ok && staged) {
        try {
            commitoutputs();
        } catch (const RunAbandoned&) {
            return fail(done, request.out_path, "not replaced; the earlier file is kept", 1);
        }
    }
    if (w == Written::ok) return done;
    discardoutputs();
    const std::string nothing = staged ? "; nothing written" : "";
    if (w == Written::memory) return fail(done, request.table, memory_text(rows, cols) + nothing, 1);
    if (w == Written::unread) return fail(done, request.table, "cannot read" + nothing, 1);
    return fail(done, request.out_path.empty() ? "standard output" : request.out_path, "cannot write" + nothing, 1);
}
