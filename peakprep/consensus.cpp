// "Replicate consensus": the replicate rows of a class table joined into one
// row per group, with their reproducibility figures.
//
// The groups come from the replicate map (peakprep/consensus_map.h); the
// consensus row, the pair figures, the per-bin reproducibility and the
// repeatability indicator from peakprep/consensus_figures.h.  The three
// outputs (the consensus table, its names file and the figures) are staged
// and put in place together.
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "base/files.h"
#include "base/reportstream.h"
#include "datafile/messages.h"
#include "datafile/samplenames.h"
#include "datafile/staging.h"
#include "datafile/tabletext.h"
#include "peakprep/consensus_figures.h"
#include "peakprep/consensus_map.h"
#include "peakprep/options.h"
#include "peakprep/profiles.h"

namespace {

// Pairs of replicates compared, and pairs times bins, beyond which the map
// is taken for a mistake rather than left to run for hours.
const long long kMaxPairs = 5000000;
const double kMaxPairCells = 2e9;

// A text output written through a buffer; a write failure ends the run.
class TextOut {
  public:
    TextOut(const std::string& staged, const char* failed) : f_(openfile(staged, "wb")), failed_(failed) {
        if (!f_) fatalerror(failed_);
    }
    ~TextOut() {
        if (f_) std::fclose(f_);
    }
    void text(const std::string& t) {
        buf_ += t;
        if (buf_.size() > (1u << 20)) flush();
    }
    // A cell after a tab: the value, or empty when undefined.
    void cell(double v) { text(std::isnan(v) ? std::string("\t") : "\t" + valuetext(v)); }
    void cell(long long v) { text("\t" + std::to_string(v)); }
    void label(const std::string& name) {
        std::string c;
        appendcell(c, name, '\t');  // tabs and line ends become blanks
        text(c);
    }
    void close() {
        flush();
        std::FILE* f = f_;
        f_ = nullptr;
        bool ok = ok_ && std::ferror(f) == 0;
        if (std::fclose(f) != 0) ok = false;
        if (!ok) fatalerror(failed_);  // the staged file is discarded with the run
    }

  private:
    void flush() {
        if (!buf_.empty() && std::fwrite(buf_.data(), 1, buf_.size(), f_) != buf_.size()) ok_ = false;
        buf_.clear();
    }
    std::FILE* f_;
    const char* failed_;
    std::string buf_;
    bool ok_ = true;
};

std::string figuretext(double v) { return std::isnan(v) ? std::string("no data") : valuetext(v); }

// A group's figures as the report and the figures file give them.
struct GroupResult {
    GroupConsensus consensus;
    std::size_t first_pair = 0, pairs = 0;  // its pairs in the run's list
    long long outliers = 0;
    double mean_bray_curtis = NAN, mean_jaccard = NAN;
    Repeatability repeatability;
};

struct Run {
    explicit Run(const ConsensusSettings& settings) : s(settings) {}
    const ConsensusSettings& s;
    FloatTable t;
    std::vector<std::string> samples;  // a label per row: its name, else its number
    std::vector<ReplicateGroup> groups;
    std::vector<GroupResult> results;
    std::vector<PairFigures> pairs;
    std::vector<BinFigures> bins;
    std::vector<Repeatability> bin_repeatability;
    Repeatability overall;

