// The file reader's input: physical lines of a stream, read in large blocks.
//
// Used by the fold file reader only (text/fold_file.h); other modules read
// files through a fold_reader. A physical line is what get_line returns: the
// bytes up to the next newline, at most LINE_MAX_TEXT of them, the newline
// dropped; a newline directly after a full piece belongs to that piece; a
// last line without a newline counts like any other; a NUL byte ends the
// text. Besides, a line that begins at the start of a file line with the
// marker start is handed over whole, however long, as a marker line whose
// bytes the caller takes one by one. What was lost on the way (a line split
// into pieces, text cut at a NUL) is recorded in `lost`.
//
// Line ends: a stream whose first line ends in CR LF is looked through once
// as it is first read; when every line end in it is CR LF (crlf), lines are
// handed out without the CR of their end, a line of LINE_MAX_TEXT bytes
// before its CR LF still being one line. A last line without a newline keeps
// every byte. A stream whose first line ends in a newline alone costs nothing
// more than that one look, and gives every byte as it is.
#pragma once

#include "text/scan.h"

#include <cstddef>
#include <cstdio>

enum {
    LOST_SPLIT = 1, // a physical line was longer than LINE_MAX_TEXT and was split
    LOST_NUL = 2,   // a NUL byte cut a line's text
};

class line_source {
  public:
    enum piece_kind { END, ERROR, TEXT, MARKER };

    // Forgets everything buffered and reads fp (null: nothing) from its
    // current position on; clears `lost`.
    void begin(FILE *fp);
    FILE *stream() const { return fp_; }

    // Reads ahead; false when the stream fails to read (a directory, say).
    bool readable();

    // The stream offset of the next byte to hand out, or -1 when the stream
    // cannot tell it (a pipe).
    long long tell() const { return base_ < 0 ? -1 : base_ + static_cast<long long>(pos_); }

    // Goes back (or on) to a stream offset that tell gave, at the start of a
    // file line, forgetting what was read ahead; false when the stream cannot
    // seek, and then nothing more is read.
    bool seek(long long offset);

    // The next physical line. TEXT: *text is its NUL-terminated text, valid
    // until the next call. MARKER: the line began with the marker_len bytes of
    // marker_start (at the start of a file line, marker_len > 0); they are
    // consumed and the rest of the line comes from marker_byte, and skip_line
    // must be called before the next line. END at the end of the stream;
    // ERROR when reading failed, after every byte read before the failure
    // was handed over.
    piece_kind next(const char *marker_start, size_t marker_len, const char **text);

    // The next byte of the marker line, or -1 at its end (a newline, the end
    // of the stream, or a NUL byte, which ends it like the newline).
    int marker_byte();

    // Consumes what is left of the marker line.
    void skip_line();

    // The length of the text the last TEXT handed out.
    size_t text_length() const { return text_length_; }

    // Whether every line end of the stream is CR LF, so that lines come
    // without their CRs; known once anything has been read.
    bool crlf() const { return crlf_; }

    int lost = 0; // LOST_ bits since begin

  private:
    static constexpr size_t block_size = 64 * 1024;

    // Makes at least `want` unread bytes available unless the stream ends
    // first; true when they are. Inline: it is asked for every line and
    // every byte of a marker line, and reads only once a block.
    bool fill(size_t want) { return end_ - pos_ >= want || refill(want); }
    bool refill(size_t want);
    bool nul_between(size_t from, size_t to);
    void end_marker();
    void learn_line_ends();
    bool rest_ends_crlf(char before);

    FILE *fp_ = nullptr;
    long long base_ = -1;    // stream offset of block_[0]; -1 when unknown
    size_t pos_ = 0;         // next byte of block_ to hand out
    size_t end_ = 0;         // end of the bytes read into block_
    bool eof_ = false;       // the stream has nothing more (or failed)
    bool error_ = false;     // the stream failed
    bool at_start_ = true;   // pos_ is at the start of a file line
    bool nul_known_ = false; // nul_next_ holds since the last fill
    size_t nul_next_ = 0;    // first NUL from where it was last looked for; end_ for none
    size_t text_length_ = 0;
    bool in_marker_ = false;
    bool marker_cut_ = false; // a NUL ended the marker line's bytes
    bool ends_known_ = false; // crlf_ has been decided
    bool crlf_ = false;       // every line end is CR LF
    char piece_[LINE_BUF_SIZE];
    char block_[block_size + 1]; // one spare byte for the NUL of a last line
};
