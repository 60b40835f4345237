#include "test_dir.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

TestDir::TestDir() {
    static std::atomic<int> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    fs::path p =
        fs::temp_directory_path() / ("peakgrid-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    fs::create_directories(p);
    path = p.string();
    old_cwd = fs::current_path().string();
    fs::current_path(p);
}

TestDir::~TestDir() {
    std::error_code ec;
    fs::current_path(old_cwd, ec);
    fs::remove_all(path, ec);
}

std::string TestDir::file(const std::string& name) const { return (fs::path(path) / name).string(); }

std::string read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void write_bytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}
