// The editor's numbered errors and the one way commands report them.
//
// A command, an argument reader or anything a command calls that fails raises
// an error with error_code, error_file or error_text: the message goes to the
// prompt line and a command_error is thrown. It unwinds to the recovery point
// of the command run in progress (run_with_recovery, used by exec_commands and
// type_char), abandoning the rest of the command text; whatever was changed
// before stays changed. Nothing else catches command_error, and nothing may
// raise an error outside a recovery point.
//
// Anything that owns memory or a descriptor while an error may pass must own
// it through an object that releases it on unwinding.
#pragma once

#include "text/scan.h"

// Error codes: the index of the message in error_messages.
enum error_number {
    ERR_OUT_OF_MEMORY = 1,      // "out of memory"
    ERR_ABORTED,                // "aborted"
    ERR_EXPECTED_FOLD,          // "expected fold line"
    ERR_EXPECTED_FOLD_OR_VFOLD, // "expected fold or virtual fold line"
    ERR_EXPECTED_LINE,          // "expected text, fold or virtual fold line"
    ERR_COMMAND_NOT_FOUND,      // "command not found"
    ERR_INSUFFICIENT_ARGUMENTS, // "insufficient arguments"
    ERR_BAD_NUMBER,             // "bad number"
    ERR_BAD_STRING,             // "bad string"
    ERR_BAD_CHARACTER,          // "bad character"
    ERR_BAD_YES_NO,             // "bad yes/no flag"
    ERR_BAD_SEARCH_CRITERION,   // "bad search criterion"
    ERR_BAD_BUFFER,             // "bad buffer"
    ERR_BAD_LANGUAGE,           // "bad language"
    ERR_BAD_KEY_NAME,           // "bad key name"
    ERR_FOLD_INDENTATION,       // "can't type on fold indentation"
    ERR_LINE_TOO_LONG,          // "line too long"
    ERR_CANT_DEDUCE_LANGUAGE,   // "can't deduce language"
    ERR_NO_PARENT,              // "fold has no parent"
    ERR_LANGUAGE_IN_USE,        // "can't delete language if in use"
    ERR_DELETE_CURRENT_BUFFER,  // "can't delete current buffer"
    ERR_NOT_ON_BRACKET,         // "not on a bracket"
    ERR_NOT_FOUND,              // "not found"
    ERR_NO_LINE_NUMBER,         // "no line number"
    ERR_BAD_LINE_NUMBER,        // "bad line number"
    ERR_NO_PREVIOUS_SEARCH,     // "no previous search pattern"
    ERR_TOO_MANY_BINDINGS,      // "too many bindings"
    ERR_UNDELETE_EMPTY,         // "undeleted stack empty"
    ERR_NO_BLOCK,               // "no block"
    ERR_COMMAND_FAILURE,        // "command failure"
    ERR_RESTRICTED,             // "can't run command from restricted editor"
    ERR_SET_MODE,               // "unable to set mode"
    ERR_BAD_FILENAME,           // "bad filename " + name
    ERR_CANT_WRITE,             // "can't write " + name
    ERR_NOT_EDITING,            // "not editing " + name
    ERR_NO_BACKUP,              // "could not take backup of " + name
    ERR_CANT_OPEN,              // "can't open " + name
    ERR_FOLD_STRUCTURE,         // "fold structure corrupt in " + name
    ERR_RECURSION,              // "infinite recursion detected reading " + name
    ERR_MEMORY_READING,         // "out of memory reading " + name
    ERR_TRANS_RANGE,            // "bad - range in translate string"
    ERR_TRANS_ESCAPE,           // "bad \ escape in translate string"
    ERR_TRANS_TOO_BIG,          // "translate string expands too big"
    ERR_TRANS_SIZES,            // "translate strings not the same size"
    ERR_EXPRESSION_TOO_LONG,    // "regular expression too long"
    ERR_EXPECTED_TEXT_LINE,     // "expected text line"
    ERR_BAD_SUBSTITUTION,       // "bad substitution"
    ERR_NOTHING_TO_UNDO,        // "nothing to undo"
    ERR_NOTHING_TO_REDO,        // "nothing to redo"
    // The outline commands.
    ERR_NO_OUTLINE_RULE,       // "no outline rule for this language"
    ERR_BAD_OUTLINE_KIND,      // "bad outline kind"
    ERR_BAD_OUTLINE_DELIMITER, // "bad comment or string delimiter"
    ERR_NO_FOLD_MARKERS,       // "language has no fold markers"
    // Writing in place.
    ERR_OLD_TEXT_KEPT, // "can't write, old text kept in " + name of a copy
    // The syntax colour rules of language_syntax.
    ERR_BAD_SYNTAX_CLASS,      // "bad syntax class"
    ERR_EMPTY_SYNTAX_RULE,     // "syntax rule matches the empty string"
    ERR_TOO_MANY_SYNTAX_RULES, // "too many syntax rules"
    ERROR_CODES                // 58: the size of error_messages
};

// The messages by code; slot 0 is empty. A message that ends in a blank is
// completed with a file name (error_file).
extern const char *const error_messages[ERROR_CODES];

// What is thrown: the text shown on the prompt line (for error_file the whole
// file name, of which the prompt line shows what fits).
struct command_error {
    char text[2 * LINE_BUF_SIZE];
    const char *what() const { return text; }
};

// Show the message of the code on the prompt line and unwind. A code outside
// 1 to 57 shows an empty message.
[[noreturn]] void error_code(int code);
// Show the message of the code followed by as much of the file name as fits
// on the prompt line, and unwind.
[[noreturn]] void error_file(int code, const char *file_name);
// Show any text on the prompt line and unwind.
[[noreturn]] void error_text(const char *text);

// The text of the last error raised since the program started, "" before the
// first; the prompt line may have been overwritten since.
const char *last_error();

// The error code for the reason a file read failed (its RD_ outcome,
// text/fold_file.h): ERR_MEMORY_READING, ERR_FOLD_STRUCTURE or ERR_CANT_OPEN;
// 0 for a read that did not fail. Callers pass it to error_file with the
// file's name.
int read_fail_code(int outcome);

// How deep runs may nest. A command text that runs itself (a line holding
// line_exec, run by line_exec) would otherwise recurse until the stack ran out.
inline constexpr int MAX_RUN_NESTING = 100;

// Runs body() with a recovery point: 1 when it ran to its end, 0 when an error
// unwound out of it (its message is on the prompt line). Runs nest: an error
// ends only the innermost run, and the enclosing one is in force again after.
// A run nested more than MAX_RUN_NESTING deep fails with "command failure",
// and that failure ends every enclosing run as well, so that a runaway text
// stops at once however many times it calls itself.
template <class Body> int run_with_recovery(Body &&body);

// The bookkeeping of run_with_recovery, for it alone.
struct run_nesting {
    run_nesting();  // enters a run; raises when it is nested too deep
    ~run_nesting(); // leaves it
    // After an error: true when it must reach the enclosing run too.
    static bool passes_outwards();
};

template <class Body> int run_with_recovery(Body &&body) {
    try {
        run_nesting run;
        body();
        return 1;
    } catch (const command_error &) {
        if (run_nesting::passes_outwards()) throw;
        return 0;
    }
}
