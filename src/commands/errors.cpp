#include "commands/errors.h"

#include "display/prompt.h"
#include "text/fold_file.h"

#include <cstring>

const char *const error_messages[ERROR_CODES] = {
    "",
    "out of memory",
    "aborted",
    "expected fold line",
    "expected fold or virtual fold line",
    "expected text, fold or virtual fold line",
    "command not found",
    "insufficient arguments",
    "bad number",
    "bad string",
    "bad character",
    "bad yes/no flag",
    "bad search criterion",
    "bad buffer",
    "bad language",
    "bad key name",
    "can't type on fold indentation",
    "line too long",
    "can't deduce language",
    "fold has no parent",
    "can't delete language if in use",
    "can't delete current buffer",
    "not on a bracket",
    "not found",
    "no line number",
    "bad line number",
    "no previous search pattern",
    "too many bindings",
    "undeleted stack empty",
    "no block",
    "command failure",
    "can't run command from restricted editor",
    "unable to set mode",
    "bad filename ",
    "can't write ",
    "not editing ",
    "could not take backup of ",
    "can't open ",
    "fold structure corrupt in ",
    "infinite recursion detected reading ",
    "out of memory reading ",
    "bad - range in translate string",
    "bad \\ escape in translate string",
    "translate string expands too big",
    "translate strings not the same size",
    "regular expression too long",
    "expected text line",
    "bad substitution",
    "nothing to undo",
    "nothing to redo",
    "no outline rule for this language",
    "bad outline kind",
    "bad comment or string delimiter",
    "language has no fold markers",
    "can't write, old text kept in ",
    // The syntax colour rules of language_syntax.
    "bad syntax class",
    "syntax rule matches the empty string",
    "too many syntax rules",
};

static command_error last;

static const char *message_of(int code) {
    return code > 0 && code < ERROR_CODES ? error_messages[code] : "";
}

// Copies as much of the texts as the record holds; file_name may be null.
static void record(const char *text, const char *file_name) {
    size_t room = sizeof last.text - 1;
    size_t n = std::strlen(text);
    if (n > room) n = room;
    std::memcpy(last.text, text, n);
    if (file_name != nullptr) {
        size_t m = std::strlen(file_name);
        if (m > room - n) m = room - n;
        std::memcpy(last.text + n, file_name, m);
        n += m;
    }
    last.text[n] = '\0';
}

void error_code(int code) {
    record(message_of(code), nullptr);
    prompt(last.text);
    throw last;
}

void error_file(int code, const char *file_name) {
    record(message_of(code), file_name);
    file_prompt(message_of(code), file_name != nullptr ? file_name : "");
    throw last;
}

void error_text(const char *text) {
    record(text, nullptr);
    prompt(last.text);
    throw last;
}

const char *last_error() {
    return last.text;
}

int read_fail_code(int outcome) {
    switch (outcome) {
    case RD_NO_MEMORY: return ERR_MEMORY_READING;
    case RD_END_IN_FOLD:
    case RD_END_MARKER:
    case RD_BAD_MARKER: return ERR_FOLD_STRUCTURE;
    case RD_CANNOT_OPEN: return ERR_CANT_OPEN;
    default: return 0;
    }
}

static int run_depth;
static bool runaway;

run_nesting::run_nesting() {
    if (run_depth == MAX_RUN_NESTING) {
        runaway = true;
        error_code(ERR_COMMAND_FAILURE);
    }
    run_depth++;
}

run_nesting::~run_nesting() {
    run_depth--;
}

bool run_nesting::passes_outwards() {
    if (runaway && run_depth > 0) return true;
    runaway = false;
    return false;
}
