#include "peakprep/profiles.h"

#include <algorithm>

#include "base/files.h"
#include "base/reportstream.h"
#include "datafile/binfile.h"
#include "datafile/messages.h"
#include "datafile/readrows.h"
#include "datafile/samplenames.h"
#include "datafile/tabletext.h"

std::string namesfile(const std::string& table) {
    std::string names = samplenamesfor(table);
    if (!names.empty()) return names;
    // The channel table itself: its rows are peaks, but column 1 numbers
    // the samples of the same names file.
    const std::string base = basenameofpath(table);
    if (base.size() == 5 && base.compare(0, 4, "Chan") == 0 && base[4] >= '1' && base[4] <= '4')
        return table.substr(0, table.size() - 5) + "SampleNamesCh" + base[4];
    return "";
}

const std::string& samplename(const std::vector<std::string>& names, long long s) {
    static const std::string none;
    return s >= 1 && s <= static_cast<long long>(names.size()) ? names[static_cast<std::size_t>(s - 1)] : none;
}

bool tablesize(const std::string& name, int& rows, int& cols) {
    readdims(name.c_str(), rows, cols);
    reportf("Input file: %s\n", name.c_str());
    reportf("--- Number of rows: %d, columns: %d\n", rows, cols);
    if (static_cast<long long>(rows) * cols == 0) {
        checkbin(name.c_str());  // the notice, and a fresh report
        return false;
    }
    return true;
}

bool readtable(const std::string& name, FloatTable& t) {
    if (!tablesize(name, t.rows, t.cols)) return false;
    // A trailer claiming more than the file holds is refused before the
    // values are given memory.
    long long end = -1;
    if (std::FILE* f = isregularfile(name) ? openfile(name, "rb") : nullptr) {
        if (std::fseek(f, 0, SEEK_END) == 0) end = std::ftell(f) - 18;
        std::fclose(f);
    }
    if (4LL * t.rows * t.cols > end) fatalerror("Error: can't read vector (readvec)");
    t.values.resize(static_cast<std::size_t>(t.rows) * static_cast<std::size_t>(t.cols));
    const std::size_t cols = static_cast<std::size_t>(t.cols);
    float* into = t.values.data();
    readrows(name.c_str(),
             [&](int row, const float* v) { std::copy(v, v + cols, into + static_cast<std::size_t>(row - 1) * cols); });
    return true;
}

void writetable(const std::string& staged, const std::vector<float>& values, int rows, int cols) {
    const char* const failed = "Error: can't write matrix (ecrmat)";
    std::FILE* f = nullptr;
    ouvecr(staged.c_str(), f, 'b');
    const std::size_t n = static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    // The host's own float layout is the file's.
    if (n) std::fwrite(values.data(), 4, n, f);  // closebin sees an error
#else
    std::vector<unsigned char> bytes(4 * n);
    for (std::size_t j = 0; j < n; ++j) encodescal(values[j], &bytes[4 * j]);
    if (n) std::fwrite(bytes.data(), 4, n, f);
#endif
    closebin(f, failed);
    writedims(staged.c_str(), rows, cols);
}

std::string valuetext(double v) {
    char buf[40];
    int n = floattext(static_cast<float>(v), buf);
    return n ? std::string(buf, static_cast<std::size_t>(n)) : std::string("NaN");
}
