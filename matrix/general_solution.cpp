// What a system in reduced row echelon form says about its solutions, and the statement that
// closes a solve.
#include "general_solution.h"
#include "../matrix/translation.h"

#include "cell_text.h"
#include "rank.h"
#include "store.h"

#include <vector>

namespace
{

// The column of row r's first non-zero entry, the right-hand side included; -1 for a zero row.
int leading_column(int r)
{
    for (int c = 0; c < matrix_shape.columns(); c++)
        if (cell(r, c).num != 0)
            return c;
    return -1;
}

// An exact value written in `style`: "-7/2" or "-\frac{7}{2}" (a long one in LaTeX as a line
// may break it).
std::string value_text(const mpq_class &value, NotationStyle style)
{
    if (style == notation_latex)
        return latex_inline_value(value, false);
    return value.get_str();
}

// A name with its index: "x1", "t2", "R3"; in LaTeX "x_{1}".
std::string indexed(const char *name, int index, NotationStyle style)
{
    const std::string number = std::to_string(index);
    return style == notation_latex ? std::string(name) + "_{" + number + "}" : name + number;
}

// A parameter's magnitude in front of its name: nothing for 1, "2 ", "(1/2) ", "\frac{1}{2} ".
std::string factor_text(const mpq_class &magnitude, NotationStyle style)
{
    if (magnitude == 1)
        return "";
    if (style == notation_latex)
        return latex_inline_value(magnitude, true) + " ";
    if (magnitude.get_den() == 1)
        return value_text(magnitude, style) + " ";
    return "(" + magnitude.get_str() + ") ";
}

// The right side of an unknown's equation: "3 - 2 t1", "t1", "-(1/2) t2", "0".
std::string expression_text(const UnknownExpression &expression, NotationStyle style)
{
    std::string text;
    if (expression.constant != 0)
        text = value_text(expression.constant, style);
    for (std::size_t k = 0; k < expression.coefficients.size(); k++) {
        const mpq_class &coefficient = expression.coefficients[k];
        if (coefficient == 0)
            continue;
        const std::string term =
            factor_text(abs(coefficient), style) + indexed("t", static_cast<int>(k) + 1, style);
        if (text.empty())
            text = (coefficient < 0 ? "-" : "") + term;
        else
            text += (coefficient < 0 ? " - " : " + ") + term;
    }
    return text.empty() ? "0" : text;
}

// "Riesenie: " and the unknowns, each "x1 = ...", as many as fit in `limit`, then "...".
std::string solution_text(const SolutionSet &set, NotationStyle style, std::size_t limit)
{
    const bool latex = style == notation_latex;
    // TRANSLATORS: the closing statement's head before "x1 = 2, x2 = -1"
    std::string text = tr("Riesenie: ");
    for (std::size_t k = 0; k < set.unknowns.size(); k++) {
        std::string item = indexed("x", static_cast<int>(k) + 1, style) + " = " +
                           expression_text(set.unknowns[k], style);
        if (latex)
            item = "$" + item + "$";
        const std::string separator = k == 0 ? "" : ", ";
        const bool last = k + 1 == set.unknowns.size();
        const std::size_t room = last ? limit : limit - 5; // room for ", ..." after it
        if (limit != std::string::npos && text.size() + separator.size() + item.size() > room) {
            if (k == 0) // not even the first fits: cut it
                return text +
                       item.substr(0, limit > text.size() + 3 ? limit - text.size() - 3 : 0) +
                       "...";
            return text + ", ...";
        }
        text += separator + item;
    }
    return text;
}

} // namespace

// Reads the solution set off the loaded system in reduced row echelon form.
SolutionSet solution_set()
{
    const int n = matrix_shape.unknowns;
    SolutionSet set;
    if (matrix_shape.kind != kind_system)
        return set; // no unknowns to solve for
    std::vector<int> pivot_row(static_cast<std::size_t>(n), -1);
    for (int r = 0; r < matrix_shape.rows; r++) {
        const int c = leading_column(r);
        if (c == n && set.contradiction_row < 0) {
            set.contradiction_row = r;
            set.contradiction_value = cell_value(r, n);
        } else if (c >= 0 && c < n) {
            pivot_row[static_cast<std::size_t>(c)] = r;
        }
    }
    if (set.contradiction_row >= 0)
        return set;
    for (int c = 0; c < n; c++)
        if (pivot_row[static_cast<std::size_t>(c)] < 0)
            set.free_columns.push_back(c);
    const std::size_t parameters = set.free_columns.size();
    for (int c = 0; c < n; c++) {
        UnknownExpression expression{0, std::vector<mpq_class>(parameters, 0)};
        const int r = pivot_row[static_cast<std::size_t>(c)];
        for (std::size_t k = 0; k < parameters; k++) {
            if (r < 0)
                expression.coefficients[k] = set.free_columns[k] == c ? 1 : 0;
            else
                expression.coefficients[k] = -cell_value(r, set.free_columns[k]);
        }
        if (r >= 0)
            expression.constant = cell_value(r, n);
        set.unknowns.push_back(expression);
    }
    return set;
}

