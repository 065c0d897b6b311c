// The text model: line trees, files read into buffers and written back in
// the fold-marked format, and random edits in a buffer. (The tables of
// buffers and languages are tested through the commands that fill them.)
#include "support/scratch.h"
#include "tables_owner.h"
#include "text/alloc.h"
#include "text/buff_file.h"
#include "text/fold_file.h"
#include "tree_check.h"
#include "tree_owner.h"

#include <cstring>
#include <filesystem>
#include <random>
#include <set>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using test_support::read_file;

const std::string x500(LINE_MAX_TEXT, 'x');
const std::string example = "int a;\n/*...Sinit code:4:*/\na = 0;\n"
                            "/*...vlib\\47\\my\\39\\ file\\46\\c:4:*/\n/*...e*/\nend\n";
const std::string example_picture = "int a;,[init code 4 o:a = 0;,<lib/my' file.c 0 c>,],end,";

std::string times(int n, const std::string &text) {
    std::string all;
    while (n-- > 0) all += text;
    return all;
}

// A fold line holding text lines, filled before it has a parent.
tree_line *fold_line(const char *name, std::initializer_list<const char *> texts) {
    tree_line *l = line_create_fold(name, 0, 1);
    for (const char *t : texts) append_line(line_fold(l), line_create_text(t));
    return l;
}

// line count / deep count @ current index + current line count
std::string counts(const tree_fold *f) {
    return std::to_string(f->line_count) + "/" + std::to_string(f->deep_count) + " @" +
           std::to_string(f->cur_index) + "+" + std::to_string(f->cur_count);
}

// Moving a run of lines at once leaves both lists as the same lines moved one
// by one would: contents, counts up both parent chains and parents; and the
// marks of both lists as stated, since the two ways share the code that links
// and unlinks.
TEST(LineTree, ARunMovesLikeItsLinesOneByOne) {
    struct move_case {
        int from_index, n, to_index, mark1, mark2;
        const char *marks;
    };
    // clang-format off
    const move_case cases[] = {{0, 4, 0, 1, 3, "0,0 5,6"}, {1, 2, 1, 1, 4, "1,2 3,4"},
                               {2, 1, 0, 3, 0, "2,0 3,1"}, {0, 1, 1, -1, 2, "-1,1 -1,3"}};
    // clang-format on
    for (const move_case &c : cases) {
        SCOPED_TRACE(c.from_index * 1000 + c.n * 100 + c.to_index * 10);
        std::string pictures[2];
        for (int at_once = 0; at_once < 2; at_once++) {
            FoldPtr top(fold_create("", 0, 0));
            tree_fold *from = line_fold(append_line(top.get(), fold_line("from", {"a", "b"})));
            append_line(from, fold_line("f", {"x"}));
            append_line(from, line_create_text("c"));
            tree_fold *to = line_fold(append_line(top.get(), fold_line("to", {"1", "2"})));
            line_step_to(from, c.from_index);
            line_step_to(to, c.to_index);
            fold_set_marks(from, c.mark1, c.mark2);
            fold_set_marks(to, c.mark1 > 2 ? 2 : c.mark1, c.mark2 > 2 ? 2 : c.mark2);
            if (at_once) {
                line_move_run(from, c.n, to);
            } else {
                std::vector<tree_line *> run;
                for (int i = 0; i < c.n; i++) run.push_back(line_remove(from));
                for (int i = c.n; i-- > 0;) line_insert(run[i], to);
            }
            EXPECT_EQ(check_fold_invariants(top.get()), "");
            pictures[at_once] = tree_picture(top.get()) + " " + counts(from) + " " + counts(to) +
                                " " + counts(top.get()) + " marks " + std::to_string(from->mark1) +
                                "," + std::to_string(from->mark2) + " " +
                                std::to_string(to->mark1) + "," + std::to_string(to->mark2);
        }
        EXPECT_EQ(pictures[1], pictures[0].substr(0, pictures[0].find(" marks ") + 7) + c.marks);
    }
}

