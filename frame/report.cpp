#include "frame/report.h"

#include <ctime>

#include "base/files.h"
#include "base/platform.h"
#include "frame/frame.h"
#include "frame/textline.h"

ReportState g_report;

namespace {

const char kDirFile[] = "QOR4DIRP.txt";
const char kPrefFile[] = "QOR4PREF.txt";

// Makes a folder current; a folder that cannot be entered changes nothing.
void enter(const std::string& folder) { setcurrentfolder(folder); }

std::string current() {
    std::string folder;
    return currentfolder(folder) ? folder : std::string();
}

// The current folder for a configuration file; when its name cannot be
// told in the suite's code page the user is told and nothing is written.
std::string current_for_config() {
    std::string folder = current();
    if (folder.empty() && !g_report.told_folder_name) {
        g_report.told_folder_name = true;
        port_beep();
        port_infobox(
            "Sorry: the name of the current folder cannot be written in this system's "
            "code page; QOR4PREF.txt is not written (use a folder whose name has none "
            "of those characters)");
    }
    return folder;
}

// Writes a configuration file: the whole content, no line end.
bool write_config(const std::string& path, const std::string& content) {
    std::FILE* f = openfile(path, "wb");
    if (!f) return false;
    bool ok = std::fwrite(content.data(), 1, content.size(), f) == content.size();
    if (std::fclose(f) != 0) ok = false;
    return ok;
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

// Runs started in the same second under one report name: names tried with
// a number after the stamp before the report goes unwritten.
const int kNameTries = 100;

// Binds both report names to absolute paths when the stream first opens
// under them.  This process holds a lock on its temporary report file for
// as long as it writes it; a name that another running process holds, or
// whose text report file exists already (a run earlier in the same second,
// or one at the same time of an earlier day), gets a number after the stamp
// ("-2", "-3", ...) in both report names, so no report is mixed with
// another or replaced by it.  A file of that name that no process holds
// was left by a run that was killed: it is emptied, so its text can never
// begin a new report.
void bind_paths() {
    ReportStream& r = g_reportstream;
    if (r.path.empty() && !r.name.empty()) {
        std::string base = r.name, text = g_report.text_name;
        std::size_t dot = text.rfind(".txt");
        const bool fresh = g_report.text_path.empty();
        for (int n = 1; n <= kNameTries; ++n) {
            std::string suffix = n == 1 ? std::string() : "-" + std::to_string(n);
            std::string temp = absolutepath(base + suffix);
            std::string candidate = dot == std::string::npos ? text : text.substr(0, dot) + suffix + ".txt";
            if (fresh && !text.empty() && isregularfile(candidate)) continue;
            std::string name = base + suffix;
            if (trylockpath(temp, false, r.lock)) {
                // Nothing below needs memory, so the lock is never lost.
                r.name.swap(name);
                r.path.swap(temp);
                if (n > 1) {
                    g_report.text_name.swap(candidate);
                    g_report.text_path.clear();
                }
                std::FILE* f = openfile(r.path, "w");
                if (f) std::fclose(f);
                break;
            }
        }
    }
    if (r.path.empty()) r.path = absolutepath(r.name);
    if (g_report.text_path.empty()) g_report.text_path = absolutepath(g_report.text_name);
}

// Deletes the temporary report file and gives up its lock.
void delete_temp() {
    ReportStream& r = g_reportstream;
    removefile(r.path);
    unlockpath(r.lock);
    r.path.clear();  // a later run claims the name again
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
    FileKind kind = filekind(g_report.text_path);
    if (kind == FileKind::folder || kind == FileKind::device)
        return false;  // a folder or device in its place is left alone
    std::FILE* in = openfile(g_reportstream.path, "rb");
    if (!in) return true;  // nothing to publish
    std::FILE* out = openfile(g_report.text_path, "wb");
    bool ok = out != nullptr;
    char block[65536];
    std::size_t got;
    while (ok && (got = std::fread(block, 1, sizeof block, in)) > 0) ok = std::fwrite(block, 1, got, out) == got;
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
        delete_temp();
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
    bool exists = filekind(kPrefFile) != FileKind::missing;
    if (exists && !slurp(kPrefFile, folder)) {
        g_report.default_folder.clear();  // there but unreadable: never overwrite it
        return;
    }
    if (exists) {
        g_report.default_folder = folder;
    } else {
        folder = current_for_config();
        if (!folder.empty() && write_config(kPrefFile, folder)) {
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
    delete_temp();
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
    std::string pref = absolutepath(kPrefFile);
    // The chooser leaves the chosen file's folder current.  A cancelled
    // chooser keeps the old default folder.
    if (port_choose_folder_file()) {
        std::string folder = current_for_config();
        if (!folder.empty() && write_config(pref, folder)) g_report.default_folder = folder;
    }
    enter(g_report.start_folder);
}

void ExitReport() {
    CloseReportAndDeleteTemp();
    if (g_report.published && port_ask_yesno("Delete the text report file ? ", "WinQOR-4 Exiting...")) {
        removefile(g_report.text_path.empty() ? g_report.text_name : g_report.text_path);
    }
}
