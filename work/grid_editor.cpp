// The grid editor: typing a system into the work screen's grid, cell by cell.
#include "grid_editor.h"
#include "../matrix/translation.h"

#include "../matrix/matrix_file.h"
#include "../matrix/shape_form.h"
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

constexpr int new_system_order = 3; // the order of the zeros the editor starts from before any

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

// The longest typed text kept: a minus, two parts of max_entry_digits digits and the "/"
// between them, and one character more, so that a text at this length is never an entry and a
// character beyond it changes nothing.
constexpr std::size_t max_typed_characters = 2 * max_entry_digits + 3;

// The note for an entry with a part of more than max_entry_digits digits.
// TRANSLATORS: fits 20: a note on the top line beside the typed entry
constexpr const char *too_many_digits_note = tr_noop("najviac 120 cifier");
static_assert(max_entry_digits == 120, "the note names the limit");

// Why the typed text, still being typed, cannot become an entry, or nullptr while it can: a
// number as the matrix file writes it, or the start of one (a minus, "3/", "0," are).
const char *entry_problem(const std::string &typed)
{
    Fraction value;
    const NumberRead read = read_shape_entry(typed, value);
    if (read == number_read || read == number_zero_denominator || typed.empty())
        return nullptr;
    if (read == number_too_long)
        return too_many_digits_note;
    // The start of a number reads as one once a digit is added: "-1", "3/1", "0,1".
    const NumberRead grown = read_shape_entry(typed + "1", value);
    if (grown == number_read)
        return nullptr;
    return grown == number_too_long ? too_many_digits_note : editor_refusal_note;
}

// Why the typed text cannot be stored when the cell is left, or nullptr when it can.
const char *commit_problem(const std::string &typed)
{
    Fraction value;
    const NumberRead read = read_shape_entry(typed, value);
    if (read == number_read || typed.empty())
        return nullptr;
    if (read == number_zero_denominator)
        return tr_noop("zlomok s menovatelom 0");
    if (typed == "-")
        return tr_noop("za minusom chyba cislo");
    const char *problem = entry_problem(typed);
    return problem ? problem : tr_noop("cislo nie je dopisane");
}

// How a key left the editor.
enum EditEnd { edit_goes_on, edit_accepted, edit_discarded };

// The draft's cell (r, c).
Fraction &draft_cell(GridEdit &edit, int r, int c)
{
    return edit.draft.cells[static_cast<std::size_t>(c)][static_cast<std::size_t>(r)];
}

// The shape the draft opens on: the last system's (a matrix alone stays one; [A | I] opens as
// the system of A), or a square system of new_system_order before any.
MatrixShape draft_shape(const StoreSnapshot &loaded)
{
    if (loaded.shape.rows == 0)
        return square_shape(new_system_order);
    MatrixShape shape = loaded.shape;
    if (shape.kind == kind_inverse)
        shape.kind = kind_system;
    return shape;
}

// A draft of the last system loaded, typed or made (kept through a failed load), of its shape,
// or of a 3x3 of zeros; each entry in lowest terms with a positive denominator, every cell
// outside it 0.
GridEdit open_draft()
{
    GridEdit edit;
    const StoreSnapshot &loaded = last_system;
    edit.reopened = matrix_shape.rows == 0 && loaded.shape.rows > 0;
    edit.draft.shape = draft_shape(loaded);
    const int kept_columns =
        loaded.shape.kind == kind_inverse ? loaded.shape.unknowns : edit.draft.shape.columns();
    for (int r = 0; r < grid_rows; r++)
        for (int c = 0; c < store_columns; c++) {
            const bool kept = loaded.shape.rows > 0 && r < loaded.shape.rows && c < kept_columns;
            const Fraction &f = snapshot_cell(loaded, r, c);
            mpq_class value = kept && f.den != 0 ? mpq_class(f.num, f.den) : mpq_class(0);
            value.canonicalize();
            draft_cell(edit, r, c) = Fraction{value.get_num(), value.get_den()};
        }
    return edit;
}

// The column of the draft's last cell in a row: the right-hand side of a system.
int last_column(const GridEdit &edit)
{
    return edit.draft.shape.columns() - 1;
}

// Writes what is typed into the framed cell (nothing typed, all deleted: 0) in lowest terms;
// false, with the note, when the cell cannot take it: no number, a part of too many digits, a
// fraction over 0, a minus alone.
bool commit_typed(GridEdit &edit)
{
    if (!edit.typing)
        return true;
    edit.note = commit_problem(edit.typed);
    if (edit.note)
        return false;
    Fraction value{0, 1};
    if (!edit.typed.empty())
        read_shape_entry(edit.typed, value);
    draft_cell(edit, edit.row, edit.column) = value;
    edit.typing = false;
    edit.typed.clear();
    return true;
}

