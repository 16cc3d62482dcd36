// The learner's own row operations on the store, and what the program's elimination says about
// the store as they leave it: the next step it would take, and whether the reduced form is there.
#pragma once

#include "elimination.h"
#include "store.h"

// Applies `operation` to the store in the form of the solver's steps: the products, with no
// cancelling. A learner's operation covers every column; the solver's starts at its pivot's. A
// combined operation ("R2 <- 2 R2 + 3 R1") multiplies its row, then subtracts as an elimination.
void apply_operation(const RowOperation &operation);

// Applies `operation` and cancels the rows it changed at once, as a headless run does.
void apply_operation_now(const RowOperation &operation);

// The next gated step the program's own elimination (going on past columns without a pivot to
// the reduced row echelon form) would take from the store as it stands: true and the step in
// *operation, or false when the store is already in that form. The store is left as it is.
bool next_program_operation(RowOperation *operation);

// True when the augmented matrix in the store is in reduced row echelon form, the form the
// program's own elimination leaves it in (no gated step would be taken).
bool in_reduced_form();

// The first row of a system in the store that reads 0 ... 0 | c with c != 0 (the system has no
// solution), -1 when none does or the matrix has no right-hand side.
int first_contradiction_row();

// How many gated steps the program's own solve takes from `matrix` on to the reduced row echelon
// form. The store is left as it is.
int program_step_count(const StoreSnapshot &matrix);
