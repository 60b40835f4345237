#include "datafile/readrows.h"

#include <vector>

#include "datafile/binfile.h"
#include "datafile/messages.h"

namespace {

const char* const kReadFail = "Error: can't read vector (readvec)";

// Blocks of whole rows of about this many bytes (at least one row).
const std::size_t kBlockBytes = 1u << 20;

}  // namespace

void readrowblocks(std::FILE* f, int rows, int cols,
                   const std::function<void(int first, std::size_t n, const float* values)>& fn) {
    if (rows <= 0 || cols <= 0) return;
    if (4LL * rows * cols > tabledataend(f)) fatalerror(kReadFail);
    const std::size_t rowbytes = 4u * static_cast<std::size_t>(cols);
    std::size_t perblock = kBlockBytes / rowbytes;
    if (perblock < 1) perblock = 1;
    if (perblock > static_cast<std::size_t>(rows))
        perblock = static_cast<std::size_t>(rows);  // a small table, a small block
    std::vector<float> values(perblock * static_cast<std::size_t>(cols));
    int row = 1;
    while (row <= rows) {
        std::size_t n = static_cast<std::size_t>(rows - row + 1);
        if (n > perblock) n = perblock;
        if (std::fread(values.data(), rowbytes, n, f) != n) fatalerror(kReadFail);
        decoderow(values.data(), n * static_cast<std::size_t>(cols));
        fn(row, n, values.data());
        row += static_cast<int>(n);
    }
}

void readrows(const char* name, const std::function<void(int row, const float* values)>& fn) {
    int rows = 0, cols = 0;
    readdims(name, rows, cols);
    if (static_cast<long long>(rows) * cols == 0) return;
    std::FILE* f = nullptr;
    ouvlec(name, f, 'b');
    InputCloser closer{f};
    const std::size_t stride = static_cast<std::size_t>(cols);
    readrowblocks(f, rows, cols, [&](int first, std::size_t n, const float* values) {
        for (std::size_t i = 0; i < n; ++i) fn(first + static_cast<int>(i), values + i * stride);
    });
}
