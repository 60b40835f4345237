// The batch runner on arbitrary bytes, with option runs recorded instead of
// run: every recorded run has a valid option number, exactly the parameter
// count the option takes, and values of at most 1023 characters.
#include "frame/batch.h"
#include "frame/report.h"
#include "frame/run.h"
#include "framework/registry.h"
#include "fuzz_support.h"
#include "recorded_dispatch.h"
#include "support/fake_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& home = sandbox();
    reset_fake();
    g_fake.windows_folder = home;
    g_report.start_folder = home;
    registermodule();
    g_recorded.runs.clear();
    put_file("b.txt", data, size);
    BatchOutcome o = runbatch((home + "/b.txt").c_str());
    for (const RecordedRun& r : g_recorded.runs) {
        if (r.option < 1 || r.option > kMaxOptions) std::abort();
        if (static_cast<int>(r.values.size()) != g_registry.table.param_count[r.option]) std::abort();
        for (const std::string& v : r.values)
            if (v.size() > 1023) std::abort();
    }
    if (o.end == BatchEnd::StoppedEarly && o.reason.size() > 200) std::abort();
    CloseReportAndDeleteTemp();
    std::filesystem::current_path(home);
    return 0;
}
