#include "companion/common/fields.h"

#include <cstring>

namespace {

std::string_view trim(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
    return s.substr(b, e - b);
}

// The next separator at or after pos, or n.  Fields are short: a plain
// scan beats a library call per field.
inline std::size_t find_sep(const char* d, std::size_t pos, std::size_t n, char sep) {
    while (pos < n && d[pos] != sep) ++pos;
    return pos;
}

}  // namespace

bool splitfields(std::string_view line, char sep, std::size_t limit, std::vector<std::string_view>& out,
                 std::string& scratch) {
    out.clear();
    scratch.clear();
    // Views into scratch must stay valid: room for the whole line up front
    // (and reserve only grows it: a smaller request may reallocate).
    if (scratch.capacity() < line.size()) scratch.reserve(line.size());
    std::size_t pos = 0;
    const std::size_t n = line.size();
    while (out.size() < limit) {
        std::size_t p = pos;
        while (p < n && line[p] == ' ' && sep != ' ') ++p;
        if (p < n && line[p] == '"') {
            // A quoted field: copy it unquoted only when it holds a doubled quote.
            std::size_t q = p + 1, start = q;
            bool doubled = false;
            while (q < n) {
                if (line[q] == '"') {
                    if (q + 1 < n && line[q + 1] == '"') {
                        doubled = true;
                        q += 2;
                        continue;
                    }
                    break;
                }
                ++q;
            }
            if (q >= n) {
                // No closing quote: the field ran past the line end (a
                // quoted line break) or its quote is unbalanced.
                out.push_back(line.substr(start));
                return false;
            }
            std::string_view inner = line.substr(start, q - start);
            if (doubled) {
                std::size_t at = scratch.size();
                for (std::size_t i = 0; i < inner.size(); ++i) {
                    scratch += inner[i];
                    if (inner[i] == '"') ++i;
                }
                inner = std::string_view(scratch).substr(at);
            }
            out.push_back(inner);
            // Whatever follows the closing quote up to the separator is dropped.
            const void* s = std::memchr(line.data() + q, sep, n - q);
            if (!s) return true;
            pos = static_cast<std::size_t>(static_cast<const char*>(s) - line.data()) + 1;
            continue;
        }
        const std::size_t end = find_sep(line.data(), pos, n, sep);
        out.push_back(trim(line.substr(pos, end - pos)));
        if (end == n) return true;
        pos = end + 1;
    }
    return true;
}

bool isnumber(std::string_view s) {
    std::size_t i = 0, n = s.size();
    if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < n && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    if (i < n && s[i] == '.') {
        ++i;
        while (i < n && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
        std::size_t exp = 0;
        while (i < n && s[i] >= '0' && s[i] <= '9') ++i, ++exp;
        if (exp == 0) return false;
    }
    return i == n;
}

std::string columnkey(std::string_view name) {
    std::string k;
    for (char c : name) {
        if (c >= 'A' && c <= 'Z')
            k += static_cast<char>(c - 'A' + 'a');
        else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
            k += c;
    }
    return k;
}
