#pragma once

// Replacing a file whole: write the new contents beside the old file and put
// them in place only when whole, so that the file's name holds a whole file,
// the old or the new, at every moment.
//
// A replace_file is a fresh file made at once (mkstemp, permission bits 0600)
// in the folder of the file it is to replace, named "." and the file's base
// name (its first 200 bytes) and ".oxXXXXXX", so that the rename that puts it
// in place is one step on one file system, and so that one left behind by a
// process killed half way says what it was for. The caller fills it by name,
// then flushes it, gives it the old file's mode and owner and puts it in
// place. Until it is in place it is removed again when the object ends (or
// at discard), so a failure at any step leaves the old file as it was and
// nothing beside it. Nothing here prints or throws; every change to a file
// goes through host/write_calls.h.
//
//     replace_file out(fn);
//     if (!out.made() || !write_text_to(out.fd()) || !out.flush()) fail();
//     out.take_over(get_filemode(fn));
//     if (!keep_as_backup(fn, get_bak_fn(fn), mode)) fail();   // when wanted
//     if (!out.put_in_place()) fail();

#include <sys/types.h>

#include <string>

// The pattern of a temporary file's name beside the file fn: its folder, ".",
// its base name (the first 200 bytes) and ".oxXXXXXX".
std::string temporary_beside(const char *fn);

// Flushes the folder that holds the named file, so that a file made, renamed
// or removed there is known to the disk. A host that cannot flush a folder
// does not count as a failure.
bool flush_folder_of(const char *fn);

// Makes the file `to` a copy of the file `from` (a regular file) with the
// permission bits of the mode word, through a new file beside `to` renamed
// into its place when whole: true when done, and then `to` has reached the
// disk. An old `to` is kept when it fails.
bool copy_file(const char *from, const char *to, int mode);

// Makes the backup `bak` another name of the file fn (a hard link; with a
// backup there already, a link under a fresh name beside it renamed over
// that backup in one step), so that fn stays whole and in place. Where the
// file system has no hard links for it, `bak` becomes a copy (copy_file with
// the mode word). True when done; an old backup is kept when it fails.
bool keep_as_backup(const char *fn, const char *bak, int mode);

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
    // Whether nothing was made because the folder does not let this user
    // make a file there (rather than for lack of room, or a folder gone).
    bool refused() const { return refused_; }
    // The new file's host name while it is not in place.
    const char *name() const { return name_.c_str(); }
    // Its descriptor, open for writing, while it is not in place: filling it
    // through this saves opening it a second time.
    int fd() const { return fd_; }

    // Gives the new file the old file's owner and group where the host
    // allows (the group alone where only that is allowed); true when the new
    // file has the old one's owner, or there was no old file.
    bool keeps_owner() const;

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

    // Renames the new file onto the old name in one step and flushes the
    // folder, so that the rename too has reached the disk; false, with the
    // new file still to be discarded, when the rename fails.
    bool put_in_place();

    // Gives the new file the name fn, which must not exist yet, in one step
    // (a hard link, the new file's own name then removed), and flushes the
    // folder: 1 when done, 0 when something has that name already, -1 when
    // it failed otherwise (the new file is still to be discarded then).
    int put_as_new(const char *fn);

    // Closes and removes the new file unless it was put in place.
    void discard();

  private:
    std::string target_;
    std::string name_;
    int fd_ = -1;
    bool refused_ = false;
    bool existed_ = false;
    uid_t owner_ = 0;
    gid_t group_ = 0;
};
