#include "companion/import/importer.h"

#include <cstdio>
#include <cstring>
#include <limits>

#include "base/files.h"
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

// memcpy for the short fields of a line: inline, in at most two moves of
// up to eight bytes each (the library call costs more than the copy).
inline void shortcopy(char* to, const char* from, std::size_t n) {
    if (n > 16) {
        std::memcpy(to, from, n);
    } else if (n >= 8) {
        std::uint64_t a, b;
        std::memcpy(&a, from, 8);
        std::memcpy(&b, from + n - 8, 8);
        std::memcpy(to, &a, 8);
        std::memcpy(to + n - 8, &b, 8);
    } else if (n >= 4) {
        std::uint32_t a, b;
        std::memcpy(&a, from, 4);
        std::memcpy(&b, from + n - 4, 4);
        std::memcpy(to, &a, 4);
        std::memcpy(to + n - 4, &b, 4);
    } else {
        for (std::size_t i = 0; i < n; ++i) to[i] = from[i];
    }
}

// Bytes of a sample name that option 1 keeps.
const std::size_t kNameMax = 255;
// Peaks one import holds (the sort numbers them in 32 bits).
const std::size_t kMaxPeaks = std::numeric_limits<std::uint32_t>::max() / 2;

inline bool unclean(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\0'; }

// Option 1 splits fields on blanks and ends a line at a NUL byte: both
// become '_'.  True when something changed.
bool withoutblanks(std::string& s) {
    bool changed = false;
    for (char& c : s)
        if (unclean(c)) {
            c = '_';
            changed = true;
        }
    return changed;
}

bool needscleaning(const std::string& s, std::size_t max) {
    if (s.size() > max) return true;
    for (char c : s)
        if (unclean(c)) return true;
    return false;
}

// A name as a message shows it: control bytes as \xNN, at most 60 bytes.
std::string shown(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size() && i < 60; ++i) {
        unsigned char u = static_cast<unsigned char>(s[i]);
        if (u < 0x20 || u == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", u);
            out += hex;
        } else {
            out += s[i];
        }
    }
    if (s.size() > 60) out += "...";
    return out;
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

}  // namespace

bool Importer::add(const std::string& path, std::string& error) {
    // A folder cannot be read, and a pipe or a device might never end.
    FileKind kind = filekind(path);
    if (kind == FileKind::missing) {
        error = path + ": cannot open";
        return false;
    }
    if (kind != FileKind::regular) {
        error = path + ": is a folder or a device, not a file";
        return false;
    }
    std::FILE* f = openfile(path, "rb");
    if (!f) {
        error = path + ": cannot open";
        return false;
    }
    // The same file twice would double every peak.  Files of another size
    // are other files, so only files of the same size are compared.
    long size = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) size = std::ftell(f);
    std::rewind(f);
    for (std::size_t i = 0; i < paths_.size(); ++i)
        if ((sizes_[i] == size || sizes_[i] < 0 || size < 0) && samefile(paths_[i], path)) {
            std::fclose(f);
            error = path + ": given twice (also as " + paths_[i] + "); each file is read once";
            return false;
        }
    pending_size_ = size;
    bool ok = add(f, path, error);
    std::fclose(f);
    return ok;
}

bool Importer::add(std::FILE* f, const std::string& path, std::string& error) {
    const std::string base = basename(path);
    paths_.push_back(path);
    sizes_.push_back(pending_size_);
    pending_size_ = -1;
    stop_.clear();
    same_valid_ = false;  // the file and its base name change
    LineReader reader(f);
    Columns cols;
    std::string hint;  // why the best candidate line was no header
    const Format format = find_header(reader, path, base, cols, hint);
    if (format == Format::Unknown) {
        if (reader.failed())
            error = path + ": cannot read";
        else
            error = path + ": not a peak table this program reads (" +
                    (hint.empty() ? std::string("GeneMapper, Peak Scanner, GeneMarker or GeneScan; columns are found "
                                                "by their names")
                                  : hint) +
                    ")";
        return false;
    }
    last_ = -1;
    std::string_view l;
    while (stop_.empty() && reader.next(l)) line(l, cols, format, path, base, reader.number(), reader.cut());
    if (!stop_.empty()) {
        error = path + ": " + stop_;
        return false;
    }
    if (reader.failed()) {
        error = path + ": cannot read";
        return false;
    }
    files_.push_back(path + ": " + formatname(format) +
                     (reader.encoding() ? std::string(", ") + reader.encoding() : ""));
    return true;
}

