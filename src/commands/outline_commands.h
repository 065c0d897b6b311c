// The outline commands: folding the current list by its structure, taking
// every fold out of it again, and the outline rules of languages
// (text/outline_rule.h finds definitions by them, text/outline_find.h says
// which).
#pragma once

// fold_outline (depth): a closed fold around each definition in the current
// list that the outline rule of the buffer's language finds, named by the
// line that names the definition (its leading blanks dropped) and indented
// as that line is within the fold around it; definitions nested in others in
// folds nested in theirs, down to depth levels (0: every level). Only marker
// lines are added: the text stays as it was. The folds and virtual folds
// there stay; a definition that would cross a fold's boundary is left as it
// is. The cursor stays on its line, or on the fold that now holds it; the
// marks are cleared. "no outline rule for this language" when it has none,
// "not found" when the rule finds no definition.
void cmd_f_outline();

// fold_flatten: every fold of the current list, and every fold inside them,
// gives way to its lines, in place; virtual fold lines stay. The cursor stays
// on its line, or goes to the first line of the fold it was on (the line
// after it, when the fold was empty). The marks are cleared when a fold goes.
void cmd_f_flatten();

// language_outline (language, kind, first line, comments, strings): the
// language's outline rule (text/outline_rule.h): the kind and its words, the
// expression that the line naming a definition must match ("" for any), and
// the words of the language's comments and strings. An empty kind leaves the
// language without one. "language has no fold markers" for a language
// whose files cannot hold folds (no reserved comment start), "bad outline
// kind", "bad comment or string delimiter", or the expression's own message.
void cmd_lg_outline();
