// Plain ways of reading a file once, the yardsticks the readers under
// benchmark are compared with.
#pragma once

#include <cstdio>
#include <cstring>
#include <vector>

// Line by line through a 2048-byte buffer with fgets, as a simple text
// reader does; counts complete lines.
inline long long count_lines_fgets(const char* name) {
    std::FILE* f = std::fopen(name, "r");
    char line[2048];
    long long lines = 0;
    while (std::fgets(line, sizeof line, f))
        if (std::strchr(line, '\n')) ++lines;
    std::fclose(f);
    return lines;
}

// Whole blocks of a given size and memchr: counts line ends.
inline long long count_lines_blocks(const char* name, std::size_t block_size) {
    static std::vector<char> block;
    block.resize(block_size);
    std::FILE* f = std::fopen(name, "rb");
    long long lines = 0;
    std::size_t got;
    while ((got = std::fread(block.data(), 1, block.size(), f)) > 0) {
        const char* end = block.data() + got;
        for (const char* p = block.data(); (p = static_cast<const char*>(std::memchr(p, '\n', end - p))); ++p) ++lines;
    }
    std::fclose(f);
    return lines;
}

// Writes size bytes to a new file of that name in 1 MiB writes, replacing
// the file of an earlier call; the floor of writing an output of that size.
inline bool write_bytes(const char* name, long long size) {
    static std::vector<char> block(1 << 20, 'x');
    std::FILE* f = std::fopen(name, "wb");
    if (!f) return false;
    bool ok = true;
    while (size > 0 && ok) {
        std::size_t n = size < static_cast<long long>(block.size()) ? static_cast<std::size_t>(size) : block.size();
        ok = std::fwrite(block.data(), 1, n, f) == n;
        size -= static_cast<long long>(n);
    }
    return std::fclose(f) == 0 && ok;
}
