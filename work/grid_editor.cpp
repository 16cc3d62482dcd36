// The grid editor: typing a system into the work screen's grid, cell by cell.
#include "grid_editor.h"

#include "../matrix/matrix_file.h"
#include "../matrix/store.h"
#include "../platform/frame.h"
#include "../platform/input.h"
#include "../platform/layout.h"
#include "../platform/quit.h"
#include "loader.h"
#include "matrix_view.h"
#include "work_frame.h"
#include "work_screen.h"

#include <allegro.h>

#include <cstdio>
#include <string>

namespace
{

constexpr int new_system_order = 3; // the order of the zeros the editor starts from

bool editor_running = false; // edit_grid is running

// The editor's state: the matrix being made, its framed cell and what is typed into it.
struct GridEdit {
    StoreSnapshot draft;
    int row = 0;
    int column = 0;
    bool typing = false;        // an entry is being typed into the framed cell
    std::string typed;          // what is typed, a refused character too (as '?' beyond ASCII)
    const char *note = nullptr; // why the entry or the last key was refused: shown until an
                                // edit leaves an entry the cell can take, or another cell is framed
    bool reopened = false;      // opened on the last system after a failed load emptied the store;
                                // the line says so until the first key or click
};

// The longest typed text kept: a minus, max_entry_digits digits and one character more, so that
// a text at this length is never an entry and a character beyond it changes nothing.
constexpr std::size_t max_typed_characters = max_entry_digits + 2;

// Why the typed text cannot be stored, or nullptr when it can: digits, perhaps after a minus, at
// most max_entry_digits of them (a minus alone is told apart when the cell is left).
const char *entry_problem(const std::string &typed)
{
    const std::size_t digits_from = typed.rfind('-', 0) == 0 ? 1 : 0;
    if (typed.find_first_not_of("0123456789", digits_from) != std::string::npos)
        return editor_refusal_note;
    static_assert(max_entry_digits == 120, "the note names the limit");
    if (typed.size() - digits_from > max_entry_digits)
        return "najviac 120 cifier";
    return nullptr;
}

// How a key left the editor.
enum EditEnd { edit_goes_on, edit_accepted, edit_discarded };

// The draft's cell (r, c).
Fraction &draft_cell(GridEdit &edit, int r, int c)
{
    return edit.draft.cells[static_cast<std::size_t>(c)][static_cast<std::size_t>(r)];
}

// A draft of the last system loaded, typed or made (kept through a failed load), or of a 3x3 of
// zeros; every cell outside it 0.
GridEdit open_draft()
{
    GridEdit edit;
    const StoreSnapshot &loaded = last_system;
    edit.reopened = matrix_shape.rows == 0 && loaded.shape.rows > 0;
    const int n = loaded.shape.rows > 0 ? loaded.shape.rows : new_system_order;
    edit.draft.shape = square_shape(n);
    for (int r = 0; r < grid_rows; r++)
        for (int c = 0; c < store_columns; c++) {
            const bool kept =
                loaded.shape.rows > 0 && r < loaded.shape.rows && c < loaded.shape.columns();
            const Fraction &f = snapshot_cell(loaded, r, c);
            draft_cell(edit, r, c) = kept && f.den == 1 ? f : Fraction{0, 1};
        }
    return edit;
}

// Writes what is typed into the framed cell (nothing typed, all deleted: 0); false, with the
// note, when the cell cannot take it: a refused character, too many digits, a minus alone.
bool commit_typed(GridEdit &edit)
{
    if (!edit.typing)
        return true;
    edit.note = entry_problem(edit.typed);
    if (!edit.note && edit.typed == "-")
        edit.note = "za minusom chyba cislo";
    if (edit.note)
        return false;
    const mpz_class value = edit.typed.empty() ? mpz_class(0) : mpz_class(edit.typed, 10);
    draft_cell(edit, edit.row, edit.column) = Fraction{value, 1};
    edit.typing = false;
    edit.typed.clear();
    return true;
}

// Frames cell (r, c), kept inside the system; what was typed is committed first, and a cell
// that cannot take it stays framed with its note.
void move_to(GridEdit &edit, int r, int c)
{
    if (!commit_typed(edit))
        return;
    const int n = edit.draft.shape.unknowns;
    edit.row = r < 0 ? 0 : (r >= n ? n - 1 : r);
    edit.column = c < 0 ? 0 : (c > n ? n : c);
    edit.note = nullptr;
}

// Frames the next cell in reading order (or the previous one), wrapping round.
void step_cell(GridEdit &edit, int step)
{
    const int per_row = edit.draft.shape.columns();
    const int cells = per_row * edit.draft.shape.rows;
    const int index = ((edit.row * per_row + edit.column + step) % cells + cells) % cells;
    move_to(edit, index / per_row, index % per_row);
}

// Makes the system order n: coefficients that stay and the right-hand sides of rows that stay
// are kept (a right-hand side moves to the new last column), new entries are 0.
void change_order(GridEdit &edit, int n)
{
    if (!commit_typed(edit))
        return;
    if (n < 1 || n > max_matrix_order) {
        edit.note = "rad je od 1 do 10";
        return;
    }
    const StoreSnapshot old = edit.draft;
    const int old_n = old.shape.unknowns;
    for (int r = 0; r < grid_rows; r++)
        for (int c = 0; c < store_columns; c++) {
            const bool coefficient = r < n && r < old_n && c < n && c < old_n;
            const bool right_side = r < n && r < old_n && c == n;
            const int from = right_side ? old_n : c;
            draft_cell(edit, r, c) =
                coefficient || right_side
                    ? old.cells[static_cast<std::size_t>(from)][static_cast<std::size_t>(r)]
                    : Fraction{0, 1};
        }
    edit.draft.shape = square_shape(n);
    move_to(edit, edit.row, edit.column == old_n ? n : edit.column);
}

// Backspace: removes the last typed character; before anything is typed, starts from the
// framed cell's value. The note goes once the cell can take what is left.
void delete_back(GridEdit &edit)
{
    if (!edit.typing) {
        edit.typing = true;
        edit.typed = draft_cell(edit, edit.row, edit.column).num.get_str();
    }
    if (!edit.typed.empty())
        edit.typed.pop_back();
    edit.note = entry_problem(edit.typed);
}

// A typed character joins the entry as typed: digits after a leading minus are an entry the cell
// takes; any other character stays in sight with the note, and the cell cannot be left until it
// is deleted, so that no other number than the one typed is ever stored. A key that types no
// character changes nothing but the note.
void type_character(GridEdit &edit, int ascii)
{
    if (ascii < ' ' || ascii == 127) {
        edit.note = editor_refusal_note;
        return;
    }
    if (!edit.typing) {
        edit.typing = true;
        edit.typed.clear();
    }
    if (edit.typed.size() < max_typed_characters)
        edit.typed += ascii < 128 ? static_cast<char>(ascii) : '?';
    edit.note = entry_problem(edit.typed);
}

// Enter: commits the cell and frames the next; on the last cell it accepts the matrix.
EditEnd enter(GridEdit &edit)
{
    const int n = edit.draft.shape.unknowns;
    if (!commit_typed(edit))
        return edit_goes_on;
    if (edit.row == n - 1 && edit.column == n)
        return edit_accepted;
    step_cell(edit, 1);
    return edit_goes_on;
}

// Applies one key from the key buffer.
EditEnd apply_key(GridEdit &edit, int pressed)
{
    const int scancode = pressed >> 8;
    edit.reopened = false;
    switch (scancode) {
    case KEY_ESC:
        return edit_discarded;
    case KEY_E:
        return commit_typed(edit) ? edit_accepted : edit_goes_on;
    case KEY_ENTER:
    case KEY_ENTER_PAD:
        return enter(edit);
    case KEY_TAB:
        step_cell(edit, (key_shifts & KB_SHIFT_FLAG) ? -1 : 1);
        return edit_goes_on;
    case KEY_UP:
    case KEY_DOWN:
        move_to(edit, edit.row + (scancode == KEY_DOWN ? 1 : -1), edit.column);
        return edit_goes_on;
    case KEY_LEFT:
    case KEY_RIGHT:
        move_to(edit, edit.row, edit.column + (scancode == KEY_RIGHT ? 1 : -1));
        return edit_goes_on;
    case KEY_PGUP:
    case KEY_PGDN:
        change_order(edit, edit.draft.shape.rows + (scancode == KEY_PGUP ? 1 : -1));
        return edit_goes_on;
    case KEY_BACKSPACE:
        delete_back(edit);
        return edit_goes_on;
    default:
        type_character(edit, pressed & 0xff);
        return edit_goes_on;
    }
}

// The text line: which cell is framed and its entry as typed, or the keys when nothing is;
// a long entry shows its last characters.
void write_text_line(const GridEdit &edit)
{
    std::string text = "Riadok " + std::to_string(edit.row + 1) + ", ";
    text += edit.column == edit.draft.shape.unknowns
                ? "prava strana: "
                : "stlpec " + std::to_string(edit.column + 1) + ": ";
    if (edit.reopened) {
        text = std::string(editor_reopened_note) + ": cislo a Enter; sipky, Tab, klik: ina bunka";
    } else if (!edit.typing && !edit.note) {
        text += "cislo a Enter; sipky, Tab, klik: ina bunka";
    } else {
        const std::string note = edit.note ? std::string("  (") + edit.note + ")" : "";
        const std::size_t room = static_cast<std::size_t>(text_line_chars) - text.size() -
                                 note.size() - 1; // the cursor mark
        std::string typed = edit.typed;
        if (typed.size() > room)
            typed = "..." + typed.substr(typed.size() - (room - 3));
        text += typed + "_" + note;
    }
    std::snprintf(line_text, sizeof line_text, "%s", text.c_str());
}

// Shows the draft, its framed cell, the text line and the editor's keys under the grid.
void show_editing(const GridEdit &edit)
{
    show_draft(edit.draft, edit.row, edit.column);
    write_text_line(edit);
    show_caption("Rad " + std::to_string(edit.draft.shape.rows) +
                 " (PgUp/PgDn)   E: prijat maticu   Esc: zrusit zmeny");
}

// A left press on a cell of the draft frames it.
void click_cell(GridEdit &edit)
{
    take_left_press();
    edit.reopened = false;
    int r = 0;
    int c = 0;
    if (cell_at(pointer_x(), pointer_y(), edit.draft.shape, r, c))
        move_to(edit, r, c);
}

// Waits until the keys that end the editor and the left button are let go, so the work screen
// does not take them as its own.
void let_go_of_keys()
{
    while ((key[KEY_E] || key[KEY_ESC] || key[KEY_ENTER] || key[KEY_ENTER_PAD] ||
            left_button_down()) &&
           !quit_requested)
        paint_work_frame();
    clear_keybuf();
}

} // namespace

// Runs the grid editor until the matrix is accepted or discarded.
void edit_grid()
{
    editor_running = true;
    GridEdit edit = open_draft();
    const StoreSnapshot opened = edit.draft;
    const ShownStep kept_caption = shown_step;
    EditEnd end = edit_goes_on;
    clear_keybuf();
    while (end == edit_goes_on && !quit_requested) {
        show_editing(edit);
        paint_work_frame();
        if (keypressed())
            end = apply_key(edit, readkey());
        else if (left_press_ready())
            click_cell(edit);
    }
    hide_draft();
    shown_step = kept_caption;
    line_text[0] = '\0';
    if (end == edit_accepted)
        load_typed_matrix(edit.draft, opened);
    editor_running = false;
    let_go_of_keys();
}

// True while the editor runs.
bool editing_grid()
{
    return editor_running;
}
