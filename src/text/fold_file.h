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
// `rdloss` tells when a read file will not come back as it was.
//
// Line ends: a file that has a line end and ends every line in CR LF is read
// without the CRs, and rw_crlf tells so; writing ends each line in CR LF while
// rw_crlf is set, so that such a file is written back as it was read too. A
// file whose line ends are mixed keeps its CRs in its lines, byte for byte. A
// last line without a newline keeps every byte and gets the file's line end.
//
// One file is read or written at a time, through this protocol:
//
//   FILE *fp = fopen_file(name, "r");      // or "w" / "a" to write
//   rw_begin(fp);                          // fp_rw = fp, base_indent 0, rdloss 0
//   rw_readable();                         // reading: sets rw_crlf
//   rw_crlf = crlf;                        // writing: the line ends wanted
//   set_rc(lang);
//   while (LINE *l = line_read()) ...      // or line_write(l) for each line
//   ok = rw_end() && ok;                   // hands over buffered output
//   fclose(fp);                            // check its result when writing
//
// line_read reads ahead in large blocks, so the stream belongs to the reader
// from rw_begin to rw_end; a read that ends (line_read returning null) lets go
// of what it read ahead. Nothing here throws or prints; callers make the
// messages from rdfail and rdloss.
#pragma once

#include "text/lang.h"
#include "text/line.h"

#include <cstdio>

// The outcome of the last line_read that returned null.
enum {
    RD_NO_MEMORY = 0,   // memory ran out while making a line
    RD_END_OF_FILE = 1, // the normal end of a read
    RD_END_IN_FOLD = 2, // the file ended inside a fold, before its end marker
    RD_END_MARKER = 3,  // an end marker with no fold open
    RD_CANNOT_OPEN = 4, // the file cannot be opened, or reading it failed
    RD_BAD_MARKER = 5,  // a marker line whose letter is none of S s V v e E
};

// What a read changed: bits of rdloss.
enum {
    RD_LOSS_SPLIT = 1, // a line over LINE_MAX_TEXT bytes was split into several
    RD_LOSS_NUL = 2,   // a NUL byte cut a line (the bytes after it are gone)
    RD_LOSS_PART = 4,  // the read stopped before the end (buff_read only)
};

extern FILE *fp_rw;                // the stream being read or written
extern char rc_st[LINE_BUF_SIZE];  // reserved comment start in use
extern char rc_end[LINE_BUF_SIZE]; // reserved comment end in use
extern int len_rc_st;              // strlen(rc_st)
extern int base_indent;            // absolute indent of the fold being read or written
extern int rdfail;                 // RD_ outcome; read it right after a read ends
extern int rdloss;                 // RD_LOSS_ bits of the reads since rw_begin (or buff_read)
extern int wrlook;                 // text lines written since rw_begin that read back as markers
extern int rw_crlf;                // lines end in CR LF: as rw_readable found, or to be written

// Starts reading or writing fp: fp_rw = fp, base_indent, rdloss, wrlook and
// rw_crlf 0, and nothing buffered from any earlier file.
void rw_begin(FILE *fp);

// Ends it: hands buffered output to the stream and lets go of it (fp_rw
// null). Returns 1, or 0 when a write has failed since rw_begin. The caller
// closes the stream afterwards.
int rw_end();

// Reads ahead on a stream opened for reading, setting rw_crlf when the file
// ends every line in CR LF; 0 when it cannot be read at all (a directory),
// before anything was taken from it.
int rw_readable();

// rc_st, rc_end and len_rc_st from the language (null: no markers).
void set_rc(const LANG *lang);

// The next line of the tree from fp_rw: a text line, a virtual fold line, or
// a fold line with its whole contents already read (folds nest to any depth).
// Null at the end or on failure, with rdfail telling why.
//
// A fault in the fold structure (an end marker with no fold open, an unknown
// marker letter, the end of the file inside a fold) loses nothing: the line
// being read when it came (a fold with everything read into it so far) is
// given up and the file is read again from that line's start, every line
// from there to the end coming back as a text line, marker lines included.
// The fault is reported at the end (null with rdfail RD_END_IN_FOLD,
// RD_END_MARKER or RD_BAD_MARKER), so a file written back from the lines
// read holds every byte of it. Only a stream that cannot seek stops at the
// fault. Running out of memory or a failing read stops at once: the fold
// being read is discarded with its contents, lines after it are not read.
// base_indent is as it was either way.
LINE *line_read();

// Writes the line to fp_rw: a text line as its text and a line end, a fold
// line as its start marker, all its contents and its end marker, a virtual
// fold line as its marker. Returns 1, or 0 when a write failed or the line is
// an end line. The bytes reach the stream (its own buffer) before it returns.
// A text line beginning with rc_st, which the format cannot hold, is written
// as it is and counted in `wrlook`.
int line_write(const LINE *l);

// Writes each line of the fold's list, up to its end line, as line_write
// does; 1, or 0 at the first write that failed (what was written stays).
int write_list(const FOLD *f);

// Reads lines with line_read until it returns null, inserting each at the
// fold's current line and stepping over it. 1 when the read ended normally
// (RD_END_OF_FILE); else 0, the lines read before the failure kept.
int read_file(FOLD *f);

// The warning for a read that lost data, to be completed with the file name:
// "warning: NUL bytes dropped in " when a NUL cut a line (even if lines were
// split too), else "warning: long lines split in "; else, for a file read
// without the CRs of its CR LF line ends, "CR LF line ends in "; null when
// there is nothing to say.
const char *rdloss_warning(int loss, int crlf = 0);
