// A random exercise on the work screen: a new system with a whole-number solution.
#pragma once

// Loads a new random system of the loaded order (3 when none is loaded), as a file's would be,
// and names under the grid the command that prints it again: --random N --seed S.
void load_random_system();
