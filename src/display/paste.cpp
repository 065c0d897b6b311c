#include "display/paste.h"

#include <cstring>

static const char paste_end[] = "\033[201~";
static const int paste_end_len = sizeof paste_end - 1;

size_t paste_scan::feed(const char *bytes, size_t n) {
    size_t i = 0;
    while (i < n && !done) {
        if (matched == 0) {
            // Most of a paste is text: copy up to the next Escape at once.
            const void *esc = std::memchr(bytes + i, '\033', n - i);
            size_t upto = esc ? static_cast<size_t>(static_cast<const char *>(esc) - bytes) : n;
            text.append(bytes + i, upto - i);
            i = upto;
            if (i == n) break;
        }
        if (bytes[i] == paste_end[matched]) {
            i++;
            done = ++matched == paste_end_len;
            continue;
        }
        // Not the end after all: what looked like its start is text, and the
        // byte is looked at again, since it may begin the end itself.
        text.append(paste_end, static_cast<size_t>(matched));
        if (matched == 0) text += bytes[i++];
        matched = 0;
    }
    return i;
}
