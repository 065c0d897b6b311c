#include "text/line_sink.h"

#include "host/files.h"

#include <cstring>

void LineSink::begin(FILE *fp) {
    fp_ = fp;
    len_ = 0;
    failed_ = false;
}

bool LineSink::flush() {
    if (len_ && !failed_) {
        failed_ = !fp_ || fwrite(block_, 1, len_, fp_) != len_;
        if (!failed_) file_start_writeback(fileno(fp_));
    }
    len_ = 0;
    return !failed_;
}

char *LineSink::room(size_t n) {
    if (block_size - len_ < n && !flush()) return nullptr;
    if (failed_ || n > block_size) return nullptr;
    return block_ + len_;
}

bool LineSink::put_line(const char *text) {
    size_t n = strlen(text);
    if (char *p = room(n + 1)) {
        memcpy(p, text, n);
        p[n] = '\n';
        len_ += n + 1;
        return true;
    }
    // Longer than the block: straight to the stream.
    if (!flush() || !fp_) {
        failed_ = true;
        return false;
    }
    failed_ = fwrite(text, 1, n, fp_) != n || putc('\n', fp_) == EOF;
    return !failed_;
}
