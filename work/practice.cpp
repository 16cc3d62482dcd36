// Practice on the work screen: the learner's own row operations, undo, the hint and the goal.
#include "practice.h"
#include "../matrix/translation.h"

#include "../matrix/cell_text.h"
#include "../matrix/inverse.h"
#include "../matrix/learner_operation.h"
#include "../matrix/notation.h"
#include "../matrix/operation_parser.h"
#include "../platform/frame.h"
#include "../platform/input.h"
#include "../platform/line_editor.h"
#include "../platform/quit.h"
#include "matrix_view.h"
#include "row_ops.h"
#include "work_frame.h"
#include "work_screen.h"

#include <allegro.h>

#include <cstdio>
#include <string>

PracticeHistory practice_history;

namespace
{

bool message_shown = false;  // show_refusal holds the text line
bool count_known = false;    // program_steps belongs to counted_matrix
unsigned counted_matrix = 0; // matrix_serial whose program's count is known
int program_steps = 0;       // the program's own steps from that matrix as loaded

// Starts the history again from the store as it is, when it belongs to another matrix or the
// store is no longer as its last operation left it (a solve ran).
void keep_history_current()
{
    if (practice_history.matrix == matrix_serial && store_equals(practice_history.now))
        return;
    practice_history.matrix = matrix_serial;
    practice_history.now = save_store();
    practice_history.moves.clear();
}

// The matrix the program's own solve of this one starts from: the matrix as loaded, or [A | I]
// of it while the store holds [A | I].
StoreSnapshot program_start()
{
    StoreSnapshot start = loaded_matrix;
    if (matrix_shape.kind == kind_inverse)
        inverse_setup(loaded_matrix, start);
    return start;
}

// The steps the program's own solve takes from the matrix as loaded (or [A | I] of it), counted
// once per matrix.
int program_count()
{
    if (!count_known || counted_matrix != matrix_serial) {
        program_steps = program_step_count(program_start());
        counted_matrix = matrix_serial;
        count_known = true;
    }
    return program_steps;
}

// Shows `message` on the text line until a key (taken) or a press of the left or right button,
// then empties the line. Returns true when a key ended it.
bool show_refusal(const std::string &message)
{
    std::snprintf(line_text, sizeof line_text, "%s", message.c_str());
    message_shown = true;
    clear_keybuf();
    while (!keypressed() && !left_button_down() && !right_press_ready() && !quit_requested)
        paint_work_frame();
    const bool by_key = keypressed();
    if (by_key)
        readkey();
    while (right_press_ready() && !quit_requested) {
        take_right_press(); // a right click only ends the message; it does not also undo
        paint_work_frame();
    }
    line_text[0] = '\0';
    message_shown = false;
    return by_key;
}

// Waits at the goal like the end of a solve: Backspace, Left or a right click undo the last
// operation; a key that acts during a solve (D) acts; any other key (taken) or a left press (not
// waited out, so that it also acts on the work screen) ends the wait.
void wait_at_goal()
{
    clear_keybuf();
    while (!quit_requested) {
        if (run_solve_key_row())
            continue;
        if (keypressed()) {
            const int scancode = readkey() >> 8;
            if (scancode == KEY_BACKSPACE || scancode == KEY_LEFT)
                practice_undo();
            return;
        }
        if (right_press_ready()) {
            take_right_press();
            practice_undo();
            return;
        }
        if (left_button_down())
            return;
        update_readout();
        paint_work_frame();
    }
}

// The goal: the counts on the top line and the answer in the caption, until a key or a click.
void reach_goal()
{
    // TRANSLATORS: fits 76: the top line, the learner's and the program's counts of operations
    const std::string goal = format_text(tr("Hotovo! Uprav: %d, program: %d"),
                                         static_cast<int>(practice_history.moves.size()),
                                         program_count());
    set_status_text(goal.c_str());
    show_answer_caption();
    wait_at_goal();
    status_text[0] = '\0';
}

// Says on the top line as soon as the learner's operations lead to a row 0 ... 0 | c that the
// system has no solution, until a key or a click (Backspace undoes the last operation).
void tell_contradiction()
{
    const int row = first_contradiction_row();
    if (row < 0)
        return;
    const mpq_class c = cell_value(row, matrix_shape.unknowns);
    // TRANSLATORS: the top line, "R3 means 0 = 5: the system has no solution"
    const std::string said = format_text(tr("R%d znamena 0 = %s: sustava nema riesenie"), row + 1,
                                         exact_value_text(c.get_num(), c.get_den()).c_str());
    set_status_text(said.c_str());
    wait_at_goal();
    status_text[0] = '\0';
}

// The caption of the learner's operation number `number`: "Uprava 4: R3 <- R3 - 2 R1".
std::string practice_caption(int number, const RowOperation &operation)
{
    // TRANSLATORS: the caption's head before the learner's operation, "Operation 4: "
    return operation_caption(format_text(tr("Uprava %d: "), number), operation);
}

// Does the learner's operation: the products, then the changed rows cancelled on screen under
// its caption and highlight. The history notes at once the store it leads to (the cancelling on
// screen stores exactly what the cancelling at once does), so that every frame shown after the
// cancelling already belongs to it.
void make_move(const RowOperation &operation)
{
    keep_history_current();
    const StoreSnapshot before = save_store();
    apply_operation_now(operation);
    practice_history.now = save_store();
    restore_store(before);
    practice_history.moves.push_back(PracticeMove{operation, before});
    const int number = static_cast<int>(practice_history.moves.size());
    show_step(practice_caption(number, operation), operation);
    apply_operation(operation);
    if (operation.kind != operation_exchange) // an exchange leaves every row in lowest terms
        reduce_row(operation.row);
    paint_work_frame();
}

} // namespace