TEST(LineTree, CopiesShareNothingFailCleanlyAndDeletesNoticeEveryRecord) {
    LinePtr src(fold_line("src", {"a"}));
    tree_fold *sf = line_fold(src.get());
    tree_fold *inner = line_fold(append_line(sf, fold_line("inner", {"b", "c"})));
    inner->open = 0;
    inner->indent = 4;
    append_line(sf, line_create_virt("lib/my' file.c", 2, 1));
    long live = alloc_live_blocks(), n = 0;
    LinePtr copy;
    while (!copy) { // fail each allocation of the copy in turn
        alloc_fail_after(++n);
        copy.reset(line_copy_deep(src.get()));
        alloc_fail_after(0);
        EXPECT_TRUE(copy || alloc_live_blocks() == live) << "failing allocation " << n;
    }
    EXPECT_EQ(n, 18) << "each of the 17 records and strings of the copy failed once";
    EXPECT_EQ(alloc_live_blocks(), live + 17);
    static std::vector<const void *> freed;
    line_set_delete_notice([](tree_line *l) { freed.push_back(l); });
    fold_set_free_notice([](tree_fold *f) { freed.push_back(f); });
    src.reset();
    line_set_delete_notice(nullptr);
    fold_set_free_notice(nullptr);
    EXPECT_EQ(freed.size(), 10u) << "8 lines, end lines too, and 2 folds";
    EXPECT_EQ(std::set<const void *>(freed.begin(), freed.end()).size(), freed.size());
    // The copy shares nothing with the source just deleted.
    tree_fold *cf = line_fold(copy.get());
    EXPECT_EQ(cf->name + (":" + tree_picture(cf)), "src:a,[inner 4 c:b,c,],<lib/my' file.c 2 o>,");
    EXPECT_EQ(check_fold_invariants(cf), "");
}

#ifdef OX_RECORD_REGION
// Line records come from freed ones first, then fresh ones while the region
// has room; a fold needs two (its end line too). Freed records come back with
// indices that link as before, and nothing leaks on the way.
TEST(LineTree, TheRecordRegionRunsOutCleanlyAndHandsFreedRecordsOutAgain) {
    long live = alloc_live_blocks();
    std::vector<LinePtr> held;
    auto take_all = [&held] {
        size_t had = held.size();
        while (tree_line *l = line_create_text("x")) held.emplace_back(l);
        return held.size() - had;
    };
    region_limit_fresh(0);
    take_all(); // every record freed before
    region_limit_fresh(4);
    ASSERT_EQ(take_all(), 4u);
    EXPECT_EQ(line_create_fold("f", 0, 1), nullptr);
    EXPECT_EQ(alloc_live_blocks(), live + 2 * static_cast<long>(held.size()));
    std::set<const tree_line *> freed{held.rbegin()[0].get(), held.rbegin()[1].get()};
    held.resize(held.size() - 2);
    LinePtr fold(line_create_fold("f", 0, 1));
    ASSERT_TRUE(fold);
    tree_fold *f = line_fold(fold.get());
    EXPECT_EQ(freed, (std::set<const tree_line *>{fold.get(), f->end}));
    append_line(f, held.front().release());
    append_line(f, held.back().release());
    EXPECT_EQ(check_fold_invariants(f), "");
    EXPECT_EQ(line_create_text("x"), nullptr);
    region_limit_fresh(-1);
    EXPECT_TRUE(LinePtr(line_create_text("x")));
    held.clear();
    fold.reset();
    EXPECT_EQ(alloc_live_blocks(), live);
}

