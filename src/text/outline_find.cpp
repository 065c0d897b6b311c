#include "text/outline_find.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <new>

namespace {

// The first lines of a file can mean more than comments do ("#!/bin/sh",
// Python's "# coding: latin-1"): they keep their places.
constexpr int FILE_HEADER_LINES = 2;

bool is_word_byte(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// A run of items searched for definitions that nest at one level.
struct scanner {
    int pos, hi; // the items left to search: [pos, hi)
    int floor;   // the first item a definition found may take in
    int level;   // 1 for the outermost
    int parent;  // the definition whose body this is, -1 for none
    int depth;   // braces: the depth of "{" blocks at this level
};

// A definition found: its items, the line naming it, and its body, which is
// searched for the definitions nested in it when descend is true.
struct found {
    int first, last, name;
    int body_lo, body_hi;
    bool descend;
};

class definition_finder {
  public:
    definition_finder(const outline_rule &rule, const std::vector<outline_item> &items, int kept)
        : rule_(rule), items_(items), n_(static_cast<int>(items.size())), kept_(kept),
          until_(items.size()) {
        find_ends();
    }

    void find(int depth, std::vector<outline_def> &defs) {
        std::vector<scanner> stack{{0, n_, 0, 1, -1, 0}};
        while (!stack.empty()) {
            scanner s = stack.back();
            found f;
            if (!next(s, f)) {
                stack.pop_back();
                continue;
            }
            stack.back().pos = stack.back().floor = f.last + 1;
            defs.push_back({f.first, f.last, f.name, s.parent});
            if (f.descend && (depth == 0 || s.level < depth))
                stack.push_back({f.body_lo, f.body_hi, f.body_lo, s.level + 1,
                                 static_cast<int>(defs.size()) - 1, s.depth + 1});
        }
    }

  private:
    // The value at which an item's definition ends, or OUTLINE_NONE when the
    // item can begin none: the depth its block opens at, its indent, its
    // heading's level.
    int key(const outline_item &it) const {
        if (!(it.flags & ITEM_TEXT)) return OUTLINE_NONE;
        switch (rule_.kind) {
        case OUTLINE_BRACES: return it.depth_end > it.depth ? it.depth : OUTLINE_NONE;
        case OUTLINE_INDENT: return it.least;
        case OUTLINE_HEADINGS: return it.least < OUTLINE_TEXT ? it.least : OUTLINE_NONE;
        }
        return OUTLINE_NONE;
    }

    // until_[i]: the first item after i whose least value is at most i's key
    // (n when none), for every item with a key, in one pass: the items still
    // waiting for theirs stand on a stack, their keys rising.
    void find_ends() {
        std::vector<int> waiting;
        for (int j = 0; j < n_; j++) {
            until_[j] = n_;
            while (!waiting.empty() && items_[j].least <= key(items_[waiting.back()])) {
                until_[waiting.back()] = j;
                waiting.pop_back();
            }
            if (key(items_[j]) != OUTLINE_NONE) waiting.push_back(j);
        }
    }

    bool has(int k, unsigned flags) const { return (items_[k].flags & flags) == flags; }
    bool clean_before(int k) const { return k == 0 || has(k - 1, ITEM_CLEAN_AFTER); }
    bool is_code(int k) const {
        return has(k, ITEM_TEXT) &&
               !(items_[k].flags & (ITEM_BLANK | ITEM_COMMENT | ITEM_DIRECTIVE));
    }

    // A text line beginning with a prefix of a braces or indent rule.
    bool attached(int k) const {
        if (!has(k, ITEM_TEXT) || rule_.kind == OUTLINE_HEADINGS) return false;
        const char *text = outline_text(items_[k]);
        for (const std::string &p : rule_.prefixes)
            if (std::strncmp(text, p.c_str(), p.size()) == 0) return true;
        return false;
    }

    bool matches(int k) const {
        ERE *e = rule_.first_line.get();
        return !e || ere_match(e, 0, outline_text(items_[k]), 0, nullptr) >= 0;
    }

    // The comment lines right above top (at that indent, unless it is -1),
    // then the first place at or after it where a marker line may go, not
    // past last; -1 when there is none.
    int take_comments(int top, int floor, int indent, int last) const {
        while (top > std::max(floor, kept_) && has(top - 1, ITEM_TEXT | ITEM_COMMENT) &&
               (indent < 0 || items_[top - 1].indent == indent))
            top--;
        while (top <= last && !clean_before(top)) top++;
        return top <= last ? top : -1;
    }

    bool next(const scanner &s, found &f) const {
        switch (rule_.kind) {
        case OUTLINE_BRACES: return next_braces(s, f);
        case OUTLINE_INDENT: return next_indented(s, f);
        case OUTLINE_HEADINGS: return next_heading(s, f);
        }
        return false;
    }

    // The first line of the head of the block that line i opens: the lines
    // above it that the statement runs over (anything open at their end),
    // prefixed lines, and the lines a brace on a line of its own or a deeper
    // indent below shows to go with it, up to a line that ends a statement.
    int head_top(int i, int floor) const {
        int top = i;
        bool brace_alone = has(i, ITEM_BRACE_FIRST);
        while (top > floor && has(top - 1, ITEM_TEXT)) {
            const outline_item &p = items_[top - 1];
            if (!(p.flags & ITEM_CLEAN_AFTER)) {
                top--;
                continue;
            }
            if (!is_code(top - 1) || std::strchr(";{}:", p.last)) break;
            if (!brace_alone && !attached(top - 1) && items_[top].indent <= p.indent) break;
            top--;
        }
        return top;
    }

    // The head of the block that line i opens, from line top: whether it is
    // a namespace's or a type's, whose body holds definitions, rather than a
    // function's or an initializer's, whose body holds statements or data (it
    // names a namespace, or has no "(" nor "=" after its last word that names
    // a type, or in the whole head when it has none); and the line that names
    // it: the one with that word, else the first with a "(" (a function's
    // name), else its first. Prefixed lines and comments are left out.
    struct head {
        bool holds_definitions;
        int name;
    };
    head head_of(int top, int i) const {
        static const char *const namespaces[] = {"namespace", "module", "mod", "impl"};
        static const char *const types[] = {"class", "struct", "union",  "enum",  "interface",
                                            "trait", "object", "record", "extern"};
        auto is = [](const char *word, size_t n, const auto &words) {
            for (const char *w : words)
                if (std::strlen(w) == n && std::strncmp(word, w, n) == 0) return true;
            return false;
        };
        int first = -1, type = -1, paren = -1;
        bool call = false;
        for (int k = top; k <= i; k++) {
            if (!is_code(k) || attached(k)) continue;
            if (first < 0) first = k;
            for (const char *p = line_text(items_[k].line); *p && !(k == i && *p == '{');) {
                if (!is_word_byte(*p)) {
                    call = call || *p == '(' || *p == '=';
                    if (*p == '(' && paren < 0) paren = k;
                    p++;
                    continue;
                }
                const char *word = p;
                while (is_word_byte(*p)) p++;
                size_t n = static_cast<size_t>(p - word);
                if (is(word, n, namespaces)) return {true, k};
                if (is(word, n, types)) {
                    call = false;
                    type = k;
                }
            }
        }
        if (!call && type >= 0) return {true, type};
        return {!call, paren >= 0 ? paren : first >= 0 ? first : i};
    }

    bool next_braces(const scanner &s, found &f) const {
        for (int i = s.pos; i < s.hi; i++) {
            const outline_item &it = items_[i];
            if (!(it.flags & ITEM_TEXT) || it.depth != s.depth || it.depth_end <= s.depth) continue;
            int close = until_[i];
            if (close >= s.hi) return false; // the rest is inside the block
            // The block must close on a line of this list, where nothing is open.
            if (!has(close, ITEM_TEXT | ITEM_CLEAN_AFTER)) {
                i = close;
                continue;
            }
            int top = take_comments(head_top(i, s.floor), s.floor, -1, i);
            if (top < 0) {
                i = close;
                continue;
            }
            head h = head_of(top, i);
            if (!matches(h.name)) {
                i = close;
                continue;
            }
            f = {top, close, h.name, i + 1, close, h.holds_definitions};
            return true;
        }
        return false;
    }

    // The first line of the decorators right above line i, at its indent v.
    int decorators_top(int i, int floor, int v) const {
        int top = i;
        while (top > floor) {
            int start = top - 1; // where the logical line above begins
            while (start > floor && !clean_before(start)) start--;
            if (!has(start, ITEM_TEXT) || items_[start].least != v || !attached(start)) break;
            top = start;
        }
        return top;
    }

    bool trailing(int k, int v) const {
        return has(k, ITEM_TEXT | ITEM_BLANK) ||
               (has(k, ITEM_TEXT | ITEM_COMMENT) && items_[k].indent <= v);
    }

    bool next_indented(const scanner &s, found &f) const {
        for (int i = s.pos; i < s.hi; i++) {
            int v = key(items_[i]);
            if (v == OUTLINE_NONE) continue;
            int e = i; // the logical line's last line
            while (e < s.hi && !has(e, ITEM_CLEAN_AFTER)) e++;
            if (e >= s.hi) return false;
            int end = std::min(until_[i], s.hi), body = e + 1;
            while (body < end && items_[body].least == OUTLINE_NONE) body++;
            // A body, ending at an entry of this list, and the line's own kind.
            bool crossing = end < s.hi && !has(end, ITEM_TEXT) && items_[end].lead > v;
            if (body >= end || crossing || !matches(i)) {
                i = e;
                continue;
            }
            int last = end - 1;
            while (last > e && trailing(last, v)) last--;
            int top = take_comments(decorators_top(i, s.floor, v), s.floor, v, i);
            if (!has(last, ITEM_CLEAN_AFTER) || top < 0) {
                i = e;
                continue;
            }
            f = {top, last, i, e + 1, last + 1, true};
            return true;
        }
        return false;
    }

    bool next_heading(const scanner &s, found &f) const {
        for (int i = s.pos; i < s.hi; i++) {
            int v = key(items_[i]);
            if (v == OUTLINE_NONE) continue;
            int end = std::min(until_[i], s.hi);
            if (end < s.hi && !has(end, ITEM_TEXT) && items_[end].lead > v) continue;
            int last = end - 1;
            while (last > i &&
                   (has(last, ITEM_TEXT | ITEM_BLANK) || has(last, ITEM_TEXT | ITEM_COMMENT)))
                last--;
            int top = take_comments(i, s.floor, -1, i);
            if (last == i || !has(last, ITEM_CLEAN_AFTER) || top < 0 || !matches(i)) continue;
            f = {top, last, i, i + 1, last + 1, true};
            return true;
        }
        return false;
    }

    const outline_rule &rule_;
    const std::vector<outline_item> &items_;
    int n_;
    int kept_; // the first items, whose comments are not taken in
    std::vector<int> until_;
};

} // namespace

bool outline_find(const outline_rule &rule, const std::vector<outline_item> &items, int depth,
                  bool file_start, std::vector<outline_def> &defs) {
    defs.clear();
    try {
        definition_finder(rule, items, file_start ? FILE_HEADER_LINES : 0).find(depth, defs);
        return true;
    } catch (const std::bad_alloc &) {
        return false;
    }
}