namespace
{

// `text` cut to `limit` characters, its end marked "...".
std::string cut_to(const std::string &text, std::size_t limit)
{
    if (limit == std::string::npos || text.size() <= limit)
        return text;
    return text.substr(0, limit > 3 ? limit - 3 : 0) + "...";
}

// The statement that closes the solve of a system.
std::string system_statement(NotationStyle style, std::size_t limit)
{
    const SolutionSet set = solution_set();
    // A system without a unique solution, and one that is not square, also names its ranks.
    const bool unique = set.contradiction_row < 0 && set.free_columns.empty();
    const std::string ranks = unique && matrix_shape.square() ? "" : "; " + rank_text(style);
    if (set.contradiction_row < 0) {
        const std::size_t room =
            limit == std::string::npos || limit < ranks.size() + 20 ? limit : limit - ranks.size();
        return cut_to(solution_text(set, style, room) + ranks, limit);
    }
    const std::string row = indexed("R", set.contradiction_row + 1, style);
    const std::string equation = "0 = " + value_text(set.contradiction_value, style);
    // TRANSLATORS: the closing statement, "No solution: R3 means 0 = 5" (%s: the row, the equation)
    const char *format = tr("Sustava nema riesenie: %s znamena %s");
    if (style == notation_latex)
        return format_text(format, ("$" + row + "$").c_str(), ("$" + equation + "$").c_str()) +
               ranks;
    return cut_to(format_text(format, row.c_str(), equation.c_str()) + ranks, limit);
}

// True when the left block of the store is the identity.
bool left_block_is_identity()
{
    for (int r = 0; r < matrix_shape.rows; r++)
        for (int c = 0; c < matrix_shape.unknowns; c++)
            if (cell_value(r, c) != (r == c ? 1 : 0))
                return false;
    return true;
}

// True when the right block of the store times the left block of `start` is the identity,
// exactly: the inverse claimed, checked.
bool right_block_inverts(const StoreSnapshot &start)
{
    const int n = matrix_shape.unknowns;
    std::vector<mpq_class> a(static_cast<std::size_t>(n * n)); // each value in lowest terms once
    std::vector<mpq_class> inverse(a.size());
    for (int r = 0; r < n; r++)
        for (int c = 0; c < n; c++) {
            const Fraction &f = snapshot_cell(start, r, c);
            a[static_cast<std::size_t>(r * n + c)] = mpq_class(f.num, f.den);
            a[static_cast<std::size_t>(r * n + c)].canonicalize();
            inverse[static_cast<std::size_t>(r * n + c)] = cell_value(r, n + c);
        }
    for (int r = 0; r < n; r++)
        for (int c = 0; c < n; c++) {
            mpq_class sum = 0;
            for (int k = 0; k < n; k++)
                sum += a[static_cast<std::size_t>(r * n + k)] *
                       inverse[static_cast<std::size_t>(k * n + c)];
            if (sum != (r == c ? 1 : 0))
                return false;
        }
    return true;
}

} // namespace

// True when the store's [A | I] holds A^-1 on the right.
bool inverse_found(const StoreSnapshot *start)
{
    return inverse_zero_row() < 0 && left_block_is_identity() &&
           (!start || right_block_inverts(*start));
}

namespace
{

// The statement that closes the inversion of A from [A | I].
std::string inverse_statement(NotationStyle style, std::size_t limit, const StoreSnapshot *start)
{
    const int zero = inverse_zero_row();
    if (zero >= 0) {
        const std::string row = indexed("R", zero + 1, style);
        // TRANSLATORS: the closing statement (%s: the row, "R3"), ranks follow after "; "
        const std::string text =
            format_text(tr("Matica A nema inverznu maticu: %s ma vlavo same nuly"),
                        (style == notation_latex ? "$" + row + "$" : row).c_str()) +
            "; " + rank_text(style);
        return cut_to(text, limit);
    }
    if (!inverse_found(start))
        return cut_to(tr("Vlavo este nie je jednotkova matica."), limit);
    return cut_to(style == notation_latex ? tr("Inverzna matica $A^{-1}$ je vpravo od ciary.")
                                          : tr("Inverzna matica: vpravo od ciary"),
                  limit);
}

} // namespace

// The first row whose left block is all zeros, -1 when none is.
int inverse_zero_row()
{
    for (int r = 0; r < matrix_shape.rows; r++) {
        bool zero = true;
        for (int c = 0; c < matrix_shape.unknowns && zero; c++)
            zero = cell(r, c).num == 0;
        if (zero)
            return r;
    }
    return -1;
}

// The statement that closes a solve.
std::string closing_statement(NotationStyle style, std::size_t limit, const StoreSnapshot *start)
{
    if (matrix_shape.rows == 0)
        return tr("Sustava je prazdna.");
    switch (matrix_shape.kind) {
    case kind_matrix:
        return cut_to(tr("Redukovany stupnovity tvar: ") + rank_text(style), limit);
    case kind_inverse:
        return inverse_statement(style, limit, start);
    case kind_system:
        break;
    }
    return system_statement(style, limit);
}
