#include "ere/node.h"

#include <climits>

static ere_node empty_node = {NODE_EMPTY, 0, 0, 0, nullptr, nullptr, nullptr, nullptr};

ere_node *node_empty() {
    return &empty_node;
}

ere_node *node_new(node_arena *arena, node_kind kind) {
    ere_node *node = static_cast<ere_node *>(arena_take(arena, sizeof(ere_node)));
    if (node) node->kind = kind;
    return node;
}

static long long saturate(long long n) {
    return n > INT_MAX ? INT_MAX : n;
}

int node_min_length(const ere_node *node) {
    switch (node->kind) {
    case NODE_CHAR:
    case NODE_EXCLUDED:
    case NODE_SET:
    case NODE_WORD_CHAR:
    case NODE_NON_WORD_CHAR:
    case NODE_ANY: return 1;
    case NODE_STRING: return node->string[0];
    case NODE_PLUS:
    case NODE_GROUP: return node_min_length(node->left);
    case NODE_COUNTED: return saturate(node->min * (long long)node_min_length(node->left));
    case NODE_ALTERNATION: {
        int left = node_min_length(node->left), right = node_min_length(node->right);
        return left < right ? left : right;
    }
    case NODE_CONCAT:
        return saturate((long long)node_min_length(node->left) + node_min_length(node->right));
    default: return 0;
    }
}

int node_count_groups(const ere_node *node) {
    switch (node->kind) {
    case NODE_GROUP: return 1 + node_count_groups(node->left);
    case NODE_OPTIONAL:
    case NODE_PLUS:
    case NODE_STAR:
    case NODE_COUNTED: return node_count_groups(node->left);
    case NODE_ALTERNATION:
    case NODE_CONCAT: return node_count_groups(node->left) + node_count_groups(node->right);
    default: return 0;
    }
}

static bool has_level_backref(const ere_node *node) {
    switch (node->kind) {
    case NODE_BACKREF: return true;
    case NODE_OPTIONAL:
    case NODE_PLUS:
    case NODE_STAR:
    case NODE_COUNTED: return has_level_backref(node->left);
    case NODE_ALTERNATION:
    case NODE_CONCAT: return has_level_backref(node->left) || has_level_backref(node->right);
    default: return false;
    }
}

static void replace_level_groups(ere_node **slot) {
    ere_node *node = *slot;
    switch (node->kind) {
    case NODE_GROUP: *slot = node->left; break;
    case NODE_OPTIONAL:
    case NODE_PLUS:
    case NODE_STAR:
    case NODE_COUNTED: replace_level_groups(&node->left); break;
    case NODE_ALTERNATION:
    case NODE_CONCAT:
        replace_level_groups(&node->left);
        replace_level_groups(&node->right);
        break;
    default: break;
    }
}

void node_flatten_groups(ere_node **expression) {
    if (!has_level_backref(*expression)) replace_level_groups(expression);
}
