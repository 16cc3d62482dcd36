// Texts of cell values: the short decimal form of the grid and the exact readout.
#pragma once

#include <gmpxx.h>

#include <cstddef>
#include <string>

// Room for a grid cell's text: at most 5 characters and the terminating zero.
constexpr std::size_t cell_text_size = 6;

// Writes the short decimal text of num/den (at most 5 characters) into text.
void format_cell(const mpz_class &num, const mpz_class &den, char *text);

// How a grid cell shows its value when the grid shows exact fractions.
enum GridTextKind {
    grid_text_whole,    // a whole number, alone
    grid_text_fraction, // numerator (with the sign) over a bar over denominator
    grid_text_decimal,  // too long for either: the short decimal text of format_cell
};

// The most characters of each part of a fraction in the grid, and of a whole number there.
constexpr std::size_t fraction_part_chars = 6;

// A grid cell's text in the grid of fractions: `top` alone (a whole number or the decimal
// text), or `top` over `bottom`.
struct GridText {
    GridTextKind kind = grid_text_whole;
    std::string top;
    std::string bottom;
};

// The text of num/den in the grid of fractions: in lowest terms with the sign in the numerator
// (whatever sign the store keeps), a whole number alone; when a part would need more than
// fraction_part_chars characters, the short decimal text instead, so no digit is ever cut.
GridText fraction_cell_text(const mpz_class &num, const mpz_class &den);

// The exact value num/den as the readout shows it, "7" or "7 / 2" (a negative den keeps
// its sign), at most `limit` characters; a number too long for the line is cut to its
// leading digits and marked with "..." and its digit count.
std::string readout_text(const mpz_class &num, const mpz_class &den, std::size_t limit);

// A number's text, cut to about `budget` characters when longer: its leading digits, then
// "...(<n> cifier)" with its digit count.
std::string fit_number(const std::string &number, std::size_t budget);

// top, separator and bottom within `limit` characters, each side cut and marked as by
// fit_number only as far as needed; room one side does not need goes to the other.
std::string fit_fraction(const std::string &top, const std::string &separator,
                         const std::string &bottom, std::size_t limit);

// The exact value num/den in lowest terms with the sign in the numerator, as "-7/2" or "3".
std::string exact_value_text(const mpz_class &num, const mpz_class &den);
