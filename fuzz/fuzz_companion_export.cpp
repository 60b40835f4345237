// peakgrid-export's readers and writers on arbitrary bytes: a table, its
// names file and its labelled copy's header, then the table as CSV, TSV and
// an SVG heat map.  The text tables must read back as the same floats, the
// heat map must be well-formed XML, and the names must be those the plain
// line rule gives (LF, CR LF or a lone CR), also when read in tiny blocks.
//
// Input: byte 0 picks the table's source (built from values, or the bytes
// themselves), CSV or TSV, and the line reader's block size; bytes 1 and 2 the counts of
// a built table; byte 3 where the rest splits between the names file and the
// header; then the table's values.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "companion/common/fields.h"
#include "companion/export/heatmap.h"
#include "companion/export/labels.h"
#include "datafile/messages.h"
#include "datafile/tabletext.h"
#include "fuzz_support.h"
#include "support/fake_platform.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

std::uint32_t bits(float f) {
    std::uint32_t u;
    std::memcpy(&u, &f, 4);
    return u;
}

// The names by the plain rule.
std::vector<std::string> plain_names(const std::string& s) {
    std::vector<std::string> names;
    std::size_t at = 0;
    while (at < s.size()) {
        std::size_t e = s.find_first_of("\r\n", at);
        if (e == std::string::npos) e = s.size();
        std::string line = s.substr(at, std::min<std::size_t>(e - at, 4096));
        at = e < s.size() && s[e] == '\r' && e + 1 < s.size() && s[e + 1] == '\n' ? e + 2 : e + 1;
        const std::string word = "Echantillon ";
        if (line.compare(0, word.size(), word) != 0) continue;
        const char* p = line.c_str() + word.size();
        char* end = nullptr;
        long n = std::strtol(p, &end, 10);
        if (end == p || n < 1 || n > 999999 || std::strncmp(end, " = ", 3) != 0) continue;
        if (names.size() < static_cast<std::size_t>(n)) names.resize(static_cast<std::size_t>(n));
        names[static_cast<std::size_t>(n - 1)] = end + 3;
    }
    return names;
}

// A cell of a text table as the float it stands for (empty: not a number).
float cellvalue(const std::string& cell) {
    if (cell.empty()) return std::nanf("");
    char* end = nullptr;
    float v = std::strtof(cell.c_str(), &end);
    check(end == cell.c_str() + cell.size());
    return v;
}

// A text table read back: a line per row after the header, a cell per
// column after the label, each the float of the table.
void readback(const std::string& text, char sep, const HeatMap& want) {
    const std::string eol = sep == ',' ? "\r\n" : "\n";
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t e = text.find(eol, at);
        check(e != std::string::npos);  // every line is ended
        lines.push_back(text.substr(at, e - at));
        at = e + eol.size();
    }
    check(static_cast<int>(lines.size()) == want.rows + 1);
    std::vector<std::string_view> fields;
    std::string scratch;
    for (int i = 0; i <= want.rows; ++i) {
        std::vector<std::string> cells;
        const std::string& line = lines[static_cast<std::size_t>(i)];
        if (sep == ',') {
            splitfields(line, ',', static_cast<std::size_t>(-1), fields, scratch);
            for (auto f : fields) cells.emplace_back(f);
        } else {
            for (std::size_t at = 0;;) {
                std::size_t e = line.find('\t', at);
                cells.push_back(line.substr(at, e == std::string::npos ? std::string::npos : e - at));
                if (e == std::string::npos) break;
                at = e + 1;
            }
        }
        check(static_cast<int>(cells.size()) == want.cols + 1);
        if (i == 0) continue;
        for (int j = 0; j < want.cols; ++j) {
            float v = cellvalue(cells[static_cast<std::size_t>(j) + 1]);
            float w = want.values[static_cast<std::size_t>(i - 1) * want.cols + j];
            check(std::isnan(w) ? std::isnan(v) : bits(v) == bits(w));
        }
    }
}

// ---- A small well-formedness check of an XML document ---------------------

