// Finding a plain pattern in a line's text, for the search commands.
#pragma once

// The first place at or after from where the n bytes of pattern occur in the
// len bytes of text, or -1. An empty pattern occurs at from itself (when from
// is at most len).
int plain_find_forwards(const char *text, int len, int from, const char *pattern, int n);

// The last place where the n bytes of pattern end at or before limit (at most
// the text's length), or -1.
int plain_find_backwards(const char *text, int limit, const char *pattern, int n);
