#include "tree_check.h"

#include <cstring>
#include <vector>

namespace {

// Longer lists than this are taken as cycles.
constexpr long max_walk = 50'000'000;

std::string where(const FOLD *f, const std::vector<const FOLD *> &path) {
    std::string s = "fold \"";
    s += f->name ? f->name : "(null name)";
    s += "\" at depth " + std::to_string(path.size());
    return s;
}

// Checks f and everything below it; on success stores f's recounted deep count.
std::string check(const FOLD *f, std::vector<const FOLD *> &path, long *deep_out) {
    if (!f->name) return where(f, path) + ": null name";
    if (!f->end || !f->first || !f->cur) return where(f, path) + ": null first, cur or end";
    if (line_kind(f->end) != LINE_END) return where(f, path) + ": end line of wrong kind";
    if (f->end->next) return where(f, path) + ": end line has a next line";
    if (f->first->prev) return where(f, path) + ": first line has a previous line";
    for (const FOLD *p : path) {
        if (p == f) return where(f, path) + ": fold holds itself";
    }
    path.push_back(f);
    long entries = 0, deep = 0, cur_index = -1, cur_count = -1;
    const LINE *prev = nullptr;
    for (const LINE *l = f->first;; l = l->next) {
        if (!l) return where(f, path) + ": list ends before the end line";
        if (entries >= max_walk) return where(f, path) + ": list does not reach its end line";
        if (l->prev != prev) {
            return where(f, path) + ": line " + std::to_string(entries) + " has a wrong prev link";
        }
        unsigned type = line_type(l);
        if (type & 0x30) return where(f, path) + ": type byte with bits 4-5 set";
        if (l == f->cur) {
            cur_index = entries;
            cur_count = deep;
        }
        entries++;
        deep++;
        if (l == f->end) break;
        switch (line_kind(l)) {
        case LINE_TEXT:
            if (!line_text(l)) return where(f, path) + ": text line without text";
            break;
        case LINE_VIRT:
            if (!line_virt(l) || !line_virt(l)->name) {
                return where(f, path) + ": virtual fold without name";
            }
            break;
        case LINE_FOLD: {
            const FOLD *inner = line_fold(l);
            if (!inner) return where(f, path) + ": fold line without fold";
            if (inner->parent != f) return where(inner, path) + ": parent is not its holder";
            long inner_deep = 0;
            std::string fault = check(inner, path, &inner_deep);
            if (!fault.empty()) return fault;
            deep += inner_deep;
            break;
        }
        default: return where(f, path) + ": end line or bad kind inside the list";
        }
        prev = l;
    }
    path.pop_back();
    auto mismatch = [&](const char *what, long cached, long counted) {
        return where(f, path) + ": " + what + " " + std::to_string(cached) + ", recounted " +
               std::to_string(counted);
    };
    if (f->line_count != entries) return mismatch("line_count", f->line_count, entries);
    if (f->deep_count != deep) return mismatch("deep_count", f->deep_count, deep);
    if (cur_index < 0) return where(f, path) + ": current line is not in the list";
    if (f->cur_index != cur_index) return mismatch("cur_index", f->cur_index, cur_index);
    if (f->cur_count != cur_count) return mismatch("cur_count", f->cur_count, cur_count);
    for (int mark : {f->mark1, f->mark2}) {
        if (mark < -1 || mark >= entries) {
            return where(f, path) + ": mark " + std::to_string(mark) + " outside a list of " +
                   std::to_string(entries);
        }
    }
    *deep_out = deep;
    return "";
}

void picture(const FOLD *f, std::string &out) {
    for (const LINE *l = f->first; l != f->end; l = l->next) {
        switch (line_kind(l)) {
        case LINE_TEXT: out += line_text(l); break;
        case LINE_VIRT: {
            const VFOLD *v = line_virt(l);
            out += "<" + std::string(v->name) + " " + std::to_string(v->indent) +
                   (v->open ? " o>" : " c>");
            break;
        }
        case LINE_FOLD: {
            const FOLD *inner = line_fold(l);
            out += "[" + std::string(inner->name) + " " + std::to_string(inner->indent) +
                   (inner->open ? " o:" : " c:");
            picture(inner, out);
            out += "]";
            break;
        }
        default: out += "?"; break;
        }
        out += ",";
    }
}

} // namespace

std::string check_fold_invariants(const FOLD *f) {
    if (!f) return "null fold";
    std::vector<const FOLD *> path;
    long deep = 0;
    return check(f, path, &deep);
}

std::string tree_picture(const FOLD *f) {
    std::string out;
    picture(f, out);
    return out;
}
