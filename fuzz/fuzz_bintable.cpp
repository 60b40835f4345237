// Binary table reading on arbitrary bytes: readdims, checkbin, selectcol,
// selectcols and readvec.  The first byte picks the column to read.
#include "datafile/arrays.h"
#include "datafile/binfile.h"
#include "datafile/messages.h"
#include "datafile/readcols.h"
#include "fuzz_support.h"
#include "support/fake_platform.h"

namespace {

// Runs f; a fatal error ends it as it ends a run.
template <class F>
void guarded(F f) {
    try {
        f();
    } catch (const RunAbandoned&) {
        abandon_outputs();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sandbox();
    reset_fake();
    int numcol = size ? data[0] % 9 : 1;
    put_file("t.bin", data, size);
    int rows, cols;
    readdims("t.bin", rows, cols);
    if (rows < 0 || rows > kMaxTableCount || cols < 0 || cols > kMaxTableCount) std::abort();
    checkbin("t.bin");
    guarded([&] {
        DVector v = nullptr;
        VecGuard g{v};
        vecalloc(v, rows);
        selectcol("t.bin", v, numcol);
    });
    guarded([&] {
        DVector a = nullptr, b = nullptr;
        VecGuard ga{a}, gb{b};
        vecalloc(a, rows);
        vecalloc(b, rows);
        const int which[2] = {numcol, 1};
        DVector into[2] = {a, b};
        selectcols("t.bin", which, into, 2);
    });
    guarded([&] {
        std::FILE* f = nullptr;
        struct Closer {
            std::FILE*& f;
            ~Closer() { closebin(f, ""); }
        } closer{f};
        ouvlec("t.bin", f, 'b');
        DVector row = nullptr;
        VecGuard g{row};
        vecalloc(row, cols);
        for (int i = 0; i < rows; ++i) readvec(row, f);
    });
    return 0;
}
