#include "frame/report.h"

#include <cstring>
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
                    g_report.published_bytes = -1;
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

// The size of an open file, or -1.
long long filesize(std::FILE* f) {
    if (std::fseek(f, 0, SEEK_END) != 0) return -1;
    long size = std::ftell(f);
    return size < 0 ? -1 : static_cast<long long>(size);
}

// Copies what follows offset in the temporary report file (open in "rb") to
// out.  False when a read or write fails.
bool copy_from(std::FILE* in, long long offset, std::FILE* out) {
    if (std::fseek(in, static_cast<long>(offset), SEEK_SET) != 0) return false;
    char block[65536];
    std::size_t got;
    bool ok = true;
    while (ok && (got = std::fread(block, 1, sizeof block, in)) > 0) ok = std::fwrite(block, 1, got, out) == got;
    return ok && !std::ferror(in);
}

// The text report file as the last publish left it: the same size, not
// emptied since, and its last bytes still those of the temporary file (a
// cheap guard against an editor's changes).  Then only the new part needs
// copying; a long batch of runs would otherwise copy the whole report again
// after every run.
bool text_is_as_published(std::FILE* in, std::FILE* text, long long in_size) {
    const long long n = g_report.published_bytes;
    if (n < 0 || g_report.published_emptied != g_reportstream.emptied || in_size < n) return false;
    if (filesize(text) != n) return false;
    char a[4096], b[4096];
    const long long tail = n < static_cast<long long>(sizeof a) ? n : static_cast<long long>(sizeof a);
    const std::size_t k = static_cast<std::size_t>(tail);
    return std::fseek(text, static_cast<long>(n - tail), SEEK_SET) == 0 &&
           std::fseek(in, static_cast<long>(n - tail), SEEK_SET) == 0 && std::fread(a, 1, k, text) == k &&
           std::fread(b, 1, k, in) == k && std::memcmp(a, b, k) == 0;
}

// Brings the text report file up to the temporary report file, byte for
// byte: appends the new part when the text file is as the last publish left
// it, else copies the whole file over it.  (The library's copy_file cannot
// replace a file on every platform.)  False when the text report file
// cannot be written.
bool copy_temp_to_text() {
    FileKind kind = filekind(g_report.text_path);
    if (kind == FileKind::folder || kind == FileKind::device)
        return false;  // a folder or device in its place is left alone
    std::FILE* in = openfile(g_reportstream.path, "rb");
    if (!in) return true;  // nothing to publish
    const long long in_size = filesize(in);
    long long offset = 0;
    std::FILE* out = nullptr;
    if (kind == FileKind::regular) {
        std::FILE* text = openfile(g_report.text_path, "rb");
        const bool as_published = text && in_size >= 0 && text_is_as_published(in, text, in_size);
        if (text) std::fclose(text);
        if (as_published) {
            offset = g_report.published_bytes;
            out = openfile(g_report.text_path, "ab");
        }
    }
    if (!out) {
        offset = 0;
        out = openfile(g_report.text_path, "wb");
    }
    g_report.published_bytes = -1;
    bool ok = out != nullptr && copy_from(in, offset, out);
    std::fclose(in);
    if (out && std::fclose(out) != 0) ok = false;
    if (ok && in_size >= 0) {
        g_report.published_bytes = in_size;
        g_report.published_emptied = g_reportstream.emptied;
    }
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
    g_report.published_bytes = -1;
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
