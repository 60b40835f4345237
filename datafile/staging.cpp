#include "datafile/staging.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "datafile/messages.h"

namespace fs = std::filesystem;

namespace {

struct StagedOutput {
    std::string name;       // final name
    std::string temporary;  // written instead
};
std::vector<StagedOutput> g_staged;

}  // namespace

std::string stageoutput(const std::string& name, const char* failtext) {
    std::error_code ec;
    fs::file_status s = fs::status(name, ec);
    if (fs::exists(s) && !fs::is_regular_file(s)) fatalerror(failtext);
    // A file its owner made read-only is kept, as opening it would refuse.
    if (fs::exists(s) && (s.permissions() & fs::perms::owner_write) == fs::perms::none)
        fatalerror(failtext);
    std::string temporary = name + ".part~";
    for (const StagedOutput& o : g_staged)
        if (o.name == name) return temporary;
    g_staged.push_back({name, temporary});
    return temporary;
}

void commitoutputs() {
    // An entry leaves the list only once it is in place, so whatever stops
    // the loop leaves the rest to discardoutputs().
    while (!g_staged.empty()) {
        const StagedOutput& o = g_staged.front();
        std::error_code ec;
        fs::rename(o.temporary, o.name, ec);
        if (ec) {
            discardoutputs();
            fatalerror("Error: can't replace an earlier output file");
        }
        g_staged.erase(g_staged.begin());
    }
}

void discardoutputs() {
    // std::remove needs no memory, so this works when memory has run out.
    for (const StagedOutput& o : g_staged) std::remove(o.temporary.c_str());
    g_staged.clear();
}
