#include "datafile/readcols.h"

#include <cstdio>

#include "datafile/binfile.h"
#include "datafile/messages.h"
#include "datafile/readrows.h"

namespace {

const char* const kReadFail = "Error: can't read vector (readvec)";

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
            if (l1 > 0 && 4LL * l1 * c1 > tabledataend(f)) fatalerror(kReadFail);
        }
    }
    if (!f || l1 <= 0) return;

    const std::size_t stride = static_cast<std::size_t>(c1);
    readrowblocks(f, l1, c1, [&](int first, std::size_t n, const float* values) {
        for (int k = 0; k < count; ++k) {
            DVector v = vectors[k] + first;
            const float* p = values + (cols[k] - 1);
            for (std::size_t i = 0; i < n; ++i, p += stride) v[i] = *p;
        }
    });
}
