// The learner's own row operations on the store, and what the program's elimination says about
// the store as they leave it.
#include "learner_operation.h"

#include "row_arith.h"

#include <vector>

namespace
{

RowOperation first_step;     // the step the hint's elimination met first
bool first_step_met = false; // it met one

// The hint's gate: notes the first step and stops there.
int note_first_step(const RowOperation &operation)
{
    first_step = operation;
    first_step_met = true;
    return 1;
}

// The rows `operation` changes: both rows of an exchange, else the row it assigns.
std::vector<int> changed_rows(const RowOperation &operation)
{
    if (operation.kind == operation_exchange)
        return {operation.pivot, operation.row};
    return {operation.row};
}

} // namespace

// Applies `operation` to the store, products only.
void apply_operation(const RowOperation &operation)
{
    const int from = operation.learner ? 0 : pivot_column(operation);
    switch (operation.kind) {
    case operation_exchange:
        exchange_rows(operation.pivot, operation.row);
        break;
    case operation_scale:
        divide_row(operation.row, from, operation.num, operation.den);
        break;
    case operation_eliminate:
        subtract_row_multiple(operation.row, operation.pivot, from, operation.num, operation.den);
        break;
    case operation_combine: // times keep is a division by 1/keep; then as an elimination
        divide_row(operation.row, from, operation.keep.get_den(), operation.keep.get_num());
        subtract_row_multiple(operation.row, operation.pivot, from, operation.num, operation.den);
        break;
    }
}

// Applies `operation` and cancels the rows it changed at once.
void apply_operation_now(const RowOperation &operation)
{
    apply_operation(operation);
    for (int r : changed_rows(operation))
        reduce_row_now(r);
}

// The next gated step of the program's own elimination from the store as it stands.
bool next_program_operation(RowOperation *operation)
{
    const StoreSnapshot kept = save_store();
    first_step_met = false;
    run_elimination({note_first_step, reduce_row_now}, reach_reduced_form);
    restore_store(kept);
    if (first_step_met && operation)
        *operation = first_step;
    return first_step_met;
}

// True when the store is in reduced row echelon form.
bool in_reduced_form()
{
    return !next_program_operation(nullptr);
}

// The first row of the store's system that reads 0 ... 0 | c with c != 0, -1 when none does.
int first_contradiction_row()
{
    if (matrix_shape.kind != kind_system)
        return -1;
    for (int r = 0; r < matrix_shape.rows; r++) {
        bool zeros = true;
        for (int c = 0; c < matrix_shape.unknowns && zeros; c++)
            zeros = cell(r, c).num == 0;
        if (zeros && cell(r, matrix_shape.unknowns).num != 0)
            return r;
    }
    return -1;
}

// How many gated steps the program's own solve takes from `matrix` to the reduced form.
int program_step_count(const StoreSnapshot &matrix)
{
    const StoreSnapshot kept = save_store();
    restore_store(matrix);
    int steps = 0;
    run_elimination_now(&steps, reach_reduced_form);
    restore_store(kept);
    return steps;
}
