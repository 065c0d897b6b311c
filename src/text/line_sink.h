// The file writer's output: bytes gathered in a large block and handed to
// the stream in big writes. After each block the host is told to start
// putting what it holds of the file on the disk, so that a flush at the end
// (fsync) finds most of it there already.
//
// Used by the fold file writer only (text/fold_file.h); other modules write
// files through a fold_writer. Once a write has failed the sink stays failed
// and takes nothing more. Lines end in a newline, or in CR LF while crlf is
// set.
#pragma once

#include <cstddef>
#include <cstdio>

class line_sink {
  public:
    // Writes to fp (null: every write fails), ending lines in a newline. The
    // block comes from the heap; when there is no memory for it, a small one
    // inside the sink serves, which still takes the longest marker line.
    explicit line_sink(FILE *fp);
    ~line_sink();
    line_sink(const line_sink &) = delete;
    line_sink &operator=(const line_sink &) = delete;

    // Lines end in CR LF from now on when set, else in a newline.
    void set_crlf(bool crlf) { crlf_ = crlf; }

    // The bytes that end a line, written at p; where they end.
    char *end_line(char *p) const {
        if (crlf_) *p++ = '\r';
        *p++ = '\n';
        return p;
    }

    // n bytes of room at the end of the pending output, or null when the
    // sink has failed or n is larger than the block (never for n up to
    // small_size). Fill them and commit.
    // A line's end takes at most two bytes.
    char *room(size_t n);
    void commit(char *end) { len_ = static_cast<size_t>(end - block_); }

    // Adds text and a newline; false when a write failed.
    bool put_line(const char *text);

    // Hands the pending bytes to the stream; false when a write has failed.
    bool flush();
    bool failed() const { return failed_; }

    static constexpr size_t small_size = 4096;

  private:
    static constexpr size_t large_size = 1024 * 1024;

    FILE *fp_;
    char *block_;
    size_t size_; // of block_
    size_t len_ = 0;
    bool failed_ = false;
    bool crlf_ = false;
    char small_[small_size];
};
