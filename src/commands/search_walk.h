// The walk of a search through the fold tree, and its scope.
//
// A search belongs to the fold context it started in (the root fold) and to
// that buffer. It walks the lines of the root fold's list in order; it enters
// a fold line's fold when the setting for folds says so (always, or if the
// fold is open), and a virtual fold line's file the same way under the setting
// for virtual folds, reading it into a child buffer (commands/vfold.h), or,
// when another buffer holds that file already, taking that buffer as the
// child if the user says so, as fold_in does. It never leaves the root fold
// nor its buffer. Forwards a fold line's name is searched before its
// contents, backwards after them, so that each line in scope is searched once
// either way. A child buffer is left when its list ends, written back whole
// through the one safe write without a question when it is changed (the
// read-only question is still asked), and deleted.
#pragma once

#include "text/buffer.h"

// The current fold context and buffer become the scope of the last search
// (last_search.scope, commands/search.h). The first time, the scope asks the
// line tree to be told when a fold is freed, so that it forgets its root fold.
void search_set_scope();

// 1 when the cursor is where the last search could have walked to: the root
// buffer, or a child buffer entered from it through virtual folds (when the
// search enters them), and in it the root fold or a fold inside it (when the
// search enters folds).
int in_search_scope();

// One step of the walk in the search's direction. Forwards: into the fold or
// virtual fold of the current line when the settings say so, else to the next
// line; at the end of a list, out of it when it is not the root. Backwards: to
// the previous line, entering a fold or virtual fold there at its end line; at
// the first line of a list, out of it onto its fold line, which is searched
// next. The search goes on at the new current line: 0. At the end of the
// scope: the cursor at the end of the line (forwards) or its start
// (backwards), the count reported (matched), 1.
// Raises "bad filename ", "infinite recursion detected reading " (a virtual
// fold naming the file of its own buffer or of one it was entered from), the
// errors of reading the file, and those of writing a child buffer back.
int search_step();

// 1 when following parent ids from b reaches the id; 0 when the parents end
// (-1), name no buffer, or come round to a buffer already passed.
int buff_is_ancestor(const text_buffer *b, int id);

// 1 when the host file name names the file (same_file) of b or of a buffer
// reached by following parent ids from b, which end as in buff_is_ancestor.
int file_in_chain(const text_buffer *b, const char *fn);
