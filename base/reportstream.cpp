#include "base/reportstream.h"

#include <cstdarg>

#include "base/files.h"

ReportStream g_reportstream;

void reopenreport(const char* mode) {
    closereport();
    ReportStream& r = g_reportstream;
    if (r.name.empty()) return;
    if (r.path.empty()) r.path = absolutepath(r.name);
    if (mode[0] == 'w') ++r.emptied;
    r.file = openfile(r.path, mode);
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
