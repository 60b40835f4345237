#include "datafile/samplenames.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/files.h"
#include "datafile/textline.h"

namespace {

bool is_separator(char c) {
#if defined(_WIN32)
    return c == '/' || c == '\\' || c == ':';
#else
    return c == '/';
#endif
}

}  // namespace

std::string samplenamesfor(const std::string& table) {
    // A table that carries its own row names (a table of groups) has them
    // in "<table>.names".
    const std::string own = table + ".names";
    if (isregularfile(own)) return own;
    std::size_t base = table.size();
    while (base > 0 && !is_separator(table[base - 1])) --base;
    const std::string file = table.substr(base);
    if (file.size() <= 5 || file.compare(0, 4, "Chan") != 0 || file[4] < '1' || file[4] > '4') return "";
    return table.substr(0, base) + "SampleNamesCh" + file[4];
}

std::vector<std::string> readsamplenames(const std::string& path) {
    std::vector<std::string> names;
    // Only a regular file is read: a pipe or a device might never end.
    std::FILE* f = isregularfile(path) ? openfile(path, "rb") : nullptr;
    if (!f) return names;
    const char kWord[] = "Echantillon ";
    const std::size_t kWordLen = sizeof kWord - 1;
    std::string line;
    // A name line is short: what lies beyond 4096 bytes is read past.
    while (readtextline(f, line, nullptr, 4096)) {
        if (line.compare(0, kWordLen, kWord) != 0) continue;
        const char* p = line.c_str() + kWordLen;
        char* end = nullptr;
        long n = std::strtol(p, &end, 10);
        if (end == p || n < 1 || n > 999999 || std::strncmp(end, " = ", 3) != 0) continue;
        if (names.size() < static_cast<std::size_t>(n)) names.resize(static_cast<std::size_t>(n));
        names[static_cast<std::size_t>(n - 1)] = end + 3;
    }
    std::fclose(f);
    return names;
}
