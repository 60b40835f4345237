#include "frame/startup.h"

#include <system_error>
#include <vector>

#include "base/files.h"
#include "base/platform.h"
#include "frame/report.h"
#include "frame/run.h"
#include "framework/registry.h"

namespace {

#ifdef _WIN32
const char kSeparators[] = "\\/";
#else
const char kSeparators[] = "/";
#endif

// Tokens separated by spaces only; tabs and quotes are ordinary characters.
std::vector<std::string> spacetokens(const std::string& s) {
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && s[i] == ' ') ++i;
        std::size_t j = s.find(' ', i);
        if (j == std::string::npos) j = s.size();
        if (j > i) out.push_back(s.substr(i, j - i));
        i = j;
    }
    return out;
}

}  // namespace

std::string argumentstring(const char* commandline) {
    const char* p = commandline;
    bool quoted = false;
    for (; *p; ++p) {
        if (*p == '"')
            quoted = !quoted;
        else if (!quoted && (*p == ' ' || *p == '\t'))
            break;
    }
    while (*p && static_cast<unsigned char>(*p) <= 32) ++p;
    return p;
}

StartupSettings parseargs(const char* args) {
    StartupSettings s;
    std::string all = std::string(args ? args : "").substr(0, 1023);
    std::vector<std::string> t = spacetokens(all);
    for (std::size_t i = 0; i < t.size(); ++i) {
        bool has_next = i + 1 < t.size();
        if (t[i] == "-m") continue;
        if (t[i] == "-o" || t[i] == "-f" || t[i] == "-d") {
            if (!has_next) continue;
            const std::string& v = t[++i];
            if (t[i - 1] == "-o")
                s.option = decimalint(v.c_str());
            else if (t[i - 1] == "-f")
                s.batch_path = v;
            else
                s.start_folder = v;
        } else {
            s.batch_path = all;
        }
    }
    return s;
}

std::string resolvebatchpath(const std::string& given, const std::string& base) {
    std::string path = given;
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);
    if (!base.empty() && !path.empty() && isrelativepath(path))
        path = base + (base.find_last_of(kSeparators) == base.size() - 1 ? "" : "/") + path;
    std::size_t cut = path.find_last_of(kSeparators);
    std::string folder = cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
    std::string name = port_find_file(path.c_str());
    return name.empty() ? path : folder + name;
}

BatchOutcome startup(const char* args) {
    StartupSettings s = parseargs(args);
    std::string launch_folder;
    currentfolder(launch_folder);
    g_report.start_folder = s.start_folder.empty() ? launch_folder : s.start_folder;
    registermodule();
    if (s.option != 0) openoptdialog(optioncommand(s.option));
    if (s.batch_path.empty()) return {};
    // Registration has made the default folder current: a relative batch
    // path still means the folder the program was started in.
    return runbatchfile(resolvebatchpath(s.batch_path, launch_folder).c_str());
}
