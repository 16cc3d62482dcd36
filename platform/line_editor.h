// The one-line editor that collects a file name or a row operation on a screen's text line.
#pragma once

#include "../matrix/translation.h"

#include <cstddef>
#include <string>

// The most bytes of text the line editor takes: a path as long as the system allows one.
constexpr std::size_t line_edit_bytes = 4095;

// What the line shows after the text when a key was refused (the first also in the file
// selector's caption): the character has no glyph in the library's font, or the text is as
// long as the editor takes.
// TRANSLATORS: fits 30: a note on the top line beside the typed text
constexpr const char *refused_character_note = tr_noop("tento znak sa neda napisat");
// TRANSLATORS: fits 30: a note on the top line beside the typed text
constexpr const char *refused_length_note = tr_noop("dlhsi text sa neda napisat");

// Edits a line of text on line_text, painting a frame with `paint` on every pass: on entry
// line_text holds the prompt, shown until the first key; then it shows the text typed (in
// UTF-8, every character the font draws), its end after "..." when it is longer than the line,
// and a note after it when a key was refused, until the next key. Enter ends editing and
// returns the whole text typed, whose end the line then shows; Escape cancels, emptying the
// line, and returns "". A `start` text (one refused, to be corrected) is shown and edited from
// the outset instead of the prompt.
std::string edit_line(void (*paint)(), const std::string &start = "");

// True when a typed character can be part of an edited text: printable, and drawn by the
// library's font (no control code, no character the font would show as '^').
bool typable_character(int code);

// The text typed so far while edit_line runs; "" when none runs.
const std::string &edited_text();

// True while edit_line runs: the text line shows the prompt or the name being typed, not the
// readout of the cell under the pointer.
bool editing_line();
