// Saving the loaded system to a file named in the library's file selector.
#pragma once

// Asks for the file in the file selector ("Zapisat do suboru", opening in the folder of the last
// file loaded or saved; Escape or "Cancel" cancels) and writes the loaded system there in the
// matrix file format, atomically; an existing file is replaced only after a second Enter. How
// it went stays on the text line until a key or a click, naming the file (its end when the
// path is longer than the line). The store and the matrix on screen never change.
// When there is work on screen (the learner's operations as they stand, or the steps a solve
// has done so far and left in the store) it first asks on the text line "Co zapisat? S sustavu,
// P postup (tvoje upravy: 3), Esc zrusit" ("kroky programu: 5" for a solve's): S saves the
// system as above, P the work in the form --check reads (work_file_text, with the "# --random"
// line first when it starts from the system N made and still loaded), Escape or a click saves
// nothing.
void save_matrix();

// True while the line asks whether an existing file may be replaced: the line is then the
// question, not the readout.
bool overwrite_question_open();

// True while the line asks what to save (the system or the work on screen): the line is then the
// question, not the readout.
bool save_choice_open();
