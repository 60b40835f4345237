// This module's registration and the dispatch of its option runs.
#include <iterator>
#include <string>

#include "framework/module.h"
#include "framework/registry.h"
#include "peaks/genescan.h"
#include "peaks/labelledcsv.h"
#include "peaks/tablecomp.h"

namespace {

// This module's options: one line each, in menu order.
const OptionEntry kOptions[] = {
    {"Read Genescan file", 1, "Input file\n[text,,]"},
    {"Compute table", 7,
     "Input file\n[bin,,]"
     "Number of groups\n[int,1,]"
     "Height (1) or Area (2) of peaks \nDefault = Height \n[int,1,]"
     "Sum (1) or Max (2) of peaks \nDefault = Sum \n[int,1,2]"
     "Row percentage transformation \nDefault = yes \n[int,1,2]"
     "Max. number of peaks \nAll = 0 \n[int,,]"
     "Start \nMin = 0 \n[int,,]"},
};

const char kConsoleUsage[] =
    "usage: peakgrid [--csv] [-o N] [-f BATCHFILE] [-d FOLDER] [-m]\n"
    "       peakgrid [--csv] BATCHFILE\n"
    "  --csv      (first word only) Compute table also writes <table>.csv\n"
    "             beside each table: sample names and class bounds as labels\n"
    "  -o N       open option N's parameters at start (1 Read Genescan file,\n"
    "             2 Compute table)\n"
    "  -f FILE    run a batch parameter file\n"
    "  -d FOLDER  start folder (where QOR4DIRP.txt is looked for)\n"
    "  -m         accepted and ignored\n"
    "Without a batch file the Options menu is offered on the terminal.\n";

// An empty value takes the option's default; anything else is converted.
int valueor(int slot, int fallback) {
    const char* v = g_registry.ParamValues[slot];
    return *v ? decimalint(v) : fallback;
}

// A path is taken whole (a slot holds 1023 characters): the file layer opens
// long paths, and a path cut short could name another file.
std::string path_value(int slot) { return g_registry.ParamValues[slot]; }

}  // namespace

void initmodule() { registeroptions("Peakgrid", kOptions, static_cast<int>(std::size(kOptions))); }

bool runoption(int option) {
    const auto& v = g_registry.ParamValues;
    if (option == 1) {
        if (!*v[1]) return false;
        Peakread(path_value(1).c_str());
    } else if (option == 2) {
        if (!*v[1] || !*v[2]) return false;
        computetable(path_value(1).c_str(), decimalint(v[2]), valueor(3, 1), valueor(4, 1), valueor(5, 1),
                     valueor(6, 0), valueor(7, 0));
    } else {
        return false;
    }
    return true;
}

// The options convert and check their own values as they run.
bool checkoption(int) { return true; }

void resetmodule() { g_labelled = LabelledState{}; }

ModuleTexts moduletexts() {
    return {"peakgrid", kConsoleUsage, "|  Peakgrid - peak profiles to size classes - QOR-4 suite    |",
            "|  Peakgrid - DNA peak profiles to size-class tables - QOR-4 suite   |"};
}

// "--csv" as the first word asks for labelled copies of option 2's tables.
bool moduleword(const char* word) {
    if (std::string(word) != "--csv") return false;
    g_labelled.csv = true;
    return true;
}
