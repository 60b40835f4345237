// The parts of file access that need no system call: splitting paths.
#include "base/files.h"

namespace {

bool separator(char c) {
#if defined(_WIN32)
    return c == '/' || c == '\\';
#else
    return c == '/';
#endif
}

// Where the name after the last folder separator begins (after "C:" too).
std::size_t name_start(const std::string& path) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < path.size(); ++i)
        if (separator(path[i])) start = i + 1;
#if defined(_WIN32)
    if (start == 0 && path.size() >= 2 && path[1] == ':') start = 2;
#endif
    return start;
}

}  // namespace

bool isrelativepath(const std::string& path) {
    if (path.empty()) return true;
    if (separator(path[0])) return false;
#if defined(_WIN32)
    if (path.size() >= 2 && path[1] == ':') return false;
#endif
    return true;
}

std::string folderofpath(const std::string& path) {
    std::size_t start = name_start(path);
    std::string folder = path.substr(0, start);
    // "a/b/" -> "a/b", but "/" and "C:\" keep their separator.
    while (folder.size() > 1 && separator(folder.back()) && !separator(folder[folder.size() - 2]) &&
           !(folder.size() == 3 && folder[1] == ':'))
        folder.pop_back();
    return folder;
}

std::string basenameofpath(const std::string& path) { return path.substr(name_start(path)); }
