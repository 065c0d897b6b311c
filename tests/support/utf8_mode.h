// UTF-8 mode for the tests of one scope: the C.UTF-8 locale (for the widths
// of characters) and display/utf8.h's mode turned on, both back to the C
// locale and bytes at the end of the scope.
#pragma once

#include <clocale>

#include "display/utf8.h"

namespace test_support {

struct utf8_mode {
    utf8_mode() {
        std::setlocale(LC_CTYPE, "C.UTF-8");
        set_utf8_text(true);
    }
    ~utf8_mode() {
        set_utf8_text(false);
        std::setlocale(LC_CTYPE, "C");
    }
    utf8_mode(const utf8_mode &) = delete;
    utf8_mode &operator=(const utf8_mode &) = delete;
};

} // namespace test_support
