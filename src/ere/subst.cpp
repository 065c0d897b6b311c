// ere_subs_with: the text with one match replaced by a substitution string.
#include "ere/ere.h"
#include "ere/errors.h"

#include <cstring>

namespace {

struct subst_output {
    char *text;
    int length;
    int max;

    bool append(const char *bytes, int n) {
        if (n > max - length) return false;
        std::memcpy(text + length, bytes, n);
        length += n;
        return true;
    }
};

int fail(int code, int *error_code) {
    if (error_code) *error_code = code;
    return 0;
}

} // namespace

int ere_subs_with(const char *text, int match_offset, int match_length, const ERE_SUBS *subs,
                  const char *replacement, char *output, int max, int *error_code) {
    subst_output out = {output, 0, max};
    int groups = subs ? subs->count : 0;
    if (!out.append(text, match_offset)) return fail(ERE_ERR_SUBST_LENGTH, error_code);
    for (const char *r = replacement; *r;) {
        const char *piece = r;
        int n = 1;
        if (*r == '\\') {
            if (r[1] == '\0') return fail(ERE_ERR_SUBST_BACKSLASH, error_code);
            if (r[1] >= '1' && r[1] <= '9') {
                int group = r[1] - '1';
                if (group >= groups) return fail(ERE_ERR_SUBST_GROUP, error_code);
                piece = text + subs->span[group].offset;
                n = subs->span[group].length;
            } else {
                piece = r + 1;
            }
            r += 2;
        } else {
            r++;
        }
        if (!out.append(piece, n)) return fail(ERE_ERR_SUBST_LENGTH, error_code);
    }
    const char *rest = text + match_offset + match_length;
    if (!out.append(rest, static_cast<int>(std::strlen(rest))))
        return fail(ERE_ERR_SUBST_LENGTH, error_code);
    output[out.length] = '\0';
    return 1;
}
