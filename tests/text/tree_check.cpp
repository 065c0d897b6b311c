#include "tree_check.h"

namespace {

// Longer lists or deeper nesting than this are taken as cycles.
constexpr long max_walk = 50'000'000, max_depth = 2000;

// "line count/deep count @current index+current line count"
std::string counts(long lines, long deep, long cur_index, long cur_count) {
    return std::to_string(lines) + "/" + std::to_string(deep) + " @" + std::to_string(cur_index) +
           "+" + std::to_string(cur_count);
}

// Checks f and everything below it; on success stores f's recounted deep count.
std::string check(const tree_fold *f, long depth, long *deep_out) {
    auto fault = [&](const std::string &what) {
        return "fold \"" + std::string(f->name ? f->name : "(null name)") + "\" at depth " +
               std::to_string(depth) + ": " + what;
    };
    if (!f->name || !f->first || !f->cur || !f->end || line_kind(f->end) != LINE_END ||
        line_next(f->end) || line_prev(f->first)) {
        return fault("null name, first line or current line, or a bad end line");
    }
    if (depth > max_depth) return fault("folds nest over 2000 deep or in a cycle");
    long entries = 0, deep = 0, cur_index = -1, cur_count = -1;
    const tree_line *prev = nullptr;
    for (const tree_line *l = f->first;; prev = l, l = line_next(l)) {
        auto at = [&](const char *what) { return fault("line " + std::to_string(entries) + what); };
        if (!l || entries >= max_walk) return fault("list does not reach its end line");
        if (line_prev(l) != prev || (line_type(l) & 0x30))
            return at(" has a wrong prev link or type");
        if (l == f->cur) cur_index = entries, cur_count = deep;
        entries++;
        deep++;
        if (l == f->end) break;
        int kind = line_kind(l);
        if (kind == LINE_FOLD) {
            const tree_fold *inner = line_fold(l);
            if (!inner || inner->parent != f) return at(" has no fold or not its parent");
            long inner_deep = 0;
            std::string inner_fault = check(inner, depth + 1, &inner_deep);
            if (!inner_fault.empty()) return inner_fault;
            deep += inner_deep;
        } else if (kind == LINE_TEXT ? !line_text(l)
                                     : kind != LINE_VIRT || !line_virt(l) || !line_virt(l)->name) {
            return at(" is an end line, of a bad kind or without its text or name");
        }
    }
    if (f->line_count != entries || f->deep_count != deep || f->cur_index != cur_index ||
        f->cur_count != cur_count) {
        return fault("counts " + counts(f->line_count, f->deep_count, f->cur_index, f->cur_count) +
                     ", recounted " + counts(entries, deep, cur_index, cur_count));
    }
    for (int mark : {f->mark1, f->mark2}) {
        if (mark < -1 || mark >= entries) return fault("mark " + std::to_string(mark) + " outside");
    }
    *deep_out = deep;
    return "";
}

void picture(const tree_fold *f, std::string &out, bool marks) {
    if (marks && (f->mark1 >= 0 || f->mark2 >= 0))
        out += "|" + std::to_string(f->mark1) + "-" + std::to_string(f->mark2) + "|";
    for (const tree_line *l = f->first; l != f->end; l = line_next(l)) {
        if (line_kind(l) == LINE_TEXT) {
            out += line_text(l);
        } else if (line_kind(l) == LINE_VIRT) {
            const virtual_fold *v = line_virt(l);
            out += "<" + std::string(v->name) + " " + std::to_string(v->indent) +
                   (v->open ? " o>" : " c>");
        } else {
            const tree_fold *inner = line_fold(l);
            out += "[" + std::string(inner->name) + " " + std::to_string(inner->indent) +
                   (inner->open ? " o:" : " c:");
            picture(inner, out, marks);
            out += "]";
        }
        out += ",";
    }
}

} // namespace

std::string check_fold_invariants(const tree_fold *f) {
    long deep = 0;
    return f ? check(f, 0, &deep) : "null fold";
}

std::string tree_picture(const tree_fold *f, bool marks) {
    std::string out;
    picture(f, out, marks);
    return out;
}
