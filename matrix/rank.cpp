// Ranks of the loaded system, to tell a contradictory system from an underdetermined one.
#include "rank.h"

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

constexpr EndingTexts ending_texts[] = {
    {"Hotovo!", ""},
    {"Hotovo! Sustava nema riesenie.", "Sustava nema riesenie."},
    {"Hotovo! Sustava ma nekonecne vela rieseni.", "Sustava ma nekonecne vela rieseni."},
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
    return ending_texts[ending].verdict;
}

// The message that ends a solve.
const char *finish_message(int stopped_early)
{
    return ending_texts[solve_ending(stopped_early)].finish;
}
