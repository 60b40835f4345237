// Option 1 on arbitrary bytes: a whole run in a private folder.  A run
// that succeeds leaves four tables whose sizes match their trailers; no run
// leaves a temporary output behind.
#include <cstring>
#include <string>
#include <vector>

#include "datafile/binfile.h"
#include "datafile/messages.h"
#include "fuzz_support.h"
#include "peaks/exportlines.h"
#include "peaks/genescan.h"
#include "support/fake_platform.h"

namespace {

using Fields = std::vector<std::string>;

// The first nine blank- or tab-separated fields of a line's content (up to
// a NUL), each cut to the bytes a long line keeps.
Fields fields_of(const char* p, const char* end) {
    Fields out;
    while (p < end && *p && out.size() < 9) {
        if (*p == ' ' || *p == '\t') {
            ++p;
            continue;
        }
        const char* start = p;
        while (p < end && *p && *p != ' ' && *p != '\t') ++p;
        out.emplace_back(start, static_cast<std::size_t>(p - start) < ExportLines::kLongField
                                    ? static_cast<std::size_t>(p - start)
                                    : ExportLines::kLongField);
    }
    return out;
}

// The fields of every line that has any, by the plain rule: a line ends at
// LF, CR LF, or a run of CRs and an optional LF.
std::vector<Fields> plain_lines(const char* p, const char* end) {
    std::vector<Fields> lines;
    while (p < end) {
        const char* e = p;
        while (e < end && *e != '\n' && *e != '\r') ++e;
        Fields f = fields_of(p, e);
        if (!f.empty()) lines.push_back(f);
        if (e < end && *e == '\r')
            while (e < end && *e == '\r') ++e;
        if (e < end && *e == '\n') ++e;
        p = e;
    }
    return lines;
}

// The line reader with a small buffer, so that lines longer than it (cut
// down to their fields) and lines across refills are met with small inputs.
void check_line_reader(const std::uint8_t* data, std::size_t size) {
    std::size_t capacity = size ? 2 + data[0] % 40 : 2;
    std::FILE* f = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (!f) return;
    ExportLines reader(f, capacity);
    std::vector<Fields> got;
    char* line;
    while (reader.next(line)) {
        Fields fl = fields_of(line, line + std::strlen(line));
        if (!fl.empty()) got.push_back(fl);
    }
    std::fclose(f);
    const char* text = reinterpret_cast<const char*>(data);
    if (got != plain_lines(text, text + size)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size) check_line_reader(data, size);
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
