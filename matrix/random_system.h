// Random exercises: systems of whole coefficients whose unique solution is whole numbers.
#pragma once

#include "store.h"

#include <cstdint>

constexpr int random_coefficient_limit = 9; // coefficients from -9 to 9
constexpr int random_solution_limit = 5;    // the solution's values from -5 to 5

// A random system of order n (1..max_matrix_order), the same for the same seed on every machine:
// coefficients from -9 to 9, one solution of whole numbers from -5 to 5 (not all 0), and the
// right-hand sides that make it so; every entry has den 1. From order 2 on, about one system in
// three is made so that its elimination meets a zero pivot with a non-zero entry below it, and
// so exchanges rows; the others never do.
StoreSnapshot random_system(int order, std::uint64_t seed);
