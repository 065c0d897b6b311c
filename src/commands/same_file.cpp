#include "commands/same_file.h"

#include <sys/stat.h>

#include <cstdio>
#include <exception>

#include "commands/errors.h"
#include "display/into.h"
#include "display/prompt.h"
#include "display/terminal.h"
#include "host/filename.h"

namespace {

// Asks whether to write over what another buffer wrote, the answer that
// loses nothing first: "aborted" unless the answer is yes.
void ask_to_replace(const char *fn) {
    static const char tail[] = " was written from another buffer, write anyway: ";
    char question[2 * LINE_BUF_SIZE];
    int room = x_size - 6 - static_cast<int>(sizeof tail - 1);
    int n = into_near_col(fn, 0, room < 0 ? 0 : room);
    std::snprintf(question, sizeof question, "%.*s%s", n, fn, tail);
    prompt_option no_yes[2] = {{"no", 0, 0, 0}, {"yes", 1, 0, 0}};
    prompt_option *chosen = nullptr;
    if (!prompt_opt(question, &chosen, no_yes, 2, 0) || !chosen->value) error_code(ERR_ABORTED);
}

} // namespace

int same_file(const char *a, const char *b) {
    if (!a[0] || !b[0]) return 0;
    struct stat sa, sb;
    if (stat(a, &sa) == 0 && stat(b, &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    return cmp_os_fn(a, b) == 0;
}

text_buffer *buffer_of_file(const char *fn) {
    for (text_buffer *b : buffs)
        if (b && same_file(b->fn, fn)) return b;
    return nullptr;
}

same_file_write::same_file_write(text_buffer *b, bool append)
    : b_(b), append_(append), errors_passing_(std::uncaught_exceptions()) {
    if (b->written_by_other && !append) ask_to_replace(b->fn);
}

same_file_write::~same_file_write() {
    if (std::uncaught_exceptions() != errors_passing_) return; // the write failed
    for (text_buffer *other : buffs)
        if (other && other != b_ && same_file(other->fn, b_->fn)) other->written_by_other = 1;
    if (!append_) b_->written_by_other = 0; // appended, it still does not hold the file
}
