#include "text/buff_file.h"

#include "host/files.h"
#include "text/fold_file.h"

int buff_read(BUFF *b, const char *fn) {
    rdloss = 0;
    FILE *fp = fopen_file(fn, "r");
    if (!fp) {
        rdfail = RD_CANNOT_OPEN;
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
        set_rc(b->lang);
        base_indent = 0;
        ok = read_file(top);
        line_step_first(top);
    }
    rw_end();
    fclose(fp);
    return ok;
}

int buff_write(const BUFF *b, const char *fn, int append) {
    FILE *fp = fopen_file(fn, append ? "a" : "w");
    if (!fp) return 0;
    rw_begin(fp);
    set_rc(b->lang);
    int ok = write_list(b->top);
    ok = rw_end() && ok;
    return fclose(fp) == 0 && ok;
}
