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
    {"Bin by clusters", 10,
     "Input file\n[bin,,]"
     "Min. bin width (bp) \n0 or empty = 1 \n[float,0,]"
     "Max. bin width (bp) \n0 or empty = 1.5 \n[float,0,]"
     "Gap tolerance \n0 or empty = 0.97 \n[float,0,1]"
     "Min. size (bp) \n0 or empty = off \n[float,0,]"
     "Max. size (bp) \n0 or empty = off \n[float,0,]"
     "Height (1) or Area (2) \nDefault = Height \n[int,1,2]"
     "Sum (1), Max (2) or Mean (3) \nDefault = Sum \n[int,1,3]"
     "Row percentage transformation \nYes (1) or No (2), default = yes \n[int,1,2]"
     "Min. number of samples per bin \n0 or empty = 1 \n[int,0,]"},
    {"Shifted frames", 9,
     "Input file\n[bin,,]"
     "Window width (bp) \n0 or empty = 1 \n[float,0,]"
     "Shift step (bp) \n0 or empty = 0.1; the width is a whole multiple of it \n[float,0,]"
     "Min. size (bp) \n0 or empty = off \n[float,0,]"
     "Max. size (bp) \n0 or empty = off \n[float,0,]"
     "Relative cutoff (%) \n0 or empty = off \n[float,0,100]"
     "Height (1) or Area (2) \nDefault = Area \n[int,1,2]"
     "Pearson (1) or Bray-Curtis (2) \nDefault = Pearson \n[int,1,2]"
     "Offset (bp) \nEmpty = choose the best; a value = use that offset \n[float,0,]"},
    {"Replicate consensus", 5,
     "Input file\n[bin,,]"
     "Replicate map \nA line per sample: name, a tab, group \n[text,,]"
     "Min. replicates present \n0 or empty = 2 \n[int,0,]"
     "Average over all (1) or present (2) \nDefault = all \n[int,1,2]"
     "Normalise replicates \nYes (1) or No (2), default = yes \n[int,1,2]"},
    {"Flag pull-up", 3,
     "Input file\n[bin,,]"
     "Tolerance (bp) \n0 or empty = 0.5 \n[float,0,]"
     "Min. height ratio \n0 or empty = 10 \n[float,0,]"},
};

const char kConsoleUsage[] =
    "usage: peakprep [-o N] [-f BATCHFILE] [-d FOLDER] [-m]\n"
    "       peakprep BATCHFILE\n"
    "  -o N       open option N's parameters at start (1 Import peak table,\n"
    "             2 Filter peaks, 3 Profile summary, 4 Export table,\n"
    "             5 Bin by clusters, 6 Shifted frames, 7 Replicate consensus,\n"
    "             8 Flag pull-up)\n"
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

// A value where 0 and empty both take the default.
bool floatordefault(int option, int slot, double hi, double fallback, double& out) {
    if (!floatvalue(option, slot, 0, hi, fallback, out)) return false;
    if (out == 0) out = fallback;
    return true;
}

// A whole number at least 0 where 0 and empty take the default.
bool countvalue(int option, int slot, int fallback, int& out) {
    out = *value(slot) ? decimalint(value(slot)) : fallback;
    if (out < 0) return refuse(option, slot, "must be at least 0");
    if (out == 0) out = fallback;
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

bool run_clusters(bool run) {
    ClusterSettings s;
    s.input = value(1);
    int on = 1, percent = 1;
    if (!floatordefault(5, 2, 0, 1, s.min_width) || !floatordefault(5, 3, 0, 1.5, s.max_width) ||
        !floatordefault(5, 4, 1, 0.97, s.tolerance) || !floatvalue(5, 5, 0, 0, 0, s.min_size) ||
        !floatvalue(5, 6, 0, 0, 0, s.max_size) || !choicevalue(5, 7, 2, 1, on) ||
        !choicevalue(5, 8, 3, 1, s.cell) || !choicevalue(5, 9, 2, 1, percent) || !countvalue(5, 10, 1, s.min_samples))
        return false;
    if (s.max_width < s.min_width) return refuse(5, 3, "must not be below the min. bin width");
    if (s.max_size > 0 && s.max_size < s.min_size) return refuse(5, 6, "must not be below the min. size");
    s.use_area = on == 2;
    s.percent = percent == 1;
    if (run) binbyclusters(s);
    return true;
}

bool run_frames(bool run) {
    FrameSettings s;
    s.input = value(1);
    int on = 2, criterion = 1;
    if (!floatordefault(6, 2, 0, 1, s.width) || !floatordefault(6, 3, 0, 0.1, s.step) ||
        !floatvalue(6, 4, 0, 0, 0, s.min_size) || !floatvalue(6, 5, 0, 0, 0, s.max_size) ||
        !floatvalue(6, 6, 0, 100, 0, s.cutoff) || !choicevalue(6, 7, 2, 2, on) || !choicevalue(6, 8, 2, 1, criterion))
        return false;
    if (s.max_size > 0 && s.max_size < s.min_size) return refuse(6, 5, "must not be below the min. size");
    // The number of frames, width / step, must come out whole (to a
    // millionth, for steps like 0.1 that no binary fraction holds).
    const double frames = s.width / s.step;
    if (s.step > s.width || std::fabs(frames - std::round(frames)) > 1e-6 * frames)
        return refuse(6, 3, "must divide the window width a whole number of times");
    s.frames = static_cast<int>(std::round(frames));
    s.fixed_offset = *value(9) != 0;
    if (s.fixed_offset) {
        if (!floatvalue(6, 9, 0, 0, 0, s.offset)) return false;
        if (s.offset >= s.width) return refuse(6, 9, "must be below the window width");
    }
    s.use_area = on == 2;
    s.bray_curtis = criterion == 2;
    if (run) shiftedframes(s);
    return true;
}

bool run_consensus(bool run) {
    ConsensusSettings s;
    s.input = value(1);
    s.map = value(2);
    int over = 1, normalise = 1;
    if (!countvalue(7, 3, 2, s.min_present) || !choicevalue(7, 4, 2, 1, over) || !choicevalue(7, 5, 2, 1, normalise))
        return false;
    s.over_present = over == 2;
    s.normalise = normalise == 1;
    if (run) replicateconsensus(s);
    return true;
}

bool run_pullup(bool run) {
    PullupSettings s;
    s.input = value(1);
    if (!floatordefault(8, 2, 0, 0.5, s.tolerance) || !floatordefault(8, 3, 0, 10, s.min_ratio)) return false;
    if (run) flagpullup(s);
    return true;
}

// Converts option k's values, each checked against its range; with run,
// the option's entry is then called.  False when a value is refused (the
// user has been told) or the input is empty.
bool dispatch(int option, bool run) {
    if (option < 1 || option > 8 || !*value(1)) return false;
    switch (option) {
        case 5: return run_clusters(run);
        case 6: return run_frames(run);
        case 7: return run_consensus(run);
        case 8: return run_pullup(run);
    }
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
