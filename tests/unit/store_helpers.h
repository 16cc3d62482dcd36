// Helpers the engine's unit tests share: filling the store, reading its cells back exactly, and
// checking a number cut to fit a line.
#pragma once

#include "matrix/store.h"

#include <gmpxx.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

// Rows of a system: n coefficients and the right-hand side each.
using IntegerRows = std::vector<std::vector<mpz_class>>;

// Empties the store as at start-up: order 0 and every cell 0/0.
inline void reset_store()
{
    matrix_order = 0;
    for (auto &column : matrix_cells)
        for (Fraction &f : column) {
            f.num = 0;
            f.den = 0;
        }
}

// Loads an integer system into the store, every denominator 1.
inline void set_system(const IntegerRows &rows)
{
    reset_store();
    matrix_order = static_cast<int>(rows.size());
    for (std::size_t r = 0; r < rows.size(); r++)
        for (std::size_t c = 0; c < rows[r].size(); c++) {
            cell(static_cast<int>(r), static_cast<int>(c)).num = rows[r][c];
            cell(static_cast<int>(r), static_cast<int>(c)).den = 1;
        }
}

// The exact value of cell (r, c); the stored sign may sit in the denominator.
inline mpq_class cell_value(int r, int c)
{
    mpq_class value(cell(r, c).num, cell(r, c).den);
    value.canonicalize();
    return value;
}

// Checks a number as a line shows it: whole, or cut to its leading digits, then "..." and its
// digit count.
inline void expect_number_side(const std::string &shown, const std::string &number)
{
    if (shown == number)
        return;
    const std::size_t dots = shown.find("...");
    ASSERT_NE(dots, std::string::npos) << shown;
    ASSERT_GT(dots, 0u) << shown;
    EXPECT_EQ(number.compare(0, dots, shown, 0, dots), 0)
        << shown << " is not a prefix of the number";
    const std::size_t digits = number.size() - (number[0] == '-' ? 1 : 0);
    EXPECT_NE(shown.find(std::to_string(digits), dots), std::string::npos) << shown;
}
