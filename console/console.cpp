// The console front's implementation of the platform port (boxes, pane,
// menu, files); the two forms live in framework/console/.
#include "console/console.h"

#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <glob.h>
#include <unistd.h>
#endif

#include "base/files.h"
#include "base/platform.h"
#include "frame/frame.h"
#include "frame/report.h"
#include "frame/textline.h"
#include "framework/module.h"

ConsoleState g_console;

bool readline(std::string& line) { return readtextline(stdin, line); }

bool interactiveinput() {
#ifdef _WIN32
    return _isatty(_fileno(stdin)) != 0;
#else
    return isatty(STDIN_FILENO) != 0;
#endif
}

void port_beep() {}

void port_infobox(const char* text) { std::fprintf(stderr, "Message: %s\n", text); }

// Error texts carry their own "Error: ".
void port_errorbox(const char* text) { std::fprintf(stderr, "%s\n", text); }

void port_close_request() {
    // The console's close path: no pane document to save, so the exit
    // procedure runs at once and the program is closing.
    ExitReport();
    g_frame.closing = true;
}

bool port_ask_yesno(const char* text, const char* caption) {
    // Keep files when nobody can answer: no terminal, or its input has ended.
    if (!interactiveinput() || std::feof(stdin)) return false;
    std::fprintf(stderr, "%s %s(y/n) ", caption, text);
    std::string answer;
    if (!readline(answer)) {
        std::fprintf(stderr, "\n");
        return false;
    }
    return answer == "y" || answer == "Y" || answer == "yes";
}

std::string port_windows_folder() {
#ifdef _WIN32
    char buf[256];
    UINT n = GetWindowsDirectoryA(buf, sizeof buf);
    return n > 0 && n < sizeof buf ? std::string(buf, n) : std::string();
#else
    // No Windows folder here: the user's home folder holds QOR4PREF.txt;
    // without one, the start folder does.
    const char* home = std::getenv("HOME");
    if (home && *home) return home;
    if (!g_console.told_no_home)
        std::fprintf(stderr, "%s: HOME is not set; QOR4PREF.txt is kept in the start folder %s\n",
                     moduletexts().program, g_report.start_folder.c_str());
    g_console.told_no_home = true;
    return g_report.start_folder;
#endif
}

bool port_choose_folder_file() {
    std::fprintf(stderr, "Any file in the new default folder: ");
    std::string path;
    if (!readline(path) || path.empty()) return false;
    return setcurrentfolder(folderofpath(absolutepath(path)));
}

int port_pane_line_count() {
    int lines = 1;
    for (char c : g_console.pane) lines += c == '\n';
    return lines;
}

// Shows the report: the part that is new since the pane was last loaded, or
// all of it when the file no longer continues what was shown.
void port_pane_load(const char* path) {
    std::string text;
    readwholefile(path, text, static_cast<std::size_t>(-1));
    std::size_t from = text.compare(0, g_console.pane.size(), g_console.pane) == 0 ? g_console.pane.size() : 0;
    std::fwrite(text.data() + from, 1, text.size() - from, stdout);
    std::fflush(stdout);
    g_console.pane = text;
}

void port_pane_close_file() {}
void port_pane_apply_font() {}
void port_pane_scroll(int) {}

void port_menu_append(int, const char* title) { g_console.menu.push_back(title); }
void port_menu_append_separator() { g_console.menu.push_back("-"); }

std::string port_menu_item_text(int position) {
    if (position < 1 || position > static_cast<int>(g_console.menu.size())) return "";
    const std::string& t = g_console.menu[static_cast<std::size_t>(position - 1)];
    return t == "-" ? "" : t;
}

std::string port_find_file(const char* path) {
#ifdef _WIN32
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(path, &found);
    if (h == INVALID_HANDLE_VALUE) return "";
    FindClose(h);
    return found.cFileName;
#else
    // The first regular file the pattern matches, in name order; a name
    // without wildcards matches itself.
    glob_t found;
    std::string name;
    if (glob(path, 0, nullptr, &found) == 0)
        for (std::size_t i = 0; i < found.gl_pathc && name.empty(); ++i) {
            if (isregularfile(found.gl_pathv[i])) name = basenameofpath(found.gl_pathv[i]);
        }
    globfree(&found);
    return name;
#endif
}

void port_exit_process(int status) {
    std::fflush(stdout);
    std::exit(status);
}