// Frames cell (r, c), kept inside the matrix; what was typed is committed first, and a cell
// that cannot take it stays framed with its note.
void move_to(GridEdit &edit, int r, int c)
{
    if (!commit_typed(edit))
        return;
    const int rows = edit.draft.shape.rows;
    const int last = last_column(edit);
    edit.row = r < 0 ? 0 : (r >= rows ? rows - 1 : r);
    edit.column = c < 0 ? 0 : (c > last ? last : c);
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

// Gives the draft `rows` equations in `unknowns` unknowns: the coefficients that stay and the
// right-hand sides of the rows that stay are kept (a right-hand side moves to the new last
// column), new entries are 0. The framed cell stays where it still is, a right-hand side's on
// the right-hand side.
void change_shape(GridEdit &edit, int rows, int unknowns)
{
    if (!commit_typed(edit))
        return;
    if (rows < 1 || rows > max_matrix_order) {
        edit.note = tr_noop("rovnic je od 1 do 10");
        return;
    }
    if (unknowns < 1 || unknowns > max_matrix_order) {
        edit.note = tr_noop("neznamych je od 1 do 10");
        return;
    }
    const StoreSnapshot old = edit.draft;
    const int old_unknowns = old.shape.unknowns;
    const bool system = old.shape.kind == kind_system;
    const bool on_right_side = system && edit.column == old_unknowns;
    for (int r = 0; r < grid_rows; r++)
        for (int c = 0; c < store_columns; c++) {
            const bool row_stays = r < rows && r < old.shape.rows;
            const bool coefficient = row_stays && c < unknowns && c < old_unknowns;
            const bool right_side = system && row_stays && c == unknowns;
            const int from = right_side ? old_unknowns : c;
            draft_cell(edit, r, c) =
                coefficient || right_side ? snapshot_cell(old, r, from) : Fraction{0, 1};
        }
    edit.draft.shape.rows = rows;
    edit.draft.shape.unknowns = unknowns;
    move_to(edit, edit.row, on_right_side ? unknowns : edit.column);
}

// Backspace: removes the last typed character; before anything is typed, starts from the
// framed cell's value. The note goes once the cell can take what is left.
void delete_back(GridEdit &edit)
{
    if (!edit.typing) {
        edit.typing = true;
        const Fraction &value = draft_cell(edit, edit.row, edit.column);
        edit.typed = mpq_class(value.num, value.den).get_str();
    }
    if (!edit.typed.empty())
        edit.typed.pop_back();
    edit.note = entry_problem(edit.typed);
}

// A typed character joins the entry as typed: a number as the matrix file writes it (or the
// start of one) is an entry the cell takes; any other character stays in sight with the note,
// and the cell cannot be left until it is deleted, so that no other number than the one typed
// is ever stored. A key that types no character changes nothing but the note.
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
    if (!commit_typed(edit))
        return edit_goes_on;
    if (edit.row == edit.draft.shape.rows - 1 && edit.column == last_column(edit))
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
        change_shape(edit, edit.draft.shape.rows + (scancode == KEY_PGUP ? 1 : -1),
                     edit.draft.shape.unknowns);
        return edit_goes_on;
    case KEY_INSERT:
    case KEY_DEL:
        change_shape(edit, edit.draft.shape.rows,
                     edit.draft.shape.unknowns + (scancode == KEY_INSERT ? 1 : -1));
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
    const bool right_side =
        edit.draft.shape.kind == kind_system && edit.column == edit.draft.shape.unknowns;
    // TRANSLATORS: fits 76 with the next: the editor's top line, "Row 2, right-hand side: "
    std::string text = right_side ? format_text(tr("Riadok %d, prava strana: "), edit.row + 1)
                                  // TRANSLATORS: the editor's top line, "Row 2, column 3: "
                                  : format_text(tr("Riadok %d, stlpec %d: "), edit.row + 1,
                                                edit.column + 1);
    // TRANSLATORS: fits 50: the editor's top line after the cell's name
    const char *keys = tr("cislo a Enter; sipky, Tab, klik: ina bunka");
    if (edit.reopened) {
        text = std::string(tr(editor_reopened_note)) + ": " + keys;
    } else if (!edit.typing && !edit.note) {
        text += keys;
    } else {
        const std::string note = edit.note ? std::string("  (") + tr(edit.note) + ")" : "";
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
    show_caption(editor_keys_text(edit.draft.shape));
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

// The editor's keys under the grid for a draft of `shape`.
std::string editor_keys_text(const MatrixShape &shape)
{
    const bool system = shape.kind == kind_system;
    // TRANSLATORS: fits 72: the key line under the grid, "Equations 3 (PgUp/PgDn), ..."
    return system ? format_text(tr("Rovnice %d (PgUp/PgDn), nezname %d (Ins/Del)   E: prijat   "
                                   "Esc: zrusit"),
                                shape.rows, shape.unknowns)
                  // TRANSLATORS: fits 72: the key line under the grid, "Rows 3 (PgUp/PgDn), ..."
                  : format_text(tr("Riadky %d (PgUp/PgDn), stlpce %d (Ins/Del)   E: prijat   "
                                   "Esc: zrusit"),
                                shape.rows, shape.unknowns);
}
