#include "fold_io.h"

#include "text/alloc.h"
#include "text/fold_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

LANG marker_lang(const char *start, const char *end) {
    LANG l{};
    strcpy(l.rc_start, start);
    strcpy(l.rc_end, end);
    return l;
}

ReadResult read_bytes(const std::string &bytes, const LANG &lang, long fail_after) {
    ReadResult r{FoldPtr(fold_create("", 0, 0)), 0, -1, -1};
    FILE *fp = tmpfile();
    EXPECT_NE(fp, nullptr);
    if (!fp) return r;
    fwrite(bytes.data(), 1, bytes.size(), fp);
    rewind(fp);
    rw_begin(fp);
    set_rc(&lang);
    alloc_fail_after(fail_after);
    r.ok = read_file(r.fold.get());
    alloc_fail_after(0);
    r.outcome = rdfail;
    r.loss = rdloss;
    rw_end();
    fclose(fp);
    return r;
}

std::string write_bytes(const FOLD *f, const LANG &lang) {
    char *data = nullptr;
    size_t size = 0;
    FILE *fp = open_memstream(&data, &size);
    EXPECT_NE(fp, nullptr);
    if (!fp) return "";
    rw_begin(fp);
    set_rc(&lang);
    EXPECT_EQ(write_list(f), 1);
    EXPECT_EQ(rw_end(), 1);
    fclose(fp);
    std::string out(data, size);
    free(data);
    return out;
}

LINE *append(FOLD *f, LINE *l) {
    EXPECT_NE(l, nullptr);
    line_step_last(f);
    line_insert(l, f);
    line_step_next(f);
    return l;
}
