// Choosing a file with the library's own file selector: for opening a matrix (O) and for naming
// the file a system is saved in (W).
#pragma once

#include <string>

// The folder of the last file loaded or saved, "" before the first; the selector opens there
// (remember_file_folder writes it, for the loader and the saver).
extern std::string file_folder;

// Notes that the file `path` was loaded or saved: the selector opens in its folder from now on.
void remember_file_folder(const std::string &path);

// The path the selector starts from: file_folder with a '/' after it while it is a folder, else
// "./", the folder the program was started in (the library shows either as a full path).
std::string selector_start_path();

// Runs the library's file selector over the work screen with `title` as its caption, drawn into
// the frame so that it zooms with everything else, starting in selector_start_path(), listing
// folders and ".txt" files, the path field taking the typing from the start. True with the
// path chosen (OK, Enter on a name or a double click on a file) in `chosen`; false on Escape,
// "Cancel" or an ending program. A character the font has no glyph for is refused, and the
// caption says so until the next key.
bool choose_file(const char *title, std::string &chosen);

// O: lets the user choose a matrix file with the selector, and loads it as a typed name is
// loaded, whatever its path's length; Escape or "Cancel" keeps the matrix.
void open_by_browsing();

// True while the selector is open (or its keys are being let go): the text line is then not
// refreshed from the pointer.
bool browsing_files();
