#include "frame/report.h"

#include <ctime>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "frame/frame.h"
#include "base/platform.h"
#include "frame/textline.h"

ReportState g_report;

namespace fs = std::filesystem;

namespace {

const char kDirFile[] = "QOR4DIRP.txt";
const char kPrefFile[] = "QOR4PREF.txt";

// Makes a folder current; a folder that cannot be entered changes nothing.
void enter(const std::string& folder) {
    std::error_code ec;
    if (!folder.empty()) fs::current_path(folder, ec);
}

std::string current() {
    std::error_code ec;
    fs::path p = fs::current_path(ec);
    return ec ? std::string() : p.string();
}

// The content of a configuration file, every byte: a folder path, so a
// few thousand bytes at most are kept.  False when it is not a regular file
// or cannot be read.
bool slurp(const char* name, std::string& out) { return readwholefile(name, out, 4096); }

// The path of QOR4DIRP.txt in the current folder, else the Windows folder,
// becomes current: that is the preference folder.
void enter_preference_folder() {
    std::string path;
    if (slurp(kDirFile, path))
        enter(path);
    else
        enter(port_windows_folder());
    g_report.pref_folder = current();
}

std::string absolute_name(const std::string& name) {
    std::error_code ec;
    fs::path p = fs::absolute(name, ec);
    return ec ? name : p.string();
}

void bind_paths() {
    ReportStream& r = g_reportstream;
    if (r.path.empty()) r.path = absolute_name(r.name);
    if (g_report.text_path.empty()) g_report.text_path = absolute_name(g_report.text_name);
}

void reopen(const char* mode) {
    closereport();
    if (g_reportstream.name.empty()) return;
    bind_paths();
    reopenreport(mode);
}

// Copies the temporary report file over the text report file, byte for
// byte.  (The library's copy_file cannot replace a file on every platform.)
// False when the text report file cannot be written.
bool copy_temp_to_text() {
    std::error_code ec;
    if (fs::exists(g_report.text_path, ec) && !fs::is_regular_file(g_report.text_path, ec))
        return false;  // a folder or device in its place is left alone
    std::FILE* in = std::fopen(g_reportstream.path.c_str(), "rb");
    if (!in) return true;  // nothing to publish
    std::FILE* out = std::fopen(g_report.text_path.c_str(), "wb");
    bool ok = out != nullptr;
    char block[65536];
    std::size_t got;
    while (ok && (got = std::fread(block, 1, sizeof block, in)) > 0)
        ok = std::fwrite(block, 1, got, out) == got;
    if (std::ferror(in)) ok = false;
    std::fclose(in);
    if (out && std::fclose(out) != 0) ok = false;
    return ok;
}

void say_report_not_written() {
    std::string text = "Sorry: can't write the text report file " + g_report.text_path;
    port_beep();
    port_infobox(text.substr(0, 255).c_str());
}

}  // namespace

void ReportSetUp(const char* report_name) {
    // A stream still open on the previous names is finished under them
    // first, so nothing written so far is lost to the renaming.
    if (g_reportstream.file) {
        closereport();
        if (!copy_temp_to_text()) say_report_not_written();
        std::error_code ec;
        fs::remove(g_reportstream.path, ec);
    }
    std::time_t now = std::time(nullptr);
    char stamp[16];
    std::strftime(stamp, sizeof stamp, "-%H-%M-%S", std::localtime(&now));
    std::string name = std::string(report_name).substr(0, 79);
    g_report.text_name = "l-" + name + stamp + ".txt";
    g_reportstream.name = "QOR.temp-" + name + stamp;
    g_report.text_path.clear();
    g_reportstream.path.clear();

    enter(g_report.start_folder);
    enter_preference_folder();

    std::string folder;
    std::error_code ec;
    if (fs::exists(kPrefFile, ec) && !slurp(kPrefFile, folder)) {
        g_report.default_folder.clear();  // there but unreadable: never overwrite it
        return;
    }
    if (fs::exists(kPrefFile, ec)) {
        g_report.default_folder = folder;
    } else {
        std::ofstream out(kPrefFile, std::ios::binary);
        folder = current();
        if (out && (out << folder) && (out.close(), !out.fail())) {
            g_report.default_folder = folder;
        } else {
            g_report.default_folder.clear();
            return;  // no default folder: the preference folder stays current
        }
    }
    enter(g_report.default_folder);
}

void OpenReportStream() {
    if (!g_reportstream.file) reopen("a+");
}

void ReopenReport() { reopen("a+"); }

void CloseReportAndDeleteTemp() {
    if (!g_reportstream.file) return;
    closereport();
    std::error_code ec;
    fs::remove(g_reportstream.path, ec);
}

void PublishReport() {
    int lines = port_pane_line_count();
    port_pane_close_file();
    closereport();
    bind_paths();
    if (copy_temp_to_text()) {
        if (!g_frame.batch_mode) port_pane_load(g_report.text_path.c_str());
    } else {
        say_report_not_written();
    }
    port_pane_apply_font();
    g_report.published = true;
    port_pane_scroll(lines - 1);
    reopen("a+");
}

void ChangeDefaultFolder() {
    enter(g_report.start_folder);
    enter_preference_folder();
    std::error_code ec;
    std::string pref = fs::absolute(kPrefFile, ec).string();
    // The chooser leaves the chosen file's folder current.  A cancelled
    // chooser keeps the old default folder.
    if (port_choose_folder_file()) {
        std::string folder = current();
        std::ofstream out(pref, std::ios::binary | std::ios::trunc);
        if (out && (out << folder)) g_report.default_folder = folder;
    }
    enter(g_report.start_folder);
}

void ExitReport() {
    CloseReportAndDeleteTemp();
    if (g_report.published &&
        port_ask_yesno("Delete the text report file ? ", "WinQOR-4 Exiting...")) {
        std::error_code ec;
        fs::remove(g_report.text_path.empty() ? g_report.text_name : g_report.text_path, ec);
    }
}
