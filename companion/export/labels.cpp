#include "companion/export/labels.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "base/files.h"
#include "companion/common/fields.h"
#include "datafile/samplenames.h"

bool TextLines::next(std::string& line) {
    line.clear();
    bool any = false;
    for (;;) {
        if (pos_ == end_) {
            pos_ = 0;
            end_ = std::fread(buf_.data(), 1, buf_.size(), f_);
            if (end_ == 0) return any;
        }
        if (after_cr_) {
            after_cr_ = false;
            if (buf_[pos_] == '\n') {
                ++pos_;
                continue;
            }
        }
        const char* p = buf_.data() + pos_;
        const char* e = buf_.data() + end_;
        const char* q = p;
        while (q < e && *q != '\n' && *q != '\r') ++q;
        const std::size_t n = static_cast<std::size_t>(q - p);
        if (line.size() < max_) line.append(p, std::min(n, max_ - line.size()));
        pos_ += n;
        if (n) any = true;
        if (q < e) {
            after_cr_ = *q == '\r';
            ++pos_;
            return true;
        }
    }
}

namespace {

const char kNotRegular[] = "not a regular file (a folder, a pipe or a device)";

// Opens a file to read; null when it is not a regular file or cannot be
// opened.
std::FILE* openinput(const std::string& path) { return isregularfile(path) ? openfile(path, "rb") : nullptr; }

struct Closer {
    std::FILE* f;
    ~Closer() {
        if (f) std::fclose(f);
    }
};

// The names of a names file by sample number, its lines read as option 1
// writes them: "Echantillon N = name".  A name line is short: what lies
// beyond 4096 bytes is read past.
std::vector<std::string> samplenames(std::FILE* f) {
    std::vector<std::string> names;
    const char kWord[] = "Echantillon ";
    const std::size_t kWordLen = sizeof kWord - 1;
    TextLines lines(f, 4096);
    std::string line;
    while (lines.next(line)) {
        if (line.compare(0, kWordLen, kWord) != 0) continue;
        const char* p = line.c_str() + kWordLen;
        char* end = nullptr;
        long n = std::strtol(p, &end, 10);
        if (end == p || n < 1 || n > 999999 || std::strncmp(end, " = ", 3) != 0) continue;
        if (names.size() < static_cast<std::size_t>(n)) names.resize(static_cast<std::size_t>(n));
        // A NUL in the line ends the name, as it ends the text.
        names[static_cast<std::size_t>(n - 1)] = end + 3;
    }
    return names;
}

// The header line of a labelled copy: a corner cell and one cell per column.
// Its labels are class bounds of a few characters; a longer line than 64
// bytes a column cannot be that header.
std::vector<std::string> csvheader(std::FILE* f, int cols) {
    std::vector<std::string> labels;
    std::string line;
    const std::size_t longest = 64 * (static_cast<std::size_t>(cols) + 1);
    TextLines lines(f, longest + 1);
    if (!lines.next(line) || line.size() > longest) return labels;
    std::vector<std::string_view> fields;
    std::string scratch;
    splitfields(line, ',', static_cast<std::size_t>(cols) + 2, fields, scratch);
    if (static_cast<int>(fields.size()) != cols + 1) return labels;
    for (std::size_t i = 1; i < fields.size(); ++i) labels.emplace_back(fields[i]);
    return labels;
}

}  // namespace

bool findlabels(const std::string& table, int cols, const std::string& names_file, FoundLabels& found,
                std::string& why) {
    const std::string names = names_file.empty() ? samplenamesfor(table) : names_file;
    const FileKind kind = names.empty() ? FileKind::missing : filekind(names);
    if (!names_file.empty() && kind != FileKind::regular) {
        why = kind == FileKind::missing ? "cannot open" : kNotRegular;
        return false;
    }
    if (kind == FileKind::regular) {
        std::FILE* f = openinput(names);
        if (!f && !names_file.empty()) {
            why = "cannot open";
            return false;
        }
        Closer closer{f};
        if (f) found.rows = samplenames(f);
        if (!found.rows.empty()) found.rows_from = names;
    } else if (kind != FileKind::missing) {
        found.notes.push_back(names + ": " + kNotRegular + ", not read; rows are numbered");
    }
    const std::string header = table + ".csv";
    const FileKind header_kind = filekind(header);
    if (header_kind == FileKind::regular) {
        std::FILE* f = openinput(header);
        Closer closer{f};
        if (f) found.cols = csvheader(f, cols);
        if (!found.cols.empty()) found.cols_from = header;
    } else if (header_kind != FileKind::missing) {
        found.notes.push_back(header + ": " + kNotRegular + ", not read; columns are numbered");
    }
    return true;
}
