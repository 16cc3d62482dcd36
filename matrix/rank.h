// Ranks of the loaded system, to tell a contradictory system from an underdetermined one.
#pragma once

// Rank of the first `columns` columns of the system's rows (matrix_order rows):
// matrix_order columns for the coefficients, matrix_order + 1 with the right-hand side.
int system_rank(int columns);

// The message that ends a solve: "Hotovo!" when every pivot was processed; otherwise
// whether the system has no solution or infinitely many, from the two ranks.
const char *finish_message(int stopped_early);
