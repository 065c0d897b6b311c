#include "text/alloc.h"
#include "text/line.h"
#include "tree_check.h"
#include "tree_owner.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

// Appends a line at the fold's end, as the file reader does.
LINE *append(FOLD *f, LINE *l) {
    EXPECT_NE(l, nullptr);
    line_step_last(f);
    line_insert(l, f);
    line_step_next(f);
    return l;
}

LINE *append_text(FOLD *f, const char *text) {
    return append(f, line_create_text(text));
}

// A fold line named name holding the given text lines.
LinePtr fold_line(const char *name, std::initializer_list<const char *> texts, int indent = 0,
                  int open = 1) {
    LinePtr l(line_create_fold(name, indent, open));
    EXPECT_TRUE(l);
    for (const char *t : texts) append_text(line_fold(l.get()), t);
    return l;
}

TEST(Fold, NewFoldIsEmptyWithItsEndLineCurrent) {
    const char name[] = "outer";
    FoldPtr f(fold_create(name, 4, 1));
    ASSERT_TRUE(f);
    EXPECT_STREQ(f->name, "outer");
    EXPECT_NE(f->name, name);
    EXPECT_EQ(f->indent, 4);
    EXPECT_EQ(f->open, 1);
    EXPECT_EQ(f->line_count, 1);
    EXPECT_EQ(f->deep_count, 1);
    EXPECT_EQ(f->cur_index, 0);
    EXPECT_EQ(f->cur_count, 0);
    EXPECT_EQ(f->cur, f->end);
    EXPECT_EQ(f->first, f->end);
    EXPECT_EQ(line_kind(f->end), LINE_END);
    EXPECT_EQ(f->into, 0);
    EXPECT_EQ(f->col, 0);
    EXPECT_EQ(f->row, 4);
    EXPECT_EQ(f->mark1, -1);
    EXPECT_EQ(f->mark2, -1);
    EXPECT_EQ(f->parent, nullptr);
    EXPECT_EQ(check_fold_invariants(f.get()), "");
}

TEST(LineInsert, TextLineIntoEmptyFold) {
    FoldPtr f(fold_create("", 0, 0));
    LINE *l = line_create_text("hello");
    line_insert(l, f.get());
    EXPECT_EQ(f->cur, l);
    EXPECT_EQ(f->first, l);
    EXPECT_EQ(f->cur_index, 0);
    EXPECT_EQ(f->line_count, 2);
    EXPECT_EQ(f->deep_count, 2);
    EXPECT_EQ(line_step_next(f.get()), 1);
    EXPECT_EQ(f->cur, f->end);
    EXPECT_EQ(f->cur_index, 1);
    EXPECT_EQ(f->cur_count, 1);
    EXPECT_EQ(check_fold_invariants(f.get()), "");
}

TEST(LineInsert, FoldHoldingLinesAddsAllItsLinesUpTheChain) {
    FoldPtr top(fold_create("", 0, 0));
    LINE *outer = append(top.get(), fold_line("outer", {"x"}).release());
    FOLD *of = line_fold(outer);
    EXPECT_EQ(top->deep_count, 1 + 3);
    // Fill a fold before it has a parent, then insert it two levels down, in
    // the fold entered from the top (the top's current line is its fold line).
    LinePtr inner = fold_line("inner", {"a", "b", "c"});
    EXPECT_EQ(line_fold(inner.get())->deep_count, 4);
    line_step_first(top.get());
    line_step_first(of);
    line_insert(inner.release(), of);
    EXPECT_EQ(line_fold(of->cur)->parent, of);
    EXPECT_EQ(of->deep_count, 2 + 5);
    EXPECT_EQ(top->deep_count, 4 + 5);
    EXPECT_EQ(lines_in(outer), 7);
    EXPECT_EQ(check_fold_invariants(top.get()), "");
}

