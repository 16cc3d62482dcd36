// Random exercises: systems of whole coefficients with a whole solution, of any shape.
#include "random_system.h"

#include <gmpxx.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <utility>

namespace
{

using Block = std::array<std::array<int, max_matrix_order>, max_matrix_order>;
using Solution = std::array<int, max_matrix_order>;
using Numbers = std::array<std::array<mpz_class, max_matrix_order>, max_matrix_order>;

// A whole number from low to high, each equally likely. The engine's sequence is fixed by the
// language's standard; the standard's distributions are not, so the mapping is our own:
// outputs above the last whole multiple of the span are drawn again.
int uniform(std::mt19937_64 &engine, int low, int high)
{
    const std::uint64_t span = static_cast<std::uint64_t>(high - low) + 1;
    const std::uint64_t limit = UINT64_MAX - UINT64_MAX % span;
    std::uint64_t value = engine();
    while (value >= limit)
        value = engine();
    return low + static_cast<int>(value % span);
}

// The n x n block of a as exact numbers.
Numbers exact(const Block &a, int n)
{
    Numbers m;
    for (int r = 0; r < n; r++)
        for (int c = 0; c < n; c++)
            m[r][c] = a[r][c];
    return m;
}

// One step of fraction-free elimination below pivot k: every entry right of and below it
// becomes a minor of the original matrix, divided exactly by the previous pivot.
void eliminate_below(Numbers &m, int n, int k, const mpz_class &previous)
{
    for (int r = k + 1; r < n; r++)
        for (int c = k + 1; c < n; c++)
            m[r][c] = (m[r][c] * m[k][k] - m[r][k] * m[k][c]) / previous;
}

// The k (1..n) of the first leading principal minor D_k that is 0, or 0 when none is. Without
// exchanges the pivot of step k of the fraction-free elimination is D_(k+1), and the
// Gauss-Jordan pivot there is D_(k+1) / D_k, so its first zero pivot is at the first zero D_k.
int first_zero_leading_minor(const Block &a, int n)
{
    Numbers m = exact(a, n);
    mpz_class previous = 1;
    for (int k = 0; k < n; k++) {
        if (m[k][k] == 0)
            return k + 1;
        eliminate_below(m, n, k, previous);
        previous = m[k][k];
    }
    return 0;
}

// True when the n x n block of a has a non-zero determinant.
bool nonsingular(const Block &a, int n)
{
    Numbers m = exact(a, n);
    mpz_class previous = 1;
    for (int k = 0; k < n; k++) {
        int p = k;
        while (p < n && m[p][k] == 0)
            p++;
        if (p == n)
            return false;
        std::swap(m[p], m[k]);
        eliminate_below(m, n, k, previous);
        previous = m[k][k];
    }
    return true;
}

// Random coefficients for every entry of the n x n block.
void fill_coefficients(std::mt19937_64 &engine, Block &a, int n)
{
    for (int r = 0; r < n; r++)
        for (int c = 0; c < n; c++)
            a[r][c] = uniform(engine, -random_coefficient_limit, random_coefficient_limit);
}

// Makes the leading (k+1) x (k+1) block singular, so that pivot k comes out 0: at k = 0 the
// corner is 0; further on, row k starts as an earlier row or its negative.
void make_pivot_zero(std::mt19937_64 &engine, Block &a, int k)
{
    if (k == 0) {
        a[0][0] = 0;
        return;
    }
    const int j = uniform(engine, 0, k - 1);
    const int sign = uniform(engine, 0, 1) ? 1 : -1;
    for (int c = 0; c <= k; c++)
        a[k][c] = sign * a[j][c];
}

// Coefficients with a unique solution whose elimination exchanges rows exactly when asked to.
Block coefficients(std::mt19937_64 &engine, int n, bool exchange)
{
    Block a{};
    for (;;) { // each try succeeds more often than not, so this ends after a few
        fill_coefficients(engine, a, n);
        if (!exchange) {
            if (first_zero_leading_minor(a, n) == 0) // then D_n, the determinant, is not 0
                return a;
            continue;
        }
        make_pivot_zero(engine, a, uniform(engine, 0, n - 2));
        const int zero = first_zero_leading_minor(a, n);
        if (zero >= 1 && zero < n && nonsingular(a, n))
            return a;
    }
}

// A solution of whole numbers in range, not all 0.
Solution solution(std::mt19937_64 &engine, int n)
{
    Solution x{};
    bool any = false;
    while (!any) {
        for (int i = 0; i < n; i++) {
            x[i] = uniform(engine, -random_solution_limit, random_solution_limit);
            any = any || x[i] != 0;
        }
    }
    return x;
}

// Every cell of a system of the given shape 0/1, then its coefficients a (rows x unknowns) and
// the right-hand sides a x.
StoreSnapshot system_of(int rows, int unknowns, const Block &a, const Solution &x)
{
    StoreSnapshot system;
    system.shape = system_shape(rows, unknowns);
    for (int r = 0; r < grid_rows; r++) {
        for (int c = 0; c < store_columns; c++)
            system.cells[c][r] = Fraction{0, 1};
    }
    for (int r = 0; r < rows; r++) {
        int right_side = 0;
        for (int c = 0; c < unknowns; c++) {
            system.cells[c][r] = Fraction{a[r][c], 1};
            right_side += a[r][c] * x[c];
        }
        system.cells[unknowns][r] = Fraction{right_side, 1};
    }
    return system;
}

// The square system of order n: as it has always been made, so every seed keeps its system.
StoreSnapshot square_system(int n, std::mt19937_64 &engine)
{
    const bool exchange = n >= 2 && uniform(engine, 0, 2) == 0;
    const Block a = coefficients(engine, n, exchange);
    return system_of(n, n, a, solution(engine, n));
}

// A row of random coefficients, not all 0, in columns `from` to `to` - 1 of row r.
void fill_row(std::mt19937_64 &engine, Block &a, int r, int from, int to)
{
    bool any = false;
    while (!any)
        for (int c = from; c < to; c++) {
            a[r][c] = uniform(engine, -random_coefficient_limit, random_coefficient_limit);
            any = any || a[r][c] != 0;
        }
}

// True when every right-hand side of a x (the first `rows` rows) is 0.
bool homogeneous(const Block &a, int rows, int unknowns, const Solution &x)
{
    for (int r = 0; r < rows; r++) {
        int right_side = 0;
        for (int c = 0; c < unknowns; c++)
            right_side += a[r][c] * x[c];
        if (right_side != 0)
            return false;
    }
    return true;
}

// A system of another shape. Its leading square block of order min(m, n) is made as a square
// system's coefficients are (so one in three exchanges rows, and its rank is min(m, n)); the
// columns right of it (m < n) or the rows below it (m > n) are random, none of those rows all 0.
// The solution x is whole, not all 0, and gives right-hand sides not all 0; with more equations
// than unknowns one system in three adds 1..5 (or -1..-5) to the right-hand side of one row below
// the block, which makes it contradict the block's unique solution.
StoreSnapshot other_shape_system(int m, int n, std::mt19937_64 &engine)
{
    const int k = std::min(m, n);
    const bool exchange = k >= 2 && uniform(engine, 0, 2) == 0;
    const bool contradiction = m > n && uniform(engine, 0, 2) == 0;
    Block a = coefficients(engine, k, exchange);
    if (m < n)
        for (int r = 0; r < m; r++)
            for (int c = k; c < n; c++)
                a[r][c] = uniform(engine, -random_coefficient_limit, random_coefficient_limit);
    for (int r = k; r < m; r++)
        fill_row(engine, a, r, 0, n);
    Solution x = solution(engine, n);
    while (homogeneous(a, m, n, x))
        x = solution(engine, n);
    StoreSnapshot system = system_of(m, n, a, x);
    if (contradiction) {
        const int r = uniform(engine, n, m - 1);
        const int shift = uniform(engine, 1, random_solution_limit);
        Fraction &right_side = snapshot_cell(system, r, n);
        right_side.num += uniform(engine, 0, 1) ? shift : -shift;
    }
    return system;
}

} // namespace

// A random system of the given shape, the same for the same seed.
StoreSnapshot random_system(int rows, int unknowns, std::uint64_t seed)
{
    if (rows < 1 || rows > max_matrix_order || unknowns < 1 || unknowns > max_matrix_order)
        return StoreSnapshot{};
    std::mt19937_64 engine(seed);
    if (rows == unknowns)
        return square_system(rows, engine);
    return other_shape_system(rows, unknowns, engine);
}

// "3" for a square system of order 3, "3x4" for 3 equations in 4 unknowns.
std::string random_shape_argument(int rows, int unknowns)
{
    const std::string equations = std::to_string(rows);
    return rows == unknowns ? equations : equations + "x" + std::to_string(unknowns);
}
