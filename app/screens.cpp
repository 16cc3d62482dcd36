// The three screens, their input dispatch, the display-mode switch and the input wait.
#include "screens.h"

#include "../matrix/notation.h"
#include "../matrix/store.h"
#include "../work/file_selector.h"
#include "../work/grid_editor.h"
#include "../work/loader.h"
#include "../work/matrix_view.h"
#include "../work/practice.h"
#include "../work/random_exercise.h"
#include "../work/saver.h"
#include "../work/solver.h"
#include "display.h"
#include "frame.h"
#include "settings_file.h"

#include <allegro.h>

std::atomic<int> quit_requested{0};
int exit_code = 0;

// Ends the run from any depth.
void request_quit(int code)
{
    if (code != 0)
        exit_code = code;
    quit_requested = 1;
}

// Called by the library when the window's close button is pressed.
static void close_button_pressed()
{
    quit_requested = 1;
}
END_OF_STATIC_FUNCTION(close_button_pressed)

// Lets the window's close button end the program cleanly.
void install_close_button()
{
    set_close_button_callback(close_button_pressed);
}

// Repaints a frame while the key is held, so its action runs after release.
static void hold_while_key(int scancode, void (*paint)())
{
    while (key[scancode] && !quit_requested)
        paint();
}

// Repaints a frame while either key is held.
static void hold_while_keys(int first, int second, void (*paint)())
{
    while ((key[first] || key[second]) && !quit_requested)
        paint();
}

// Repaints a frame until the left button is released.
static void hold_while_button(void (*paint)())
{
    while (left_button_down() && !quit_requested)
        paint();
}

// The input half of one screen pass: the key rows when a key is waiting, then the click rows
// once the left button is released. Returns 1 when a row ends the screen's loop.
static int dispatch_input(int (*keys)(), int (*clicks)(), void (*paint)())
{
    if (keypressed() && keys())
        return 1;
    if (left_button_down()) {
        hold_while_button(paint);
        if (quit_requested || clicks())
            return 1;
    }
    return 0;
}

// Loads a matrix from a typed file name and reports the result on the text line.
static void load_and_report()
{
    report_load_result(load_matrix());
}

// ---------------------------------------------------------------------------
// Menu

// Key rows of the menu; returns 1 when the menu is to quit.
static int menu_keys()
{
    if (key[KEY_ESC] || key[KEY_K])
        return 1;
    if (key[KEY_S]) {
        line_text[0] = '\0';
        hold_while_key(KEY_S, paint_work_frame);
        work_screen();
        paint_menu_frame();
    }
    if (key[KEY_N]) {
        hold_while_key(KEY_N, paint_settings_frame);
        settings_screen();
        paint_menu_frame();
    }
    return 0;
}

// Click rows of the menu, after release; returns 1 when the menu is to quit.
static int menu_clicks()
{
    if (mouse_in(menu_quit_button))
        return 1;
    if (mouse_in(menu_settings_button)) {
        settings_screen();
        paint_menu_frame();
    }
    if (mouse_in(menu_work_button)) {
        work_screen();
        paint_menu_frame();
    }
    return 0;
}

// Runs the menu until the user quits; it empties the key buffer on every pass.
void menu_screen()
{
    while (!quit_requested) {
        clear_keybuf();
        paint_menu_frame();
        if (dispatch_input(menu_keys, menu_clicks, paint_menu_frame))
            return;
    }
}

// ---------------------------------------------------------------------------
// Settings

// Remembers the zoom, the pulse switch and the grid's text for the next run; a file that cannot
// be written only means they are not remembered.
static void remember_settings()
{
    write_settings(settings_path(), Settings{chosen_zoom, pulse_enabled, grid_fractions});
}

// Flips the pulse on or off.
static void toggle_pulse()
{
    pulse_enabled = (pulse_enabled + 1) % 2;
    remember_settings();
}

// Makes the window a zoom step larger or smaller, and remembers the new zoom.
static void zoom_window(int step)
{
    change_zoom(step);
    remember_settings();
}

// Key rows of the settings screen; returns 1 when going back to the menu.
static int settings_keys()
{
    if (key[KEY_ESC] || key[KEY_S]) {
        hold_while_keys(KEY_ESC, KEY_S, paint_menu_frame);
        return 1;
    }
    if (key[KEY_F]) {
        hold_while_key(KEY_F, paint_settings_frame);
        toggle_display_mode();
    }
    if (key[KEY_M]) {
        hold_while_key(KEY_M, paint_settings_frame);
        toggle_pulse();
    }
    if (key[KEY_EQUALS] || key[KEY_PLUS_PAD]) { // + is shift and = on most keyboards
        hold_while_keys(KEY_EQUALS, KEY_PLUS_PAD, paint_settings_frame);
        zoom_window(+1);
    }
    if (key[KEY_MINUS] || key[KEY_MINUS_PAD]) {
        hold_while_keys(KEY_MINUS, KEY_MINUS_PAD, paint_settings_frame);
        zoom_window(-1);
    }
    return 0;
}

