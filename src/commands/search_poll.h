// Letting the user stop a long search with Escape.
//
// Asking the terminal whether a key is waiting costs system calls, so a
// search does not ask on every line: it counts its lines and reads a cheap
// clock every few dozen of them, and asks the terminal only when a few
// milliseconds have passed since it last asked. A single line can take long
// too (an expression that backtracks a great deal), so the expression engine
// calls escape_watch_hook while it matches, and the same clock decides there.
// Escape thus stops a search within milliseconds of being read, whatever it
// is doing, and polling costs next to nothing on a search of a million lines.
//
// Keys other than Escape that are typed meanwhile are thrown away.
#pragma once

// Reads the key already waiting, if any: 1 when it is Escape, else 0 (also
// when no key is waiting). Never waits for a key to be typed, except for the
// rest of an escape sequence that has begun to arrive.
int key_escape_pending();

// Starts watching: a key typed before is read and dropped, the clock starts
// and no Escape has been seen.
void escape_watch_start();

// Between lines: 1 when Escape has been typed since escape_watch_start (the
// terminal is asked only when it is due).
int escape_watch_check();

// For ere_set_poll while a match runs: 1 (the match gives up) when Escape has
// been typed, asking the terminal only when it is due.
int escape_watch_hook();

// Whether Escape has been seen since escape_watch_start: tells a match that
// gave up because of it from one that ran out of memory.
int escape_watch_seen();
