// Opening a matrix file by browsing, with the library's own file selector.
#pragma once

// Opens the library's file selector over the work screen, drawn into the frame so that it
// zooms with everything else, starting in the current folder, listing folders and ".txt"
// files. The file chosen is loaded as a typed name is, whatever its path's length; Escape or
// "Cancel" keeps the matrix.
void open_by_browsing();

// True while the selector is open (or its keys are being let go): the text line is then not
// refreshed from the pointer.
bool browsing_files();
