#include "text/fold_file.h"

#include "host/files.h"
#include "host/mdep.h"
#include "text/grow_stack.h"

#include <cstring>

static_assert(int{RD_LOSS_SPLIT} == int{LOST_SPLIT} && int{RD_LOSS_NUL} == int{LOST_NUL});

namespace {

// Indents are added and subtracted modulo 2^32, so any value comes back.
int add_indent(int a, int b) {
    return static_cast<int>(static_cast<unsigned>(a) + static_cast<unsigned>(b));
}
int sub_indent(int a, int b) {
    return static_cast<int>(static_cast<unsigned>(a) - static_cast<unsigned>(b));
}

void copy_bounded(char *out, const char *text) {
    size_t n = strnlen(text, LINE_MAX_TEXT);
    memcpy(out, text, n);
    out[n] = 0;
}

void append(tree_line *l, tree_fold *f) {
    line_insert(l, f);
    line_step_next(f);
}

bool is_structure_fault(int outcome) {
    return outcome == RD_END_IN_FOLD || outcome == RD_END_MARKER || outcome == RD_BAD_MARKER;
}

} // namespace

fold_markers::fold_markers(const language_def *lang) {
    copy_bounded(rc_st, lang ? lang->rc_start : "");
    copy_bounded(rc_end, lang ? lang->rc_end : "");
    len_rc_st = static_cast<int>(strlen(rc_st));
}

// ---- Reading ----------------------------------------------------------------

fold_reader::fold_reader(const char *fn, const language_def *lang)
    : fp_(fopen_file(fn, "r")), markers_(lang) {
    src_.begin(fp_);
    if (!fp_ || !src_.readable()) rdfail = RD_CANNOT_OPEN;
    crlf_ = src_.crlf(); // known from the first block on
}

fold_reader::~fold_reader() {
    if (fp_) fclose(fp_);
}

read_report fold_reader::report() const {
    return {rdfail, rdloss, crlf_ ? 1 : 0};
}

void fold_reader::take_losses() {
    rdloss |= src_.lost;
    src_.lost = 0;
}

// The name field of a marker line into name (LINE_BUF_SIZE bytes).
void fold_reader::read_name_field(char *name) {
    size_t n = 0;
    bool cut = false;
    for (;;) {
        int c = src_.marker_byte();
        if (c < 0 || c == ':') break;
        unsigned value = static_cast<unsigned>(c);
        if (c == '\\') {
            value = 0;
            while ((c = src_.marker_byte()) >= '0' && c <= '9') {
                value = (value * 10 + static_cast<unsigned>(c - '0')) & 0xff;
            }
            if (c < 0) break; // an item the line ended inside of
        }
        if (value == 0) {
            // A name is a string: an encoded NUL ends it like a NUL ends text.
            cut = true;
            src_.lost |= LOST_NUL;
        } else if (!cut && n < LINE_MAX_TEXT) {
            name[n++] = static_cast<char>(value);
        }
    }
    name[n] = 0;
}

