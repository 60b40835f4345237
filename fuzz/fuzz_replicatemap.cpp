// The replicate map of "Replicate consensus" on arbitrary bytes: read, then
// grouped against a few sample names.  Every row must land in exactly one
// group, and every entry either names a row or is reported absent.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "peakprep/consensus_map.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* f = std::tmpfile();
    if (!f) return 0;
    if (size) std::fwrite(data, 1, size, f);
    std::rewind(f);
    std::vector<MapEntry> entries;
    std::string error;
    const bool ok = readreplicatemap(f, entries, error);
    std::fclose(f);
    if (!ok) {
        if (error.empty()) std::abort();
        return 0;
    }
    const std::vector<std::string> samples = {"S1", "S2", "S1", "3", "", "a b"};
    std::vector<MapEntry> absent;
    const std::vector<ReplicateGroup> groups = groupreplicates(samples, entries, absent);
    std::size_t rows = 0;
    for (const ReplicateGroup& g : groups) rows += g.rows.size();
    if (rows != samples.size() || absent.size() > entries.size()) std::abort();
    return 0;
}
