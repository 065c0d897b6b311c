// The file writer's output: bytes gathered in a large block and handed to
// the stream in big writes. After each block the host is told to start
// putting what it holds of the file on the disk, so that a flush at the end
// (fsync) finds most of it there already.
//
// Used by the fold file writer only (text/fold_file.h); other modules write
// files through line_write. Once a write has failed the sink stays failed
// and takes nothing more until begin. Lines end in a newline, or in CR LF
// while crlf is set.
#pragma once

#include <cstddef>
#include <cstdio>

class LineSink {
  public:
    // Drops anything pending and writes to fp (null: nothing) from now on,
    // ending lines in a newline.
    void begin(FILE *fp);
    FILE *stream() const { return fp_; }

    // Lines end in CR LF from now on when set, else in a newline.
    void set_crlf(bool crlf) { crlf_ = crlf; }

    // The bytes that end a line, written at p; where they end.
    char *end_line(char *p) const {
        if (crlf_) *p++ = '\r';
        *p++ = '\n';
        return p;
    }

    // n bytes of room at the end of the pending output, or null when the
    // sink has failed or n is larger than the block. Fill them and commit.
    // A line's end takes at most two bytes.
    char *room(size_t n);
    void commit(char *end) { len_ = static_cast<size_t>(end - block_); }

    // Adds text and a newline; false when a write failed.
    bool put_line(const char *text);

    // Hands the pending bytes to the stream; false when a write has failed.
    bool flush();
    bool failed() const { return failed_; }

  private:
    static constexpr size_t block_size = 1024 * 1024;

    FILE *fp_ = nullptr;
    size_t len_ = 0;
    bool failed_ = false;
    bool crlf_ = false;
    char block_[block_size];
};
