// Random exercises: systems of whole coefficients with a whole solution, of any shape, small
// enough to be solved with pencil and paper.
#include "random_system.h"

#include "elimination.h"
#include "instant_rows.h"

#include <gmpxx.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <random>
#include <string>
#include <utility>

namespace
{

using Block = std::array<std::array<int, max_matrix_order>, max_matrix_order>;
using Solution = std::array<int, max_matrix_order>;
using Column = std::array<int, max_matrix_order>;

// How the factors of a block of order k are drawn: the chance in ten that an entry off the
// diagonal is not 0, and the largest such entry of the upper factor and of the lower one. The
// larger the order, the sparser, so that the products stay within -9..9 and every entry of the
// elimination within two digits more often than not.
struct FactorRange {
    int tenths = 10;
    int upper = 3;
    int lower = 2;
};
constexpr std::array<FactorRange, max_matrix_order + 1> factor_ranges{{
    {10, 9, 4},
    {10, 9, 4},
    {10, 9, 2},
    {10, 5, 2},
    {10, 5, 2},
    {10, 3, 2},
    {10, 3, 2},
    {8, 3, 2},
    {6, 3, 2},
    {6, 3, 2},
    {5, 3, 2},
}};

constexpr int most_halving_pivots = 2; // pivots 2 or -2: with two, no denominator exceeds 4
constexpr int solution_tries = 4;      // solutions tried on one set of coefficients

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

// True with the chance `tenths` in ten.
bool chance(std::mt19937_64 &engine, int tenths)
{
    return uniform(engine, 0, 9) < tenths;
}

// The upper factor U: k rows and `columns` columns, its diagonal 1 or -1 but for up to two
// entries 2 or -2, each entry right of the diagonal not 0 by the order's chance.
Block upper_factor(std::mt19937_64 &engine, int k, int columns)
{
    const FactorRange range = factor_ranges[static_cast<std::size_t>(k)];
    Block u{};
    for (int r = 0; r < k; r++)
        u[r][r] = uniform(engine, 0, 1) ? 1 : -1;
    const int halving = uniform(engine, 0, std::min(most_halving_pivots, k));
    for (int t = 0; t < halving; t++) {
        int r = uniform(engine, 0, k - 1);
        while (u[r][r] % 2 == 0)
            r = uniform(engine, 0, k - 1);
        u[r][r] *= 2;
    }
    for (int r = 0; r < k; r++)
        for (int c = r + 1; c < columns; c++)
            if (chance(engine, range.tenths))
                u[r][c] = uniform(engine, -range.upper, range.upper);
    return u;
}

// The lower factor L: `rows` rows and k columns, 1 on the diagonal, each entry left of it not 0
// by the order's chance, and every row below the k-th with some entry not 0. Column `zero` is 0
// from row zero + 1 down to row `below` (none when zero is -1), so that pivot `zero` comes out 0
// once rows zero and `below` of the product change places.
Block lower_factor(std::mt19937_64 &engine, int rows, int k, int zero, int below)
{
    const FactorRange range = factor_ranges[static_cast<std::size_t>(k)];
    Block l{};
    for (int r = 0; r < rows; r++) {
        bool any = r < k;
        do {
            for (int c = 0; c < std::min(r, k); c++) {
                l[r][c] =
                    chance(engine, range.tenths) ? uniform(engine, -range.lower, range.lower) : 0;
                any = any || l[r][c] != 0;
            }
        } while (!any);
        if (r < k)
            l[r][r] = 1;
    }
    for (int r = zero + 1; zero >= 0 && r <= below; r++)
        l[r][zero] = 0;
    return l;
}

// Sets a to the product L U, `rows` x `columns` over the inner size k; false when an entry is
// outside -9..9.
bool product_in_range(const Block &l, const Block &u, int rows, int k, int columns, Block &a)
{
    for (int r = 0; r < rows; r++)
        for (int c = 0; c < columns; c++) {
            int sum = 0;
            for (int t = 0; t < k; t++)
                sum += l[r][t] * u[t][c];
            if (sum < -random_coefficient_limit || sum > random_coefficient_limit)
                return false;
            a[r][c] = sum;
        }
    return true;
}

// Coefficients `rows` x `columns` as L U, so that the elimination of the leading block of order
// k = min(rows, columns) meets the pivots of U's diagonal and the rows below it stay whole. With
// `exchange`, two rows of the block change places: the elimination then meets a zero pivot with
// a non-zero entry below it and exchanges them back; without, it never meets a zero pivot.
Block coefficients(std::mt19937_64 &engine, int rows, int columns, bool exchange)
{
    const int k = std::min(rows, columns);
    const int zero = exchange ? uniform(engine, 0, k - 2) : -1;
    const int below = exchange ? uniform(engine, zero + 1, k - 1) : -1;
    Block a{};
    for (;;) { // most orders succeed at once, the largest after two or three tries
        const Block u = upper_factor(engine, k, columns);
        const Block l = lower_factor(engine, rows, k, zero, below);
        if (!product_in_range(l, u, rows, k, columns, a))
            continue;
        if (exchange)
            std::swap(a[static_cast<std::size_t>(zero)], a[static_cast<std::size_t>(below)]);
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

// The right-hand sides a x of the first `rows` rows.
Column right_sides(const Block &a, int rows, int unknowns, const Solution &x)
{
    Column right{};
    for (int r = 0; r < rows; r++)
        for (int c = 0; c < unknowns; c++)
            right[r] += a[r][c] * x[c];
    return right;
}

// Every cell of a system of the given shape 0/1, then its coefficients a (rows x unknowns) and
// its right-hand sides.
StoreSnapshot system_of(int rows, int unknowns, const Block &a, const Column &right)
{
    StoreSnapshot system;
    system.shape = system_shape(rows, unknowns);
    for (int r = 0; r < grid_rows; r++) {
        for (int c = 0; c < store_columns; c++)
            system.cells[c][r] = Fraction{0, 1};
    }
    for (int r = 0; r < rows; r++) {
        for (int c = 0; c < unknowns; c++)
            system.cells[c][r] = Fraction{a[r][c], 1};
        system.cells[unknowns][r] = Fraction{right[r], 1};
    }
    return system;
}

mpz_class scratch;    // the checks' working number, kept to spare an allocation per entry
int changed_row = -1; // the row the checked elimination's last operation changed; -1: none

// True when num/den is a whole number or a fraction over 2 or 4 with at most two digits above
// the bar, in lowest terms.
bool by_hand_value(const Fraction &f)
{
    mpz_mul_ui(scratch.get_mpz_t(), f.num.get_mpz_t(), 4);
    if (!mpz_divisible_p(scratch.get_mpz_t(), f.den.get_mpz_t()))
        return false;
    mpz_divexact(scratch.get_mpz_t(), scratch.get_mpz_t(), f.den.get_mpz_t());
    if (!scratch.fits_slong_p())
        return false;
    const long quarters = scratch.get_si(); // four times the value
    const long numerator = quarters % 4 == 0   ? quarters / 4
                           : quarters % 2 == 0 ? quarters / 2
                                               : quarters;
    return std::labs(numerator) <= largest_hand_numerator;
}

// True when every entry of row r of the store passes by_hand_value.
bool row_by_hand(int r)
{
    for (int c = 0; c < matrix_shape.columns(); c++)
        if (!by_hand_value(cell(r, c)))
            return false;
    return true;
}

// The checked elimination's gate: stops it when the row the last operation changed left the
// bound, or when the pivot about to divide its row is not 1, -1, 2 or -2.
int check_step(const RowOperation &operation)
{
    if (changed_row >= 0 && !row_by_hand(changed_row))
        return 1;
    changed_row = operation.kind == operation_exchange ? -1 : operation.row;
    if (operation.kind != operation_scale)
        return 0;
    const bool unit = mpz_cmpabs(operation.num.get_mpz_t(), operation.den.get_mpz_t()) == 0;
    mpz_mul_ui(scratch.get_mpz_t(), operation.den.get_mpz_t(), 2);
    return unit || mpz_cmpabs(operation.num.get_mpz_t(), scratch.get_mpz_t()) == 0 ? 0 : 1;
}

std::array<std::array<Fraction, grid_rows>, store_columns>
    kept_cells; // the store's cells while a system is checked in it: swapped, not copied

// Swaps the cells of the first `rows` rows and `columns` columns of the store with kept_cells.
void swap_kept_cells(int rows, int columns)
{
    for (int c = 0; c < columns; c++)
        for (int r = 0; r < rows; r++) {
            mpz_swap(cell(r, c).num.get_mpz_t(), kept_cells[c][r].num.get_mpz_t());
            mpz_swap(cell(r, c).den.get_mpz_t(), kept_cells[c][r].den.get_mpz_t());
        }
}

// True when the elimination the worked solution shows, on to the reduced form, meets only the
// pivots 1, -1, 2 and -2 and only entries by_hand_value passes, in every matrix from the system
// itself on: the system of coefficients a and the right-hand sides `right`. Runs the program's
// own elimination in the store, as --steps does, and then puts the store back as it was.
bool solvable_by_hand(const Block &a, const Column &right, int rows, int unknowns)
{
    for (int r = 0; r < rows; r++)
        if (std::abs(right[r]) > largest_hand_numerator)
            return false;
    const MatrixShape kept_shape = matrix_shape;
    swap_kept_cells(rows, unknowns + 1);
    matrix_shape = system_shape(rows, unknowns);
    for (int r = 0; r < rows; r++)
        for (int c = 0; c <= unknowns; c++) {
            cell(r, c).num = c < unknowns ? a[r][c] : right[r];
            cell(r, c).den = 1;
        }
    changed_row = -1;
    bool fits = begin_instant_rows() == 1;
    if (fits) {
        const EliminationResult result = run_elimination(
            {check_step, skip_reduction, &instant_arithmetic, nullptr}, reach_reduced_form);
        fits = result != elimination_stopped && (changed_row < 0 || row_by_hand(changed_row));
    } // only the exact values are read, so the instant form is left unfinished
    swap_kept_cells(rows, unknowns + 1);
    matrix_shape = kept_shape;
    return fits;
}

} // namespace

// A random system of the given shape, the same for the same seed. Its coefficients are made
// as L U (see coefficients); a solution is drawn for them, and the rare system whose worked
// solution still leaves the bound is drawn again, a solution first and then the coefficients.
StoreSnapshot random_system(int rows, int unknowns, std::uint64_t seed)
{
    if (rows < 1 || rows > max_matrix_order || unknowns < 1 || unknowns > max_matrix_order)
        return StoreSnapshot{};
    std::mt19937_64 engine(seed);
    const int k = std::min(rows, unknowns);
    const bool exchange = k >= 2 && uniform(engine, 0, 2) == 0;
    const bool contradiction = rows > unknowns && uniform(engine, 0, 2) == 0;
    for (;;) {
        const Block a = coefficients(engine, rows, unknowns, exchange);
        for (int t = 0; t < solution_tries; t++) {
            const Solution x = solution(engine, unknowns);
            Column right = right_sides(a, rows, unknowns, x);
            if (std::all_of(right.begin(), right.end(), [](int b) { return b == 0; }))
                continue; // only with fewer equations than unknowns
            if (contradiction) {
                const int r = uniform(engine, unknowns, rows - 1);
                const int shift = uniform(engine, 1, largest_contradiction_shift);
                right[r] += uniform(engine, 0, 1) ? shift : -shift;
            }
            if (solvable_by_hand(a, right, rows, unknowns))
                return system_of(rows, unknowns, a, right);
        }
    }
}

// "3" for a square system of order 3, "3x4" for 3 equations in 4 unknowns.
std::string random_shape_argument(int rows, int unknowns)
{
    const std::string equations = std::to_string(rows);
    return rows == unknowns ? equations : equations + "x" + std::to_string(unknowns);
}

// "--random 3 --seed 48213".
std::string random_options_text(int rows, int unknowns, std::uint64_t seed)
{
    return "--random " + random_shape_argument(rows, unknowns) + " --seed " + std::to_string(seed);
}
