// prompt_str: the line editor of the prompt line.
//
// The text is stored in the caller's buffer as it is typed. col[i] is the
// screen column at which character i starts when the line is not scrolled,
// col[0] being the column after the question; a character's display name is
// always the one for that column, so tabs keep their stops when the view
// scrolls. When the view is scrolled, character first is shown at col[0].
#include "display/prompt.h"

#include "display/char_names.h"
#include "display/keyboard.h"
#include "display/keys.h"
#include "display/prompt_line.h"
#include "display/terminal.h"
#include "text/scan.h"

namespace {

struct line_editor {
    char *text;
    int col[LINE_BUF_SIZE];
    int cur;   // characters before the cursor
    int high;  // characters typed so far, the most the cursor has passed
    int first; // first character shown

    // Where the cursor would be on the screen with character first shown at col[0].
    int screen_col(int upto) const { return col[0] + col[upto] - col[first]; }

    void step_back() {
        if (cur == 0) return;
        cur--;
        if (first > 0 && screen_col(cur) < x_size - 8) {
            while (first > 0 && screen_col(cur) < x_size - 8) first--;
            return;
        }
        for (int n = col[cur + 1] - col[cur]; n > 0; n--) {
            th_p_chr('\b');
            th_p_chr(' ');
            th_p_chr('\b');
        }
    }

    void type(int byte) {
        if (cur >= LINE_MAX_TEXT) return;
        text[cur] = static_cast<char>(byte);
        col[cur + 1] = col[cur] + len_char_name(byte, col[cur]);
        if (screen_col(cur + 1) >= x_size) {
            while (first < cur && screen_col(cur + 1) >= x_size) first++;
        } else {
            th_p_raw_str(prompt_char_name(byte, col[cur]));
        }
        cur++;
        if (cur > high) high = cur;
    }

    void redraw() const {
        th_cxy(col[0], PROMPT_ROW);
        for (int i = first; i < cur; i++)
            th_p_raw_str(prompt_char_name(static_cast<unsigned char>(text[i]), col[i]));
        th_deleol();
    }
};

} // namespace

int prompt_str(const char *question, char *buffer) {
    line_editor ed;
    ed.text = buffer;
    ed.cur = ed.high = ed.first = 0;
    ed.col[0] = prompt_show(question, x_size - ANSWER_ROOM);
    th_setcsr(CSR_INSERT);
    int key;
    while ((key = th_key_read()) != K_RETURN && key != K_ESCAPE) {
        int was_first = ed.first;
        if (key == K_BACKSPACE || key == K_DEL127 || key == K_LEFT) {
            ed.step_back();
        } else if (key == K_RIGHT) {
            if (ed.cur < ed.high) ed.type(static_cast<unsigned char>(buffer[ed.cur]));
        } else if (key > 0 && key < 256) {
            // A NUL could not be told from the end of the text: it is ignored.
            ed.type(key);
        }
        if (ed.first != was_first) ed.redraw();
    }
    prompt_blank();
    buffer[key == K_RETURN ? ed.cur : 0] = '\0';
    return key == K_RETURN;
}
