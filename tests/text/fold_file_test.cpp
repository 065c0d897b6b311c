#include "fold_io.h"
#include "tree_check.h"

#include "text/alloc.h"
#include "text/fold_file.h"
#include "text/vfold_name.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

const LANG top = marker_lang();

// The text lines and markers of a read, each followed by a comma.
std::string picture(const ReadResult &r) {
    return tree_picture(r.fold.get());
}

// In memory: a text line, an open fold "init code" at indent 4 holding a text
// line and a closed virtual fold line for "lib/my file.c", and a text line.
FoldPtr example_tree() {
    FoldPtr f(fold_create("", 0, 0));
    append(f.get(), line_create_text("int a;"));
    FOLD *init = line_fold(append(f.get(), line_create_fold("init code", 4, 1)));
    append(init, line_create_text("a = 0;"));
    char quoted[LINE_BUF_SIZE];
    EXPECT_EQ(enquote_vfold_fn("lib/my file.c", quoted), 1);
    append(init, line_create_virt(quoted, 0, 0));
    append(f.get(), line_create_text("end"));
    return f;
}

const std::string example_file = "int a;\n"
                                 "/*...Sinit code:4:*/\n"
                                 "a = 0;\n"
                                 "/*...vlib\\47\\my\\39\\ file\\46\\c:4:*/\n"
                                 "/*...e*/\n"
                                 "end\n";

TEST(FoldFile, WorkedExampleWritesAndReadsBack) {
    FoldPtr tree = example_tree();
    EXPECT_EQ(write_bytes(tree.get(), top), example_file);
    ReadResult r = read_bytes(example_file, top);
    EXPECT_EQ(r.ok, 1);
    EXPECT_EQ(r.outcome, RD_END_OF_FILE);
    EXPECT_EQ(r.loss, 0);
    EXPECT_EQ(picture(r), "int a;,[init code 4 o:a = 0;,<lib/my' file.c 0 c>,],end,");
    EXPECT_EQ(check_fold_invariants(r.fold.get()), "");
    EXPECT_EQ(write_bytes(r.fold.get(), top), example_file);
}

TEST(FoldFile, NameEncoding) {
    struct Case {
        const char *name;
        int open;
        const char *marker;
    } cases[] = {
        {"", 0, "/*...s:0:*/\n"},
        {"Az_09 x", 1, "/*...SAz_09 x:0:*/\n"},
        {"a:b\\c\td", 1, "/*...Sa\\58\\b\\92\\c\\9\\d:0:*/\n"},
        {"\xff\x01.", 0, "/*...s\\255\\\\1\\\\46\\:0:*/\n"},
    };
    for (const Case &c : cases) {
        FoldPtr f(fold_create("", 0, 0));
        append(f.get(), line_create_fold(c.name, 0, c.open));
        std::string bytes = write_bytes(f.get(), top);
        EXPECT_EQ(bytes, std::string(c.marker) + "/*...e*/\n");
        ReadResult r = read_bytes(bytes, top);
        ASSERT_EQ(r.ok, 1) << c.marker;
        EXPECT_STREQ(line_fold(r.fold->first)->name, c.name);
        EXPECT_EQ(line_fold(r.fold->first)->open, c.open);
    }
}

TEST(FoldFile, EveryNameByteAndTheLongestMarkersComeBack) {
    std::string all;
    for (int c = 1; c < 256; c++) all += static_cast<char>(c);
    // 500 bytes that each take 5 to write, between the longest comment
    // delimiters: marker lines of over 3500 bytes.
    std::string longest(LINE_MAX_TEXT, '\xfe');
    std::string long_start(LINE_MAX_TEXT, '#'), long_end(LINE_MAX_TEXT, '!');
    for (const LANG &lang : {top, marker_lang(long_start.c_str(), long_end.c_str())}) {
        FoldPtr f(fold_create("", 0, 0));
        FOLD *inner = line_fold(append(f.get(), line_create_fold(all.c_str(), 3, 1)));
        append(inner, line_create_virt(longest.c_str(), 5, 0));
        append(f.get(), line_create_fold(longest.c_str(), 0, 0));
        append(f.get(), line_create_virt(all.c_str(), 1, 1));
        std::string bytes = write_bytes(f.get(), lang);
        ReadResult r = read_bytes(bytes, lang);
        ASSERT_EQ(r.ok, 1);
        EXPECT_EQ(r.loss, 0);
        EXPECT_EQ(tree_picture(r.fold.get()), tree_picture(f.get()));
        EXPECT_EQ(write_bytes(r.fold.get(), lang), bytes);
    }
}

