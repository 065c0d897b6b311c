// Usage: ere_bench [lines [pattern...]]
//
// Searches every line of a generated C-like file with ere_match_fwd and with
// the C library's POSIX regexec (REG_EXTENDED), for a few typical search
// patterns, and prints both times and their ratio; then counts every match in
// every line of the folded file of the search benchmark (bench/common/
// folded_file.h), as a search that counts matches does. Both must find the
// same matches; the program exits with status 1 if they do not.
#include "common/folded_file.h"
#include "common/timing.h"
#include "ere/ere.h"

#include <regex.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace bench;

// All lines, each NUL-terminated, in one block.
struct line_texts {
    std::string block;
    std::vector<int> starts;
};

line_texts generate(int count) {
    static const char *const names[] = {"count", "buffer", "length", "value",  "index", "result",
                                        "node",  "line",   "offset", "status", "table", "cursor",
                                        "state", "flags",  "limit",  "text",   "next",  "prev",
                                        "size",  "data",   "key",    "width",  "row",   "column"};
    static const char *const types[] = {"int",           "char *",       "unsigned", "long",
                                        "struct node *", "const char *", "size_t",   "bool"};
    static const char *const calls[] = {"strlen",    "memcpy",    "malloc",   "free",    "printf",
                                        "line_next", "fold_open", "scan_num", "get_line"};
    std::mt19937 rng(42);
    auto pick = [&](int n) { return static_cast<int>(rng() % n); };
    auto name = [&] {
        std::string n = names[pick(24)];
        if (pick(3) == 0) n += "_" + std::string(names[pick(24)]);
        if (pick(4) == 0) n += std::to_string(pick(100));
        return n;
    };
    line_texts lines;
    lines.block.reserve(static_cast<size_t>(count) * 40);
    for (int i = 0; i < count; i++) {
        std::string l(4 * pick(4), ' ');
        switch (pick(16)) {
        case 0: l += "if (" + name() + " > " + std::to_string(pick(1000)) + ") {"; break;
        case 1: l += "while (" + name() + " != NULL) {"; break;
        case 2: l += "for (" + name() + " = 0; i < " + name() + "; i++) {"; break;
        case 3: l += "return " + name() + ";"; break;
        case 4:
            l += std::string(types[pick(8)]) + " " + name() + " = " + std::to_string(pick(500)) +
                 ";";
            break;
        case 5: l += name() + " = " + calls[pick(9)] + "(" + name() + ", " + name() + ");"; break;
        case 6: l += calls[pick(9)] + std::string("(") + name() + ");"; break;
        case 7: l += "}"; break;
        case 8: l += "/* " + name() + " holds the " + name() + " of the " + name() + " */"; break;
        case 9: l += name() + " += " + name() + " * " + std::to_string(pick(64)) + ";"; break;
        case 10: l = "#include \"" + name() + ".h\""; break;
        case 11: l += "} else {"; break;
        case 12:
            l += name() + "[" + name() + "] = '" + static_cast<char>('a' + pick(26)) + "';";
            break;
        case 13:
            l += "static " + std::string(types[pick(8)]) + " " + name() + "(" + types[pick(8)] +
                 " " + name() + ")";
            break;
        case 14: l += "case " + std::to_string(pick(30)) + ": " + name() + "++; break;"; break;
        default: l += ""; break;
        }
        lines.starts.push_back(static_cast<int>(lines.block.size()));
        lines.block += l;
        lines.block += '\0';
    }
    return lines;
}

// The lines of the search benchmark's folded file.
line_texts folded_lines(int count) {
    line_texts lines;
    FILE *fp = std::tmpfile();
    if (!fp) return lines;
    folded_file_writer gen{fp};
    gen.fill(count);
    std::rewind(fp);
    char line[1024];
    while (std::fgets(line, sizeof line, fp)) {
        lines.starts.push_back(static_cast<int>(lines.block.size()));
        lines.block.append(line, std::strcspn(line, "\n"));
        lines.block += '\0';
    }
    std::fclose(fp);
    return lines;
}

struct run_outcome {
    double seconds;
    long matched;
    long checksum; // of match offsets and lengths, to compare the two
};

// The best of five runs over all lines, in processor time: the machine may be
// busy with other work.
template <typename F> run_outcome time_over(const line_texts &lines, F match_line) {
    run_outcome found = {0, 0, 0};
    best_run best;
    for (int run = 0; run < 5; run++) {
        best.time([&] {
            run_outcome o = {0, 0, 0};
            for (int start : lines.starts) {
                int at, length;
                if (match_line(lines.block.c_str() + start, &at, &length)) {
                    o.matched++;
                    o.checksum += at * 31L + length;
                }
            }
            found = o;
        });
    }
    found.seconds = best.cpu / 1e3;
    return found;
}