TEST(LineRemove, TextLineTwoDeepLowersAllThreeDeepCounts) {
    FoldPtr top(fold_create("", 0, 0));
    LINE *a = append(top.get(), fold_line("a", {}).release());
    LINE *b = append(line_fold(a), fold_line("b", {"1", "2", "3"}).release());
    FOLD *fa = line_fold(a), *fb = line_fold(b);
    int deep_top = top->deep_count, deep_a = fa->deep_count, deep_b = fb->deep_count;
    line_step_first(top.get()); // entered a, then b
    line_step_first(fa);
    line_step_to(fb, 1);
    LinePtr removed(line_remove(fb));
    EXPECT_STREQ(line_text(removed.get()), "2");
    EXPECT_EQ(removed->next, nullptr);
    EXPECT_EQ(removed->prev, nullptr);
    EXPECT_STREQ(line_text(fb->cur), "3");
    EXPECT_EQ(fb->cur_index, 1);
    EXPECT_EQ(fb->cur_count, 1);
    EXPECT_EQ(top->deep_count, deep_top - 1);
    EXPECT_EQ(fa->deep_count, deep_a - 1);
    EXPECT_EQ(fb->deep_count, deep_b - 1);
    EXPECT_EQ(check_fold_invariants(top.get()), "");
}

TEST(LineRemove, FoldLineLeavesWithItsWholeCountAndNoParent) {
    FoldPtr top(fold_create("", 0, 0));
    append_text(top.get(), "before");
    append(top.get(), fold_line("f", {"1", "2"}).release());
    line_step_to(top.get(), 1);
    LinePtr f(line_remove(top.get()));
    EXPECT_EQ(line_fold(f.get())->parent, nullptr);
    EXPECT_EQ(top->deep_count, 2);
    EXPECT_EQ(check_fold_invariants(top.get()), "");
    EXPECT_EQ(check_fold_invariants(line_fold(f.get())), "");
}

TEST(Marks, FollowInsertsAndRemoves) {
    FoldPtr f(fold_create("", 0, 0));
    for (const char *t : {"0", "1", "2", "3"}) append_text(f.get(), t);
    f->mark1 = 2;
    f->mark2 = 1;
    line_step_to(f.get(), 2);
    line_insert(line_create_text("new"), f.get());
    EXPECT_EQ(f->mark1, 3); // followed the old line 2
    EXPECT_EQ(f->mark2, 1);
    EXPECT_STREQ(line_text(f->cur), "new");
    line_step_to(f.get(), 3);
    line_delete(line_remove(f.get())); // removes the marked "2"
    EXPECT_EQ(f->mark1, 3);            // now names "3"
    line_step_to(f.get(), 1);
    line_delete(line_remove(f.get()));
    EXPECT_EQ(f->mark1, 2);
    EXPECT_EQ(f->mark2, 1);
    EXPECT_STREQ(line_text(f->cur), "new");
    EXPECT_EQ(check_fold_invariants(f.get()), "");
    EXPECT_EQ(tree_picture(f.get()), "0,new,3,");
}

TEST(Marks, UnsetMarksStayUnset) {
    FoldPtr f(fold_create("", 0, 0));
    line_insert(line_create_text("a"), f.get());
    line_delete(line_remove(f.get()));
    EXPECT_EQ(f->mark1, -1);
    EXPECT_EQ(f->mark2, -1);
}

TEST(Stepping, ReturnsTheChangeOfTheLineNumber) {
    FoldPtr f(fold_create("", 0, 0));
    append_text(f.get(), "a");
    append(f.get(), fold_line("f", {"1", "2", "3"}).release()); // 5 lines as a file holds them
    append_text(f.get(), "b");
    append_text(f.get(), "c");
    EXPECT_EQ(f->deep_count, 9);
    EXPECT_EQ(line_step_first(f.get()), -8);
    EXPECT_EQ(line_step_next(f.get()), 1);
    EXPECT_EQ(line_step_next(f.get()), 5);
    EXPECT_EQ(f->cur_count, 6);
    EXPECT_EQ(line_step_prev(f.get()), -5);
    EXPECT_EQ(line_step_to(f.get(), 3), 6);
    EXPECT_EQ(f->cur_count, 7);
    EXPECT_EQ(line_step_first(f.get()), -7);
    EXPECT_EQ(line_step_last(f.get()), 8);
    EXPECT_EQ(f->cur, f->end);
    EXPECT_EQ(f->cur_index, 4);
    EXPECT_EQ(line_step_to(f.get(), 4), 0);
    EXPECT_EQ(line_step_to(f.get(), 0), -8);
    EXPECT_EQ(check_fold_invariants(f.get()), "");
}

