// The import on arbitrary bytes: one or two input files (format found from
// their headers, or forced), the whole import into a staged output, then
// option 1 on the result.  What the import reports must be what option 1
// reads: as many channel rows as peaks of dyes 1..4 written, and the same
// samples in the same order.  No run leaves a temporary output behind.
//
// Input: a first byte of options (bit 0: two files; bit 1: Peak Scanner's
// area in BP; bits 2..4: the format forced, 0 or 5..7 for none), a second
// byte placing the split between the two files, then their bytes.
#include <cstring>
#include <string>
#include <vector>

#include "companion/import/importer.h"
#include "companion/import/output.h"
#include "datafile/binfile.h"
#include "datafile/messages.h"
#include "fuzz_support.h"
#include "peaks/genescan.h"
#include "support/fake_platform.h"

namespace {

const Format kForced[8] = {Format::Unknown,  Format::GeneMapper, Format::PeakScanner, Format::GeneMarker,
                           Format::GeneScan, Format::Unknown,    Format::Unknown,     Format::Unknown};

// The tab-separated fields of a line of the import's output.
std::vector<std::string> tabbed(const std::string& line) {
    std::vector<std::string> out;
    std::size_t at = 0;
    for (;;) {
        std::size_t tab = line.find('\t', at);
        out.push_back(line.substr(at, tab == std::string::npos ? std::string::npos : tab - at));
        if (tab == std::string::npos) return out;
        at = tab + 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    sandbox();
    reset_fake();
    const bool two = data[0] & 1;
    ImportOptions options;
    options.area_bp = (data[0] & 2) != 0;
    options.format = kForced[(data[0] >> 2) & 7];
    const std::uint8_t* body = data + 2;
    const std::size_t n = size - 2;
    const std::size_t split = two ? n * data[1] / 256 : n;
    put_file("a.txt", body, split);
    if (two) put_file("b", body + split, n - split);

    Importer importer(options);
    std::string error;
    bool ok = importer.add("a.txt", error) && (!two || importer.add("b", error));
    if (ok && two && importer.add("./b", error)) std::abort();  // a file given twice is refused
    if (!ok || importer.peaks() == 0) {
        expect_no_temporaries();
        return 0;
    }
    {
        StagedOutput out;
        if (!out.open("in.txt", error) || !importer.write(out.stream()) || !out.commit()) std::abort();
    }
    expect_no_temporaries();

    // What option 1 should find, read from the output as the import wrote it.
    const std::string text = read_file("in.txt");
    long rows[5] = {0, 0, 0, 0, 0}, lines = 0;
    std::vector<std::string> names;
    for (std::size_t at = text.find('\n') + 1; at < text.size();) {
        std::size_t nl = text.find('\n', at);
        if (nl == std::string::npos) std::abort();  // every line ends
        std::vector<std::string> f = tabbed(text.substr(at, nl - at));
        if (f.size() != 9 || f[3].size() != 1 || f[3][0] < '0' || f[3][0] > '5') std::abort();
        for (const std::string& field : f)
            if (field.empty() || field.find_first_of(std::string(" \r\0", 3)) != std::string::npos) std::abort();
        const int dye = f[3][0] - '0';
        if (dye >= 1 && dye <= 4) ++rows[dye];
        if (names.empty() || names.back() != f[2]) names.push_back(f[2]);
        ++lines;
        at = nl + 1;
    }
    if (lines != importer.peaks() + importer.separators()) std::abort();
    if (static_cast<long>(names.size()) != importer.samples()) std::abort();

    try {
        Peakread("in.txt");
    } catch (const RunAbandoned&) {
        std::abort();  // the import's output is always read
    }
    expect_no_temporaries();
    for (int k = 1; k <= 4; ++k) {
        int r, c;
        readdims(("Chan" + std::to_string(k)).c_str(), r, c);
        if (r != rows[k] || c != 6) std::abort();
    }
    std::string expected;
    for (std::size_t i = 0; i < names.size(); ++i)
        expected += "Echantillon " + std::to_string(i + 1) + " = " + names[i] + "\n";
    if (read_file("SampleNames") != expected) std::abort();
    return 0;
}
