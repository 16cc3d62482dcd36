// A random exercise on the work screen: a new system with a whole-number solution.
#pragma once

#include <cstdint>

// Loads a new random system of the loaded order (3 when none is loaded), as a file's would be,
// and names under the grid the command that prints it again: --random N --seed S.
void load_random_system();

// Makes the seeds of the coming random systems follow from `seed`, the same ones for the same
// seed (the random-input test replays its runs); without it they follow from the system's own
// randomness.
void seed_random_exercises(std::uint64_t seed);
