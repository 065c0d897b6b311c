// Random edits of a line tree, as an editor makes them: moving about, entering
// and leaving folds, inserting new, removed and copied lines, removing and
// deleting. After every step the tree is recounted by the checker, every
// fold's list and marks are compared with a plain model, and the line number
// kept from the steps' results is compared with one recomputed from scratch.
#include "text/alloc.h"
#include "text/line.h"
#include "tree_check.h"
#include "tree_owner.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

struct ModelFold {
    std::vector<const LINE *> lines; // without the end line
    int index = 0;
    int mark1 = -1, mark2 = -1;
};

class RandomEditor {
  public:
    explicit RandomEditor(unsigned seed) : rng_(seed), top_(fold_create("", 0, 0)) {
        current_ = this;
        fold_set_free_notice([](FOLD *f) { current_->model_.erase(f); });
        path_.push_back(top_.get());
        adopt(top_.get());
    }
    ~RandomEditor() {
        loose_.clear();
        top_.reset();
        fold_set_free_notice(nullptr);
        current_ = nullptr;
    }

    void step() {
        FOLD *f = path_.back();
        bool big = top_->deep_count > 1500;
        switch (rng_() % 16) {
        case 0: insert(f, line_create_text(next_text().c_str())); break;
        case 1: insert(f, new_fold_line()); break;
        case 2: copy_line(f); break;
        case 3:
        case 4: remove(f); break;
        case 5:
            if (!loose_.empty() && !big) insert(f, take_loose(rng_() % loose_.size()));
            break;
        case 6:
            if (!loose_.empty() && (big || loose_.size() > 10)) {
                line_delete_deep(take_loose(rng_() % loose_.size()));
            }
            break;
        case 7:
            if (f->cur != f->end) line_no_ += line_step_next(f), model_[f].index++;
            break;
        case 8:
            if (f->cur != f->first) line_no_ += line_step_prev(f), model_[f].index--;
            break;
        case 9: line_no_ += line_step_first(f), model_[f].index = 0; break;
        case 10: line_no_ += line_step_last(f), model_[f].index = f->line_count - 1; break;
        case 11: {
            int to = static_cast<int>(rng_() % f->line_count);
            line_no_ += line_step_to(f, to);
            model_[f].index = to;
            break;
        }
        case 12:
        case 13: enter(f); break;
        case 14: leave(); break;
        case 15: set_mark(f); break;
        }
    }

    // Everything the model and the recount can tell; "" when all agree.
    std::string verify() {
        std::string fault = check_fold_invariants(top_.get());
        if (!fault.empty()) return fault;
        for (auto &[fold, model] : model_) {
            const LINE *l = fold->first;
            for (const LINE *want : model.lines) {
                if (l != want) return "list differs from the model in \"" + name(fold) + "\"";
                l = l->next;
            }
            if (l != fold->end) return "list longer than the model in \"" + name(fold) + "\"";
            if (fold->cur_index != model.index) return "wrong index in \"" + name(fold) + "\"";
            if (fold->mark1 != model.mark1 || fold->mark2 != model.mark2) {
                return "marks differ from the model in \"" + name(fold) + "\"";
            }
        }
        long recount = static_cast<long>(path_.size()) - 1;
        for (const FOLD *f : path_) recount += f->cur_count;
        if (recount != line_no_) {
            return "line number " + std::to_string(line_no_) + " kept from steps, " +
                   std::to_string(recount) + " recounted";
        }
        for (const LinePtr &l : loose_) {
            if (line_kind(l.get()) != LINE_FOLD) continue;
            if (line_fold(l.get())->parent) return "removed fold keeps a parent";
            fault = check_fold_invariants(line_fold(l.get()));
            if (!fault.empty()) return "removed fold: " + fault;
        }
        return "";
    }

    size_t folds_known() const { return model_.size(); }

  private:
    static std::string name(const FOLD *f) { return f->name; }

    std::string next_text() { return "t" + std::to_string(texts_++); }

    // Makes model entries for a fold new to the model and every fold in it.
    void adopt(const FOLD *f) {
        ModelFold &m = model_[f];
        m.lines.clear();
        for (const LINE *l = f->first; l != f->end; l = l->next) {
            m.lines.push_back(l);
            if (line_kind(l) == LINE_FOLD) adopt(line_fold(l));
        }
        m.index = f->cur_index;
        m.mark1 = f->mark1;
        m.mark2 = f->mark2;
    }