    void compute() {
        const ConsensusRule rule{s.min_present, s.over_present, s.normalise};
        const int cols = t.cols;
        bin_repeatability.assign(static_cast<std::size_t>(cols), Repeatability());
        results.resize(groups.size());
        for (std::size_t g = 0; g < groups.size(); ++g) {
            const std::vector<int>& rows = groups[g].rows;
            GroupResult& r = results[g];
            r.consensus = consensusrow(t.values, cols, rows, rule);
            r.first_pair = pairs.size();
            double bc = 0, jac = 0;
            long long bc_n = 0, jac_n = 0;
            for (std::size_t i = 0; i < rows.size(); ++i)
                for (std::size_t j = i + 1; j < rows.size(); ++j) {
                    pairs.push_back(comparepair(t.values, cols, rows[i], rows[j]));
                    const PairFigures& p = pairs.back();
                    if (!std::isnan(p.bray_curtis)) bc += p.bray_curtis, ++bc_n;
                    if (!std::isnan(p.jaccard)) jac += p.jaccard, ++jac_n;
                    if (p.outlier) ++r.outliers;
                }
            r.pairs = pairs.size() - r.first_pair;
            if (bc_n) r.mean_bray_curtis = bc / static_cast<double>(bc_n);
            if (jac_n) r.mean_jaccard = jac / static_cast<double>(jac_n);
            const int n = static_cast<int>(rows.size());
            for (std::size_t c = 0; c < static_cast<std::size_t>(cols); ++c) {
                const int present = r.consensus.present[c];
                r.repeatability.add(present, n);
                bin_repeatability[c].add(present, n);
                overall.add(present, n);
            }
        }
        bins = binfigures(t.values, cols, pairs);
    }

    void report() const {
        for (std::size_t g = 0; g < groups.size(); ++g) {
            const GroupResult& r = results[g];
            const GroupConsensus& c = r.consensus;
            reportf(
                "Group %s: replicates = %lld, k = %d, bins kept = %lld, dropped = %lld, empty replicates = %d,"
                " pairs = %lld, outlier pairs = %lld, mean Bray-Curtis = %s, mean Jaccard = %s, repeatability = %s\n",
                groups[g].name.c_str(), static_cast<long long>(groups[g].rows.size()), c.k, c.kept, c.dropped,
                c.empty_replicates, static_cast<long long>(r.pairs), r.outliers, figuretext(r.mean_bray_curtis).c_str(),
                figuretext(r.mean_jaccard).c_str(), figuretext(r.repeatability.value()).c_str());
            for (int row : groups[g].rows)
                if (!(replicatetotal(&t.values[static_cast<std::size_t>(row) * static_cast<std::size_t>(t.cols)],
                                     t.cols) > 0))
                    reportf("Empty replicate: %s (row %d) of group %s, absent in every bin\n",
                            samples[static_cast<std::size_t>(row)].c_str(), row + 1, groups[g].name.c_str());
        }
        long long outliers = 0;
        for (const PairFigures& p : pairs) outliers += p.outlier ? 1 : 0;
        reportf(
            "Pairs of replicates = %lld, outlier pairs (mismatch >= 25 %% of the bins, left out of the bins'"
            " reproducibility) = %lld\n",
            static_cast<long long>(pairs.size()), outliers);
        reportf("Median error rate over the pairs used = %s; repeatability indicator overall = %s\n",
                figuretext(medianerror(pairs, t.cols)).c_str(), figuretext(overall.value()).c_str());
    }