// A packed record shares its bytes among links, type and payload, and keeps
// its span byte beside the region: setting any field to its widest value
// leaves every other field, and the neighbouring records, as they were.
TEST(LineTree, PackedRecordsKeepEachFieldApart) {
    std::vector<LinePtr> held;
    std::set<const tree_line *> ours;
    for (int i = 0; i < 64; i++) ours.insert(held.emplace_back(line_create_text("x")).get());
    tree_line *l = nullptr; // one of ours between two of ours
    for (const tree_line *r : ours)
        if (ours.count(r - 1) && ours.count(r + 1)) l = const_cast<tree_line *>(r);
    ASSERT_TRUE(l);
    EXPECT_EQ(line_span_(l), 0u) << "a record never given a state";
    using fields = std::vector<uintptr_t>;
    auto get = [](const tree_line *r) {
        return fields{reinterpret_cast<uintptr_t>(line_next(r)),
                      reinterpret_cast<uintptr_t>(line_prev(r)), line_type(r),
                      reinterpret_cast<uintptr_t>(line_payload_(r)), line_span_(r)};
    };
    auto set = [](tree_line *r, const fields &v) {
        line_set_next_(r, reinterpret_cast<tree_line *>(v[0]));
        line_set_prev_(r, reinterpret_cast<tree_line *>(v[1]));
        line_set_type_(r, static_cast<unsigned>(v[2]));
        line_set_payload_(r, reinterpret_cast<void *>(v[3]));
        line_set_span_(r, static_cast<unsigned>(v[4]));
    };
    const fields plain = get(l), neighbour = get(l + 1);
    const fields widest{reinterpret_cast<uintptr_t>(line_at_(region_indices - 1)), // index only
                        reinterpret_cast<uintptr_t>(line_at_(region_indices - 1)),
                        LINE_END | LINE_TAG | LINE_CHANGED, (uintptr_t{1} << 48) - 1, 0xff};
    set(l - 1, widest);
    set(l + 1, widest);
    set(l, widest);
    EXPECT_EQ(get(l), widest);
    for (int field = 0; field < 5; field++) { // one field at a time back to its plain value
        fields v = widest;
        v[field] = plain[field];
        set(l, v);
        EXPECT_EQ(get(l), v) << "field " << field;
        EXPECT_EQ(get(l - 1), widest);
        EXPECT_EQ(get(l + 1), widest);
        set(l, widest);
    }
    set(l, plain);
    set(l - 1, neighbour);
    set(l + 1, neighbour);
    line_set_span_(l, 0x81);
    // Freed and handed out again, the record has no state.
    for (LinePtr &p : held)
        if (p.get() == l) p.reset();
    LinePtr again(line_create_text("y"));
    EXPECT_EQ(again.get(), l);
    EXPECT_EQ(line_span_(again.get()), 0u);
}

// Strings take exactly their size, the shortest too (an empty line's string
// is one byte), and freed blocks of every size are handed out again.
TEST(LineTree, StringsTakeTheirExactSizeAndFreedOnesComeBack) {
    for (size_t size : {size_t{1}, size_t{3}, size_t{8}, size_t{40}}) {
        std::vector<char *> got;
        bool adjacent = false; // two blocks carved one after the other
        for (int i = 0; i < 200; i++) {
            got.push_back(arena_get(size));
            adjacent |= i > 0 && got[i] == got[i - 1] + size;
        }
        EXPECT_TRUE(adjacent) << size;
        std::set<char *> freed(got.begin(), got.end());
        for (char *block : got) arena_put(block, size);
        std::set<char *> again;
        for (size_t i = 0; i < got.size(); i++) again.insert(arena_get(size));
        EXPECT_EQ(again, freed) << size;
        for (char *block : again) arena_put(block, size);
    }
}
#endif

// A buffer of the language "top" (markers /*...S name:indent:*/) whose file
// is written and read in a scratch folder. Files are removed before they are
// written again: truncating one makes the file system flush it to disk.
class FoldFile : public TablesTest {
  protected:
    void SetUp() override {
        TablesTest::SetUp();
        b = buff_create("", -1, make_top());
    }
    // buff_read of a file holding the bytes; with fail_after set, the
    // fail_after-th allocation from now fails.
    read_report read(const std::string &bytes, long fail_after = 0) {
        fs::remove(dir.path("in"));
        test_support::write_file(dir.path("in"), bytes);
        alloc_fail_after(fail_after);
        last = buff_read(b, dir.path("in").c_str());
        alloc_fail_after(0);
        return last;
    }
    // The bytes buff_write writes of the buffer.
    std::string written() {
        fs::remove(dir.path("out"));
        write_report w = buff_write(b, dir.path("out").c_str(), 0);
        EXPECT_TRUE(w.ok);
        marker_like = w.marker_like;
        return read_file(dir.path("out"));
    }
    test_support::scratch_dir dir;
    text_buffer *b = nullptr;
    read_report last;    // of the last read
    int marker_like = 0; // of the last write
};

