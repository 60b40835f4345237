// The import's output file, written under a temporary name beside it
// ("OUT.PID.part~", PID the process number) and renamed over OUT only once
// it is complete, so a failed write, a full disk or a killed process leaves
// an earlier OUT exactly as it was.  A device named as the output (/dev/null,
// NUL) is written directly: it cannot be replaced.
#pragma once

#include <cstdio>
#include <string>

class StagedOutput {
  public:
    StagedOutput() = default;
    StagedOutput(const StagedOutput&) = delete;
    StagedOutput& operator=(const StagedOutput&) = delete;
    ~StagedOutput() { discard(); }

    // False, with the reason, when path cannot be an output: a folder, or a
    // file its owner made read-only.  Checks only; nothing is created.
    static bool usable(const std::string& path, std::string& error);
    // Creates the temporary file; false, with the reason, when it cannot.
    bool open(const std::string& path, std::string& error);
    std::FILE* stream() const { return f_; }
    // Closes the temporary file and puts it in place; false (and the
    // temporary file removed) when anything of it failed.
    bool commit();
    // Closes and removes the temporary file (nothing of it stays).
    void discard();

  private:
    std::FILE* f_ = nullptr;
    std::string path_, temporary_;  // temporary_ empty: written directly
};
