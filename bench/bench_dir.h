// A folder of its own for a benchmark's inputs, outputs and report, made
// current while the benchmark program runs and removed at its end.
#pragma once

#include <filesystem>
#include <random>
#include <string>

#include "frame/report.h"
#include "support/fake_platform.h"

struct BenchDir {
    std::filesystem::path path, old;
    BenchDir() {
        old = std::filesystem::current_path();
        path = std::filesystem::temp_directory_path() /
               ("peakgrid-bench-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(path);
        std::filesystem::current_path(path);
        reset_fake();
        g_reportstream.name = "QOR.temp-bench";
        OpenReportStream();
    }
    ~BenchDir() {
        reset_fake();
        std::error_code ec;
        std::filesystem::current_path(old, ec);
        std::filesystem::remove_all(path, ec);
    }
};

inline BenchDir& bench_dir() {
    static BenchDir dir;
    return dir;
}
