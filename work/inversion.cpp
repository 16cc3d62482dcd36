// The inverse matrix on the work screen (I): [A | I] of the matrix as loaded, solved step by step.
#include "inversion.h"
#include "../matrix/translation.h"

#include "../matrix/inverse.h"
#include "../matrix/store.h"
#include "matrix_view.h"
#include "solver.h"
#include "work_frame.h"
#include "work_screen.h"

#include <allegro.h>

#include <string>

static_assert(2 * max_screen_inverse_order <= grid_columns, "[A | I] must fit the grid");
static_assert(2 * (max_screen_inverse_order + 1) > grid_columns, "the grid shows larger ones");

namespace
{

// Why I does not invert the matrix as loaded, "" when it does.
std::string refusal(InverseSetup setup)
{
    switch (setup) {
    case inverse_no_matrix:
        // TRANSLATORS: fits 76: the top line
        return tr("Inverzna matica: najprv nacitaj stvorcovu maticu (Z, N, E alebo O)");
    case inverse_not_square:
        // TRANSLATORS: fits 66: the top line, before the size ("3 x 4")
        return tr("Inverzna matica je len pre stvorcovu maticu: ") +
               left_block_size_text(loaded_matrix.shape);
    case inverse_ready:
        break;
    }
    if (loaded_matrix.shape.rows > max_screen_inverse_order)
        // TRANSLATORS: fits 76: the top line
        return format_text(tr("Inverzna matica na obrazovke do radu %d; vacsiu vypise "
                              "gauss-jordan --inverse"),
                           max_screen_inverse_order);
    return "";
}

// Shows `message` on the text line until the next key (taken) or a press of the left button
// (which then also acts on the work screen); the I that asked is not that key.
void show_message(const std::string &message)
{
    set_status_text(message.c_str());
    clear_keybuf();
    wait_for_input();
    status_text[0] = '\0';
}

} // namespace

// I: [A | I] of the matrix as loaded, solved step by step.
void invert_matrix()
{
    StoreSnapshot start;
    const InverseSetup setup = inverse_setup(loaded_matrix, start);
    const std::string why = refusal(setup);
    if (!why.empty()) {
        show_message(why);
        return;
    }
    restore_store(start);
    new_matrix_from_loaded(); // the captions and the practice of the matrix before go
    hide_step();
    line_text[0] = '\0';
    solve();
    paint_work_frame();
}
