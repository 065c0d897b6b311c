#include "commands/offer_write.h"

#include <cstring>

#include "commands/errors.h"
#include "commands/write_back.h"
#include "display/prompt.h"
#include "host/filename.h"

namespace {

// Gives an unnamed buffer the name for a write, and takes it away again
// unless the write got through.
class named_for_writing {
  public:
    named_for_writing(text_buffer *b, const char *fn) : b_(b) { std::strcpy(b->fn, fn); }
    named_for_writing(const named_for_writing &) = delete;
    named_for_writing &operator=(const named_for_writing &) = delete;
    ~named_for_writing() {
        if (!written_) b_->fn[0] = '\0';
    }
    void written() { written_ = true; }

  private:
    text_buffer *b_;
    bool written_ = false;
};

// Asks for the name an unnamed buffer is to be written under: its host name.
const char *ask_name() {
    char typed[LINE_BUF_SIZE];
    if (!prompt_str("filename: ", typed)) error_code(ERR_ABORTED);
    const char *fn = typed[0] ? get_os_fn(typed) : nullptr;
    if (!fn) error_file(ERR_BAD_FILENAME, typed);
    return fn;
}

} // namespace

void offer_write(text_buffer *b) {
    if (!b->changed) return;
    if (b->fn[0]) {
        if (query_write(b, 0)) write_back(b, WB_ASK_READONLY);
        return;
    }
    int yes = 0;
    if (!prompt_yn("unnamed buffer not written, write: ", &yes)) error_code(ERR_ABORTED);
    if (!yes) return;
    named_for_writing named(b, ask_name());
    write_back(b, WB_ASK_READONLY);
    named.written();
}
