#include "companion/export/heatmap.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>

#include "base/files.h"

#include "datafile/binfile.h"
#include "datafile/tabletext.h"

namespace {

const int kMaxDrawn = 1000;  // rows or columns drawn one by one

// A sequential scale from pale yellow to dark blue (low to high).
const unsigned char kStops[][3] = {{255, 255, 204}, {199, 233, 180}, {127, 205, 187}, {65, 182, 196},
                                   {29, 145, 192},  {34, 94, 168},   {37, 52, 148},   {8, 29, 88}};
const int kStopCount = sizeof kStops / sizeof kStops[0];

// The colour of a value at t (0..1) of the scale, in 64 steps, so that
// neighbouring cells of nearly equal value share one rectangle.
std::string colour(double t) {
    if (!(t >= 0.0)) t = 0.0;
    if (t > 1.0) t = 1.0;
    t = std::round(t * 63.0) / 63.0;
    double x = t * (kStopCount - 1);
    int i = std::min(static_cast<int>(x), kStopCount - 2);
    double f = x - i;
    char buf[8];
    int c[3];
    for (int k = 0; k < 3; ++k)
        c[k] = static_cast<int>(std::lround(kStops[i][k] + f * (kStops[i + 1][k] - kStops[i][k])));
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", c[0], c[1], c[2]);
    return buf;
}

// Whether s is well-formed UTF-8 of characters an XML document may hold:
// no overlong forms, no surrogates, nothing above U+10FFFF, not U+FFFE or
// U+FFFF.
bool utf8(const std::string& s) {
    const std::size_t n = s.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t more;
        std::uint32_t cp, least;
        if (c >= 0xc2 && c <= 0xdf) {
            more = 1, cp = c & 0x1fu, least = 0x80;
        } else if ((c & 0xf0) == 0xe0) {
            more = 2, cp = c & 0x0fu, least = 0x800;
        } else if (c >= 0xf0 && c <= 0xf4) {
            more = 3, cp = c & 0x07u, least = 0x10000;
        } else {
            return false;
        }
        if (n - i <= more) return false;
        for (std::size_t k = 1; k <= more; ++k) {
            const unsigned char b = static_cast<unsigned char>(s[i + k]);
            if ((b & 0xc0) != 0x80) return false;
            cp = (cp << 6) | (b & 0x3fu);
        }
        if (cp < least || cp > 0x10ffff || (cp >= 0xd800 && cp <= 0xdfff) || cp == 0xfffe || cp == 0xffff) return false;
        i += more + 1;
    }
    return true;
}

// Text for the document.  Names from a Windows program are in its code
// page, not UTF-8: their upper bytes are written as Latin-1 characters, so
// the document stays well-formed.
std::string escaped(const std::string& s) {
    const bool keep = utf8(s);
    std::string out;
    for (char c : s) {
        const unsigned char u = static_cast<unsigned char>(c);
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                if (u >= 0x80 && !keep)
                    out += "&#" + std::to_string(u) + ";";
                else if (u >= 32)
                    out += c;
        }
    }
    return out;
}

std::string label(const std::vector<std::string>& labels, int i) {
    if (i < static_cast<int>(labels.size()) && !labels[static_cast<std::size_t>(i)].empty())
        return labels[static_cast<std::size_t>(i)];
    return std::to_string(i + 1);
}

std::string num(double v) {
    char b[32];
    std::snprintf(b, sizeof b, std::fabs(v) >= 1000.0 ? "%.0f" : "%.4g", v);
    return b;
}

std::string valuetext(float v) {
    char b[32];
    return std::string(b, static_cast<std::size_t>(floattext(v, b)));
}

// The drawn grid: blocks of fr rows and fc columns, each the largest value.
struct Grid {
    int rows, cols, fr, fc;
    std::vector<float> v;
};

Grid blocks(const HeatMap& m) {
    Grid g;
    g.fr = (m.rows + kMaxDrawn - 1) / kMaxDrawn;
    g.fc = (m.cols + kMaxDrawn - 1) / kMaxDrawn;
    g.rows = (m.rows + g.fr - 1) / g.fr;
    g.cols = (m.cols + g.fc - 1) / g.fc;
    if (g.fr == 1 && g.fc == 1) {
        g.v = m.values;
        return g;
    }
    g.v.assign(static_cast<std::size_t>(g.rows) * static_cast<std::size_t>(g.cols), std::nanf(""));
    for (int i = 0; i < m.rows; ++i)
        for (int j = 0; j < m.cols; ++j) {
            float x =
                m.values[static_cast<std::size_t>(i) * static_cast<std::size_t>(m.cols) + static_cast<std::size_t>(j)];
            float& b = g.v[static_cast<std::size_t>(i / g.fr) * static_cast<std::size_t>(g.cols) +
                           static_cast<std::size_t>(j / g.fc)];
            if (!std::isnan(x) && (std::isnan(b) || x > b)) b = x;
        }
    return g;
}