Format Importer::find_header(LineReader& reader, const std::string& path, const std::string& base, Columns& cols,
                             std::string& hint) {
    std::string_view l;
    while (reader.number() < kHeaderSearchLines && reader.next(l)) {
        if (reader.cut() || l.size() > kHeaderLineMax) continue;  // no header is that long
        if (l.find('\0') != std::string_view::npos) {
            // Column names with NUL bytes between their letters would match
            // once the NULs are dropped, and every line after them fail.
            if (hint.empty())
                hint = "line " + std::to_string(reader.number()) +
                       " holds NUL bytes: UTF-16 text without a byte-order mark? Save it as UTF-8";
            continue;
        }
        const bool tabbed = l.find('\t') != std::string_view::npos;
        if (reader.number() == 1 && (options_.format == Format::Unknown || options_.format == Format::GeneScan) &&
            tabbed) {
            splitfields(l, '\t', kHeaderFields, fields_, scratch_);
            if (genescanline(fields_)) {
                // A headerless sample file: its first line is a peak.
                cols = genescancolumns();
                cols.sep = '\t';
                last_ = -1;
                line(l, cols, Format::GeneScan, path, base, 1, false);
                return Format::GeneScan;
            }
        }
        const bool blank = l.find_first_not_of(" \t,;") == std::string_view::npos;
        bool split = false;
        for (char sep : {'\t', ',', ';'}) {
            if (l.find(sep) == std::string_view::npos) continue;
            split = true;
            splitfields(l, sep, kHeaderFields, fields_, scratch_);
            Columns c;
            Format h = headerformat(fields_, options_.area_bp, c);
            if (h != Format::Unknown && (options_.format == Format::Unknown || options_.format == h)) {
                cols = c;
                cols.sep = sep;
                return h;
            }
            if (hint.empty()) {
                std::string lacks = headerlacks(fields_, options_.area_bp, options_.format);
                if (!lacks.empty()) hint = "line " + std::to_string(reader.number()) + ": " + lacks;
            }
        }
        if (!hint.empty() || blank || split) continue;
        // Column names run together: a separator this program does not read?
        const std::string key = columnkey(l);
        const char seen = seenseparator(l);
        if (seen && key.find("size") != std::string::npos && key.find("height") != std::string::npos)
            hint = "line " + std::to_string(reader.number()) + ": fields separated by '" + seen +
                   "'; the separators read are tab, comma and semicolon";
    }
    return Format::Unknown;
}

void Importer::skip(Skip kind, const std::string& file, long number) {
    SkipCount& s = skips_[static_cast<int>(kind)];
    if (s.count++ == 0) s.first = file + " line " + std::to_string(number);
}

int Importer::sample(const std::string& name, const std::string& raw, const std::string& file) {
    if (last_ < 0 || samples_[static_cast<std::size_t>(last_)].name != name) {
        auto it = index_.find(name);
        if (it == index_.end()) {
            it = index_.emplace(name, static_cast<int>(samples_.size())).first;
            samples_.push_back(Sample{name, raw, file});
        }
        last_ = it->second;
    }
    Sample& s = samples_[static_cast<std::size_t>(last_)];
    if (!s.shared && s.file != file) {
        s.shared = true;
        shared_.push_back(name);
    }
    if (!s.merged && s.raw != raw) {
        s.merged = true;
        merged_.push_back({shown(s.raw), shown(raw), shown(name)});
    }
    return last_;
}