// The next character of s at i as a code point, i moved past it; -1 when it
// is not well-formed UTF-8.
long nextchar(const std::string& s, std::size_t& i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    int more = c < 0x80 ? 0 : (c & 0xe0) == 0xc0 ? 1 : (c & 0xf0) == 0xe0 ? 2 : (c & 0xf8) == 0xf0 ? 3 : -1;
    if (more < 0 || i + static_cast<std::size_t>(more) >= s.size()) return -1;
    long cp = more == 0 ? c : c & (0x3f >> more);
    for (int k = 1; k <= more; ++k) {
        const unsigned char b = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
        if ((b & 0xc0) != 0x80) return -1;
        cp = (cp << 6) | (b & 0x3f);
    }
    static const long least[] = {0, 0x80, 0x800, 0x10000};
    if (cp < least[more]) return -1;
    i += static_cast<std::size_t>(more) + 1;
    return cp;
}

bool xmlchar(long c) {
    return c == 0x9 || c == 0xa || c == 0xd || (c >= 0x20 && c <= 0xd7ff) || (c >= 0xe000 && c <= 0xfffd) ||
           (c >= 0x10000 && c <= 0x10ffff);
}

bool namechar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == ':' ||
           c == '_' || c == '.';
}

// A reference after '&' at i: a named one of the five or a character
// reference to an XML character; i moved past its ';'.
void reference(const std::string& s, std::size_t& i) {
    std::size_t e = s.find(';', i);
    check(e != std::string::npos && e > i);
    std::string r = s.substr(i, e - i);
    i = e + 1;
    if (r == "amp" || r == "lt" || r == "gt" || r == "quot" || r == "apos") return;
    check(r.size() > 1 && r[0] == '#' && r.size() < 10);
    const bool hex = r[1] == 'x';
    check(r.size() > (hex ? 2u : 1u));
    for (std::size_t k = hex ? 2 : 1; k < r.size(); ++k)
        check(hex ? std::isxdigit(static_cast<unsigned char>(r[k])) != 0
                  : std::isdigit(static_cast<unsigned char>(r[k])) != 0);
    check(xmlchar(std::strtol(r.c_str() + (hex ? 2 : 1), nullptr, hex ? 16 : 10)));
}

