// The order of Gauss-Jordan row operations, apart from how each pause and reduction is shown.
#pragma once

// What the elimination calls between operations: the interactive solver waits at its
// step gate and animates the reductions; a headless run steps at once.
struct EliminationHooks {
    int (*gate)();         // before each row operation: 1 stops the elimination
    void (*reduce)(int r); // brings row r to lowest terms
};

// How an elimination ended.
enum EliminationResult {
    elimination_done,         // every pivot was processed
    elimination_column_empty, // a column was zero from the diagonal down: finished early
    elimination_stopped,      // the gate stopped it; the matrix keeps what was done
};

// Runs Gauss-Jordan elimination in place on the loaded system, from pivot 0.
EliminationResult run_elimination(const EliminationHooks &hooks);

// Runs the elimination with no pauses and instant reductions; counts the gated steps
// into *steps when steps is not null.
EliminationResult run_elimination_now(int *steps);
