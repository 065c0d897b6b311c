#pragma once

// Writing a file over itself, in place: the way to write a file that has
// other names (hard links, which must all see the new text), whose folder
// takes no new file, or whose owner a new file could not keep.
//
// A failure that the host reports never leaves such a file cut or half
// written: the room for the new length is made sure of before the first byte
// changes (the file-size limit, and the disk where the file system can
// reserve room), the file is cut to its new length only once everything is
// written, and when a write fails all the same the old contents are put back:
// after an append by cutting the file to its old length, else from a copy
// taken first (the backup, or a safety_copy). Only a process killed half way
// through can leave the file half written; the copy then holds the old text.
//
//     rewrite_file out(fn);
//     if (!out.opened() || !out.room_for(new_size)) fail();  // nothing changed
//     safety_copy copy(fn);
//     if (!copy.made()) fail();                              // nothing changed
//     if (!out.from_start() || !write_text_to(out.fd()) || !out.finish())
//         out.put_back(copy.name()) ? fail() : (copy.keep(), fail_badly());
//
// Nothing here prints or throws; every change to a file goes through
// host/write_calls.h.

#include <sys/types.h>

#include <string>

class rewrite_file {
  public:
    // Opens the existing regular file fn for writing, changing nothing yet.
    explicit rewrite_file(const char *fn);
    ~rewrite_file();
    rewrite_file(const rewrite_file &) = delete;
    rewrite_file &operator=(const rewrite_file &) = delete;

    bool opened() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    off_t old_size() const { return old_size_; }

    // Whether a file of `size` bytes fits: within the file-size limit, and
    // with room on the disk reserved for it where the file system can
    // reserve room. Nothing visible changes.
    bool room_for(off_t size) const;

    // Goes to the start of the file, to write it anew, or to its end, to
    // append to it.
    bool from_start() const;
    bool to_end() const;

    // Cuts the file where the writing stopped and flushes it to the disk:
    // true when the new contents are whole there.
    bool finish() const;

    // Puts the old contents back: those of the file `copy`, or with a null
    // copy the file's own first old_size() bytes (after an append). True
    // when the file is as it was, on the disk.
    bool put_back(const char *copy) const;

  private:
    int fd_ = -1;
    off_t old_size_ = 0;
};

// A copy of a file's contents taken before the file is written in place, to
// put them back from if the write fails: a new file beside it named as a
// replace_file is (".name.oxXXXXXX"), or, where that folder takes no new
// file, of that name in the folder TMPDIR names (/tmp when it is unset). It
// reaches the disk before the file is touched and is removed when the object
// ends, unless kept.
class safety_copy {
  public:
    explicit safety_copy(const char *fn);
    ~safety_copy();
    safety_copy(const safety_copy &) = delete;
    safety_copy &operator=(const safety_copy &) = delete;

    bool made() const { return !name_.empty(); }
    const char *name() const { return name_.c_str(); }
    // Leaves the copy where it is: the file could not be put back from it.
    void keep() { name_.clear(); }

  private:
    std::string name_;
};
