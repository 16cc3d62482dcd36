// Gauss-Jordan elimination of the loaded system, one gated row operation at a time.
#include "solver.h"
#include "../matrix/translation.h"

#include "../matrix/elimination.h"
#include "../matrix/instant_rows.h"
#include "../matrix/notation.h"
#include "../matrix/rank.h"
#include "../matrix/row_arith.h"
#include "../matrix/store.h"
#include "../platform/frame.h"
#include "../platform/input.h"
#include "../platform/layout.h"
#include "../platform/quit.h"
#include "matrix_view.h"
#include "row_ops.h"
#include "work_frame.h"
#include "work_screen.h"

#include <allegro.h>

SolveWork solve_work;

namespace
{

StoreSnapshot solve_start; // the store when the solve began, to go back from
EliminationReach solve_reach = reach_first_empty_column; // how far the solve goes
int step_total = 0;       // gated steps the solve takes from solve_start, as far as it goes
int steps_to_verdict = 0; // gated steps before its first column without a pivot (all: none)
int steps_to_reduced = 0; // gated steps on to the reduced row echelon form
int step_number = 0;      // gated steps met in the current pass, the waiting one included
int replay_until = 0;     // after going back: steps before this one run again at once, unseen
int replay_instant = 0;   // those steps run in the instant form, still to be written back
int going_back = 0;       // the gate asked for the previous step

// The offer to go on to the reduced form, made when a solve ends on a column without a pivot:
// it stands while the store holds the matrix it was made on.
struct Offer {
    bool open = false;
    unsigned matrix = 0; // matrix_serial when it was made
    StoreSnapshot store; // the store then
};
Offer offer;

// How the wait at the end of a solve ended.
enum FinishChoice {
    finish_dismissed, // a key or click: the solve is over, its closing caption stays
    finish_back,      // back to the last step's gate
    finish_go_on,     // on to the reduced form, as offered
};

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

// While paused: R or a click released over the solve button resumes, anything else stops
// (but for the keys that act during a solve, which act and keep waiting).
int pause_decision()
{
    while (!quit_requested) {
        if (run_solve_key_row())
            continue;
        if (keypressed()) {
            if (!key[KEY_R])
                return gate_stop;
            set_status_text(tr("Krokuj!"));
            return gate_resume;
        }
        if (left_button_down()) {
            while (left_button_down() && !quit_requested)
                paint_work_frame();
            if (!mouse_in(work_solve_button))
                return gate_stop;
            set_status_text(tr("Krokuj!"));
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
    set_status_text(tr("Prerusenie"));
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

void scale_hook(int r, int c)
{
    row_arithmetic().scale(r, c);
}

void eliminate_hook(int j, int r, int c)
{
    row_arithmetic().eliminate(j, r, c);
}

const RowArithmetic solver_arithmetic{exchange_hook, scale_hook, eliminate_hook};

// Runs the elimination from the store as the solve began, going back a step whenever the
// gate asks: the store is restored and the earlier steps replayed at once. The first pass
// starts at gate replay_until (0: at the start, on the store as it is).
EliminationResult run_steps()
{
    for (;;) {
        step_number = 0;
        going_back = 0;
        const EliminationResult result =
            run_elimination({gate_hook, reduce_hook, &solver_arithmetic}, solve_reach);
        end_replay();
        if (!going_back || quit_requested)
            return result;
        replay_until = step_number - 1;
        restore_store(solve_start);
        replay_instant = begin_instant_rows();
    }
}

// Notes the steps the solve has left in the store, `steps` of them from solve_start.
void note_solve_work(int steps)
{
    solve_work = SolveWork{matrix_serial, solve_start, save_store(), steps};
}

// Ends a solve: no step shown, both texts empty.
void end_solve()
{
    hide_step();
    clear_texts();
}

// True when the store still holds exactly the matrix the offer was made on.
bool offer_stands()
{
    return offer.open && offer.matrix == matrix_serial && store_equals(offer.store);
}

// Shows the caption at the end of a solve: what the finished matrix says (see
// show_answer_caption), or, where it ends on a column without a pivot short of the reduced
// form, the verdict and the offer to go on; with det A of a square A either way.
void show_closing_caption(bool offering)
{
    if (offering)
        show_caption_with_determinant(std::string(ending_verdict(solve_ending(1))) +
                                      tr(" R: dokoncit redukovany tvar"));
    else
        show_answer_caption();
}

// Waits at the end of a solve: Backspace, Left or a right click go back to the last step's gate
// (when there is one); R takes the offer when one is made; a key that acts during a solve acts
// and keeps waiting; any other key (consumed) or a press of the left button (not waited out, so
// the same click then also acts on the work screen) ends the solve.
FinishChoice finish_wait(bool offering)
{
    while (!quit_requested) {
        if (run_solve_key_row())
            continue;
        if (keypressed()) {
            const int scancode = readkey() >> 8;
            if (scancode == KEY_BACKSPACE || scancode == KEY_LEFT) {
                if (step_number > 0)
                    return finish_back;
                continue;
            }
            if (offering && scancode == KEY_R) {
                while (key[KEY_R] && !quit_requested)
                    paint_work_frame(); // a held R does not step on by its repeats
                return finish_go_on;
            }
            return finish_dismissed;
        }
        if (right_press_ready()) {
            take_right_press();
            if (step_number > 0)
                return finish_back;
            continue;
        }
        if (left_button_down())
            return finish_dismissed;
        update_readout();
        paint_work_frame();
    }
    return finish_dismissed;
}

// Ends a solve's elimination: the finishing message on the line, the closing caption under the
// grid with no step highlighted, and the wait for what comes next.
FinishChoice finish(EliminationResult result)
{
    const bool offering = result == elimination_column_empty &&
                          solve_reach == reach_first_empty_column &&
                          steps_to_reduced > steps_to_verdict;
    set_status_text(finish_message(result == elimination_column_empty));
    show_closing_caption(offering);
    offer = Offer{offering, matrix_serial, offering ? save_store() : StoreSnapshot{}};
    while (left_press_taken() && !quit_requested)
        paint_work_frame(); // the click that made the last step does not dismiss the message
    clear_keybuf();
    const FinishChoice choice = finish_wait(offering);
    if (choice == finish_dismissed)
        clear_texts(); // the closing caption stays, and with it the offer
    else
        offer.open = false;
    return choice;
}

// Runs the solve's passes from gate `first_gate` (0: from the start, on the store as it is; else
// the steps before it replayed at once from solve_start) until the solve is dismissed at its
// end or stopped, going back from the end or on to the reduced form as the user asks.
void run_solve(int first_gate)
{
    int gate = first_gate;
    for (;;) {
        replay_until = gate;
        replay_instant = 0;
        if (gate > 0) {
            restore_store(solve_start);
            replay_instant = begin_instant_rows();
        }
        const EliminationResult result = run_steps();
        if (result == elimination_stopped || quit_requested) {
            // Stopped at a gate: the step waiting there was not done.
            note_solve_work(result == elimination_stopped ? step_number - 1 : step_number);
            end_solve();
            return;
        }
        const FinishChoice choice = finish(result);
        if (choice == finish_dismissed) {
            note_solve_work(step_number);
            return;
        }
        if (choice == finish_go_on) {
            solve_reach = reach_reduced_form;
            step_total = steps_to_reduced;
            gate = steps_to_verdict + 1;
        } else {
            gate = step_number; // the last step's gate again
        }
        set_status_text(tr("Krokuj!"));
    }
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
        if (run_solve_key_row())
            continue; // acted at once; the gate waits on
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

// Runs the whole elimination in place; where the last solve ended short of the reduced form
// and offered to go on, and the store still holds what it left, goes on instead.
void solve()
{
    set_status_text(tr("Krokuj!"));
    hide_step(); // the last solve's closing caption goes with the new solve
    if (offer_stands()) {
        offer.open = false;
        solve_reach = reach_reduced_form;
        step_total = steps_to_reduced;
        run_solve(steps_to_verdict + 1);
        return;
    }
    offer.open = false;
    solve_start = save_store();
    // Counted on the store, which is then put back.
    run_elimination_now(&steps_to_reduced, reach_reduced_form, &steps_to_verdict);
    restore_store(solve_start);
    // A square system stops where a plain elimination ends and offers the rest; any other
    // shape, [A | I] and a matrix alone have no such stopping point and go on to the reduced
    // form.
    const bool stops_early = matrix_shape.kind == kind_system && matrix_shape.square();
    solve_reach = stops_early ? reach_first_empty_column : reach_reduced_form;
    step_total = stops_early ? steps_to_verdict : steps_to_reduced;
    run_solve(0);
}
