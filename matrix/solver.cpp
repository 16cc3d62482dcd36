// Gauss-Jordan elimination of the loaded system, one gated row operation at a time.
#include "solver.h"

#include "../app/frame.h"
#include "../app/layout.h"
#include "../app/screens.h"
#include "elimination.h"
#include "matrix_view.h"
#include "rank.h"
#include "row_ops.h"
#include "store.h"

#include <allegro.h>

namespace
{

// Empties the key buffer and waits at the gate; 1 when the user stopped the solve.
int gate_says_stop()
{
    clear_keybuf();
    return step_gate() == gate_stop;
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

} // namespace

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
    clear_keybuf(); // the press that asked for the pause is not the decision
    return pause_decision();
}

// Runs the whole elimination in place.
void solve()
{
    set_status_text("Krokuj!");
    EliminationResult result = run_elimination({gate_says_stop, reduce_row});
    if (result == elimination_stopped) {
        clear_texts();
        return;
    }
    set_status_text(finish_message(result == elimination_column_empty));
    clear_keybuf();
    wait_for_input();
    clear_texts();
}
