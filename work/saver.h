// Saving the loaded system to a file whose name is typed on the text line.
#pragma once

// Asks for a file name on the text line ("Zapisat do suboru"; Escape or an empty name cancels)
// and writes the loaded system there in the matrix file format, atomically; an existing file
// is replaced only after a second Enter. How it went stays on the text line until a key or a
// click. The store and the matrix on screen never change.
void save_matrix();

// True while the line asks whether an existing file may be replaced: the line is then the
// question, not the readout.
bool overwrite_question_open();