// Each file must read as the picture with the outcome and loss; a file that
// reads whole is written back to the same bytes when `same`.
TEST_F(FoldFile, FilesReadAsTrees) {
    const struct {
        std::string file, picture;
        int outcome = RD_END_OF_FILE, loss = 0;
        bool same = true;
    } cases[] = {
        {example, example_picture},
        // Nested folds: indents are absolute in files, wrap, and names escape bytes.
        {"/*...Sa:4:*/\n/*...sb:8:*/\nx\n/*...e*/\n/*...Vv:12:*/\n/*...e*/\n/*...Vw:2:*/\n",
         "[a 4 o:[b 4 c:x,],<v 8 o>,],<w 2 o>,"},
        {"/*...s:0:*/\n/*...e*/\n/*...Sa\\58\\b\\92\\c\\9\\d\\255\\:4294967293:*/\n"
         "/*...SAz_09 x:4294967295:*/\n/*...e*/\n/*...Vmax:2147483644:*/\n/*...e*/\n",
         "[ 0 c:],[a:b\\c\td\xff -3 o:[Az_09 x 2 o:],<max 2147483647 o>,],"},
        // Marker lines as written by hand, some cut short: nothing is read past their end.
        {"/*...Sa:4: any rest\n/*...E and more\n", "[a 4 o:],", 1, 0, false},
        {"/*...Va\\65\\b\\321\\:1\n", "<aAbA 1 o>,", 1, 0, false},
        {"/*...Vx\\0\\y:3:*/\n", "<x 3 o>,", 1, RD_LOSS_NUL, false},
        {"/*...Sx:0:*/\n/*...e", "[x 0 o:],", 1, 0, false},
        {"/*...V" + std::string(600, 'n') + ":99999999999:*/\n",
         "<" + std::string(LINE_MAX_TEXT, 'n') + " 1215752191 o>,", 1, 0, false},
        // A fault in the structure: from the line it came in (the outermost
        // fold being read) every line is text, and every byte is written back.
        {"a\nb\n/*...e*/\nc\n", "a,b,/*...e*/,c,", RD_END_MARKER},
        {"a\n/*...Sf:2:*/\n/*...sg:4:*/\nb\n/*...e*/\nc\n",
         "a,/*...Sf:2:*/,/*...sg:4:*/,b,/*...e*/,c,", RD_END_IN_FOLD},
        {"a\n/*...\nb\n", "a,/*...,b,", RD_BAD_MARKER},
        {"/*...Sf:0:*/\n/*...e*/\n/*...Sg:1:*/\n/*...sh:2:*/\n/*...Si:3:*/\n/*...q*/\nx\n"
         "/*...e*/\n/*...e*/\n/*...e*/\n/*...Sj:0:*/\n/*...e*/\n",
         "[f 0 o:],/*...Sg:1:*/,/*...sh:2:*/,/*...Si:3:*/,/*...q*/,x,/*...e*/,/*...e*/,/*...e*/,"
         "/*...Sj:0:*/,/*...e*/,",
         RD_BAD_MARKER},
        {"/*...Sf:0:*/\n/*...V" + std::string(600, 'n') + ":0:*/\nb\0c\n"s,
         "/*...Sf:0:*/,/*...V" + std::string(494, 'n') + "," + std::string(106, 'n') + ":0:*/,b,",
         RD_END_IN_FOLD, RD_LOSS_SPLIT | RD_LOSS_NUL, false},
        // Physical lines; the loss starts afresh with each read.
        {std::string(1200, 'x') + "\n", x500 + "," + x500 + "," + std::string(200, 'x') + ",", 1,
         RD_LOSS_SPLIT, false},
        {x500 + "\nb\n", x500 + ",b,"},
        {"ab\0cd\nef\n"s, "ab,ef,", 1, RD_LOSS_NUL, false},
        // More than the writer gathers in one block of 1 MiB, the block
        // nearly full when a long marker comes.
        {times(2092, x500 + "\n") + "/*...S" + std::string(500, 'n') + ":0:*/\n/*...e*/\n",
         times(2092, x500 + ",") + "[" + std::string(500, 'n') + " 0 o:],"},
        // A 500-byte line that ends where the first 64 KiB read-ahead block
        // ends, then a NUL byte in the next block.
        {std::string(65036, '\n') + x500 + "\na\0b\n"s, std::string(65036, ',') + x500 + ",a,", 1,
         RD_LOSS_NUL, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file.substr(0, 40));
        read(c.file);
        EXPECT_EQ(last.outcome, c.outcome);
        EXPECT_EQ(last.loss, c.loss);
        EXPECT_EQ(tree_picture(b->top), c.picture);
        EXPECT_EQ(check_fold_invariants(b->top), "");
        EXPECT_EQ(c.same ? written() : c.file, c.file) << "written back";
    }
    EXPECT_STREQ(rdloss_warning(RD_LOSS_NUL | RD_LOSS_SPLIT), "warning: NUL bytes dropped in ");
}

