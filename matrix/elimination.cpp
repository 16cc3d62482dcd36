// The order of Gauss-Jordan row operations, apart from how each pause and reduction is shown.
#include "elimination.h"

#include "instant_rows.h"
#include "row_arith.h"
#include "store.h"

const RowArithmetic stepwise_arithmetic{exchange_rows, scale_pivot_row, eliminate_row};

namespace
{

// The first row from r down with a non-zero entry in column c (r when there is none).
int first_row_with_entry(int r, int c)
{
    for (int j = r; j < matrix_shape.rows; j++)
        if (cell(j, c).num != 0)
            return j;
    return r;
}

// The operation of kind on row j with the pivot at (r, c); its factor comes from the stored
// entry f.
RowOperation operation(OperationKind kind, int r, int c, int j, const Fraction &f)
{
    return RowOperation{kind, r, j, f.num, f.den, c};
}

// Brings a pivot to cell (r, c) and clears column c everywhere else, each operation behind the
// gate; elimination_column_empty when column c is zero from row r down.
EliminationResult work_pivot(int r, int c, const EliminationHooks &hooks)
{
    if (cell(r, c).num == 0 && first_row_with_entry(r, c) != r) {
        const int j = first_row_with_entry(r, c);
        if (hooks.gate(operation(operation_exchange, r, c, j, Fraction{0, 1})))
            return elimination_stopped;
        hooks.arithmetic->exchange(r, j);
        hooks.reduce(0); // every row is already reduced, but row 0 replays its cancelling
    }
    if (cell(r, c).num == 0)
        return elimination_column_empty;
    if (cell(r, c).num != cell(r, c).den) {
        if (hooks.gate(operation(operation_scale, r, c, r, cell(r, c))))
            return elimination_stopped;
        hooks.arithmetic->scale(r, c);
    }
    hooks.reduce(r);
    for (int j = 0; j < matrix_shape.rows; j++) {
        if (j == r || cell(j, c).num == 0)
            continue;
        if (hooks.gate(operation(operation_eliminate, r, c, j, cell(j, c))))
            return elimination_stopped;
        hooks.arithmetic->eliminate(j, r, c);
        hooks.reduce(j);
    }
    return elimination_done;
}

int counted_steps = 0;   // gated steps of the current headless run
int steps_at_empty = -1; // gated steps before its first column without a pivot, -1: none yet

// The headless gate: counts the step and goes on.
int count_step(const RowOperation &)
{
    counted_steps++;
    return 0;
}

// The headless run's first column without a pivot: notes how many steps came before it.
void note_empty_column()
{
    if (steps_at_empty < 0)
        steps_at_empty = counted_steps;
}

} // namespace

// The columns a pivot is sought in: the coefficients as far as the first column without a
// pivot; on to the reduced form, a system's right-hand side too, but only the left block of
// [A | I].
static int pivot_columns(EliminationReach reach)
{
    if (reach == reach_reduced_form && matrix_shape.kind == kind_system)
        return matrix_shape.columns();
    return matrix_shape.unknowns;
}

// Runs Gauss-Jordan elimination in place on the loaded system, from pivot 0.
EliminationResult run_elimination(const EliminationHooks &hooks, EliminationReach reach)
{
    const int columns = pivot_columns(reach);
    int r = 0;
    bool skipped = false;
    for (int c = 0; c < columns && r < matrix_shape.rows; c++) {
        const EliminationResult result = work_pivot(r, c, hooks);
        if (result == elimination_stopped)
            return result;
        if (result == elimination_done) {
            r++;
            continue;
        }
        if (reach == reach_first_empty_column)
            return elimination_column_empty;
        if (c >= matrix_shape.unknowns)
            continue; // a right-hand side without a pivot: the system has solutions
        if (!skipped && hooks.empty_column && matrix_shape.square() &&
            matrix_shape.kind == kind_system)
            hooks.empty_column();
        skipped = true;
    }
    return skipped ? elimination_column_empty : elimination_done;
}

// Runs the elimination with no pauses and nothing shown: in the instant form when the store
// allows it, else step by step with instant cancelling.
EliminationResult run_elimination_now(int *steps, EliminationReach reach,
                                      int *steps_to_empty_column)
{
    counted_steps = 0;
    steps_at_empty = -1;
    EliminationResult result = elimination_stopped;
    if (begin_instant_rows()) {
        result = run_elimination(
            {count_step, skip_reduction, &instant_arithmetic, note_empty_column}, reach);
        finish_instant_rows();
    } else {
        result = run_elimination(
            {count_step, reduce_row_now, &stepwise_arithmetic, note_empty_column}, reach);
    }
    if (steps)
        *steps = counted_steps;
    if (steps_to_empty_column)
        *steps_to_empty_column = steps_at_empty < 0 ? counted_steps : steps_at_empty;
    return result;
}