TEST(FoldFile, IndentsAreAbsoluteInFilesAndRelativeInMemory) {
    std::string file = "/*...Sa:4:*/\n"
                       "/*...sb:8:*/\n"
                       "x\n"
                       "/*...e*/\n"
                       "/*...Vv:12:*/\n"
                       "/*...e*/\n"
                       "/*...Vw:2:*/\n";
    ReadResult r = read_bytes(file, top);
    ASSERT_EQ(r.ok, 1);
    EXPECT_EQ(picture(r), "[a 4 o:[b 4 c:x,],<v 8 o>,],<w 2 o>,");
    EXPECT_EQ(write_bytes(r.fold.get(), top), file);

    // Any int comes back, through wrapping arithmetic.
    FoldPtr f(fold_create("", 0, 0));
    FOLD *neg = line_fold(append(f.get(), line_create_fold("neg", -3, 1)));
    append(neg, line_create_fold("up", 2, 1));
    append(neg, line_create_virt("max", INT_MAX, 1));
    std::string bytes = write_bytes(f.get(), top);
    EXPECT_NE(bytes.find("/*...Sup:4294967295:*/"), std::string::npos) << bytes;
    ReadResult back = read_bytes(bytes, top);
    EXPECT_EQ(picture(back), "[neg -3 o:[up 2 o:],<max 2147483647 o>,],");
    // A hand-made indent far beyond 32 bits wraps without harm.
    EXPECT_EQ(read_bytes("/*...Vx:99999999999999:*/\n", top).ok, 1);
}

TEST(FoldFile, MarkerFieldsAsWrittenByHand) {
    struct Case {
        std::string file;
        const char *picture;
        int loss;
    } cases[] = {
        {" /*...Sx:0:*/\n", " /*...Sx:0:*/,", 0},                   // not at column 0: text
        {"/*..Sx:0:*/\n", "/*..Sx:0:*/,", 0},                       // not the whole start
        {"/*...Sa:4: any rest\n/*...E and more\n", "[a 4 o:],", 0}, // rest ignored; E ends too
        {"/*...Vname\n", "<name 0 o>,", 0},                         // field ends at the line's end
        {"/*...Va\\65\\b\\321\\:1\n", "<aAbA 1 o>,", 0},            // values modulo 256
        {"/*...V\\58\\\\92\\:0:\n", "<:\\ 0 o>,", 0},
        {"/*...Vab\\65", "<ab 0 o>,", 0}, // an item cut by the end of the file
        {"/*...Vx\\0\\y:3:*/\n", "<x 3 o>,", RD_LOSS_NUL},
        {"/*...Vx\0y:3:*/\n"s, "<x 0 o>,", RD_LOSS_NUL}, // a NUL ends the marker line
        {"/*...Sx:0:*/\n/*...e", "[x 0 o:],", 0},        // no final newline
        {"/*...V" + std::string(600, 'n') + ":7:*/\n", nullptr, 0},
    };
    for (const Case &c : cases) {
        ReadResult r = read_bytes(c.file, top);
        EXPECT_EQ(r.ok, 1) << c.file;
        EXPECT_EQ(r.loss, c.loss) << c.file;
        std::string expected =
            c.picture ? c.picture : "<" + std::string(LINE_MAX_TEXT, 'n') + " 7 o>,";
        EXPECT_EQ(picture(r), expected) << c.file;
    }
}

TEST(FoldFile, ReadFailuresKeepTheLinesBefore) {
    struct Case {
        const char *file;
        int outcome;
        const char *kept;
    } cases[] = {
        {"a\nb\n/*...e*/\nc\n", RD_END_MARKER, "a,b,"},
        {"/*...Sf:0:*/\n/*...e*/\n/*...e*/\nc\n", RD_END_MARKER, "[f 0 o:],"},
        {"a\n/*...Sf:0:*/\nb\n", RD_END_IN_FOLD, "a,"},
        {"a\n/*...Sf:2:*/\n/*...sg:4:*/\nb\n/*...e*/\nc\n", RD_END_IN_FOLD, "a,"},
        {"a\n/*...\nb\n", RD_BAD_MARKER, "a,"},
        {"a\n/*...Sf:0:*/\nb\n/*...x:0:*/\n/*...e*/\n", RD_BAD_MARKER, "a,"},
    };
    for (const Case &c : cases) {
        long before = alloc_live_blocks();
        {
            ReadResult r = read_bytes(c.file, top);
            EXPECT_EQ(r.ok, 0) << c.file;
            EXPECT_EQ(r.outcome, c.outcome) << c.file;
            EXPECT_EQ(picture(r), c.kept) << c.file;
            EXPECT_EQ(check_fold_invariants(r.fold.get()), "");
            EXPECT_EQ(base_indent, 0);
        }
        EXPECT_EQ(alloc_live_blocks(), before) << "the discarded fold was freed: " << c.file;
    }
}

