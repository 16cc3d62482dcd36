// Loading a matrix by a typed file name, and reporting how it went; every other way of giving
// the store a new matrix goes through here too.
#include "loader.h"

#include "../matrix/matrix_file.h"
#include "../matrix/notation.h"
#include "../matrix/store.h"
#include "../platform/frame.h"
#include "../platform/input.h"
#include "../platform/line_editor.h"
#include "../platform/quit.h"
#include "file_selector.h"
#include "matrix_view.h"
#include "work_frame.h"
#include "work_screen.h"

#include <cstdio>
#include <cstring>

namespace
{

LoadWarnings load_warnings; // what the last load found suspicious; empty when nothing loaded
std::string load_problem;   // what is wrong with the file the last load refused, and where ("")

// The note under the grid after a load with warnings: the first, and how many more there are.
std::string warning_note()
{
    std::string note = load_warning_line(load_warnings.front());
    if (load_warnings.size() > 1)
        note += " (+" + std::to_string(load_warnings.size() - 1) + " dalsie)";
    if (note.size() > caption_chars)
        note.resize(caption_chars);
    return note;
}

} // namespace

// Prompts for a file name and reads the matrix.
int load_matrix()
{
    load_warnings.clear();
    std::snprintf(line_text, sizeof line_text, "%s", "Zadaj meno suboru");
    const std::string name = edit_line(paint_work_frame);
    if (quit_requested || name.empty())
        return load_ok;
    return load_named_matrix(name.c_str());
}

// Loads the matrix file `name` as a typed name is loaded.
int load_named_matrix(const char *name)
{
    const int result = load_matrix_file(name, &load_warnings, &load_problem);
    new_matrix(); // loaded, or emptied by the failure
    hide_step();
    if (result == load_ok) {
        line_text[0] = '\0';
        remember_file_folder(name);
    }
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
// does not dismiss the message before it was ever shown. A file that loaded with warnings gets
// a note under the grid until the next key or click.
void report_load_result(int code)
{
    const char *message = load_message(code);
    if (!message) {
        if (code == load_ok && !load_warnings.empty())
            show_caption(warning_note(), caption_until_input);
        load_warnings.clear();
        return;
    }
    set_status_text(message);
    matrix_shape = MatrixShape{};
    if (!load_problem.empty()) // where the file goes wrong, under the grid while the message waits
        show_caption(load_problem.substr(0, caption_chars), caption_until_input);
    load_problem.clear();
    while (left_button_down() && !quit_requested) {
        update_readout();
        paint_work_frame();
    }
    wait_for_input();
    status_text[0] = '\0';
}
