// The fold-marked file format: reading a file into a line tree and writing a
// tree back.
//
// Files are plain text. Folds are kept as marker lines that begin with the
// language's reserved comment start `rc_st`, at the start of a file line,
// followed by a letter, the fold's name, its absolute indent and `rc_end`:
//
//   <rc_st>S<name>:<indent>:<rc_end>   start of an open fold ("s": closed)
//   <rc_st>V<name>:<indent>:<rc_end>   open virtual fold line ("v": closed)
//   <rc_st>e<rc_end>                   end of the innermost fold ("E" too)
//
// so with rc_st "/*..." and rc_end "*/" an open fold named main at indent 4
// is written /*...Smain:4:*/, its contents, then /*...e*/. Any other letter,
// or none, is a corrupt marker. What follows the indent's closing byte is
// ignored on reading. An empty rc_st makes every line text.
//
// Names: letters, digits, "_" and the space stand for themselves; every other
// byte is written as a backslash, its value in decimal and a backslash
// ("\58\" for ":"). A reader takes any byte but ":" and "\" as itself and a
// backslash, digits and one more byte as the byte of that value modulo 256;
// a plain ":" ends the name; at most LINE_MAX_TEXT bytes of name are kept. The
// indent is decimal digits (none: 0) and one byte that is skipped. A marker
// line is read whole however long it is, so every name the writer writes,
// up to 2500 bytes encoded, comes back whole.
//
// Indents are relative to the enclosing fold in memory and absolute in a file:
// the writer adds `base_indent`, the absolute indent of the fold whose
// contents are being written, and the reader subtracts it. Both use wrapping
// arithmetic, so any int indent comes back as it was.
//
// Text lines are at most LINE_MAX_TEXT bytes: a file is read in the pieces
// get_line returns (a longer line becomes several text lines, a newline
// directly after a full piece belongs to it, a NUL byte ends a line's text,
// a last line without a newline counts like any other). Only a piece that
// starts a file line can be a marker: the rest of a split line is text. Each
// line is written as its bytes and a newline. No other byte changes, so a
// file without long lines, NUL bytes or lines that begin with rc_st is
// written back as it was read (with a final newline added if it had none);
// the read's loss tells when a read file will not come back as it was.
//
// Line ends: a file that has a line end and ends every line in CR LF is read
// without the CRs, and the read says so; a writer told to ends each line in
// CR LF, so that such a file is written back as it was read too. A file whose
// line ends are mixed keeps its CRs in its lines, byte for byte. A last line
// without a newline keeps every byte and gets the file's line end.
//
// A file is read by a fold_reader, which owns it from its opening to its
// closing, and written by a fold_writer:
//
//   fold_reader in(name, lang);              // opened and read ahead
//   if (in.ready()) in.read_into(fold);      // or in.next() line by line
//   read_report r = in.report();             // outcome, loss, CR LF
//
//   fold_writer out(name, append, lang, crlf);   // or on a stream given
//   out.write_list(fold);                    // or out.write(line) each
//   write_report w = out.finish();           // ok, lines like markers
//
// Nothing here throws or prints; callers make the messages from the reports.
#pragma once

#include "text/lang.h"
#include "text/line.h"
#include "text/line_sink.h"
#include "text/line_source.h"

#include <cstdio>

// Why a read ended.
enum {
    RD_NO_MEMORY = 0,   // memory ran out while making a line
    RD_END_OF_FILE = 1, // the normal end of a read
    RD_END_IN_FOLD = 2, // the file ended inside a fold, before its end marker
    RD_END_MARKER = 3,  // an end marker with no fold open
    RD_CANNOT_OPEN = 4, // the file cannot be opened, or reading it failed
    RD_BAD_MARKER = 5,  // a marker line whose letter is none of S s V v e E
};

// What a read changed: bits of a read's loss.
enum {
    RD_LOSS_SPLIT = 1, // a line over LINE_MAX_TEXT bytes was split into several
    RD_LOSS_NUL = 2,   // a NUL byte cut a line (the bytes after it are gone)
    RD_LOSS_PART = 4,  // the read stopped before the end (buff_read only)
};

// What reading a file came to. True when the read ended normally.
struct read_report {
    int outcome = RD_END_OF_FILE; // RD_ outcome
    int loss = 0;                 // RD_LOSS_ bits
    int crlf = 0;                 // every line ended in CR LF, read without the CRs
    explicit operator bool() const { return outcome == RD_END_OF_FILE; }
};

// What writing lines came to. True when every byte reached the stream.
struct write_report {
    bool ok = true;
    int marker_like = 0; // text lines written that read back as markers
    explicit operator bool() const { return ok; }
};

