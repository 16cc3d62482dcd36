// A random exercise on the work screen: a new system of the loaded shape with a whole solution.
#pragma once

#include "../matrix/store.h"

#include <cstdint>
#include <string>

// Loads a new random system of the loaded shape, as a file's would be: as many equations and
// unknowns as the system in the store (of [A | I] or a matrix alone, as many equations as its rows
// and unknowns as its columns left of the rule, or all of them); 3x3 when none is loaded. Names
// under the grid the command that prints it again: --random N --seed S for a square system,
// --random MxN --seed S for any other.
void load_random_system();

// Makes the seeds of the coming random systems follow from `seed`, the same ones for the same
// seed (the random-input test replays its runs); without it they follow from the system's own
// randomness.
void seed_random_exercises(std::uint64_t seed);

// The first line of a work that starts from `start`: "# --random 3 --seed 48213" with its newline
// when `start` is the system N made last and the store still holds the matrix N gave it (no other
// system loaded, typed or made since, and no [A | I] made of it); else "".
std::string random_origin_of(const StoreSnapshot &start);
