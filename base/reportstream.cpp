#include "base/reportstream.h"

#include <cstdarg>
#include <filesystem>
#include <system_error>

ReportStream g_reportstream;

void reopenreport(const char* mode) {
    closereport();
    ReportStream& r = g_reportstream;
    if (r.name.empty()) return;
    if (r.path.empty()) {
        std::error_code ec;
        std::filesystem::path p = std::filesystem::absolute(r.name, ec);
        r.path = ec ? r.name : p.string();
    }
    r.file = std::fopen(r.path.c_str(), mode);
}

void ResetReport() { reopenreport("w"); }

void closereport() {
    if (g_reportstream.file) std::fclose(g_reportstream.file);
    g_reportstream.file = nullptr;
}

void reportf(const char* format, ...) {
    if (!g_reportstream.file) return;
    va_list ap;
    va_start(ap, format);
    std::vfprintf(g_reportstream.file, format, ap);
    va_end(ap);
}