// The colour scale spans the finite values: an infinite one would stretch
// it so that every other cell took its pale end.
struct Scale {
    float lo = 0.0f, hi = 0.0f;
    bool any = false, nans = false;
    double span = 1.0;
};

Scale scaleof(const Grid& g) {
    Scale sc;
    for (float x : g.v) {
        if (std::isnan(x)) sc.nans = true;
        if (!std::isfinite(x)) continue;
        if (!sc.any || x < sc.lo) sc.lo = x;
        if (!sc.any || x > sc.hi) sc.hi = x;
        sc.any = true;
    }
    if (sc.lo > 0.0f) sc.lo = 0.0f;  // the scale starts at 0 for tables of peak values
    sc.span = sc.hi > sc.lo ? static_cast<double>(sc.hi) - sc.lo : 1.0;
    return sc;
}

// Where everything goes: cells wide enough for a label where there are few,
// at least 1 unit; labels of every row_step-th row and col_step-th column.
struct Layout {
    double cw, ch, font, left, top, width, height, legend_x, total_w, bar_h, total_h;
    int row_step, col_step;
};

Layout layoutof(const HeatMap& m, const Grid& g) {
    Layout l;
    l.cw = std::clamp(1200.0 / g.cols, 1.0, 28.0);
    l.ch = std::clamp(1000.0 / g.rows, 1.0, 24.0);
    l.font = 11.0;
    l.row_step = static_cast<int>(std::ceil((l.font + 1.0) / l.ch));
    l.col_step = static_cast<int>(std::ceil((l.font + 1.0) / l.cw));
    std::size_t row_chars = 1, col_chars = 1;
    for (int i = 0; i < g.rows; i += l.row_step) row_chars = std::max(row_chars, label(m.row_labels, i * g.fr).size());
    for (int j = 0; j < g.cols; j += l.col_step) col_chars = std::max(col_chars, label(m.col_labels, j * g.fc).size());
    row_chars = std::min<std::size_t>(row_chars, 40);
    col_chars = std::min<std::size_t>(col_chars, 40);
    l.left = 16 + row_chars * l.font * 0.65;
    l.top = 40 + col_chars * l.font * 0.65;
    l.width = g.cols * l.cw;
    l.height = g.rows * l.ch;
    l.legend_x = l.left + l.width + 30;
    l.total_w = l.legend_x + 120;
    l.bar_h = std::clamp(l.height, 120.0, 300.0);
    l.total_h = std::max(l.top + l.height + 20, l.top + l.bar_h + 60);
    return l;
}

void add_header(const HeatMap& m, const Grid& g, const Layout& l, std::string& s) {
    char b[512];
    std::snprintf(b, sizeof b,
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                  "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" "
                  "viewBox=\"0 0 %.0f %.0f\" font-family=\"sans-serif\" font-size=\"%.0f\">\n"
                  "<rect width=\"100%%\" height=\"100%%\" fill=\"white\"/>\n",
                  l.total_w, l.total_h, l.total_w, l.total_h, l.font);
    s += b;
    std::string title = m.title + " (" + std::to_string(m.rows) + " x " + std::to_string(m.cols);
    if (g.fr > 1 || g.fc > 1)
        title +=
            ", blocks of " + std::to_string(g.fr) + " x " + std::to_string(g.fc) + " cells show their largest value";
    title += ")";
    s += "<text x=\"10\" y=\"20\" font-size=\"14\" font-weight=\"bold\">" + escaped(title) + "</text>\n";
}

