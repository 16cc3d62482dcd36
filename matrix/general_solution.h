// What a system in reduced row echelon form says about its solutions, and the statement that
// closes a solve: the solution, the general solution with its parameters, or the contradiction.
#pragma once

#include "notation.h"
#include "store.h"

#include <gmpxx.h>

#include <cstddef>
#include <string>
#include <vector>

// One unknown of a general solution: constant + coefficients[k] * t(k+1), summed over k.
struct UnknownExpression {
    mpq_class constant;
    std::vector<mpq_class> coefficients; // one per parameter, in the order of free_columns
};

// The solution set the store states, once it is in reduced row echelon form.
struct SolutionSet {
    int contradiction_row = -1;    // the first row reading 0 ... 0 | c with c != 0; -1: none
    mpq_class contradiction_value; // that c
    std::vector<int> free_columns; // the unknowns without a pivot, in column order: t1, t2, ...
    std::vector<UnknownExpression> unknowns; // x1 .. xn; empty when there is a contradiction
};

// Reads the solution set off the loaded system, which must be in reduced row echelon form, as
// an elimination that reaches it leaves the store (a regular system's every elimination does).
SolutionSet solution_set();

// The statement that closes a solve, read off the store in reduced row echelon form. A system:
// "Riesenie: x1 = 2, x2 = 3", or, without a unique solution or when not square, with its ranks:
// "Riesenie: x1 = 3 - 2 t1, x2 = t1; h(A) = 1, h(A|b) = 1", "Sustava nema riesenie: R3 znamena
// 0 = 1; h(A) = 2, h(A|b) = 3". [A | I]: "Inverzna matica: vpravo od ciary" once the left block
// is the identity and the right block times A (the left block of `start`, when given) is the
// identity exactly, or "Matica A nema inverznu maticu: R3 ma vlavo same nuly; h(A) = 2". A matrix
// alone: "Redukovany stupnovity tvar: h(A) = 2". "Sustava je prazdna." when there are no rows.
// In LaTeX it is text with inline math. In plain text it is at most `limit` characters: the
// unknowns that fit, then "...".
std::string closing_statement(NotationStyle style, std::size_t limit = std::string::npos,
                              const StoreSnapshot *start = nullptr);

// The first row of [A | I] in the store whose left block is all zeros (A has no inverse), -1 when
// none is.
int inverse_zero_row();

// True when the store's [A | I] holds A^-1 right of the rule: no row's left block is zero, the
// left block is the identity and, when `start` is given, the right block times A (the left block
// of `start`) is the identity exactly.
bool inverse_found(const StoreSnapshot *start);
