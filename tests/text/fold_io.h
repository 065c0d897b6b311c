// Reading and writing fold-marked bytes in tests, without naming files.
#pragma once

#include "text/lang.h"
#include "text/line.h"
#include "tree_owner.h"

#include <string>

// A language record with the given reserved comment start and end, kept out
// of the language table.
LANG marker_lang(const char *start = "/*...", const char *end = "*/");

struct ReadResult {
    FoldPtr fold; // what was read, kept on failure too
    int ok;       // read_file's result
    int outcome;  // rdfail
    int loss;     // rdloss
};

// Reads the bytes as a file of the language into a new top fold; with
// fail_after set, the fail_after-th allocation of the read fails.
ReadResult read_bytes(const std::string &bytes, const LANG &lang, long fail_after = 0);

// The bytes of the fold's list as buff_write writes them.
std::string write_bytes(const FOLD *f, const LANG &lang);

// Appends a line at the fold's end and returns it.
LINE *append(FOLD *f, LINE *l);
