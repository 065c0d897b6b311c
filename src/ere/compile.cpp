// ere_compile and the handle's lifetime; the error messages.
#include "ere/alloc.h"
#include "ere/compiled.h"
#include "ere/dfa.h"
#include "ere/epsilon.h"
#include "ere/ere.h"
#include "ere/errors.h"
#include "ere/parser.h"
#include "ere/prefilter.h"
#include "ere/thompson.h"
#include "ere/whole_match.h"

#include <cstring>

namespace {

const char *const messages[] = {
    nullptr,
    "out of memory",
    "unfinished sub-expression",
    "unexpected range specifier '-'",
    "unfinished range specification",
    "unfinished character class",
    "unexpected ']'",
    "unexpected ')'",
    "unexpected '?'",
    "unexpected '+'",
    "unexpected '*'",
    "unexpected '{'",
    "unexpected '}'",
    "bad minimum in counted repetition",
    "bad maximum in counted repetition",
    "unfinished counted repetition",
    "bad counted repetition",
    "too many sub-expressions",
    "too complex",
    "POSIX collating symbols not supported",
    "POSIX equivalence classes not supported",
    "bad POSIX character class",
    "bad '\\' in substitution string",
    "bad backreference in substitution string",
    "substituted string is too long",
};

constexpr int MAX_GROUPS = 20;

ERE *fail(ERE *ere, int code, int *error_code) {
    ere_discard(ere);
    *error_code = code;
    return nullptr;
}

} // namespace

namespace {

// Makes the handle's automaton and prefilter from its tree.
ERE *finish(ERE *ere, int *error_code) {
    if (node_count_groups(ere->tree) > MAX_GROUPS)
        return fail(ere, ERE_ERR_TOO_MANY_GROUPS, error_code);
    ere->min_length = node_min_length(ere->tree);

    ere_automaton *thompson = aut_work(0), *free_of_epsilons = aut_work(1);
    int start, end;
    if (!thompson_build(ere->tree, thompson, &start, &end) ||
        !epsilon_remove(start, end, thompson, free_of_epsilons))
        return fail(ere, ERE_ERR_TOO_COMPLEX, error_code);
    ere->automaton = aut_compact(free_of_epsilons);
    if (!ere->automaton) return fail(ere, ERE_ERR_MEMORY, error_code);
    ere->start = start;
    prefilter_build(ere->tree, ere->automaton, start, &ere->prefilter);
    // The automaton holds copies of the strings and sets: the tree's memory
    // goes back for the next parse.
    arena_release(&ere->nodes);
    ere->tree = nullptr;
    ere->tries_beyond_length = 64;
    return ere;
}

ERE *new_handle(int *error_code) {
    *error_code = ERE_OK;
    ERE *ere = static_cast<ERE *>(ere_alloc(sizeof(ERE)));
    if (!ere) *error_code = ERE_ERR_MEMORY;
    return ere;
}

// The tree of one whole pattern, in the arena, or null after storing an
// error code.
ere_node *whole_tree(node_arena *arena, const char *pattern, int flags, int *error_code) {
    const char *stop = nullptr;
    ere_node *tree = parse_pattern(arena, pattern, flags, &stop, error_code);
    if (tree && *stop == ')') {
        *error_code = ERE_ERR_CLOSE_GROUP;
        return nullptr;
    }
    return tree;
}

} // namespace

ERE *ere_compile(const char *pattern, int flags, int *error_code) {
    int unused;
    if (!error_code) error_code = &unused;
    ERE *ere = new_handle(error_code);
    if (!ere) return nullptr;
    int code = ERE_OK;
    ere->tree = whole_tree(&ere->nodes, pattern, flags, &code);
    if (!ere->tree) return fail(ere, code, error_code);
    return finish(ere, error_code);
}

int ere_check(const char *pattern, int flags, int *min_length) {
    int code = ERE_OK;
    node_arena arena;
    ere_node *tree = whole_tree(&arena, pattern, flags, &code);
    if (tree && node_count_groups(tree) > MAX_GROUPS) code = ERE_ERR_TOO_MANY_GROUPS;
    if (tree && min_length) *min_length = node_min_length(tree);
    arena_release(&arena);
    return code;
}

int ere_may_match_whole(const char *pattern, int flags, const char *text) {
    int code = ERE_OK;
    node_arena arena;
    ere_node *tree = whole_tree(&arena, pattern, flags, &code);
    bool may = !tree || tree_may_match_whole(tree, text, static_cast<int>(std::strlen(text)));
    arena_release(&arena);
    return may ? 1 : 0;
}

ERE *ere_compile_any(const char *const *patterns, int count, int flags, int *error_code) {
    int unused;
    if (!error_code) error_code = &unused;
    ERE *ere = new_handle(error_code);
    if (!ere) return nullptr;
    int code = ERE_OK;
    ere->tree = count > 0 ? nullptr : node_empty();
    for (int i = 0; i < count; i++) {
        ere_node *tree = whole_tree(&ere->nodes, patterns[i], flags, &code);
        if (!tree) return fail(ere, code, error_code);
        if (!ere->tree) {
            ere->tree = tree;
            continue;
        }
        ere_node *either = node_new(&ere->nodes, NODE_ALTERNATION);
        if (!either) return fail(ere, ERE_ERR_MEMORY, error_code);
        either->left = ere->tree;
        either->right = tree;
        ere->tree = either;
    }
    // Each pattern's own groups are what the union needs, and only where a
    // back-reference counts them: a path through the union runs through one
    // pattern alone.
    node_flatten_groups(&ere->tree);
    return finish(ere, error_code);
}

const char *ere_error(int code) {
    if (code < 0 || code >= static_cast<int>(sizeof messages / sizeof messages[0])) return nullptr;
    return messages[code];
}

int ere_min_len(const ERE *ere) {
    return ere->min_length;
}

void ere_discard(ERE *ere) {
    if (!ere) return;
    arena_release(&ere->nodes);
    prefilter_free(&ere->prefilter);
    aut_free(ere->automaton);
    dfa_free(ere->dfa);
    ere_free(ere);
}
