// Loading a matrix by a typed file name, and reporting how it went; every other way of giving
// the store a new matrix goes through here too.
#include "loader.h"

#include "../app/frame.h"
#include "../app/input.h"
#include "../app/line_editor.h"
#include "../app/screens.h"
#include "../matrix/matrix_file.h"
#include "../matrix/store.h"
#include "matrix_view.h"

#include <cstdio>
#include <cstring>

// Prompts for a file name and reads the matrix.
int load_matrix()
{
    std::snprintf(line_text, sizeof line_text, "%s", "Zadaj meno suboru");
    edit_line();
    if (quit_requested || line_text[0] == '\0')
        return load_ok;
    return load_named_matrix(line_text);
}

// Loads the matrix file `name` as a typed name is loaded.
int load_named_matrix(const char *name)
{
    const int result = load_matrix_file(name);
    new_matrix(); // loaded, or emptied by the failure
    hide_step();
    if (result == load_ok)
        line_text[0] = '\0';
    return result;
}

// Gives the store a matrix as a load from a file does.
void load_matrix_from(const StoreSnapshot &matrix)
{
    restore_store(matrix);
    new_matrix();
    hide_step();
    line_text[0] = '\0';
}

// Shows the message for a failed load until a key or a click, then clears it. A left button
// already down when the load failed (held while the name was typed) is let go first, so that it
// does not dismiss the message before it was ever shown.
void report_load_result(int code)
{
    const char *message = load_message(code);
    if (!message)
        return;
    set_status_text(message);
    matrix_order = 0;
    while (left_button_down() && !quit_requested) {
        update_readout();
        paint_work_frame();
    }
    wait_for_input();
    status_text[0] = '\0';
}
