#include "commands/block_files.h"

#include "commands/arguments.h"
#include "commands/cursor.h"
#include "commands/editor_state.h"
#include "commands/errors.h"
#include "commands/undelete.h"
#include "commands/write_back.h"
#include "display/prompt.h"
#include "display/screen.h"
#include "display/screen_restart.h"
#include "host/filename.h"
#include "host/files.h"
#include "host/process.h"
#include "text/fold_file.h"

#include <cstring>

namespace {

const char TEMPORARY_FILE[] = "temporary file";

// The host name of a typed file name into fn (OS_FN_SIZE bytes), or "bad
// filename " with the name.
void host_name(const char *typed, char *fn) {
    const char *os_name = get_os_fn(typed);
    if (!os_name) error_file(ERR_BAD_FILENAME, typed);
    std::strcpy(fn, os_name);
}

// The language whose markers a file of that name has: the one its name
// picks, else the buffer's own.
const language_def *language_for(const char *fn) {
    const language_def *lang = guess_lang_of(fn);
    return lang ? lang : cur_buffer->lang;
}

// The names of the filter's two temporary files while they exist. They are
// kept here rather than in the command's frame so that they go also when the
// program ends while the command runs (the terminal could not be taken
// back): exit runs the destructors of static objects, not those of frames.
struct temporary_names {
    char name[2][OS_FN_SIZE] = {};
    ~temporary_names() {
        for (char *n : name)
            if (n[0]) unlink_file(n);
    }
} temporaries;

// A fresh temporary file named in one of the slots above, removed when the
// object ends, on every path out.
class temporary_file {
  public:
    explicit temporary_file(int slot) : name_(temporaries.name[slot]) {
        const char *made = get_tmp_fn();
        std::strcpy(name_, made ? made : "");
    }
    ~temporary_file() {
        if (name_[0]) unlink_file(name_);
        name_[0] = '\0';
    }
    temporary_file(const temporary_file &) = delete;
    temporary_file &operator=(const temporary_file &) = delete;

    bool made() const { return name_[0] != '\0'; }
    const char *name() const { return name_; }

  private:
    char *name_;
};

// The filter with the terminal handed over to the command and taken back.
int xfilter_on_terminal(const char *command, const char *in, const char *out) {
    screen_leave();
    int ran = xfilter(command, in, out);
    screen_reinit();
    refresh_all();
    return ran;
}

// Shows the warning about what a read lost, if it lost anything, else that
// the file's lines end in CR LF.
void warn_loss(read_report read, const char *fn) {
    if (const char *warning = rdloss_warning(read.loss, read.crlf)) file_prompt(warning, fn);
}

// The block's lines written by the writer.
bool write_block(fold_writer &out, marked_block b) {
    const tree_line *l = list_line(cur_fold(), b.first);
    for (int i = b.first; i < b.end; i++, l = line_next(l))
        if (!out.write(l)) return false;
    return true;
}

} // namespace

bool block_write_to(FILE *fp, marked_block b, const language_def *lang, int crlf) {
    fold_writer out(fp, lang, crlf != 0);
    write_block(out, b);
    return out.finish().ok;
}

int block_write_file(const char *fn, marked_block b, const language_def *lang, int crlf) {
    fold_writer out(fn, false, lang, crlf != 0);
    write_block(out, b);
    return out.finish() ? 0 : ERR_CANT_WRITE;
}

read_report block_read_file(const char *fn, const language_def *lang, tree_line *holder) {
    fold_reader in(fn, lang);
    if (in.ready()) {
        tree_fold *h = line_fold(holder);
        line_step_last(h);
        in.read_into(h);
    }
    return in.report();
}

void cmd_b_read() {
    char fn[OS_FN_SIZE];
    host_name(arg_val[0].str, fn);
    owned_line holder = make_holder();
    file_prompt("reading ", fn);
    read_report read = block_read_file(fn, language_for(fn), holder.get());
    if (!read) error_file(read_fail_code(read.outcome), fn);
    block_unpack_marked(holder.get());
    cursor_to_line_start();
    buffer_changed();
    prompt_blank();
    warn_loss(read, fn);
}

void cmd_b_write() {
    char fn[OS_FN_SIZE];
    host_name(arg_val[0].str, fn);
    int append = arg_val[1].num;
    marked_block b = block_of(cur_fold());
    query_readonly(fn);
    file_prompt(append ? "appending to " : "writing ", fn);
    const language_def *lang = language_for(fn);
    int crlf = cur_buffer->crlf;
    write_file_safely(fn, WB_NO_BACKUP | (append ? WB_APPEND : 0),
                      [&](FILE *fp) { return block_write_to(fp, b, lang, crlf); });
    prompt_blank();
}

void block_filter_with(const char *command, filter_runner run) {
    if (restricted) error_code(ERR_RESTRICTED);
    marked_block b = block_of(cur_fold());
    owned_line old_block = make_holder();
    owned_line output = make_holder();

    prompt("writing temporary file");
    temporary_file in(0);
    if (!in.made() || block_write_file(in.name(), b, cur_buffer->lang, 0))
        error_file(ERR_CANT_WRITE, TEMPORARY_FILE);
    temporary_file out(1);
    if (!out.made()) error_file(ERR_CANT_WRITE, TEMPORARY_FILE);
    if (!run(command, in.name(), out.name())) error_code(ERR_COMMAND_FAILURE);

    // The output is read whole before the block is touched, so that a read
    // that fails leaves the block where it was.
    prompt("reading temporary file");
    read_report read = block_read_file(out.name(), cur_buffer->lang, output.get());
    if (!read) error_file(read_fail_code(read.outcome), TEMPORARY_FILE);

    block_move_into(b, old_block.get());
    undel_push_block(old_block.release());
    block_unpack_marked(output.get());
    cursor_to_line_start();
    buffer_changed();
    prompt_blank();
    warn_loss(read, TEMPORARY_FILE);
}

void cmd_b_filter() {
    block_filter_with(arg_val[0].str, xfilter_on_terminal);
}