// Every record of the tree under f, for checking that copies share none.
void collect_records(const FOLD *f, std::set<const void *> &out) {
    out.insert(f);
    out.insert(f->name);
    for (const LINE *l = f->first;; l = l->next) {
        out.insert(l);
        if (l == f->end) break;
        if (line_kind(l) == LINE_TEXT) out.insert(line_text(l));
        if (line_kind(l) == LINE_VIRT) {
            out.insert(line_virt(l));
            out.insert(line_virt(l)->name);
        }
        if (line_kind(l) == LINE_FOLD) collect_records(line_fold(l), out);
    }
}

TEST(DeepCopy, EqualButDistinctAtEveryLevel) {
    LinePtr src = fold_line("src", {"a"}, 4, 1);
    FOLD *sf = line_fold(src.get());
    append(sf, fold_line("inner", {"b", "c"}, 8, 0).release());
    append(sf, line_create_virt("lib/my' file.c", 2, 1));
    append_text(sf, "");
    line_toggle_tag(sf->first);
    line_set_changed(sf->first);
    line_set_changed(src.get());
    line_step_to(sf, 1);

    LinePtr copy(line_copy_deep(src.get()));
    ASSERT_TRUE(copy);
    FOLD *cf = line_fold(copy.get());
    EXPECT_EQ(tree_picture(cf), tree_picture(sf));
    EXPECT_EQ(tree_picture(cf), "a,[inner 8 c:b,c,],<lib/my' file.c 2 o>,,");
    EXPECT_STREQ(cf->name, "src");
    EXPECT_EQ(cf->indent, 4);
    EXPECT_EQ(cf->open, 1);
    EXPECT_EQ(cf->cur, cf->end);
    EXPECT_EQ(cf->cur_index, cf->line_count - 1);
    EXPECT_EQ(cf->parent, nullptr);
    EXPECT_EQ(line_type(copy.get()), unsigned{LINE_FOLD});
    EXPECT_EQ(line_type(cf->first), unsigned{LINE_TEXT});
    EXPECT_EQ(check_fold_invariants(cf), "");

    std::set<const void *> src_records, copy_records;
    collect_records(sf, src_records);
    collect_records(cf, copy_records);
    for (const void *p : copy_records) EXPECT_EQ(src_records.count(p), 0u);
    EXPECT_EQ(copy_records.size(), src_records.size());
}

TEST(ShallowCopy, FoldCopyHasAnEmptyList) {
    LinePtr src = fold_line("name", {"a", "b"}, 3, 0);
    LinePtr copy(line_copy(src.get()));
    ASSERT_TRUE(copy);
    FOLD *cf = line_fold(copy.get());
    EXPECT_STREQ(cf->name, "name");
    EXPECT_EQ(cf->indent, 3);
    EXPECT_EQ(cf->open, 0);
    EXPECT_EQ(cf->line_count, 1);
    EXPECT_EQ(cf->first, cf->end);
    FoldPtr f(fold_create("", 0, 0));
    EXPECT_EQ(line_copy(f->end), nullptr);
    EXPECT_EQ(line_copy_deep(f->end), nullptr);
    line_delete(f->end);
    line_delete_deep(f->end);
    EXPECT_EQ(check_fold_invariants(f.get()), "");
}

