#include "frame/run.h"

#include <ctime>
#include <new>

#include "base/reportstream.h"
#include "datafile/binfile.h"
#include "datafile/messages.h"
#include "frame/banner.h"
#include "frame/frame.h"
#include "framework/module.h"
#include "frame/report.h"
#include "framework/registry.h"

namespace {

// Module words of the suite that take the wider banner.
const char* const kWideBannerWords[] = {"Varden", "Korbel", "Lumsk", "GEBUtil"};

}  // namespace

void registermodule() {
    initmodule();
    const OptionTable& t = g_registry.table;
    ReportSetUp(t.module_name.c_str());
    buildoptmenu(t.menu_titles.c_str(), t.option_count);
}

void startrun() {
    OpenReportStream();
    int which = 1;
    for (const char* w : kWideBannerWords)
        if (g_frame.module_word == w) which = 2;
    std::string text =
        bannertext(which, g_frame.module_word, optiontitle(g_registry.current_option), std::time(nullptr));
    reportf("%s", text.c_str());
}

void runandpublish(int option) {
    try {
        if (!runoption(option)) return;
        PublishReport();
    } catch (const RunAbandoned&) {
        // The box has been shown and the close requested; the run ends here
        // and its unfinished tables go with it.  Nothing is published.
        abandon_outputs();
    } catch (const std::bad_alloc&) {
        // Out of memory outside the arrays' own checks: the same path as
        // theirs, never an abort.
        try {
            fatalerror("Error: insufficient memory (runoption)");
        } catch (const RunAbandoned&) {
            abandon_outputs();
        }
    }
}

bool acceptvalues(const std::vector<std::string>& values) {
    int option = g_registry.current_option;
    int n = g_registry.table.param_count[option];
    for (int r = 1; r <= n && r <= static_cast<int>(values.size()); ++r) {
        std::size_t len = values[static_cast<std::size_t>(r - 1)].copy(g_registry.ParamValues[r], 255);
        g_registry.ParamValues[r][len] = '\0';
    }
    return checkoption(option);
}

void dialogok(const std::vector<std::string>& values) {
    if (!acceptvalues(values)) return;
    startrun();
    runandpublish(g_registry.current_option);
}
