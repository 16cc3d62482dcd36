// Random exercises: systems of whole coefficients whose unique solution is whole numbers.
#include "random_system.h"

#include <gmpxx.h>

#include <array>
#include <random>
#include <utility>

namespace
{

using Square = std::array<std::array<int, max_matrix_order>, max_matrix_order>;
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
Numbers exact(const Square &a, int n)
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
int first_zero_leading_minor(const Square &a, int n)
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
bool nonsingular(const Square &a, int n)
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
void fill_coefficients(std::mt19937_64 &engine, Square &a, int n)
{
    for (int r = 0; r < n; r++)
        for (int c = 0; c < n; c++)
            a[r][c] = uniform(engine, -random_coefficient_limit, random_coefficient_limit);
}

// Makes the leading (k+1) x (k+1) block singular, so that pivot k comes out 0: at k = 0 the
// corner is 0; further on, row k starts as an earlier row or its negative.
void make_pivot_zero(std::mt19937_64 &engine, Square &a, int k)
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
Square coefficients(std::mt19937_64 &engine, int n, bool exchange)
{
    Square a{};
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
std::array<int, max_matrix_order> solution(std::mt19937_64 &engine, int n)
{
    std::array<int, max_matrix_order> x{};
    bool any = false;
    while (!any) {
        for (int i = 0; i < n; i++) {
            x[i] = uniform(engine, -random_solution_limit, random_solution_limit);
            any = any || x[i] != 0;
        }
    }
    return x;
}

} // namespace

// A random system of the given order, the same for the same seed.
StoreSnapshot random_system(int order, std::uint64_t seed)
{
    StoreSnapshot system;
    if (order < 1 || order > max_matrix_order)
        return system;
    const int n = order;
    std::mt19937_64 engine(seed);
    const bool exchange = n >= 2 && uniform(engine, 0, 2) == 0;
    const Square a = coefficients(engine, n, exchange);
    const std::array<int, max_matrix_order> x = solution(engine, n);
    system.shape = square_shape(n);
    for (int r = 0; r < grid_rows; r++) {
        for (int c = 0; c < store_columns; c++)
            system.cells[c][r] = Fraction{0, 1};
    }
    for (int r = 0; r < n; r++) {
        int right_side = 0;
        for (int c = 0; c < n; c++) {
            system.cells[c][r] = Fraction{a[r][c], 1};
            right_side += a[r][c] * x[c];
        }
        system.cells[n][r] = Fraction{right_side, 1};
    }
    return system;
}
