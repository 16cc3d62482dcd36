// The three screens, their input dispatch and the input wait.
#pragma once

#include "input.h"
#include "layout.h"

#include <atomic>
#include <string>

extern std::atomic<int> quit_requested; // set when the program must end: every loop unwinds
                                        // (window's close button, from the window system's
                                        // thread, or a display that cannot be restored)
extern int exit_code; // what main returns once the loops have unwound (screens write)

// Ends the run from any depth: every loop returns, then main exits with `code`.
void request_quit(int code);

// Lets the window's close button end the program cleanly.
void install_close_button();

// Runs the menu until the user quits.
void menu_screen();

// Runs the settings screen until the user goes back.
void settings_screen();

// Runs the work screen until the user goes back.
void work_screen();

// One key row of the work screen: its key (or either of two), what it does and its word in
// the key line under the grid.
struct WorkKey {
    int scancode;      // the key, by the library's scancode
    int other;         // a second key doing the same, 0 for none
    void (*action)();  // run once the keys are let go; nullptr leaves the screen
    bool during_solve; // also acts while a solve waits (at a gate, paused, at its end), at once
    const char *hint;  // a short word for the key line; nullptr: its button names it
};

extern const WorkKey work_key_rows[]; // the work screen's keys in the order they are tested
                                      // (the random-input test plays every one)
extern const int work_key_row_count;  // rows in work_key_rows

// The work screen's key line, shown under the grid whenever no caption is: every key of its
// table that has a hint word, with the word.
std::string work_key_line();

// Opens the work screen with the matrix file `name` loaded, as S, Z, its name and Enter on
// the menu would; returns when the user goes back.
void work_screen_with_file(const char *name);

// Takes the key waiting in the buffer when a work-screen key row acts on it during a solve (D,
// the grid's text): runs its action at once and returns 1; otherwise leaves the key waiting and
// returns 0.
int run_solve_key_row();

// Waits on the work screen for a key (consumed) or a press of the left button (not
// waited out, so the same click then also acts on the work screen when released).
void wait_for_input();
