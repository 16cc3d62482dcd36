// Ranks of the loaded system, to tell a contradictory system from an underdetermined one.
#pragma once

// Rank of the first `columns` columns of the system's rows (matrix_order rows):
// matrix_order columns for the coefficients, matrix_order + 1 with the right-hand side.
int system_rank(int columns);

// The three ways a finished elimination ends.
enum SolveEnding {
    ending_solved,          // every pivot was processed: the last column holds the solution
    ending_no_solution,     // stopped early, and the equations contradict each other
    ending_infinitely_many, // stopped early, and some unknowns are free
};

// How a finished elimination of the loaded system ends: solved when every pivot was
// processed; otherwise no solution or infinitely many, from the two ranks.
SolveEnding solve_ending(int stopped_early);

// What a singular ending says ("Sustava nema riesenie."); empty for ending_solved.
const char *ending_verdict(SolveEnding ending);

// The message that ends a solve: "Hotovo!" when every pivot was processed; otherwise
// whether the system has no solution or infinitely many, from the two ranks.
const char *finish_message(int stopped_early);
