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

// Shows the message for a failed load on the text line until a key or a click (a left button
// held from before is let go first), then clears it; a failed load leaves no matrix. A file
// that loaded but may say something else than meant (1.5, 1/2, 1-2, numbers left over, rows
// across lines) gets a note under the grid, naming the line, until the next key or click.
void report_load_result(int code);
