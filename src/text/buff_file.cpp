#include "text/buff_file.h"

#include "host/files.h"

namespace {

// Whether reading stopped before the end of the file, so that the buffer
// holds only part of it.
bool stopped_short(int outcome) {
    return outcome == RD_NO_MEMORY || outcome == RD_CANNOT_OPEN;
}

} // namespace

read_report buff_read(text_buffer *b, const char *fn) {
    fold_reader in(fn, b->lang);
    if (!in.opened()) {
        b->read_loss = file_exists(fn) ? RD_LOSS_PART : 0;
        return in.report();
    }
    tree_fold *top = in.ready() ? fold_create("", 0, 0) : nullptr;
    read_report r = in.report();
    if (top) {
        buff_notify(b, BUFF_REREAD);
        f_delete_deep(b->top);
        b->top = b->fold = top;
        b->line_no = 0;
        b->crlf = r.crlf;
        b->written_by_other = 0;
        in.read_into(top);
        line_step_first(top);
        r = in.report();
    } else if (in.ready()) {
        r.outcome = RD_NO_MEMORY;
    }
    b->read_loss = r.loss | (!r && stopped_short(r.outcome) ? RD_LOSS_PART : 0);
    return r;
}

write_report buff_write_to(const text_buffer *b, FILE *fp) {
    fold_writer out(fp, b->lang, b->crlf != 0);
    out.write_list(b->top);
    return out.finish();
}

write_report buff_write(const text_buffer *b, const char *fn, int append) {
    fold_writer out(fn, append != 0, b->lang, b->crlf != 0);
    out.write_list(b->top);
    return out.finish();
}
