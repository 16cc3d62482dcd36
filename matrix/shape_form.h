// The matrix file's form with a shape: a header naming what the file holds and its size, then
// one row per line, each entry exact (a whole number, a fraction or a decimal).
//
//     # three equations in four unknowns
//     sustava 3x4
//      1    2  -1   0  |  3
//      2 -1/2 0,5   1  | -7/2
//      0    1   1   1  |  0
//
// "sustava MxN" is a system of M equations in N unknowns: each row holds N coefficients and its
// right-hand side, "|" before the right-hand side optional. "matica MxN" is an M x N matrix
// alone. Entries are separated by spaces; a decimal may have a point or a comma (0.25, 1,5); "#"
// starts a comment to the end of its line; blank lines are free. The form starts with a letter
// or "#", which the first form (the order, then the entries) refuses, so no file that reads in
// the first form reads in this one.
#pragma once

#include "operation_parser.h"
#include "store.h"

#include <cstddef>
#include <string>

// The header's words, and the most bytes a file in this form may have (a 10 x 11 system of
// fractions of two 120-digit parts fits many times over, comments included).
constexpr const char *system_header_word = "sustava";
constexpr const char *matrix_header_word = "matica";
constexpr std::size_t max_shape_form_bytes = 1 << 20;

// True when a file whose first character that is not white space is `c` is in this form.
bool starts_shape_form(int c);

// Reads a file in this form from `text` (its first line numbered `first_line`) into the store.
// Returns a LoadResult: load_ok; load_too_large for a shape above 10 x 10 or an entry part of
// more than max_entry_digits digits; load_invalid for anything else that is wrong. On failure the
// store has no rows and `why` (when not null) says what is wrong and on which line.
int read_shape_form(const std::string &text, int first_line, std::string *why = nullptr);

// Reads `word` whole as one entry of this form: a whole number, a fraction "p/q" or a decimal
// with a point or a comma ("-7/2", "0.25", "1,5"), each part at most max_entry_digits digits,
// into `entry` in lowest terms with a positive denominator. number_none when `word` is not one
// number (or has anything after it); `entry` is changed only when the result is number_read.
NumberRead read_shape_entry(const std::string &word, Fraction &entry);

// The text of `matrix` (a system or a matrix alone) in this form, each column right-aligned and
// " | " before the right-hand side; every value in lowest terms, whole or "p/q". "" when the
// shape is [A | I], or an entry's numerator or denominator has more than max_entry_digits digits.
std::string shape_form_text(const StoreSnapshot &matrix);
