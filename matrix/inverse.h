// The inverse matrix by Gauss-Jordan elimination: [A | I] made from a square matrix, which the
// elimination reduces until the left block is I and the right block is A^-1.
#pragma once

#include "store.h"

#include <string>

// What making [A | I] from a matrix found.
enum InverseSetup {
    inverse_ready,      // [A | I] is made
    inverse_no_matrix,  // there is no matrix: no rows
    inverse_not_square, // A has not as many rows as columns
};

// Makes [A | I] in `start` from the left block A of `matrix`: a square system's coefficients
// (its right-hand sides left out), a square matrix alone, or the left block of [A | I] itself;
// the identity's entries are whole. `start` is left as it was unless [A | I] is made.
InverseSetup inverse_setup(const StoreSnapshot &matrix, StoreSnapshot &start);

// The size of A of `shape` in words, for a message saying it is not square: "A ma 3 riadky a
// 4 stlpce" (1 riadok, 2 az 4 riadky, 5 a viac riadkov; the same for stlpec).
std::string left_block_size_text(const MatrixShape &shape);

// The right block of [A | I] in `matrix` as an n x n matrix alone: A^-1 once the left block is I.
StoreSnapshot right_block(const StoreSnapshot &matrix);
