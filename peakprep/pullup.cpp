// "Flag pull-up": peaks of one dye that a much taller peak of another dye
// of the same sample, at about the same size, explains (bleed-through of
// its signal into this colour).
//
// The input is one of the channel tables ChanK or a filtered one
// (ChanK_flt); the other dyes' tables of the same name, the dye
// digit replaced, are read from beside it, each with its own names file.
// Sample numbers differ from dye to dye, so samples are matched by name.
// Only a report of the flagged peaks is written; no table changes.
#include <cmath>
#include <cstdio>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/files.h"
#include "base/reportstream.h"
#include "datafile/binfile.h"
#include "datafile/messages.h"
#include "datafile/readrows.h"
#include "datafile/samplenames.h"
#include "datafile/staging.h"
#include "datafile/tabletext.h"
#include "peakprep/options.h"
#include "peakprep/profiles.h"
#include "peakprep/pullup_flags.h"

namespace {

const int kDyes = 4;

struct Peak {
    float size, height;
};

struct Sample {
    long long number = 0;
    std::vector<Peak> peaks;
};

struct Dye {
    std::string table;  // empty when the dye is skipped
    std::vector<std::string> names;
    std::vector<Sample> samples;
    long long peaks = 0, outside = 0, compared = 0, flagged = 0;
};

// The folder part with its separator, the name's suffix after the dye
// digit ("" for ChanK, "_flt" for ChanK_flt), and the input's dye; false
// when the name is not that of a channel table.  Only the filter's outputs
// are channel tables among the tables named after one: a class table may
// have six columns too (ChanK_div), but its rows are samples.
bool channelname(const std::string& input, std::string& folder, std::string& suffix, int& dye) {
    const std::string base = basenameofpath(input);
    if (base.size() < 5 || base.compare(0, 4, "Chan") != 0 || base[4] < '1' || base[4] > '4') return false;
    suffix = base.substr(5);
    for (std::size_t at = 0; at < suffix.size(); at += 4)
        if (suffix.compare(at, 4, "_flt") != 0) return false;
    folder = input.substr(0, input.size() - base.size());
    dye = base[4] - '0';
    return true;
}

// The rows of a dye's table grouped by sample number (column 1), in the
// order the samples first appear; rows of no sample are only counted.
void readdye(Dye& d) {
    std::unordered_map<long long, std::size_t> slot;
    readrows(d.table.c_str(), [&](int, const float* v) {
        ++d.peaks;
        const double x = v[0];
        if (!(std::isfinite(x) && x >= 1 && x < kMaxTableCount + 1.0)) {
            ++d.outside;
            return;
        }
        const long long n = static_cast<long long>(x);
        auto at = slot.emplace(n, d.samples.size());
        if (at.second) {
            d.samples.emplace_back();
            d.samples.back().number = n;
        }
        d.samples[at.first->second].peaks.push_back({v[3], v[4]});
    });
}

// A sample of a dye, by name.
struct Member {
    int dye;
    std::size_t sample;
};
struct Group {
    std::string name;
    std::vector<Member> members;
};

std::string ratiotext(double r) {
    char t[32];
    std::snprintf(t, sizeof t, "%.6g", r);
    return t;
}

bool usable(const Peak& p) { return std::isfinite(p.size) && std::isfinite(p.height) && p.height > 0; }

void stop(const char* why) {
    infobox(why);
    reportf("Flagging stopped: no output written\n");
}

struct Run {
    explicit Run(const PullupSettings& settings) : s(settings) {}
    const PullupSettings& s;
    Dye dyes[kDyes + 1];
    std::vector<Group> groups;
    long long unnamed = 0, repeated = 0, single = 0, compared = 0, flagged = 0;
    std::string text = "sample\tdye\tsize\theight\tparent dye\tparent size\tratio\n";

    // The dyes' tables beside the input's, the input first; a missing one,
    // one that is not a channel table or one that is another dye's file
    // is reported and skipped.  The number of dyes found.
    int finddyes(const std::string& folder, const std::string& suffix, int input_dye) {
        int found = 1;
        dyes[input_dye].table = s.input;
        for (int k = 1; k <= kDyes; ++k) {
            if (k == input_dye) continue;
            const std::string table = folder + "Chan" + std::to_string(k) + suffix;
            int rows = 0, cols = 0;
            readdims(table.c_str(), rows, cols);
            const char* why = nullptr;
            if (filekind(table) == FileKind::missing)
                why = "not found";
            else if (static_cast<long long>(rows) * cols == 0 || cols != kChannelColumns)
                why = "not a channel table of 6 columns";
            for (int j = 1; j <= kDyes && !why; ++j)
                if (j != k && !dyes[j].table.empty() && samefile(table, dyes[j].table))
                    why = "the same file as another dye";
            if (why) {
                reportf("Dye %d: %s %s, skipped\n", k, table.c_str(), why);
                continue;
            }
            reportf("Dye %d: %s, rows: %d\n", k, table.c_str(), rows);
            dyes[k].table = table;
            ++found;
        }
        return found;
    }

