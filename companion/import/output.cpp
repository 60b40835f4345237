#include "companion/import/output.h"

#include "base/files.h"

bool StagedOutput::usable(const std::string& path, std::string& error) {
    const FileKind kind = filekind(path);
    if (kind == FileKind::folder) {
        error = path + ": is a folder";
        return false;
    }
    // A file its owner made read-only is kept, as a program that opened it
    // for writing would be refused.
    if (kind == FileKind::regular && isreadonly(path)) {
        error = path + ": is read-only";
        return false;
    }
    return true;
}

bool StagedOutput::open(const std::string& path, std::string& error) {
    if (!usable(path, error)) return false;
    path_ = path;
    temporary_.clear();
    if (filekind(path) != FileKind::device) temporary_ = path + "." + std::to_string(processnumber()) + ".part~";
    f_ = openfile(temporary_.empty() ? path : temporary_, "w");
    if (!f_) {
        temporary_.clear();
        error = path + ": cannot create";
        return false;
    }
    return true;
}

bool StagedOutput::commit() {
    if (!f_) return false;
    bool ok = std::ferror(f_) == 0;
    if (std::fclose(f_) != 0) ok = false;
    f_ = nullptr;
    if (ok && !temporary_.empty()) ok = replacefile(temporary_, path_);
    if (!ok) discard();
    temporary_.clear();
    return ok;
}

void StagedOutput::discard() {
    if (f_) std::fclose(f_);
    f_ = nullptr;
    if (!temporary_.empty()) removefile(temporary_);
    temporary_.clear();
}
