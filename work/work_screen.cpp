// The work screen: its loop, its table of keys, the input wait its parts share, and the keys
// that also act while a solve waits.
#include "work_screen.h"
#include "../matrix/translation.h"

#include "../matrix/notation.h"
#include "../matrix/store.h"
#include "../platform/display.h"
#include "../platform/frame.h"
#include "../platform/input.h"
#include "../platform/language.h"
#include "../platform/quit.h"
#include "../platform/settings_file.h"
#include "file_selector.h"
#include "grid_editor.h"
#include "inversion.h"
#include "loader.h"
#include "matrix_view.h"
#include "practice.h"
#include "random_exercise.h"
#include "saver.h"
#include "solver.h"
#include "work_frame.h"

#include <allegro.h>

// Remembers the zoom, the pulse switch and the grid's text for the next run.
void remember_settings()
{
    write_settings(settings_path(), Settings{chosen_zoom, pulse_enabled, grid_fractions, chosen_language});
}

namespace
{

// Loads a matrix from a typed file name and reports the result on the text line.
void load_and_report()
{
    report_load_result(load_matrix());
}

// The menu's background, shown while the key that leaves the work screen is held.
void paint_menu_background()
{
    paint_frame(image_menu_background);
}

// Solves the loaded system step by step, then shows the work screen as the solve left it.
void solve_and_repaint()
{
    solve();
    paint_work_frame();
}

// Switches the grid between short decimal texts and exact fractions, and remembers the choice.
void switch_grid_text()
{
    grid_fractions = !grid_fractions;
    remember_settings();
}

} // namespace

// The work screen's keys, tested in table order on every pass while a key is waiting. A row's
// action runs once its keys are let go (the frame painted meanwhile is the work screen's, or
// the menu's for the row that leaves); a right click undoes as Backspace does. During a solve
// the step gate reads its own keys:
// P pauses, R resumes, Esc stops, Backspace and Left go back a step, a row marked to act
// during a solve acts at once, and any other key steps.
const WorkKey work_key_rows[] = {
    {KEY_ESC, KEY_S, nullptr, false, nullptr},        // back to the menu
    {KEY_Z, 0, load_and_report, false, nullptr},      // load a matrix by its file name
    {KEY_R, 0, solve_and_repaint, false, nullptr},    // solve the loaded system
    // TRANSLATORS: the key line's hint words (all eight with their keys fit 72)
    {KEY_D, 0, switch_grid_text, true, tr_noop("zlomky")}, // decimal texts or exact fractions
    {KEY_E, 0, edit_grid, false, tr_noop("upravit")},      // type the system into the grid
    {KEY_W, 0, save_matrix, false, tr_noop("zapisat")},    // save the loaded system to a file
    {KEY_N, 0, load_random_system, false, tr_noop("nahodna")}, // a random system, whole solution
    {KEY_O, 0, open_by_browsing, false, tr_noop("otvorit")},   // choose a file in the selector
    {KEY_U, 0, practice_operation, false, tr_noop("krok")},    // the learner's own row operation
    {KEY_BACKSPACE, KEY_LEFT, practice_undo, false, nullptr},  // undo the learner's last one
    {KEY_H, 0, practice_hint, false, tr_noop("rada")}, // the program's next step, not done
    {KEY_I, 0, invert_matrix, false, "A^-1"}, // [A | I] of the matrix as loaded, solved
};
const int work_key_row_count = static_cast<int>(sizeof work_key_rows / sizeof work_key_rows[0]);

namespace
{

// The name of a key as the key line shows it: its letter.
std::string key_label(int scancode)
{
    if (scancode >= KEY_A && scancode <= KEY_Z)
        return std::string(1, static_cast<char>('A' + (scancode - KEY_A)));
    return scancode_to_name(scancode);
}

} // namespace

// The key line under the grid: each key with a hint word, "D zlomky  E upravit ...", closer
// together when that is too long for the caption line (the keys whose buttons name them, R, Z
// and Esc, have none).
std::string work_key_line()
{
    for (const char *gap : {"  ", " "}) {
        std::string line;
        for (int k = 0; k < work_key_row_count; k++) {
            const WorkKey &row = work_key_rows[k];
            if (row.hint)
                line += (line.empty() ? "" : gap) + key_label(row.scancode) + " " + tr(row.hint);
        }
        if (line.size() <= caption_chars || gap[1] == '\0')
            return line;
    }
    return "";
}

namespace
{

// Key rows of the work screen; returns 1 when going back to the menu.
int work_keys()
{
    for (const WorkKey &row : work_key_rows) {
        if (quit_requested)
            return 1;
        if (!key[row.scancode] && !(row.other && key[row.other]))
            continue;
        hold_while_keys(row.scancode, row.other ? row.other : row.scancode,
                        row.action ? paint_work_frame : paint_menu_background);
        if (!row.action)
            return 1;
        row.action();
    }
    return 0;
}

} // namespace

// Takes the key waiting in the buffer when a work-screen key row acts on it during a solve:
// runs the row's action at once, repaints while the key is held and returns 1. Otherwise the
// key is left waiting (put back at the end of the buffer) and the result is 0.
int run_solve_key_row()
{
    if (!keypressed())
        return 0;
    const int code = readkey();
    const int scancode = code >> 8;
    for (const WorkKey &row : work_key_rows) {
        const bool matches = scancode == row.scancode || (row.other && scancode == row.other);
        if (!row.during_solve || !matches)
            continue;
        row.action();
        hold_while_keys(row.scancode, row.other ? row.other : row.scancode, paint_work_frame);
        return 1;
    }
    simulate_keypress(code);
    return 0;
}

namespace
{

// Click rows of the work screen; returns 1 when going back to the menu.
int work_clicks()
{
    if (mouse_in(work_solve_button))
        solve();
    if (quit_requested)
        return 1;
    if (mouse_in(work_back_button))
        return 1;
    if (mouse_in(work_load_button))
        load_and_report();
    return 0;
}

} // namespace

// Opens the work screen with the matrix file `name` loaded, as S, Z, its name and Enter on
// the menu would: a file that cannot be loaded shows its message there.
void work_screen_with_file(const char *name)
{
    line_text[0] = '\0';
    report_load_result(load_named_matrix(name));
    work_screen();
}

// Runs the work screen until the user goes back.
void work_screen()
{
    show_key_line(work_key_line());
    while (!quit_requested) {
        paint_work_frame();
        if (keypressed() || left_button_down())
            caption_input_arrived(); // a note after a load lasts until then
        if (dispatch_input(work_keys, work_clicks, paint_work_frame))
            return;
        if (right_press_ready()) {
            take_right_press();
            practice_undo(); // as Backspace does
        }
        update_readout();
    }
}

// Waits on the work screen for a key (consumed) or a press of the left button.
void wait_for_input()
{
    while (!keypressed() && !left_button_down() && !quit_requested) {
        update_readout();
        paint_work_frame();
    }
    if (keypressed())
        readkey();
}
