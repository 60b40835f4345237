// Text eight bytes at a time, for the readers of big text files: where the
// first byte below a bound is, and the lowest set bit of a mask.
//
// A word is eight bytes from any address (no alignment), its first byte the
// lowest, on every host.  Only plain 64-bit arithmetic is used, so the
// answers are the same on every compiler and processor.
#pragma once

#include <cstdint>
#include <cstring>

const std::uint64_t kByteOnes = 0x0101010101010101ull;
const std::uint64_t kByteHighs = 0x8080808080808080ull;

// The eight bytes at p, the first one lowest.
inline std::uint64_t loadword(const char* p) {
    std::uint64_t w;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    std::memcpy(&w, p, 8);
#else
    w = 0;
    for (int i = 0; i < 8; ++i) w |= static_cast<std::uint64_t>(static_cast<unsigned char>(p[i])) << (8 * i);
#endif
    return w;
}

// The index of the lowest set bit of m (m != 0).  On 32-bit hosts by
// halves, which the compiler does in line rather than through its library.
inline int lowestbit(std::uint64_t m) {
#if defined(__GNUC__) && UINTPTR_MAX > 0xFFFFFFFFu
    return __builtin_ctzll(m);
#elif defined(__GNUC__)
    const std::uint32_t low = static_cast<std::uint32_t>(m);
    return low ? __builtin_ctz(low) : 32 + __builtin_ctz(static_cast<std::uint32_t>(m >> 32));
#else
    int i = 0;
    for (; !(m & 1u); m >>= 1) ++i;
    return i;
#endif
}

// The index of the lowest byte whose high bit is set in m (m != 0, only
// high bits set).
inline int lowestbyte(std::uint64_t m) { return lowestbit(m) >> 3; }

// The index (0..7) of the first byte of w below n (1 <= n <= 128), 8 when
// there is none.  Subtracting n from every byte borrows across bytes only
// from a byte below n into the bytes after it, so the first flagged byte is
// always a true one.
inline int firstbelow(std::uint64_t w, unsigned n) {
    std::uint64_t m = (w - kByteOnes * n) & ~w & kByteHighs;
    return m ? lowestbyte(m) : 8;
}
