// Ranks of the loaded system, to tell a contradictory system from an underdetermined one.
#pragma once

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
