// Row operations for runs where nothing is shown: fraction-free Gauss-Jordan over one
// denominator per row, and at the end every cell in exactly its step-by-step form.
//
// Every cell of row r holds cell(r, c).num / cell(r, c).den, all with the same denominator.
// Before pivot i acts on a row, the row is brought to `level`, the denominator every row
// has once pivot i - 1 is done (the numerator of that pivot, as fraction-free elimination
// goes: 1 at the start). Scaling pivot row i only gives it the pivot's numerator as its
// denominator; eliminating row j computes (p * a - f * b) / level for each cell, which
// divides exactly (each numerator is a minor of the original matrix, over the rows and the
// pivots' columns so far), and leaves row j over p. Pivot i is the one in row i, whichever
// column it is found in: a column passed without a pivot changes no row. A row that a pivot
// skips (its entry in the pivot column is 0) is brought to the next level when it is next
// used, which divides exactly too. No gcd is computed during the run.
//
// What the step-by-step run stores is a function of each cell's value, with one exception:
// -1 is stored as -1/1 when the operation that made it had denominator 1 (or it was loaded),
// and as 1/-1 when cancelling made it. The run follows that for every cell, as only whole
// numbers' stored denominators (+1, or -1 for 1/-1) and a pivot's stored numerator of +1 or
// -1 decide whether an operation's denominator is 1. finish_instant_rows then cancels every
// cell once and stores it as the step-by-step cancelling would.
#include "instant_rows.h"

#include "row_arith.h"
#include "store.h"

#include <array>
#include <utility>

namespace
{

mpz_class level = 1;       // every row's denominator before the current pivot acts on it
mpz_class pivot_level = 1; // the current pivot row's denominator once it is scaled
int current_pivot = -1;    // the pivot the last operation belonged to

// Whether a cell holding -1 is stored as -1/1 (loaded, or made with denominator 1) rather
// than as 1/-1 (made by cancelling).
std::array<std::array<bool, store_columns>, grid_rows> plain_minus_one{};

// True when the cell's value is -1.
bool is_minus_one(const Fraction &f)
{
    return mpz_sgn(f.num.get_mpz_t()) == -mpz_sgn(f.den.get_mpz_t()) &&
           mpz_cmpabs(f.num.get_mpz_t(), f.den.get_mpz_t()) == 0;
}

// The cell's denominator as the step-by-step run stores it, when that is 1 or -1 (a whole
// number; -1 only for -1 stored as 1/-1); 0 for any other denominator.
int unit_denominator(int r, int c)
{
    const Fraction &f = cell(r, c);
    if (!mpz_divisible_p(f.num.get_mpz_t(), f.den.get_mpz_t()))
        return 0;
    return is_minus_one(f) && !plain_minus_one[r][c] ? -1 : 1;
}

// The cell's numerator as the step-by-step run stores it, when that is 1 or -1: every value
// 1/q and -1/q is stored with numerator 1 (-1/q cancels in one Euclid step, which moves its
// sign down), but for -1 stored as -1/1; 0 for any other numerator.
int unit_numerator(int r, int c)
{
    const Fraction &f = cell(r, c);
    if (f.num == 0 || !mpz_divisible_p(f.den.get_mpz_t(), f.num.get_mpz_t()))
        return 0;
    return is_minus_one(f) && plain_minus_one[r][c] ? -1 : 1;
}

// Notes the pivot an operation belongs to; a new pivot starts from the last one's level.
void start_pivot(int i)
{
    if (i == current_pivot)
        return;
    current_pivot = i;
    level = pivot_level;
}

// Brings row r over the denominator `den`; the numerators divide exactly.
void bring_row_to(int r, const mpz_class &den)
{
    const mpz_class current = cell(r, 0).den;
    if (current == den)
        return;
    for (int c = 0; c < matrix_shape.columns(); c++) {
        Fraction &f = cell(r, c);
        f.num *= den;
        mpz_divexact(f.num.get_mpz_t(), f.num.get_mpz_t(), current.get_mpz_t());
        f.den = den;
    }
}

// Rows a and b change places, with what is known of their -1s.
void exchange_instant(int a, int b)
{
    start_pivot(a);
    exchange_rows(a, b);
    std::swap(plain_minus_one[static_cast<std::size_t>(a)],
              plain_minus_one[static_cast<std::size_t>(b)]);
}

// Divides pivot row i by its pivot in column `column`: the pivot's numerator becomes the row's
// denominator. A cell that becomes -1 is stored -1/1 when its stored denominator times the
// pivot's stored numerator is 1. (The row is 0 left of the pivot.)
void scale_instant(int i, int column)
{
    start_pivot(i);
    bring_row_to(i, level);
    pivot_level = cell(i, column).num;
    const int pivot_numerator = unit_numerator(i, column);
    for (int c = column; c < matrix_shape.columns(); c++) {
        const Fraction &f = cell(i, c);
        const bool becomes_minus_one = f.num == -pivot_level;
        plain_minus_one[i][c] =
            becomes_minus_one && pivot_numerator != 0 && unit_denominator(i, c) == pivot_numerator;
    }
    for (int c = 0; c < matrix_shape.columns(); c++)
        cell(i, c).den = pivot_level;
}

// Row j minus its entry in column `column` times pivot row i, fraction-free. A cell that
// becomes -1 is stored -1/1 when the step-by-step operation's denominator q * s * b is 1: the
// cell's, the pivot row cell's and the entry's stored denominators all 1 or -1, their product 1.
// Left of the pivot's column the step-by-step operation changes nothing, and the pivot row is
// 0 there, so those cells keep their values (and what is known of their -1s).
void eliminate_instant(int j, int i, int column)
{
    start_pivot(i);
    bring_row_to(i, pivot_level);
    bring_row_to(j, level);
    const mpz_class factor = cell(j, column).num;
    const int entry_denominator = unit_denominator(j, column);
    mpz_class value;
    for (int c = 0; c < matrix_shape.columns(); c++) {
        Fraction &target = cell(j, c);
        const Fraction &pivot_row = cell(i, c);
        mpz_mul(value.get_mpz_t(), pivot_level.get_mpz_t(), target.num.get_mpz_t());
        mpz_submul(value.get_mpz_t(), factor.get_mpz_t(), pivot_row.num.get_mpz_t());
        mpz_divexact(value.get_mpz_t(), value.get_mpz_t(), level.get_mpz_t());
        if (c >= column) {
            const bool becomes_minus_one = value == -pivot_level;
            plain_minus_one[j][c] =
                becomes_minus_one && entry_denominator != 0 &&
                unit_denominator(j, c) * unit_denominator(i, c) * entry_denominator == 1;
        }
        target.num.swap(value);
    }
    for (int c = 0; c < matrix_shape.columns(); c++)
        cell(j, c).den = pivot_level;
}

} // namespace

