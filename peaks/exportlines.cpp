#include "peaks/exportlines.h"


namespace {

const std::size_t kUnknown = static_cast<std::size_t>(-1);

}  // namespace

ExportLines::ExportLines(std::FILE* f, std::size_t capacity)
    : f_(f), capacity_(capacity < 2 ? 2 : capacity), buf_(new char[capacity_ + 1 + kLinePadding]()),
      lf_(kUnknown), cr_(kUnknown) {}

// The first byte c at or after pos_, or end_ when there is none.  The
// answer is kept until pos_ passes it or the buffer changes.
std::size_t ExportLines::find(char c, std::size_t& cache) {
    if (cache == kUnknown || cache < pos_) {
        const void* hit = std::memchr(buf_.get() + pos_, c, end_ - pos_);
        cache = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - buf_.get()) : end_;
    }
    return cache;
}

// Moves the unfinished line to the front and reads more behind it.
void ExportLines::refill() {
    char* b = buf_.get();
    if (pos_ > 0) {
        std::memmove(b, b + pos_, end_ - pos_);
        end_ -= pos_;
        pos_ = 0;
    }
    std::size_t got = std::fread(b + end_, 1, capacity_ - end_, f_);
    if (got == 0)
        eof_ = true;
    else
        end_ += got;
    lf_ = cr_ = kUnknown;
}

bool ExportLines::next(char*& line) {
    for (;;) {
        char* b = buf_.get();
        std::size_t lf = find('\n', lf_), cr = find('\r', cr_);
        std::size_t t = lf < cr ? lf : cr;
        if (t < end_) {
            std::size_t after = t + 1;
            if (b[t] == '\r') {
                while (after < end_ && b[after] == '\r') ++after;
                // Whether an LF follows is known only once more is read.
                if (after == end_ && !eof_ && !(pos_ == 0 && end_ == capacity_)) {
                    refill();
                    continue;
                }
                if (after < end_ && b[after] == '\n') ++after;
            }
            b[t] = '\0';
            line = b + pos_;
            pos_ = after;
            if (skip_end_) {  // the end of a long line already handed out
                skip_end_ = false;
                continue;
            }
            return true;
        }
        if (eof_) {
            if (pos_ == end_) return false;
            b[end_] = '\0';
            line = b + pos_;
            pos_ = end_;
            if (skip_end_) return false;  // cannot happen: nothing of it is left
            return true;
        }
        if (pos_ == 0 && end_ == capacity_) return long_line(line);
        refill();
    }
}

// A line that fills the buffer: only its first nine fields are ever used,
// so those are kept (each cut to kLongField bytes, joined by blanks) and
// the rest of the line is read past.  Its line end stays to be skipped.
bool ExportLines::long_line(char*& line) {
    long_.clear();
    int fields = 0;
    bool in_field = false, done = false;
    std::size_t field_len = 0;
    for (;;) {
        char* b = buf_.get();
        std::size_t i = pos_;
        for (; i < end_; ++i) {
            char c = b[i];
            if (c == '\n' || c == '\r') break;
            if (done) continue;
            if (c == ' ' || c == '\t') {
                in_field = false;
            } else if (c == '\0') {
                done = true;  // a NUL ends the line's content
            } else {
                if (!in_field) {
                    if (fields == kLongFields) {
                        done = true;
                        continue;
                    }
                    if (fields++) long_.push_back(' ');
                    in_field = true;
                    field_len = 0;
                }
                if (field_len < kLongField) {
                    long_.push_back(c);
                    ++field_len;
                }
            }
        }
        pos_ = i;
        if (i < end_) {
            skip_end_ = true;
            break;
        }
        if (eof_) break;
        refill();
    }
    long_.append(1 + kLinePadding, '\0');
    line = &long_[0];
    return true;
}
