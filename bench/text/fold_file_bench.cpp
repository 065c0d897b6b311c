// Reading and writing a large fold-marked file: generates a C-like file of a
// million lines with about 20,000 folds nested three deep (about 45 MB) in
// /tmp, then times buff_read of it, buff_write of it, and copying it with a
// read/write loop and with cp as the floor, and reports the peak memory the
// read takes. Every file it makes is removed at the end.
//
// Run: build-*/bench/text/fold_file_bench [lines] [rounds]
#include "text/buff_file.h"
#include "text/buffer.h"
#include "text/fold_file.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

long peak_rss_kib() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

[[noreturn]] void fail(const char *what) {
    fprintf(stderr, "fold_file_bench: %s\n", what);
    exit(1);
}

// Writes the generated file; one unit of 800 lines is a level-1 fold holding
// 72 text lines and 3 level-2 folds, each holding 40 text lines and 4 level-3
// folds of 48 text lines: 16 folds and 32 marker lines a unit.
struct Generator {
    FILE *fp;
    long lines = 0, folds = 0;
    unsigned seed = 12345;

    unsigned next() { return seed = seed * 1103515245u + 12345u; }

    void text(int depth) {
        static const char *const forms[] = {
            "int value_%u = compute(left_%u, right) + %u;",
            "if (count_%u > limit) return failed(%u, %u);",
            "for (i = 0; i < %u; i++) sum += tab[%u] * %u;",
            "buf[%u] = (char)(source[%u] ^ 0x%x);",
            "// keep the rows between %u and %u (%u)",
            "res = lookup(&cache, key_%u, %u, %u);",
        };
        unsigned r = next();
        std::string indent(static_cast<size_t>(depth), '\t');
        fprintf(fp, "%s", indent.c_str());
        fprintf(fp, forms[(r >> 8) % 6], r % 1000, (r >> 4) % 97, (r >> 12) % 500);
        fputc('\n', fp);
        lines++;
    }
    void start(int depth) {
        fprintf(fp, "/*...%cfunction_%ld:%d:*/\n", depth == 3 ? 's' : 'S', folds, depth * 4);
        folds++;
        lines++;
    }
    void end() {
        fputs("/*...e*/\n", fp);
        lines++;
    }
    void unit() {
        start(1);
        for (int i = 0; i < 72; i++) text(1);
        for (int a = 0; a < 3; a++) {
            start(2);
            for (int i = 0; i < 40; i++) text(2);
            for (int b = 0; b < 4; b++) {
                start(3);
                for (int i = 0; i < 48; i++) text(3);
                end();
            }
            end();
        }
        end();
    }
};

long file_size(const char *name) {
    FILE *fp = fopen(name, "r");
    if (!fp) fail("cannot open a file it made");
    fseek(fp, 0, SEEK_END);
    long size = ftell(fp);
    fclose(fp);
    return size;
}

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
    std::string dir = "/tmp/ox_fold_bench_XXXXXX";
    if (!mkdtemp(dir.data())) fail("cannot make a folder in /tmp");
    std::string source = dir + "/source.c", written = dir + "/written.c", copied = dir + "/copy.c",
                cp_copied = dir + "/cp.c";

    Generator gen{fopen(source.c_str(), "w")};
    if (!gen.fp) fail("cannot write the source file");
    while (gen.lines < want) gen.unit();
    if (fclose(gen.fp) != 0) fail("cannot write the source file");
    long size = file_size(source.c_str());

    data_init();
    LANG *top = lang_create("top", "/*...", "*/", ".*\\.top", "_", 0x300);
    if (!top) fail("cannot make the language");

    // Each round reads into a new buffer and writes to a new file, as opening
    // a file and saving it over a removed old one do. The first read takes
    // fresh memory from the system; later ones reuse what the first freed.
    double first_read_ms = 0, reread_ms = 1e9, write_ms = 1e9, copy_ms = 1e9, cp_ms = 1e9;
    long rss_before = peak_rss_kib(), rss_read = 0;
    for (int round = 0; round < rounds; round++) {
        // Files written before are flushed first, so that writing them back
        // to the disk does not compete with what is timed.
        sync();
        unlink(copied.c_str());
        auto start = Clock::now();
        os_copy(source.c_str(), copied.c_str());
        copy_ms = std::min(copy_ms, ms_since(start));

        unlink(cp_copied.c_str());
        std::string command = "cp " + source + " " + cp_copied;
        start = Clock::now();
        if (system(command.c_str()) != 0) fail("cp failed");
        cp_ms = std::min(cp_ms, ms_since(start));

        BUFF *b = buff_create(source.c_str(), -1, top);
        if (!b) fail("cannot make the buffer");
        sync();
        start = Clock::now();
        if (!buff_read(b, source.c_str())) fail("buff_read failed");
        double ms = ms_since(start);
        if (round == 0) {
            first_read_ms = ms;
            rss_read = peak_rss_kib();
        } else {
            reread_ms = std::min(reread_ms, ms);
        }
        if (b->top->deep_count - 1 != gen.lines || rdloss) fail("buff_read changed the file");

        unlink(written.c_str());
        sync();
        start = Clock::now();
        if (!buff_write(b, written.c_str(), 0)) fail("buff_write failed");
        write_ms = std::min(write_ms, ms_since(start));
        if (!buff_delete(b)) fail("cannot delete the buffer");
    }
    if (!same_files(source.c_str(), written.c_str())) fail("the written file differs");

    double peak = (rss_read - rss_before) * 1024.0;
    printf("file              %ld lines, %ld folds nested 3 deep, %.1f MB (%.1f bytes a line)\n",
           gen.lines, gen.folds, size / 1e6, static_cast<double>(size) / gen.lines);
    printf("os copy (floor)   %8.1f ms   read/write loop, 1 MiB calls\n", copy_ms);
    printf("cp                %8.1f ms   %.2fx the floor\n", cp_ms, cp_ms / copy_ms);
    printf("buff_read         %8.1f ms   %.2fx the floor (first read, fresh memory)\n",
           first_read_ms, first_read_ms / copy_ms);
    if (rounds > 1) {
        printf("buff_read again   %8.1f ms   %.2fx the floor (memory reused)\n", reread_ms,
               reread_ms / copy_ms);
    }
    printf("buff_write        %8.1f ms   %.2fx the floor\n", write_ms, write_ms / copy_ms);
    printf("peak memory       %8.1f MB   %.1f bytes a line, %.2fx the file size\n", peak / 1e6,
           peak / gen.lines, peak / size);
    printf("copies, reads again and writes: best of %d rounds; the written file is identical to "
           "the source\n",
           rounds);

    for (const std::string &name : {source, written, copied, cp_copied}) unlink(name.c_str());
    rmdir(dir.c_str());
    return 0;
}
