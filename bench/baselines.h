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
