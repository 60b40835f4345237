#include "companion/import/importer.h"

#include <cstdio>
#include <cstring>

#include "companion/common/fields.h"
#include "companion/import/linereader.h"
#include "companion/import/peakcode.h"

namespace {

const char kHeader[] =
    "Dye/Sample Peak\tSample File Name\tSample Name\tDye\tSample Peak\tData Point\tSize\tHeight\tArea\n";

std::string basename(const std::string& path) {
    std::size_t at = path.find_last_of(
#if defined(_WIN32)
        "/\\:"
#else
        "/"
#endif
    );
    return at == std::string::npos ? path : path.substr(at + 1);
}

void withoutblanks(std::string& s) {
    for (char& c : s)
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') c = '_';
}

std::string_view field(const std::vector<std::string_view>& f, int i) {
    return i >= 0 && static_cast<std::size_t>(i) < f.size() ? f[static_cast<std::size_t>(i)] : std::string_view();
}

// A size of 0 is no size: GeneScan-era programs write it for peaks
// outside the size standard.
bool unsized(std::string_view s) {
    if (s.empty()) return true;
    for (char c : s)
        if (c != '0' && c != '.' && c != '+' && c != '-') return false;
    return true;
}

bool tabbed(std::string_view line) { return line.find('\t') != std::string_view::npos; }

}  // namespace

bool Importer::add(const std::string& path, std::string& error) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = path + ": cannot open";
        return false;
    }
    bool ok = add(f, path, error);
    std::fclose(f);
    return ok;
}

bool Importer::add(std::FILE* f, const std::string& path, std::string& error) {
    const std::string base = basename(path);
    LineReader reader(f);
    std::string_view l;
    Format format = Format::Unknown;
    Columns cols;
    char sep = '\t';
    while (format == Format::Unknown && reader.number() < kHeaderSearchLines && reader.next(l)) {
        sep = tabbed(l) ? '\t' : ',';
        splitfields(l, sep, static_cast<std::size_t>(-1), fields_, scratch_);
        if (reader.number() == 1 && (options_.format == Format::Unknown || options_.format == Format::GeneScan) &&
            sep == '\t' && genescanline(fields_)) {
            format = Format::GeneScan;
            cols = genescancolumns();
            last_ = -1;
            line(l, cols, format, path, base, 1);
            break;
        }
        Format h = headerformat(fields_, options_.area_bp, cols);
        if (h != Format::Unknown && (options_.format == Format::Unknown || options_.format == h)) format = h;
    }
    cols.sep = sep;
    if (format == Format::Unknown) {
        error = path + (reader.failed() ? ": cannot read"
                                        : ": not a peak table this program reads (GeneMapper, Peak Scanner, "
                                          "GeneMarker or GeneScan; columns are found by their names)");
        return false;
    }
    last_ = -1;
    while (reader.next(l)) line(l, cols, format, path, base, reader.number());
    if (reader.failed()) {
        error = path + ": cannot read";
        return false;
    }
    files_.push_back(path + ": " + formatname(format));
    return true;
}

void Importer::skip(Skip kind, const std::string& file, long number) {
    SkipCount& s = skips_[kind];
    if (s.count++ == 0) s.first = file + " line " + std::to_string(number);
}

int Importer::sample(const std::string& name, const std::string& file) {
    if (last_ < 0 || samples_[static_cast<std::size_t>(last_)].name != name) {
        auto it = index_.find(name);
        if (it == index_.end()) {
            it = index_.emplace(name, static_cast<int>(samples_.size())).first;
            samples_.push_back(Sample{name, file});
        }
        last_ = it->second;
    }
    Sample& s = samples_[static_cast<std::size_t>(last_)];
    if (!s.shared && s.file != file) {
        s.shared = true;
        shared_.push_back(name);
    }
    return last_;
}