// One rectangle per run of equal colour in a row; zero cells are
// background.  What is built is written out every MiB or so.
void add_cells(const HeatMap& m, const Grid& g, const Scale& sc, const Layout& l, std::string& s, std::FILE* out) {
    char b[512];
    std::snprintf(b, sizeof b,
                  "<rect x=\"%.2f\" y=\"%.2f\" width=\"%.2f\" height=\"%.2f\" fill=\"#f7f7f7\" stroke=\"#999\" "
                  "stroke-width=\"0.5\"/>\n<g shape-rendering=\"crispEdges\">\n",
                  l.left, l.top, l.width, l.height);
    s += b;
    for (int i = 0; i < g.rows; ++i) {
        const float* row = g.v.data() + static_cast<std::size_t>(i) * static_cast<std::size_t>(g.cols);
        int j = 0;
        while (j < g.cols) {
            float x = row[j];
            if (x == 0.0f) {
                ++j;
                continue;
            }
            std::string c = std::isnan(x) ? "#b0b0b0" : colour((x - sc.lo) / sc.span);
            int k = j + 1;
            while (k < g.cols && row[k] != 0.0f &&
                   (std::isnan(row[k]) ? std::isnan(x) : !std::isnan(x) && colour((row[k] - sc.lo) / sc.span) == c))
                ++k;
            std::snprintf(b, sizeof b, "<rect x=\"%.2f\" y=\"%.2f\" width=\"%.2f\" height=\"%.2f\" fill=\"%s\"",
                          l.left + j * l.cw, l.top + i * l.ch, (k - j) * l.cw, l.ch, c.c_str());
            s += b;
            if (k == j + 1 && g.fr == 1 && g.fc == 1)
                s += "><title>" +
                     escaped(label(m.row_labels, i) + ", " + label(m.col_labels, j) + ": " + valuetext(x)) +
                     "</title></rect>\n";
            else
                s += "/>\n";
            j = k;
        }
        if (s.size() > (1u << 20)) {
            std::fwrite(s.data(), 1, s.size(), out);
            s.clear();
        }
    }
    s += "</g>\n";
}

// Row labels, right-aligned against the grid; column labels upright.
void add_labels(const HeatMap& m, const Grid& g, const Layout& l, std::string& s) {
    char b[512];
    const double rf = std::min(l.font, std::max(l.ch * l.row_step - 1.0, 6.0));
    for (int i = 0; i < g.rows; i += l.row_step) {
        std::snprintf(
            b, sizeof b,
            "<text x=\"%.2f\" y=\"%.2f\" font-size=\"%.1f\" text-anchor=\"end\" dominant-baseline=\"central\">",
            l.left - 4, l.top + (i + 0.5) * l.ch, rf);
        s += b + escaped(label(m.row_labels, i * g.fr)) + "</text>\n";
    }
    const double cf = std::min(l.font, std::max(l.cw * l.col_step - 1.0, 6.0));
    for (int j = 0; j < g.cols; j += l.col_step) {
        double x = l.left + (j + 0.5) * l.cw;
        std::snprintf(
            b, sizeof b,
            "<text transform=\"translate(%.2f,%.2f) rotate(-90)\" font-size=\"%.1f\" dominant-baseline=\"central\">", x,
            l.top - 4, cf);
        s += b + escaped(label(m.col_labels, j * g.fc)) + "</text>\n";
    }
}

// The colour scale: a bar from the lowest to the highest value, then the
// keys of empty cells and of cells without a value.
void add_legend(const Scale& sc, const Layout& l, std::string& s) {
    char b[512];
    const double bar_top = l.top, bar_h = l.bar_h, legend_x = l.legend_x;
    s += "<defs><linearGradient id=\"scale\" x1=\"0\" y1=\"1\" x2=\"0\" y2=\"0\">";
    for (int k = 0; k < kStopCount; ++k) {
        std::snprintf(b, sizeof b, "<stop offset=\"%.3f\" stop-color=\"%s\"/>", k / double(kStopCount - 1),
                      colour(k / double(kStopCount - 1)).c_str());
        s += b;
    }
    s += "</linearGradient></defs>\n";
    std::snprintf(b, sizeof b,
                  "<rect x=\"%.2f\" y=\"%.2f\" width=\"16\" height=\"%.0f\" fill=\"url(#scale)\" stroke=\"#999\" "
                  "stroke-width=\"0.5\"/>\n",
                  legend_x, bar_top, bar_h);
    s += b;
    for (int k = 0; k <= 4; ++k) {
        double v = sc.lo + sc.span * k / 4.0, y = bar_top + bar_h - bar_h * k / 4.0;
        std::snprintf(b, sizeof b,
                      "<line x1=\"%.2f\" y1=\"%.2f\" x2=\"%.2f\" y2=\"%.2f\" stroke=\"#333\"/>"
                      "<text x=\"%.2f\" y=\"%.2f\" dominant-baseline=\"central\">%s</text>\n",
                      legend_x + 16, y, legend_x + 20, y, legend_x + 23, y, escaped(num(sc.any ? v : 0.0)).c_str());
        s += b;
    }
    std::snprintf(
        b, sizeof b,
        "<rect x=\"%.2f\" y=\"%.2f\" width=\"16\" height=\"10\" fill=\"#f7f7f7\" stroke=\"#999\" stroke-width=\"0.5\"/>"
        "<text x=\"%.2f\" y=\"%.2f\" dominant-baseline=\"central\">0 (empty)</text>\n",
        legend_x, bar_top + bar_h + 15, legend_x + 23, bar_top + bar_h + 20);
    s += b;
    if (sc.nans) {
        std::snprintf(b, sizeof b,
                      "<rect x=\"%.2f\" y=\"%.2f\" width=\"16\" height=\"10\" fill=\"#b0b0b0\"/>"
                      "<text x=\"%.2f\" y=\"%.2f\" dominant-baseline=\"central\">no value</text>\n",
                      legend_x, bar_top + bar_h + 30, legend_x + 23, bar_top + bar_h + 35);
        s += b;
    }
}

}  // namespace

