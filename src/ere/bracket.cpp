#include "ere/bracket.h"

#include "ere/ere.h"
#include "ere/errors.h"
#include "ere/node.h"
#include "ere/scanner.h"

#include <cctype>
#include <cstring>

namespace {

struct char_class {
    const char *name;
    int (*test)(int);
};

int is_blank(int c) {
    return c == ' ' || c == '\t';
}

const char_class char_classes[] = {
    {"alnum", isalnum}, {"alpha", isalpha}, {"blank", is_blank},  {"cntrl", iscntrl},
    {"digit", isdigit}, {"lower", islower}, {"print", isprint},   {"punct", ispunct},
    {"space", isspace}, {"upper", isupper}, {"xdigit", isxdigit},
};

struct set_builder {
    unsigned char *set;
    bool fold;

    void add(int byte) { set_add(set, fold ? std::tolower(byte) : byte); }
};

// p is just after "[:". Returns the position after ":]", or null when no
// known class name follows.
const char *add_class(const char *p, set_builder *builder) {
    for (const char_class &cc : char_classes) {
        std::size_t length = std::strlen(cc.name);
        if (std::strncmp(p, cc.name, length) == 0 && p[length] == ':' && p[length + 1] == ']') {
            for (int byte = 0; byte < 256; byte++)
                if (cc.test(byte)) builder->add(byte);
            return p + length + 2;
        }
    }
    return nullptr;
}

// Reads one member character at p; returns its value (0 when the expression
// ends there) and the position after it.
int read_member(const char *p, const char **next) {
    if (*p == '\\') return scan_escape(p + 1, next);
    *next = *p ? p + 1 : p;
    return static_cast<unsigned char>(*p);
}

} // namespace

const char *bracket_parse(node_arena *arena, const char *p, int flags, unsigned char **set_out,
                          int *error) {
    set_builder builder = {static_cast<unsigned char *>(arena_take(arena, SET_BYTES)),
                           (flags & ERE_ICASE) != 0};
    if (!builder.set) {
        *error = ERE_ERR_MEMORY;
        return nullptr;
    }
    bool negated = false;
    int previous = -1;
    if (*p == '^') {
        negated = true;
        p++;
    }
    if (*p == ']') {
        p++;
    } else {
        for (;;) {
            if (*p == ']') {
                p++;
                break;
            }
            if (*p == '[' && p[1] == ':') {
                p = add_class(p + 2, &builder);
                if (!p) {
                    *error = ERE_ERR_CLASS;
                    break;
                }
                previous = -1;
                continue;
            }
            if (*p == '[' && p[1] == '.') {
                *error = ERE_ERR_COLLATING;
                p = nullptr;
                break;
            }
            if (*p == '[' && p[1] == '=') {
                *error = ERE_ERR_EQUIVALENCE;
                p = nullptr;
                break;
            }
            const char *next;
            if (*p == '-') {
                if (previous < 0) {
                    *error = ERE_ERR_RANGE_START;
                    p = nullptr;
                    break;
                }
                int last = p[1] == ']' ? 0 : read_member(p + 1, &next);
                if (last == 0) {
                    *error = ERE_ERR_UNFINISHED_RANGE;
                    p = nullptr;
                    break;
                }
                for (int byte = previous + 1; byte <= last; byte++) builder.add(byte);
                previous = last;
                p = next;
                continue;
            }
            int member = read_member(p, &next);
            if (member == 0) {
                *error = ERE_ERR_UNFINISHED_SET;
                p = nullptr;
                break;
            }
            builder.add(member);
            previous = member;
            p = next;
        }
    }
    if (!p) return nullptr;
    if (negated)
        for (int i = 0; i < SET_BYTES; i++)
            builder.set[i] = static_cast<unsigned char>(~builder.set[i]);
    builder.set[0] &= ~1;
    *set_out = builder.set;
    return p;
}
