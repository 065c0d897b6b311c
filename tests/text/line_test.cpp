#include "text/alloc.h"
#include "text/line.h"
#include "tree_check.h"
#include "tree_owner.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

// A fold line holding text lines, filled before it has a parent.
LINE *fold_line(const char *name, std::initializer_list<const char *> texts) {
    LINE *l = line_create_fold(name, 0, 1);
    for (const char *t : texts) append_line(line_fold(l), line_create_text(t));
    return l;
}

// line count / deep count @ current index + current line count
std::string counts(const FOLD *f) {
    return std::to_string(f->line_count) + "/" + std::to_string(f->deep_count) + " @" +
           std::to_string(f->cur_index) + "+" + std::to_string(f->cur_count);
}

TEST(LineTree, CountsAndMarksFollowInsertsAndRemovesUpTheParentChain) {
    FoldPtr top(fold_create("", 0, 0));
    FOLD *fa = line_fold(append_line(top.get(), fold_line("a", {"x"})));
    line_step_first(top.get()); // entered a, the way the editor does
    line_step_first(fa);
    fa->mark1 = 0;
    // A fold filled before it has a parent adds all its lines at once.
    LinePtr b(fold_line("b", {"1", "2", "3"}));
    FOLD *fb = line_fold(b.get());
    line_insert(b.release(), fa);
    EXPECT_EQ(fb->parent, fa);
    EXPECT_EQ(counts(fb) + " " + counts(fa) + " " + counts(top.get()),
              "4/4 @3+3 3/7 @0+0 2/9 @0+0");
    EXPECT_EQ(fa->mark1, 1) << "the mark followed x";
    // Removing a text line two deep lowers all three deep counts.
    line_step_to(fb, 1);
    LinePtr two(line_remove(fb));
    EXPECT_TRUE(line_text(two.get()) == std::string("2") && !two->next && !two->prev);
    EXPECT_EQ(counts(fb) + " " + counts(fa) + " " + counts(top.get()),
              "3/3 @1+1 3/6 @0+0 2/8 @0+0");
    // A removed fold line takes its whole count and loses its parent; a mark
    // on it names the next line.
    fa->mark2 = 0;
    LinePtr removed(line_remove(fa));
    EXPECT_EQ(fb->parent, nullptr);
    EXPECT_EQ(fa->mark1 * 10 + fa->mark2, 0);
    EXPECT_EQ(counts(top.get()), "2/4 @0+0");
    EXPECT_EQ(check_fold_invariants(top.get()), "");
    EXPECT_EQ(check_fold_invariants(fb), "");
}

// Every record and string the line owns, the line included.
void collect_records(const LINE *l, std::set<const void *> &out) {
    out.insert(l);
    if (line_kind(l) == LINE_TEXT) out.insert(line_text(l));
    if (line_kind(l) == LINE_VIRT) out.insert({line_virt(l), line_virt(l)->name});
    if (line_kind(l) != LINE_FOLD) return;
    const FOLD *f = line_fold(l);
    out.insert({f, f->name, f->end});
    for (l = f->first; l != f->end; l = l->next) collect_records(l, out);
}

TEST(LineTree, CopiesShareNothingAndFailCleanlyDeletesNoticeEveryRecord) {
    LinePtr src(fold_line("src", {"a"}));
    FOLD *sf = line_fold(src.get());
    line_fold(append_line(sf, fold_line("inner", {"b", "c"})))->open = 0;
    append_line(sf, line_create_virt("lib/my' file.c", 2, 1));
    line_toggle_tag(sf->first);
    line_set_changed(src.get());
    long live = alloc_live_blocks(), n = 0;
    LinePtr copy;
    while (!copy) { // fail each allocation of the copy in turn
        alloc_fail_after(++n);
        copy.reset(line_copy_deep(src.get()));
        alloc_fail_after(0);
        EXPECT_TRUE(copy || alloc_live_blocks() == live) << "failing allocation " << n;
    }
    EXPECT_EQ(n, 16) << "each of the 15 records and strings of the copy failed once";
    FOLD *cf = line_fold(copy.get());
    EXPECT_EQ(cf->name + (":" + tree_picture(cf)), "src:a,[inner 0 c:b,c,],<lib/my' file.c 2 o>,");
    EXPECT_EQ(line_type(copy.get()) | line_type(cf->first), unsigned{LINE_FOLD}) << "no flags";
    EXPECT_EQ(check_fold_invariants(cf), "");
    std::set<const void *> src_records, copy_records;
    collect_records(src.get(), src_records);
    collect_records(copy.get(), copy_records);
    for (const void *p : copy_records) EXPECT_EQ(src_records.count(p), 0u);
    EXPECT_EQ(copy_records.size(), src_records.size());
    LinePtr shallow(line_copy(src.get()));
    EXPECT_EQ(line_fold(shallow.get())->name + tree_picture(line_fold(shallow.get())), "src");

    static std::vector<const void *> freed;
    line_set_delete_notice([](LINE *l) { freed.push_back(l); });
    fold_set_free_notice([](FOLD *f) { freed.push_back(f); });
    line_delete_deep(copy.release());
    line_set_delete_notice(nullptr);
    fold_set_free_notice(nullptr);
    EXPECT_EQ(freed.size(), 10u) << "8 lines, end lines too, and 2 folds";
    for (const void *p : freed) EXPECT_EQ(copy_records.count(p), 1u);
    EXPECT_EQ(std::set<const void *>(freed.begin(), freed.end()).size(), freed.size());
    EXPECT_EQ(alloc_live_blocks(), live + 3) << "only the shallow copy is left";
}

} // namespace
