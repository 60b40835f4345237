#include "companion/import/linereader.h"

#include <cstring>

bool LineReader::fill() {
    // Keeps the unfinished line, moved to the front, and reads after it.
    std::size_t keep = end_ - begin_;
    if (begin_ > 0 && keep > 0) std::memmove(buf_.data(), buf_.data() + begin_, keep);
    begin_ = 0;
    end_ = keep;
    if (end_ == buf_.size()) buf_.resize(buf_.size() * 2);  // a line longer than the buffer
    std::size_t got = std::fread(buf_.data() + end_, 1, buf_.size() - end_, f_);
    if (got == 0) {
        if (std::ferror(f_)) failed_ = true;
        eof_ = true;
        return false;
    }
    char* p = buf_.data() + end_;
    if (first_) {
        first_ = false;
        cr_only_ = !std::memchr(p, '\n', got) && std::memchr(p, '\r', got);
    }
    if (cr_only_)
        for (std::size_t i = 0; i < got; ++i)
            if (p[i] == '\r') p[i] = '\n';
    end_ += got;
    return true;
}

bool LineReader::next(std::string_view& line) {
    for (;;) {
        const char* start = buf_.data() + begin_;
        const void* nl = std::memchr(start, '\n', end_ - begin_);
        if (nl || (eof_ && end_ > begin_)) {
            std::size_t len = nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - start) : end_ - begin_;
            begin_ += nl ? len + 1 : len;
            if (len > 0 && start[len - 1] == '\r') --len;
            line = std::string_view(start, len);
            ++number_;
            return true;
        }
        if (eof_ || !fill()) {
            if (end_ > begin_) continue;  // the last line, without a line end
            return false;
        }
    }
}
