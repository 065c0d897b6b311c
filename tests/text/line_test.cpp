#include "text/alloc.h"
#include "text/line.h"
#include "tree_check.h"
#include "tree_owner.h"

#include <gtest/gtest.h>

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

LinePtr fold_line(const char *name, std::initializer_list<const char *> texts, int indent = 0,
                  int open = 1) {
    LinePtr l(line_create_fold(name, indent, open));
    for (const char *t : texts) append(line_fold(l.get()), line_create_text(t));
    return l;
}

// line count / deep count @ current index + current line count
std::string counts(const FOLD *f) {
    return std::to_string(f->line_count) + "/" + std::to_string(f->deep_count) + " @" +
           std::to_string(f->cur_index) + "+" + std::to_string(f->cur_count);
}

TEST(LineTree, NewFoldAndFirstInsert) {
    FoldPtr f(fold_create("outer", 4, 1));
    EXPECT_EQ(counts(f.get()), "1/1 @0+0");
    EXPECT_TRUE(f->cur == f->end && f->first == f->end && line_kind(f->end) == LINE_END);
    EXPECT_EQ(f->row, 4);
    EXPECT_EQ(f->mark1 + f->mark2 + f->into + f->col, -2);
    LINE *l = line_create_text("hello");
    line_insert(l, f.get());
    EXPECT_TRUE(f->cur == l && f->first == l);
    EXPECT_EQ(counts(f.get()), "2/2 @0+0");
    EXPECT_EQ(line_step_next(f.get()), 1);
    EXPECT_EQ(counts(f.get()), "2/2 @1+1");
    EXPECT_EQ(check_fold_invariants(f.get()), "");
}

TEST(LineTree, InsertAndRemoveCountUpTheParentChain) {
    FoldPtr top(fold_create("", 0, 0));
    LINE *a = append(top.get(), fold_line("a", {"x"}).release());
    FOLD *fa = line_fold(a);
    line_step_first(top.get()); // entered a, the way the editor does
    line_step_first(fa);
    // A fold filled before it has a parent adds all its lines at once.
    LinePtr b = fold_line("b", {"1", "2", "3"});
    EXPECT_EQ(counts(line_fold(b.get())), "4/4 @3+3");
    FOLD *fb = line_fold(b.get());
    line_insert(b.release(), fa);
    EXPECT_EQ(fb->parent, fa);
    EXPECT_EQ(counts(fa), "3/7 @0+0");
    EXPECT_EQ(counts(top.get()), "2/9 @0+0");
    // Removing a text line two deep lowers all three deep counts.
    line_step_to(fb, 1);
    LinePtr two(line_remove(fb));
    EXPECT_STREQ(line_text(two.get()), "2");
    EXPECT_TRUE(two->next == nullptr && two->prev == nullptr);
    EXPECT_STREQ(line_text(fb->cur), "3");
    EXPECT_EQ(counts(fb), "3/3 @1+1");
    EXPECT_EQ(counts(fa), "3/6 @0+0");
    EXPECT_EQ(counts(top.get()), "2/8 @0+0");
    // A removed fold line takes its whole count and loses its parent.
    LinePtr removed(line_remove(fa));
    EXPECT_EQ(fb->parent, nullptr);
    EXPECT_EQ(counts(top.get()), "2/4 @0+0");
    EXPECT_EQ(check_fold_invariants(top.get()), "");
    EXPECT_EQ(check_fold_invariants(fb), "");
}

TEST(LineTree, MarksFollowInsertsAndRemoves) {
    FoldPtr f(fold_create("", 0, 0));
    for (const char *t : {"0", "1", "2", "3"}) append(f.get(), line_create_text(t));
    f->mark1 = 2;
    f->mark2 = 1;
    line_step_to(f.get(), 2);
    line_insert(line_create_text("new"), f.get());
    EXPECT_EQ(f->mark1, 3); // followed the old line 2
    EXPECT_EQ(f->mark2, 1);
    line_step_to(f.get(), 3);
    line_delete(line_remove(f.get()));
    EXPECT_EQ(f->mark1, 3); // now names the next line
    line_step_to(f.get(), 1);
    line_delete(line_remove(f.get()));
    EXPECT_EQ(f->mark1, 2);
    EXPECT_EQ(f->mark2, 1);
    EXPECT_EQ(tree_picture(f.get()), "0,new,3,");
    f->mark1 = f->mark2 = -1;
    line_delete(line_remove(f.get()));
    EXPECT_EQ(f->mark1 + f->mark2, -2);
}

