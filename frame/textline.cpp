#include "frame/textline.h"

#include <algorithm>

#include "base/files.h"

bool readwholefile(const std::string& path, std::string& out, std::size_t max) {
    out.clear();
    if (!isregularfile(path)) return false;
    std::FILE* f = openfile(path, "rb");
    if (!f) return false;
    char block[4096];
    std::size_t got;
    while (out.size() < max && (got = std::fread(block, 1, std::min(sizeof block, max - out.size()), f)) > 0)
        out.append(block, got);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}