// The indent field: digits, then one byte that is skipped.
int fold_reader::read_indent_field() {
    unsigned value = 0;
    int c;
    while ((c = src_.marker_byte()) >= '0' && c <= '9') {
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return static_cast<int>(value);
}

// The next line in text mode: every physical line is text.
tree_line *fold_reader::read_as_text() {
    unhog();
    const char *text = nullptr;
    line_source::piece_kind kind = src_.next("", 0, &text);
    tree_line *l = nullptr;
    if (kind == line_source::TEXT) {
        rdfail = RD_NO_MEMORY;
        l = line_create_text_of(text, src_.text_length());
    } else {
        rdfail = kind == line_source::END ? structure_fault : RD_CANNOT_OPEN;
    }
    take_losses();
    if (!l) {
        structure_fault = 0;
        src_.begin(nullptr);
    }
    return l;
}

// Folds being read are kept on a stack, each joining its parent only when its
// end marker has been read, so counts are built bottom-up and nesting of any
// depth needs no recursion. Once a read has ended (the source let go of the
// file), every further call returns null with the same outcome.
tree_line *fold_reader::next() {
    if (!src_.stream()) return nullptr;
    if (structure_fault) return read_as_text();
    const int entry_indent = base_indent;
    // Where this line starts: a fault in it reads the file again from here.
    const long long restart = src_.tell();
    grow_stack<tree_line *> filling;
    for (;;) {
        unhog();
        const char *text = nullptr;
        line_source::piece_kind kind =
            src_.next(markers_.rc_st, static_cast<size_t>(markers_.len_rc_st), &text);
        tree_line *done = nullptr;
        rdfail = RD_NO_MEMORY;
        if (kind == line_source::END) {
            rdfail = filling.empty() ? RD_END_OF_FILE : RD_END_IN_FOLD;
        } else if (kind == line_source::ERROR) {
            rdfail = RD_CANNOT_OPEN;
        } else if (kind == line_source::TEXT) {
            done = line_create_text_of(text, src_.text_length());
        } else {
            int letter = src_.marker_byte();
            char name[LINE_BUF_SIZE];
            int indent = 0;
            bool starts = letter == 'S' || letter == 's' || letter == 'V' || letter == 'v';
            if (starts) {
                read_name_field(name);
                indent = sub_indent(read_indent_field(), base_indent);
            }
            src_.skip_line();
            if (letter == 'e' || letter == 'E') {
                if (filling.empty()) {
                    rdfail = RD_END_MARKER;
                } else {
                    done = filling.pop();
                    base_indent = sub_indent(base_indent, line_fold(done)->indent);
                }
            } else if (letter == 'V' || letter == 'v') {
                done = line_create_virt(name, indent, letter == 'V');
            } else if (starts) {
                tree_line *fold = line_create_fold(name, indent, letter == 'S');
                if (fold && filling.push(fold)) {
                    base_indent = add_indent(base_indent, indent);
                    take_losses();
                    continue;
                }
                line_delete_fold(fold);
            } else {
                rdfail = RD_BAD_MARKER;
            }
        }
        take_losses();
        if (!done) {
            // Unfinished folds are in no list yet; each goes with its contents.
            while (!filling.empty()) line_delete_deep(filling.pop());
            base_indent = entry_indent;
            if (is_structure_fault(rdfail) && src_.seek(restart)) {
                structure_fault = rdfail;
                return read_as_text();
            }
            src_.begin(nullptr);
            return nullptr;
        }
        if (filling.empty()) return done;
        append(done, line_fold(filling.top()));
    }
}

bool fold_reader::read_into(tree_fold *f) {
    while (tree_line *l = next()) append(l, f);
    return rdfail == RD_END_OF_FILE;
}

const char *rdloss_warning(int loss, int crlf) {
    if (loss & RD_LOSS_NUL) return "warning: NUL bytes dropped in ";
    if (loss & RD_LOSS_SPLIT) return "warning: long lines split in ";
    if (crlf) return "CR LF line ends in ";
    return nullptr;
}

// ---- Writing ----------------------------------------------------------------

fold_writer::fold_writer(FILE *fp, const language_def *lang, bool crlf)
    : fp_(fp), markers_(lang), sink_(fp) {
    sink_.set_crlf(crlf);
}

fold_writer::fold_writer(const char *fn, bool append, const language_def *lang, bool crlf)
    : fp_(fopen_file(fn, append ? "a" : "w")), owns_(true), markers_(lang), sink_(fp_) {
    sink_.set_crlf(crlf);
}

fold_writer::~fold_writer() {
    if (owns_ && fp_) fclose(fp_);
}

write_report fold_writer::finish() {
    bool ok = sink_.flush() && ok_;
    if (owns_) {
        ok = fp_ && fclose(fp_) == 0 && ok;
        fp_ = nullptr;
    } else {
        ok = fflush(fp_) == 0 && ok;
    }
    return {ok, wrlook};
}

namespace {

bool is_plain_name_byte(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == ' ';
}

char *encode_name(char *out, const char *name) {
    for (const char *p = name; *p; p++) {
        auto c = static_cast<unsigned char>(*p);
        if (is_plain_name_byte(c)) {
            *out++ = static_cast<char>(c);
        } else {
            *out++ = '\\';
            out = print_num(out, c);
            *out++ = '\\';
        }
    }
    return out;
}

} // namespace

// rc_st, the letter, the encoded name, ":", the absolute indent, ":", rc_end.
bool fold_writer::put_start_marker(char letter, const char *name, int indent) {
    size_t rc_end_len = strlen(markers_.rc_end);
    size_t longest = static_cast<size_t>(markers_.len_rc_st) + 1 + 5 * strlen(name) + 1 + 10 + 1 +
                     rc_end_len + 2;
    char *p = sink_.room(longest);
    if (!p) return false;
    p = print_str(p, markers_.rc_st);
    *p++ = letter;
    p = encode_name(p, name);
    *p++ = ':';
    p = print_num(p, static_cast<unsigned>(add_indent(base_indent, indent)));
    *p++ = ':';
    memcpy(p, markers_.rc_end, rc_end_len);
    p += rc_end_len;
    sink_.commit(sink_.end_line(p));
    return true;
}

bool fold_writer::put_end_marker() {
    size_t rc_end_len = strlen(markers_.rc_end);
    char *p = sink_.room(static_cast<size_t>(markers_.len_rc_st) + 1 + rc_end_len + 2);
    if (!p) return false;
    p = print_str(p, markers_.rc_st);
    *p++ = 'e';
    memcpy(p, markers_.rc_end, rc_end_len);
    p += rc_end_len;
    sink_.commit(sink_.end_line(p));
    return true;
}

// A text or virtual fold line, or a fold line's start marker.
bool fold_writer::put_entry(const tree_line *l) {
    unhog();
    switch (line_kind(l)) {
    case LINE_TEXT: {
        const char *text = line_text(l);
        if (markers_.len_rc_st && *text == *markers_.rc_st &&
            strncmp(text, markers_.rc_st, static_cast<size_t>(markers_.len_rc_st)) == 0)
            wrlook++;
        return sink_.put_line(text);
    }
    case LINE_VIRT: {
        const virtual_fold *v = line_virt(l);
        return put_start_marker(v->open ? 'V' : 'v', v->name, v->indent);
    }
    case LINE_FOLD: {
        const tree_fold *f = line_fold(l);
        return put_start_marker(f->open ? 'S' : 's', f->name, f->indent);
    }
    default: return false;
    }
}

// Writes a line into the sink, a fold with all its contents, walking with a
// stack of the folds entered instead of recursion.
bool fold_writer::write_line(const tree_line *l) {
    if (!put_entry(l)) return false;
    if (line_kind(l) != LINE_FOLD) return true;
    const int entry_indent = base_indent;
    grow_stack<const tree_line *> entered;
    bool ok = entered.push(l);
    base_indent = add_indent(base_indent, line_fold(l)->indent);
    const tree_line *at = line_fold(l)->first;
    while (ok) {
        const tree_fold *f = line_fold(entered.top());
        if (at == f->end) {
            unhog();
            ok = put_end_marker();
            base_indent = sub_indent(base_indent, f->indent);
            at = line_next(entered.pop());
            if (entered.empty()) break;
            continue;
        }
        ok = put_entry(at);
        if (ok && line_kind(at) == LINE_FOLD) {
            ok = entered.push(at);
            base_indent = add_indent(base_indent, line_fold(at)->indent);
            at = line_fold(at)->first;
        } else {
            at = line_next(at);
        }
    }
    base_indent = entry_indent;
    return ok;
}

bool fold_writer::write(const tree_line *l) {
    ok_ = ok_ && write_line(l);
    return ok_;
}

bool fold_writer::write_list(const tree_fold *f) {
    for (const tree_line *l = f->first; ok_ && l != f->end; l = line_next(l)) ok_ = write_line(l);
    return ok_;
}
