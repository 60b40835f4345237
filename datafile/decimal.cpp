#include "datafile/decimal.h"

#include <cfloat>
#include <charconv>
#include <cstdlib>
#include <string>
#include <system_error>

namespace {

inline bool is_digit(char c) { return static_cast<unsigned>(static_cast<unsigned char>(c) - '0') < 10; }

// The text of a number without its sign, through strtod.
double through_strtod(const char* from, const char* to) {
    std::string copy(from, to);
    return std::strtod(copy.c_str(), nullptr);
}

}  // namespace

double leadingdecimal(const char* text, const char** stop) {
    const char* p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    bool negative = false;
    if (*p == '-' || *p == '+') negative = *p++ == '-';
    const char* const digits = p;
    int count = 0;
    for (; is_digit(*p); ++p) ++count;
    if (*p == '.')
        for (++p; is_digit(*p); ++p) ++count;
    if (count == 0) {
        *stop = text;
        return 0.0;
    }
    if (*p == 'e' || *p == 'E') {
        const char* q = p + 1;
        if (*q == '-' || *q == '+') ++q;
        if (is_digit(*q)) {
            while (is_digit(*q)) ++q;
            p = q;
        }
    }
    *stop = p;
    double v;
#if defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD == 0
    // Correctly rounded; out-of-range values go through strtod, which gives
    // them as infinities, zeros or subnormals.
    std::from_chars_result r = std::from_chars(digits, p, v, std::chars_format::general);
    if (r.ec != std::errc() || r.ptr != p) v = through_strtod(digits, p);
#else
    // Where intermediate results are kept in extended precision the C
    // library converts every number.
    v = through_strtod(digits, p);
#endif
    return negative ? -v : v;
}