std::uint32_t Importer::filename(const std::string& name) {
    if (!filenames_.empty() && filenames_[last_filename_] == name) return last_filename_;
    auto it = filename_index_.find(name);
    if (it == filename_index_.end()) {
        it = filename_index_.emplace(name, static_cast<std::uint32_t>(filenames_.size())).first;
        filenames_.push_back(name);
    }
    last_filename_ = it->second;
    return last_filename_;
}

// Room for len bytes of text in the last block, or in a new one.
char* Importer::new_text(std::size_t len, std::uint64_t& at) {
    if (kTextBlock - text_used_ < len || text_.empty()) {
        const std::size_t size = len > kTextBlock ? len : kTextBlock;
        text_.push_back(std::unique_ptr<char[]>(new char[size]));
        // A block of its own for a longer text is full at once.
        text_used_ = len > kTextBlock ? kTextBlock : 0;
        at = static_cast<std::uint64_t>(text_.size() - 1) << 32;
        if (len > kTextBlock) return text_.back().get();
    }
    at = (static_cast<std::uint64_t>(text_.size() - 1) << 32) | text_used_;
    char* o = text_.back().get() + text_used_;
    text_used_ += len;
    return o;
}

void Importer::line(std::string_view text, const Columns& cols, Format format, const std::string& file,
                    const std::string& base, long number, bool cut) {
    if (text.find_first_not_of(" \t,;") == std::string_view::npos) return;  // a blank line
    ++lines_;
    DataLine d;
    if (!check_line(text, cols, file, number, cut, d)) return;
    if (count_ >= kMaxPeaks || samples_.size() >= kMaxPeaks / 8) {
        stop_ = "more peaks than one import holds";
        return;
    }
    keep(line_sample(cols, format, file, base), d, cols);
}

bool Importer::check_line(std::string_view text, const Columns& cols, const std::string& file, long number, bool cut,
                          DataLine& d) {
    auto skipped = [&](Skip kind) {
        skip(kind, file, number);
        return false;
    };
    // A number with a decimal comma stops the import.
    auto comma = [&](const char* what, std::string_view v) {
        stop_ = "line " + std::to_string(number) + ": the " + what + " \"" + std::string(v) +
                "\" has a decimal comma; this program reads numbers with a decimal point only";
        return false;
    };
    if (cut) return skipped(kMalformed);
    // A quote left open: a quoted line break, or a stray quote.
    if (!splitfields(text, cols.sep, cols.needed, fields_, scratch_)) return skipped(kMalformed);

    if (cols.code >= 0) {
        if (!parsecode(field(fields_, cols.code), d.code)) return skipped(kMalformed);
    } else {
        std::string_view dye = field(fields_, cols.dye);
        if (dye.empty()) return skipped(kMalformed);
        d.code.dye = dyeword(dye);
    }
    if (d.code.size_standard) return skipped(kSizeStandard);
    if (d.code.dye == 0) return skipped(kUnknownDye);
    d.size = field(fields_, cols.size);
    d.height = field(fields_, cols.height);
    d.area = field(fields_, cols.area);
    d.point = field(fields_, cols.point);
    if (!d.size.empty() && !isnumber(d.size)) return decimalcomma(d.size) ? comma("size", d.size) : skipped(kMalformed);
    if (unsized(d.size)) return skipped(kUnsized);
    if (!isnumber(d.height) || !isnumber(d.area) || (!d.point.empty() && !isnumber(d.point))) {
        for (std::string_view v : {d.height, d.area, d.point})
            if (decimalcomma(v)) return comma("number", v);
        return skipped(kMalformed);
    }
    return true;
}

