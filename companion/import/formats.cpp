#include "companion/import/formats.h"

#include <cctype>
#include <cstring>

#include "companion/common/fields.h"
#include "companion/import/peakcode.h"

const char* formatname(Format f) {
    switch (f) {
        case Format::GeneMapper:
            return "GeneMapper table";
        case Format::PeakScanner:
            return "Peak Scanner table";
        case Format::GeneMarker:
            return "GeneMarker peak table";
        case Format::GeneScan:
            return "GeneScan sample file";
        default:
            return "unknown";
    }
}

Format formatfromword(const std::string& word) {
    const std::string k = columnkey(word);
    if (k == "genemapper") return Format::GeneMapper;
    if (k == "peakscanner") return Format::PeakScanner;
    if (k == "genemarker") return Format::GeneMarker;
    if (k == "genescan") return Format::GeneScan;
    return Format::Unknown;
}

namespace {

int find(const std::vector<std::string>& keys, std::initializer_list<const char*> names) {
    for (const char* n : names)
        for (std::size_t i = 0; i < keys.size(); ++i)
            if (keys[i] == n) return static_cast<int>(i);
    return -1;
}

void count_needed(Columns& c) {
    int last = -1;
    for (int i : {c.code, c.dye, c.name, c.file, c.size, c.height, c.area, c.point})
        if (i > last) last = i;
    c.needed = static_cast<std::size_t>(last + 1);
}

}  // namespace

Format headerformat(const std::vector<std::string_view>& fields, bool area_bp, Columns& cols) {
    std::vector<std::string> keys;
    for (std::string_view f : fields) keys.push_back(columnkey(f));
    Columns c;
    c.size = find(keys, {"size"});
    c.height = find(keys, {"height", "peakheight"});
    c.point = find(keys, {"datapoint"});
    if (c.size < 0 || c.height < 0) return Format::Unknown;
    Format format = Format::Unknown;
    c.code = find(keys, {"dyesamplepeak"});
    if (c.code >= 0) {
        c.name = find(keys, {"samplename"});
        c.file = find(keys, {"samplefilename"});
        const int in_point = find(keys, {"areainpoint"}), in_bp = find(keys, {"areainbp"});
        if (in_point >= 0 || in_bp >= 0) {
            format = Format::PeakScanner;
            c.area = area_bp ? in_bp : in_point;
        } else {
            format = Format::GeneMapper;
            c.area = find(keys, {"area", "peakarea"});
        }
    } else {
        c.dye = find(keys, {"dye", "dyecolor", "color"});
        c.name = find(keys, {"sample", "samplename"});
        c.file = find(keys, {"samplefilename", "samplefile"});
        c.area = find(keys, {"area", "peakarea"});
        if (c.dye >= 0 && (c.name >= 0 || c.file >= 0)) format = Format::GeneMarker;
    }
    if (format == Format::Unknown || c.area < 0) return Format::Unknown;
    count_needed(c);
    cols = c;
    return format;
}

std::string headerlacks(const std::vector<std::string_view>& fields, bool area_bp, Format forced) {
    std::vector<std::string> keys;
    for (std::string_view f : fields) keys.push_back(columnkey(f));
    Columns c;
    Format found = headerformat(fields, area_bp, c);
    if (found != Format::Unknown) {
        if (forced != Format::Unknown && forced != found)
            return std::string("it is a header of a ") + formatname(found) + ", not of the format asked for";
        return "";
    }
    const int code = find(keys, {"dyesamplepeak"}), dye = find(keys, {"dye", "dyecolor", "color"});
    const int name = find(keys, {"samplename", "sample", "samplefilename", "samplefile"});
    const int size = find(keys, {"size"}), height = find(keys, {"height", "peakheight"});
    const int in_point = find(keys, {"areainpoint"}), in_bp = find(keys, {"areainbp"});
    const int area = find(keys, {"area", "peakarea"});
    int known = 0;
    for (int i : {code, dye, name, size, height, in_point, in_bp, area})
        if (i >= 0) ++known;
    if (known < 2) return "";
    std::string lacks;
    auto need = [&lacks](const char* what) { lacks += lacks.empty() ? std::string(what) : std::string(", ") + what; };
    if (code < 0 && dye < 0) need("Dye/Sample Peak or Dye");
    if (code < 0 && name < 0) need("Sample Name or Sample File Name");
    if (size < 0) need("Size");
    if (height < 0) need("Height");
    if (in_point >= 0 || in_bp >= 0) {
        if (area_bp && in_bp < 0) need("Area in BP");
        if (!area_bp && in_point < 0) need("Area in Point");
    } else if (area < 0) {
        need("Area");
    }
    return lacks.empty() ? "" : "it names no " + lacks + " column";
}

char seenseparator(std::string_view line) {
    int counts[128] = {};
    for (char ch : line) {
        unsigned char u = static_cast<unsigned char>(ch);
        // Characters that column names themselves hold are no separator.
        if (u < 128 && std::ispunct(u) && !std::strchr("/._-()\"'#%", ch)) ++counts[u];
    }
    int best = 0;
    for (int i = 1; i < 128; ++i)
        if (counts[i] > counts[best]) best = i;
    return counts[best] >= 2 ? static_cast<char>(best) : 0;
}

bool decimalcomma(std::string_view s) {
    std::size_t i = 0, n = s.size();
    if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t start = i;
    while (i < n && s[i] >= '0' && s[i] <= '9') ++i;
    if (i == start || i >= n || s[i] != ',') return false;
    start = ++i;
    while (i < n && s[i] >= '0' && s[i] <= '9') ++i;
    return i > start && i == n;
}

bool genescanline(const std::vector<std::string_view>& fields) {
    PeakCode code;
    return fields.size() >= 6 && !fields[0].empty() && parsecode(fields[0], code) && isnumber(fields[2]) &&
           isnumber(fields[3]) && isnumber(fields[4]);
}

Columns genescancolumns() {
    Columns c;
    c.code = 0;
    c.size = 2;
    c.height = 3;
    c.area = 4;
    c.point = 5;
    c.needed = 6;
    return c;
}
