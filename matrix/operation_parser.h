// Reading a row operation the learner writes in the caption's notation: "R2 <-> R3",
// "R2 <- (1/2) R2", "R3 <- R3 - 2 R1", or as students write them ("R2 = R2/2",
// "R2 - 2R1 -> R2", "R2 <- 2 R2 + 3 R1"), with a message that names what is wrong otherwise.
#pragma once

#include "elimination.h"

#include <gmpxx.h>

#include <cstddef>
#include <string>

// The most digits of a factor the learner types, in its numerator and in its denominator (in
// lowest terms and as written), as many as an entry of a matrix file.
constexpr std::size_t max_factor_digits = 120;

// How reading an exact number went.
enum NumberRead {
    number_none,             // no number here
    number_read,             // a number was read
    number_too_long,         // a part of it has more than the digits allowed
    number_zero_denominator, // a fraction over 0
};

// Reads an exact number at text[pos]: an integer "-3", a fraction "7/2" or a decimal "0.5"
// (exactly 1/2; with `decimal_comma` also "0,5", a comma before a digit), with an optional
// sign, and no spaces inside.
// Moves pos past it when read. Each run of digits may have at most max_digits digits (a
// decimal's two runs together).
NumberRead read_exact_number(const std::string &text, std::size_t &pos, std::size_t max_digits,
                             mpq_class &value, bool decimal_comma = false);

// What parse_operation found: the operation, or why the text is none.
struct ParsedOperation {
    bool ok = false;
    RowOperation operation; // when ok: a learner's operation, rows counted from 0
    std::string message;    // when not ok: what is wrong, in a few words
};

// Reads one row operation on a system of order `order`: an exchange "R2 <-> R3"; "R2 <- ...",
// "R2 = ..." or "R2 -> ..." (also "... -> R2") with a multiple of R2 ("1/2 R2", "1/2*R2",
// "R2/2", "R2 : 2"), R2 plus a multiple of another row ("R3 - 2 R1", "-2 R1 + R3") or a
// multiple of R2 plus one of another ("2 R2 + 3 R1", done as one combined operation). Spaces are
// optional and "r" is "R"; a factor is an integer, a fraction or a decimal with a point or a
// comma ("0,5": a comma never separates anything here), with or without parentheses; the arrows
// and the minus sign of Unicode read as typed ones. Refused, with a message: an unknown form, two
// operations on one line, "R1 -> R2" (it could mean either row, or an exchange), a row out of
// range, a scaling by 0 or a division by 0, a row combined with itself, a factor over 0 or with
// more than max_digits digits in its numerator or denominator.
ParsedOperation parse_operation(const std::string &text, int order,
                                std::size_t max_digits = max_factor_digits);