int Importer::line_sample(const Columns& cols, Format format, const std::string& file, const std::string& base) {
    std::string_view sfile = field(fields_, cols.file);
    std::string_view sname = field(fields_, cols.name);
    // Lines of one sample follow each other: the same two fields as the line
    // before give the same sample and sample file, without cleaning the
    // names again.
    if (same_valid_ && sfile == same_file_ && sname == same_name_) {
        fileid_ = same_fileid_;
        return same_sample_;
    }
    // Sample name: "Sample Name", else the sample file without its
    // extension, else the export's own file name.
    filename_.assign(sfile.data(), sfile.size());
    name_.assign(sname.data(), sname.size());
    if (format == Format::GeneScan) name_ = base;
    if (name_.empty() && !filename_.empty()) {
        std::size_t dot = filename_.find_last_of('.');
        name_ = filename_.substr(0, dot == 0 ? std::string::npos : dot);
    }
    if (name_.empty()) name_ = base;
    // The name as written, to tell two names apart that clean to one.
    const bool dirty = needscleaning(name_, kNameMax);
    if (dirty) {
        raw_ = name_;
        withoutblanks(name_);
        if (name_.size() > kNameMax) name_.resize(kNameMax);
    }
    withoutblanks(filename_);
    const int s = sample(name_, dirty ? raw_ : name_, filename_.empty() ? file : filename_);
    fileid_ = filename(filename_.empty() ? name_ : filename_);
    same_file_.assign(sfile.data(), sfile.size());
    same_name_.assign(sname.data(), sname.size());
    same_sample_ = s;
    same_fileid_ = fileid_;
    same_valid_ = true;
    return s;
}

void Importer::keep(int s, const DataLine& d, const Columns& cols) {
    Sample& smp = samples_[static_cast<std::size_t>(s)];
    ++smp.next_peak[d.code.dye];

    const std::uint32_t key = static_cast<std::uint32_t>(s) * 8u + static_cast<std::uint32_t>(d.code.dye);
    if (count_ > 0 && key < record(count_ - 1).key) sorted_ = false;
    char counted[24];
    std::string_view peak = d.code.number;
    if (cols.code < 0)
        peak = std::string_view(counted, static_cast<std::size_t>(
                                             std::snprintf(counted, sizeof counted, "%ld", smp.next_peak[d.code.dye])));
    const std::string_view point = d.point.empty() ? std::string_view("0") : d.point;
    // The varying part of the output line, sized once and filled piece by
    // piece in its text block.  (Kept: building it in a string first and
    // copying it measured 13 % slower on a 10^6-line import, 480 ms against
    // 418 ms of CPU.)
    const std::string_view pieces[] = {peak, point, d.size, d.height, d.area};
    std::size_t len = 5;  // separators and line end
    for (std::string_view p : pieces) len += p.size();
    std::uint64_t at;
    char* o = new_text(len, at);
    // A short text's length goes with it, so writing it out needs no search
    // for its line end.
    if (len < kShortText) at |= static_cast<std::uint64_t>(len) << kLengthShift;
    for (std::string_view p : pieces) {
        shortcopy(o, p.data(), p.size());
        o += p.size();
        *o++ = '\t';
    }
    o[-1] = '\n';
    if (count_ % kRecordBlock == 0) records_.push_back(std::unique_ptr<Record[]>(new Record[kRecordBlock]));
    record(count_) = Record{key, fileid_, at};
    ++count_;
}

