// The worked solution of a matrix file, printed as text or LaTeX: every step and its matrix.
#pragma once

#include "notation.h"

#include <cstdio>
#include <string>

// Exit status of a printout whose output could not be written (after the LoadResult codes).
constexpr int worked_solution_write_failed = 4;

// The loaded matrix as the printout writes it: in plain text one line per row, each column
// right-aligned to its widest entry, two spaces between columns and " | " before the
// right-hand side; in LaTeX an amsmath array with a rule before the last column.
std::string matrix_block_text(NotationStyle style);

// Prints the worked solution of the matrix file `file_name` on `out` in `style`: the system,
// each gated step with the matrix after its cancelling, then the solution or why there is
// none. Returns the exit status: 0; the LoadResult of a file that cannot be loaded, with its
// message on `err`; or worked_solution_write_failed. The store is left as it was.
int print_worked_solution(const char *file_name, NotationStyle style, std::FILE *out,
                          std::FILE *err);