TEST(TypeByte, FlagsLeaveKindAndPayloadAlone) {
    LinePtr l(line_create_text("text"));
    LinePtr v(line_create_virt("v", 1, 0));
    LinePtr f = fold_line("f", {});
    EXPECT_EQ(line_kind(l.get()), LINE_TEXT);
    EXPECT_EQ(line_kind(v.get()), LINE_VIRT);
    EXPECT_EQ(line_kind(f.get()), LINE_FOLD);
    FOLD *fold = line_fold(f.get());
    line_set_changed(f.get());
    line_toggle_tag(f.get());
    EXPECT_EQ(line_type(f.get()), unsigned{LINE_FOLD | LINE_TAG | LINE_CHANGED});
    EXPECT_EQ(line_fold(f.get()), fold);
    EXPECT_TRUE(line_is_changed(f.get()));
    EXPECT_TRUE(line_is_tagged(f.get()));
    line_clear_changed(f.get());
    line_toggle_tag(f.get());
    EXPECT_EQ(line_type(f.get()), unsigned{LINE_FOLD});
    line_set_changed(l.get());
    EXPECT_STREQ(line_text(l.get()), "text");
    EXPECT_EQ(line_kind(l.get()), LINE_TEXT);
}

TEST(Setters, ReplaceStringsAndKeepFlags) {
    LinePtr l(line_create_text("hello world"));
    line_toggle_tag(l.get());
    ASSERT_EQ(line_set_text(l.get(), line_text(l.get()) + 6), 1); // from its own text
    EXPECT_STREQ(line_text(l.get()), "world");
    EXPECT_TRUE(line_is_tagged(l.get()));
    LinePtr f = fold_line("old", {});
    ASSERT_EQ(fold_set_name(line_fold(f.get()), "new"), 1);
    EXPECT_STREQ(line_fold(f.get())->name, "new");
    LinePtr v(line_create_virt("a.c", 0, 0));
    ASSERT_EQ(vfold_set_name(line_virt(v.get()), std::string(500, 'n').c_str()), 1);
    EXPECT_EQ(strlen(line_virt(v.get())->name), 500u);
}

TEST(Setters, KeepTheOldStringWhenMemoryRunsOut) {
    LinePtr l(line_create_text("keep"));
    alloc_fail_after(1);
    EXPECT_EQ(line_set_text(l.get(), "lost"), 0);
    EXPECT_STREQ(line_text(l.get()), "keep");
    FoldPtr f(fold_create("name", 0, 0));
    alloc_fail_after(1);
    EXPECT_EQ(fold_set_name(f.get(), "lost"), 0);
    EXPECT_STREQ(f->name, "name");
    alloc_fail_after(0);
}

// Records which lines and folds the notices reported.
struct NoticeLog {
    static inline std::vector<const LINE *> lines;
    static inline std::vector<const FOLD *> folds;
    NoticeLog() {
        lines.clear();
        folds.clear();
        line_set_delete_notice([](LINE *l) { lines.push_back(l); });
        fold_set_free_notice([](FOLD *f) { folds.push_back(f); });
    }
    ~NoticeLog() {
        line_set_delete_notice(nullptr);
        fold_set_free_notice(nullptr);
    }
};

TEST(Notices, EveryFreedLineAndFoldIsReported) {
    LinePtr root = fold_line("root", {"a"});
    FOLD *rf = line_fold(root.get());
    LINE *mid = append(rf, fold_line("mid", {"b"}).release());
    LINE *deep = append(line_fold(mid), fold_line("deep", {"c", "d"}).release());
    append(rf, line_create_virt("v", 0, 0));
    std::set<const LINE *> want_lines;
    std::set<const FOLD *> want_folds = {rf, line_fold(mid), line_fold(deep)};
    for (const FOLD *f : want_folds) {
        for (const LINE *l = f->first;; l = l->next) {
            want_lines.insert(l);
            if (l == f->end) break;
        }
    }
    want_lines.insert(root.get());
    EXPECT_EQ(want_lines.size(), 11u);

    NoticeLog log;
    line_delete_deep(root.release());
    EXPECT_EQ(std::set<const LINE *>(log.lines.begin(), log.lines.end()), want_lines);
    EXPECT_EQ(log.lines.size(), want_lines.size());
    EXPECT_EQ(std::set<const FOLD *>(log.folds.begin(), log.folds.end()), want_folds);
    EXPECT_EQ(log.folds.size(), want_folds.size());
}

