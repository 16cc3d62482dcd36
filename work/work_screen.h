// The work screen: its loop, its table of keys, the input wait its parts share, and the keys
// that also act while a solve waits.
#pragma once

#include <string>

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
// waited out, so the same click then also acts on the work screen).
void wait_for_input();

// Remembers the zoom, the pulse switch and the grid's text for the next run; a file that cannot
// be written only means they are not remembered.
void remember_settings();
