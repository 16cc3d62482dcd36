// The worked solution of a matrix file, printed as text or as a LaTeX document, and a LaTeX
// worksheet of systems with their answers.
#pragma once

#include "notation.h"
#include "../matrix/translation.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Exit status of a printout whose output could not be written (after the LoadResult codes).
constexpr int worked_solution_write_failed = 4;

// Exit status of an inversion whose matrix is not square, or empty (after check_found_mistakes).
constexpr int inverse_refused = 6;

// The line an inversion's printout heads A^-1 with, after the closing statement; a worked
// solution read for checking ends there.
constexpr const char *inverse_block_head = "A^-1 =";

// What an inversion of a system says on standard error: its right-hand sides are left out.
constexpr const char *right_sides_left_out = tr_noop(
    "Prave strany sustavy sa pri inverznej matici vynechavaju; invertuje sa matica sustavy A.");

// Flushes `out`: 0 when everything printed on it was written, else worked_solution_write_failed
// with "Vystup sa nepodarilo zapisat." on `err`.
int finish_output(std::FILE *out, std::FILE *err);

// The loaded matrix as the printout writes it: in plain text one line per row, each column
// right-aligned to its widest entry, two spaces between columns and " | " before the
// right-hand side; in LaTeX as latex_matrix sets it within the page, a rule before the last
// column.
std::string matrix_block_text(NotationStyle style);

// The loaded system written as equations in LaTeX, "2x_{1} + x_{2} - x_{3} = 8" on each line,
// as latex_system sets it within the page.
std::string latex_equations();

// Prints the worked solution of the matrix file `file_name` on `out` in `style`: the system,
// each gated step with the matrix after its cancelling, and the outcome; a system without a
// unique solution gets its verdict where the plain elimination ends, then the steps on to
// the reduced row echelon form and its solution set. LaTeX is a whole document (amsmath only)
// whose every matrix, equation and statement is set within the text width.
// A file that loads with warnings gets them on `err`, one line each. Returns the exit status:
// 0; the LoadResult of a file that cannot be loaded, with its message on `err`; or
// worked_solution_write_failed. The store is left as it was.
int print_worked_solution(const char *file_name, NotationStyle style, std::FILE *out,
                          std::FILE *err);

// Prints the inversion of the square matrix in the file `file_name` on `out` in `style`, as
// print_worked_solution prints a solution: [A | I], each gated step with the matrix after its
// cancelling, on to the reduced form of the left block, and the outcome: the closing statement,
// the rank and det A, then A^-1 as a matrix of its own and the check by multiplying back; or the
// row whose left block is zero. The file may hold a square matrix alone or a square system, whose
// right-hand sides are left out (said on `err` in one line). Returns 0; the LoadResult of a file
// that cannot be loaded, with its message on `err`; inverse_refused, with its message, for a
// matrix that is not square or is empty; or worked_solution_write_failed. The store is left as
// it was.
int print_worked_inverse(const char *file_name, NotationStyle style, std::FILE *out,
                         std::FILE *err);

// Prints a LaTeX worksheet of the systems in `file_names` on `out`: each numbered and written
// as equations with room to work below, and their answers on a last page. Warnings go to `err`
// as for a worked solution. Returns 0, the LoadResult of the first file that cannot be loaded
// (then nothing is printed on `out` and its name and message go to `err`), or
// worked_solution_write_failed. The store is left as it was.
int print_exercise_sheet(const std::vector<std::string> &file_names, std::FILE *out,
                         std::FILE *err);

// The seed of variant k (from 1) of a worksheet of variants from `seed`: seed + k - 1, wrapping
// round after 2^64 - 1, so that variant 1 is the system `--random ... --seed seed` prints.
std::uint64_t variant_seed(std::uint64_t seed, int k);

// Prints a LaTeX worksheet of `count` variants on `out`: task k is random_system(rows, unknowns,
// variant_seed(seed, k)), labelled with the command that prints it alone, "gauss-jordan --random
// 3 --seed 48219", and its answer on the last page by number and seed. Returns 0 or
// worked_solution_write_failed. The store is left as it was.
int print_variant_sheet(int rows, int unknowns, int count, std::uint64_t seed, std::FILE *out,
                        std::FILE *err);
