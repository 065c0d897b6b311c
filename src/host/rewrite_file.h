#pragma once

// Writing a file over itself, in place: the way to write a file that has
// other names (hard links, which must all see the new text), whose folder
// takes no new file, or whose owner a new file could not keep. Unlike
// replace_file this is not safe against a failure half way: the caller keeps
// a copy of the old contents first (its backup) when it can.
//
//     rewrite_file out(fn);
//     if (!out.opened()) fail();              // nothing has changed yet
//     take_backup_copy();
//     if (!out.truncate() || !write_text_to(out.fd()) || !out.flush()) fail();
//
// Nothing here prints or throws; every change to the file goes through
// host/write_calls.h.

class rewrite_file {
  public:
    // Opens the existing regular file fn for writing, changing nothing yet.
    explicit rewrite_file(const char *fn);
    ~rewrite_file();
    rewrite_file(const rewrite_file &) = delete;
    rewrite_file &operator=(const rewrite_file &) = delete;

    bool opened() const { return fd_ >= 0; }
    int fd() const { return fd_; }

    // Empties the file, to be written from its start.
    bool truncate() const;
    // Goes to the end of the file, to be appended to.
    bool to_end() const;
    // Everything written reaches the disk (fsync).
    bool flush() const;

  private:
    int fd_ = -1;
};