TEST(Notices, ShallowDeletesReportTheirOwnRecordsOnly) {
    LinePtr f = fold_line("f", {"a"});
    FOLD *fold = line_fold(f.get());
    LINE *end = fold->end;
    line_step_first(fold);
    LinePtr a(line_remove(fold));
    NoticeLog log;
    LINE *fl = f.release();
    line_delete_fold(fl);
    EXPECT_EQ(log.lines, (std::vector<const LINE *>{end, fl}));
    EXPECT_EQ(log.folds, (std::vector<const FOLD *>{fold}));
    LINE *al = a.release();
    line_delete(al);
    EXPECT_EQ(log.lines.size(), 3u);
    EXPECT_EQ(log.lines.back(), al);
}

TEST(OutOfMemory, CreatorsAndCopiersLeaveNothingBehind) {
    LinePtr src = fold_line("src", {"a", "b"});
    append(line_fold(src.get()), fold_line("inner", {"c"}).release());
    append(line_fold(src.get()), line_create_virt("v", 0, 1));
    std::string want = tree_picture(line_fold(src.get()));
    long live = alloc_live_blocks();
    bool copied = false;
    // Fail each allocation of the deep copy in turn, until one copy succeeds.
    for (long n = 1; !copied && n < 100; n++) {
        alloc_fail_after(n);
        LinePtr copy(line_copy_deep(src.get()));
        alloc_fail_after(0);
        if (copy) {
            copied = true;
            EXPECT_EQ(tree_picture(line_fold(copy.get())), want);
        } else {
            EXPECT_EQ(alloc_live_blocks(), live) << "failing allocation " << n;
        }
    }
    EXPECT_TRUE(copied);
    for (long n = 1; n <= 3; n++) {
        alloc_fail_after(n);
        EXPECT_EQ(line_create_virt("v", 0, 0), nullptr);
        alloc_fail_after(n);
        FOLD *f = fold_create("f", 0, 0);
        alloc_fail_after(0);
        if (n <= 2) {
            EXPECT_EQ(f, nullptr);
        }
        f_delete_deep(f);
        EXPECT_EQ(alloc_live_blocks(), live);
    }
}

TEST(DeepNesting, CopyAndDeleteNeedNoCallStack) {
    // Deep enough that a recursive copy or delete would overflow the stack.
    const int depth = 300000;
    LinePtr root(line_create_fold("0", 0, 1));
    for (int i = 1; i < depth; i++) {
        LinePtr outer(line_create_fold("n", 0, 1));
        ASSERT_TRUE(outer);
        line_insert(root.release(), line_fold(outer.get()));
        root = std::move(outer);
    }
    EXPECT_EQ(lines_in(root.get()), 2 * depth - 1);
    LinePtr copy(line_copy_deep(root.get()));
    ASSERT_TRUE(copy);
    EXPECT_EQ(lines_in(copy.get()), 2 * depth - 1);
    const LINE *s = root.get(), *c = copy.get();
    for (int i = 0; i < depth; i++) {
        ASSERT_NE(s, c);
        ASSERT_EQ(line_fold(c)->deep_count, line_fold(s)->deep_count);
        if (i + 1 == depth) {
            EXPECT_STREQ(line_fold(c)->name, "0");
            break;
        }
        s = line_fold(s)->first;
        c = line_fold(c)->first;
        ASSERT_EQ(line_kind(c), LINE_FOLD);
    }
}

} // namespace