void wellformed(const std::string& s) {
    // Every character a well-formed UTF-8 XML character.
    for (std::size_t i = 0; i < s.size();) check(xmlchar(nextchar(s, i)));
    std::size_t i = 0;
    const std::string decl = "<?xml ";
    if (s.compare(0, decl.size(), decl) == 0) {
        i = s.find("?>");
        check(i != std::string::npos);
        i += 2;
    }
    std::vector<std::string> open;
    bool root = false;
    while (i < s.size()) {
        if (s[i] == '&') {
            check(!open.empty());
            reference(s, ++i);
        } else if (s[i] != '<') {
            check(!open.empty() || s[i] == '\n' || s[i] == ' ');
            ++i;
        } else {
            ++i;
            const bool closing = i < s.size() && s[i] == '/';
            if (closing) ++i;
            std::size_t n = i;
            while (n < s.size() && namechar(s[n])) ++n;
            check(n > i);
            std::string name = s.substr(i, n - i);
            i = n;
            if (closing) {
                check(!open.empty() && open.back() == name && i < s.size() && s[i] == '>');
                open.pop_back();
                ++i;
                continue;
            }
            check(open.size() > 0 || !root);  // one root element
            // Attributes: blank, name, '=', a quoted value without '<'.
            std::vector<std::string> attrs;
            for (;;) {
                check(i < s.size());
                if (s[i] == '>' || (s[i] == '/' && i + 1 < s.size() && s[i + 1] == '>')) break;
                check(s[i] == ' ' || s[i] == '\n');
                while (i < s.size() && (s[i] == ' ' || s[i] == '\n')) ++i;
                std::size_t a = i;
                while (i < s.size() && namechar(s[i])) ++i;
                check(i > a && i < s.size() && s[i] == '=');
                std::string attr = s.substr(a, i - a);
                for (const auto& seen : attrs) check(seen != attr);
                attrs.push_back(attr);
                ++i;
                check(i < s.size() && (s[i] == '"' || s[i] == '\''));
                const char q = s[i++];
                while (i < s.size() && s[i] != q) {
                    check(s[i] != '<');
                    if (s[i] == '&')
                        reference(s, ++i);
                    else
                        ++i;
                }
                check(i < s.size());
                ++i;
            }
            if (open.empty()) root = true;
            if (s[i] == '/') {
                i += 2;
            } else {
                open.push_back(name);
                ++i;
            }
        }
    }
    check(root && open.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sandbox();
    reset_fake();
    if (size < 4) return 0;
    const bool raw = data[0] & 1;
    const std::size_t block = 1 + (data[0] >> 2) % 8;  // the line reader's block, for the names
    const int rows = 1 + data[1] % 12, cols = 1 + data[2] % 12;
    std::string rest(reinterpret_cast<const char*>(data) + 4, size - 4);

    std::string tab;
    if (raw) {
        tab = rest;
    } else {
        std::string v = rest.substr(0, 4u * rows * cols);
        rest.erase(0, v.size());
        v.resize(4u * rows * cols, '\0');
        char t[19];
        std::snprintf(t, sizeof t, "\r\n%06d\r\n%06d\r\n", rows, cols);
        tab = v + t;
    }
    const std::size_t cut = rest.size() * data[3] / 256;
    const std::string names = rest.substr(0, cut), header = rest.substr(cut);
    put_file("Chan1_tabSH", reinterpret_cast<const std::uint8_t*>(tab.data()), tab.size());
    put_file("SampleNamesCh1", reinterpret_cast<const std::uint8_t*>(names.data()), names.size());
    put_file("Chan1_tabSH.csv", reinterpret_cast<const std::uint8_t*>(header.data()), header.size());

    // The table, read once with its own counts.
    HeatMap map;
    const std::string why = readheatmap("Chan1_tabSH", map);
    if (!raw) check(why.empty() && map.rows == rows && map.cols == cols);
    if (!why.empty()) return 0;
    check(map.values.size() == static_cast<std::size_t>(map.rows) * map.cols);
    if (!raw)
        for (std::size_t k = 0; k < map.values.size(); ++k) {
            float w;
            std::memcpy(&w, tab.data() + 4 * k, 4);
            check(bits(map.values[k]) == bits(w));
        }

    // Its labels, and the names read in tiny blocks by the plain rule.
    FoundLabels found;
    std::string fail;
    check(findlabels("Chan1_tabSH", map.cols, "", found, fail));
    const std::vector<std::string> plain = plain_names(names);
    check(found.rows == plain);
    {
        std::FILE* f = std::fopen("SampleNamesCh1", "rb");
        TextLines lines(f, 4096, block);
        std::string line, joined, want;
        while (lines.next(line)) joined += line + '\n';
        std::fclose(f);
        for (std::size_t at = 0; at < names.size();) {
            std::size_t e = names.find_first_of("\r\n", at);
            if (e == std::string::npos) e = names.size();
            want += names.substr(at, std::min<std::size_t>(e - at, 4096)) + '\n';
            at = e < names.size() && names[e] == '\r' && e + 1 < names.size() && names[e + 1] == '\n' ? e + 2 : e + 1;
        }
        check(joined == want);
    }
    check(found.cols.empty() || static_cast<int>(found.cols.size()) == map.cols);

    // CSV or TSV reads back as the same floats.
    for (char sep : {data[0] & 2 ? '\t' : ','}) {
        TextLabels text;
        text.sep = sep;
        text.corner = "Sample";
        text.rows = found.rows;
        text.cols = found.cols;
        std::FILE* out = std::fopen("out.txt", "wb");
        try {
            check(texttable("Chan1_tabSH", out, text));
        } catch (const RunAbandoned&) {
            std::abort();  // the table read above reads here too
        }
        std::fclose(out);
        readback(read_file("out.txt"), sep, map);
    }

    // The heat map, well-formed.
    map.title = header.substr(0, 40);
    map.row_labels = found.rows;
    map.col_labels =
        found.cols.empty() ? std::vector<std::string>{names.substr(0, 30), header.substr(0, 30)} : found.cols;
    std::FILE* out = std::fopen("out.svg", "wb");
    check(writeheatmap(map, out));
    std::fclose(out);
    wellformed(read_file("out.svg"));
    return 0;
}