TEST(FoldFile, OutOfMemoryAnywhereStopsTheReadCleanly) {
    long before = alloc_live_blocks();
    bool finished = false;
    for (long n = 1; !finished; n++) {
        ReadResult r = read_bytes(example_file + "tail\n", top, n);
        finished = r.ok;
        if (!finished) {
            EXPECT_EQ(r.outcome, RD_NO_MEMORY) << n;
            // What was read is a prefix of the file's top-level lines.
            std::string whole = "int a;,[init code 4 o:a = 0;,<lib/my' file.c 0 c>,],end,tail,";
            EXPECT_EQ(whole.rfind(picture(r), 0), 0u) << n;
            EXPECT_EQ(check_fold_invariants(r.fold.get()), "");
        }
        ASSERT_LT(n, 100);
    }
    EXPECT_EQ(alloc_live_blocks(), before);
}

TEST(FoldFile, PhysicalLinesAndWhatTheyLose) {
    std::string x500(LINE_MAX_TEXT, 'x');
    struct Case {
        std::string file;
        std::vector<std::string> lines;
        int loss;
    } cases[] = {
        {x500 + "\n" + "b\n", {x500, "b"}, 0}, // the newline belongs to the piece
        {x500, {x500}, 0},                     // a full last piece without newline
        {"a\nb", {"a", "b"}, 0},               // no final newline
        {"\n\n", {"", ""}, 0},
        {std::string(1200, 'x') + "\n", {x500, x500, std::string(200, 'x')}, RD_LOSS_SPLIT},
        {x500 + x500 + "\n" + "c\n", {x500, x500, "c"}, RD_LOSS_SPLIT},
        {"ab\0cd\nef\n"s, {"ab", "ef"}, RD_LOSS_NUL},
        {"\0\n"s + std::string(501, 'x') + "\n", {"", x500, "x"}, RD_LOSS_NUL | RD_LOSS_SPLIT},
        // Only the start of a file line can be a marker.
        {x500 + "/*...e*/\n", {x500, "/*...e*/"}, RD_LOSS_SPLIT},
    };
    for (const Case &c : cases) {
        ReadResult r = read_bytes(c.file, top);
        EXPECT_EQ(r.ok, 1);
        EXPECT_EQ(r.loss, c.loss) << c.file.substr(0, 20);
        std::vector<std::string> lines;
        for (const LINE *l = r.fold->first; l != r.fold->end; l = l->next) {
            lines.emplace_back(line_kind(l) == LINE_TEXT ? line_text(l) : "(not text)");
        }
        EXPECT_EQ(lines, c.lines) << c.file.substr(0, 20);
    }
    EXPECT_STREQ(rdloss_warning(RD_LOSS_SPLIT), "warning: long lines split in ");
    EXPECT_STREQ(rdloss_warning(RD_LOSS_NUL), "warning: NUL bytes dropped in ");
    EXPECT_STREQ(rdloss_warning(RD_LOSS_NUL | RD_LOSS_SPLIT), "warning: NUL bytes dropped in ");
    EXPECT_EQ(rdloss_warning(0), nullptr);
}

// The block reader must cut a stream into exactly the lines get_line does,
// across block boundaries, long lines, NUL bytes and a missing final newline,
// and tell exactly when a line was split or cut at a NUL.
TEST(FoldFile, ReaderAgreesWithGetLine) {
    std::mt19937 rng(4);
    const LANG plain = marker_lang("", "");
    for (int round = 0; round < 6; round++) {
        // Round 0 has no NUL, round 1 one far in, the others many.
        unsigned nul_odds = round == 0 ? 0 : round == 1 ? 1 : 64;
        bool long_lines = round != 2;
        std::string bytes;
        bool split = false;
        while (bytes.size() < 300000) {
            unsigned r = rng();
            size_t len = r % 8 == 0                 ? 490 + rng() % 20
                         : r % 4 == 0 && long_lines ? 900 + rng() % 200
                                                    : rng() % 80;
            split |= len > LINE_MAX_TEXT;
            for (size_t i = 0; i < len; i++) {
                bool nul = nul_odds > 1 && rng() % nul_odds == 0;
                bytes += nul ? '\0' : static_cast<char>('a' + rng() % 26);
            }
            if (rng() % 16) bytes += '\n';
        }
        if (round % 2) bytes += "last";
        if (nul_odds == 1) bytes[bytes.find_first_not_of('\n', 250000)] = '\0';
        ReadResult r = read_bytes(bytes, plain);
        ASSERT_EQ(r.ok, 1);
        bool nul = bytes.find('\0') != std::string::npos;
        EXPECT_EQ(r.loss, (nul ? RD_LOSS_NUL : 0) | (split ? RD_LOSS_SPLIT : 0))
            << "round " << round;
        FILE *fp = fmemopen(bytes.data(), bytes.size(), "r");
        ASSERT_NE(fp, nullptr);
        char buf[LINE_BUF_SIZE];
        const LINE *l = r.fold->first;
        int n = 0;
        while (get_line(buf, fp)) {
            ASSERT_NE(l, r.fold->end) << "round " << round << " line " << n;
            ASSERT_STREQ(line_text(l), buf) << "round " << round << " line " << n;
            l = l->next;
            n++;
        }
        fclose(fp);
        EXPECT_EQ(l, r.fold->end) << "round " << round;
    }
}

