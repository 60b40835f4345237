// The console program run on real files in a temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/test_dir.h"

namespace fs = std::filesystem;

// A command the program is run under, from PEAKGRID_E2E_WRAPPER (the test
// command runs these tests once under valgrind this way).
inline std::string wrapper() {
    const char* w = std::getenv("PEAKGRID_E2E_WRAPPER");
    return w && *w ? std::string(w) + " " : std::string();
}

struct Outcome {
    int status;
    std::string out, err;
};

// A folder laid out like a user's: QOR4DIRP.txt in the start folder names
// prefs/, whose QOR4PREF.txt names data/, the default folder.
class Console : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(dir.file("prefs"));
        fs::create_directories(dir.file("data"));
        write_bytes(dir.file("QOR4DIRP.txt"), dir.file("prefs"));
        write_bytes(dir.file("prefs/QOR4PREF.txt"), dir.file("data"));
    }
    Outcome run(const std::string& args, const std::string& input = "") {
        write_bytes(dir.file("stdin.txt"), input);
        std::string cmd = "cd '" + dir.path + "' && HOME='" + dir.path + "' " + wrapper() + "'" PEAKGRID_EXE "' " +
                          args + " <stdin.txt >stdout.txt 2>stderr.txt";
        int raw = std::system(cmd.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read_bytes(dir.file("stdout.txt")),
                read_bytes(dir.file("stderr.txt"))};
    }
    std::string data(const std::string& name) { return read_bytes(dir.file("data/" + name)); }
    // The text report file of the last run, from data/.
    // The text report written last (several runs whose clocks differ in
    // the second leave several).
    std::string report() {
        fs::path newest;
        for (const auto& e : fs::directory_iterator(dir.file("data"))) {
            if (e.path().filename().string().rfind("l-", 0) != 0) continue;
            if (newest.empty() || fs::last_write_time(e.path()) > fs::last_write_time(newest) ||
                (fs::last_write_time(e.path()) == fs::last_write_time(newest) && e.path() > newest))
                newest = e.path();
        }
        return newest.empty() ? "" : read_bytes(newest.string());
    }
    TestDir dir;
};

inline std::string floats(const std::vector<float>& v) {
    return std::string(reinterpret_cast<const char*>(v.data()), v.size() * 4);
}

inline std::string table(const std::vector<float>& v, int rows, int cols) {
    char t[19];
    std::snprintf(t, sizeof t, "\r\n%06d\r\n%06d\r\n", rows, cols);
    return floats(v) + t;
}
