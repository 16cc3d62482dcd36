// Whether the system typed in the grid editor has been saved since, so that ending the program
// can ask before it is lost.
#pragma once

// Notes that the store now holds a system just accepted from the grid editor.
void note_typed_system();

// Notes that W wrote the loaded system to a file.
void note_system_saved();

// True when the system last accepted from the grid editor was not saved by W since, and is
// still the one the editor would reopen on (the store has been given no other matrix).
bool typed_system_unsaved();
