// Texts of cell values: the short decimal form of the grid and the exact readout.
#pragma once

#include <gmpxx.h>

#include <cstddef>
#include <string>

// Room for a grid cell's text: at most 5 characters and the terminating zero.
constexpr std::size_t cell_text_size = 6;

// Writes the short decimal text of num/den (at most 5 characters) into text.
void format_cell(const mpz_class &num, const mpz_class &den, char *text);

// The exact value num/den as the readout shows it, "7" or "7 / 2" (a negative den keeps
// its sign), at most `limit` characters; a number too long for the line is cut to its
// leading digits and marked with "..." and its digit count.
std::string readout_text(const mpz_class &num, const mpz_class &den, std::size_t limit);
