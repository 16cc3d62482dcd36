// The order of Gauss-Jordan row operations, apart from how each pause and reduction is shown.
#pragma once

#include <gmpxx.h>

// The kinds of row operation a step performs (the last only a learner's).
enum OperationKind {
    operation_exchange,  // rows pivot and row change places
    operation_scale,     // the pivot row is divided by its pivot
    operation_eliminate, // row minus its entry in the pivot column times the pivot row
    operation_combine,   // row times `keep`, minus num/den times row pivot: "R2 <- 2 R2 + 3 R1"
};

// One gated row operation, as it is about to run.
struct RowOperation {
    OperationKind kind = operation_exchange;
    int pivot = 0; // the pivot's row (and its column, until a column without a pivot is passed)
    int row = 0;   // the row exchanged with the pivot row, or the row eliminated; the pivot row
                   // itself when scaling
    mpz_class num; // the entry the factor comes from, as stored: the pivot when scaling,
    mpz_class
        den; // row `row`'s entry in the pivot column when eliminating (unused for an exchange)
    int column = -1;      // the pivot's column; -1 means the same as its row
    bool learner = false; // the learner's own operation: any row, any factor (num and den as
                          // above), applied to every column and tied to no pivot
    mpq_class keep = 1;   // operation_combine: the factor of row `row` itself, never 0
};

// The pivot's column of an operation.
inline int pivot_column(const RowOperation &operation)
{
    return operation.column < 0 ? operation.pivot : operation.column;
}

// How the elimination changes the store: the step-by-step operations, whose rows the reduce
// hook then cancels (on screen or at once), or another form with the same values.
struct RowArithmetic {
    void (*exchange)(int a, int b);         // rows a and b change places
    void (*scale)(int r, int c);            // pivot row r divided by its pivot in column c
    void (*eliminate)(int j, int r, int c); // row j minus its entry in column c times pivot row r
};

// The step-by-step operations of row_arith, each followed by the reduce hook.
extern const RowArithmetic stepwise_arithmetic;

// What the elimination calls between operations: the interactive solver waits at its
// step gate and animates the reductions; a headless run steps at once.
struct EliminationHooks {
    int (*gate)(const RowOperation &operation);             // before each row operation: 1 stops
    void (*reduce)(int r);                                  // brings row r to lowest terms
    const RowArithmetic *arithmetic = &stepwise_arithmetic; // how the operations are done
    void (*empty_column)() = nullptr; // when reducing a square system fully: at the first column
                                      // without a pivot, where a plain elimination would have
                                      // finished (a system of another shape, or [A | I], has no
                                      // such stopping point)
};

// How far an elimination goes.
enum EliminationReach {
    reach_first_empty_column, // stop at the first column that is zero from its pivot's row down
    reach_reduced_form,       // skip such columns and go on, the right-hand side included, to
                              // the reduced row echelon form of the augmented matrix (of
                              // [A | I], of its left block; of a matrix alone, of it)
};

// How an elimination ended.
enum EliminationResult {
    elimination_done,         // every pivot was processed
    elimination_column_empty, // some column left of the rule had no pivot: finished early, or
                              // (reaching the
                              // reduced form) went past it
    elimination_stopped,      // the gate stopped it; the matrix keeps what was done
};

// Runs Gauss-Jordan elimination in place on the matrix in the store, from pivot 0. Pivot k is
// sought in row k's column k until a column without a pivot is passed; from then on the pivot row
// stays behind the column by the columns skipped. It ends when the rows or the columns a pivot is
// sought in run out.
EliminationResult run_elimination(const EliminationHooks &hooks,
                                  EliminationReach reach = reach_first_empty_column);

// Runs the elimination with no pauses and nothing shown, as fast as it can be done, and
// leaves every cell exactly as the step-by-step run would; counts the gated steps into
// *steps, and those before the first column without a pivot into *steps_to_empty_column (all
// of them when there is none), each when not null.
EliminationResult run_elimination_now(int *steps, EliminationReach reach = reach_first_empty_column,
                                      int *steps_to_empty_column = nullptr);
