// The console program run on real files in a temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
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
    Outcome run(const std::string& args, const std::string& input = "") { return program(PEAKGRID_EXE, args, input); }
#ifdef PEAKPREP_EXE
    // Peakprep's console program on a batch file of these lines.
    Outcome prep(const std::string& batch) {
        write_bytes(dir.file("run.txt"), batch);
        return program(PEAKPREP_EXE, "run.txt", "");
    }
#endif
    Outcome program(const char* exe, const std::string& args, const std::string& input) {
        write_bytes(dir.file("stdin.txt"), input);
        std::string cmd = "cd '" + dir.path + "' && HOME='" + dir.path + "' " + wrapper() + "'" + exe + "' " + args +
                          " <stdin.txt >stdout.txt 2>stderr.txt";
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
    char t[48];
    std::snprintf(t, sizeof t, "\r\n%06d\r\n%06d\r\n", rows, cols);
    return floats(v) + t;
}

// A table file of the values v, cols to a row.
inline std::string tab(const std::vector<float>& v, int cols) {
    return table(v, static_cast<int>(v.size()) / cols, cols);
}

// The values of a table file's bytes, with its size; empty (and 0 x 0) when
// the bytes are not a table.
inline std::vector<float> tablevalues(const std::string& b, int& rows, int& cols) {
    rows = cols = 0;
    if (b.size() < 18) return {};
    rows = std::atoi(b.substr(b.size() - 16, 6).c_str());
    cols = std::atoi(b.substr(b.size() - 8, 6).c_str());
    std::vector<float> v(b.size() / 4 - 4);
    std::memcpy(v.data(), b.data(), v.size() * 4);
    return v;
}
