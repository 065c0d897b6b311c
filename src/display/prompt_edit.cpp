// prompt_str: the line editor of the prompt line.
//
// The text is stored in the caller's buffer as it is typed, NUL-terminated
// after the last byte typed. col[i] is the screen column at which the
// character at byte i starts when the line is not scrolled, col[0] being the
// column after the question; a character's display name is always the one
// for that column, so tabs keep their stops when the view scrolls. When the
// view is scrolled, the character at byte first is shown at col[0]. In UTF-8
// mode a character may be several bytes; the cursor and first are always at
// the start of one.
#include "display/prompt.h"

#include <cstring>
#include <string>

#include "display/char_names.h"
#include "display/keyboard.h"
#include "display/keys.h"
#include "display/prompt_line.h"
#include "display/terminal.h"
#include "display/utf8.h"
#include "text/scan.h"

namespace {

struct line_editor final : question_line {
    const char *question;
    char *text;
    int col[LINE_BUF_SIZE];
    int cur;   // bytes before the cursor
    int high;  // bytes typed so far, the most the cursor has passed
    int first; // first byte shown

    // Where the cursor would be on the screen with the byte first shown at col[0].
    int screen_col(int upto) const { return col[0] + col[upto] - col[first]; }

    // The bytes of the character stored at byte i.
    int stored_len(int i) const {
        int n = utf8_text() ? utf8_sequence(text + i, high - i) : 0;
        return n ? n : 1;
    }

    void step_back() {
        if (cur == 0) return;
        int was = cur;
        cur = char_before(text, cur);
        if (first > 0 && screen_col(cur) < x_size - 8) {
            while (first > 0 && screen_col(cur) < x_size - 8) first = char_before(text, first);
            return;
        }
        for (int n = col[was] - col[cur]; n > 0; n--) {
            th_p_chr('\b');
            th_p_chr(' ');
            th_p_chr('\b');
        }
    }

    // Stores a character of n bytes at the cursor, overwriting.
    void type(const char *bytes, int n) {
        if (cur + n > LINE_MAX_TEXT) return;
        // What followed a character of another length is no longer whole.
        if (cur < high && stored_len(cur) != n) high = cur;
        std::memmove(text + cur, bytes, static_cast<size_t>(n));
        if (cur + n > high) {
            high = cur + n;
            text[high] = '\0';
        }
        glyph g = prompt_glyph(text + cur, col[cur]);
        col[cur + n] = col[cur] + g.width;
        if (screen_col(cur + n) >= x_size) {
            while (first < cur && screen_col(cur + n) >= x_size) first += stored_len(first);
        } else {
            th_p_raw_str(std::string(g.name, static_cast<size_t>(g.length)).c_str());
        }
        cur += n;
    }

    void type_key(int key) {
        char bytes[4];
        if (is_char_key(key)) {
            if (int n = utf8_encode(static_cast<unsigned>(key & ~K_CHAR), bytes)) type(bytes, n);
        } else if (key > 0 && key < 256) {
            // A NUL could not be told from the end of the text: it is ignored.
            bytes[0] = static_cast<char>(key);
            type(bytes, 1);
        }
    }

    // A paste is typed up to its first line end.
    void type_paste(const std::string &paste) {
        const char *s = paste.c_str();
        const char *end = s + paste.size();
        while (s < end && *s != '\r' && *s != '\n') {
            int n = utf8_text() ? utf8_sequence(s, static_cast<int>(end - s)) : 0;
            if (n == 0) n = 1;
            if (*s != '\0') type(s, n);
            s += n;
        }
    }

    void show_text() const {
        th_cxy(col[0], PROMPT_ROW);
        std::string shown;
        for (int i = first; i < cur;) {
            glyph g = prompt_glyph(text + i, col[i]);
            shown.append(g.name, static_cast<size_t>(g.length));
            i += g.bytes;
        }
        th_p_raw_str(shown.c_str());
        th_deleol();
    }

    // The question again at the screen's size, what was typed with it.
    void redraw() override {
        int at = col[0] = prompt_show(question, x_size - ANSWER_ROOM);
        for (int i = 0; i < high;) {
            glyph g = prompt_glyph(text + i, at);
            at += g.width;
            i += g.bytes;
            col[i] = at;
        }
        first = 0;
        while (first < cur && screen_col(cur) >= x_size) first += stored_len(first);
        th_setcsr(CSR_INSERT);
        show_text();
    }
};

} // namespace

int prompt_str(const char *question, char *buffer) {
    line_editor ed;
    ed.question = question;
    ed.text = buffer;
    ed.text[0] = '\0';
    ed.cur = ed.high = ed.first = 0;
    asking on_line(&ed);
    ed.col[0] = prompt_show(question, x_size - ANSWER_ROOM);
    th_setcsr(CSR_INSERT);
    int key;
    while ((key = th_key_read()) != K_RETURN && key != K_ESCAPE) {
        int was_first = ed.first;
        if (key == K_BACKSPACE || key == K_DEL127 || key == K_LEFT) {
            ed.step_back();
        } else if (key == K_RIGHT) {
            if (ed.cur < ed.high) ed.type(buffer + ed.cur, ed.stored_len(ed.cur));
        } else if (key == K_PASTE) {
            ed.type_paste(th_paste_text());
        } else {
            ed.type_key(key);
        }
        if (ed.first != was_first) ed.show_text();
    }
    prompt_blank();
    buffer[key == K_RETURN ? ed.cur : 0] = '\0';
    return key == K_RETURN;
}