// U: asks for an operation and does it.
void practice_operation()
{
    if (matrix_shape.rows == 0) {
        show_refusal(tr("Najprv nacitaj maticu (Z, N, E alebo O)"));
        return;
    }
    // A refused line comes back for correcting after the key that ends the message; Escape, a
    // click or an empty line leave the prompt.
    std::string typed;
    ParsedOperation parsed;
    while (true) {
        if (typed.empty())
            std::snprintf(line_text, sizeof line_text, "%s", tr("Uprava:"));
        typed = edit_line(paint_work_frame, typed);
        line_text[0] = '\0';
        if (quit_requested || typed.find_first_not_of(' ') == std::string::npos)
            return; // cancelled, or nothing typed
        parsed = parse_operation(typed, matrix_shape.rows);
        if (parsed.ok)
            break;
        if (!show_refusal(parsed.message) || quit_requested)
            return;
    }
    make_move(parsed.operation);
    if (!quit_requested && in_reduced_form())
        reach_goal();
    else if (!quit_requested)
        tell_contradiction();
}

// Undoes the learner's last operation.
void practice_undo()
{
    keep_history_current();
    if (practice_history.moves.empty())
        return;
    restore_store(practice_history.moves.back().before);
    practice_history.moves.pop_back();
    practice_history.now = save_store();
    const int number = static_cast<int>(practice_history.moves.size());
    if (number == 0)
        show_caption(tr("Povodna matica, ziadna uprava"));
    else
        show_step(practice_caption(number, practice_history.moves.back().operation),
                  practice_history.moves.back().operation);
}

// H: shows the program's next step.
void practice_hint()
{
    if (matrix_shape.rows == 0)
        return;
    RowOperation next;
    if (!next_program_operation(&next)) {
        // TRANSLATORS: fits 72: the caption line
        show_caption(tr("Rada: matica uz je v redukovanom stupnovitom tvare"));
        return;
    }
    show_step(operation_caption(tr("Rada: "), next), next);
}

// True while a message about an operation holds the text line.
bool practice_message_shown()
{
    return message_shown;
}
