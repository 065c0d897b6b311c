// Random trees written and read back: text of any bytes, open and closed
// folds nested several deep with names of any bytes and any indents, and
// virtual fold lines with awkward quoted names. Each tree must come back
// equal, pass the recounting checker, and write out again byte for byte.
#include "fold_io.h"
#include "tree_check.h"

#include "text/fold_file.h"
#include "text/vfold_name.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>
#include <string>

namespace {

class TreeMaker {
  public:
    TreeMaker(unsigned seed, const LANG &lang) : rng_(seed), lang_(lang) {}

    FoldPtr make() {
        FoldPtr f(fold_create("", 0, 0));
        fill(f.get(), 0);
        return f;
    }

  private:
    unsigned below(unsigned n) { return rng_() % n; }

    // Mostly short and printable, with the limits and any byte now and then.
    std::string bytes(bool newline_ok) {
        unsigned pick = below(8);
        size_t n = pick == 0   ? 0
                   : pick == 1 ? size_t{LINE_MAX_TEXT}
                   : pick == 2 ? below(501)
                               : below(20);
        std::string s;
        while (s.size() < n) {
            char c = static_cast<char>(below(4) ? ' ' + below(95) : 1 + below(255));
            if (c != '\n' || newline_ok) s += c;
        }
        return s;
    }

    std::string text() {
        static const char *const near_markers[] = {" /*...Sx:0:*/", "/*..", "e*/", "--", "%%"};
        std::string t = below(10) ? bytes(false) : near_markers[below(5)];
        if (t.starts_with(lang_.rc_start)) t[0] = 'x';
        return t;
    }

    std::string vfold_name() {
        static const char *const awkward[] = {"my file.c", "it's", "a\tb", "x:y\\z", "'", " "};
        std::string name = below(3) ? awkward[below(6)] : bytes(true).substr(0, 250);
        char quoted[LINE_BUF_SIZE];
        enquote_vfold_fn(name.c_str(), quoted);
        bool comment = below(4) == 0 && strlen(quoted) < 480;
        return quoted + std::string(comment ? "  a comment" : "");
    }

    int indent() {
        static const int odd[] = {INT_MAX, INT_MIN, -1, -7};
        return below(5) ? static_cast<int>(below(5) * 4) : odd[below(4)];
    }

    void fill(FOLD *f, int depth) {
        for (unsigned i = 0, n = below(depth ? 7 : 12); i < n; i++) {
            unsigned kind = below(10);
            if (kind < 3 && depth < 6) {
                FOLD *inner =
                    line_fold(append(f, line_create_fold(bytes(true).c_str(), indent(), below(2))));
                fill(inner, depth + 1);
            } else if (kind < 5) {
                append(f, line_create_virt(vfold_name().c_str(), indent(), below(2)));
            } else {
                append(f, line_create_text(text().c_str()));
            }
        }
    }

    std::mt19937 rng_;
    const LANG &lang_;
};

TEST(FoldFileRandom, TreesComeBackEqualAndWriteTheSameBytes) {
    std::string long_start(LINE_MAX_TEXT, '<');
    const LANG langs[] = {marker_lang(), marker_lang("--", ""), marker_lang("%%{", "}%%"),
                          marker_lang(long_start.c_str(), "\\")};
    long lines = 0;
    for (unsigned seed = 1; seed <= 240; seed++) {
        const LANG &lang = langs[seed % 4];
        FoldPtr tree = TreeMaker(seed, lang).make();
        std::string bytes = write_bytes(tree.get(), lang);
        ReadResult r = read_bytes(bytes, lang);
        ASSERT_EQ(r.ok, 1) << "seed " << seed << " outcome " << r.outcome;
        EXPECT_EQ(r.loss, 0) << "seed " << seed;
        ASSERT_EQ(check_fold_invariants(r.fold.get()), "") << "seed " << seed;
        EXPECT_EQ(tree_picture(r.fold.get()), tree_picture(tree.get())) << "seed " << seed;
        ASSERT_EQ(write_bytes(r.fold.get(), lang), bytes) << "seed " << seed;
        lines += r.fold->deep_count;
    }
    EXPECT_GT(lines, 5000) << "the trees are not trivial";
}

} // namespace
