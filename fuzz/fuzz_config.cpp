// QOR4DIRP.txt and QOR4PREF.txt on arbitrary bytes (the two contents are
// split at the first NUL): report set-up, one report line and publishing.
// Folders they name must stay inside the private folder, so inputs naming
// an absolute path or ".." are passed over.
#include <string>

#include "frame/report.h"
#include "fuzz_support.h"
#include "support/fake_platform.h"

namespace fs = std::filesystem;

namespace {

bool stays_inside(const std::string& content) {
    std::string p = content.substr(0, content.find('\0'));
    if (!p.empty() && (p[0] == '/' || p[0] == '~')) return false;
    for (std::size_t at = 0; at <= p.size();) {
        std::size_t slash = p.find('/', at);
        if (slash == std::string::npos) slash = p.size();
        if (p.compare(at, slash - at, "..") == 0 && slash - at == 2) return false;
        at = slash + 1;
    }
    return true;
}

void put(const std::string& name, const std::string& bytes) {
    put_file(name.c_str(), reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    std::size_t nul = bytes.find('\0');
    std::string dirp = bytes.substr(0, nul);
    std::string pref = nul == std::string::npos ? std::string() : bytes.substr(nul + 1);
    if (!stays_inside(dirp) || !stays_inside(pref)) return 0;

    const std::string home = sandbox() + "/start";
    fs::remove_all(home);
    fs::create_directories(home + "/p/q");
    put(home + "/QOR4DIRP.txt", dirp);
    put(home + "/QOR4PREF.txt", pref);
    put(home + "/p/QOR4PREF.txt", pref);
    reset_fake();
    g_fake.windows_folder = home + "/p";
    g_report.start_folder = home;
    ReportSetUp("R");
    OpenReportStream();
    reportf("line\n");
    PublishReport();
    CloseReportAndDeleteTemp();
    sandbox();
    return 0;
}
