#include "companion/import/linereader.h"

#include <cstring>

namespace {

const std::size_t kBlock = 1u << 20;

// Writes code point c as UTF-8; returns the bytes written.
std::size_t utf8(unsigned long c, char* o) {
    if (c < 0x80) {
        o[0] = static_cast<char>(c);
        return 1;
    }
    if (c < 0x800) {
        o[0] = static_cast<char>(0xC0 | (c >> 6));
        o[1] = static_cast<char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        o[0] = static_cast<char>(0xE0 | (c >> 12));
        o[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        o[2] = static_cast<char>(0x80 | (c & 0x3F));
        return 3;
    }
    o[0] = static_cast<char>(0xF0 | (c >> 18));
    o[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    o[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    o[3] = static_cast<char>(0x80 | (c & 0x3F));
    return 4;
}

}  // namespace

// The buffer holds a whole line of kMaxLine bytes, its line end and a block
// read after it.
LineReader::LineReader(std::FILE* f) : f_(f), buf_(new char[kMaxLine + 2 + kBlock]), cap_(kMaxLine + 2 + kBlock) {}

const char* LineReader::encoding() const {
    return enc_ == Encoding::Utf16le ? "UTF-16LE" : enc_ == Encoding::Utf16be ? "UTF-16BE" : nullptr;
}

// UTF-16 code units from raw_ as UTF-8 into to (at most room bytes).  An
// unpaired surrogate becomes U+FFFD.
std::size_t LineReader::decode(char* to, std::size_t room) {
    std::size_t out = 0;
    for (;;) {
        if (raw_end_ - raw_begin_ < 4 && !raw_eof_) {
            std::size_t keep = raw_end_ - raw_begin_;
            std::memmove(raw_.get(), raw_.get() + raw_begin_, keep);
            raw_begin_ = 0;
            raw_end_ = keep;
            std::size_t got = std::fread(raw_.get() + keep, 1, kBlock - keep, f_);
            if (got == 0) {
                if (std::ferror(f_)) failed_ = true;
                raw_eof_ = true;
            }
            raw_end_ += got;
        }
        const std::size_t avail = raw_end_ - raw_begin_;
        if (avail < 2 && !raw_eof_) continue;  // a short read: read on
        if (avail < 2 || room - out < 4) {
            if (avail == 1 && raw_eof_ && room - out >= 3) {  // an odd last byte
                out += utf8(0xFFFD, to + out);
                raw_begin_ = raw_end_;
            }
            return out;
        }
        const unsigned char* p = raw_.get() + raw_begin_;
        auto unit = [this](const unsigned char* q) {
            return enc_ == Encoding::Utf16le ? static_cast<unsigned long>(q[0] | (q[1] << 8))
                                             : static_cast<unsigned long>((q[0] << 8) | q[1]);
        };
        unsigned long c = unit(p);
        std::size_t used = 2;
        if (c >= 0xD800 && c < 0xDC00) {
            if (avail >= 4) {
                unsigned long low = unit(p + 2);
                if (low >= 0xDC00 && low < 0xE000) {
                    c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                    used = 4;
                } else {
                    c = 0xFFFD;
                }
            } else {
                c = 0xFFFD;  // only at the end of the file (else 4 bytes are there)
            }
        } else if (c >= 0xDC00 && c < 0xE000) {
            c = 0xFFFD;
        }
        raw_begin_ += used;
        out += utf8(c, to + out);
    }
}

std::size_t LineReader::read(char* to, std::size_t room) {
    if (first_) {
        // The byte-order mark, if any, decides how the rest is read.
        unsigned char mark[3];
        std::size_t got = std::fread(mark, 1, 2, f_);
        if (got == 2 && ((mark[0] == 0xFF && mark[1] == 0xFE) || (mark[0] == 0xFE && mark[1] == 0xFF))) {
            enc_ = mark[0] == 0xFF ? Encoding::Utf16le : Encoding::Utf16be;
            raw_.reset(new unsigned char[kBlock]);
        } else {
            if (got == 2 && mark[0] == 0xEF && mark[1] == 0xBB) {
                int c = std::fgetc(f_);
                if (c == 0xBF)
                    got = 0;  // a UTF-8 mark: dropped
                else if (c != EOF)
                    mark[got++] = static_cast<unsigned char>(c);
            }
            std::memcpy(to, mark, got);
            if (got < room) {
                std::size_t more = std::fread(to + got, 1, room - got, f_);
                got += more;
            }
            if (std::ferror(f_)) failed_ = true;
            return got;
        }
    }
    if (enc_ != Encoding::Bytes) return decode(to, room);
    std::size_t got = std::fread(to, 1, room, f_);
    if (got == 0 && std::ferror(f_)) failed_ = true;
    return got;
}

bool LineReader::fill() {
    // Keeps the unfinished line, moved to the front, and reads after it.
    std::size_t keep = end_ - begin_;
    if (begin_ > 0 && keep > 0) std::memmove(buf_.get(), buf_.get() + begin_, keep);
    begin_ = 0;
    end_ = keep;
    breaks_.forget();
    std::size_t room = cap_ - end_;
    if (room > kBlock) room = kBlock;
    std::size_t got = room ? read(buf_.get() + end_, room) : 0;
    first_ = false;
    if (got == 0) {
        eof_ = true;
        return false;
    }
    end_ += got;
    return true;
}

bool LineReader::next(std::string_view& line) {
    for (;;) {
        char* b = buf_.get();
        if (tail_.open()) {
            // The rest of the last line's end: passed over as it arrives.
            begin_ += tail_.skip(b + begin_, end_ - begin_);
            if (tail_.open() && (eof_ || !fill())) return false;
            continue;
        }
        const std::size_t brk = breaks_.find(b, begin_, end_);
        const char* start = b + begin_;
        const std::size_t have = end_ - begin_;
        if (skipping_) {
            // The rest of a cut line: passed over up to its line end.
            if (brk < end_) {
                tail_.start(b[brk]);
                begin_ = brk + 1;
                skipping_ = false;
            } else {
                begin_ = end_;
                if (eof_ || !fill()) return false;
            }
            continue;
        }
        if (brk == end_ && have > kMaxLine) {
            // A line longer than the bound: its first kMaxLine bytes.
            line = std::string_view(start, kMaxLine);
            // The bytes after them stay in the buffer (the view stays valid
            // until the next call) and are skipped up to the line end.
            begin_ += kMaxLine;
            skipping_ = true;
            cut_ = true;
            ++number_;
            return true;
        }
        if (brk < end_ || (eof_ && have > 0)) {
            const std::size_t len = brk - begin_;
            if (brk < end_) {
                tail_.start(b[brk]);
                begin_ = brk + 1;
            } else {
                begin_ = end_;
            }
            cut_ = len > kMaxLine;
            line = std::string_view(start, cut_ ? kMaxLine : len);
            ++number_;
            return true;
        }
        if (eof_ || !fill()) {
            if (end_ > begin_) continue;  // the last line, without a line end
            return false;
        }
    }
}
