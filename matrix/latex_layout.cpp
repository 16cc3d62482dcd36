// Matrices and systems of equations in LaTeX, set within the page whatever their entries, and
// the preamble whose macros set them.
#include "latex_layout.h"

#include "notation.h"

#include <algorithm>

// The preamble: \gjfitelse{display}{other} sets a display at the largest of five sizes that
// fits the text width, and `other` where it fits at none; \gjfit{display} sets it at the
// tiniest then. In a gjlines block each \gjrow paragraph is a row of a matrix or an equation,
// its further lines indented, and a line breaks as gladly at an operator as between entries;
// \gjb is the thin space between groups of digits, where a line may break a little less
// gladly, \gjc the comma after an entry and \gjv the rule.
const char *const latex_preamble =
    "\\documentclass[a4paper,11pt]{article}\n"
    "\\usepackage{amsmath}\n"
    "\\setlength{\\textwidth}{170mm}\n"
    "\\setlength{\\oddsidemargin}{-5.4mm}\n"
    "\\setlength{\\evensidemargin}{-5.4mm}\n"
    "\\setlength{\\topmargin}{-5.4mm}\n"
    "\\setlength{\\headheight}{0pt}\n"
    "\\setlength{\\headsep}{0pt}\n"
    "\\setlength{\\textheight}{247mm}\n"
    "\\setlength{\\parindent}{0pt}\n"
    "\\setlength{\\parskip}{4pt}\n"
    "\\raggedbottom\n"
    "\\renewcommand{\\arraystretch}{1.3}\n"
    "\\newsavebox{\\gjbox}\n"
    "\\newif\\ifgjfits\n"
    "\\newcommand{\\gjfitat}[2]{\\ifgjfits\\else\\sbox{\\gjbox}{#1$\\displaystyle#2$}"
    "\\ifdim\\wd\\gjbox>\\linewidth\\else\\gjfitstrue\\fi\\fi}\n"
    "\\newcommand{\\gjfitelse}[2]{\\gjfitsfalse\\gjfitat{}{#1}\\gjfitat{\\small}{#1}"
    "\\gjfitat{\\footnotesize}{#1}\\gjfitat{\\scriptsize}{#1}\\gjfitat{\\tiny}{#1}"
    "\\ifgjfits\\[\\usebox{\\gjbox}\\]\\else#2\\fi}\n"
    "\\newcommand{\\gjfit}[1]{\\gjfitelse{#1}{\\[\\usebox{\\gjbox}\\]}}\n"
    "\\newcommand{\\gjb}{\\penalty50\\mskip\\thinmuskip}\n"
    "\\newcommand{\\gjc}{,\\penalty0\\quad}\n"
    "\\newcommand{\\gjv}{\\quad\\mathrel{\\vert}\\penalty0\\quad}\n"
    "\\newcommand{\\gjrow}{\\hangindent=2em\\hangafter=1\\relax}\n"
    "\\newenvironment{gjlines}{\\par\\footnotesize\\binoppenalty=0\\relpenalty=0}{\\par}\n"
    "\\begin{document}\n"
    "\\raggedright\n";

