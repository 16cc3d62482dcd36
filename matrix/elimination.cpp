// The order of Gauss-Jordan row operations, apart from how each pause and reduction is shown.
#include "elimination.h"

#include "instant_rows.h"
#include "row_arith.h"
#include "store.h"

const RowArithmetic stepwise_arithmetic{exchange_rows, scale_pivot_row, eliminate_row};

namespace
{

// The first row from i down with a non-zero entry in column i (i when there is none).
int first_row_with_entry(int i)
{
    for (int j = i; j < matrix_order; j++)
        if (cell(j, i).num != 0)
            return j;
    return i;
}

// The operation of kind on row j with pivot i; its factor comes from the stored entry f.
RowOperation operation(OperationKind kind, int i, int j, const Fraction &f)
{
    return RowOperation{kind, i, j, f.num, f.den};
}

// Clears column i everywhere but the diagonal, each operation behind the gate.
EliminationResult work_pivot(int i, const EliminationHooks &hooks)
{
    if (cell(i, i).num == 0 && column_clear_below(i) == 0) {
        const int j = first_row_with_entry(i);
        if (hooks.gate(RowOperation{operation_exchange, i, j, 0, 1}))
            return elimination_stopped;
        hooks.arithmetic->exchange(i, j);
        hooks.reduce(0); // every row is already reduced, but row 0 replays its cancelling
    }
    if (cell(i, i).num == 0)
        return elimination_column_empty;
    if (cell(i, i).num != cell(i, i).den) {
        if (hooks.gate(operation(operation_scale, i, i, cell(i, i))))
            return elimination_stopped;
        hooks.arithmetic->scale(i);
    }
    hooks.reduce(i);
    for (int j = 0; j < matrix_order; j++) {
        if (j == i || cell(j, i).num == 0)
            continue;
        if (hooks.gate(operation(operation_eliminate, i, j, cell(j, i))))
            return elimination_stopped;
        hooks.arithmetic->eliminate(j, i);
        hooks.reduce(j);
    }
    return elimination_done;
}

int counted_steps = 0; // gated steps of the current headless run

// The headless gate: counts the step and goes on.
int count_step(const RowOperation &)
{
    counted_steps++;
    return 0;
}

} // namespace

// Runs Gauss-Jordan elimination in place on the loaded system, from pivot 0.
EliminationResult run_elimination(const EliminationHooks &hooks)
{
    for (int i = 0; i < matrix_order; i++) {
        EliminationResult result = work_pivot(i, hooks);
        if (result != elimination_done)
            return result;
    }
    return elimination_done;
}

// Runs the elimination with no pauses and nothing shown: in the instant form when the store
// allows it, else step by step with instant cancelling.
EliminationResult run_elimination_now(int *steps)
{
    counted_steps = 0;
    EliminationResult result = elimination_stopped;
    if (begin_instant_rows()) {
        result = run_elimination({count_step, skip_reduction, &instant_arithmetic});
        finish_instant_rows();
    } else {
        result = run_elimination({count_step, reduce_row_now});
    }
    if (steps)
        *steps = counted_steps;
    return result;
}
