#include "fold_io.h"
#include "tree_check.h"

#include "text/alloc.h"
#include "text/fold_file.h"
#include "text/vfold_name.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <random>
#include <string>

namespace {

using namespace std::string_literals;

const LANG top = marker_lang();
const std::string x500(LINE_MAX_TEXT, 'x');

const std::string example_file = "int a;\n/*...Sinit code:4:*/\na = 0;\n"
                                 "/*...vlib\\47\\my\\39\\ file\\46\\c:4:*/\n/*...e*/\nend\n";
const char *const example_picture = "int a;,[init code 4 o:a = 0;,<lib/my' file.c 0 c>,],end,";

// Each file is read and must give the picture and outcome; a tree that was
// read whole is written back and must give the same bytes when `same`.
TEST(FoldFile, FilesReadAsTrees) {
    struct Case {
        std::string file;
        std::string picture;
        int outcome = RD_END_OF_FILE;
        int loss = 0;
        bool same = true;
    } cases[] = {
        {example_file, example_picture},
        {"/*...Sa:4:*/\n/*...sb:8:*/\nx\n/*...e*/\n/*...Vv:12:*/\n/*...e*/\n/*...Vw:2:*/\n",
         "[a 4 o:[b 4 c:x,],<v 8 o>,],<w 2 o>,"},
        // Marker lines as written by hand.
        {" /*...Sx:0:*/\n/*..Sx:0:*/\n", " /*...Sx:0:*/,/*..Sx:0:*/,"},
        {"/*...Sa:4: any rest\n/*...E and more\n", "[a 4 o:],", 1, 0, false},
        {"/*...Vname\n", "<name 0 o>,", 1, 0, false},
        {"/*...Va\\65\\b\\321\\:1\n", "<aAbA 1 o>,", 1, 0, false},
        {"/*...V\\58\\\\92\\:0:\n", "<:\\ 0 o>,", 1, 0, false},
        {"/*...Vab\\65", "<ab 0 o>,", 1, 0, false},
        {"/*...Vx\\0\\y:3:*/\n", "<x 3 o>,", 1, RD_LOSS_NUL, false},
        {"/*...Vx\0y:3:*/\n"s, "<x 0 o>,", 1, RD_LOSS_NUL, false},
        {"/*...Sx:0:*/\n/*...e", "[x 0 o:],", 1, 0, false},
        {"/*...V" + std::string(600, 'n') + ":99999999999:*/\n",
         "<" + std::string(LINE_MAX_TEXT, 'n') + " 1215752191 o>,", 1, 0, false},
        // Failures keep the lines before; the fold being read is dropped.
        {"a\nb\n/*...e*/\nc\n", "a,b,", RD_END_MARKER},
        {"/*...Sf:0:*/\n/*...e*/\n/*...e*/\n", "[f 0 o:],", RD_END_MARKER},
        {"a\n/*...Sf:0:*/\nb\n", "a,", RD_END_IN_FOLD},
        {"a\n/*...Sf:2:*/\n/*...sg:4:*/\nb\n/*...e*/\nc\n", "a,", RD_END_IN_FOLD},
        {"a\n/*...\nb\n", "a,", RD_BAD_MARKER},
        {"a\n/*...Sf:0:*/\nb\n/*...x:0:*/\n/*...e*/\n", "a,", RD_BAD_MARKER},
        // Physical lines.
        {x500 + "\nb\n", x500 + ",b,"},
        {x500, x500 + ",", 1, 0, false},
        {"a\n\nb", "a,,b,", 1, 0, false},
        {std::string(1200, 'x') + "\n", x500 + "," + x500 + "," + std::string(200, 'x') + ",", 1,
         RD_LOSS_SPLIT, false},
        {x500 + "/*...e*/\n", x500 + ",/*...e*/,", 1, RD_LOSS_SPLIT, false},
        {"ab\0cd\nef\n"s, "ab,ef,", 1, RD_LOSS_NUL, false},
        {"\0\n"s + x500 + "x\n", "," + x500 + ",x,", 1, RD_LOSS_NUL | RD_LOSS_SPLIT, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file.substr(0, 40));
        long before = alloc_live_blocks();
        {
            ReadResult r = read_bytes(c.file, top);
            EXPECT_EQ(r.outcome, c.outcome);
            EXPECT_EQ(r.ok, c.outcome == RD_END_OF_FILE);
            EXPECT_EQ(r.loss, c.loss);
            EXPECT_EQ(tree_picture(r.fold.get()), c.picture);
            EXPECT_EQ(check_fold_invariants(r.fold.get()), "");
            EXPECT_EQ(base_indent, 0);
            if (c.same && r.ok) {
                EXPECT_EQ(write_bytes(r.fold.get(), top), c.file);
            }
        }
        EXPECT_EQ(alloc_live_blocks(), before) << "everything read was freed";
    }
    EXPECT_STREQ(rdloss_warning(RD_LOSS_SPLIT), "warning: long lines split in ");
    EXPECT_STREQ(rdloss_warning(RD_LOSS_NUL | RD_LOSS_SPLIT), "warning: NUL bytes dropped in ");
    EXPECT_EQ(rdloss_warning(0), nullptr);
}

TEST(FoldFile, WritesMarkers) {
    FoldPtr f(fold_create("", 0, 0));
    append(f.get(), line_create_text("int a;"));
    FOLD *init = line_fold(append(f.get(), line_create_fold("init code", 4, 1)));
    append(init, line_create_text("a = 0;"));
    char quoted[LINE_BUF_SIZE];
    ASSERT_EQ(enquote_vfold_fn("lib/my file.c", quoted), 1);
    append(init, line_create_virt(quoted, 0, 0));
    append(f.get(), line_create_text("end"));
    EXPECT_EQ(write_bytes(f.get(), top), example_file);
    EXPECT_EQ(write_bytes(f.get(), marker_lang("", "")),
              "int a;\nSinit code:4:\na = 0;\nvlib\\47\\my\\39\\ file\\46\\c:4:\ne\nend\n");

    FoldPtr g(fold_create("", 0, 0));
    append(g.get(), line_create_fold("", 0, 0));
    FOLD *neg = line_fold(append(g.get(), line_create_fold("a:b\\c\td\xff", -3, 1)));
    append(neg, line_create_fold("Az_09 x", 2, 1));
    append(neg, line_create_virt("max", INT_MAX, 1));
    std::string bytes = write_bytes(g.get(), top);
    EXPECT_EQ(bytes, "/*...s:0:*/\n/*...e*/\n/*...Sa\\58\\b\\92\\c\\9\\d\\255\\:4294967293:*/\n"
                     "/*...SAz_09 x:4294967295:*/\n/*...e*/\n/*...Vmax:2147483644:*/\n/*...e*/\n");
    ReadResult r = read_bytes(bytes, top);
    EXPECT_EQ(tree_picture(r.fold.get()), tree_picture(g.get()));

    // line_write writes one line at a time, a fold with all its contents.
    char *data = nullptr;
    size_t size = 0;
    FILE *mem = open_memstream(&data, &size);
    rw_begin(mem);
    EXPECT_EQ(line_write(f->end), 0);
    EXPECT_EQ(line_write(f->first->next), 1);
    EXPECT_EQ(rw_end(), 1);
    fclose(mem);
    EXPECT_EQ(std::string(data, size), example_file.substr(7, example_file.size() - 11));
    free(data);
}

TEST(FoldFile, EveryNameByteAndTheLongestMarkersComeBack) {
    std::string all;
    for (int c = 1; c < 256; c++) all += static_cast<char>(c);
    // 500 bytes that take 5 each, between the longest comment delimiters:
    // marker lines of over 3500 bytes.
    std::string longest(LINE_MAX_TEXT, '\xfe'), start(LINE_MAX_TEXT, '#'), end(LINE_MAX_TEXT, '!');
    for (const LANG &lang : {top, marker_lang(start.c_str(), end.c_str())}) {
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

TEST(FoldFile, OutOfMemoryAnywhereStopsTheReadCleanly) {
    long before = alloc_live_blocks();
    const std::string whole = std::string(example_picture) + "tail,";
    for (long n = 1;; n++) {
        ASSERT_LT(n, 100);
        ReadResult r = read_bytes(example_file + "tail\n", top, n);
        if (r.ok) break;
        EXPECT_EQ(r.outcome, RD_NO_MEMORY) << n;
        EXPECT_EQ(whole.rfind(tree_picture(r.fold.get()), 0), 0u) << "a prefix, at " << n;
        EXPECT_EQ(check_fold_invariants(r.fold.get()), "");
    }
    EXPECT_EQ(alloc_live_blocks(), before);
}

// The block reader must cut a stream into exactly the lines get_line does,
// across block boundaries, long lines, NUL bytes and a missing final newline,
// and tell exactly when a line was split or cut at a NUL.
TEST(FoldFile, ReaderAgreesWithGetLine) {
    std::mt19937 rng(4);
    for (int round = 0; round < 6; round++) {
        // Round 0 has no NUL, round 1 one far in, the others many.
        unsigned nul_odds = round == 0 ? 0 : round == 1 ? 1 : 64;
        std::string bytes;
        bool split = false;
        while (bytes.size() < 300000) {
            unsigned r = rng();
            size_t len = r % 8 == 0                 ? 490 + rng() % 20
                         : r % 4 == 0 && round != 2 ? 900
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
        ReadResult r = read_bytes(bytes, marker_lang("", ""));
        ASSERT_EQ(r.ok, 1);
        bool nul = bytes.find('\0') != std::string::npos;
        EXPECT_EQ(r.loss, (nul ? RD_LOSS_NUL : 0) | (split ? RD_LOSS_SPLIT : 0)) << round;
        std::unique_ptr<FILE, int (*)(FILE *)> fp(fmemopen(bytes.data(), bytes.size(), "r"),
                                                  fclose);
        char buf[LINE_BUF_SIZE];
        const LINE *l = r.fold->first;
        for (int n = 0; get_line(buf, fp.get()); n++, l = l->next) {
            ASSERT_NE(l, r.fold->end) << "round " << round << " line " << n;
            ASSERT_STREQ(line_text(l), buf) << "round " << round << " line " << n;
        }
        EXPECT_EQ(l, r.fold->end) << "round " << round;
    }
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
    long before = alloc_live_blocks();
    EXPECT_EQ(read_bytes(file.substr(0, file.size() - 9), top).outcome, RD_END_IN_FOLD);
    EXPECT_EQ(alloc_live_blocks(), before);
}

TEST(VfoldName, QuoteAndDequote) {
    char out[LINE_BUF_SIZE];
    ASSERT_EQ(enquote_vfold_fn("a b\tc'd", out), 1);
    EXPECT_STREQ(out, "a' b'\tc''d");
    EXPECT_EQ(enquote_vfold_fn(std::string(250, ' ').c_str(), out), 1);
    EXPECT_EQ(enquote_vfold_fn(std::string(251, ' ').c_str(), out), 0);
    const char *const cases[][2] = {
        {"lib.c  library code", "lib.c"},
        {"a' b", "a b"},
        {"it''s", "it's"},
        {" \t lead\ttail", "lead"},
        {"end'", "end'"},
        {"'x'\ty", "x\ty"},
        {"  ", ""},
    };
    for (const auto &c : cases) {
        dequote_vfold_fn(c[0], out);
        EXPECT_STREQ(out, c[1]) << c[0];
    }
}

} // namespace