// The reader's blocks change nothing: each piece reads as the same tree
// alone and after lines that put it at every offset across the end of the
// first 64 KiB block (marker lines, split lines, CR LF, a fault that reads
// again from the fold's start, and no final newline).
TEST_F(FoldFile, PiecesReadAlikeAcrossEveryBlockBoundary) {
    const struct {
        std::string piece, eol;
    } cases[] = {
        {"/*...S" + std::string(600, 'n') + ":4:*/\nx\n/*...e*/\n", "\n"},
        {std::string(1200, 'x') + "\nb\n", "\n"},
        {"a\r\n/*...Sf:0:*/\r\n" + x500 + "\r\n/*...V" + times(120, "\\110\\") +
             "\r\n/*...e*/\r\nz",
         "\r\n"},
        {"a\n/*...Sf:2:*/\n" + x500 + "\nc", "\n"},
        {"a\n/*...Sf:0:*/\n/*...e", "\n"},
    };
    for (const auto &c : cases) {
        read(c.piece);
        const read_report alone = last;
        const std::string picture = tree_picture(b->top);
        for (size_t shift = 0; shift < c.piece.size() + 4 && !HasFailure(); shift++) {
            SCOPED_TRACE(c.piece.substr(0, 20) + " at " + std::to_string(65536 - shift));
            std::string pad, pad_picture;
            for (size_t left = 65536 - shift; left > 0;) {
                size_t text = std::min<size_t>(400, left - c.eol.size());
                if (left - text - c.eol.size() < 2 * c.eol.size()) text = left - c.eol.size();
                pad += std::string(text, 'p') + c.eol;
                pad_picture += std::string(text, 'p') + ",";
                left -= text + c.eol.size();
            }
            read(pad + c.piece);
            EXPECT_EQ(tree_picture(b->top), pad_picture + picture);
            EXPECT_EQ(last.outcome * 100 + last.loss * 10 + last.crlf,
                      alone.outcome * 100 + alone.loss * 10 + alone.crlf);
        }
    }
}

// A text line that begins with the marker start (here the second piece of
// a split line) is written as it is and counted; read again it is a corrupt
// marker, which loses nothing, and the next write gives the same bytes.
TEST_F(FoldFile, LinesThatLookLikeMarkersComeBackWhole) {
    ASSERT_TRUE(read(x500 + "/*...q rest\ny\n"));
    EXPECT_EQ(b->read_loss, RD_LOSS_SPLIT);
    std::string once = written();
    EXPECT_EQ(marker_like, 1);
    EXPECT_EQ(once, x500 + "\n/*...q rest\ny\n");
    EXPECT_EQ(read(once).outcome * 10 + b->read_loss, RD_BAD_MARKER * 10);
    EXPECT_EQ(written(), once);
}

// A failed read leaves the buffer as it was, and says whether the file is
// there; a failed write says so.
TEST_F(FoldFile, FailedOpensLeaveTheBufferAndFailedWritesSaySo) {
    ASSERT_TRUE(read(example));
    b->fold = line_fold(line_next(b->top->first)); // the whole buffer is written anyway
    ASSERT_TRUE(buff_write(b, dir.path("out").c_str(), 1));
    ASSERT_TRUE(buff_write(b, dir.path("out").c_str(), 1));
    EXPECT_EQ(read_file(dir.path("out")), example + example) << "appended";
    fs::create_directory(dir.path("folder"));
    for (std::string name : {"missing", "folder"}) {
        EXPECT_EQ(buff_read(b, dir.path(name).c_str()).outcome, RD_CANNOT_OPEN);
        EXPECT_EQ(b->read_loss, name == "folder" ? RD_LOSS_PART : 0) << "there, but not readable";
        EXPECT_EQ(tree_picture(b->top), example_picture) << "unchanged";
        EXPECT_FALSE(buff_write(b, dir.path(name == "folder" ? name : name + "/x").c_str(), 0));
    }
    ASSERT_TRUE(read(example));
    EXPECT_EQ(b->fold, b->top) << "the fold the user was in is gone";
    test_support::file_size_limit limit(50);
    EXPECT_FALSE(buff_write(b, dir.path("big").c_str(), 0));
    EXPECT_EQ(read_file(dir.path("big")), example.substr(0, 50));
}

