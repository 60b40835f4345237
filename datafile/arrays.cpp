// Blocks come from malloc: any allocator with stable addresses will do.
#include "datafile/arrays.h"

#include <cstdint>
#include <cstdlib>

#include "datafile/messages.h"

ArrayState g_arrays;

namespace {

// One heap block of count elements of size bytes, or null when the heap (or
// the test hook) refuses it.  Sizes that cannot be expressed are refused too.
void* block(long long count, std::size_t size) {
    if (count < 0 || static_cast<unsigned long long>(count) > SIZE_MAX / size) return nullptr;
    if (g_arrays.fail_countdown >= 0 && g_arrays.fail_countdown-- == 0) return nullptr;
    return std::malloc(static_cast<std::size_t>(count) * size);
}

// One heap block of bytes, all zero, or null as for block.
void* zeroed_block(std::size_t bytes) {
    if (g_arrays.fail_countdown >= 0 && g_arrays.fail_countdown-- == 0) return nullptr;
    return std::calloc(bytes ? bytes : 1, 1);
}

// Largest array the library hands out.  Sizes come from files and users; a
// request beyond any sensible table is refused at once instead of driving
// the machine into swap (or the out-of-memory killer) while it is zeroed.
const unsigned long long kMaxArrayBytes = sizeof(void*) >= 8 ? (1ULL << 33) : (1ULL << 31);

bool too_large(long long rows, long long cols, std::size_t size) {
    return static_cast<unsigned long long>(rows) * static_cast<unsigned long long>(cols) > kMaxArrayBytes / size;
}

// A table always has a row 1, which holds the column count.
int allocated_rows(int rows) { return rows < 1 ? 1 : rows; }

}  // namespace

// A table is one heap block: the row pointers, padded to a multiple of 8
// bytes so the doubles after them are aligned, then the rows one after the
// other.  One block instead of one per row, zeroed by calloc (fresh pages
// come zeroed for free), is what makes a table of a million rows cheap.
void taballoc(DMatrix& m, int rows, int cols) {
    static const char* const text = "Error: insufficient memory (taballoc)";
    m = nullptr;
    if (rows < 0 || cols < 0) fatalerror(text);
    const long long held = allocated_rows(rows) + 1LL;  // rows 0..held-1
    if (too_large(held, cols + 1LL, sizeof(double))) fatalerror(text);
    const std::size_t table = (static_cast<std::size_t>(held) * sizeof(double*) + 7) / 8 * 8;
    const std::size_t row = (static_cast<std::size_t>(cols) + 1) * sizeof(double);
    char* b = static_cast<char*>(zeroed_block(table + static_cast<std::size_t>(held) * row));
    if (!b) fatalerror(text);
    DMatrix t = reinterpret_cast<DMatrix>(b);
    for (long long r = 0; r < held; ++r) t[r] = reinterpret_cast<double*>(b + table + static_cast<std::size_t>(r) * row);
    t[0][0] = rows;
    t[1][0] = cols;
    m = t;
}

void vecalloc(DVector& v, int n) {
    v = nullptr;
    DVector t =
        n < 0 || too_large(1, n + 1LL, sizeof(double)) ? nullptr : static_cast<DVector>(block(n + 1LL, sizeof(double)));
    if (!t) fatalerror("Error: insufficient memory (vecalloc)");
    t[0] = n;
    for (int i = 1; i <= n; ++i) t[i] = 0.0;
    v = t;
}

void vecintalloc(IVector& v, int n) {
    v = nullptr;
    IVector t = n < 0 || too_large(1, n + 1LL, sizeof(std::int32_t))
                    ? nullptr
                    : static_cast<IVector>(block(n + 1LL, sizeof(std::int32_t)));
    if (!t) fatalerror("Error: insufficient memory (vecintalloc)");
    t[0] = n;
    for (int i = 1; i <= n; ++i) t[i] = 0;
    v = t;
}

void tabfree(DMatrix& m) {
    std::free(m);  // the row pointers and the rows are one block
    m = nullptr;
}

void vecfree(DVector& v) {
    std::free(v);
    v = nullptr;
}

void vecintfree(IVector& v) {
    std::free(v);
    v = nullptr;
}
