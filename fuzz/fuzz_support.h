// Shared by the fuzz targets: a private folder to work in.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

// Makes a fresh folder current, once per process; every file a target
// writes goes there.  It lies in memory (/dev/shm) where there is such a
// folder: a disk file system that flushes on every replacing rename would
// slow the targets down many times.  Returns its path.
inline const std::string& sandbox() {
    static const std::string path = [] {
        std::error_code ec;
        std::string base = std::filesystem::is_directory("/dev/shm", ec) ? "/dev/shm" : "/tmp";
        std::string name = base + "/peakgrid-fuzz-XXXXXX";
        if (!mkdtemp(&name[0])) std::abort();
        std::filesystem::current_path(name);
        static std::string remove_at_exit;
        remove_at_exit = name;
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(remove_at_exit, ignored);
        });
        return name;
    }();
    std::filesystem::current_path(path);
    return path;
}

inline void put_file(const char* name, const std::uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen(name, "wb");
    if (!f) std::abort();
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
}

inline std::string read_file(const std::string& name) {
    std::string out;
    std::FILE* f = std::fopen(name.c_str(), "rb");
    if (!f) return "none";
    char buf[4096];
    std::size_t got;
    while ((got = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, got);
    std::fclose(f);
    return out;
}

// No temporary output may outlive a run.
inline void expect_no_temporaries() {
    for (const auto& e : std::filesystem::directory_iterator("."))
        if (e.path().filename().string().find(".part~") != std::string::npos) std::abort();
}
