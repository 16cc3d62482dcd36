// Loading a matrix by a typed file name, and reporting how it went; every other way of giving
// the store a new matrix goes through here too.
#include "loader.h"
#include "../matrix/translation.h"

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
bool typed_unsaved = false; // the last system was typed in the grid editor and not saved since

// The store was given a matrix: a system replaces the last one, which is then no longer the
// typed one; an empty store (a failed load, a file of order 0) leaves the last system as it was.
void note_new_system()
{
    if (matrix_shape.rows > 0)
        typed_unsaved = false;
}

// The note under the grid after a load with warnings: the first, and how many more there are.
std::string warning_note()
{
    std::string note = load_warning_line(load_warnings.front());
    if (load_warnings.size() > 1)
        // TRANSLATORS: the warning note's count of further warnings, " (+2 more)"
        note += format_text(tr(" (+%d dalsie)"), static_cast<int>(load_warnings.size() - 1));
    if (note.size() > caption_chars)
        note.resize(caption_chars);
    return note;
}

} // namespace

// Prompts for a file name and reads the matrix.
int load_matrix()
{
    load_warnings.clear();
    // TRANSLATORS: fits 76: the top line's prompt
    std::snprintf(line_text, sizeof line_text, "%s", tr("Zadaj meno suboru"));
    const std::string name = edit_line(paint_work_frame);
    if (quit_requested || name.empty())
        return load_ok;
    return load_named_matrix(name.c_str());
}

// Loads the matrix file `name` as a typed name is loaded.
int load_named_matrix(const char *name)
{
    const int result = load_matrix_file(name, &load_warnings, &load_problem);
    new_matrix(); // loaded, or emptied by the failure, which keeps the last system
    hide_step();
    if (result == load_ok) {
        line_text[0] = '\0';
        remember_file_folder(name);
    }
    note_new_system();
    return result;
}

// Gives the store a matrix as a load from a file does.
void load_matrix_from(const StoreSnapshot &matrix)
{
    restore_store(matrix);
    new_matrix();
    hide_step();
    line_text[0] = '\0';
    note_new_system();
}

// Gives the store the grid editor's accepted matrix, unsaved when typed or changed.
void load_typed_matrix(const StoreSnapshot &matrix, const StoreSnapshot &opened)
{
    const bool opened_unsaved = typed_unsaved;
    load_matrix_from(matrix);
    typed_unsaved = opened_unsaved || !store_equals(opened);
}

// True while the last system was typed in the grid editor and not saved since.
bool typed_system_unsaved()
{
    return typed_unsaved;
}

// W has saved the loaded system.
void note_system_saved()
{
    typed_unsaved = false;
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
