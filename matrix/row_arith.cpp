// Exact row arithmetic on the store: the parts of the row operations that draw nothing.
#include "row_arith.h"

#include "store.h"

#include <utility>

// 1 when column i is zero from row i down (also when i >= matrix_order), else 0.
int column_clear_below(int i)
{
    for (int r = i; r < matrix_order; r++)
        if (cell(r, i).num != 0)
            return 0;
    return 1;
}

// Divides row i, from column i on, by its diagonal entry a/b: multiply num by b, den by a.
void scale_pivot_row(int i)
{
    const mpz_class a = cell(i, i).num;
    const mpz_class b = cell(i, i).den;
    for (int c = i; c <= matrix_order; c++) {
        cell(i, c).num *= b;
        cell(i, c).den *= a;
    }
}

// Row j minus (a/b) times row i, over the common denominator q*s*b, with a/b = cell (j, i).
void eliminate_row(int j, int i)
{
    const mpz_class a = cell(j, i).num;
    const mpz_class b = cell(j, i).den;
    for (int c = i; c <= matrix_order; c++) {
        Fraction &target = cell(j, c);
        const Fraction &pivot_row = cell(i, c);
        mpz_class num = target.num * pivot_row.den * b - target.den * pivot_row.num * a;
        target.den = target.den * pivot_row.den * b;
        target.num = std::move(num);
    }
}

// Exchanges rows a and b in every column of the system.
void exchange_rows(int a, int b)
{
    for (int c = 0; c <= matrix_order; c++)
        std::swap(cell(a, c), cell(b, c));
}

// Settles the cells that need no Euclid loop and returns 1; otherwise makes den positive.
int reduce_without_euclid(mpz_class &num, mpz_class &den)
{
    if (den == 1)
        return 1;
    if (num == 0) {
        den = 1;
        return 1;
    }
    if (num == den) {
        num = 1;
        den = 1;
        return 1;
    }
    if (den < 0) {
        num = -num;
        den = -den;
    }
    return 0;
}

// Divides num and den by Euclid's result g; a negative g moves the sign to den (-2/4 -> 1/-2).
void divide_by_divisor(mpz_class &num, mpz_class &den, const mpz_class &g)
{
    mpz_divexact(num.get_mpz_t(), num.get_mpz_t(), g.get_mpz_t());
    mpz_divexact(den.get_mpz_t(), den.get_mpz_t(), g.get_mpz_t());
}

// One step of Euclid's loop; the remainder takes the sign of y, as in C's truncating %.
void euclid_step(mpz_class &x, mpz_class &y)
{
    mpz_class remainder;
    mpz_tdiv_r(remainder.get_mpz_t(), y.get_mpz_t(), x.get_mpz_t());
    y = std::move(x);
    x = std::move(remainder);
}

// How many steps Euclid's loop takes from (x, y) until x is 0.
int euclid_step_count(mpz_class x, mpz_class y)
{
    int steps = 0;
    while (x != 0) {
        euclid_step(x, y);
        steps++;
    }
    return steps;
}

// Euclid steps per frame so that no cell takes more than max_reduce_frames frames.
int euclid_steps_per_frame(int steps)
{
    if (steps <= max_reduce_frames)
        return 1;
    return (steps + max_reduce_frames - 1) / max_reduce_frames;
}

// Reduces num/den at once, exactly as the animated reduction does.
void reduce_cell_now(mpz_class &num, mpz_class &den)
{
    if (reduce_without_euclid(num, den))
        return;
    mpz_class x = num;
    mpz_class y = den;
    while (x != 0)
        euclid_step(x, y);
    divide_by_divisor(num, den, y);
}

// Reduces every cell of row r at once, without drawing.
void reduce_row_now(int r)
{
    for (int c = 0; c <= matrix_order; c++)
        reduce_cell_now(cell(r, c).num, cell(r, c).den);
}
