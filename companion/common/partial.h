// Removes an output file that could not be completed, but never a device or
// other special file a user named as the output (-o /dev/null, NUL).
#pragma once

#include <string>

void removepartial(const std::string& path);