// Click rows of the settings screen; returns 1 when going back to the menu.
static int settings_clicks()
{
    if (mouse_in(settings_back_button))
        return 1;
    if (mouse_in(settings_display_button))
        toggle_display_mode();
    if (mouse_in(settings_pulse_button))
        toggle_pulse();
    return 0;
}

// Runs the settings screen until the user goes back.
void settings_screen()
{
    while (!quit_requested) {
        paint_settings_frame();
        if (dispatch_input(settings_keys, settings_clicks, paint_settings_frame))
            return;
    }
}

// ---------------------------------------------------------------------------
// Work

// Solves the loaded system step by step, then shows the work screen as the solve left it.
static void solve_and_repaint()
{
    solve();
    paint_work_frame();
}

// Switches the grid between short decimal texts and exact fractions, and remembers the choice.
static void switch_grid_text()
{
    grid_fractions = !grid_fractions;
    remember_settings();
}

// The work screen's keys, tested in table order on every pass while a key is waiting. A row's
// action runs once its keys are let go (the frame painted meanwhile is the work screen's, or
// the menu's for the row that leaves); a right click undoes as Backspace does. During a solve
// the step gate reads its own keys:
// P pauses, R resumes, Esc stops, Backspace and Left go back a step, a row marked to act
// during a solve acts at once, and any other key steps.
const WorkKey work_key_rows[] = {
    {KEY_ESC, KEY_S, nullptr, false, nullptr},        // back to the menu
    {KEY_Z, 0, load_and_report, false, "nacitat"},    // load a matrix by its file name
    {KEY_R, 0, solve_and_repaint, false, nullptr},    // solve the loaded system
    {KEY_D, 0, switch_grid_text, true, "zlomky"},     // decimal texts or exact fractions
    {KEY_E, 0, edit_grid, false, "upravit"},          // type the system into the grid
    {KEY_W, 0, save_matrix, false, "zapisat"},        // save the loaded system to a file
    {KEY_N, 0, load_random_system, false, "nahodna"}, // a random system with a whole solution
    {KEY_O, 0, open_by_browsing, false, "otvorit"},   // choose a file in the library's selector
    {KEY_U, 0, practice_operation, false, "krok"},    // the learner's own row operation
    {KEY_BACKSPACE, KEY_LEFT, practice_undo, false, nullptr}, // undo the learner's last one
    {KEY_H, 0, practice_hint, false, "rada"},                 // the program's next step, not done
};
const int work_key_row_count = static_cast<int>(sizeof work_key_rows / sizeof work_key_rows[0]);

// The name of a key as the key line shows it: its letter.
static std::string key_label(int scancode)
{
    if (scancode >= KEY_A && scancode <= KEY_Z)
        return std::string(1, static_cast<char>('A' + (scancode - KEY_A)));
    return scancode_to_name(scancode);
}

// The key line under the grid: each key with a hint word, "Z nacitat  E upravit ...", closer
// together when that is too long for the caption line.
std::string work_key_line()
{
    for (const char *gap : {"  ", " "}) {
        std::string line;
        for (int k = 0; k < work_key_row_count; k++) {
            const WorkKey &row = work_key_rows[k];
            if (row.hint)
                line += (line.empty() ? "" : gap) + key_label(row.scancode) + " " + row.hint;
        }
        if (line.size() <= caption_chars || gap[1] == '\0')
            return line;
    }
    return "";
}

// Key rows of the work screen; returns 1 when going back to the menu.
static int work_keys()
{
    for (const WorkKey &row : work_key_rows) {
        if (quit_requested)
            return 1;
        if (!key[row.scancode] && !(row.other && key[row.other]))
            continue;
        hold_while_keys(row.scancode, row.other ? row.other : row.scancode,
                        row.action ? paint_work_frame : paint_menu_frame);
        if (!row.action)
            return 1;
        row.action();
    }
    return 0;
}

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

// Click rows of the work screen; returns 1 when going back to the menu.
static int work_clicks()
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

// ---------------------------------------------------------------------------
// Input wait

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
