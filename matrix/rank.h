// Ranks of the loaded system, to tell a contradictory system from an underdetermined one, and
// the determinant of a square matrix.
#pragma once

#include "notation.h"
#include "store.h"

#include <gmpxx.h>

#include <cstddef>
#include <string>

// Rank of the first `columns` columns of the system's rows: the unknowns' count for the
// coefficients, one more with the right-hand side.
int system_rank(int columns);

// The three ways a finished elimination ends.
enum SolveEnding {
    ending_solved,          // every pivot was processed: the last column holds the solution
    ending_no_solution,     // stopped early, and the equations contradict each other
    ending_infinitely_many, // stopped early, and some unknowns are free
};

// How a finished elimination of the loaded system ends: a square system is solved when every
// pivot was processed (`stopped_early` 0); otherwise, and for every other shape, the two ranks
// tell: none when the coefficients' rank is below the augmented matrix's, one when it equals the
// unknowns' count, else infinitely many.
SolveEnding solve_ending(int stopped_early);

// What a singular ending says ("Sustava nema riesenie."); empty for ending_solved.
const char *ending_verdict(SolveEnding ending);

// The message that ends a solve: "Hotovo!" when every pivot was processed; otherwise
// whether the system has no solution or infinitely many, from the two ranks.
const char *finish_message(int stopped_early);

// The ranks of the store's matrix as the closing statements name them: "h(A) = 2, h(A|b) = 3"
// for a system (in LaTeX "$h(A) = 2$, $h(A|b) = 3$"), "h(A) = 2" for a matrix alone or the left
// block of [A | I].
std::string rank_text(NotationStyle style);

// The determinant of the square left block of `matrix` (A of a square system, of [A | I], or a
// square matrix alone): the product of the pivots as Gauss-Jordan elimination finds them, down
// each column the first row with a non-zero entry, the sign flipped once per exchange of rows;
// 0 when a column has no pivot. `matrix` must have as many rows as columns left of its rule.
mpq_class left_determinant(const StoreSnapshot &matrix);

// "det A = -7/2" (in LaTeX "$\det A = -\frac{7}{2}$"), a long value cut to fit `limit`
// characters in plain text as the readout cuts it.
std::string determinant_text(const mpq_class &determinant, NotationStyle style,
                             std::size_t limit = std::string::npos);

// The closing caption of the work screen, in lines of at most a given length.
struct CaptionLines {
    std::string first;  // the closing statement, and det A after it when both fit
    std::string second; // det A on a line of its own when they do not; "" when they do
};

// `statement` with "; det A = -7/2" after it when both fit `limit` characters, else the statement
// alone and det A on the second line (a long value cut as the readout cuts a number).
CaptionLines caption_with_determinant(const std::string &statement, const mpq_class &determinant,
                                      std::size_t limit);
