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
    // "a/b/" -> "a/b", but "/" and "C:\" keep their separator.
    std::size_t end = name_start(path);
    while (end > 1 && separator(path[end - 1]) && !(end == 3 && path[1] == ':')) --end;
    return path.substr(0, end);
}

std::string basenameofpath(const std::string& path) { return path.substr(name_start(path)); }
