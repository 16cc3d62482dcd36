// Saving the loaded system to a file named in the library's file selector.
#pragma once

// Asks for the file in the file selector ("Zapisat do suboru", opening in the folder of the last
// file loaded or saved; Escape or "Cancel" cancels) and writes the loaded system there in the
// matrix file format, atomically; an existing file is replaced only after a second Enter. How
// it went stays on the text line until a key or a click, naming the file (its end when the
// path is longer than the line). The store and the matrix on screen never change.
void save_matrix();

// True while the line asks whether an existing file may be replaced: the line is then the
// question, not the readout.
bool overwrite_question_open();
