// A fresh temporary folder per test, made current for the test's duration.
#pragma once

#include <string>

struct TestDir {
    TestDir();
    ~TestDir();
    std::string path;  // absolute
    std::string old_cwd;
    std::string file(const std::string& name) const;
};

std::string read_bytes(const std::string& path);
void write_bytes(const std::string& path, const std::string& bytes);
