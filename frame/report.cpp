#include "frame/report.h"

#include <cstdarg>
#include <filesystem>
#include <system_error>

ReportState g_report;

namespace fs = std::filesystem;

namespace {

std::string absolute_name(const std::string& name) {
    std::error_code ec;
    fs::path p = fs::absolute(name, ec);
    return ec ? name : p.string();
}

void bind_paths() {
    if (g_report.temp_path.empty()) g_report.temp_path = absolute_name(g_report.temp_name);
    if (g_report.text_path.empty()) g_report.text_path = absolute_name(g_report.text_name);
}

void reopen(const char* mode) {
    if (g_report.stream) std::fclose(g_report.stream);
    g_report.stream = nullptr;
    if (g_report.temp_name.empty()) return;
    bind_paths();
    g_report.stream = std::fopen(g_report.temp_path.c_str(), mode);
}

}  // namespace

void OpenReportStream() {
    if (!g_report.stream) reopen("a+");
}

void ResetReport() { reopen("w"); }

void ReopenReport() { reopen("a+"); }

void reportf(const char* format, ...) {
    if (!g_report.stream) return;
    va_list ap;
    va_start(ap, format);
    std::vfprintf(g_report.stream, format, ap);
    va_end(ap);
}
