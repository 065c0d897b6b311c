// The automaton: list order, duplicate edges, the fixed limits, and epsilon
// removal checked against a literal walk of every epsilon path.
#include "compiled.h"
#include "ere/automaton.h"
#include "ere/compiled.h"
#include "ere/epsilon.h"
#include "ere/parser.h"
#include "ere/thompson.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

namespace {

struct AutomatonDeleter {
    void operator()(Automaton *aut) const { aut_free(aut); }
};
using AutomatonPtr = std::unique_ptr<Automaton, AutomatonDeleter>;

struct NodeDeleter {
    void operator()(Node *node) const { node_free(node); }
};
using NodePtr = std::unique_ptr<Node, NodeDeleter>;

// The edges of a state's list, front to back, as "kind:target" words.
std::string list_of(const Automaton *aut, int state) {
    std::string out;
    for (int e = aut->head[state]; e >= 0; e = aut->edges[e].next) {
        const Edge &edge = aut->edges[e];
        out += std::to_string(edge.kind);
        if (edge.kind == EDGE_BYTE) out += std::string("'") + static_cast<char>(edge.operand.byte);
        out += ":" + std::to_string(edge.target) + " ";
    }
    return out;
}

std::string start_list(const char *pattern) {
    Compiled c(pattern);
    return list_of(c.ere->automaton, c.ere->start);
}

TEST(EreAutomaton, ListOrderFollowsTheConstruction) {
    // "a|b": states 0-1 "a", 2-3 "b", 4-5 the alternation.
    EXPECT_EQ(start_list("a|b"), "0'a:1 0'b:3 ");
    // "a?b": the edge that skips "a" was added first, and lists grow at the front.
    EXPECT_EQ(start_list("a?b"), "0'b:5 0'a:1 ");
    EXPECT_EQ(start_list("a*b"), "0'a:1 0'b:4 ");
}

TEST(EreAutomaton, DuplicateRequestsAdvanceTheCounter) {
    const char *stop;
    int error;
    NodePtr tree(parse_pattern("a++", 0, &stop, &error));
    ASSERT_TRUE(tree);
    AutomatonPtr aut(aut_new());
    int start, end;
    ASSERT_TRUE(thompson_build(tree.get(), aut.get(), &start, &end));
    // The byte edge, the epsilon edge of the inner "+", and the outer "+"
    // asking for the same epsilon edge again.
    EXPECT_EQ(aut->edge_counter, 3);
    EXPECT_EQ(list_of(aut.get(), end), "7:0 ");
    EXPECT_EQ(aut->edges[2].kind, 0); // the duplicate's slot stays empty
}

TEST(EreAutomaton, StateLimit) {
    EXPECT_EQ(Compiled("a{249}").error, 0);
    EXPECT_EQ(Compiled("a{250}").error, 18);
    // Two states for the counted node, six for each copy of a group of two.
    EXPECT_EQ(Compiled("(ab){83}").error, 0);
    EXPECT_EQ(Compiled("(ab){84}").error, 18);
    Compiled c("a{249}");
    EXPECT_EQ(c.ere->automaton->state_count, 500);
    EXPECT_EQ(find("a{248}b", (std::string(249, 'a') + "b").c_str()), "1,249");
}

TEST(EreAutomaton, EdgeLimit) {
    // Each "[ab]?" adds an edge to every later one from its start: the
    // epsilon-free automaton of n of them holds about n*n/2 edges.
    auto pattern = [](int n) {
        std::string p;
        for (int i = 0; i < n; i++) p += "[ab]?";
        return p;
    };
    int fits = 0;
    while (Compiled(pattern(fits + 1).c_str()).error == 0) fits++;
    EXPECT_GT(fits, 40);
    EXPECT_LT(fits, 60);
    EXPECT_EQ(Compiled(pattern(fits + 1).c_str()).error, 18);
    Compiled c(pattern(fits).c_str());
    EXPECT_LE(c.ere->automaton->edge_counter, AUT_EDGES);
}

// Epsilon removal as a literal walk of every epsilon path, however many.
struct ReferenceRemoval {
    Automaton *from, *to;
    long steps = 0;

    bool walk(int useful, int state) {
        if (from->flags[state] & STATE_IN_PROGRESS) return true;
        if (++steps > 200000) return false;
        for (int e = from->head[state]; e >= 0; e = from->edges[e].next) {
            const Edge &edge = from->edges[e];
            if (edge.kind == EDGE_EPSILON) {
                from->flags[state] |= STATE_IN_PROGRESS;
                bool ok = walk(useful, edge.target);
                from->flags[state] &= ~STATE_IN_PROGRESS;
                if (!ok) return false;
            } else if (!aut_add_edge(to, useful, aut_edge(edge.kind, edge.operand, edge.target))) {
                return false;
            }
        }
        return true;
    }

