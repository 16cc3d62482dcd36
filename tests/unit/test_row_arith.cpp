// Row arithmetic: cancelling and its Euclid step counts, scaling, elimination, exchange, zero test.
#include "matrix/row_arith.h"
#include "matrix/store.h"
#include "store_helpers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace
{

// A cell before and after reduction, and how many Euclid steps it costs (-1: no loop at all).
struct ReduceCase {
    long num;
    long den;
    long reduced_num;
    long reduced_den;
    int euclid_steps;
};

constexpr ReduceCase reduce_cases[] = {
    {6, 4, 3, 2, 3},     {4, 6, 2, 3, 2},     {5, 5, 1, 1, -1},
    {-5, -5, 1, 1, -1},  {5, -5, 1, -1, 1},   {-5, 5, 1, -1, 1},
    {0, 7, 0, 1, -1},    {0, -7, 0, 1, -1},   {-2, 4, 1, -2, 1},
    {1, -2, 1, -2, 1}, // reducing 1/-2 again leaves it as it is
    {-6, 4, 3, -2, 3}, // odd step count with a negative numerator: the sign moves down
    {-4, 6, -2, 3, 2}, // even step count: the sign stays up
    {12, -18, -2, 3, 2}, {7, -1, -7, 1, 2},   {3, 1, 3, 1, -1},
    {-3, 1, -3, 1, -1},  {21, 13, 21, 13, 7}, {2147483647, 2147483646, 2147483647, 2147483646, 3},
    {-12, 4, -3, 1, 2}, // den divides num: an even count (GMP's s = 0), the sign stays up
    {-3, 5, 3, -5, 3},  // nothing cancels, yet an odd count moves the sign down
};

TEST(ReduceCell, ResultsAndEuclidSteps)
{
    for (const ReduceCase &c : reduce_cases) {
        SCOPED_TRACE(std::to_string(c.num) + "/" + std::to_string(c.den));
        mpz_class num = c.num;
        mpz_class den = c.den;
        const int settled = reduce_without_euclid(num, den);
        EXPECT_EQ(settled, c.euclid_steps < 0 ? 1 : 0);
        if (!settled) {
            EXPECT_GT(den, 0) << "the loop starts from a positive denominator";
            EXPECT_EQ(euclid_step_count(num, den), c.euclid_steps);
        }
        mpz_class reduced_num = c.num;
        mpz_class reduced_den = c.den;
        reduce_cell_now(reduced_num, reduced_den);
        EXPECT_EQ(reduced_num, c.reduced_num);
        EXPECT_EQ(reduced_den, c.reduced_den);
    }
}

// A random 32-bit value of a random size.
std::int32_t random_int32(std::mt19937_64 &rng)
{
    const auto magnitude = static_cast<std::uint32_t>(rng()) >> (rng() % 32);
    return static_cast<std::int32_t>((rng() & 1) ? ~magnitude : magnitude);
}

TEST(ReduceCell, KeepsTheValueAndCancelsEverything)
{
    std::mt19937_64 rng(5);
    for (int k = 0; k < 100000; k++) {
        const std::int32_t num32 = random_int32(rng);
        const std::int32_t den32 = random_int32(rng);
        if (den32 == 0)
            continue;
        mpq_class value{mpz_class(num32), mpz_class(den32)};
        value.canonicalize();
        mpz_class num = num32;
        mpz_class den = den32;
        reduce_cell_now(num, den);
        ASSERT_NE(den, 0);
        mpq_class after(num, den);
        after.canonicalize();
        ASSERT_EQ(after, value) << num32 << "/" << den32;
        ASSERT_EQ(gcd(num, den), 1) << num32 << "/" << den32 << " -> " << num << "/" << den;
        mpz_class x = num32;
        mpz_class y = den32;
        if (!reduce_without_euclid(x, y)) {
            ASSERT_LE(euclid_step_count(x, y), max_reduce_frames) << num32 << "/" << den32;
        }
    }
}

TEST(EuclidSteps, SlowestThirtyTwoBitCellFitsTheFrameLimit)
{
    std::vector<long> fibonacci = {1, 1};
    while (fibonacci.back() + fibonacci[fibonacci.size() - 2] < 2147483648L)
        fibonacci.push_back(fibonacci.back() + fibonacci[fibonacci.size() - 2]);
    ASSERT_EQ(fibonacci.back(), 1836311903L);
    int slowest = 0;
    for (std::size_t k = 1; k < fibonacci.size(); k++)
        for (long sign : {1L, -1L}) {
            const int up = euclid_step_count(sign * fibonacci[k], fibonacci[k - 1]);
            const int down = euclid_step_count(sign * fibonacci[k - 1], fibonacci[k]);
            slowest = std::max({slowest, up, down});
        }
    EXPECT_EQ(slowest, max_reduce_frames);
    EXPECT_EQ(euclid_step_count(1836311903L, 1134903170L), 45);
    EXPECT_EQ(euclid_steps_per_frame(slowest), 1);
}

TEST(EuclidSteps, PerFrameKeepsEveryCellWithinFortyFiveFrames)
{
    for (int steps = 0; steps <= 20000; steps++) {
        const int per_frame = euclid_steps_per_frame(steps);
        ASSERT_GE(per_frame, 1) << steps;
        const int frames = (steps + per_frame - 1) / per_frame;
        ASSERT_LE(frames, max_reduce_frames) << steps;
        if (steps <= max_reduce_frames) {
            ASSERT_EQ(per_frame, 1) << steps;
        } else {
            ASSERT_GT((steps + per_frame - 2) / (per_frame - 1), max_reduce_frames)
                << steps << ": fewer steps per frame would do";
        }
    }
}

// A stored cell as num/den.
struct Cell {
    long num;
    long den;
};

// Fills every cell of the store's n x (n+1) block from rows of num/den pairs.
void set_cells(const std::vector<std::vector<Cell>> &rows)
{
    reset_store();
    matrix_shape = square_shape(static_cast<int>(rows.size()));
    for (std::size_t r = 0; r < rows.size(); r++)
        for (std::size_t c = 0; c < rows[r].size(); c++) {
            cell(static_cast<int>(r), static_cast<int>(c)).num = rows[r][c].num;
            cell(static_cast<int>(r), static_cast<int>(c)).den = rows[r][c].den;
        }
}

// Expects the stored n x (n+1) block to hold exactly these num/den pairs.
void expect_cells(const std::vector<std::vector<Cell>> &rows)
{
    for (std::size_t r = 0; r < rows.size(); r++)
        for (std::size_t c = 0; c < rows[r].size(); c++) {
            const Fraction &f = cell(static_cast<int>(r), static_cast<int>(c));
            EXPECT_EQ(f.num, rows[r][c].num) << "cell " << r << "," << c;
            EXPECT_EQ(f.den, rows[r][c].den) << "cell " << r << "," << c;
        }
}

TEST(ScalePivotRow, MultipliesWithoutCancellingFromThePivotOn)
{
    set_cells({{{1, 2}, {3, 4}, {5, 6}, {7, 8}},
               {{7, 5}, {2, 3}, {4, -5}, {-6, 7}},
               {{9, 1}, {8, 1}, {7, 1}, {6, 1}}});
    scale_pivot_row(1);
    expect_cells({{{1, 2}, {3, 4}, {5, 6}, {7, 8}},
                  {{7, 5}, {6, 6}, {12, -10}, {-18, 14}},
                  {{9, 1}, {8, 1}, {7, 1}, {6, 1}}});
}

TEST(ScalePivotRow, NegativePivotMovesItsSignDown)
{
    set_cells({{{-2, 1}, {3, 1}}});
    scale_pivot_row(0);
    expect_cells({{{-2, -2}, {3, -2}}});
}

TEST(EliminateRow, CommonDenominatorWithoutCancelling)
{
    set_cells({{{1, 1}, {4, 1}, {5, 1}, {6, 1}},
               {{7, 5}, {1, 1}, {2, 7}, {3, -2}},
               {{9, 4}, {3, 2}, {5, 3}, {-1, 4}}});
    eliminate_row(2, 1);
    expect_cells({{{1, 1}, {4, 1}, {5, 1}, {6, 1}},
                  {{7, 5}, {1, 1}, {2, 7}, {3, -2}},
                  {{9, 4}, {0, 4}, {52, 42}, {-32, -16}}});
}

TEST(EliminateRow, RowAboveThePivot)
{
    set_cells({{{1, 1}, {-3, 1}, {2, 1}}, {{0, 1}, {1, 1}, {5, 1}}});
    eliminate_row(0, 1);
    expect_cells({{{1, 1}, {0, 1}, {17, 1}}, {{0, 1}, {1, 1}, {5, 1}}});
}

TEST(ColumnClearBelow, LooksFromTheDiagonalDown)
{
    set_cells({{{0, 1}, {5, 1}, {0, 1}, {1, 1}},
               {{3, 1}, {0, 1}, {0, 1}, {1, 1}},
               {{0, 1}, {0, 1}, {2, 1}, {1, 1}}});
    EXPECT_EQ(column_clear_below(0), 0); // row 1 below the zero diagonal
    EXPECT_EQ(column_clear_below(1), 1); // the 5 above the diagonal does not count
    EXPECT_EQ(column_clear_below(2), 0);
    EXPECT_EQ(column_clear_below(3), 1); // beyond the last pivot
    cell(2, 2).num = 0;
    cell(2, 2).den = 7;
    EXPECT_EQ(column_clear_below(2), 1); // zero over any denominator is zero
}

TEST(ExchangeRows, SwapsWholeRowsOnly)
{
    set_cells({{{1, 2}, {3, 4}, {5, 6}}, {{-7, 8}, {9, -10}, {11, 12}}});
    cell(0, 3).num = 42; // outside the system: must stay
    cell(0, 3).den = 43;
    cell(1, 3).num = 44;
    cell(1, 3).den = 45;
    exchange_rows(0, 1);
    expect_cells({{{-7, 8}, {9, -10}, {11, 12}}, {{1, 2}, {3, 4}, {5, 6}}});
    EXPECT_EQ(cell(0, 3).num, 42);
    EXPECT_EQ(cell(1, 3).num, 44);
    exchange_rows(1, 1);
    expect_cells({{{-7, 8}, {9, -10}, {11, 12}}, {{1, 2}, {3, 4}, {5, 6}}});
}

TEST(ReduceRow, ReducesEveryColumnOfTheRowOnly)
{
    set_cells({{{6, 4}, {-2, 4}, {5, -5}, {0, 9}},
               {{6, 4}, {1, 1}, {1, 1}, {1, 1}},
               {{1, 1}, {1, 1}, {1, 1}, {1, 1}}});
    reduce_row_now(0);
    expect_cells({{{3, 2}, {1, -2}, {1, -1}, {0, 1}}, {{6, 4}, {1, 1}, {1, 1}, {1, 1}}});
}

} // namespace
