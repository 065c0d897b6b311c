#pragma once

// File names as typed (or written in virtual fold lines) and as the host sees
// them, the initialisation file's location, and backup and temporary names.
//
// A host file name has at most OS_FN_MAX bytes, all printable ASCII, uses "/"
// between directories and does not begin with "/dev/". The functions that
// return a name return it in a static buffer of OS_FN_SIZE bytes that their
// next call overwrites (each function has its own); callers copy what they
// keep. Unusable names give null; nothing here prints.

inline constexpr int OS_FN_MAX = 500;
inline constexpr int OS_FN_SIZE = OS_FN_MAX + 1;

// The host name for a typed name, or null when it is not acceptable (null too).
// A leading "~" up to the first "/" (else the first backslash, else the end)
// stands for HOME, read afresh, and "~user" for that user's home directory; when
// there is none the name keeps its "~". Backslashes become "/". Bytes outside
// 0x20-0x7E, more than OS_FN_MAX bytes, or a result under "/dev/" are refused.
const char *get_os_fn(const char *name);

// 0 when the two host names name the same file: an exact byte comparison here.
int cmp_os_fn(const char *a, const char *b);

// Writes to out (OS_FN_SIZE bytes) the form of a host name that language match
// expressions are applied to: on this host an exact copy. out may be the name.
void get_match_fn(const char *host_name, char *out);

// Writes to out (OS_FN_SIZE bytes) the text with each "$(NAME)" replaced by the
// value of that environment variable, or by nothing when it is unset. A "$("
// without a ")" after it is copied with the rest of the text. The first
// character or value that would take the output past OS_FN_MAX bytes ends it
// there. out may be the text.
void expand_fn(const char *text, char *out);

// The host name of a file named inside the file `containing` (a host name), or
// null. An empty name gives "". A name beginning with "/", a backslash or "~",
// or any name when `containing` is empty, is taken as get_os_fn takes it;
// otherwise it replaces what follows the last "/" of `containing` (all of it
// when there is none), and a combination over OS_FN_MAX bytes gives null.
const char *get_nest_fn(const char *containing, const char *name);

// The initialisation file for a program started as `program_path`, whose base
// name B follows its last "/": the file ".Brc" in the home directory when it is
// a readable regular file; else, when the path holds a "/", the path followed
// by ".ini" when that is a readable regular file; else the program as
// search_path finds it along PATH followed by ".ini"; else "B.ini". Null only
// when even that is too long.
const char *get_ox_fn(const char *program_path);

// A path to a readable regular file, or null: the name itself when
// is_readable_file accepts it, else the first directory in the variable's value
// (its first 2000 bytes, ":" between directories, empty entries skipped) that
// holds one. Candidates over OS_FN_MAX bytes are passed over; an unset
// variable gives null.
const char *search_path(const char *name, const char *variable);

// 1 when the path names a regular file that can be opened for reading, else 0.
int is_readable_file(const char *path);

// The backup name of a host file, or null when no backup is to be taken: the
// base name's extension (its last ".", unless that is its first byte) replaced
// by ".bak", or ".bak" appended when there is none. Null for an empty base, for
// a file whose extension is ".bak" and for a result over OS_FN_MAX bytes.
const char *get_bak_fn(const char *host_name);

// A new, empty temporary file made from "/tmp/oxXXXXXX" with permission bits
// 0600; returns its name, or null when it cannot be created. The file exists
// before the name is handed out, so nothing can be planted under that name.
const char *get_tmp_fn();
