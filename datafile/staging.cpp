#include "datafile/staging.h"

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
    std::vector<StagedOutput> staged;
    staged.swap(g_staged);
    for (std::size_t i = 0; i < staged.size(); ++i) {
        std::error_code ec;
        fs::rename(staged[i].temporary, staged[i].name, ec);
        if (ec) {
            for (std::size_t j = i; j < staged.size(); ++j) fs::remove(staged[j].temporary, ec);
            fatalerror("Error: can't replace an earlier output file");
        }
    }
}

void discardoutputs() {
    for (const StagedOutput& o : g_staged) {
        std::error_code ec;
        if (fs::is_regular_file(fs::symlink_status(o.temporary, ec))) fs::remove(o.temporary, ec);
    }
    g_staged.clear();
}