    void write_figures(TextOut& out) const {
        out.text("pair\tgroup\tsample_a\tsample_b\tbray_curtis\tjaccard\tmismatches\terror_rate\toutlier\n");
        long long number = 0;
        for (std::size_t g = 0; g < groups.size(); ++g) {
            const GroupResult& r = results[g];
            for (std::size_t i = r.first_pair; i < r.first_pair + r.pairs; ++i) {
                const PairFigures& p = pairs[i];
                out.text(std::to_string(++number) + "\t");
                out.label(groups[g].name);
                out.text("\t");
                out.label(samples[static_cast<std::size_t>(p.a)]);
                out.text("\t");
                out.label(samples[static_cast<std::size_t>(p.b)]);
                out.cell(p.bray_curtis);
                out.cell(p.jaccard);
                out.cell(p.mismatches);
                out.cell(static_cast<double>(p.mismatches) / t.cols);
                out.text(p.outlier ? "\tyes\n" : "\tno\n");
            }
        }
        out.text(
            "\ngroup\treplicates\tk\tbins_kept\tbins_dropped\tempty_replicates\tpairs\toutlier_pairs"
            "\tmean_bray_curtis\tmean_jaccard\trepeatability\n");
        for (std::size_t g = 0; g < groups.size(); ++g) {
            const GroupResult& r = results[g];
            const GroupConsensus& c = r.consensus;
            out.label(groups[g].name);
            for (long long v :
                 {static_cast<long long>(groups[g].rows.size()), static_cast<long long>(c.k), c.kept, c.dropped,
                  static_cast<long long>(c.empty_replicates), static_cast<long long>(r.pairs), r.outliers})
                out.cell(v);
            out.cell(r.mean_bray_curtis);
            out.cell(r.mean_jaccard);
            out.cell(r.repeatability.value());
            out.text("\n");
        }
        out.text("\nbin\treproducibility\treproducibility_present\tpairs_used\tpairs_present\ttested\trepeatability\n");
        for (std::size_t c = 0; c < bins.size(); ++c) {
            const BinFigures& b = bins[c];
            out.text(std::to_string(c + 1));
            out.cell(b.all());
            out.cell(b.present_only());
            out.cell(b.pairs);
            out.cell(b.pairs_present);
            out.cell(b.tested);
            out.cell(bin_repeatability[c].value());
            out.text("\n");
        }
        out.text("\ngroup\tdropped_bin\tpresent\tk\n");
        for (std::size_t g = 0; g < groups.size(); ++g) {
            const GroupConsensus& c = results[g].consensus;
            for (std::size_t b = 0; b < c.present.size(); ++b) {
                if (c.present[b] == 0 || c.present[b] >= c.k) continue;
                out.label(groups[g].name);
                out.cell(static_cast<long long>(b + 1));
                out.cell(static_cast<long long>(c.present[b]));
                out.cell(static_cast<long long>(c.k));
                out.text("\n");
            }
        }
        long long outliers = 0;
        for (const PairFigures& p : pairs) outliers += p.outlier ? 1 : 0;
        out.text("\npairs\toutlier_pairs\tmedian_error_rate\trepeatability\n");
        out.text(std::to_string(pairs.size()));
        out.cell(outliers);
        out.cell(medianerror(pairs, t.cols));
        out.cell(overall.value());
        out.text("\n");
    }
};

// A refusal: the notice, and the same line in the report.
void refuse(const std::string& text) {
    infobox(text.substr(0, 255).c_str());
    reportf("%s\nConsensus stopped: no output written\n", text.c_str());
}

// The map's entries; false (the user told) when it cannot be read or has a
// bad line.
bool readmap(const std::string& path, std::vector<MapEntry>& entries) {
    if (path.empty()) {
        reportf("Replicate map: none (every sample is its own group)\n");
        return true;
    }
    std::FILE* f = isregularfile(path) ? openfile(path, "rb") : nullptr;
    if (!f) {
        refuse("Sorry: can't read the replicate map " + path);
        return false;
    }
    std::string error;
    const bool ok = readreplicatemap(f, entries, error);
    std::fclose(f);
    if (!ok) {
        refuse("Sorry: " + error);
        return false;
    }
    reportf("Replicate map: %s (%lld samples listed)\n", path.c_str(), static_cast<long long>(entries.size()));
    return true;
}

}  // namespace

