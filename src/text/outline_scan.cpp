#include "text/outline_scan.h"

#include "host/mdep.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <new>
#include <string_view>

namespace {

constexpr int TAB_STOP = 8;

// The columns of the leading blanks; a form feed starts them again, as
// Python counts.
int indent_columns(const char *s) {
    int col = 0;
    for (;; s++) {
        if (*s == ' ')
            col++;
        else if (*s == '\t')
            col += TAB_STOP - col % TAB_STOP;
        else if (*s == '\f')
            col = 0;
        else
            return col;
    }
}

// White space within a line, a carriage return included.
constexpr const char *BLANKS = " \t\r\f\v";

bool is_blank(unsigned char c) {
    return c != '\0' && std::strchr(BLANKS, c);
}

bool is_word_byte(unsigned char c) {
    return std::isalnum(c) || c == '_';
}

// How the lexer treats a byte outside comments and strings.
enum byte_class : unsigned char { CODE, BLANK, SPECIAL };

// Reads the lines of a file one after the other, keeping what is open at the
// end of each (a comment or string, a backslash, brackets, "{" blocks) for
// the next.
class outline_lexer {
  public:
    explicit outline_lexer(const outline_rule &rule) : rule_(rule) {
        std::fill(std::begin(class_), std::end(class_), CODE);
        for (unsigned char c : std::string_view(BLANKS)) class_[c] = BLANK;
        for (unsigned char c : std::string_view("\\()[]{}")) class_[c] = SPECIAL;
        for (const outline_span &s : rule.spans)
            if (s.form != SPAN_INDENTED_BLOCK)
                class_[static_cast<unsigned char>(s.open[0])] = SPECIAL;
    }

    int depth() const { return depth_; }
    bool ended_block() const { return ended_block_; }
    bool in_indented_block() const {
        return region_ >= 0 && rule_.spans[region_].form == SPAN_INDENTED_BLOCK;
    }
    bool clean() const { return region_ < 0 && !continued_ && brackets_ == 0 && heredoc_.empty(); }

    // Reads the text line into the item: depth, depth_end, indent, last and flags.
    void line(const char *s, outline_item &it);

  private:
    // What the line holds, as it is read.
    struct reading {
        const char *s;
        size_t n;
        int first_code = -1, last_code = -1;
        bool comment = false, directive = false;

        void code(size_t from, size_t to) { // bytes [from, to) are code
            if (from >= to) return;
            if (first_code < 0) first_code = static_cast<int>(from);
            last_code = static_cast<int>(to - 1);
        }
        void code_nonblank(size_t from, size_t to) {
            while (from < to && is_blank(s[from])) from++;
            while (to > from && is_blank(s[to - 1])) to--;
            code(from, to);
        }
    };

    // Where the span that began before `from` closes: the index after its
    // close, or npos; *escaped_end tells that a backslash ended the line.
    size_t find_close(const outline_span &sp, const reading &r, size_t from,
                      bool *escaped_end) const;
    int span_at(const reading &r, size_t i) const;
    size_t character_end(const outline_span &sp, const reading &r, size_t i) const;
    size_t heredoc_word(const reading &r, size_t i);
    void bracket(unsigned char c);
    void open_indented_block(const reading &r, int indent);
    bool in_own_block(const reading &r, int indent);
    void read_rest(reading &r, size_t i);

