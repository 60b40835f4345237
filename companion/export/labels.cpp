#include "companion/export/labels.h"

#include <cstdio>
#include <string_view>

#include "companion/common/fields.h"
#include "datafile/samplenames.h"

namespace {

// The header line of a labelled copy: a corner cell and one cell per column.
std::vector<std::string> csvheader(const std::string& path, int cols) {
    std::vector<std::string> labels;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return labels;
    std::string line;
    int c;
    while ((c = std::fgetc(f)) != EOF && c != '\n') line += static_cast<char>(c);
    std::fclose(f);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string_view> fields;
    std::string scratch;
    splitfields(line, ',', static_cast<std::size_t>(-1), fields, scratch);
    if (static_cast<int>(fields.size()) != cols + 1) return labels;
    for (std::size_t i = 1; i < fields.size(); ++i) labels.emplace_back(fields[i]);
    return labels;
}

}  // namespace

bool findlabels(const std::string& table, int cols, const std::string& names_file, FoundLabels& found) {
    std::string names = names_file.empty() ? samplenamesfor(table) : names_file;
    if (!names_file.empty()) {
        std::FILE* f = std::fopen(names.c_str(), "rb");
        if (!f) return false;
        std::fclose(f);
    }
    if (!names.empty()) {
        found.rows = readsamplenames(names);
        if (!found.rows.empty()) found.rows_from = names;
    }
    found.cols = csvheader(table + ".csv", cols);
    if (!found.cols.empty()) found.cols_from = table + ".csv";
    return true;
}
