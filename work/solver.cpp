// Gauss-Jordan elimination of the loaded system, one gated row operation at a time.
#include "solver.h"

#include "../app/frame.h"
#include "../app/input.h"
#include "../app/layout.h"
#include "../app/screens.h"
#include "../matrix/elimination.h"
#include "../matrix/instant_rows.h"
#include "../matrix/notation.h"
#include "../matrix/rank.h"
#include "../matrix/row_arith.h"
#include "../matrix/store.h"
#include "matrix_view.h"
#include "row_ops.h"

#include <allegro.h>

namespace
{

StoreSnapshot solve_start; // the store when the solve began, to go back from
int step_total = 0;        // gated steps the solve takes from solve_start
int step_number = 0;       // gated steps met in the current pass, the waiting one included
int replay_until = 0;      // after going back: steps before this one run again at once, unseen
int replay_instant = 0;    // those steps run in the instant form, still to be written back
int going_back = 0;        // the gate asked for the previous step

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

// Pauses at the gate: "Prerusenie" until the user resumes or stops.
int pause_solve()
{
    set_status_text("Prerusenie");
    hold_pause_request();
    clear_keybuf(); // the press that asked for the pause is not the decision
    return pause_decision();
}

// Stops at the gate on Escape or the back button; waits until they are let go, so that the
// work screen stays and only a second Escape or click leaves it.
int leave_solve()
{
    while ((key[KEY_ESC] || left_button_down()) && !quit_requested)
        paint_work_frame();
    clear_keybuf();
    return gate_stop;
}

// True while a pass after going back runs the steps before the one to show again.
bool replaying()
{
    return step_number < replay_until;
}

// Writes the store back from the instant form, once the replay has reached its step.
void end_replay()
{
    if (replay_instant)
        finish_instant_rows();
    replay_instant = 0;
}

// The solver's gate: names and highlights the step, then waits; 1 ends the pass.
int gate_hook(const RowOperation &operation)
{
    step_number++;
    if (replaying())
        return 0;
    end_replay();
    show_step(step_caption_text(step_number, step_total, operation), operation);
    clear_keybuf();
    const int answer = step_gate();
    going_back = answer == gate_back;
    return answer == gate_stop || answer == gate_back;
}

// The solver's cancelling: none in the instant form, at once while replaying otherwise, and
// on screen from the step shown on.
void reduce_hook(int r)
{
    if (!replaying())
        reduce_row(r);
    else if (!replay_instant)
        reduce_row_now(r);
}

// The row operations: in the instant form while replaying when the store allows it.
const RowArithmetic &row_arithmetic()
{
    return replaying() && replay_instant ? instant_arithmetic : stepwise_arithmetic;
}

void exchange_hook(int a, int b)
{
    row_arithmetic().exchange(a, b);
}

void scale_hook(int i)
{
    row_arithmetic().scale(i);
}

void eliminate_hook(int j, int i)
{
    row_arithmetic().eliminate(j, i);
}

const RowArithmetic solver_arithmetic{exchange_hook, scale_hook, eliminate_hook};

// Runs the elimination from the store as the solve began, going back a step whenever the
// gate asks: the store is restored and the earlier steps replayed at once.
EliminationResult run_steps()
{
    replay_until = 0;
    replay_instant = 0;
    for (;;) {
        step_number = 0;
        going_back = 0;
        const EliminationResult result =
            run_elimination({gate_hook, reduce_hook, &solver_arithmetic});
        end_replay();
        if (!going_back || quit_requested)
            return result;
        replay_until = step_number - 1;
        restore_store(solve_start);
        replay_instant = begin_instant_rows();
    }
}

// Ends a solve: no step shown, both texts empty.
void end_solve()
{
    hide_step();
    clear_texts();
}

} // namespace

// Waits before a row operation for a key or a click.
int step_gate()
{
    while (!quit_requested) {
        while (!keypressed() && !left_press_ready() && !right_press_ready() && !quit_requested) {
            update_readout();
            paint_work_frame();
        }
        if (quit_requested)
            break;
        const int left = left_press_ready();
        if (left)
            take_left_press();
        if (key[KEY_P] || (left && mouse_in(work_interrupt_button)))
            return pause_solve();
        const int scancode = keypressed() ? readkey() >> 8 : 0;
        if (scancode == KEY_ESC || (left && mouse_in(work_back_button)))
            return leave_solve();
        const bool back = scancode == KEY_BACKSPACE || scancode == KEY_LEFT ||
                          (!scancode && !left && right_press_ready());
        if (!back)
            return gate_step;
        take_right_press();
        if (step_number > 1)
            return gate_back;
    }
    return gate_stop;
}

// Runs the whole elimination in place.
void solve()
{
    set_status_text("Krokuj!");
    solve_start = save_store();
    run_elimination_now(&step_total); // counted on the store, which is then put back
    restore_store(solve_start);
    const EliminationResult result = run_steps();
    if (result == elimination_stopped) {
        end_solve();
        return;
    }
    set_status_text(finish_message(result == elimination_column_empty));
    while (left_press_taken() && !quit_requested)
        paint_work_frame(); // the click that made the last step does not dismiss the message
    clear_keybuf();
    wait_for_input();
    end_solve();
}
