// The module's registration for the fuzz targets, with option runs recorded
// instead of run.
#include "recorded_dispatch.h"

#include "framework/module.h"
#include "framework/registry.h"

RecordedRuns g_recorded;

void initmodule() {
    OptionTable& t = g_registry.table;
    t.module_name = "Peakgrid";
    t.option_count = 2;
    t.menu_titles = "Read Genescan file\nCompute table\n";
    t.param_count[1] = 1;
    t.param_count[2] = 7;
    t.param_spec[1] = "Input file\n[text,,]";
    t.param_spec[2] = "Input file\n[bin,,]Number of groups\n[int,1,]";
}

ModuleTexts moduletexts() {
    return {"peakgrid", "", "|  Peakgrid - peak profiles to size classes - QOR-4 suite    |",
            "|  Peakgrid - DNA peak profiles to size-class tables - QOR-4 suite   |"};
}

bool moduleword(const char*) { return false; }

bool checkoption(int) { return true; }

void resetmodule() {}

bool runoption(int option) {
    RecordedRun run{option, {}};
    for (int i = 1; i <= g_registry.table.param_count[option > 0 && option <= kMaxOptions ? option : 0]; ++i)
        run.values.emplace_back(g_registry.ParamValues[i]);
    g_recorded.runs.push_back(run);
    return option == 1 || option == 2;
}
