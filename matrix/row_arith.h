// Exact row arithmetic on the store: the parts of the row operations that draw nothing.
#pragma once

#include <gmpxx.h>

// The most frames the cancelling of one cell may take; the slowest cell whose
// values fit in 32 bits needs this many Euclid steps.
constexpr int max_reduce_frames = 45;

// 1 when column i is zero from row i down (also when i >= the rows), else 0.
int column_clear_below(int i);

// Divides row i, from column i on, by its diagonal entry; no cancelling.
void scale_pivot_row(int i);

// Divides row r, from column c on, by its entry in column c (the pivot at (r, c)); no cancelling.
void scale_pivot_row(int r, int c);

// Divides row r, from column c on, by the value a/b (a != 0): num times b, den times a; no
// cancelling. A learner's scaling by f is a division by 1/f over every column.
void divide_row(int r, int c, const mpz_class &a, const mpz_class &b);

// Subtracts from row j the value a/b times row i, from column c on; no cancelling.
void subtract_row_multiple(int j, int i, int c, const mpz_class &a, const mpz_class &b);

// Subtracts from row j the multiple of pivot row i that clears cell (j, i); no cancelling.
void eliminate_row(int j, int i);

// Subtracts from row j the multiple of pivot row r that clears cell (j, c), columns c on; no
// cancelling.
void eliminate_row(int j, int r, int c);

// Exchanges rows a and b in every column of the system.
void exchange_rows(int a, int b);

// Settles the cells that need no Euclid loop (den 1; num 0 -> den 1; num = den -> 1/1)
// and returns 1; otherwise makes den positive, ready for the loop, and returns 0.
int reduce_without_euclid(mpz_class &num, mpz_class &den);

// Divides num and den by Euclid's result g, which carries a sign.
void divide_by_divisor(mpz_class &num, mpz_class &den, const mpz_class &g);

// One step of Euclid's loop with truncating remainder: (x, y) = (y rem x, x).
void euclid_step(mpz_class &x, mpz_class &y);

// Runs Euclid's loop once from (x, y) = (num, den) until x is 0: returns how many steps it
// took and sets g to the final y, the divisor that carries a sign.
int euclid_steps_and_divisor(const mpz_class &num, const mpz_class &den, mpz_class &g);

// How many steps Euclid's loop takes from (x, y) until x is 0.
int euclid_step_count(const mpz_class &x, const mpz_class &y);

// How many Euclid steps each frame runs so that a cell of `steps` steps takes at most
// max_reduce_frames frames: 1 whenever steps fits, as in a plain 32-bit run.
int euclid_steps_per_frame(int steps);

// Reduces num/den at once, without drawing, to exactly what the animated reduction stores,
// sign included, but with GMP's gcd instead of the step-by-step loop.
void reduce_cell_now(mpz_class &num, mpz_class &den);

// Reduces every cell of row r at once, without drawing.
void reduce_row_now(int r);