bool writeheatmap(const HeatMap& m, std::FILE* out) {
    const Grid g = blocks(m);
    const Scale sc = scaleof(g);
    const Layout l = layoutof(m, g);
    std::string s;
    add_header(m, g, l, s);
    add_cells(m, g, sc, l, s, out);
    add_labels(m, g, l, s);
    add_legend(sc, l, s);
    s += "</svg>\n";
    std::fwrite(s.data(), 1, s.size(), out);
    return std::fflush(out) == 0 && !std::ferror(out);
}

namespace {

struct Closer {
    std::FILE* f;
    ~Closer() { std::fclose(f); }
};

bool digits(const char* p) {
    for (int i = 0; i < 6; ++i)
        if (p[i] < '0' || p[i] > '9') return false;
    return true;
}

bool lineend(const char* p) { return (p[0] == '\r' || p[0] == '\n') && (p[1] == '\r' || p[1] == '\n'); }

int count(const char* p) {
    int v = 0;
    for (int i = 0; i < 6; ++i) v = v * 10 + (p[i] - '0');
    return v;
}

}  // namespace

std::string readheatmap(const std::string& table, HeatMap& map) {
    if (!isregularfile(table)) return "not a regular file (a folder, a pipe or a device)";
    std::FILE* f = openfile(table, "rb");
    if (!f) return "cannot open";
    Closer closer{f};
    // The trailer: "\r\n" + six-digit rows + "\r\n" + six-digit columns + "\r\n".
    char t[16];
    if (std::fseek(f, -16, SEEK_END) != 0 || std::fread(t, 1, 16, f) != 16 || !digits(t) || !lineend(t + 6) ||
        !digits(t + 8) || !lineend(t + 14))
        return "no table (the trailer gives no rows or no columns)";
    const long long size = std::ftell(f);
    const int rows = count(t), cols = count(t + 8);
    if (rows == 0 || cols == 0) return "no table (the trailer gives no rows or no columns)";
    if (4LL * rows * cols + 18 > size)
        return "shorter than its " + std::to_string(rows) + " x " + std::to_string(cols) + " table";
    const unsigned long long n = static_cast<unsigned long long>(rows) * static_cast<unsigned long long>(cols);
    if (n > map.values.max_size()) throw std::bad_alloc();
    map.values.assign(static_cast<std::size_t>(n), 0.0f);
    map.rows = rows;
    map.cols = cols;
    if (std::fseek(f, 0, SEEK_SET) != 0) return "cannot read";
    const std::size_t kBlock = 1u << 18;  // values read at once
    for (std::size_t at = 0; at < map.values.size(); at += kBlock) {
        const std::size_t k = std::min(kBlock, map.values.size() - at);
        if (std::fread(map.values.data() + at, 4, k, f) != k) return "cannot read";
#if !(defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__)
        // The file is little-endian: decode each value's bytes in place.
        unsigned char* b = reinterpret_cast<unsigned char*>(map.values.data() + at);
        for (std::size_t i = 0; i < k; ++i) map.values[at + i] = static_cast<float>(decodescal(b + 4 * i));
#endif
    }
    return "";
}
