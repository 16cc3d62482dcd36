// Ranks of the loaded system, to tell a contradictory system from an underdetermined one, and
// the determinant of a square matrix.
#include "rank.h"
#include "../matrix/translation.h"

#include "cell_text.h"
#include "store.h"

#include <gmpxx.h>

#include <array>
#include <utility>

// Rank of the first `columns` columns of the system's rows, by elimination over exact rationals.
int system_rank(int columns)
{
    const int rows = matrix_shape.rows;
    std::array<std::array<mpq_class, store_columns>, grid_rows> m{};
    for (int r = 0; r < rows; r++)
        for (int c = 0; c < columns; c++) {
            m[r][c] = mpq_class(cell(r, c).num, cell(r, c).den);
            m[r][c].canonicalize(); // cells may carry the sign in den
        }
    int rank = 0;
    for (int c = 0; c < columns && rank < rows; c++) {
        int pivot = rank;
        while (pivot < rows && m[pivot][c] == 0)
            pivot++;
        if (pivot == rows)
            continue;
        std::swap(m[pivot], m[rank]);
        for (int r = rank + 1; r < rows; r++) {
            if (m[r][c] == 0)
                continue;
            mpq_class factor = m[r][c] / m[rank][c];
            for (int k = c; k < columns; k++)
                m[r][k] -= factor * m[rank][k];
        }
        rank++;
    }
    return rank;
}

namespace
{

// The texts of each ending, in SolveEnding order: the screen's message and the verdict.
struct EndingTexts {
    const char *finish;  // the work screen's message when the solve ends
    const char *verdict; // the ending on its own, for a printed solution
};

// TRANSLATORS: fits 72: the top line at the end of a solve, and the verdict in the caption
constexpr EndingTexts ending_texts[] = {
    {tr_noop("Hotovo!"), ""},
    {tr_noop("Hotovo! Sustava nema riesenie."), tr_noop("Sustava nema riesenie.")},
    {tr_noop("Hotovo! Sustava ma nekonecne vela rieseni."),
     tr_noop("Sustava ma nekonecne vela rieseni.")},
};

} // namespace

// How a finished elimination of the loaded system ends.
SolveEnding solve_ending(int stopped_early)
{
    const int n = matrix_shape.unknowns;
    if (!stopped_early && matrix_shape.square())
        return ending_solved;
    const int rank = system_rank(n);
    if (rank < system_rank(n + 1))
        return ending_no_solution;
    return rank == n ? ending_solved : ending_infinitely_many;
}

// What a singular ending says; empty for ending_solved.
const char *ending_verdict(SolveEnding ending)
{
    return tr(ending_texts[ending].verdict);
}

// The message that ends a solve.
const char *finish_message(int stopped_early)
{
    if (matrix_shape.kind != kind_system)
        return tr(ending_texts[ending_solved].finish); // [A | I] and a matrix alone: "Hotovo!"
    return tr(ending_texts[solve_ending(stopped_early)].finish);
}

// The ranks of the store's matrix as the closing statements name them.
std::string rank_text(NotationStyle style)
{
    const int n = matrix_shape.unknowns;
    const bool latex = style == notation_latex;
    const std::string open = latex ? "$" : "";
    std::string text = open + "h(A) = " + std::to_string(system_rank(n)) + open;
    if (matrix_shape.kind == kind_system)
        text += ", " + open + "h(A|b) = " + std::to_string(system_rank(n + 1)) + open;
    return text;
}

// The determinant of the square left block of `matrix`: its pivots as the elimination finds
// them, times -1 for every exchange.
mpq_class left_determinant(const StoreSnapshot &matrix)
{
    // Each row is brought to whole numbers by its denominators' least common multiple (which
    // multiplies det by it), then Bareiss's fraction-free elimination keeps every entry a whole
    // number no longer than a minor: for a 10x10 of 120-digit entries this is a tenth of the time
    // exact fractions take, short enough for the frame that shows the closing caption.
    const int n = matrix.shape.unknowns;
    if (n == 0)
        return 1;
    std::array<std::array<mpz_class, grid_columns>, grid_rows> m{};
    mpz_class scale = 1;
    for (int r = 0; r < n; r++) {
        mpz_class row_lcm = 1;
        for (int c = 0; c < n; c++)
            mpz_lcm(row_lcm.get_mpz_t(), row_lcm.get_mpz_t(),
                    snapshot_cell(matrix, r, c).den.get_mpz_t());
        for (int c = 0; c < n; c++) {
            const Fraction &f = snapshot_cell(matrix, r, c);
            m[r][c] = f.num * (row_lcm / f.den); // a negative den carries the sign here too
        }
        scale *= row_lcm; // a least common multiple is never negative
    }
    int sign = 1;
    mpz_class previous = 1;
    for (int k = 0; k < n; k++) {
        int pivot = k;
        while (pivot < n && m[pivot][k] == 0)
            pivot++;
        if (pivot == n)
            return 0;
        if (pivot != k) {
            std::swap(m[pivot], m[k]);
            sign = -sign;
        }
        for (int r = k + 1; r < n; r++) {
            for (int c = k + 1; c < n; c++) {
                m[r][c] = m[r][c] * m[k][k] - m[r][k] * m[k][c];
                mpz_divexact(m[r][c].get_mpz_t(), m[r][c].get_mpz_t(), previous.get_mpz_t());
            }
            m[r][k] = 0;
        }
        previous = m[k][k];
    }
    mpq_class determinant(sign * m[n - 1][n - 1], scale);
    determinant.canonicalize();
    return determinant;
}

// "det A = -7/2", or in LaTeX "$\det A = -\frac{7}{2}$".
std::string determinant_text(const mpq_class &determinant, NotationStyle style, std::size_t limit)
{
    if (style == notation_latex)
        return "$\\det A = " + latex_inline_value(determinant, false) + "$";
    const std::string head = "det A = ";
    const std::size_t room = limit == std::string::npos || limit < head.size() + 8
                                 ? std::string::npos
                                 : limit - head.size();
    if (determinant.get_den() == 1)
        return head + fit_number(determinant.get_num().get_str(), room);
    return head + fit_fraction(determinant.get_num().get_str(), "/",
                               determinant.get_den().get_str(), room);
}

// The statement and det A on one line where they fit, else on two.
CaptionLines caption_with_determinant(const std::string &statement, const mpq_class &determinant,
                                      std::size_t limit)
{
    const std::string joined = statement + "; " + determinant_text(determinant, notation_plain);
    if (joined.size() <= limit)
        return {joined, ""};
    return {statement, determinant_text(determinant, notation_plain, limit)};
}
