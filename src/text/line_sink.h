// The file writer's output: bytes gathered in a large block and handed to
// the stream in big writes. After each block the host is told to start
// putting what it holds of the file on the disk, so that a flush at the end
// (fsync) finds most of it there already.
//
// Used by the fold file writer only (text/fold_file.h); other modules write
// files through line_write. Once a write has failed the sink stays failed
// and takes nothing more until begin.
#pragma once

#include <cstddef>
#include <cstdio>

class LineSink {
  public:
    // Drops anything pending and writes to fp (null: nothing) from now on.
    void begin(FILE *fp);
    FILE *stream() const { return fp_; }

    // n bytes of room at the end of the pending output, or null when the
    // sink has failed or n is larger than the block. Fill them and commit.
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
    char block_[block_size];
};
