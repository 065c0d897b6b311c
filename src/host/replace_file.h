#pragma once

// Replacing a file whole: write the new contents beside the old file and put
// them in place only when whole.
//
// A replace_file is a fresh file made at once (mkstemp, permission bits 0600)
// in the folder of the file it is to replace, named "." and the file's base
// name (its first 200 bytes) and ".oxXXXXXX", so that the rename that puts it
// in place is one step on one file system. The caller fills it by name, then
// flushes it, gives it the old file's mode and owner and puts it in place.
// Until it is in place it is removed again when the object ends (or at
// discard), so a failure at any step leaves the old file as it was and nothing
// beside it. Nothing here prints or throws.
//
//     replace_file out(fn);
//     if (!out.made() || !write_text_to(out.name()) || !out.flush()) fail();
//     out.take_over(get_filemode(fn));
//     if (!out.put_in_place()) fail();

#include <sys/types.h>

#include <string>

class replace_file {
  public:
    // Notes whether the file fn (a host name) exists and who owns it, then
    // makes the new file beside it. Nothing is made for an empty name, for a
    // name that is a folder, or when the folder does not take a new file.
    explicit replace_file(const char *fn);
    ~replace_file() { discard(); }
    replace_file(const replace_file &) = delete;
    replace_file &operator=(const replace_file &) = delete;

    bool made() const { return fd_ >= 0; }
    // The new file's host name while it is not in place.
    const char *name() const { return name_.c_str(); }

    // Appends the whole of the old file to the new one; true also when there
    // was no old file, false when it cannot be read or the copy cannot be
    // written.
    bool copy_old() const;

    // Everything written reaches the disk (fsync). A host that cannot flush
    // such a file does not count as a failure.
    bool flush() const;

    // Gives the new file the permission bits of the mode word and, when the
    // old file existed, its owner where the host allows (a file another user
    // owns becomes the writer's where the host refuses). Mode -1 (no old
    // file) gives the mode an ordinary new file gets: 0666 less the umask.
    void take_over(int mode) const;

    // Renames the new file onto the old name in one step; false, with the new
    // file still to be discarded, when the rename fails.
    bool put_in_place();

    // Closes and removes the new file unless it was put in place.
    void discard();

  private:
    std::string target_;
    std::string name_;
    int fd_ = -1;
    bool existed_ = false;
    uid_t owner_ = 0;
    gid_t group_ = 0;
};
