// Gauss-Jordan elimination of the loaded system, one gated row operation at a time.
#include "solver.h"

#include "../app/layout.h"
#include "../app/pulse.h"
#include "../app/screens.h"
#include "matrix_view.h"
#include "rank.h"
#include "row_arith.h"
#include "row_ops.h"
#include "store.h"

#include <allegro.h>

namespace {

// Empties the key buffer and waits at the gate; 1 when the user stopped the solve.
int gate_says_stop()
{
    clear_keybuf();
    return step_gate() == gate_stop;
}

// Moves the first row from i down with a non-zero entry in column i up to row i.
void exchange_for_pivot(int i)
{
    for (int j = i; j < matrix_order; j++) {
        if (cell(j, i).num != 0) {
            exchange_rows(i, j);
            return;
        }
    }
}

// The result of working one pivot column.
enum PivotResult { pivot_done, pivot_column_empty, pivot_stopped };

// Clears column i everywhere but the diagonal, each operation behind the gate.
PivotResult work_pivot(int i)
{
    if (cell(i, i).num == 0 && column_clear_below(i) == 0) {
        if (gate_says_stop())
            return pivot_stopped;
        exchange_for_pivot(i);
        reduce_row(0);  // every row is already reduced, but row 0 replays its cancelling
    }
    if (cell(i, i).num == 0)
        return pivot_column_empty;
    if (cell(i, i).num != cell(i, i).den) {
        if (gate_says_stop())
            return pivot_stopped;
        scale_pivot_row(i);
    }
    reduce_row(i);
    for (int j = 0; j < matrix_order; j++) {
        if (j == i || cell(j, i).num == 0)
            continue;
        if (gate_says_stop())
            return pivot_stopped;
        eliminate_row(j, i);
        reduce_row(j);
    }
    return pivot_done;
}

// Empties both texts, leaving the matrix as it is.
void clear_texts()
{
    status_text[0] = '\0';
    line_text[0] = '\0';
}

// Repaints the work frame while the left button is down or P is held.
void hold_pause_request()
{
    while ((left_button_down() || key[KEY_P]) && !quit_requested)
        paint_work_frame();
}

// While paused: R or a click released over the solve button resumes, anything else stops.
int pause_decision()
{
    while (!quit_requested) {
        if (keypressed()) {
            if (!key[KEY_R])
                return gate_stop;
            set_status_text("Krokuj!");
            return gate_resume;
        }
        if (left_button_down()) {
            while (left_button_down() && !quit_requested)
                paint_work_frame();
            if (!mouse_in(work_solve_button))
                return gate_stop;
            set_status_text("Krokuj!");
            return gate_resume;
        }
        update_readout();
        paint_work_frame();
    }
    return gate_stop;
}

}  // namespace

// Waits before a row operation for a key or a click.
int step_gate()
{
    while (!keypressed() && !left_button_down() && !quit_requested) {
        update_readout();
        paint_work_frame();
    }
    if (quit_requested)
        return gate_stop;
    if (!key[KEY_P] && !(left_button_down() && mouse_in(work_interrupt_button)))
        return gate_step;
    set_status_text("Prerusenie");
    hold_pause_request();
    clear_keybuf();  // the press that asked for the pause is not the decision
    return pause_decision();
}

// Runs the whole elimination in place.
void solve()
{
    set_status_text("Krokuj!");
    int stopped_early = 0;
    for (int i = 0; i < matrix_order; i++) {
        PivotResult result = work_pivot(i);
        if (result == pivot_stopped) {
            clear_texts();
            return;
        }
        if (result == pivot_column_empty) {
            stopped_early = 1;
            break;
        }
    }
    set_status_text(finish_message(stopped_early));
    clear_keybuf();
    wait_for_input();
    clear_texts();
}