    // Samples by name across the dyes, in the order they are first met; an
    // unnamed sample, or a name given twice within one dye, matches nothing.
    void groupsamples() {
        std::unordered_map<std::string, std::size_t> by_name;
        for (int k = 1; k <= kDyes; ++k) {
            Dye& d = dyes[k];
            if (d.table.empty()) continue;
            const std::string names_file = namesfile(d.table);
            d.names = readsamplenames(names_file);
            reportf("Dye %d sample names: %s\n", k, d.names.empty() ? "none found" : names_file.c_str());
            readdye(d);
            std::unordered_map<std::string, int> seen;
            for (const Sample& x : d.samples) ++seen[samplename(d.names, x.number)];
            for (std::size_t i = 0; i < d.samples.size(); ++i) {
                const std::string& name = samplename(d.names, d.samples[i].number);
                if (name.empty()) {
                    ++unnamed;
                    continue;
                }
                // A repeated name is reported once (its count then turns negative).
                int& count = seen[name];
                if (count > 1) {
                    reportf("Dye %d: the name %s is given to %d samples, none of them compared\n", k, name.c_str(),
                            count);
                    count = -count;
                }
                if (count < 0) {
                    ++repeated;
                    continue;
                }
                auto at = by_name.emplace(name, groups.size());
                if (at.second) groups.push_back({name, {}});
                groups[at.first->second].members.push_back({k, i});
            }
        }
    }

    // The flags of one sample found in several dyes, written dye by dye,
    // each dye's peaks in its table's order.
    void flaggroup(const Group& g, std::vector<PullupPeak>& peaks, std::vector<PullupFlag>& flags) {
        peaks.clear();
        for (const Member& m : g.members)
            for (const Peak& p : dyes[m.dye].samples[m.sample].peaks) peaks.push_back({p.size, p.height, m.dye});
        flagpullups(peaks, s.tolerance, s.min_ratio, flags);
        std::size_t i = 0;
        for (const Member& m : g.members) {
            Dye& d = dyes[m.dye];
            for (const Peak& p : d.samples[m.sample].peaks) {
                const PullupFlag& f = flags[i++];
                if (usable(p)) ++d.compared;
                if (!f.flagged) continue;
                ++d.flagged;
                ++flagged;
                appendcell(text, g.name, '\t');
                text += '\t' + std::to_string(m.dye) + '\t' + valuetext(p.size) + '\t' + valuetext(p.height) + '\t' +
                        std::to_string(f.parent_dye) + '\t' + valuetext(f.parent_size) + '\t' + ratiotext(f.ratio) +
                        '\n';
            }
        }
    }

    void flagall() {
        std::vector<PullupPeak> peaks;
        std::vector<PullupFlag> flags;
        for (const Group& g : groups) {
            if (g.members.size() < 2) {
                ++single;
                continue;
            }
            ++compared;
            flaggroup(g, peaks, flags);
        }
    }

    void counts() const {
        reportf("Samples compared (their name found in two dyes or more) = %lld\n", compared);
        if (single) reportf("Samples found in one dye only (not compared) = %lld\n", single);
        if (unnamed) reportf("Samples without a name (not compared) = %lld\n", unnamed);
        if (repeated) reportf("Samples whose name is given twice within a dye (not compared) = %lld\n", repeated);
        for (int k = 1; k <= kDyes; ++k) {
            const Dye& d = dyes[k];
            if (d.table.empty()) continue;
            reportf(
                "Dye %d: peaks = %lld, compared = %lld (height above 0, the sample found in another dye), flagged ="
                " %lld\n",
                k, d.peaks, d.compared, d.flagged);
            if (d.outside)
                reportf("Dye %d: rows of no sample (number below 1, above 999999 or not finite) = %lld\n", k,
                        d.outside);
        }
    }
};

// The text written under a temporary name; failures end in fatalerror
// (the staged file goes with the run).
void writetext(const std::string& staged, const std::string& text) {
    std::FILE* f = openfile(staged, "wb");
    if (!f) fatalerror("Error: can't open pull-up report (flagpullup)");
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (std::fclose(f) != 0) ok = false;
    if (!ok) fatalerror("Error: can't write pull-up report (flagpullup)");
}

}  // namespace

void flagpullup(const PullupSettings& s) {
    reportf("Peakprep: flagging pull-up peaks\n");
    std::string folder, suffix;
    int input_dye = 0;
    if (!channelname(s.input, folder, suffix, input_dye))
        return stop("Sorry: the input must be a channel table Chan1 to Chan4 or a filtered one (Chan1_flt)");
    const std::string out_name = folder + "Chan" + suffix + "_pullup.txt";
    // An output that is an input (a link) would be replaced by the run.
    for (int k = 1; k <= kDyes; ++k)
        if (samefile(folder + "Chan" + std::to_string(k) + suffix, out_name))
            fatalerror("Error: input file is also an output file (flagpullup)");
    int rows = 0, cols = 0;
    if (!tablesize(s.input, rows, cols)) return;
    if (cols != kChannelColumns)
        return stop(kNotChannelTable);

    Run run(s);
    if (run.finddyes(folder, suffix, input_dye) < 2)
        return stop("Sorry: pull-up needs the tables of at least two dyes (Chan1 to Chan4) in the same folder");
    reportf(
        "Tolerance (bp) = %s, min. height ratio = %s: a peak is flagged when another dye of the same sample has a"
        " peak at most the tolerance away and at least that many times as tall (flags only: no peak is dropped)\n",
        valuetext(s.tolerance).c_str(), valuetext(s.min_ratio).c_str());
    run.groupsamples();
    run.flagall();
    if (run.compared == 0)
        return stop("Sorry: no sample name is found in two dyes (the names files SampleNamesChK name the samples)");
    run.counts();

    writetext(stageoutput(out_name, "Error: can't open pull-up report (flagpullup)"), run.text);
    commitoutputs();
    reportf("Output file: %s\n", out_name.c_str());
    reportf("--- Number of flagged peaks: %lld\n", run.flagged);
}
