#include "framework/paramspec.h"

#include <cstring>

#include "base/platform.h"
#include "framework/registry.h"

namespace {

// The next token of p in the way of strtok: leading delimiters are skipped,
// the token runs to the next delimiter, and p moves past that delimiter.
std::string nexttoken(const char*& p, const char* delims) {
    p += std::strspn(p, delims);
    std::size_t len = std::strcspn(p, delims);
    std::string token(p, len);
    p += len;
    if (*p) ++p;
    return token;
}

void store(char (&slot)[1024], const std::string& text) {
    std::size_t n = text.copy(slot, sizeof slot - 1);
    slot[n] = '\0';
}

}  // namespace

void splitspec(const char* spec, int n) {
    std::string copy = std::string(spec).substr(0, 1023);
    const char* p = copy.c_str();
    for (int k = 1; k <= n && k <= kMaxParams; ++k) {
        store(g_registry.labels[k], nexttoken(p, "["));
        store(g_registry.descriptors[k], nexttoken(p, "]"));
    }
}

Descriptor readdescriptor(const char* descriptor) {
    const char* p = descriptor;
    Descriptor d;
    d.type = nexttoken(p, ",").substr(0, 19);
    d.field2 = nexttoken(p, ",").substr(0, 9);
    d.field3 = nexttoken(p, ",").substr(0, 9);
    return d;
}

std::string shortlabel(const char* label) {
    const char* p = label;
    return nexttoken(p, "\n");
}

std::vector<std::string> labellines(const char* label) {
    std::vector<std::string> lines;
    const char* p = label;
    while (*p && lines.size() < 12) {
        std::size_t len = std::strcspn(p, "\n");
        lines.push_back(std::string(p, len).substr(0, 255));
        p += len;
        if (*p) ++p;
    }
    return lines;
}

bool askparam(char* spec, char* answer) {
    char* open = std::strchr(spec, '[');
    std::string label = open ? std::string(spec, static_cast<std::size_t>(open - spec)) : spec;
    std::string desc;
    if (open) {
        char* close = std::strchr(open + 1, ']');
        desc = close ? std::string(open + 1, static_cast<std::size_t>(close - open - 1)) : open + 1;
    }
    store(g_registry.labels[1], label.substr(0, 1023));
    store(g_registry.descriptors[1], desc.substr(0, 99));
    std::string type = readdescriptor(g_registry.descriptors[1]).type;
    if (type != "int" && type != "float" && type != "string") return false;

    std::vector<std::string> lines = labellines(g_registry.labels[1]);
    const char* ptrs[12];
    for (std::size_t i = 0; i < lines.size(); ++i) ptrs[i] = lines[i].c_str();
    if (!port_ask_value(ptrs, static_cast<int>(lines.size()), g_registry.valuebuffer)) return false;
    std::strcpy(answer, g_registry.valuebuffer);
    return true;
}
