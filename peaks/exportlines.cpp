#include "peaks/exportlines.h"

ExportLines::ExportLines(std::FILE* f, std::size_t capacity)
    : f_(f), capacity_(capacity < 2 ? 2 : capacity), buf_(new char[capacity_ + 1 + kPadding]()) {}

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
    breaks_.forget();
}

bool ExportLines::next_line(char*& line) {
    for (;;) {
        char* b = buf_.get();
        if (tail_.open()) {
            // The rest of the last line's end (CRs, then an LF), passed over
            // as it arrives.
            pos_ += tail_.skip(b + pos_, end_ - pos_);
            if (tail_.open()) {
                if (eof_) return false;
                refill();
                continue;
            }
        }
        const std::size_t t = breaks_.find(b, pos_, end_);
        if (t < end_) {
            tail_.start(b[t]);
            b[t] = '\0';
            line = b + pos_;
            pos_ = t + 1;
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
    long_.append(1 + kPadding, '\0');
    line = &long_[0];
    return true;
}