void replicateconsensus(const ConsensusSettings& s) {
    reportf("Peakprep: replicate consensus\n");
    const std::string cons_name = s.input + "_cons";
    const std::string names_name = cons_name + ".names";
    const std::string rep_name = s.input + "_rep.txt";
    // An output that is the input or the map (a link) would be replaced by
    // the run.
    for (const std::string& out : {cons_name, names_name, rep_name})
        if (samefile(s.input, out) || (!s.map.empty() && samefile(s.map, out)))
            fatalerror("Error: input file is also an output file (replicateconsensus)");

    Run run(s);
    if (!readtable(s.input, run.t)) return;
    // The channel table itself has a row per peak, not per sample.
    const std::string names_file = samplenamesfor(s.input);
    if (names_file.empty() && !namesfile(s.input).empty()) {
        return refuse("Sorry: a channel table has a row per peak; make a class table of it first");
    }
    const std::vector<std::string> names = readsamplenames(names_file);
    if (names.empty())
        reportf("Sample names: none found (samples are named by their row number)\n");
    else
        reportf("Sample names: %s\n", names_file.c_str());
    for (int r = 0; r < run.t.rows; ++r) {
        const std::string& name = samplename(names, r + 1);
        run.samples.push_back(name.empty() ? std::to_string(r + 1) : name);
    }

    std::vector<MapEntry> entries, absent;
    if (!readmap(s.map, entries)) return;
    run.groups = groupreplicates(run.samples, entries, absent);
    for (const MapEntry& e : absent)
        reportf("Warning: replicate map line %lld names sample %s, which the table does not have\n", e.line,
                e.sample.c_str());
    if (!absent.empty())
        reportf("Samples of the map absent from the table = %lld\n", static_cast<long long>(absent.size()));

    // A map group and an unlisted sample of the same name stay two groups;
    // their rows in the names file would be told apart only by position.
    std::map<std::string, long long> named;
    for (const ReplicateGroup& g : run.groups) ++named[g.name];
    for (const auto& n : named)
        if (n.second > 1) reportf("Warning: %lld groups are named %s\n", n.second, n.first.c_str());
    long long not_present = 0;
    for (float v : run.t.values) not_present += std::isfinite(v) && v >= 0 ? 0 : 1;
    if (not_present) reportf("Cells not finite or below 0 (counted as absent) = %lld\n", not_present);

    long long pair_count = 0;
    for (const ReplicateGroup& g : run.groups) {
        const long long n = static_cast<long long>(g.rows.size());
        pair_count += n * (n - 1) / 2;
    }
    if (pair_count > kMaxPairs || static_cast<double>(pair_count) * run.t.cols > kMaxPairCells) {
        const std::string why = "Sorry: the replicate groups make " + std::to_string(pair_count) +
                                " pairs to compare over " + std::to_string(run.t.cols) +
                                " bins, too many; check the replicate map";
        return refuse(why);
    }
    reportf(
        "Groups = %lld; min. replicates present k = %d (capped at each group's size); average over %s;"
        " replicates %s\n",
        static_cast<long long>(run.groups.size()), s.min_present, s.over_present ? "present" : "all",
        s.normalise ? "normalised by their own total first" : "not normalised");
    reportf("A bin is present in a replicate when its value is above 0\n");

    run.compute();
    run.report();

    std::vector<float> cons;
    cons.reserve(run.groups.size() * static_cast<std::size_t>(run.t.cols));
    for (const GroupResult& r : run.results)
        cons.insert(cons.end(), r.consensus.values.begin(), r.consensus.values.end());

    // The three files are written under temporary names and put in place
    // together, so a failure leaves the earlier ones as they were.
    const std::string staged_cons = stageoutput(cons_name, "Error: can't open binary output file (ouvecr)");
    const std::string staged_names = stageoutput(names_name, "Error: can't open names file (replicateconsensus)");
    const std::string staged_rep = stageoutput(rep_name, "Error: can't open figures file (replicateconsensus)");
    const int group_count = static_cast<int>(run.groups.size());
    writetable(staged_cons, cons, group_count, run.t.cols);
    {
        TextOut out(staged_names, "Error: can't write names file (replicateconsensus)");
        for (int g = 0; g < group_count; ++g) {
            out.text("Echantillon " + std::to_string(g + 1) + " = ");
            out.label(run.groups[static_cast<std::size_t>(g)].name);
            out.text("\r\n");
        }
        out.close();
    }
    {
        TextOut out(staged_rep, "Error: can't write figures file (replicateconsensus)");
        run.write_figures(out);
        out.close();
    }
    commitoutputs();
    reportf("Output file: %s (a row per group, in the order of each group's first sample)\n", cons_name.c_str());
    reportf("--- Number of rows: %d, columns: %d\n", group_count, run.t.cols);
    reportf("Group names: %s\n", names_name.c_str());
    reportf("Figures: %s (sections: pairs, groups, bins, dropped bins, overall)\n", rep_name.c_str());
}
