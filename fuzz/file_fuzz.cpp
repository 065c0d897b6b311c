// The file reader and writer on any bytes: read into a buffer with one of
// several languages' markers, written, read again and written again. The two
// writes must be equal (once the first read split no line: a split can mend
// a broken structure, after which the second write is the first one's fixed
// point), and a file with no marker lines, no NUL byte and no line over 500
// bytes must be written back as it was (with a final line end).
//
// Input: a byte choosing the language, then the file.
#include "text/buff_file.h"
#include "text/buffer.h"
#include "text/fold_file.h"
#include "text/lang.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string folder;
language_def *langs_used[4];

std::string read_all(const std::string &name) {
    std::ifstream in(name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void write_all(const std::string &name, const uint8_t *data, size_t size) {
    FILE *fp = std::fopen(name.c_str(), "wb");
    if (!fp || std::fwrite(data, 1, size, fp) != size || std::fclose(fp) != 0) std::abort();
}

// Reads the file into a fresh buffer and writes it to `out`; the read's
// outcome and loss through the pointers.
std::string round_trip(language_def *lang, const std::string &in, const std::string &out,
                       int *outcome, int *loss) {
    text_buffer *b = buff_create(in.c_str(), -1, lang);
    if (!b) std::abort();
    read_report r = buff_read(b, in.c_str());
    *outcome = r.outcome;
    *loss = r.loss;
    if (*outcome == RD_NO_MEMORY || *outcome == RD_CANNOT_OPEN) std::abort();
    if (!buff_write(b, out.c_str(), 0)) std::abort();
    buff_delete(b);
    return read_all(out);
}

bool has_marker_line(const std::string &file, const char *rc_st) {
    size_t n = std::strlen(rc_st);
    if (n == 0) return false;
    for (size_t at = 0; at < file.size(); at = file.find('\n', at) + 1) {
        if (file.compare(at, n, rc_st) == 0) return true;
        if (file.find('\n', at) == std::string::npos) break;
    }
    return false;
}

bool has_long_line(const std::string &file) {
    size_t start = 0;
    for (;;) {
        size_t nl = file.find('\n', start);
        size_t end = nl == std::string::npos ? file.size() : nl;
        if (end - start > 500) return true;
        if (nl == std::string::npos) return false;
        start = nl + 1;
    }
}

// Whether the file has a line end and every one is CR LF: its last line, if
// it has no newline, is given a CR LF.
bool crlf_ends(const std::string &file) {
    size_t nl = file.find('\n');
    if (nl == std::string::npos) return false;
    for (; nl != std::string::npos; nl = file.find('\n', nl + 1))
        if (nl == 0 || file[nl - 1] != '\r') return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    // In memory where the host has such a folder: the files are written
    // thousands of times a second.
    char shm[] = "/dev/shm/ox-fuzz-XXXXXX", tmp[] = "/tmp/ox-fuzz-XXXXXX";
    char *pattern = mkdtemp(shm) ? shm : mkdtemp(tmp);
    if (!pattern) std::abort();
    folder = pattern;
    data_init();
    langs_used[0] = lang_create("top", "/*...", "*/", ".*\\.top", "_", 0x300);
    langs_used[1] = lang_create("hash", "#", "", ".*\\.sh", "_", 0x300);
    langs_used[2] = lang_create("plain", "", "", ".*\\.txt", "_", 0x300);
    langs_used[3] = lang_create("dash", "--%", "%--", ".*\\.sql", "_", 0x300);
    for (language_def *l : langs_used)
        if (!l) std::abort();
    std::atexit([] {
        for (const char *name : {"/in", "/one", "/two", "/three"}) unlink((folder + name).c_str());
        rmdir(folder.c_str());
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1 || size > 100000) return 0;
    language_def *lang = langs_used[data[0] % 4];
    std::string input(reinterpret_cast<const char *>(data + 1), size - 1);
    std::string in = folder + "/in", one = folder + "/one", two = folder + "/two";
    write_all(in, data + 1, size - 1);
    int outcome, loss, outcome2, loss2;
    std::string first = round_trip(lang, in, one, &outcome, &loss);
    std::string second = round_trip(lang, one, two, &outcome2, &loss2);
    if (!(loss & RD_LOSS_SPLIT) && second != first) {
        std::fprintf(stderr, "the second write differs from the first\n");
        std::abort();
    }
    if (loss & RD_LOSS_SPLIT) {
        int outcome3, loss3;
        if (round_trip(lang, two, folder + "/three", &outcome3, &loss3) != second) {
            std::fprintf(stderr, "the third write differs from the second\n");
            std::abort();
        }
    }
    if (input.find('\0') == std::string::npos && !has_long_line(input) &&
        !has_marker_line(input, lang->rc_start)) {
        std::string expected = input;
        if (!expected.empty() && expected.back() != '\n')
            expected += crlf_ends(input) ? "\r\n" : "\n";
        if (first != expected || outcome != RD_END_OF_FILE || loss != 0) {
            std::fprintf(stderr, "a plain file was not written back as it was read\n");
            std::abort();
        }
    }
    return 0;
}