    bool reaches(int state) {
        if (from->flags[state] & STATE_ACCEPTING) return true;
        if ((from->flags[state] & STATE_IN_PROGRESS) || ++steps > 200000) return false;
        from->flags[state] |= STATE_IN_PROGRESS;
        bool found = false;
        for (int e = from->head[state]; e >= 0 && !found; e = from->edges[e].next)
            if (from->edges[e].kind == EDGE_EPSILON) found = reaches(from->edges[e].target);
        from->flags[state] &= ~STATE_IN_PROGRESS;
        return found;
    }

    bool run(int start, int end) {
        to->state_count = from->state_count;
        from->flags[end] |= STATE_ACCEPTING;
        to->flags[end] |= STATE_ACCEPTING;
        for (int s = 0; s < from->state_count; s++) {
            if (reaches(s)) to->flags[s] |= STATE_ACCEPTING;
        }
        to->flags[start] |= STATE_USEFUL;
        for (int s = 0; s < from->state_count; s++)
            for (int e = from->head[s]; e >= 0; e = from->edges[e].next)
                if (from->edges[e].kind != EDGE_EPSILON)
                    to->flags[from->edges[e].target] |= STATE_USEFUL;
        for (int s = 0; s < from->state_count; s++) {
            if (!(to->flags[s] & STATE_USEFUL)) continue;
            for (int e = from->head[s]; e >= 0; e = from->edges[e].next)
                if (from->edges[e].kind != EDGE_EPSILON &&
                    !aut_add_edge(to, s,
                                  aut_edge(from->edges[e].kind, from->edges[e].operand,
                                           from->edges[e].target)))
                    return false;
        }
        for (int s = 0; s < from->state_count; s++)
            if ((to->flags[s] & STATE_USEFUL) && !walk(s, s)) return false;
        return true;
    }
};

std::string random_pattern(std::mt19937 &rng, int depth) {
    auto pick = [&](int n) { return static_cast<int>(rng() % n); };
    std::string atom;
    if (depth == 0 || pick(3) == 0) {
        const char *atoms[] = {"a", "b", "[ab]", "^", "\\<", "()"};
        atom = atoms[pick(6)];
    } else if (pick(3) == 0) {
        atom = "(" + random_pattern(rng, depth - 1) + "|" + random_pattern(rng, depth - 1) + ")";
    } else {
        atom = "(" + random_pattern(rng, depth - 1) + random_pattern(rng, depth - 1) + ")";
    }
    const char *quantifiers[] = {"", "?", "*", "+", "{0,2}", "{2}", "{1,}", "?*"};
    return atom + quantifiers[pick(8)];
}

TEST(EreAutomaton, RemovalMatchesTheLiteralWalk) {
    std::mt19937 rng(12345);
    int compared = 0, past_last_slot = 0;
    for (int i = 0; i < 600; i++) {
        std::string pattern = "(" + random_pattern(rng, 4) + ")";
        const char *stop;
        int error;
        NodePtr tree(parse_pattern(pattern.c_str(), 0, &stop, &error));
        ASSERT_TRUE(tree) << pattern;
        AutomatonPtr thompson(aut_new()), mine(aut_new()), reference(aut_new());
        int start, end;
        if (!thompson_build(tree.get(), thompson.get(), &start, &end)) continue;
        AutomatonPtr copy(aut_new());
        *copy = *thompson;
        ReferenceRemoval ref = {copy.get(), reference.get()};
        bool reference_ok = ref.run(start, end);
        if (ref.steps > 200000) continue;
        bool mine_ok = epsilon_remove(start, end, thompson.get(), mine.get());
        ASSERT_EQ(mine_ok, reference_ok) << pattern;
        compared++;
        if (reference->edge_counter >= AUT_EDGES) past_last_slot++;
        if (!reference_ok) continue;
        if (reference->edge_counter < AUT_EDGES) {
            EXPECT_EQ(mine->edge_counter, reference->edge_counter);
        }
        for (int s = 0; s < reference->state_count; s++) {
            ASSERT_EQ(mine->flags[s], reference->flags[s]) << pattern << " state " << s;
            ASSERT_EQ(list_of(mine.get(), s), list_of(reference.get(), s))
                << pattern << " state " << s;
        }
    }
    EXPECT_GT(compared, 500);
    EXPECT_GT(past_last_slot, 20);
}

} // namespace
