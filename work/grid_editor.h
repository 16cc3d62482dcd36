// The grid editor: typing a system into the work screen's grid, cell by cell.
#pragma once

// The note the editor shows for a key it refuses.
constexpr const char *editor_refusal_note = "len cifry a minus na zaciatku";

// Opens the editor on the loaded system (a 3x3 of zeros when none is loaded) and runs it until
// E, or Enter on the last cell, accepts the matrix, which is then loaded as a file's would be,
// or Escape discards every change and leaves the store as it was. A framed cell takes digits
// and a leading minus (up to max_entry_digits digits); Backspace deletes, Enter commits and
// moves on; arrows, Tab (Shift+Tab back) and a click move; PgUp and PgDn change the order
// from 1 to 10, keeping the entries that stay.
void edit_grid();

// True while the editor runs: the text line is then its own, not the readout.
bool editing_grid();
