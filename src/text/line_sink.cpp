#include "text/line_sink.h"

#include "host/files.h"

#include <cstdlib>
#include <cstring>

line_sink::line_sink(FILE *fp) : fp_(fp), failed_(fp == nullptr) {
    block_ = static_cast<char *>(malloc(large_size));
    size_ = block_ ? large_size : small_size;
    if (!block_) block_ = small_;
}

line_sink::~line_sink() {
    if (block_ != small_) free(block_);
}

bool line_sink::flush() {
    if (len_ && !failed_) {
        failed_ = !fp_ || fwrite(block_, 1, len_, fp_) != len_;
        if (!failed_) file_start_writeback(fileno(fp_));
    }
    len_ = 0;
    return !failed_;
}

char *line_sink::room(size_t n) {
    if (size_ - len_ < n && !flush()) return nullptr;
    if (failed_ || n > size_) return nullptr;
    return block_ + len_;
}

bool line_sink::put_line(const char *text) {
    size_t n = strlen(text);
    if (char *p = room(n + 2)) {
        memcpy(p, text, n);
        commit(end_line(p + n));
        return true;
    }
    // Longer than the block: straight to the stream.
    if (!flush() || !fp_) {
        failed_ = true;
        return false;
    }
    char end[2];
    size_t end_len = static_cast<size_t>(end_line(end) - end);
    failed_ = fwrite(text, 1, n, fp_) != n || fwrite(end, 1, end_len, fp_) != end_len;
    return !failed_;
}
