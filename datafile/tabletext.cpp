#include "datafile/tabletext.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "datafile/binfile.h"
#include "datafile/readrows.h"

int floattext(float v, char* out) {
    if (std::isnan(v)) return 0;
    // Whole numbers below 2^24 are exact in a float: plain digits.
    if (v == std::trunc(v) && std::fabs(v) < 16777216.0f) {
        long n = static_cast<long>(v);
        char digits[16];
        int k = 0;
        unsigned long u = n < 0 ? static_cast<unsigned long>(-n) : static_cast<unsigned long>(n);
        do {
            digits[k++] = static_cast<char>('0' + u % 10);
            u /= 10;
        } while (u);
        int len = 0;
        if (std::signbit(v)) out[len++] = '-';
        while (k) out[len++] = digits[--k];
        return len;
    }
#if defined(__cpp_lib_to_chars)
    std::to_chars_result r = std::to_chars(out, out + 32, v);
    return static_cast<int>(r.ptr - out);
#else
    // Nine significant digits always read back as the same float.
    char buf[40];
    int n = std::snprintf(buf, sizeof buf, "%.9g", static_cast<double>(v));
    std::memcpy(out, buf, static_cast<std::size_t>(n));
    return n;
#endif
}

void appendcell(std::string& line, const std::string& text, char sep) {
    if (sep != ',') {
        for (char c : text) line += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
        return;
    }
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        line += text;
        return;
    }
    line += '"';
    for (char c : text) {
        if (c == '"') line += '"';
        line += c;
    }
    line += '"';
}

namespace {

const std::string& label_or(const std::vector<std::string>& labels, int i, std::string& number) {
    if (i < static_cast<int>(labels.size()) && !labels[static_cast<std::size_t>(i)].empty())
        return labels[static_cast<std::size_t>(i)];
    number = std::to_string(i + 1);
    return number;
}

}  // namespace

bool texttable(const char* name, std::FILE* out, const TextLabels& labels) {
    int rows = 0, cols = 0;
    readdims(name, rows, cols);
    const char* eol = labels.sep == ',' ? "\r\n" : "\n";
    std::string line, number;
    appendcell(line, labels.corner, labels.sep);
    for (int j = 0; j < cols; ++j) {
        line += labels.sep;
        appendcell(line, label_or(labels.cols, j, number), labels.sep);
    }
    line += eol;
    std::fwrite(line.data(), 1, line.size(), out);

    // Rows are gathered into blocks of about 1 MiB before they are written;
    // every cell has room for its longest text.
    const std::size_t kBlock = 1u << 20;
    std::vector<char> block(kBlock);
    std::size_t used = 0;
    std::string label;
    readrows(name, [&](int row, const float* v) {
        label.clear();
        appendcell(label, label_or(labels.rows, row - 1, number), labels.sep);
        std::size_t need = label.size() + 33 * static_cast<std::size_t>(cols) + 2;
        if (used + need > block.size()) {
            std::fwrite(block.data(), 1, used, out);
            used = 0;
            if (need > block.size()) block.resize(need);
        }
        char* p = block.data() + used;
        std::memcpy(p, label.data(), label.size());
        p += label.size();
        for (int j = 0; j < cols; ++j) {
            *p++ = labels.sep;
            p += floattext(v[j], p);
        }
        for (const char* e = eol; *e; ++e) *p++ = *e;
        used = static_cast<std::size_t>(p - block.data());
    });
    std::fwrite(block.data(), 1, used, out);
    return std::fflush(out) == 0 && !std::ferror(out);
}
