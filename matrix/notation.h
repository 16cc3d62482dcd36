// Row operations written as a learner writes them: "R2 <-> R4", "R2 <- (2/3) R2",
// "R3 <- R3 - (5/2) R1", on the screen, in a printed solution and in LaTeX.
#pragma once

#include "elimination.h"

#include <gmpxx.h>

#include <cstddef>
#include <string>

// How an operation is written: as plain text, or as LaTeX math for amsmath.
enum NotationStyle { notation_plain, notation_latex };

// The most characters of a step's caption on the work screen.
constexpr std::size_t caption_chars = 72;

// The exact factor an operation applies, in lowest terms: the pivot's reciprocal when
// scaling, the eliminated row's entry in the pivot column when eliminating, 0 for an exchange.
mpq_class operation_factor(const RowOperation &operation);

// An exact value in LaTeX: "3", "-\frac{7}{2}", whatever sign the fraction's denominator holds.
std::string latex_value(mpq_class value);

// The most digits of a numerator or denominator that inline LaTeX writes whole.
constexpr std::size_t latex_whole_digits = 20;

// `digits` in groups of three from the right with `separator` between them: "1\,234\,567".
std::string grouped_digits(const std::string &digits, const char *separator);

// An exact value as a line of text may break it, in LaTeX math: the integer and the parts of
// "num/den" in groups of three with \gjb between (a thin space a line may break at), the
// sign in front; in parentheses when `factor` (a fraction standing before a name).
std::string latex_broken_value(mpq_class value, bool factor);

// An exact value within a line of LaTeX text: latex_value's "\frac{7}{2}", or
// latex_broken_value's form when a part has more than latex_whole_digits digits.
std::string latex_inline_value(mpq_class value, bool factor);

// The operation written in `style`, rows numbered from 1. In plain text a factor too long
// for `limit` characters in all is abbreviated to its leading digits and its digit count.
std::string operation_text(const RowOperation &operation, NotationStyle style = notation_plain,
                           std::size_t limit = std::string::npos);

// A caption naming an operation after `head`: "Rada: R2 <- R2 - 3 R1", at most caption_chars,
// the operation's factor abbreviated to fit.
std::string operation_caption(const std::string &head, const RowOperation &operation);

// The caption of step `step` of `total`: "Krok 3 z 9: R2 <- R2 - 3 R1", at most caption_chars.
std::string step_caption_text(int step, int total, const RowOperation &operation);
