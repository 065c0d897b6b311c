#include "text/fold_file.h"

#include "host/mdep.h"
#include "text/grow_stack.h"
#include "text/line_sink.h"
#include "text/line_source.h"

#include <cstring>

FILE *fp_rw;
char rc_st[LINE_BUF_SIZE];
char rc_end[LINE_BUF_SIZE];
int len_rc_st;
int base_indent;
int rdfail = RD_END_OF_FILE;
int rdloss;
int wrlook;
int rw_crlf;

static_assert(int{RD_LOSS_SPLIT} == int{LOST_SPLIT} && int{RD_LOSS_NUL} == int{LOST_NUL});

namespace {

LineSource src;
LineSink sink;

// After a fault in the fold structure the rest of the file is read again as
// text lines, marker lines included, so that nothing read is lost, and the
// fault is reported at its end.
int structure_fault; // the RD_ outcome to report; 0 while reading normally

// Indents are added and subtracted modulo 2^32, so any value comes back.
int add_indent(int a, int b) {
    return static_cast<int>(static_cast<unsigned>(a) + static_cast<unsigned>(b));
}
int sub_indent(int a, int b) {
    return static_cast<int>(static_cast<unsigned>(a) - static_cast<unsigned>(b));
}

// ---- Reading ----------------------------------------------------------------

void take_losses() {
    rdloss |= src.lost;
    src.lost = 0;
}

// The name field of a marker line into name (LINE_BUF_SIZE bytes).
void read_name_field(char *name) {
    size_t n = 0;
    bool cut = false;
    for (;;) {
        int c = src.marker_byte();
        if (c < 0 || c == ':') break;
        unsigned value = static_cast<unsigned>(c);
        if (c == '\\') {
            value = 0;
            while ((c = src.marker_byte()) >= '0' && c <= '9') {
                value = (value * 10 + static_cast<unsigned>(c - '0')) & 0xff;
            }
            if (c < 0) break; // an item the line ended inside of
        }
        if (value == 0) {
            // A name is a string: an encoded NUL ends it like a NUL ends text.
            cut = true;
            src.lost |= LOST_NUL;
        } else if (!cut && n < LINE_MAX_TEXT) {
            name[n++] = static_cast<char>(value);
        }
    }
    name[n] = 0;
}

// The indent field: digits, then one byte that is skipped.
int read_indent_field() {
    unsigned value = 0;
    int c;
    while ((c = src.marker_byte()) >= '0' && c <= '9') {
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return static_cast<int>(value);
}

void append(LINE *l, FOLD *f) {
    line_insert(l, f);
    line_step_next(f);
}

} // namespace

void rw_begin(FILE *fp) {
    fp_rw = fp;
    src.begin(fp);
    structure_fault = 0;
    sink.begin(fp);
    base_indent = 0;
    rdloss = 0;
    wrlook = 0;
    rw_crlf = 0;
}

int rw_end() {
    int ok = sink.stream() != fp_rw || sink.flush();
    src.begin(nullptr);
    sink.begin(nullptr);
    fp_rw = nullptr;
    return ok;
}

int rw_readable() {
    if (src.stream() != fp_rw) src.begin(fp_rw);
    int ok = fp_rw && src.readable();
    rw_crlf = src.crlf();
    return ok;
}

namespace {

void copy_bounded(char *out, const char *text) {
    size_t n = strnlen(text, LINE_MAX_TEXT);
    memcpy(out, text, n);
    out[n] = 0;
}

} // namespace

void set_rc(const LANG *lang) {
    copy_bounded(rc_st, lang ? lang->rc_start : "");
    copy_bounded(rc_end, lang ? lang->rc_end : "");
    len_rc_st = static_cast<int>(strlen(rc_st));
}

namespace {

bool is_structure_fault(int outcome) {
    return outcome == RD_END_IN_FOLD || outcome == RD_END_MARKER || outcome == RD_BAD_MARKER;
}

// The next line in text mode: every physical line is text.
LINE *read_as_text() {
    unhog();
    const char *text = nullptr;
    LineSource::Kind kind = src.next("", 0, &text);
    LINE *l = nullptr;
    if (kind == LineSource::TEXT) {
        rdfail = RD_NO_MEMORY;
        l = line_create_text_of(text, src.text_length());
    } else {
        rdfail = kind == LineSource::END ? structure_fault : RD_CANNOT_OPEN;
    }
    take_losses();
    if (!l) {
        structure_fault = 0;
        src.begin(nullptr);
    }
    return l;
}

} // namespace

// Folds being read are kept on a stack, each joining its parent only when its
// end marker has been read, so counts are built bottom-up and nesting of any
// depth needs no recursion.
LINE *line_read() {
    if (!fp_rw) {
        rdfail = RD_CANNOT_OPEN;
        return nullptr;
    }
    if (src.stream() != fp_rw) {
        src.begin(fp_rw);
        structure_fault = 0;
    }
    if (structure_fault) return read_as_text();
    const int entry_indent = base_indent;
    // Where this line starts: a fault in it reads the file again from here.
    const long long restart = src.tell();
    GrowStack<LINE *> filling;
    for (;;) {
        unhog();
        const char *text = nullptr;
        LineSource::Kind kind = src.next(rc_st, static_cast<size_t>(len_rc_st), &text);
        LINE *done = nullptr;
        rdfail = RD_NO_MEMORY;
        if (kind == LineSource::END) {
            rdfail = filling.empty() ? RD_END_OF_FILE : RD_END_IN_FOLD;
        } else if (kind == LineSource::ERROR) {
            rdfail = RD_CANNOT_OPEN;
        } else if (kind == LineSource::TEXT) {
            done = line_create_text_of(text, src.text_length());
        } else {
            int letter = src.marker_byte();
            char name[LINE_BUF_SIZE];
            int indent = 0;
            bool starts = letter == 'S' || letter == 's' || letter == 'V' || letter == 'v';
            if (starts) {
                read_name_field(name);
                indent = sub_indent(read_indent_field(), base_indent);
            }
            src.skip_line();
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
                LINE *fold = line_create_fold(name, indent, letter == 'S');
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
            if (is_structure_fault(rdfail) && src.seek(restart)) {
                structure_fault = rdfail;
                return read_as_text();
            }
            src.begin(nullptr);
            return nullptr;
        }
        if (filling.empty()) return done;
        append(done, line_fold(filling.top()));
    }
}

int read_file(FOLD *f) {
    while (LINE *l = line_read()) append(l, f);
    return rdfail == RD_END_OF_FILE;
}

const char *rdloss_warning(int loss, int crlf) {
    if (loss & RD_LOSS_NUL) return "warning: NUL bytes dropped in ";
    if (loss & RD_LOSS_SPLIT) return "warning: long lines split in ";
    if (crlf) return "CR LF line ends in ";
    return nullptr;
}

// ---- Writing ----------------------------------------------------------------

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

// rc_st, the letter, the encoded name, ":", the absolute indent, ":", rc_end.
bool put_start_marker(char letter, const char *name, int indent) {
    size_t rc_end_len = strlen(rc_end);
    size_t longest =
        static_cast<size_t>(len_rc_st) + 1 + 5 * strlen(name) + 1 + 10 + 1 + rc_end_len + 2;
    char *p = sink.room(longest);
    if (!p) return false;
    p = print_str(p, rc_st);
    *p++ = letter;
    p = encode_name(p, name);
    *p++ = ':';
    p = print_num(p, static_cast<unsigned>(add_indent(base_indent, indent)));
    *p++ = ':';
    memcpy(p, rc_end, rc_end_len);
    p += rc_end_len;
    sink.commit(sink.end_line(p));
    return true;
}

bool put_end_marker() {
    size_t rc_end_len = strlen(rc_end);
    char *p = sink.room(static_cast<size_t>(len_rc_st) + 1 + rc_end_len + 2);
    if (!p) return false;
    p = print_str(p, rc_st);
    *p++ = 'e';
    memcpy(p, rc_end, rc_end_len);
    p += rc_end_len;
    sink.commit(sink.end_line(p));
    return true;
}

// A text or virtual fold line, or a fold line's start marker.
bool put_entry(const LINE *l) {
    unhog();
    switch (line_kind(l)) {
    case LINE_TEXT: {
        const char *text = line_text(l);
        if (len_rc_st && *text == *rc_st &&
            strncmp(text, rc_st, static_cast<size_t>(len_rc_st)) == 0)
            wrlook++;
        return sink.put_line(text);
    }
    case LINE_VIRT: {
        const VFOLD *v = line_virt(l);
        return put_start_marker(v->open ? 'V' : 'v', v->name, v->indent);
    }
    case LINE_FOLD: {
        const FOLD *f = line_fold(l);
        return put_start_marker(f->open ? 'S' : 's', f->name, f->indent);
    }
    default: return false;
    }
}

// Writes a line into the sink, a fold with all its contents, walking with a
// stack of the folds entered instead of recursion.
bool write_line(const LINE *l) {
    if (!put_entry(l)) return false;
    if (line_kind(l) != LINE_FOLD) return true;
    const int entry_indent = base_indent;
    GrowStack<const LINE *> entered;
    bool ok = entered.push(l);
    base_indent = add_indent(base_indent, line_fold(l)->indent);
    const LINE *at = line_fold(l)->first;
    while (ok) {
        const FOLD *f = line_fold(entered.top());
        if (at == f->end) {
            unhog();
            ok = put_end_marker();
            base_indent = sub_indent(base_indent, f->indent);
            at = entered.pop()->next;
            if (entered.empty()) break;
            continue;
        }
        ok = put_entry(at);
        if (ok && line_kind(at) == LINE_FOLD) {
            ok = entered.push(at);
            base_indent = add_indent(base_indent, line_fold(at)->indent);
            at = line_fold(at)->first;
        } else {
            at = at->next;
        }
    }
    base_indent = entry_indent;
    return ok;
}

} // namespace

int line_write(const LINE *l) {
    if (sink.stream() != fp_rw) sink.begin(fp_rw);
    sink.set_crlf(rw_crlf != 0);
    bool ok = write_line(l);
    return sink.flush() && ok;
}

int write_list(const FOLD *f) {
    if (sink.stream() != fp_rw) sink.begin(fp_rw);
    sink.set_crlf(rw_crlf != 0);
    for (const LINE *l = f->first; l != f->end; l = l->next) {
        if (!write_line(l)) return 0;
    }
    return sink.flush();
}