namespace
{

// The widths (pt) the estimate counts at \tiny, the smallest size a display is set at, in the
// preamble's 11 pt text.
constexpr double tiny_digit = 3.667;               // a digit in text style
constexpr double tiny_fraction_digit = 3.4;        // a digit of a fraction in an array cell
constexpr double sign_extra = 1.6 * tiny_digit;    // a minus in front of a value
constexpr double fraction_extra = 2.4;             // the null delimiters around a fraction
constexpr double column_extra = 10.0;              // an array's space around a column
constexpr double matrix_extra = 12.0;              // parentheses and the rule
constexpr double unknown_extra = 4.7 * tiny_digit; // an unknown and the operator before it
constexpr double equals_extra = 3.2 * tiny_digit;  // the equals sign and its space
constexpr double text_width = 483.7;               // 170 mm

// The estimated width at \tiny of a cell holding `value`; a coefficient of an equation
// (`coefficient`) counts no digits when it is 0 or ±1, and no sign, as its operator is
// counted with its unknown.
double cell_width(mpq_class value, bool coefficient)
{
    value.canonicalize();
    if (coefficient && (value == 0 || abs(value) == 1))
        return 0;
    const double sign = !coefficient && value < 0 ? sign_extra : 0;
    const auto top = static_cast<double>(mpz_class(abs(value.get_num())).get_str().size());
    if (value.get_den() == 1)
        return sign + top * tiny_digit;
    const auto bottom = static_cast<double>(value.get_den().get_str().size());
    return sign + std::max(top, bottom) * tiny_fraction_digit + fraction_extra;
}

// The estimated width of the display at \tiny: each column as wide as its widest cell, and
// the unknowns, operators and equals sign of equations or the parentheses of a matrix.
double tiny_display_width(const ValueRows &rows, bool equations)
{
    const std::size_t columns = rows.front().size();
    std::vector<double> widest(columns, 0);
    for (const auto &row : rows)
        for (std::size_t c = 0; c < columns; c++)
            widest[c] = std::max(widest[c], cell_width(row[c], equations && c + 1 < columns));
    double width = 0;
    for (const double column : widest)
        width += column;
    if (equations)
        return width + static_cast<double>(columns - 1) * unknown_extra + equals_extra;
    return width + static_cast<double>(columns) * column_extra + matrix_extra;
}

// The name of unknown `column` (from 0): "x_{3}".
std::string unknown_name(std::size_t column)
{
    return "x_{" + std::to_string(column + 1) + "}";
}

// One term of an equation in a display: "2x_{3}", "-x_{3}"; after another term with a binary
// sign, "{}+ 2x_{3}", "{}- \frac{1}{2}x_{3}".
std::string display_term(const mpq_class &coefficient, std::size_t column, bool first)
{
    const mpq_class magnitude = abs(coefficient);
    const std::string term = (magnitude == 1 ? "" : latex_value(magnitude)) + unknown_name(column);
    if (first)
        return (coefficient < 0 ? "-" : "") + term;
    return (coefficient < 0 ? "{}- " : "{}+ ") + term;
}

// The matrix as an amsmath array in parentheses, with a rule before column `rule_column`.
std::string matrix_display(const ValueRows &rows, std::size_t rule_column)
{
    const std::size_t columns = rows.front().size();
    std::string text = "\\left(\\begin{array}{" + std::string(rule_column, 'r') +
                       (rule_column < columns ? "|" : "") +
                       std::string(columns - rule_column, 'r') + "}\n";
    for (std::size_t r = 0; r < rows.size(); r++) {
        for (std::size_t c = 0; c < columns; c++)
            text += (c > 0 ? " & " : "") + latex_value(rows[r][c]);
        text += r + 1 < rows.size() ? " \\\\\n" : "\n";
    }
    return text + "\\end{array}\\right)\n";
}

// The system as an array that keeps each unknown in its own column.
std::string system_display(const ValueRows &rows)
{
    const std::size_t n = rows.front().size() - 1;
    std::string text = "\\begin{array}{r";
    for (std::size_t c = 1; c < n; c++)
        text += "@{}r";
    text += "@{\\;=\\;}r}\n";
    for (std::size_t r = 0; r < rows.size(); r++) {
        bool any = false;
        for (std::size_t c = 0; c < n; c++) {
            const mpq_class &value = rows[r][c];
            std::string term = value == 0 ? "" : display_term(value, c, !any);
            if (c + 1 == n && !any && value == 0)
                term = "0"; // no unknown at all: 0 = b
            any = any || value != 0;
            text += (c > 0 ? " & " : "") + term;
        }
        text += " & " + latex_value(rows[r][n]);
        text += r + 1 < rows.size() ? " \\\\\n" : "\n";
    }
    return text + "\\end{array}\n";
}

// The matrix as lines: each row "R_{1} = (a, b \vert c)" a paragraph of its own.
std::string matrix_lines(const ValueRows &rows, std::size_t rule_column)
{
    std::string text = "\\begin{gjlines}\n";
    for (std::size_t r = 0; r < rows.size(); r++) {
        text += "\\gjrow $R_{" + std::to_string(r + 1) + "} = (";
        for (std::size_t c = 0; c < rows[r].size(); c++) {
            if (c > 0)
                text += c == rule_column ? "\\gjv\n" : "\\gjc\n";
            text += latex_broken_value(rows[r][c], false);
        }
        text += ")$\n\n";
    }
    return text + "\\end{gjlines}\n";
}

// The system as lines: each equation "2\,x_{1} + x_{2} = 8" a paragraph of its own.
std::string system_lines(const ValueRows &rows)
{
    std::string text = "\\begin{gjlines}\n";
    for (const auto &row : rows) {
        const std::size_t n = row.size() - 1;
        std::string terms;
        for (std::size_t c = 0; c < n; c++) {
            if (row[c] == 0)
                continue;
            const mpq_class magnitude = abs(row[c]);
            const std::string term =
                (magnitude == 1 ? "" : latex_broken_value(magnitude, true) + "\\,") +
                unknown_name(c);
            if (terms.empty())
                terms = (row[c] < 0 ? "-" : "") + term;
            else
                terms += (row[c] < 0 ? "\n- " : "\n+ ") + term;
        }
        text += "\\gjrow $" + (terms.empty() ? "0" : terms) +
                "\n= " + latex_broken_value(row[n], false) + "$\n\n";
    }
    return text + "\\end{gjlines}\n";
}

// Whether a display surely fits at \tiny, may fit, or surely does not.
enum DisplayFit { display_fits, display_may_fit, display_too_wide };

// How the display of estimated `width` at \tiny fits the text width: near it, the estimate is
// within 2.5 % of TeX's measure for a matrix and 4.5 % for equations.
DisplayFit display_fit(double width)
{
    if (width <= 0.95 * text_width)
        return display_fits;
    return width <= 1.06 * text_width ? display_may_fit : display_too_wide;
}

// The text of a matrix or a system: its display where that surely fits, the display with its
// lines for TeX to choose from where it may, else the lines.
template <typename Display, typename Lines>
std::string fitted(double width, Display display, Lines lines)
{
    switch (display_fit(width)) {
    case display_fits:
        return "\\gjfit{" + display() + "}\n";
    case display_may_fit:
        return "\\gjfitelse{" + display() + "}{\n" + lines() + "}\n";
    default:
        return lines();
    }
}

} // namespace

// The layout latex_matrix or latex_system writes for `rows` first.
LatexLayout latex_layout(const ValueRows &rows, bool equations)
{
    return display_fit(tiny_display_width(rows, equations)) == display_too_wide ? layout_lines
                                                                                : layout_display;
}

// `rows` as a matrix set within the text width.
std::string latex_matrix(const ValueRows &rows, std::size_t rule_column)
{
    return fitted(
        tiny_display_width(rows, false), [&] { return matrix_display(rows, rule_column); },
        [&] { return matrix_lines(rows, rule_column); });
}

// `rows` as a system of equations set within the text width.
std::string latex_system(const ValueRows &rows)
{
    return fitted(
        tiny_display_width(rows, true), [&] { return system_display(rows); },
        [&] { return system_lines(rows); });
}
