// Peakprep's registration, the dispatch of its option runs, and the checks
// of their typed values.
#include <cmath>
#include <cstring>
#include <iterator>
#include <string>

#include "base/platform.h"
#include "datafile/decimal.h"
#include "datafile/messages.h"
#include "framework/module.h"
#include "framework/registry.h"
#include "peakprep/options.h"

namespace {

// One line each, in menu order; the order of the parameters is the order of
// their values in a batch file.
const OptionEntry kOptions[] = {
    {"Import peak table", 2,
     "Input file\n[text,,]"
     "Area in points (1) or in bp (2) \nPeak Scanner tables only \nDefault = points \n[int,1,2]"},
    {"Filter peaks", 10,
     "Input file\n[bin,,]"
     "Min. size (bp) \n0 or empty = off \n[float,0,]"
     "Max. size (bp) \n0 or empty = off \n[float,0,]"
     "Min. height (RFU) \n0 or empty = off \n[float,0,]"
     "Relative threshold (%) \n0 or empty = off \n[float,0,100]"
     "Relative and statistical filters on Height (1) or Area (2) \nDefault = Height \n[int,1,2]"
     "Statistical filter k \n0 or empty = off, usual 3 \n[float,0,]"
     "Statistical filter pooled (1) or per sample (2) \nDefault = pooled \n[int,1,2]"
     "Merge peaks closer than (bp) \n0 or empty = off \n[float,0,]"
     "Max. span of a merged peak (bp) \n0 or empty = off \n[float,0,]"},
    {"Profile summary", 2,
     "Input file\n[bin,,]"
     "Presence threshold \nDefault = 0: any value > 0 is present \n[float,0,]"},
    {"Export table", 3,
     "Input file\n[bin,,]"
     "CSV (1), TSV (2) or SVG heat map (3) \n[int,1,3]"
     "Sample names file \nDefault = found beside the table \n[text,,]"},
};

const char kConsoleUsage[] =
    "usage: peakprep [-o N] [-f BATCHFILE] [-d FOLDER] [-m]\n"
    "       peakprep BATCHFILE\n"
    "  -o N       open option N's parameters at start (1 Import peak table,\n"
    "             2 Filter peaks, 3 Profile summary, 4 Export table)\n"
    "  -f FILE    run a batch parameter file\n"
    "  -d FOLDER  start folder (where QOR4DIRP.txt is looked for)\n"
    "  -m         accepted and ignored\n"
    "Without a batch file the Options menu is offered on the terminal.\n";

const char* value(int slot) { return g_registry.ParamValues[slot]; }

// The short label of parameter slot of the option under way, for messages.
std::string label(int option, int slot) {
    const char* p = kOptions[option - 1].spec;
    for (int k = 1; k < slot; ++k) p = std::strchr(p, ']') + 1;
    return std::string(p, std::strcspn(p, "\n["));
}

// A value outside its range: the user is told which, and the run does not
// start.
bool refuse(int option, int slot, const std::string& why) {
    std::string text = "Sorry: " + label(option, slot);
    while (!text.empty() && text.back() == ' ') text.pop_back();
    infobox((text + " " + why).substr(0, 255).c_str());
    return false;
}

// A decimal value at least lo (and at most hi when hi > lo); empty takes
// fallback.
bool floatvalue(int option, int slot, double lo, double hi, double fallback, double& out) {
    out = *value(slot) ? decimalvalue(value(slot)) : fallback;
    if (!std::isfinite(out) || out < lo)
        return refuse(option, slot, "must be at least " + std::to_string(static_cast<int>(lo)));
    if (hi > lo && out > hi) return refuse(option, slot, "must be at most " + std::to_string(static_cast<int>(hi)));
    return true;
}

// A choice 1..n; empty takes fallback.
bool choicevalue(int option, int slot, int n, int fallback, int& out) {
    out = *value(slot) ? decimalint(value(slot)) : fallback;
    if (out < 1 || out > n) return refuse(option, slot, "must be 1 to " + std::to_string(n));
    return true;
}

bool run_filter(bool run) {
    FilterSettings s;
    s.input = value(1);
    int on = 1, scope = 1;
    if (!floatvalue(2, 2, 0, 0, 0, s.min_size) || !floatvalue(2, 3, 0, 0, 0, s.max_size) ||
        !floatvalue(2, 4, 0, 0, 0, s.min_height) || !floatvalue(2, 5, 0, 100, 0, s.relative) ||
        !choicevalue(2, 6, 2, 1, on) || !floatvalue(2, 7, 0, 0, 0, s.stat_k) || !choicevalue(2, 8, 2, 1, scope) ||
        !floatvalue(2, 9, 0, 0, 0, s.merge_below) || !floatvalue(2, 10, 0, 0, 0, s.max_span))
        return false;
    if (s.max_size > 0 && s.max_size < s.min_size) return refuse(2, 3, "must not be below the min. size");
    s.use_area = on == 2;
    s.stat_per_sample = scope == 2;
    if (run) filterpeaks(s);
    return true;
}

// Converts option k's values, each checked against its range; with run,
// the option's entry is then called.  False when a value is refused (the
// user has been told) or the input is empty.
bool dispatch(int option, bool run) {
    if (option < 1 || option > 4 || !*value(1)) return false;
    if (option == 1) {
        int unit = 1;
        if (!choicevalue(1, 2, 2, 1, unit)) return false;
        if (run) importpeaktable(value(1), unit == 2);
    } else if (option == 2) {
        return run_filter(run);
    } else if (option == 3) {
        double threshold = 0;
        if (!floatvalue(3, 2, 0, 0, 0, threshold)) return false;
        if (run) profilesummary(value(1), threshold);
    } else {
        int format = 1;
        if (!choicevalue(4, 2, 3, 1, format)) return false;
        if (run) exporttable(value(1), static_cast<ExportFormat>(format), value(3));
    }
    return true;
}

}  // namespace

void initmodule() { registeroptions("Peakprep", kOptions, static_cast<int>(std::size(kOptions))); }

// Every option needs its input; an empty one starts nothing.  A value out of
// range is refused before the run starts (checkoption), and again here for
// callers that did not ask.
bool runoption(int option) { return dispatch(option, true); }

// An empty input is no refusal: the run then simply does not start.
bool checkoption(int option) { return !*value(1) || dispatch(option, false); }

ModuleTexts moduletexts() {
    return {"peakprep", kConsoleUsage, "|  Peakprep - peak tables cleaned up - QOR-4 suite           |",
            "|  Peakprep - peak tables cleaned and summarised - QOR-4 suite       |"};
}

bool moduleword(const char*) { return false; }

// Peakprep keeps no state between runs.
void resetmodule() {}
