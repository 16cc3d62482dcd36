// Whether the system typed in the grid editor has been saved since.
#include "typed_system.h"

#include "../matrix/store.h"

namespace
{

bool typed_unsaved = false; // the last system accepted from the editor awaits a save
unsigned typed_matrix = 0;  // matrix_serial of that system

} // namespace

// Notes the store's new matrix as typed and not yet saved.
void note_typed_system()
{
    typed_unsaved = true;
    typed_matrix = matrix_serial;
}

// Notes that the loaded system was written: the typed one, when it is still loaded.
void note_system_saved()
{
    if (matrix_serial == typed_matrix)
        typed_unsaved = false;
}

// True while the typed system is loaded and unsaved.
bool typed_system_unsaved()
{
    return typed_unsaved && typed_matrix == matrix_serial;
}
