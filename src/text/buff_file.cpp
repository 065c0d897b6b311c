#include "text/buff_file.h"

#include "host/files.h"
#include "text/fold_file.h"

namespace {

// Whether reading stopped before the end of the file, so that the buffer
// holds only part of it.
bool stopped_short(int outcome) {
    return outcome == RD_NO_MEMORY || outcome == RD_CANNOT_OPEN;
}

} // namespace

int buff_read(BUFF *b, const char *fn) {
    rdloss = 0;
    FILE *fp = fopen_file(fn, "r");
    if (!fp) {
        rdfail = RD_CANNOT_OPEN;
        b->read_loss = file_exists(fn) ? RD_LOSS_PART : 0;
        return 0;
    }
    rw_begin(fp);
    FOLD *top = nullptr;
    rdfail = RD_CANNOT_OPEN;
    if (rw_readable()) {
        rdfail = RD_NO_MEMORY;
        top = fold_create("", 0, 0);
    }
    int ok = 0;
    if (top) {
        buff_notify(b, BUFF_REREAD);
        f_delete_deep(b->top);
        b->top = b->fold = top;
        b->line_no = 0;
        b->crlf = rw_crlf;
        b->written_by_other = 0;
        set_rc(b->lang);
        base_indent = 0;
        ok = read_file(top);
        line_step_first(top);
    }
    rw_end();
    fclose(fp);
    b->read_loss = rdloss | (!ok && stopped_short(rdfail) ? RD_LOSS_PART : 0);
    return ok;
}

int buff_write_to(const BUFF *b, FILE *fp) {
    rw_begin(fp);
    rw_crlf = b->crlf;
    set_rc(b->lang);
    int ok = write_list(b->top);
    ok = rw_end() && ok;
    return fflush(fp) == 0 && ok;
}

int buff_write(const BUFF *b, const char *fn, int append) {
    FILE *fp = fopen_file(fn, append ? "a" : "w");
    if (!fp) return 0;
    int ok = buff_write_to(b, fp);
    return fclose(fp) == 0 && ok;
}