// A pattern compiled by both.
struct compiled_ere {
    ERE *ere = nullptr;
    regex_t posix;
    bool posix_ok = false;

    explicit compiled_ere(const char *pattern) {
        int error;
        ere = ere_compile(pattern, 0, &error);
        posix_ok = regcomp(&posix, pattern, REG_EXTENDED) == 0;
        if (!ere || !posix_ok) std::printf("%s: does not compile\n", pattern);
    }
    ~compiled_ere() {
        if (posix_ok) regfree(&posix);
        ere_discard(ere);
    }
    compiled_ere(const compiled_ere &) = delete;
    compiled_ere &operator=(const compiled_ere &) = delete;
    bool ok() const { return ere && posix_ok; }
};

// Every match of a line, each search starting where the last match ended
// (one byte on after an empty one).
template <typename F> bool every_match(const char *line, int *at, int *length, F match_from) {
    int n = 0, sum = 0, from = 0, size = static_cast<int>(std::strlen(line));
    int found_at, found_length;
    while (from <= size && match_from(line, from, &found_at, &found_length)) {
        n++;
        sum += found_at * 7 + found_length;
        from = found_at + found_length + (found_length == 0);
    }
    *at = sum;
    *length = n;
    return n > 0;
}

// The first match in a line from an offset, by each.
auto ere_from(const compiled_ere &c) {
    return [&c](const char *line, int from, int *at, int *length) {
        return ere_match_fwd(c.ere, 0, line, from, at, length, nullptr) == 1;
    };
}

auto regexec_from(const compiled_ere &c) {
    return [&c](const char *line, int from, int *at, int *length) {
        regmatch_t m[1];
        if (regexec(&c.posix, line + from, 1, m, from ? REG_NOTBOL : 0) != 0) return false;
        *at = from + static_cast<int>(m[0].rm_so);
        *length = static_cast<int>(m[0].rm_eo - m[0].rm_so);
        return true;
    };
}

// Times both over the lines, for the first match of each line or for every
// match in it, and prints the pattern's row; false when they found
// different matches.
template <bool Every>
bool compare(const char *pattern, const compiled_ere &c, const line_texts &lines) {
    auto per_line = [](auto match_from) {
        return [match_from](const char *line, int *at, int *length) {
            if constexpr (Every)
                return every_match(line, at, length, match_from);
            else
                return match_from(line, 0, at, length);
        };
    };
    run_outcome ours = time_over(lines, per_line(ere_from(c)));
    run_outcome theirs = time_over(lines, per_line(regexec_from(c)));
    std::printf("%-24s %9ld %12.3f %12.3f %8.1fx\n", pattern, ours.matched, ours.seconds,
                theirs.seconds, theirs.seconds / ours.seconds);
    if (ours.matched == theirs.matched && ours.checksum == theirs.checksum) return true;
    std::printf("  results differ: %ld/%ld matches\n", ours.matched, theirs.matched);
    return false;
}

// Every match in the folded file's lines; false when the two differ.
bool count_every_match(int count) {
    line_texts lines = folded_lines(count);
    std::printf("\nevery match in %zu lines of the folded file\n", lines.starts.size());
    std::printf("%-24s %9s %12s %12s %9s\n", "pattern", "lines hit", "ere (s)", "regexec (s)",
                "ratio");
    bool agree = true;
    for (const char *pattern : {"return", "[a-z_]+\\(", "(while|for) *\\("}) {
        compiled_ere c(pattern);
        if (!c.ok()) return false;
        agree &= compare<true>(pattern, c, lines);
    }
    return agree;
}

} // namespace

int main(int argc, char **argv) {
    int count = argc > 1 ? std::atoi(argv[1]) : 1000000;
    line_texts lines = generate(count);
    std::printf("%d lines, %zu bytes\n\n", count, lines.block.size());
    std::printf("%-24s %9s %12s %12s %9s\n", "pattern", "matches", "ere (s)", "regexec (s)",
                "ratio");

    std::vector<const char *> patterns = {"return",     "value[0-9]+", "while|for",
                                          "[a-z_]+\\(", "^#include",   "\\(([a-z]+), [a-z_]+\\)"};
    if (argc > 2) patterns.assign(argv + 2, argv + argc);
    bool agree = true;
    for (const char *pattern : patterns) {
        compiled_ere c(pattern);
        if (!c.ok()) return 1;
        agree &= compare<false>(pattern, c, lines);
    }
    if (argc <= 2 && !count_every_match(count)) agree = false;
    return agree ? 0 : 1;
}
