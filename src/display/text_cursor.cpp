#include "display/text_cursor.h"

#include "display/rows.h"
#include "display/terminal.h"

static int csr_x;
static int csr_y = FIRST_TEXT_ROW;
static int csr_mode = CSR_INSERT;

void scn_remember_cursor(int x, int y, int mode) {
    csr_x = x;
    csr_y = y;
    csr_mode = mode;
}

void scn_restore_cursor() {
    th_cxy(csr_x, csr_y);
    th_setcsr(csr_mode);
}
