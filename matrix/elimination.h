// The order of Gauss-Jordan row operations, apart from how each pause and reduction is shown.
#pragma once

#include <gmpxx.h>

// The three kinds of row operation a step performs.
enum OperationKind {
    operation_exchange,  // rows pivot and row change places
    operation_scale,     // the pivot row is divided by its pivot
    operation_eliminate, // row minus its entry in the pivot column times the pivot row
};

// One gated row operation, as it is about to run.
struct RowOperation {
    OperationKind kind = operation_exchange;
    int pivot = 0; // i: the pivot's row and column
    int row = 0;   // the row exchanged with the pivot row, or the row eliminated; the pivot row
                   // itself when scaling
    mpz_class num; // the entry the factor comes from, as stored: the pivot when scaling,
    mpz_class den; // row `row`'s entry in column i when eliminating (unused for an exchange)
};

// How the elimination changes the store: the step-by-step operations, whose rows the reduce
// hook then cancels (on screen or at once), or another form with the same values.
struct RowArithmetic {
    void (*exchange)(int a, int b);  // rows a and b change places
    void (*scale)(int i);            // pivot row i divided by its pivot
    void (*eliminate)(int j, int i); // row j minus its entry in column i times pivot row i
};

// The step-by-step operations of row_arith, each followed by the reduce hook.
extern const RowArithmetic stepwise_arithmetic;

// What the elimination calls between operations: the interactive solver waits at its
// step gate and animates the reductions; a headless run steps at once.
struct EliminationHooks {
    int (*gate)(const RowOperation &operation); // before each row operation: 1 stops
    void (*reduce)(int r);                      // brings row r to lowest terms
    const RowArithmetic *arithmetic = &stepwise_arithmetic; // how the operations are done
};

// How an elimination ended.
enum EliminationResult {
    elimination_done,         // every pivot was processed
    elimination_column_empty, // a column was zero from the diagonal down: finished early
    elimination_stopped,      // the gate stopped it; the matrix keeps what was done
};

// Runs Gauss-Jordan elimination in place on the loaded system, from pivot 0.
EliminationResult run_elimination(const EliminationHooks &hooks);

// Runs the elimination with no pauses and nothing shown, as fast as it can be done, and
// leaves every cell exactly as the step-by-step run would; counts the gated steps into
// *steps when steps is not null.
EliminationResult run_elimination_now(int *steps);
