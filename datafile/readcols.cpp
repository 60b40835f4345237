#include "datafile/readcols.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "datafile/binfile.h"
#include "datafile/messages.h"

namespace {

const char* const kReadFail = "Error: can't read vector (readvec)";

// Blocks of whole rows of about this many bytes (at least one row).
const std::size_t kBlockBytes = 1u << 20;

// One stored value, widened to double.
inline double value_at(const unsigned char* p) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    float f;
    std::memcpy(&f, p, 4);
    return f;
#else
    return decodescal(p);
#endif
}

// Where the data region of an open table ends: 18 bytes before the end of
// the file, measured the same way the library's readers measure it.
long long data_end(std::FILE* f) {
    long long end = 0;
    if (std::fseek(f, 0, SEEK_END) == 0) end = std::ftell(f) - 18;
    std::fseek(f, 0, SEEK_SET);
    return end;
}

}  // namespace

void selectcols(const char* name, const int* cols, DVector* vectors, int count) {
    checkbin(name);
    int l1, c1;
    readdims(name, l1, c1);
    std::FILE* f = nullptr;
    InputCloser closer{f};
    // The checks of each column in turn, as successive selectcol calls make
    // them; the first column that passes would be the first one read, so a
    // short file fails there.
    for (int k = 0; k < count; ++k) {
        if (l1 != veclen(vectors[k])) fatalerror("fatal input-output error l1!=l2 (selectcol)");
        if (cols[k] > c1) fatalerror("fatal input-output error numcol>c1 (selectcol");
        if (cols[k] < 1) fatalerror("fatal input-output error numcol<1 (selectcol)");
        if (!f) {
            ouvlec(name, f, 'b');
            if (l1 > 0 && 4LL * l1 * c1 > data_end(f)) fatalerror(kReadFail);
        }
    }
    if (!f || l1 <= 0) return;

    const std::size_t rowbytes = 4u * static_cast<std::size_t>(c1);
    std::size_t perblock = kBlockBytes / rowbytes;
    if (perblock < 1) perblock = 1;
    if (perblock > static_cast<std::size_t>(l1)) perblock = static_cast<std::size_t>(l1);  // a small table, a small block
    std::vector<unsigned char> buf(perblock * rowbytes);
    std::vector<std::size_t> at(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) at[static_cast<std::size_t>(k)] = 4u * static_cast<std::size_t>(cols[k] - 1);

    int row = 1;
    while (row <= l1) {
        std::size_t n = static_cast<std::size_t>(l1 - row + 1);
        if (n > perblock) n = perblock;
        if (std::fread(buf.data(), rowbytes, n, f) != n) fatalerror(kReadFail);
        for (int k = 0; k < count; ++k) {
            DVector v = vectors[k] + row;
            const unsigned char* p = buf.data() + at[static_cast<std::size_t>(k)];
            for (std::size_t i = 0; i < n; ++i, p += rowbytes) v[i] = value_at(p);
        }
        row += static_cast<int>(n);
    }
}