void Importer::line(std::string_view text, const Columns& cols, Format format, const std::string& file,
                    const std::string& base, long number) {
    if (text.find_first_not_of(" \t,") == std::string_view::npos) return;  // a blank line
    ++lines_;
    splitfields(text, cols.sep, cols.needed, fields_, scratch_);

    PeakCode code;
    if (cols.code >= 0) {
        if (!parsecode(field(fields_, cols.code), code)) return skip(kMalformed, file, number);
    } else {
        std::string_view d = field(fields_, cols.dye);
        if (d.empty()) return skip(kMalformed, file, number);
        code.dye = dyeword(d);
    }
    if (code.size_standard) return skip(kSizeStandard, file, number);
    if (code.dye == 0) return skip(kUnknownDye, file, number);
    std::string_view size = field(fields_, cols.size), height = field(fields_, cols.height),
                     area = field(fields_, cols.area), point = field(fields_, cols.point);
    if (!size.empty() && !isnumber(size)) return skip(kMalformed, file, number);
    if (unsized(size)) return skip(kUnsized, file, number);
    if (!isnumber(height) || !isnumber(area) || (!point.empty() && !isnumber(point)))
        return skip(kMalformed, file, number);

    // Sample name: "Sample Name", else the sample file without its
    // extension, else the export's own file name.
    std::string_view sfile = field(fields_, cols.file);
    filename_.assign(sfile.data(), sfile.size());
    name_.assign(field(fields_, cols.name).data(), field(fields_, cols.name).size());
    if (format == Format::GeneScan) name_ = base;
    if (name_.empty() && !filename_.empty()) {
        std::size_t dot = filename_.find_last_of('.');
        name_ = filename_.substr(0, dot == 0 ? std::string::npos : dot);
    }
    if (name_.empty()) name_ = base;
    withoutblanks(name_);
    withoutblanks(filename_);
    const int s = sample(name_, filename_.empty() ? file : filename_);
    Sample& smp = samples_[static_cast<std::size_t>(s)];
    ++smp.next_peak[code.dye];

    const std::uint32_t key = static_cast<std::uint32_t>(s) * 8u + static_cast<std::uint32_t>(code.dye);
    if (!records_.empty() && key < records_.back().key) sorted_ = false;
    char counted[16];
    std::string_view peak = code.number;
    if (cols.code < 0)
        peak = std::string_view(counted, static_cast<std::size_t>(
                                             std::snprintf(counted, sizeof counted, "%ld", smp.next_peak[code.dye])));
    if (point.empty()) point = "0";
    const std::string& sfile_out = filename_.empty() ? name_ : filename_;
    // The output line, sized once and filled piece by piece.
    const std::string_view pieces[] = {peak, sfile_out, name_, peak, point, size, height, area};
    std::size_t len = 2 + 1 + 1 + 8;  // "X," + dye digit + separators and line end
    for (std::string_view p : pieces) len += p.size();
    const std::size_t at = text_.size();
    text_.resize(at + len);
    char* o = &text_[at];
    *o++ = dyeletter(code.dye);
    *o++ = ',';
    auto put = [&o](std::string_view p, char after) {
        std::memcpy(o, p.data(), p.size());
        o += p.size();
        *o++ = after;
    };
    put(peak, '\t');
    put(sfile_out, '\t');
    put(name_, '\t');
    *o++ = static_cast<char>('0' + code.dye);
    *o++ = '\t';
    put(peak, '\t');
    put(point, '\t');
    put(size, '\t');
    put(height, '\t');
    put(area, '\n');
    records_.push_back({key, static_cast<std::uint32_t>(len), at});
}

bool Importer::write(std::FILE* out) {
    std::fputs(kHeader, out);
    std::vector<std::uint32_t> order;
    if (!sorted_) {
        // A stable counting sort of the lines by sample and dye.
        const std::size_t keys = samples_.size() * 8 + 8;
        std::vector<std::size_t> start(keys + 1, 0);
        for (const Record& r : records_) ++start[r.key + 1];
        for (std::size_t k = 1; k <= keys; ++k) start[k] += start[k - 1];
        order.resize(records_.size());
        for (std::size_t i = 0; i < records_.size(); ++i) order[start[records_[i].key]++] = static_cast<std::uint32_t>(i);
    }
    separators_ = 0;
    std::string block;
    block.reserve((1u << 20) + 4096);
    std::uint32_t previous = 0;
    for (std::size_t n = 0; n < records_.size(); ++n) {
        const Record& r = records_[sorted_ ? n : order[n]];
        // Option 1 opens a channel's block when the dye changes from one
        // line to the next: a sample that begins with the dye the previous
        // one ended with gets a line of dye 0 first, which opens it.
        if (n > 0 && (r.key >> 3) != (previous >> 3) && (r.key & 7) == (previous & 7)) {
            block += "-\t-\t";
            block += samples_[r.key >> 3].name;
            block += "\t0\t0\t0\t0\t0\t0\n";
            ++separators_;
        }
        previous = r.key;
        block.append(text_, r.at, r.len);
        if (block.size() >= (1u << 20)) {
            std::fwrite(block.data(), 1, block.size(), out);
            block.clear();
        }
    }
    std::fwrite(block.data(), 1, block.size(), out);
    return std::fflush(out) == 0 && !std::ferror(out);
}
