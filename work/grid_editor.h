// The grid editor: typing a system into the work screen's grid, cell by cell.
#pragma once

#include "../matrix/store.h"
#include "../matrix/translation.h"

#include <string>

// The note the editor shows for a key it refuses, or an entry holding a character it refuses.
// TRANSLATORS: fits 30: a note on the top line beside the typed entry
constexpr const char *editor_refusal_note = tr_noop("len cislo, napr. 3, -7/2, 0,25");

// What the line says while the editor, opened after a failed load emptied the grid, shows the
// last system instead, until the first key or click.
constexpr const char *editor_reopened_note = tr_noop("Upravujes poslednu sustavu");

// The editor's keys under the grid while it edits a draft of `shape`: its size with the keys
// that change it, and the keys that end the editor.
std::string editor_keys_text(const MatrixShape &shape);

// Opens the editor on the last system loaded, typed or made, of its shape, which a failed load
// does not take away (a 3x3 of zeros when there was none), and runs it until E, or Enter on the
// last cell, accepts the matrix, which is then loaded as a file's would be (and counts as typed
// and unsaved when it was changed), or Escape discards every change and leaves the store as it
// was. A framed cell takes a number as the matrix file writes it: a whole number, a fraction or
// a decimal with a point or a comma ("-7/2", "0.25", "1,5"), each part up to max_entry_digits
// digits, stored exactly in lowest terms; any other character stays on the line with a note,
// and the cell keeps the cursor (Enter, a move, E) until it is deleted, so that no other number
// than the one typed is ever stored. Backspace deletes, Enter commits and moves on; arrows, Tab
// (Shift+Tab back) and a click move; PgUp and PgDn add or remove the last equation, Insert and
// Delete the last unknown (each from 1 to 10), keeping the entries that stay.
void edit_grid();

// True while the editor runs: the text line is then its own, not the readout.
bool editing_grid();