bool Importer::write(std::FILE* out) {
    std::fputs(kHeader, out);
    std::vector<std::uint32_t> order;
    if (!sorted_) {
        // A stable counting sort of the lines by sample and dye.
        const std::size_t keys = samples_.size() * 8 + 8;
        std::vector<std::uint32_t> start(keys + 1, 0);
        for (std::size_t i = 0; i < count_; ++i) ++start[record(i).key + 1];
        for (std::size_t k = 1; k <= keys; ++k) start[k] += start[k - 1];
        order.resize(count_);
        for (std::size_t i = 0; i < count_; ++i) order[start[record(i).key]++] = static_cast<std::uint32_t>(i);
    }
    separators_ = 0;
    // Lines are gathered in a buffer of a few MiB and written a MiB or more
    // at a time.
    const std::size_t kFlush = 1u << 20;
    std::vector<char> buf(kFlush + 64 * 1024);
    std::size_t used = 0;
    std::uint32_t previous = 0;
    bool ok = true;
    auto put = [&](const char* p, std::size_t n) {
        shortcopy(buf.data() + used, p, n);
        used += n;
    };
    for (std::size_t n = 0; n < count_; ++n) {
        const Record& r = record(sorted_ ? n : order[n]);
        const std::string& name = samples_[r.key >> 3].name;
        const std::string& file = filenames_[r.file];
        const char* text = text_[r.at >> 32].get() + (r.at & kOffsetMask);
        std::size_t len = (r.at >> kLengthShift) & (kShortText - 1);
        if (len == 0) len = static_cast<std::size_t>(std::strchr(text, '\n') - text) + 1;
        // The peak number ends at the first tab.
        std::size_t peak = 0;
        while (text[peak] != '\t') ++peak;
        const std::size_t need = 2 * name.size() + file.size() + len + 32;
        if (used + need > buf.size()) {
            if (std::fwrite(buf.data(), 1, used, out) != used) ok = false;
            used = 0;
            if (need > buf.size()) buf.resize(need);
        }
        // Option 1 opens a channel's block when the dye changes from one
        // line to the next: a sample that begins with the dye the previous
        // one ended with gets a line of dye 0 first, which opens it.
        if (n > 0 && (r.key >> 3) != (previous >> 3) && (r.key & 7) == (previous & 7)) {
            put("-\t-\t", 4);
            put(name.data(), name.size());
            put("\t0\t0\t0\t0\t0\t0\n", 13);
            ++separators_;
        }
        previous = r.key;
        const int dye = static_cast<int>(r.key & 7);
        const char code[2] = {dyeletter(dye), ','};
        put(code, 2);
        put(text, peak);
        buf[used++] = '\t';
        put(file.data(), file.size());
        buf[used++] = '\t';
        put(name.data(), name.size());
        const char dyefield[3] = {'\t', static_cast<char>('0' + dye), '\t'};
        put(dyefield, 3);
        put(text, len);
        if (used >= kFlush) {
            if (std::fwrite(buf.data(), 1, used, out) != used) ok = false;
            used = 0;
        }
    }
    if (std::fwrite(buf.data(), 1, used, out) != used) ok = false;
    return std::fflush(out) == 0 && !std::ferror(out) && ok;
}

std::vector<std::string> importsummary(const Importer& importer, const std::string& out_name) {
    static const char* const kSkipNames[kSkipKinds] = {"size-standard rows", "unsized peaks", "unknown dyes",
                                                       "malformed lines"};
    std::vector<std::string> lines = importer.files();
    if (out_name.empty())
        lines.push_back(std::to_string(importer.lines()) + " data lines read; no peak among them");
    else
        lines.push_back(std::to_string(importer.lines()) + " data lines read; " + std::to_string(importer.peaks()) +
                        " peaks of " + std::to_string(importer.samples()) + " samples written to " + out_name);
    if (importer.separators())
        lines.push_back(std::to_string(importer.separators()) +
                        " lines of dye 0 written between samples of the same dye, so that "
                        "\"Read Genescan file\" numbers them apart");
    for (int k = 0; k < kSkipKinds; ++k) {
        const SkipCount& s = importer.skipped(static_cast<Skip>(k));
        lines.push_back("skipped " + std::to_string(s.count) + " " + kSkipNames[k] +
                        (s.count ? " (first: " + s.first + ")" : std::string()));
    }
    for (const std::string& n : importer.shared_names())
        lines.push_back("note: sample " + n + " comes from several sample files, read as one sample");
    for (const MergedNames& m : importer.merged_names())
        lines.push_back("warning: sample names \"" + m.first + "\" and \"" + m.other + "\" are both written as " +
                        m.written + ", read as one sample");
    return lines;
}