TEST(FoldFile, WithoutCommentStartEveryLineIsText) {
    const LANG plain = marker_lang("", "");
    FoldPtr tree = example_tree();
    std::string bytes = write_bytes(tree.get(), plain);
    EXPECT_EQ(bytes, "int a;\nSinit code:4:\na = 0;\nvlib\\47\\my\\39\\ file\\46\\c:4:\ne\nend\n");
    ReadResult r = read_bytes(bytes, plain);
    EXPECT_EQ(r.ok, 1);
    EXPECT_EQ(r.fold->line_count, 7);
    EXPECT_EQ(write_bytes(r.fold.get(), plain), bytes);
}

TEST(FoldFile, FoldsNestedVeryDeepNeedNoRecursion) {
    constexpr int depth = 100000;
    std::string file;
    for (int i = 0; i < depth; i++) file += "/*...S:0:*/\n";
    file += "x\n";
    for (int i = 0; i < depth; i++) file += "/*...e*/\n";
    ReadResult r = read_bytes(file, top);
    ASSERT_EQ(r.ok, 1);
    EXPECT_EQ(r.fold->deep_count, 2 * depth + 2);
    EXPECT_EQ(write_bytes(r.fold.get(), top), file);
    // Cut before the last end marker: the whole chain is discarded.
    long before = alloc_live_blocks();
    EXPECT_EQ(read_bytes(file.substr(0, file.size() - 9), top).outcome, RD_END_IN_FOLD);
    EXPECT_EQ(alloc_live_blocks(), before);
}

TEST(FoldFile, StreamsThatFail) {
    // Reading a stream that cannot be read: a folder.
    FILE *fp = fopen(".", "r");
    ASSERT_NE(fp, nullptr);
    rw_begin(fp);
    set_rc(&top);
    EXPECT_EQ(rw_readable(), 0);
    EXPECT_EQ(line_read(), nullptr);
    EXPECT_EQ(rdfail, RD_CANNOT_OPEN);
    rw_end();
    fclose(fp);
    // Writing to no stream, and writing an end line.
    FoldPtr f = example_tree();
    rw_begin(nullptr);
    EXPECT_EQ(line_write(f->first), 0);
    EXPECT_EQ(line_read(), nullptr);
    EXPECT_EQ(rdfail, RD_CANNOT_OPEN);
    rw_end();
    char *data = nullptr;
    size_t size = 0;
    FILE *mem = open_memstream(&data, &size);
    rw_begin(mem);
    EXPECT_EQ(line_write(f->end), 0);
    EXPECT_EQ(line_write(f->first->next), 1) << "a whole fold";
    EXPECT_EQ(rw_end(), 1);
    fclose(mem);
    EXPECT_EQ(std::string(data, size), example_file.substr(7, example_file.size() - 11));
    free(data);
}

TEST(VfoldName, QuoteAndDequote) {
    char out[LINE_BUF_SIZE];
    ASSERT_EQ(enquote_vfold_fn("a b\tc'd", out), 1);
    EXPECT_STREQ(out, "a' b'\tc''d");
    EXPECT_EQ(enquote_vfold_fn(std::string(250, ' ').c_str(), out), 1);
    EXPECT_EQ(enquote_vfold_fn(std::string(251, ' ').c_str(), out), 0);
    EXPECT_EQ(enquote_vfold_fn(std::string(LINE_MAX_TEXT, 'x').c_str(), out), 1);

    struct Case {
        const char *quoted, *name;
    } cases[] = {
        {"lib.c  library code", "lib.c"},
        {"a' b", "a b"},
        {"it''s", "it's"},
        {" \t lead\ttail", "lead"},
        {"end'", "end'"},
        {"'x'\ty", "x\ty"},
        {"  ", ""},
        {"", ""},
    };
    for (const Case &c : cases) {
        dequote_vfold_fn(c.quoted, out);
        EXPECT_STREQ(out, c.name) << c.quoted;
    }
}

} // namespace
