#include "companion/common/fields.h"

#include <cstdint>
#include <cstring>

namespace {

// Appends line[b, e) without the blanks around it.  (Built in place: a
// view made on the stack and copied in was a stalled 16-byte load per field.)
inline void push_trimmed(std::vector<std::string_view>& out, const char* d, std::size_t b, std::size_t e) {
    while (b < e && (d[b] == ' ' || d[b] == '\t')) ++b;
    while (e > b && (d[e - 1] == ' ' || d[e - 1] == '\t')) --e;
    out.emplace_back(d + b, e - b);
}

// The separators of a line, found 64 bytes at a time: a bit per byte of the
// block holding the position asked about, so finding the end of a field is
// a few bit operations instead of a loop over its bytes.
struct SepFinder {
    const char* d;
    std::size_t n;
    std::uint64_t pattern;  // sep in every byte
    std::size_t block = 0;  // start of the block in mask
    std::uint64_t mask = 0;

    SepFinder(const char* data, std::size_t size, char sep)
        : d(data), n(size), pattern(0x0101010101010101ull * static_cast<unsigned char>(sep)) {
        load(0);
    }

    // Bit i set when byte i of the 8 at p is the separator (exact: no bit
    // is carried from one byte into the next).
    std::uint64_t eight(const unsigned char* p) const {
        std::uint64_t w;
        std::memcpy(&w, p, 8);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
        w = __builtin_bswap64(w);  // byte i of the line in bits 8i..8i+7
#endif
        const std::uint64_t x = w ^ pattern;
        const std::uint64_t low = 0x7F7F7F7F7F7F7F7Full;
        const std::uint64_t hit = ~(((x & low) + low) | x | low);  // 0x80 in each byte equal to sep
        return ((hit >> 7) * 0x0102040810204080ull) >> 56;         // the eight bits gathered
    }

    void load(std::size_t b) {
        block = b;
        mask = 0;
        const std::size_t len = n - b < 64 ? n - b : 64;
        if (len == 64) {
            const unsigned char* p = reinterpret_cast<const unsigned char*>(d + b);
            for (int k = 0; k < 8; ++k) mask |= eight(p + 8 * k) << (8 * k);
            return;
        }
        for (std::size_t i = 0; i < len; ++i)
            if (d[b + i] == static_cast<char>(pattern)) mask |= std::uint64_t{1} << i;
    }

    // The next separator at or after pos, or n.
    std::size_t next(std::size_t pos) {
        if (pos - block < 64) {  // most fields end in the block they begin in
            const std::uint64_t m = mask & (~std::uint64_t{0} << (pos - block));
            if (m) return block + lowest_bit(m);
        }
        while (pos < n) {
            const std::size_t b = pos & ~std::size_t{63};
            if (b != block) load(b);
            const std::uint64_t m = mask & (~std::uint64_t{0} << (pos - b));
            if (m) return b + lowest_bit(m);
            pos = b + 64;
        }
        return n;
    }

    static std::size_t lowest_bit(std::uint64_t m) {
#if defined(__GNUC__)
        return static_cast<std::size_t>(__builtin_ctzll(m));
#else
        std::size_t i = 0;
        while (!(m & 1)) m >>= 1, ++i;
        return i;
#endif
    }
};

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
    SepFinder seps(line.data(), n, sep);
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
        const std::size_t end = seps.next(p);
        push_trimmed(out, line.data(), p, end);
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
