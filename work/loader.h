// Loading a matrix by a typed file name, and reporting how it went; every other way of giving
// the store a new matrix goes through here too.
#pragma once

#include "../matrix/store.h"

// Prompts for a file name and reads the matrix; returns a LoadResult code.
// An empty name returns 0 and keeps the previous matrix.
int load_matrix();

// Loads the matrix file `name` as a typed name is loaded; returns a LoadResult.
int load_named_matrix(const char *name);

// Gives the store `matrix` as a load from a file does: new_matrix, no step or caption left from
// the previous one, an empty text line.
void load_matrix_from(const StoreSnapshot &matrix);

// Gives the store the grid editor's accepted matrix as load_matrix_from does. When it differs
// from `opened`, the system the editor opened on, or that system was typed and not saved, it is
// a typed system that has not been saved.
void load_typed_matrix(const StoreSnapshot &matrix, const StoreSnapshot &opened);

// True while the last system loaded, typed or made (the one the grid editor reopens on, kept
// through a failed load) was typed or changed in the editor and W has not saved it since:
// ending the program now would lose it. Any other new system makes it false; a load that
// leaves the store empty does not.
bool typed_system_unsaved();

// W has written the loaded system to a file: it is no longer unsaved.
void note_system_saved();

// Shows the message for a failed load on the text line until a key or a click (a left button
// held from before is let go first), then clears it; a failed load leaves no matrix. A file
// that loaded but may say something else than meant (1.5, 1/2, 1-2, numbers left over, rows
// across lines) gets a note under the grid, naming the line, until the next key or click.
void report_load_result(int code);
