// Option 1 on arbitrary bytes: a whole run in a private folder.  A run
// that succeeds leaves four tables whose sizes match their trailers; no run
// leaves a temporary output behind.
#include "datafile/binfile.h"
#include "datafile/messages.h"
#include "fuzz_support.h"
#include "peaks/genescan.h"
#include "support/fake_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sandbox();
    reset_fake();
    put_file("export.txt", data, size);
    bool ok = true;
    try {
        Peakread("export.txt");
    } catch (const RunAbandoned&) {
        abandon_outputs();
        ok = false;
    }
    expect_no_temporaries();
    if (ok)
        for (const char* name : {"Chan1", "Chan2", "Chan3", "Chan4"}) {
            int rows, cols;
            readdims(name, rows, cols);
            if (cols != 6 || read_file(name).size() != 24u * static_cast<unsigned>(rows) + 18) std::abort();
        }
    return 0;
}
