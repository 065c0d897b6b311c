// The generated file the file and session benchmarks share: C-like text lines
// in folds nested three deep, marked for the language "top". One unit of 800
// lines is a level-1 fold holding 72 text lines and 3 level-2 folds, each
// holding 40 text lines and 4 closed level-3 folds of 48 text lines: 16 folds
// and 32 marker lines a unit. The text is the same on every run. With braces
// set, each fold's lines are also a block of C++ (a level-1 fold a namespace,
// a level-2 fold a struct, a level-3 fold a function), whose head and closing
// lines add 32 lines a unit, so that an outline finds the folds again.
#pragma once

#include "common/fail.h"

#include <cstdio>
#include <string>

struct folded_file_writer {
    FILE *fp;
    long lines = 0, folds = 0;
    unsigned seed = 12345;
    bool braces = false;

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
        indent(depth);
        std::fprintf(fp, forms[(r >> 8) % 6], r % 1000, (r >> 4) % 97, (r >> 12) % 500);
        std::fputc('\n', fp);
        lines++;
    }
    void start(int depth) {
        std::fprintf(fp, "/*...%cfunction_%ld:%d:*/\n", depth == 3 ? 's' : 'S', folds, depth * 4);
        lines++;
        if (braces) {
            static const char *const heads[] = {"namespace unit_%ld {", "struct part_%ld {",
                                                "int function_%ld(int x) {"};
            indent(depth - 1);
            std::fprintf(fp, heads[depth - 1], folds);
            std::fputc('\n', fp);
            lines++;
        }
        folds++;
    }
    void end(int depth) {
        if (braces) {
            indent(depth - 1);
            std::fputs(depth == 2 ? "};\n" : "}\n", fp);
            lines++;
        }
        std::fputs("/*...e*/\n", fp);
        lines++;
    }
    void indent(int depth) {
        for (int i = 0; i < depth; i++) std::fputc('\t', fp);
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
                end(3);
            }
            end(2);
        }
        end(1);
    }
    // Whole units until the file holds at least the lines.
    void fill(long want) {
        while (lines < want) unit();
    }
};

// Writes the file of at least the lines, after a first line of its own if
// one is given (counted among them).
inline folded_file_writer write_folded_file(const std::string &name, long want,
                                            const char *first_line = nullptr) {
    folded_file_writer gen{std::fopen(name.c_str(), "w")};
    if (!gen.fp) bench::fail("cannot write " + name);
    if (first_line) {
        std::fprintf(gen.fp, "%s\n", first_line);
        gen.lines++;
    }
    gen.fill(want);
    if (std::fclose(gen.fp) != 0) bench::fail("cannot write " + name);
    gen.fp = nullptr;
    return gen;
}
