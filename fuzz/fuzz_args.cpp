// The argument grammar and batch-path resolution on arbitrary bytes: the
// argument string up to the first NUL, then a path to resolve.
#include <string>

#include "frame/startup.h"
#include "fuzz_support.h"
#include "support/fake_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& home = sandbox();
    std::string bytes(reinterpret_cast<const char*>(data), size);
    std::size_t nul = bytes.find('\0');
    std::string args = bytes.substr(0, nul);
    std::string path = nul == std::string::npos ? std::string() : bytes.substr(nul + 1);
    StartupSettings s = parseargs(args.c_str());
    if (s.batch_path.size() > 1023 || s.start_folder.size() > 1023) std::abort();
    resolvebatchpath(s.batch_path, home);
    resolvebatchpath(path.substr(0, path.find('\0')), home);
    resolvebatchpath(path.substr(0, path.find('\0')));
    return 0;
}
