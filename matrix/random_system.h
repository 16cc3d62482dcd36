// Random exercises: systems of whole coefficients with a whole solution, of any shape.
#pragma once

#include "store.h"

#include <cstdint>
#include <string>

constexpr int random_coefficient_limit = 9;    // coefficients from -9 to 9
constexpr int random_solution_limit = 5;       // the solution's values from -5 to 5
constexpr int largest_hand_numerator = 99;     // the largest numerator (or whole number) met
constexpr int largest_hand_denominator = 4;    // the largest denominator met: 1, 2 or 4
constexpr int largest_contradiction_shift = 2; // a contradicting right-hand side is off by 1 or 2

// A random system of `rows` equations in `unknowns` unknowns (each 1..max_matrix_order), the
// same for the same seed on every machine: coefficients from -9 to 9, a solution of whole numbers
// from -5 to 5 (not all 0), and the right-hand sides that make it so; every entry has den 1.
// It is an exercise for pencil and paper: its worked solution (the program's own elimination,
// on to the reduced form) meets only the pivots 1, -1, 2 and -2, and every entry of every matrix
// it shows, the right-hand sides included, is a whole number or a fraction over 2 or 4 whose
// numerator is at most 99 in absolute value.
// - Square: that solution is the only one. From order 2 on, about one system in three is made so
//   that its elimination meets a zero pivot with a non-zero entry below it, and so exchanges
//   rows; the others never do.
// - Fewer equations than unknowns: the coefficients' rank is the number of equations, the pivots
//   are in the first columns and the last unknowns are free; the solution is a particular one.
// - More equations than unknowns: the first `unknowns` equations have the unique solution, the
//   others are rows (none all 0) that keep it, except in about one system in three, where one of
//   them has its right-hand side moved by 1 or 2, so that the system has no solution.
// In both, rows are exchanged as in a square system of the smaller order. An empty snapshot (no
// rows) for a size outside 1..10.
StoreSnapshot random_system(int rows, int unknowns, std::uint64_t seed);

// The --random argument that makes a system of this size: "3" when square, else "3x4".
std::string random_shape_argument(int rows, int unknowns);

// The options that print this system alone: "--random 3 --seed 48213".
std::string random_options_text(int rows, int unknowns, std::uint64_t seed);

// A random square system of order n: random_system(n, n, seed).
inline StoreSnapshot random_system(int order, std::uint64_t seed)
{
    return random_system(order, order, seed);
}