const RowArithmetic instant_arithmetic{exchange_instant, scale_instant, eliminate_instant};

// Starts the instant form when every entry is a whole number over 1.
int begin_instant_rows()
{
    for (int r = 0; r < matrix_shape.rows; r++)
        for (int c = 0; c < matrix_shape.columns(); c++)
            if (cell(r, c).den != 1)
                return 0;
    for (int r = 0; r < matrix_shape.rows; r++)
        for (int c = 0; c < matrix_shape.columns(); c++)
            plain_minus_one[r][c] = cell(r, c).num == -1;
    level = 1;
    pivot_level = 1;
    current_pivot = -1;
    return 1;
}

// The reduce hook of an instant run: nothing to do.
void skip_reduction(int) {}

// Writes every cell as the step-by-step run would have stored it.
void finish_instant_rows()
{
    mpz_class g;
    for (int r = 0; r < matrix_shape.rows; r++) {
        for (int c = 0; c < matrix_shape.columns(); c++) {
            Fraction &f = cell(r, c);
            if (is_minus_one(f)) {
                f = plain_minus_one[r][c] ? Fraction{-1, 1} : Fraction{1, -1};
                continue;
            }
            mpz_gcd(g.get_mpz_t(), f.num.get_mpz_t(), f.den.get_mpz_t());
            mpz_divexact(f.num.get_mpz_t(), f.num.get_mpz_t(), g.get_mpz_t());
            mpz_divexact(f.den.get_mpz_t(), f.den.get_mpz_t(), g.get_mpz_t());
            if (f.den < 0) {
                f.num = -f.num;
                f.den = -f.den;
            }
            // Lowest terms with a positive denominator: the cancelling stores such a value as
            // it is, or with the sign moved down, by the parity of its Euclid steps.
            reduce_cell_now(f.num, f.den);
        }
    }
}
