#include "companion/common/partial.h"

#include "base/files.h"

// removefile removes only a regular file.
void removepartial(const std::string& path) { removefile(path); }