    // A new fold line holding up to five text lines and maybe a fold, filled
    // before it has a parent as the file reader fills folds.
    LINE *new_fold_line() {
        std::string fold_name = "f" + std::to_string(texts_++);
        LINE *l = line_create_fold(fold_name.c_str(), static_cast<int>(rng_() % 9), rng_() % 2);
        FOLD *f = line_fold(l);
        for (unsigned n = rng_() % 6; n; n--) {
            LINE *inner = rng_() % 5 ? line_create_text(next_text().c_str())
                                     : line_create_virt(next_text().c_str(), 0, 1);
            line_insert(inner, f);
            line_step_next(f);
        }
        if (rng_() % 3 == 0) {
            line_insert(new_fold_line(), f);
            line_step_next(f);
        }
        line_step_to(f, static_cast<int>(rng_() % f->line_count));
        adopt(f);
        return l;
    }

    void insert(FOLD *f, LINE *l) {
        ASSERT_NE(l, nullptr);
        ModelFold &m = model_[f];
        line_insert(l, f);
        m.lines.insert(m.lines.begin() + m.index, l);
        if (m.mark1 >= m.index) m.mark1++;
        if (m.mark2 >= m.index) m.mark2++;
        if (line_kind(l) == LINE_FOLD && !model_.count(line_fold(l))) adopt(line_fold(l));
    }

    void remove(FOLD *f) {
        if (f->cur == f->end) return;
        ModelFold &m = model_[f];
        LINE *l = line_remove(f);
        ASSERT_EQ(l, m.lines[m.index]);
        m.lines.erase(m.lines.begin() + m.index);
        if (m.mark1 > m.index) m.mark1--;
        if (m.mark2 > m.index) m.mark2--;
        loose_.emplace_back(l);
    }

    LINE *take_loose(size_t i) {
        LINE *l = loose_[i].release();
        loose_.erase(loose_.begin() + static_cast<long>(i));
        return l;
    }

    // Copies a line of this list or a removed line, deeply or not, and
    // inserts the copy.
    void copy_line(FOLD *f) {
        const LINE *src = nullptr;
        if (!loose_.empty() && rng_() % 3 == 0) {
            src = loose_[rng_() % loose_.size()].get();
        } else if (f->line_count > 1) {
            const ModelFold &m = model_[f];
            src = m.lines[rng_() % m.lines.size()];
        }
        if (!src || top_->deep_count + lines_in(src) > 3000) return;
        bool deep = rng_() % 4 != 0;
        LINE *copy = deep ? line_copy_deep(src) : line_copy(src);
        ASSERT_NE(copy, nullptr);
        ASSERT_NE(copy, src);
        ASSERT_EQ(line_kind(copy), line_kind(src));
        if (line_kind(src) == LINE_FOLD) {
            const FOLD *cf = line_fold(copy);
            ASSERT_EQ(check_fold_invariants(cf), "");
            ASSERT_EQ(tree_picture(cf), deep ? tree_picture(line_fold(src)) : "");
            ASSERT_EQ(cf->cur, cf->end);
        }
        insert(f, copy);
    }

    // Enters the fold on the current line where its view was left.
    void enter(FOLD *f) {
        if (line_kind(f->cur) != LINE_FOLD) return;
        FOLD *inner = line_fold(f->cur);
        line_no_ += 1 + inner->cur_count;
        path_.push_back(inner);
    }

    void leave() {
        if (path_.size() < 2) return;
        line_no_ -= 1 + path_.back()->cur_count;
        path_.pop_back();
    }

    void set_mark(FOLD *f) {
        int mark = static_cast<int>(rng_() % (f->line_count + 1)) - 1;
        ModelFold &m = model_[f];
        (rng_() % 2 ? f->mark1 : f->mark2) = mark;
        m.mark1 = f->mark1;
        m.mark2 = f->mark2;
    }

    static inline RandomEditor *current_;
    std::mt19937 rng_;
    FoldPtr top_;
    std::vector<FOLD *> path_; // the folds entered, top first
    long line_no_ = 0;         // the current line's number, kept from the steps
    std::vector<LinePtr> loose_;
    std::map<const FOLD *, ModelFold> model_;
    long texts_ = 0;
};

TEST(RandomEdits, KeepEveryInvariant) {
    long live = alloc_live_blocks();
    for (unsigned seed = 1; seed <= 4; seed++) {
        RandomEditor editor(seed);
        for (int i = 0; i < 5000; i++) {
            editor.step();
            ASSERT_FALSE(testing::Test::HasFatalFailure()) << "seed " << seed << " step " << i;
            ASSERT_EQ(editor.verify(), "") << "seed " << seed << " step " << i;
        }
        EXPECT_GT(editor.folds_known(), 20u);
    }
    EXPECT_EQ(alloc_live_blocks(), live);
}

} // namespace
