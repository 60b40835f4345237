#include "companion/common/partial.h"

#include <filesystem>
#include <system_error>

void removepartial(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec)) std::filesystem::remove(path, ec);
}
