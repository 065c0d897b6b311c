// The editor without a terminal, as the benchmarks of the commands run it:
// its tables made and a screen of 80x24 that is never drawn, the language of
// the generated file's fold markers (common/folded_file.h) and one without
// markers that reads the same file flat, and the file read into a buffer.
#pragma once

#include "common/fail.h"
#include "display/screen.h"
#include "display/terminal.h"
#include "text/buff_file.h"
#include "text/buffer.h"
#include "text/lang.h"

#include <string>

namespace bench {

inline void start_headless_editor() {
    data_init();
    x_size = 80;
    y_size = 24;
    scn_init();
}

inline language_def *folded_language() {
    language_def *top = lang_create("top", "/*...", "*/", ".*\\.top", "_", 0x300);
    if (!top) fail("cannot make the language top");
    return top;
}

inline language_def *flat_language() {
    language_def *flat = lang_create("flat", "", "", "", "_", 0x300);
    if (!flat) fail("cannot make the language flat");
    return flat;
}

// A new buffer holding the file read in the language.
inline text_buffer *read_buffer(const std::string &file, language_def *lang) {
    text_buffer *b = buff_create(file.c_str(), -1, lang);
    if (!b || !buff_read(b, file.c_str())) fail("cannot read " + file);
    return b;
}

} // namespace bench
