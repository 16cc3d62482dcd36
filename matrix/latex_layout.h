// Matrices and systems of equations in LaTeX, set within the page whatever their entries, and
// the preamble whose macros set them.
#pragma once

#include <gmpxx.h>

#include <cstddef>
#include <string>
#include <vector>

// Rows of exact values, all of one length.
using ValueRows = std::vector<std::vector<mpq_class>>;

// The start of every LaTeX printout, up to \begin{document} and \raggedright: A4 with 20 mm
// margins, amsmath, and the macros that set the layouts below.
extern const char *const latex_preamble;

// How a matrix or a system is set.
enum LatexLayout {
    layout_display, // a display at the largest of five sizes that holds it
    layout_lines,   // each row a paragraph that breaks between groups of digits and pages
};

// The layout latex_matrix or latex_system (`equations`) writes first for `rows`: the display
// where it may fit at some size (followed by the lines, for TeX's measure to fall back on,
// where it may not), else the lines.
LatexLayout latex_layout(const ValueRows &rows, bool equations);

// `rows` as a matrix in parentheses with a rule before column `rule_column`, set within the
// text width: "\gjfit{display}" where the display surely fits at one of its sizes,
// "\gjfitelse{display}{lines}" where TeX's measure decides, else the lines, each row
// "R_{1} = (a, b \gjv c)" a paragraph whose numbers break between groups of three digits.
std::string latex_matrix(const ValueRows &rows, std::size_t rule_column);

// `rows` as a system of equations, the last value of each row its right-hand side, set within
// the text width as a matrix is: the display keeps each unknown in its own column
// ("2x_{1} & {}+ x_{2} & 8"), the lines write each equation as a paragraph.
std::string latex_system(const ValueRows &rows);
