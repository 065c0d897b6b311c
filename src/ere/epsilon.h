// Epsilon removal: the Thompson automaton to one with the same states and no
// epsilon edges, which the compiled expression keeps and the matcher walks.
#pragma once

#include "ere/automaton.h"

// Fills to (a new automaton) from the Thompson automaton from, whose start
// and end states are given. Returns false when to runs out of edge slots (or
// the removal would take unreasonably long).
bool epsilon_remove(int start, int end, ere_automaton *from, ere_automaton *to);
