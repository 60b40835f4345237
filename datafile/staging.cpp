#include "datafile/staging.h"

#include <algorithm>
#include <vector>

#include "base/files.h"
#include "datafile/messages.h"

namespace {

struct StagedOutput {
    std::string name;       // final name
    std::string temporary;  // written instead
};
std::vector<StagedOutput> g_staged;

// How long a run waits for another run that is putting its outputs into the
// same folder (a commit takes milliseconds; a run that holds the lock longer
// is stuck).
const int kLockWaitMs = 10000;
const int kLockPollMs = 20;

const char kBusy[] = "Error: another run is writing its outputs into the same folder; nothing was replaced";

// The folder locks of a commit, given back however the commit ends.
struct FolderLocks {
    std::vector<PathLock> locks;
    ~FolderLocks() {
        for (PathLock& l : locks) unlockpath(l);
    }
};

// Takes the lock of every folder that receives an output, in one order in
// every process (so two runs never wait for each other); false when one
// stays held by another process for the whole wait.
bool lock_folders(std::vector<PathLock>& locks) {
    std::vector<std::string> folders;
    for (const StagedOutput& o : g_staged) folders.push_back(folderofpath(absolutepath(o.name)));
    std::sort(folders.begin(), folders.end());
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    locks.assign(folders.size(), PathLock());
    for (std::size_t i = 0; i < folders.size(); ++i) {
        int waited = 0;
        while (!trylockpath(folders[i], true, locks[i])) {
            if (waited >= kLockWaitMs) return false;
            sleepmilliseconds(kLockPollMs);
            waited += kLockPollMs;
        }
    }
    return true;
}

}  // namespace

std::string stageoutput(const std::string& name, const char* failtext) {
    FileKind kind = filekind(name);
    if (kind == FileKind::folder || kind == FileKind::device) fatalerror(failtext);
    // A file its owner made read-only is kept, as opening it would refuse.
    if (kind == FileKind::regular && isreadonly(name)) fatalerror(failtext);
    for (const StagedOutput& o : g_staged)
        if (o.name == name) return o.temporary;
    // The process number keeps the temporary files of two runs apart.
    std::string temporary = name + "." + std::to_string(processnumber()) + ".part~";
    g_staged.push_back({name, temporary});
    return temporary;
}

void commitoutputs() {
    // While the folders are locked no other run puts outputs there, so the
    // files in place always come from one run.
    FolderLocks held;
    if (!lock_folders(held.locks)) {
        discardoutputs();
        fatalerror(kBusy);
    }
    // An entry leaves the list only once it is in place, so whatever stops
    // the loop leaves the rest to discardoutputs().
    while (!g_staged.empty()) {
        const StagedOutput& o = g_staged.front();
        if (!replacefile(o.temporary, o.name)) {
            discardoutputs();
            fatalerror("Error: can't replace an earlier output file");
        }
        g_staged.erase(g_staged.begin());
    }
}

void discardoutputs() {
    // removefile never throws, so this works when memory has run out.
    for (const StagedOutput& o : g_staged) removefile(o.temporary);
    g_staged.clear();
}
