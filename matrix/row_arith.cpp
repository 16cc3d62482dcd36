// Exact row arithmetic on the store: the parts of the row operations that draw nothing.
#include "row_arith.h"

#include "store.h"

#include <utility>

// 1 when column i is zero from row i down (also when i >= the rows), else 0.
int column_clear_below(int i)
{
    for (int r = i; r < matrix_shape.rows; r++)
        if (cell(r, i).num != 0)
            return 0;
    return 1;
}

// Divides row i, from column i on, by its diagonal entry.
void scale_pivot_row(int i)
{
    scale_pivot_row(i, i);
}

// Divides row r, from column c on, by its entry in column c.
void scale_pivot_row(int r, int c)
{
    const mpz_class a = cell(r, c).num;
    const mpz_class b = cell(r, c).den;
    divide_row(r, c, a, b);
}

// Divides row r, from column c on, by a/b: multiply num by b, den by a.
void divide_row(int r, int c, const mpz_class &a, const mpz_class &b)
{
    for (int k = c; k < matrix_shape.columns(); k++) {
        cell(r, k).num *= b;
        cell(r, k).den *= a;
    }
}

// Multiplies value by factor in place; a factor of 1 (a reduced pivot, an integer) costs nothing.
static void multiply_unless_one(mpz_class &value, const mpz_class &factor)
{
    if (factor != 1)
        mpz_mul(value.get_mpz_t(), value.get_mpz_t(), factor.get_mpz_t());
}

// Subtracts from row j the multiple of pivot row i that clears cell (j, i).
void eliminate_row(int j, int i)
{
    eliminate_row(j, i, i);
}

// Row j minus (a/b) times row i, with a/b = cell (j, column).
void eliminate_row(int j, int i, int column)
{
    const mpz_class a = cell(j, column).num;
    const mpz_class b = cell(j, column).den;
    subtract_row_multiple(j, i, column, a, b);
}

// Row j minus (a/b) times row i: each p/q becomes, over the common denominator q*s*b of p/q and
// (a/b)*(r/s), num = p*s*b - q*r*a and den = q*s*b, in place.
void subtract_row_multiple(int j, int i, int column, const mpz_class &a, const mpz_class &b)
{
    mpz_class product; // q*r
    for (int c = column; c < matrix_shape.columns(); c++) {
        Fraction &target = cell(j, c);          // p/q
        const Fraction &pivot_row = cell(i, c); // r/s
        mpz_mul(product.get_mpz_t(), target.den.get_mpz_t(), pivot_row.num.get_mpz_t());
        multiply_unless_one(target.num, pivot_row.den);
        multiply_unless_one(target.num, b);
        mpz_submul(target.num.get_mpz_t(), product.get_mpz_t(), a.get_mpz_t());
        multiply_unless_one(target.den, pivot_row.den);
        multiply_unless_one(target.den, b);
    }
}

// Exchanges rows a and b in every column of the system.
void exchange_rows(int a, int b)
{
    for (int c = 0; c < matrix_shape.columns(); c++)
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
    mpz_tdiv_r(y.get_mpz_t(), y.get_mpz_t(), x.get_mpz_t());
    mpz_swap(x.get_mpz_t(), y.get_mpz_t());
}

// Runs Euclid's loop once from (x, y) = (num, den): returns its step count, and g = final y.
int euclid_steps_and_divisor(const mpz_class &num, const mpz_class &den, mpz_class &g)
{
    mpz_class x = num;
    g = den;
    int steps = 0;
    while (x != 0) {
        euclid_step(x, g);
        steps++;
    }
    return steps;
}

// How many steps Euclid's loop takes from (x, y) until x is 0.
int euclid_step_count(const mpz_class &x, const mpz_class &y)
{
    mpz_class g;
    return euclid_steps_and_divisor(x, y, g);
}

// Euclid steps per frame so that no cell takes more than max_reduce_frames frames.
int euclid_steps_per_frame(int steps)
{
    if (steps <= max_reduce_frames)
        return 1;
    return (steps + max_reduce_frames - 1) / max_reduce_frames;
}

// Why this gives Euclid's signed divisor. Take den = B > 0 and num = -A < 0. The loop's
// remainders r0 = B, r1 = num, r(k+1) = r(k-1) rem r(k) have the magnitudes of Euclid's on
// (B, A); the even ones are positive and the odd ones negative, so after m steps g = r(m) is
// negative exactly when m is odd. Extended Euclid's cofactor u(m) in g = u(m)*A + v(m)*B has
// the sign (-1)^(m+1), or is 0 when B | A, A > B (m = 2). From B/g = |u(m-1)| + q(m)*|u(m)|,
// with q(m) >= 2 when m >= 2, |u(m)| < B/(2g) unless A = B, or B = 2g (then m is odd and
// u(m) = 1). GMP's mpz_gcdext(g, s, t, a, b) picks the one s with |s| < |b|/(2g), except that
// |a| = |b| gives s = 0 and |b| = 2g gives s = sgn(a) (its third exception, |a| = 2g, fixes t
// and leaves s within the bound). So for a = -A, s = -u(m), and apart from A = B (one step,
// g = num: handled first) m is odd exactly when s < 0.
//
// Cancels num/den with num < 0 < den: divides by the gcd, negated when the loop's count is odd.
static void reduce_negative_numerator(mpz_class &num, mpz_class &den, mpz_class &g, mpz_class &s)
{
    if (mpz_cmpabs(num.get_mpz_t(), den.get_mpz_t()) == 0) { // -A/A: one step, g = -A
        num = 1;
        den = -1;
        return;
    }
    mpz_gcdext(g.get_mpz_t(), s.get_mpz_t(), nullptr, num.get_mpz_t(), den.get_mpz_t());
    if (s < 0)
        mpz_neg(g.get_mpz_t(), g.get_mpz_t());
    if (g != 1)
        divide_by_divisor(num, den, g);
}

// reduce_cell_now with scratch integers g and s that the caller keeps across cells.
static void reduce_cell_with(mpz_class &num, mpz_class &den, mpz_class &g, mpz_class &s)
{
    if (reduce_without_euclid(num, den))
        return;
    if (num < 0) {
        reduce_negative_numerator(num, den, g, s);
        return;
    }
    mpz_gcd(g.get_mpz_t(), num.get_mpz_t(), den.get_mpz_t());
    if (g != 1)
        divide_by_divisor(num, den, g);
}

// Reduces num/den at once, exactly as the animated reduction does, with GMP's gcd: with num
// positive every remainder is positive and g is the plain gcd; otherwise see above.
void reduce_cell_now(mpz_class &num, mpz_class &den)
{
    mpz_class g;
    mpz_class s;
    reduce_cell_with(num, den, g, s);
}

// Reduces every cell of row r at once, without drawing.
void reduce_row_now(int r)
{
    mpz_class g;
    mpz_class s;
    for (int c = 0; c < matrix_shape.columns(); c++)
        reduce_cell_with(cell(r, c).num, cell(r, c).den, g, s);
}
