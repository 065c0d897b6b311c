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

// "" when the two lists hold the same lines, else where they differ.
std::string compare(const FOLD *a, const FOLD *b, const std::string &where = "top") {
    const LINE *x = a->first, *y = b->first;
    for (int i = 0;; i++, x = x->next, y = y->next) {
        std::string at = where + " line " + std::to_string(i);
        if ((x == a->end) != (y == b->end)) return at + ": lists of different lengths";
        if (x == a->end) return "";
        if (line_kind(x) != line_kind(y)) return at + ": kinds differ";
        switch (line_kind(x)) {
        case LINE_TEXT:
            if (strcmp(line_text(x), line_text(y))) return at + ": texts differ";
            break;
        case LINE_VIRT: {
            const VFOLD *v = line_virt(x), *w = line_virt(y);
            if (strcmp(v->name, w->name) || v->indent != w->indent || v->open != w->open) {
                return at + ": virtual folds differ";
            }
            break;
        }
        default: {
            const FOLD *f = line_fold(x), *g = line_fold(y);
            if (strcmp(f->name, g->name) || f->indent != g->indent || f->open != g->open) {
                return at + ": folds differ";
            }
            std::string inner = compare(f, g, at);
            if (!inner.empty()) return inner;
        }
        }
    }
}

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

    // Lengths favour the short, with the limits themselves now and then.
    size_t length() {
        switch (below(8)) {
        case 0: return 0;
        case 1: return LINE_MAX_TEXT;
        case 2: return below(LINE_MAX_TEXT + 1);
        default: return below(20);
        }
    }

    // Any byte but NUL (and the newline, for text).
    std::string bytes(size_t n, bool newline_ok) {
        std::string s;
        while (s.size() < n) {
            char c = static_cast<char>(below(4) ? ' ' + below(95) : 1 + below(255));
            if (c != '\n' || newline_ok) s += c;
        }
        return s;
    }

    std::string text() {
        static const char *const near_markers[] = {" /*...Sx:0:*/", "/*..", "/*.. e", "e*/", "--"};
        std::string t = below(10) ? bytes(length(), false) : near_markers[below(5)];
        if (t.compare(0, strlen(lang_.rc_start), lang_.rc_start) == 0) t[0] = 'x';
        return t;
    }

    std::string vfold_name() {
        std::string quoted;
        char out[LINE_BUF_SIZE];
        static const char *const awkward[] = {"my file.c", "it's", "a\tb", "x:y\\z", "'", " "};
        std::string name = below(3) ? awkward[below(6)] : bytes(length() / 2, true);
        if (!enquote_vfold_fn(name.c_str(), out)) return name.substr(0, LINE_MAX_TEXT);
        quoted = out;
        if (below(4) == 0 && quoted.size() < 480) quoted += "  a comment";
        return quoted;
    }

    int indent() {
        switch (below(10)) {
        case 0: return INT_MAX;
        case 1: return INT_MIN;
        case 2: return -static_cast<int>(below(9));
        default: return static_cast<int>(below(5) * 4);
        }
    }

    void fill(FOLD *f, int depth) {
        unsigned n = below(depth ? 7 : 12);
        for (unsigned i = 0; i < n; i++) {
            unsigned kind = below(10);
            if (kind < 3 && depth < 6) {
                LINE *l =
                    append(f, line_create_fold(bytes(length(), true).c_str(), indent(), below(2)));
                fill(line_fold(l), depth + 1);
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
        ASSERT_EQ(compare(tree.get(), r.fold.get()), "") << "seed " << seed;
        EXPECT_EQ(tree_picture(r.fold.get()), tree_picture(tree.get())) << "seed " << seed;
        ASSERT_EQ(write_bytes(r.fold.get(), lang), bytes) << "seed " << seed;
        lines += r.fold->deep_count;
    }
    EXPECT_GT(lines, 5000) << "the trees are not trivial";
}

} // namespace