TEST(LineTree, SteppingReturnsTheChangeOfTheLineNumber) {
    FoldPtr f(fold_create("", 0, 0));
    append(f.get(), line_create_text("a"));
    append(f.get(), fold_line("f", {"1", "2", "3"}).release()); // 5 lines in a file
    append(f.get(), line_create_text("b"));
    append(f.get(), line_create_text("c"));
    EXPECT_EQ(line_step_first(f.get()), -8);
    EXPECT_EQ(line_step_next(f.get()), 1);
    EXPECT_EQ(line_step_next(f.get()), 5);
    EXPECT_EQ(line_step_prev(f.get()), -5);
    EXPECT_EQ(line_step_to(f.get(), 3), 6);
    EXPECT_EQ(counts(f.get()), "5/9 @3+7");
    EXPECT_EQ(line_step_first(f.get()), -7);
    EXPECT_EQ(line_step_last(f.get()), 8);
    EXPECT_EQ(counts(f.get()), "5/9 @4+8");
    EXPECT_EQ(line_step_to(f.get(), 4), 0);
    EXPECT_EQ(line_step_to(f.get(), 0), -8);
}

void collect_records(const FOLD *f, std::set<const void *> &out) {
    out.insert({f, f->name, f->end});
    for (const LINE *l = f->first; l != f->end; l = l->next) {
        out.insert(l);
        if (line_kind(l) == LINE_TEXT) out.insert(line_text(l));
        if (line_kind(l) == LINE_VIRT) out.insert({line_virt(l), line_virt(l)->name});
        if (line_kind(l) == LINE_FOLD) collect_records(line_fold(l), out);
    }
}

TEST(LineTree, CopiesAreEqualButShareNothing) {
    LinePtr src = fold_line("src", {"a"}, 4, 1);
    FOLD *sf = line_fold(src.get());
    append(sf, fold_line("inner", {"b", "c"}, 8, 0).release());
    append(sf, line_create_virt("lib/my' file.c", 2, 1));
    append(sf, line_create_text(""));
    line_toggle_tag(sf->first);
    line_set_changed(src.get());
    line_step_to(sf, 1);

    LinePtr copy(line_copy_deep(src.get()));
    ASSERT_TRUE(copy);
    FOLD *cf = line_fold(copy.get());
    EXPECT_EQ(tree_picture(cf), "a,[inner 8 c:b,c,],<lib/my' file.c 2 o>,,");
    EXPECT_EQ(tree_picture(sf), tree_picture(cf));
    EXPECT_STREQ(cf->name, "src");
    EXPECT_EQ(cf->indent + cf->open, 5);
    EXPECT_EQ(counts(cf), "5/8 @4+7");
    EXPECT_EQ(line_type(copy.get()) | line_type(cf->first), unsigned{LINE_FOLD}); // no flags
    EXPECT_EQ(check_fold_invariants(cf), "");
    std::set<const void *> src_records, copy_records;
    collect_records(sf, src_records);
    collect_records(cf, copy_records);
    for (const void *p : copy_records) EXPECT_EQ(src_records.count(p), 0u);
    EXPECT_EQ(copy_records.size(), src_records.size());

    LinePtr shallow(line_copy(src.get()));
    EXPECT_EQ(tree_picture(line_fold(shallow.get())), "");
    EXPECT_STREQ(line_fold(shallow.get())->name, "src");
    EXPECT_EQ(line_copy(sf->end), nullptr);
    line_delete_deep(sf->end); // end lines are left alone
    EXPECT_EQ(check_fold_invariants(sf), "");
}

