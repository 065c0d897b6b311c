// Reading and writing a large fold-marked file: generates a C-like file of a
// million lines with about 20,000 folds nested three deep (about 45 MB) in
// /tmp, then times buff_read of it, buff_write of it, and copying it with a
// read/write loop and with cp as the floor, and reports the peak memory the
// read takes. Every file it makes is removed at the end.
//
// The first read is what opening the file costs; most of it is the first
// touch of the memory the tree takes, which varies a lot on a virtual
// machine. Reading again reuses the memory the first tree gave back.
//
// Run: build-*/bench/text/fold_file_bench [lines] [rounds]
#include "common/editor_setup.h"
#include "common/folded_file.h"
#include "common/scratch_dir.h"
#include "common/timing.h"
#include "text/fold_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace bench;

// The floor: copies with read and write calls of 1 MiB, then makes sure the
// data reached the page cache like buff_write's does (no fsync either way).
void os_copy(const char *from, const char *to) {
    int in = open(from, O_RDONLY);
    int out = open(to, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0) fail("cannot open for the copy");
    std::vector<char> buf(1 << 20);
    ssize_t n;
    while ((n = read(in, buf.data(), buf.size())) > 0) {
        if (write(out, buf.data(), static_cast<size_t>(n)) != n) fail("copy write failed");
    }
    close(in);
    close(out);
}

bool same_files(const char *a, const char *b) {
    FILE *fa = fopen(a, "r"), *fb = fopen(b, "r");
    bool same = fa && fb;
    std::vector<char> x(1 << 16), y(1 << 16);
    while (same) {
        size_t na = fread(x.data(), 1, x.size(), fa), nb = fread(y.data(), 1, y.size(), fb);
        same = na == nb && memcmp(x.data(), y.data(), na) == 0;
        if (na == 0) break;
    }
    if (fa) fclose(fa);
    if (fb) fclose(fb);
    return same;
}

} // namespace

int main(int argc, char **argv) {
    long want = argc > 1 ? atol(argv[1]) : 1000000;
    int rounds = argc > 2 ? atoi(argv[2]) : 3;
    scratch_folder dir("ox_fold_bench");
    std::string source = dir.file("source.c"), written = dir.file("written.c"),
                copied = dir.file("copy.c"), cp_copied = dir.file("cp.c");
    folded_file_writer gen = write_folded_file(source, want);
    long size = file_size(source);

    data_init();
    language_def *top = folded_language();

    // Each round reads into a new buffer and writes to a new file, as opening
    // a file and saving it over a removed old one do. The first read takes
    // fresh memory from the system; later ones reuse what the first freed.
    best_run copy, cp, first_read, reread, write;
    long rss_before = peak_rss_kib(), rss_read = 0;
    for (int round = 0; round < rounds; round++) {
        // Files written before are flushed first, so that writing them back
        // to the disk does not compete with what is timed.
        sync();
        unlink(copied.c_str());
        copy.time([&] { os_copy(source.c_str(), copied.c_str()); });

        unlink(cp_copied.c_str());
        std::string command = "cp " + source + " " + cp_copied;
        cp.time([&] {
            if (system(command.c_str()) != 0) fail("cp failed");
        });

        text_buffer *b = buff_create(source.c_str(), -1, top);
        if (!b) fail("cannot make the buffer");
        sync();
        best_run &read = round == 0 ? first_read : reread;
        int loss = 0;
        read.time([&] {
            read_report r = buff_read(b, source.c_str());
            if (!r) fail("buff_read failed");
            loss = r.loss;
        });
        if (round == 0) rss_read = peak_rss_kib();
        if (b->top->deep_count - 1 != gen.lines || loss) fail("buff_read changed the file");

        unlink(written.c_str());
        sync();
        write.time([&] {
            if (!buff_write(b, written.c_str(), 0)) fail("buff_write failed");
        });
        if (!buff_delete(b)) fail("cannot delete the buffer");
    }
    if (!same_files(source.c_str(), written.c_str())) fail("the written file differs");

    double peak = (rss_read - rss_before) * 1024.0;
    printf("file              %ld lines, %ld folds nested 3 deep, %.1f MB (%.1f bytes a line)\n",
           gen.lines, gen.folds, size / 1e6, static_cast<double>(size) / gen.lines);
    printf("                  wall ms  x floor   cpu ms  x floor\n");
    auto row = [&](const char *what, const best_run &t, const char *note) {
        printf("%-17s %8.1f %8.2f %8.1f %8.2f   %s\n", what, t.wall, t.wall / copy.wall, t.cpu,
               t.cpu / copy.cpu, note);
    };
    row("os copy (floor)", copy, "read/write loop, 1 MiB calls");
    row("cp", cp, "with starting the program");
    row("buff_read", first_read, "first read: fresh memory");
    if (rounds > 1) row("buff_read again", reread, "memory the first read freed");
    row("buff_write", write, "");
    printf("peak memory       %8.1f MB   %.1f bytes a line, %.2fx the file size\n", peak / 1e6,
           peak / gen.lines, peak / size);
    printf("best of %d rounds (the first read is one); the written file is identical to the "
           "source\n",
           rounds);
    return 0;
}