    const outline_rule &rule_;
    byte_class class_[256];
    int region_ = -1; // the span open at the end of the last line
    int depth_ = 0, brackets_ = 0;
    bool continued_ = false;
    int block_indent_ = 0;
    bool ended_block_ = false;       // the last line read ended a block scalar
    std::string heredoc_;            // the word that ends the here-document
    const char *heredoc_strip_ = ""; // the blanks that may come before it
    bool heredoc_pending_ = false;   // it begins on the next line
};

size_t outline_lexer::find_close(const outline_span &sp, const reading &r, size_t from,
                                 bool *escaped_end) const {
    *escaped_end = false;
    const char *close = sp.close.c_str();
    size_t len = sp.close.size();
    for (size_t i = from; i < r.n; i++) {
        if (sp.escapes && r.s[i] == '\\') {
            if (i + 1 == r.n) *escaped_end = true;
            i++;
        } else if (r.s[i] == close[0] && std::strncmp(r.s + i, close, len) == 0) {
            return i + len;
        }
    }
    return std::string::npos;
}

int outline_lexer::span_at(const reading &r, size_t i) const {
    for (size_t k = 0; k < rule_.spans.size(); k++) {
        const outline_span &sp = rule_.spans[k];
        if (sp.form == SPAN_INDENTED_BLOCK || sp.open[0] != r.s[i]) continue;
        if (sp.form == SPAN_DIRECTIVE && r.first_code >= 0) continue;
        if (sp.word_start && i > 0 && !is_blank(r.s[i - 1])) continue;
        if (std::strncmp(r.s + i, sp.open.c_str(), sp.open.size()) == 0) return static_cast<int>(k);
    }
    return -1;
}

// A character constant at i: the index after its closing quote, or npos.
size_t outline_lexer::character_end(const outline_span &sp, const reading &r, size_t i) const {
    constexpr size_t LONGEST_ESCAPE = 10; // as "\u{10FFFF}"
    char quote = sp.close[0];
    size_t j = i + 1;
    if (j >= r.n || r.s[j] == quote) return std::string::npos;
    size_t end;
    if (r.s[j] == '\\') {
        end = j + 2;
        while (end < r.n && end <= j + LONGEST_ESCAPE && r.s[end] != quote) end++;
    } else {
        end = j + 1; // one character, however many bytes
        while (end < r.n && (static_cast<unsigned char>(r.s[end]) & 0xc0) == 0x80) end++;
    }
    return end < r.n && r.s[end] == quote ? end + 1 : std::string::npos;
}

// "<<WORD" at i: the index after it, with the word kept for the line that
// ends the here-document; or 0 when it is no here-document.
size_t outline_lexer::heredoc_word(const reading &r, size_t i) {
    size_t j = i + 2;
    if (j < r.n && r.s[j] == '<') return 0;
    heredoc_strip_ = "";
    if (j < r.n && (r.s[j] == '-' || r.s[j] == '~'))
        heredoc_strip_ = r.s[j++] == '-' ? "\t" : " \t";
    while (j < r.n && is_blank(r.s[j])) j++;
    char quote = j < r.n && (r.s[j] == '\'' || r.s[j] == '"') ? r.s[j++] : 0;
    size_t word = j;
    if (j >= r.n || !(std::isalpha(static_cast<unsigned char>(r.s[j])) || r.s[j] == '_')) return 0;
    while (j < r.n && is_word_byte(r.s[j])) j++;
    if (quote && (j >= r.n || r.s[j++] != quote)) return 0;
    heredoc_.assign(r.s + word, r.s + j - (quote ? 1 : 0));
    heredoc_pending_ = true;
    return j;
}

void outline_lexer::bracket(unsigned char c) {
    if (rule_.kind == OUTLINE_BRACES && (c == '{' || c == '}')) {
        if (c == '{') {
            depth_++;
        } else if (depth_ > 0) {
            depth_--;
        }
        return;
    }
    // Headings go by lines alone: prose opens brackets it never closes.
    if (rule_.kind == OUTLINE_HEADINGS) return;
    if (c == '(' || c == '[' || c == '{')
        brackets_++;
    else if (brackets_ > 0)
        brackets_--;
}

// YAML's "key: |": a block of the lines below indented deeper than this one.
void outline_lexer::open_indented_block(const reading &r, int indent) {
    for (size_t k = 0; k < rule_.spans.size() && region_ < 0; k++) {
        const outline_span &sp = rule_.spans[k];
        if (sp.form != SPAN_INDENTED_BLOCK || r.last_code < 0) continue;
        int i = r.last_code;
        while (i > r.first_code &&
               (std::isdigit(static_cast<unsigned char>(r.s[i])) || r.s[i] == '+' || r.s[i] == '-'))
            i--;
        if (r.s[i] == sp.open[0] && (i == r.first_code || is_blank(r.s[i - 1]))) {
            region_ = static_cast<int>(k);
            block_indent_ = indent;
        }
    }
}

// Lines of a block scalar or a here-document, which hold text only: true when
// the line is one (and so read). A line that ends a block scalar is not: it is
// read as any other, and ended_block() tells that the line before it may be
// followed by a marker line.
bool outline_lexer::in_own_block(const reading &r, int indent) {
    ended_block_ = false;
    if (region_ < 0) return false;
    const outline_span &sp = rule_.spans[region_];
    if (sp.form == SPAN_INDENTED_BLOCK) {
        bool blank_line = r.s[std::strspn(r.s, BLANKS)] == '\0';
        if (blank_line || indent > block_indent_) return true;
        region_ = -1;
        ended_block_ = true;
        return false;
    }
    if (sp.form == SPAN_HEREDOC) {
        const char *end = r.s + std::strspn(r.s, heredoc_strip_);
        if (std::strcmp(end, heredoc_.c_str()) == 0) {
            region_ = -1;
            heredoc_.clear();
        }
        return true;
    }
    return false;
}

void outline_lexer::read_rest(reading &r, size_t i) {
    while (i < r.n) {
        unsigned char c = r.s[i];
        byte_class k = class_[c];
        if (k == CODE) {
            if (r.first_code < 0) r.first_code = static_cast<int>(i);
            r.last_code = static_cast<int>(i++);
            continue;
        }
        if (k == BLANK) {
            i++;
            continue;
        }
        if (c == '\\') {
            r.code(i, std::min(i + 2, r.n));
            if (i + 1 == r.n) continued_ = true;
            i += 2;
            continue;
        }
        int found = span_at(r, i);
        if (found < 0) {
            r.code(i, i + 1);
            bracket(c);
            i++;
            continue;
        }
        const outline_span &sp = rule_.spans[found];
        size_t from = i + sp.open.size(), end = std::string::npos;
        bool escaped_end = false;
        switch (sp.form) {
        case SPAN_LINE_COMMENT:
        case SPAN_DIRECTIVE:
            (sp.form == SPAN_DIRECTIVE ? r.directive : r.comment) = true;
            // A backslash at the end carries a comment on, as C splices lines.
            continued_ = r.s[r.n - 1] == '\\';
            return;
        case SPAN_BLOCK_COMMENT:
            r.comment = true;
            end = find_close(sp, r, from, &escaped_end);
            if (end == std::string::npos) {
                region_ = found;
                return;
            }
            i = end;
            continue;
        case SPAN_CHARACTER:
            end = character_end(sp, r, i);
            if (end == std::string::npos) end = i + 1;
            r.code(i, end);
            i = end;
            continue;
        case SPAN_HEREDOC:
            end = heredoc_word(r, i);
            if (end == 0) end = i + 2;
            r.code(i, end);
            i = end;
            continue;
        default: // strings
            end = find_close(sp, r, from, &escaped_end);
            if (end == std::string::npos) {
                r.code_nonblank(i, r.n);
                if (sp.form == SPAN_LONG_STRING || escaped_end) region_ = found;
                continued_ = sp.form == SPAN_QUOTE && escaped_end;
                return;
            }
            r.code(i, end);
            i = end;
            continue;
        }
    }
}

void outline_lexer::line(const char *s, outline_item &it) {
    reading r{s, std::strlen(s)};
    if (r.n > 0 && s[r.n - 1] == '\r') r.n--; // a line ending in CR LF ends here
    it.depth = depth_;
    it.indent = indent_columns(s);
    if (heredoc_pending_) {
        heredoc_pending_ = false;
        for (size_t k = 0; k < rule_.spans.size(); k++)
            if (rule_.spans[k].form == SPAN_HEREDOC) region_ = static_cast<int>(k);
    }
    bool own_block = in_own_block(r, it.indent);
    bool clean_start = clean();
    continued_ = false;
    if (own_block) {
        r.code_nonblank(0, r.n);
        if (r.first_code < 0) r.first_code = r.last_code = 0; // text of the block all the same
    } else {
        size_t i = 0;
        if (region_ >= 0) {
            const outline_span &sp = rule_.spans[region_];
            bool escaped_end = false;
            size_t end = find_close(sp, r, 0, &escaped_end);
            bool comment = sp.form == SPAN_BLOCK_COMMENT;
            if (end == std::string::npos) {
                if (comment) {
                    r.comment = true;
                } else {
                    r.code_nonblank(0, r.n);
                    if (r.first_code < 0) r.first_code = r.last_code = 0;
                    // A one-line string goes on only after a backslash.
                    if (sp.form == SPAN_QUOTE && !escaped_end) region_ = -1;
                    continued_ = sp.form == SPAN_QUOTE && escaped_end;
                }
                i = r.n;
            } else {
                if (comment)
                    r.comment = true;
                else
                    r.code_nonblank(0, end);
                region_ = -1;
                i = end;
            }
        }
        read_rest(r, i);
        open_indented_block(r, it.indent);
    }
    it.depth_end = depth_;
    it.last = r.last_code >= 0 ? static_cast<unsigned char>(s[r.last_code]) : 0;
    unsigned flags = ITEM_TEXT;
    if (clean()) flags |= ITEM_CLEAN_AFTER;
    if (r.first_code >= 0) {
        if (clean_start) flags |= ITEM_LOGICAL;
        if (s[r.first_code] == '{') flags |= ITEM_BRACE_FIRST;
    } else if (r.directive) {
        flags |= ITEM_DIRECTIVE;
    } else if (r.comment) {
        flags |= ITEM_COMMENT;
    } else {
        flags |= ITEM_BLANK;
    }
    it.flags = static_cast<unsigned char>(flags);
}

// The level of a heading line, or 0: the longest prefix it begins with.
int heading_level(const outline_rule &rule, const char *text) {
    int level = 0;
    size_t longest = 0;
    for (size_t k = 0; k < rule.prefixes.size(); k++) {
        const std::string &p = rule.prefixes[k];
        if (p.size() <= longest || std::strncmp(text, p.c_str(), p.size()) != 0) continue;
        unsigned char next = text[p.size()];
        bool ends_in_word = is_word_byte(static_cast<unsigned char>(p.back()));
        if (ends_in_word ? is_word_byte(next) : next != '\0' && !is_blank(next)) continue;
        level = static_cast<int>(k) + 1;
        longest = p.size();
    }
    return level;
}

// A text line's value (text/outline_scan.h).
int value_of(const outline_rule &rule, const outline_item &it) {
    switch (rule.kind) {
    case OUTLINE_BRACES: return it.depth_end;
    case OUTLINE_INDENT: return it.flags & ITEM_LOGICAL ? it.indent : OUTLINE_NONE;
    case OUTLINE_HEADINGS:
        if (!(it.flags & ITEM_LOGICAL))
            return it.flags & (ITEM_BLANK | ITEM_COMMENT) ? OUTLINE_NONE : OUTLINE_TEXT;
        if (int level = heading_level(rule, outline_text(it))) return level;
        return OUTLINE_TEXT;
    }
    return OUTLINE_NONE;
}

// Reads the text lines inside a fold, through folds nested in it, into the
// least value and the first value.
void read_fold(const outline_rule &rule, outline_lexer &lex, const tree_fold *fold,
               outline_item &it, std::vector<const tree_line *> &stack) {
    it.least = it.lead = OUTLINE_NONE;
    const tree_line *l = fold->first;
    for (;;) {
        while (line_kind(l) == LINE_END) {
            if (stack.empty()) return;
            l = line_next(stack.back());
            stack.pop_back();
        }
        if (line_kind(l) == LINE_FOLD) {
            stack.push_back(l);
            l = line_fold(l)->first;
            continue;
        }
        if (line_kind(l) == LINE_TEXT) {
            outline_item inner{l, 0, 0, 0, 0, 0, 0, 0};
            lex.line(line_text(l), inner);
            int v = value_of(rule, inner);
            it.least = std::min(it.least, v);
            if (it.lead == OUTLINE_NONE) it.lead = v;
            unhog();
        }
        l = line_next(l);
    }
}

void scan(const outline_rule &rule, const tree_fold *list, std::vector<outline_item> &items) {
    items.clear();
    items.reserve(static_cast<size_t>(list->line_count - 1));
    outline_lexer lex(rule);
    std::vector<const tree_line *> stack;
    for (const tree_line *l = list->first; l != list->end; l = line_next(l)) {
        outline_item it{l, lex.depth(), 0, OUTLINE_NONE, OUTLINE_NONE, 0, 0, 0};
        if (line_kind(l) == LINE_TEXT) {
            lex.line(line_text(l), it);
            it.least = it.lead = value_of(rule, it);
            // A block scalar ends where a line indented no deeper begins, so
            // a marker line can go just before that line and nowhere earlier.
            if (lex.ended_block() && !items.empty()) items.back().flags |= ITEM_CLEAN_AFTER;
            unhog();
        } else {
            if (line_kind(l) == LINE_FOLD) read_fold(rule, lex, line_fold(l), it, stack);
            it.depth_end = lex.depth();
            if (lex.clean()) it.flags = ITEM_CLEAN_AFTER;
        }
        items.push_back(it);
    }
    // The end of the list ends a block scalar too.
    if (lex.in_indented_block() && !items.empty()) items.back().flags |= ITEM_CLEAN_AFTER;
}

} // namespace

const char *outline_text(const outline_item &item) {
    const char *s = line_text(item.line);
    return s + std::strspn(s, BLANKS);
}

bool outline_scan(const outline_rule &rule, const tree_fold *list,
                  std::vector<outline_item> &items) {
    try {
        scan(rule, list, items);
        return true;
    } catch (const std::bad_alloc &) {
        return false;
    }
}
