// The one-line editor that collects a file name or a row operation on a screen's text line.
#pragma once

// The most characters the line editor accepts for a file name.
constexpr int line_edit_limit = 38;

// The most characters of a row operation typed on the line: as many as the text line shows.
constexpr int operation_edit_limit = 76;

// Edits line_text in place, painting a frame with `paint` on every pass: on entry it holds the
// prompt, shown until the first key; on return it holds what the user typed (at most `limit`
// characters), possibly empty. Enter ends editing; Escape cancels it and returns an empty line.
void edit_line(void (*paint)(), int limit = line_edit_limit);

// The most characters the running edit_line accepts (line_edit_limit when none runs).
int line_limit();

// True while edit_line runs: the text line shows the prompt or the name being typed, not the
// readout of the cell under the pointer.
bool editing_line();