TEST_F(FoldFile, OutOfMemoryAnywhereStopsTheReadCleanly) {
    long before = alloc_live_blocks(); // with an empty tree
    for (long n = 1; !read(example + "tail\n", n); n++) {
        ASSERT_LT(n, 100);
        EXPECT_EQ(last.outcome * 10 + b->read_loss, RD_NO_MEMORY * 10 + RD_LOSS_PART) << n;
        EXPECT_EQ((example_picture + "tail,").rfind(tree_picture(b->top), 0), 0u) << "prefix " << n;
    }
    ASSERT_TRUE(read(""));
    EXPECT_EQ(alloc_live_blocks(), before);
}

// Random edits as an editor makes them: moving about, entering and leaving
// folds, inserting new, removed and copied lines, removing and deleting. After
// every step the recounting checker must pass, an insert or remove must happen
// at the current line, and the line number summed from the steps' results
// must equal one recomputed from the folds entered. (That any tree is saved
// and read back unchanged is the file fuzzer's.)
TEST(LineTree, RandomEditsKeepEveryInvariant) {
    long live = alloc_live_blocks();
    for (unsigned seed = 0; seed < 4; seed++) {
        std::mt19937 rng(seed);
        FoldPtr top(fold_create("", 0, 0));
        std::vector<tree_fold *> path{top.get()}; // the folds entered, top first
        std::vector<LinePtr> loose;               // removed lines, the last one picked at random
        long line_no = 0;
        for (int step = 1; step <= 5000; step++) {
            SCOPED_TRACE("seed " + std::to_string(seed) + " step " + std::to_string(step));
            tree_fold *f = path.back();
            const tree_line *cur = f->cur, *next = line_next(cur);
            const bool big = top->deep_count > 1000;
            tree_line *inserted = nullptr, *removed = nullptr;
            if (!loose.empty()) std::swap(loose[rng() % loose.size()], loose.back());
            switch (rng() % 13) {
            case 0: inserted = line_create_text("t"); break;
            case 1: // a fold holding a virtual fold, or a virtual fold line alone
                if (big) break;
                inserted = rng() % 2 ? line_create_virt("v", 4, 1) : fold_line("f", {"a", "b"});
                if (line_kind(inserted) == LINE_FOLD)
                    append_line(line_fold(inserted), line_create_virt("w", 0, 0));
                break;
            case 2: // a deep copy of this line or of a removed one; none of an end line
                if (big) break;
                inserted = line_copy_deep(loose.empty() || rng() % 3 ? cur : loose.back().get());
                break;
            case 3:
            case 4:
                if (cur != f->end) loose.emplace_back(removed = line_remove(f));
                break;
            case 5: // a removed line put back or deleted
                if (loose.empty()) break;
                if (!big && rng() % 2) inserted = loose.back().release();
                loose.pop_back();
                break;
            case 6: line_no += cur != f->end ? line_step_next(f) : 0; break;
            case 7: line_no += cur != f->first ? line_step_prev(f) : 0; break;
            case 8: line_no += rng() % 2 ? line_step_first(f) : line_step_last(f); break;
            case 9: line_no += line_step_to(f, static_cast<int>(rng() % f->line_count)); break;
            case 10:
            case 11:
                if (line_kind(cur) != LINE_FOLD) break;
                path.push_back(line_fold(cur));
                line_no += 1 + path.back()->cur_count;
                break;
            case 12:
                if (path.size() < 2) break;
                line_no -= 1 + f->cur_count;
                path.pop_back();
                break;
            }
            if (inserted) line_insert(inserted, f);
            ASSERT_EQ(check_fold_invariants(top.get()), "");
            ASSERT_TRUE(!inserted || (f->cur == inserted && line_next(inserted) == cur));
            ASSERT_TRUE(!removed || (removed == cur && f->cur == next && !line_next(removed)));
            long recount = static_cast<long>(path.size()) - 1;
            for (const tree_fold *p : path) recount += p->cur_count;
            ASSERT_EQ(line_no, recount) << "line number kept from the steps' results";
        }
    }
    EXPECT_EQ(alloc_live_blocks(), live);
}

} // namespace
