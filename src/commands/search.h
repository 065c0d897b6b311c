// Searching and replacing through the fold tree.
//
// A search looks for a plain string or an extended regular expression
// (ere/ere.h) through the lines of its scope (commands/search_walk.h),
// forwards or backwards from the cursor, a given number of times or to the
// end, optionally showing each match and asking before each replacement. It
// searches each line's string: a text line's text, a fold's name, a virtual
// fold's file name; end lines hold nothing to find. A search that ignores case
// searches a lower-case copy of the line, so the offsets it finds hold for the
// line itself and replacements go in as typed.
//
// The settings of the last search are kept until the next one, so that
// search_again can repeat it. When a search runs out of lines it reports the
// number of matches it handled ("not found" for none) and leaves the cursor at
// the end of the list where it stopped (forwards) or at the start of its first
// line (backwards); when it has handled as many matches as it was asked, the
// cursor stays after the last one (forwards) or at its start (backwards) and
// the prompt line is blank. Escape stops it at once (commands/search_poll.h)
// with "aborted"; whatever it replaced before stays replaced.
#pragma once

#include <memory>

#include "ere/ere.h"
#include "text/scan.h"

struct ere_deleter {
    void operator()(ERE *e) const { ere_discard(e); }
};
using owned_ere = std::unique_ptr<ERE, ere_deleter>;

struct tree_fold;

// Where a search may walk (commands/search_walk.h): the fold context it
// started in, null once that fold is freed, and the id of its buffer.
struct search_scope {
    tree_fold *root_fold = nullptr;
    int root_buff_id = -1;
};

// The settings of the last search, its scope and its progress.
struct search_record {
    int have_pattern;          // 0 until the first search was set up
    int case_sensitive;        // 0: upper and lower case are the same
    int forwards;              // 0: backwards
    char plain[LINE_BUF_SIZE]; // the plain pattern, lower case when case is ignored
    int plain_len;
    owned_ere ere;                   // the compiled expression; null for a plain search
    unsigned times;                  // matches to handle; all of them when 0 was asked
    int when_folds;                  // when to enter folds: WHEN_NEVER, WHEN_IF_OPEN, WHEN_ALWAYS
    int when_vfolds;                 // the same for virtual folds
    int confirm;                     // show each match (and ask before replacing it)
    int replace;                     // 1 when matches are replaced by replacement
    char replacement[LINE_BUF_SIZE]; // "\1" to "\9" stand for groups of an expression
    int replacement_len;
    int last_empty; // the last match was empty: the next look starts one place on
    int count;      // matches handled by the search running, or the last one
    search_scope scope;
};

extern search_record last_search;

// Sets up a search: a regular expression is compiled (under ERE_ICASE when
// case is ignored), a plain pattern stored (lower case when case is ignored).
// Raises "regular expression too long" for an expression over 300 bytes and
// the engine's message for one that does not compile; then nothing changes but
// the direction, and the last pattern stays in force with its own case
// setting. The scope and the replacement are left to the caller. times 0 means
// no limit.
void search_setup(const char *pattern, int case_sensitive, int regular, int when_folds,
                  int when_vfolds, int forwards, int times, int confirm);

// Runs the search as set up, from the cursor, within the scope. Shows
// "searching ..." while it runs. Raises "not found" when it found nothing,
// "aborted" on Escape (while it runs, at "press a key ..." or at the "sure: "
// question), "line too long" when a replacement would make a line longer than
// 500 bytes, "bad substitution" for a replacement that names a group the
// match did not close or ends in a lone backslash, "out of memory", and the
// errors of entering and leaving virtual folds (commands/search_walk.h). The
// replacements made before an error stay.
void search_run();

// Reports the matches handled: "<n> matches", or raises "not found" for none.
void matched();

// Forgets the last search: no pattern, no scope, as when the editor starts.
void search_forget();
