#include "ere/parser.h"

#include "ere/bracket.h"
#include "ere/ere.h"
#include "ere/errors.h"
#include "ere/scanner.h"

#include <cctype>
#include <cstring>

namespace {

struct ere_parser {
    node_arena *arena;
    const char *pos;
    bool fold;
    int error;
    int nodes;
    int nesting;
};

ere_node *parse_expression(ere_parser *ps);

ere_node *make_node(ere_parser *ps, node_kind kind) {
    if (++ps->nodes > PARSE_NODE_LIMIT) {
        ps->error = ERE_ERR_TOO_COMPLEX;
        return nullptr;
    }
    ere_node *node = node_new(ps->arena, kind);
    if (!node) ps->error = ERE_ERR_MEMORY;
    return node;
}

ere_node *make_parent(ere_parser *ps, node_kind kind, ere_node *left, ere_node *right) {
    ere_node *node = make_node(ps, kind);
    if (!node) return nullptr;
    node->left = left;
    node->right = right;
    return node;
}

unsigned char fold(const ere_parser *ps, unsigned char c) {
    return ps->fold ? static_cast<unsigned char>(std::tolower(c)) : c;
}

token_kind peek(const ere_parser *ps, ere_token *token) {
    scan_token(ps->pos, token);
    return token->kind;
}

// Reads a decimal count, saturating below COUNT_UNBOUNDED so that no written
// number can be taken for "no maximum".
const char *read_count(const char *p, uint32_t *value) {
    uint64_t n = 0;
    while (*p >= '0' && *p <= '9') {
        n = n * 10 + (*p++ - '0');
        if (n >= COUNT_UNBOUNDED) n = COUNT_UNBOUNDED - 1;
    }
    *value = static_cast<uint32_t>(n);
    return p;
}

// p is just after "{". Returns the position after "}", or null with the error set.
const char *parse_counts(ere_parser *ps, const char *p, uint32_t *min, uint32_t *max) {
    if (!std::isdigit(static_cast<unsigned char>(*p))) {
        ps->error = ERE_ERR_COUNT_MIN;
        return nullptr;
    }
    p = read_count(p, min);
    *max = *min;
    if (*p == ',') {
        p++;
        if (*p == '}')
            *max = COUNT_UNBOUNDED;
        else if (std::isdigit(static_cast<unsigned char>(*p)))
            p = read_count(p, max);
        else {
            ps->error = ERE_ERR_COUNT_MAX;
            return nullptr;
        }
    }
    if (*p != '}') {
        ps->error = ERE_ERR_UNFINISHED_COUNT;
        return nullptr;
    }
    if (*max < *min) {
        ps->error = ERE_ERR_COUNT_ORDER;
        return nullptr;
    }
    return p + 1;
}

ere_node *parse_group(ere_parser *ps) {
    if (++ps->nesting > PARSE_NESTING_LIMIT) {
        ps->error = ERE_ERR_TOO_COMPLEX;
        return nullptr;
    }
    ere_node *inner = parse_expression(ps);
    ps->nesting--;
    if (!inner) return nullptr;
    node_flatten_groups(&inner);
    ere_token token;
    if (peek(ps, &token) != TOK_CLOSE_GROUP) {
        ps->error = ERE_ERR_UNFINISHED_GROUP;
        return nullptr;
    }
    ps->pos = token.next;
    return make_parent(ps, NODE_GROUP, inner, nullptr);
}

ere_node *parse_string(ere_parser *ps, const ere_token &token) {
    ere_node *node = make_node(ps, NODE_STRING);
    if (!node) return nullptr;
    node->string = static_cast<unsigned char *>(arena_take(ps->arena, token.length + 1));
    if (!node->string) {
        ps->error = ERE_ERR_MEMORY;
        return nullptr;
    }
    node->string[0] = static_cast<unsigned char>(token.length);
    for (int i = 0; i < token.length; i++)
        node->string[i + 1] = fold(ps, static_cast<unsigned char>(token.string[i]));
    return node;
}

ere_node *parse_atom(ere_parser *ps) {
    ere_token token;
    node_kind kind;
    switch (peek(ps, &token)) {
    case TOK_END:
    case TOK_CLOSE_GROUP:
    case TOK_BAR: return node_empty();
    case TOK_STAR: ps->error = ERE_ERR_STAR; return nullptr;
    case TOK_PLUS: ps->error = ERE_ERR_PLUS; return nullptr;
    case TOK_OPTIONAL: ps->error = ERE_ERR_OPTIONAL; return nullptr;
    case TOK_OPEN_COUNT: ps->error = ERE_ERR_OPEN_COUNT; return nullptr;
    case TOK_CLOSE_COUNT: ps->error = ERE_ERR_CLOSE_COUNT; return nullptr;
    case TOK_CLOSE_SET: ps->error = ERE_ERR_CLOSE_BRACKET; return nullptr;
    case TOK_OPEN_GROUP: ps->pos = token.next; return parse_group(ps);
    case TOK_OPEN_SET: {
        ere_node *node = make_node(ps, NODE_SET);
        if (!node) return nullptr;
        const char *next =
            bracket_parse(ps->arena, token.next, ps->fold ? ERE_ICASE : 0, &node->set, &ps->error);
        if (!next) return nullptr;
        ps->pos = next;
        return node;
    }
    case TOK_STRING: ps->pos = token.next; return parse_string(ps, token);
    case TOK_CHAR: kind = NODE_CHAR; break;
    case TOK_EXCLUDED: kind = NODE_EXCLUDED; break;
    case TOK_BACKREF: kind = NODE_BACKREF; break;
    case TOK_ANY: kind = NODE_ANY; break;
    case TOK_WORD_CHAR: kind = NODE_WORD_CHAR; break;
    case TOK_NON_WORD_CHAR: kind = NODE_NON_WORD_CHAR; break;
    case TOK_START_ANCHOR: kind = NODE_START_ANCHOR; break;
    case TOK_END_ANCHOR: kind = NODE_END_ANCHOR; break;
    case TOK_WORD_START: kind = NODE_WORD_START; break;
    case TOK_WORD_END: kind = NODE_WORD_END; break;
    case TOK_INSIDE_WORD: kind = NODE_INSIDE_WORD; break;
    case TOK_WORD_BOUNDARY: kind = NODE_WORD_BOUNDARY; break;
    default: kind = NODE_EMPTY; break; // every token is handled above
    }
    ere_node *node = make_node(ps, kind);
    if (!node) return nullptr;
    node->byte = kind == NODE_BACKREF ? token.value : fold(ps, token.value);
    ps->pos = token.next;
    return node;
}

ere_node *parse_piece(ere_parser *ps) {
    ere_node *node = parse_atom(ps);
    while (node) {
        ere_token token;
        node_kind kind;
        switch (peek(ps, &token)) {
        case TOK_OPTIONAL: kind = NODE_OPTIONAL; break;
        case TOK_PLUS: kind = NODE_PLUS; break;
        case TOK_STAR: kind = NODE_STAR; break;
        case TOK_OPEN_COUNT: kind = NODE_COUNTED; break;
        default: return node;
        }
        uint32_t min = 0, max = 0;
        const char *next = token.next;
        if (kind == NODE_COUNTED) {
            next = parse_counts(ps, token.next, &min, &max);
            if (!next) return nullptr;
        }
        ps->pos = next;
        node = make_parent(ps, kind, node, nullptr);
        if (node) {
            node->min = min;
            node->max = max;
        }
    }
    return nullptr;
}

ere_node *parse_branch(ere_parser *ps) {
    ere_node *node = parse_piece(ps);
    ere_token token;
    while (node) {
        token_kind kind = peek(ps, &token);
        if (kind == TOK_END || kind == TOK_CLOSE_GROUP || kind == TOK_BAR) break;
        ere_node *right = parse_piece(ps);
        if (!right) return nullptr;
        node = make_parent(ps, NODE_CONCAT, node, right);
    }
    return node;
}

ere_node *parse_expression(ere_parser *ps) {
    ere_node *node = parse_branch(ps);
    ere_token token;
    while (node && peek(ps, &token) == TOK_BAR) {
        ps->pos = token.next;
        ere_node *right = parse_branch(ps);
        if (!right) return nullptr;
        node = make_parent(ps, NODE_ALTERNATION, node, right);
    }
    return node;
}

} // namespace

ere_node *parse_pattern(node_arena *arena, const char *pattern, int flags, const char **stop,
                        int *error) {
    ere_parser ps = {arena, pattern, (flags & ERE_ICASE) != 0, ERE_OK, 0, 0};
    ere_node *tree = parse_expression(&ps);
    if (!tree) {
        *error = ps.error;
        return nullptr;
    }
    *stop = ps.pos;
    return tree;
}
