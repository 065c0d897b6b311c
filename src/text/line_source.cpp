#include "text/line_source.h"

#include <cstring>

void line_source::begin(FILE *fp) {
    fp_ = fp;
    base_ = fp ? static_cast<long long>(ftello(fp)) : -1;
    pos_ = end_ = 0;
    eof_ = error_ = false;
    nul_known_ = false;
    at_start_ = true;
    in_marker_ = marker_cut_ = false;
    ends_known_ = crlf_ = false;
    lost = 0;
}

namespace {

// Whether every newline in [p, end) has a CR before it; `before` is the byte
// before p.
bool ends_crlf(const char *p, const char *end, char before) {
    while (const auto *nl =
               static_cast<const char *>(memchr(p, '\n', static_cast<size_t>(end - p)))) {
        if ((nl == p ? before : nl[-1]) != '\r') return false;
        p = nl + 1;
    }
    return true;
}

} // namespace

// Whether the stream after the block ends every line in CR LF, read through
// once and then gone back to, so that a file with one newline alone keeps
// every byte as it is.
bool line_source::rest_ends_crlf(char before) {
    char scan[block_size];
    bool all = true;
    while (size_t got = fread(scan, 1, sizeof scan, fp_)) {
        if (!ends_crlf(scan, scan + got, before)) {
            all = false;
            break;
        }
        before = scan[got - 1];
    }
    all = all && !ferror(fp_);
    clearerr(fp_);
    if (fseeko(fp_, static_cast<off_t>(base_ + static_cast<long long>(end_)), SEEK_SET) != 0) {
        eof_ = error_ = true; // read on as if from a failing stream
        return false;
    }
    return all;
}

// Decided on the first block: only a first line ending in CR LF makes the
// stream worth looking through.
void line_source::learn_line_ends() {
    ends_known_ = true;
    const char *p = block_ + pos_;
    const auto *nl = static_cast<const char *>(memchr(p, '\n', end_ - pos_));
    if (!nl || nl == p || nl[-1] != '\r' || !ends_crlf(nl + 1, block_ + end_, '\n')) return;
    crlf_ = eof_ || (base_ >= 0 && rest_ends_crlf(block_[end_ - 1]));
}

bool line_source::refill(size_t want) {
    if (eof_ || !fp_) return false;
    memmove(block_, block_ + pos_, end_ - pos_);
    if (base_ >= 0) base_ += static_cast<long long>(pos_);
    end_ -= pos_;
    pos_ = 0;
    nul_known_ = false;
    while (end_ < want && !eof_) {
        size_t asked = block_size - end_;
        size_t got = fread(block_ + end_, 1, asked, fp_);
        end_ += got;
        if (got < asked) {
            eof_ = true;
            error_ = ferror(fp_) != 0;
        }
    }
    if (!ends_known_) learn_line_ends();
    return end_ - pos_ >= want;
}

// Whether block_ holds a NUL in [from, to), from never moving back between
// fills. Text rarely holds one, so a single search usually serves a whole
// block rather than one search a line.
bool line_source::nul_between(size_t from, size_t to) {
    if (!nul_known_ || nul_next_ < from) {
        auto *nul = static_cast<char *>(memchr(block_ + from, 0, end_ - from));
        nul_next_ = nul ? static_cast<size_t>(nul - block_) : end_;
        nul_known_ = true;
    }
    return nul_next_ < to;
}

bool line_source::seek(long long offset) {
    // The block cannot be reused: handing out lines wrote NULs over newlines.
    bool done = fp_ && offset >= 0 && fseeko(fp_, static_cast<off_t>(offset), SEEK_SET) == 0;
    if (done) clearerr(fp_);
    pos_ = end_ = 0;
    base_ = done ? offset : -1;
    eof_ = !done;
    error_ = false;
    nul_known_ = false;
    at_start_ = true;
    in_marker_ = marker_cut_ = false;
    return done;
}

bool line_source::readable() {
    fill(1);
    return !error_;
}

line_source::piece_kind line_source::next(const char *marker_start, size_t marker_len,
                                          const char **text) {
    fill(LINE_BUF_SIZE + 1); // a line of LINE_MAX_TEXT bytes and its CR LF
    if (pos_ == end_) return error_ ? ERROR : END;
    char *p = block_ + pos_;
    size_t avail = end_ - pos_;
    if (at_start_ && marker_len && avail >= marker_len && *p == *marker_start &&
        memcmp(p, marker_start, marker_len) == 0 && !memchr(p, '\n', marker_len)) {
        pos_ += marker_len;
        in_marker_ = true;
        marker_cut_ = false;
        return MARKER;
    }
    size_t n = avail < size_t{LINE_MAX_TEXT} ? avail : size_t{LINE_MAX_TEXT};
    char *nl;
    size_t len;
    if (!crlf_) {
        nl = static_cast<char *>(memchr(p, '\n', n));
        len = nl ? static_cast<size_t>(nl - p) : n;
    } else {
        // A line of n bytes has its CR LF within n + 2.
        nl = static_cast<char *>(memchr(p, '\n', avail < n + 2 ? avail : n + 2));
        len = nl ? static_cast<size_t>(nl - p) : n;
        if (nl && len && p[len - 1] == '\r') len--;
        if (len > n) { // a newline alone after all: the file changed since it was looked at
            nl = nullptr;
            len = n;
        }
    }
    // Looked for before the newline is overwritten with the text's NUL.
    bool cut = nul_between(pos_, pos_ + len);
    if (cut) lost |= LOST_NUL;
    if (nl) {
        p[len] = 0;
        pos_ = static_cast<size_t>(nl - block_) + 1;
        at_start_ = true;
        *text = p;
    } else if (n == LINE_MAX_TEXT) {
        // A full piece: the byte after it is there unless the stream ended.
        memcpy(piece_, p, n);
        piece_[n] = 0;
        *text = piece_;
        pos_ += n;
        at_start_ = true;
        if (pos_ < end_ && block_[pos_] == '\n') {
            pos_++;
        } else if (pos_ < end_) {
            at_start_ = false;
            lost |= LOST_SPLIT;
        }
    } else {
        // The last line of the stream, without a newline.
        p[n] = 0;
        pos_ = end_;
        at_start_ = true;
        *text = p;
    }
    // A NUL in the line ends its text there.
    text_length_ = cut ? strlen(*text) : len;
    return TEXT;
}

void line_source::end_marker() {
    in_marker_ = false;
    at_start_ = true;
}

int line_source::marker_byte() {
    if (!in_marker_ || marker_cut_) return -1;
    if (!fill(1)) {
        end_marker();
        return -1;
    }
    unsigned char c = static_cast<unsigned char>(block_[pos_++]);
    if (c == '\r' && crlf_ && fill(1) && block_[pos_] == '\n') {
        pos_++;
        c = '\n';
    }
    if (c == '\n') {
        end_marker();
        return -1;
    }
    if (c == 0) {
        lost |= LOST_NUL;
        marker_cut_ = true;
        return -1;
    }
    return c;
}

void line_source::skip_line() {
    while (in_marker_ && fill(1)) {
        char *p = block_ + pos_;
        if (auto *nl = static_cast<char *>(memchr(p, '\n', end_ - pos_))) {
            pos_ += static_cast<size_t>(nl - p) + 1;
            break;
        }
        pos_ = end_;
    }
    end_marker();
}
