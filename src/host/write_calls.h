#pragma once

// The system calls by which the host layer changes files, each made in this
// one place, and stdio streams that write through them.
//
// Each function is the call it is named after and sets errno as that call
// does. A test can set a fault that is asked before every call (by the
// call's name) and make that call fail with an error of its choosing, or end
// the process there, to see that no file is lost whichever call it is. With
// no fault set nothing else differs.

#include <sys/types.h>

#include <cstdio>

namespace write_calls {

// open(2); mode matters only with O_CREAT.
int open(const char *fn, int flags, mode_t mode = 0);
// mkostemp(3) with O_CLOEXEC: a new file, permission bits 0600, its name
// written over the pattern's trailing "XXXXXX".
int make_temporary(char *pattern);
ssize_t write(int fd, const void *bytes, size_t n);
int fsync(int fd);
int ftruncate(int fd, off_t length);
// Reserves room on the disk for the file's first `length` bytes without
// changing its size (fallocate, keeping the size): 0, or -1 with errno, which
// is EOPNOTSUPP where the file system cannot reserve.
int reserve(int fd, off_t length);
int link(const char *from, const char *to);
int rename(const char *from, const char *to);
int unlink(const char *fn);
// The descriptor is released even when the call reports an error.
int close(int fd);

// Writes all n bytes, starting again after an interruption; false on any
// failure.
bool write_all(int fd, const char *bytes, size_t n);

// An unbuffered stream that writes to the descriptor through write_all, so
// that every write reaches the host at once, in the size the writer gives.
// Closing the stream closes the descriptor only when owns_fd is set. Null
// when no stream can be made.
FILE *stream(int fd, bool owns_fd);

// A stream that writes nowhere and adds the number of bytes written to it to
// *count, complete once the stream is closed: what a text will take,
// measured before it is written.
FILE *counting_stream(off_t *count);

// For tests: asked before each call above with the call's name ("open",
// "make_temporary", "write", "fsync", "ftruncate", "reserve", "link",
// "rename", "unlink", "close"); 0 lets the call be made, an errno value makes
// it fail with that error instead (a close still releases its descriptor).
using fault = int (*)(const char *call);
void set_fault(fault f);

} // namespace write_calls