// The reserved comment start and end of a language (null: none, every line
// text), as reading and writing use them.
struct fold_markers {
    explicit fold_markers(const language_def *lang);
    char rc_st[LINE_BUF_SIZE];
    char rc_end[LINE_BUF_SIZE];
    int len_rc_st; // strlen(rc_st)
};

// Reads one file as lines of the tree. The file is opened (only a regular
// file, host/files.h) and read ahead when the reader is made, and closed
// when it goes.
class fold_reader {
  public:
    fold_reader(const char *fn, const language_def *lang);
    ~fold_reader();
    fold_reader(const fold_reader &) = delete;
    fold_reader &operator=(const fold_reader &) = delete;

    // Whether the file opened; whether it opened and reads (a file that
    // fails at its first read is no more readable than one that is missing).
    // When not ready the outcome is RD_CANNOT_OPEN.
    bool opened() const { return fp_ != nullptr; }
    bool ready() const { return rdfail != RD_CANNOT_OPEN; }

    // The next line of the tree: a text line, a virtual fold line, or a fold
    // line with its whole contents already read (folds nest to any depth).
    // Null at the end or on failure, with the outcome telling why.
    //
    // A fault in the fold structure (an end marker with no fold open, an
    // unknown marker letter, the end of the file inside a fold) loses
    // nothing: the line being read when it came (a fold with everything read
    // into it so far) is given up and the file is read again from that
    // line's start, every line from there to the end coming back as a text
    // line, marker lines included. The fault is reported at the end (null
    // with RD_END_IN_FOLD, RD_END_MARKER or RD_BAD_MARKER), so a file
    // written back from the lines read holds every byte of it. Running out
    // of memory or a failing read stops at once: the fold being read is
    // discarded with its contents, lines after it are not read.
    tree_line *next();

    // Reads lines with next until it returns null, inserting each at the
    // fold's current line and stepping over it. True when the read ended
    // normally (RD_END_OF_FILE); else the lines read before the failure stay.
    bool read_into(tree_fold *f);

    // The outcome (RD_END_OF_FILE until the read ends otherwise), what the
    // read lost so far, and whether the file ends every line in CR LF.
    read_report report() const;

  private:
    tree_line *read_as_text();
    void read_name_field(char *name);
    int read_indent_field();
    void take_losses();

    FILE *fp_;
    fold_markers markers_;
    int base_indent = 0; // absolute indent of the fold being read
    int rdfail = RD_END_OF_FILE;
    int rdloss = 0;
    bool crlf_ = false; // every line of the file ends in CR LF
    // After a fault in the fold structure the rest of the file is read again
    // as text lines, and this outcome is reported at its end; 0 before.
    int structure_fault = 0;
    line_source src_;
};

// Writes lines of the tree to a file in the fold-marked format, gathering
// them in large blocks. Once a write has failed nothing more is written.
class fold_writer {
  public:
    // Writes to a stream open for writing, which stays the caller's; finish
    // flushes it.
    fold_writer(FILE *fp, const language_def *lang, bool crlf);
    // Opens the file, created or truncated (appended to when append is set),
    // and closes it at finish; when it cannot be opened every write fails.
    fold_writer(const char *fn, bool append, const language_def *lang, bool crlf);
    ~fold_writer();
    fold_writer(const fold_writer &) = delete;
    fold_writer &operator=(const fold_writer &) = delete;

    // A text line as its text and a line end, a fold line as its start
    // marker, all its contents and its end marker, a virtual fold line as its
    // marker; false when a write failed or the line is an end line. A text
    // line beginning with rc_st, which the format cannot hold, is written as
    // it is and counted in the report.
    bool write(const tree_line *l);

    // Each line of the fold's list up to its end line, as write does; false
    // at the first write that failed (what was written stays).
    bool write_list(const tree_fold *f);

    // Hands everything to the file: flushes the stream, or closes the file
    // the writer opened. The report says whether every write (the flush and
    // the close too) succeeded. Nothing may be written after it.
    write_report finish();

  private:
    bool write_line(const tree_line *l);
    bool put_entry(const tree_line *l);
    bool put_start_marker(char letter, const char *name, int indent);
    bool put_end_marker();

    FILE *fp_;
    bool owns_ = false;
    bool ok_ = true;
    fold_markers markers_;
    int base_indent = 0; // absolute indent of the fold being written
    int wrlook = 0;      // text lines written that read back as markers
    line_sink sink_;
};

// The warning for a read that lost data, to be completed with the file name:
// "warning: NUL bytes dropped in " when a NUL cut a line (even if lines were
// split too), else "warning: long lines split in "; else, for a file read
// without the CRs of its CR LF line ends, "CR LF line ends in "; null when
// there is nothing to say.
const char *rdloss_warning(int loss, int crlf = 0);
