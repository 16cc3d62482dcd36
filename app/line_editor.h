// The one-line editor that collects a file name on the work screen.
#pragma once

// The most characters the line editor accepts.
constexpr int line_edit_limit = 38;

// Edits line_text in place: on entry it holds the prompt, shown until the first key;
// on return it holds what the user typed, possibly empty. Enter ends editing; Escape
// cancels it and returns an empty line.
void edit_line();

// True while edit_line runs: the text line shows the prompt or the name being typed, not the
// readout of the cell under the pointer.
bool editing_line();
