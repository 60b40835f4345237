// The first nine fields of an export line found at once: masks of the
// delimiters of its first 64 bytes, 16 bytes at a time, and the field
// boundaries read off them, so that no field waits for the scan of the one
// before it.
//
// Only where the processor has SSE2 (every x86-64, and 32-bit x86 built with
// -msse2); elsewhere splitnine() always declines and the fields are read
// one by one, with the same result.
#pragma once

#include <cstddef>
#include <cstdint>

#include "datafile/wordscan.h"

#if defined(__SSE2__) && defined(__GNUC__)
#include <emmintrin.h>
#define PEAKGRID_FIELD_SPLIT 1
#endif

// Offsets from the line's start of the first nine fields and of the byte
// after each.
struct FieldSpans {
    unsigned char start[9], end[9];
};

// Whether splitnine can answer at all on this build.
#if defined(PEAKGRID_FIELD_SPLIT)
const bool kFieldSplit = true;
#else
const bool kFieldSplit = false;
#endif

// True when the first nine fields of line[0, length) (up to a NUL in it)
// lie within its first 64 bytes and no control byte but a tab comes before
// its end; then spans holds them.  False otherwise, also for a line of
// fewer fields: the caller then reads the fields one by one.  Reads the 64
// bytes from line on, past its end (ExportLines::kPadding).
inline bool splitnine(const char* line, std::size_t length, FieldSpans& spans) {
#if defined(PEAKGRID_FIELD_SPLIT)
    // Bytes are compared as signed after flipping their high bit, which
    // orders them as unsigned.
    const __m128i flip = _mm_set1_epi8(static_cast<char>(0x80));
    const __m128i bang = _mm_set1_epi8(static_cast<char>('!' ^ 0x80));
    const __m128i blank = _mm_set1_epi8(static_cast<char>(' ' ^ 0x80));
    const __m128i tab = _mm_set1_epi8('\t');
    std::uint64_t delimiters = 0, controls = 0;  // one bit a byte
    for (int i = 0; i < 4; ++i) {
        __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line + 16 * i));
        __m128i flipped = _mm_xor_si128(x, flip);
        __m128i delim = _mm_cmpgt_epi8(bang, flipped);  // below '!': blank, tab, NUL, control
        __m128i control = _mm_andnot_si128(_mm_cmpeq_epi8(x, tab), _mm_cmpgt_epi8(blank, flipped));
        delimiters |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(delim))) << (16 * i);
        controls |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(control))) << (16 * i);
    }
    if (controls) {
        // The first control byte must be the line's end (the byte at length,
        // its CR, LF or NUL) or a NUL in it; from there on all is past the
        // line.
        int end = lowestbit(controls);
        if (static_cast<std::size_t>(end) < length && line[end] != '\0') return false;
        delimiters |= ~std::uint64_t(0) << end;
    }
    // A field starts at a byte that is no delimiter after one that is (or at
    // the line's start) and ends at the first delimiter after it.
    const std::uint64_t after = (delimiters << 1) | 1u;
    std::uint64_t starts = ~delimiters & after, ends = delimiters & ~after;
    for (int k = 0; k < 9; ++k) {
        if (!ends) return false;  // fewer fields, or the ninth goes on past 64 bytes
        spans.start[k] = static_cast<unsigned char>(lowestbit(starts));
        spans.end[k] = static_cast<unsigned char>(lowestbit(ends));
        starts &= starts - 1;
        ends &= ends - 1;
    }
    return true;
#else
    (void)line;
    (void)length;
    (void)spans;
    return false;
#endif
}
