// Peakprep's four options: their settings, as converted from the typed
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
