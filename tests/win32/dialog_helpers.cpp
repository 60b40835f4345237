#include "win32/dialog_helpers.h"

#include <cstdio>
#include <cstring>

#include "win32/resource.h"

ChooserStandIn g_chooser;

namespace {

BOOL standin(OPENFILENAMEA* f, const char* kind) {
    g_chooser.calls.push_back(kind);
    const char* end = f->lpstrFilter;
    while (*end) end += std::strlen(end) + 1;
    g_chooser.filters.push_back(std::string(f->lpstrFilter, static_cast<std::size_t>(end - f->lpstrFilter) + 1));
    if (g_chooser.on_call) g_chooser.on_call();
    if (g_chooser.answer.empty()) return FALSE;
    lstrcpynA(f->lpstrFile, g_chooser.answer.c_str(), static_cast<int>(f->nMaxFile));
    return TRUE;
}

}  // namespace

BOOL standin_open(OPENFILENAMEA* f) { return standin(f, "open"); }
BOOL standin_save(OPENFILENAMEA* f) { return standin(f, "save"); }

void click(HWND dialog, int id) { SendMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(id), 0); }

DialogAction type_value(const std::string& value, std::vector<std::string>* lines) {
    return [value, lines](HWND d) {
        if (lines)
            for (int k = 1; k <= VALUE_LINES; ++k) lines->push_back(dialog_item_text(d, IDC_VALUE_LINE(k)));
        SetDlgItemTextA(d, IDC_VALUE_EDIT, value.c_str());
        press(d, IDOK);
    };
}

void write_table(const std::string& path, int rows, int cols, const std::vector<float>& values) {
    std::string bytes(4u * static_cast<unsigned>(rows * cols), '\0');
    for (std::size_t i = 0; i < values.size() && 4 * i < bytes.size(); ++i)
        std::memcpy(&bytes[4 * i], &values[i], 4);  // little-endian on x86
    char trailer[32];
    std::snprintf(trailer, sizeof trailer, "\r\n%06d\r\n%06d\r\n", rows, cols);
    write_bytes(path, bytes + trailer);
}

std::string winepath(const std::string& unixpath) {
    std::string p = "Z:" + unixpath;
    for (char& c : p)
        if (c == '/') c = '\\';
    return p;
}

std::string example(const std::string& name) { return winepath(PEAKGRID_EXAMPLES "/" + name); }