TEST(LineTree, TypeByteFlagsAndSettersLeaveTheRestAlone) {
    LinePtr f = fold_line("old", {});
    FOLD *fold = line_fold(f.get());
    line_set_changed(f.get());
    line_toggle_tag(f.get());
    EXPECT_EQ(line_type(f.get()), unsigned{LINE_FOLD | LINE_TAG | LINE_CHANGED});
    EXPECT_TRUE(line_fold(f.get()) == fold && line_is_changed(f.get()) && line_is_tagged(f.get()));
    line_clear_changed(f.get());
    line_toggle_tag(f.get());
    EXPECT_EQ(line_type(f.get()), unsigned{LINE_FOLD});
    ASSERT_EQ(fold_set_name(fold, "new"), 1);
    EXPECT_STREQ(fold->name, "new");

    LinePtr l(line_create_text("hello world"));
    line_toggle_tag(l.get());
    ASSERT_EQ(line_set_text(l.get(), line_text(l.get()) + 6), 1); // from its own text
    EXPECT_STREQ(line_text(l.get()), "world");
    EXPECT_EQ(line_type(l.get()), unsigned{LINE_TEXT | LINE_TAG});
    alloc_fail_after(1);
    EXPECT_EQ(line_set_text(l.get(), "lost"), 0);
    EXPECT_STREQ(line_text(l.get()), "world");
    LinePtr v(line_create_virt("a.c", 0, 0));
    alloc_fail_after(1);
    EXPECT_EQ(vfold_set_name(line_virt(v.get()), "lost"), 0);
    alloc_fail_after(0);
    EXPECT_STREQ(line_virt(v.get())->name, "a.c");
}

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

TEST(LineTree, NoticesReportEveryFreedLineAndFold) {
    LinePtr root = fold_line("root", {"a"});
    LINE *mid = append(line_fold(root.get()), fold_line("mid", {"b"}).release());
    LINE *deep = append(line_fold(mid), fold_line("deep", {"c", "d"}).release());
    append(line_fold(root.get()), line_create_virt("v", 0, 0));
    std::set<const FOLD *> want_folds = {line_fold(root.get()), line_fold(mid), line_fold(deep)};
    std::set<const LINE *> want_lines = {root.get()};
    for (const FOLD *f : want_folds) {
        for (const LINE *l = f->first; l; l = l->next) want_lines.insert(l);
    }
    NoticeLog log;
    line_delete_deep(root.release());
    EXPECT_EQ(std::set<const LINE *>(log.lines.begin(), log.lines.end()), want_lines);
    EXPECT_EQ(log.lines.size(), 11u);
    EXPECT_EQ(std::set<const FOLD *>(log.folds.begin(), log.folds.end()), want_folds);
    EXPECT_EQ(log.folds.size(), 3u);

    LinePtr shallow = fold_line("f", {});
    const LINE *end = line_fold(shallow.get())->end;
    const FOLD *fold = line_fold(shallow.get());
    LINE *fl = shallow.release();
    line_delete_fold(fl);
    EXPECT_EQ(log.lines.back(), fl);
    EXPECT_EQ(log.lines.end()[-2], end);
    EXPECT_EQ(log.folds.back(), fold);
}

TEST(LineTree, FailedCopiesLeaveNothingBehind) {
    LinePtr src = fold_line("src", {"a", "b"});
    append(line_fold(src.get()), fold_line("inner", {"c"}).release());
    append(line_fold(src.get()), line_create_virt("v", 0, 1));
    long live = alloc_live_blocks();
    long n = 1;
    for (;; n++) { // fail each allocation of the copy in turn
        alloc_fail_after(n);
        LinePtr copy(line_copy_deep(src.get()));
        alloc_fail_after(0);
        if (copy) break;
        EXPECT_EQ(alloc_live_blocks(), live) << "failing allocation " << n;
    }
    EXPECT_EQ(n, 16); // each of the 15 records and strings of the copy failed once
    EXPECT_EQ(alloc_live_blocks(), live);
}

TEST(LineTree, DeepNestingCopiesAndDeletesWithoutRecursion) {
    const int depth = 300000; // a recursive copy or delete would overflow the stack
    LinePtr root(line_create_fold("0", 0, 1));
    for (int i = 1; i < depth; i++) {
        LinePtr outer(line_create_fold("n", 0, 1));
        line_insert(root.release(), line_fold(outer.get()));
        root = std::move(outer);
    }
    LinePtr copy(line_copy_deep(root.get()));
    ASSERT_TRUE(copy);
    EXPECT_EQ(lines_in(copy.get()), 2 * depth - 1);
    const LINE *c = copy.get();
    for (int i = 1; i < depth; i++) c = line_fold(c)->first;
    EXPECT_STREQ(line_fold(c)->name, "0");
}

} // namespace
