// Peakprep's eight options: their settings, as converted from the typed
// values, and their entries.  Each entry reads the suite's tables, stages its
// outputs (named after its input with a suffix) and writes its report lines;
// a failure goes through fatalerror.
#pragma once

#include <string>

// "Import peak table": a peak table of today's programs turned into the
// layout "Read Genescan file" reads, as <input base>.gs.txt beside it.
void importpeaktable(const std::string& input, bool area_in_bp);

// "Filter peaks"; each limit is off when 0.
struct FilterSettings {
    std::string input;             // a channel table (Chan1..Chan4)
    double min_size = 0;           // bp
    double max_size = 0;           // bp
    double min_height = 0;         // RFU
    double relative = 0;           // % of the profile total
    bool use_area = false;         // the relative and statistical filters on area, else height
    double stat_k = 0;             // the statistical filter's factor
    bool stat_per_sample = false;  // else pooled over all samples
    double merge_below = 0;        // bp: peaks closer than this are merged
    double max_span = 0;           // bp: the widest a merged peak may span
};
void filterpeaks(const FilterSettings& settings);

// "Profile summary": a class table to presence/absence and diversity
// figures.
void profilesummary(const std::string& input, double presence_threshold);

// "Export table": a binary table as CSV, TSV or an SVG heat map.
enum class ExportFormat { csv = 1, tsv = 2, svg = 3 };
void exporttable(const std::string& input, ExportFormat format, const std::string& names);

// "Bin by clusters": a channel table's peaks binned by clusters whose widths
// follow the data.
struct ClusterSettings {
    std::string input;        // a channel table (Chan1..Chan4)
    double min_width = 1;     // bp: a run this narrow is one bin even with a sample twice
    double max_width = 1.5;   // bp: no bin is wider
    double tolerance = 0.97;  // cut candidates: gaps of at least this share of the largest gap
    double min_size = 0;      // bp, 0 = off
    double max_size = 0;      // bp, 0 = off
    bool use_area = false;    // cells from area, else height
    int cell = 1;             // 1 sum, 2 max, 3 mean of a sample's peaks in a bin
    bool percent = true;      // each row as percentages of its total
    int min_samples = 1;      // bins in fewer samples are dropped
};
void binbyclusters(const ClusterSettings& settings);

// "Shifted frames": fixed windows tried at every offset step, the one whose
// samples agree best kept.
struct FrameSettings {
    std::string input;         // a channel table (Chan1..Chan4)
    double width = 1;          // bp
    double step = 0.1;         // bp
    int frames = 10;           // width / step
    double min_size = 0;       // bp, 0 = off
    double max_size = 0;       // bp, 0 = off
    double cutoff = 0;         // relative cutoff, % of the sample total, 0 = off
    bool use_area = true;      // values from area, else height
    bool bray_curtis = false;  // the criterion, else Pearson
    bool fixed_offset = false; // use offset instead of choosing the best
    double offset = 0;         // bp, below width
};
void shiftedframes(const FrameSettings& settings);

// "Replicate consensus": the replicate rows of a class table joined into one
// row per group, with their reproducibility figures.
struct ConsensusSettings {
    std::string input;          // a class table (rows are samples)
    std::string map;            // lines "sample<TAB>group"; empty: every sample is its own group
    int min_present = 2;        // k, capped at the group size
    bool over_present = false;  // the mean over the present replicates, else over all
    bool normalise = true;      // each replicate divided by its own total first
};
void replicateconsensus(const ConsensusSettings& settings);

// "Flag pull-up": peaks that another dye of the same sample explains.
struct PullupSettings {
    std::string input;       // one of Chan1..Chan4; the other three beside it
    double tolerance = 0.5;  // bp
    double min_ratio = 10;   // the parent's height over the flagged peak's
};
void flagpullup(const PullupSettings& settings);
