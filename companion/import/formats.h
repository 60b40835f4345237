// The peak-table exports the import reads, and where their values are.
//
//   GeneMapper   "Dye/Sample Peak" tables, tab or comma separated: codes
//                such as "B,12" (quoted), size-standard codes "R,1     *",
//                Size empty for unsized peaks, optional Marker/Allele
//                columns, sometimes a trailing tab on every line.
//   Peak Scanner 26 named columns: "B, 1" codes, two areas ("Area in
//                Point" and "Area in BP"), lines ending in runs of tabs.
//   GeneMarker   a preamble of a dozen lines, then a header naming Sample,
//                Dye (spelled out: Blue, Green, Yellow, Red, Orange), Size,
//                Height and Area; no peak numbers and no data points.
//   GeneScan     one file per sample, no header: code, minutes, size,
//                height, area, data point; the file name is the sample name.
// Columns are found by name (see columnkey), never by position.
#pragma once

#include <string>
#include <string_view>
#include <vector>

enum class Format { Unknown, GeneMapper, PeakScanner, GeneMarker, GeneScan };

const char* formatname(Format f);
// "genemapper", "peakscanner", "genemarker", "genescan"; Unknown otherwise.
Format formatfromword(const std::string& word);

// Field positions (0-based) of one export's values; -1 when absent.
struct Columns {
    int code = -1;  // dye/peak code such as "B,12"
    int dye = -1;   // spelled-out dye (GeneMarker)
    int name = -1;  // sample name
    int file = -1;  // sample file name
    int size = -1, height = -1, area = -1, point = -1;
    std::size_t needed = 0;  // fields up to the last column used
    char sep = '\t';         // tab, comma or semicolon
};

// The format of a header line and its columns; Unknown when the line is not
// a header of any of them.  area_bp picks Peak Scanner's "Area in BP".
Format headerformat(const std::vector<std::string_view>& fields, bool area_bp, Columns& cols);

// When fields are not a header: what a header of a known format would need
// and they lack ("no Height column"), if they name at least two columns of
// one; else "".  A header of another format than the one forced is named.
std::string headerlacks(const std::vector<std::string_view>& fields, bool area_bp, Format forced);

// The character that seems to separate the fields of a line that has no
// tab, comma or semicolon (the most frequent punctuation character, if it
// occurs twice), or 0.
char seenseparator(std::string_view line);

// A number written with a decimal comma ("100,5", "-0,25"), which the
// import does not read (it cannot tell it from a thousands separator).
bool decimalcomma(std::string_view s);

// A headerless GeneScan line starts with an unquoted dye/peak code.
bool genescanline(const std::vector<std::string_view>& fields);
Columns genescancolumns();

// Lines of a file searched for a header (GeneMarker's preamble included);
// a longer line, or fields past the first kHeaderFields, are no header.
const int kHeaderSearchLines = 40;
const std::size_t kHeaderLineMax = 64 * 1024;
const std::size_t kHeaderFields = 512;
