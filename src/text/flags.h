// The flags word: the editing settings a language gives its buffers as
// defaults and a buffer holds as its current settings.
#pragma once

inline constexpr unsigned FLAG_TABS = 0xff;        // tab size; 0 means real tab characters
inline constexpr unsigned FLAG_AUTOINDENT = 0x100; // new lines take the indent of the last
inline constexpr unsigned FLAG_INSERT = 0x200;     // typed characters insert (clear: overtype)
inline constexpr unsigned FLAG_VISIBLE = 0x400;    // white space is shown
