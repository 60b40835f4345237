#include "datafile/readrows.h"

#include <cstdio>
#include <vector>

#include "datafile/binfile.h"
#include "datafile/messages.h"

namespace {

const std::size_t kBlockBytes = 1u << 20;

}  // namespace

void readrows(const char* name, const std::function<void(int row, const float* values)>& fn) {
    int rows = 0, cols = 0;
    readdims(name, rows, cols);
    if (static_cast<long long>(rows) * cols == 0) return;
    std::FILE* f = nullptr;
    ouvlec(name, f, 'b');
    InputCloser closer{f};
    long long end = 0;
    if (std::fseek(f, 0, SEEK_END) == 0) end = std::ftell(f) - 18;
    std::fseek(f, 0, SEEK_SET);
    if (4LL * rows * cols > end) fatalerror("Error: can't read vector (readvec)");

    const std::size_t rowbytes = 4u * static_cast<std::size_t>(cols);
    std::size_t perblock = kBlockBytes / rowbytes;
    if (perblock < 1) perblock = 1;
    std::vector<float> values(perblock * static_cast<std::size_t>(cols));
    int row = 1;
    while (row <= rows) {
        std::size_t n = static_cast<std::size_t>(rows - row + 1);
        if (n > perblock) n = perblock;
        if (std::fread(values.data(), rowbytes, n, f) != n) fatalerror("Error: can't read vector (readvec)");
#if !(defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__)
        // The file is little-endian: decode each value's bytes in place.
        unsigned char* b = reinterpret_cast<unsigned char*>(values.data());
        for (std::size_t i = 0; i < n * static_cast<std::size_t>(cols); ++i)
            values[i] = static_cast<float>(decodescal(b + 4 * i));
#endif
        for (std::size_t i = 0; i < n; ++i)
            fn(row + static_cast<int>(i), values.data() + i * static_cast<std::size_t>(cols));
        row += static_cast<int>(n);
    }
}
