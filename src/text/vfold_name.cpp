#include "text/vfold_name.h"

#include "text/scan.h"

namespace {

bool needs_quote(char c) {
    return c == ' ' || c == '\t' || c == '\'';
}

} // namespace

int enquote_vfold_fn(const char *name, char *out) {
    int n = 0;
    for (const char *p = name; *p; p++) {
        if (n + (needs_quote(*p) ? 2 : 1) > LINE_MAX_TEXT) return 0;
        if (needs_quote(*p)) out[n++] = '\'';
        out[n++] = *p;
    }
    out[n] = 0;
    return 1;
}

void dequote_vfold_fn(const char *quoted, char *out) {
    int n = 0;
    for (const char *p = skip_space(quoted); *p && *p != ' ' && *p != '\t'; p++) {
        if (*p == '\'' && p[1]) p++;
        if (n == LINE_MAX_TEXT) break;
        out[n++] = *p;
    }
    out[n] = 0;
}
