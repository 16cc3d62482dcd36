// Random systems solved headless and checked three independent ways: by multiplying the
// solution back into the original system, by fraction-free ranks, and against a plain
// 32-bit run of the same row operations wherever that run does not overflow. Then the fast
// instant cancelling against Euclid's loop as the animated path runs it, on millions of pairs.
//
// The pair comparisons take a few seconds; GJ_LONG_TESTS=N (a whole number, e.g. 10) runs
// N times as many random pairs, for a longer search.
#include "matrix/elimination.h"
#include "matrix/instant_rows.h"
#include "matrix/rank.h"
#include "matrix/row_arith.h"
#include "matrix/store.h"
#include "store_helpers.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace
{

// ---------------------------------------------------------------- random systems

// Largest entry magnitude of each size class; the last is the whole 32-bit range.
constexpr std::int64_t magnitude_limits[] = {9, 99, 9999, 2147483648LL};

// A random integer within the given class: [-limit, limit - 1] for 32 bits, else [-limit, limit].
mpz_class random_entry(std::mt19937_64 &rng, std::int64_t limit)
{
    const std::int64_t high = limit == 2147483648LL ? limit - 1 : limit;
    std::uniform_int_distribution<std::int64_t> pick(-limit, high);
    return mpz_class(static_cast<long>(pick(rng)));
}

// The ways a random system is made singular, or not.
enum SystemShape {
    shape_regular,
    shape_duplicate_row, // a row repeats another, possibly scaled
    shape_combined_row,  // a row is the sum of two others
    shape_zero_column,   // one unknown has only zero coefficients
    shape_zero_row,      // an equation 0 = 0
    shape_shape_count,
};

// Makes row `target` a multiple of row `source`, or (contradictory) shifts its right-hand side.
void duplicate_row(IntegerRows &rows, std::size_t target, std::size_t source, long factor,
                   bool contradictory)
{
    for (std::size_t c = 0; c < rows[target].size(); c++)
        rows[target][c] = rows[source][c] * factor;
    if (contradictory)
        rows[target].back() += 1;
}

// A random system of order n with entries of one size class, made singular by `shape`.
IntegerRows random_system(std::mt19937_64 &rng, int n, std::int64_t limit, SystemShape shape,
                          bool contradictory)
{
    const auto size = static_cast<std::size_t>(n);
    IntegerRows rows(size, std::vector<mpz_class>(size + 1));
    for (auto &row : rows)
        for (mpz_class &entry : row)
            entry = random_entry(rng, limit);
    const std::size_t target = rng() % size;
    const std::size_t source = (target + 1 + rng() % size) % size;
    switch (shape) {
    case shape_duplicate_row:
        if (n >= 2)
            duplicate_row(rows, target, source, static_cast<long>(rng() % 5) - 2, contradictory);
        break;
    case shape_combined_row:
        if (n >= 3) {
            const std::size_t other = (source + 1 + rng() % (size - 1)) % size;
            if (other != target && other != source) {
                for (std::size_t c = 0; c <= size; c++)
                    rows[target][c] = rows[source][c] - rows[other][c];
                if (contradictory)
                    rows[target].back() += 1;
            }
        }
        break;
    case shape_zero_column:
        for (auto &row : rows)
            row[rng() % size] = 0;
        for (auto &row : rows)
            row[target] = 0;
        break;
    case shape_zero_row:
        for (mpz_class &entry : rows[target])
            entry = 0;
        if (contradictory)
            rows[target].back() = 1;
        break;
    default:
        break;
    }
    return rows;
}

// ---------------------------------------------------------------- fraction-free rank

// Rank of the first `columns` columns of rows, by Bareiss's fraction-free elimination on integers.
int bareiss_rank(IntegerRows m, std::size_t columns)
{
    const std::size_t rows = m.size();
    std::size_t rank = 0;
    mpz_class previous = 1;
    for (std::size_t col = 0; col < columns && rank < rows; col++) {
        std::size_t pivot = rank;
        while (pivot < rows && m[pivot][col] == 0)
            pivot++;
        if (pivot == rows)
            continue;
        std::swap(m[pivot], m[rank]);
        for (std::size_t r = rank + 1; r < rows; r++) {
            for (std::size_t c = col + 1; c < columns; c++) {
                mpz_class value = m[rank][col] * m[r][c] - m[r][col] * m[rank][c];
                EXPECT_TRUE(mpz_divisible_p(value.get_mpz_t(), previous.get_mpz_t()));
                mpz_divexact(m[r][c].get_mpz_t(), value.get_mpz_t(), previous.get_mpz_t());
            }
            m[r][col] = 0;
        }
        previous = m[rank][col];
        rank++;
    }
    return static_cast<int>(rank);
}

// ---------------------------------------------------------------- plain 32-bit run

struct Cell32 {
    std::int32_t num;
    std::int32_t den;
};

// A 32-bit matrix and whether any operation on it has left the 32-bit range.
struct Run32 {
    int n = 0;
    std::array<std::array<Cell32, 11>, 10> cell{}; // [row][column]
    bool overflow = false;
    int steps = 0;
};

std::int32_t mul(Run32 &run, std::int32_t a, std::int32_t b)
{
    std::int32_t result = 0;
    run.overflow |= __builtin_mul_overflow(a, b, &result);
    return result;
}

std::int32_t add(Run32 &run, std::int32_t a, std::int32_t b)
{
    std::int32_t result = 0;
    run.overflow |= __builtin_add_overflow(a, b, &result);
    return result;
}

std::int32_t negate(Run32 &run, std::int32_t a)
{
    std::int32_t result = 0;
    run.overflow |= __builtin_sub_overflow(0, a, &result);
    return result;
}

// Truncating division, flagging the one quotient that leaves the range.
std::int32_t divide(Run32 &run, std::int32_t a, std::int32_t b)
{
    if (b == -1)
        return negate(run, a);
    return a / b;
}

// Cancels one cell: den 1 stays, num 0 gives den 1, num = den gives 1/1, else truncating Euclid.
void reduce32(Run32 &run, Cell32 &f)
{
    if (f.den == 1)
        return;
    if (f.num == 0) {
        f.den = 1;
        return;
    }
    if (f.num == f.den) {
        f = {1, 1};
        return;
    }
    if (f.den < 0) {
        f.num = negate(run, f.num);
        f.den = negate(run, f.den);
    }
    std::int32_t x = f.num;
    std::int32_t y = f.den;
    while (x != 0) {
        const std::int32_t remainder = x == -1 ? 0 : y % x;
        y = x;
        x = remainder;
    }
    f.num = divide(run, f.num, y);
    f.den = divide(run, f.den, y);
}

void reduce_row32(Run32 &run, int r)
{
    for (int c = 0; c <= run.n; c++)
        reduce32(run, run.cell[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]);
}

Cell32 &at(Run32 &run, int r, int c)
{
    return run.cell[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
}

// One pivot of the 32-bit run; false when the column is zero from the diagonal down.
bool pivot32(Run32 &run, int i)
{
    const int n = run.n;
    if (at(run, i, i).num == 0) {
        for (int j = i; j < n; j++)
            if (at(run, j, i).num != 0) {
                run.steps++;
                std::swap(run.cell[static_cast<std::size_t>(i)],
                          run.cell[static_cast<std::size_t>(j)]);
                reduce_row32(run, 0);
                break;
            }
        if (at(run, i, i).num == 0)
            return false;
    }
    if (at(run, i, i).num != at(run, i, i).den) {
        run.steps++;
        const Cell32 pivot = at(run, i, i);
        for (int c = i; c <= n; c++) {
            at(run, i, c).num = mul(run, at(run, i, c).num, pivot.den);
            at(run, i, c).den = mul(run, at(run, i, c).den, pivot.num);
        }
    }
    reduce_row32(run, i);
    for (int j = 0; j < n; j++) {
        if (j == i || at(run, j, i).num == 0)
            continue;
        run.steps++;
        const Cell32 factor = at(run, j, i); // a/b
        for (int c = i; c <= n; c++) {
            const Cell32 pq = at(run, j, c);
            const Cell32 rs = at(run, i, c);
            const std::int32_t left = mul(run, mul(run, pq.num, rs.den), factor.den);
            const std::int32_t right = mul(run, mul(run, pq.den, rs.num), negate(run, factor.num));
            at(run, j, c).num = add(run, left, right);
            at(run, j, c).den = mul(run, mul(run, pq.den, rs.den), factor.den);
        }
        reduce_row32(run, j);
    }
    return true;
}

// Runs the whole elimination in 32 bits; false when some entry does not fit to begin with.
bool run32(const IntegerRows &rows, Run32 &run, EliminationResult &result)
{
    run.n = static_cast<int>(rows.size());
    for (int r = 0; r < run.n; r++)
        for (int c = 0; c <= run.n; c++) {
            const mpz_class &v = rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
            if (!v.fits_sint_p())
                return false;
            at(run, r, c) = {static_cast<std::int32_t>(v.get_si()), 1};
        }
    result = elimination_done;
    for (int i = 0; i < run.n && !run.overflow; i++)
        if (!pivot32(run, i)) {
            result = elimination_column_empty;
            break;
        }
    return !run.overflow;
}

// ---------------------------------------------------------------- checks

// The solution column multiplied back into the original system gives its right-hand side.
void expect_solves(const IntegerRows &rows)
{
    const int n = static_cast<int>(rows.size());
    for (int r = 0; r < n; r++) {
        const auto &row = rows[static_cast<std::size_t>(r)];
        mpq_class sum = 0;
        for (int c = 0; c < n; c++)
            sum += mpq_class(row[static_cast<std::size_t>(c)]) * cell_value(c, n);
        ASSERT_EQ(sum, mpq_class(row.back())) << "equation " << r;
        for (int c = 0; c < n; c++)
            ASSERT_EQ(cell_value(r, c), r == c ? 1 : 0) << "cell " << r << "," << c;
    }
}

// Every stored cell is in lowest terms over a non-zero denominator.
void expect_reduced()
{
    for (int r = 0; r < matrix_shape.rows; r++)
        for (int c = 0; c < matrix_shape.columns(); c++) {
            ASSERT_NE(cell(r, c).den, 0) << "cell " << r << "," << c;
            ASSERT_EQ(gcd(cell(r, c).num, cell(r, c).den), 1) << "cell " << r << "," << c;
        }
}

// The stored cells are the 32-bit run's, numerator and denominator alike.
void expect_same_as_32(Run32 &run)
{
    for (int r = 0; r < run.n; r++)
        for (int c = 0; c <= run.n; c++) {
            ASSERT_EQ(cell(r, c).num, at(run, r, c).num) << "cell " << r << "," << c;
            ASSERT_EQ(cell(r, c).den, at(run, r, c).den) << "cell " << r << "," << c;
        }
}

// The store is in reduced row echelon form: each row's first non-zero entry (the right-hand
// side included) is 1, further right than the row above's, alone in its column, and zero rows
// come last.
void expect_reduced_row_echelon()
{
    int previous = -1;
    for (int r = 0; r < matrix_shape.rows; r++) {
        int lead = -1;
        for (int c = 0; c < matrix_shape.columns() && lead < 0; c++)
            if (cell(r, c).num != 0)
                lead = c;
        if (lead < 0) {
            previous = matrix_shape.columns(); // only zero rows may follow
            continue;
        }
        ASSERT_GT(lead, previous) << "row " << r;
        ASSERT_EQ(cell_value(r, lead), 1) << "row " << r;
        for (int j = 0; j < matrix_shape.rows; j++)
            ASSERT_TRUE(j == r || cell(j, lead).num == 0) << "row " << j << ", column " << lead;
        previous = lead;
    }
}

// The system's rows as text, for failure messages.
std::string rows_text(const IntegerRows &rows)
{
    std::string text;
    for (const auto &row : rows) {
        text += "(";
        for (const mpz_class &v : row)
            text += " " + v.get_str();
        text += " )";
    }
    return text;
}

struct Counts {
    int regular = 0;
    int no_solution = 0;
    int infinitely_many = 0;
    int compared_32 = 0;
};

// Solves one system headless and checks it every way that applies.
void check_system(const IntegerRows &rows, Counts &counts)
{
    SCOPED_TRACE(rows_text(rows));
    const int n = static_cast<int>(rows.size());
    const int rank_a = bareiss_rank(rows, rows.size());
    const int rank_ab = bareiss_rank(rows, rows.size() + 1);
    Run32 run;
    EliminationResult result32 = elimination_done;
    const bool fits_32 = run32(rows, run, result32);

    set_system(rows);
    int steps = 0;
    const EliminationResult result = run_elimination_now(&steps);
    ASSERT_NE(result, elimination_stopped);
    ASSERT_NO_FATAL_FAILURE(expect_reduced());
    const char *message = finish_message(result == elimination_column_empty);
    if (rank_a == n) {
        ASSERT_EQ(result, elimination_done);
        ASSERT_STREQ(message, "Hotovo!");
        ASSERT_NO_FATAL_FAILURE(expect_solves(rows));
        counts.regular++;
    } else if (rank_a < rank_ab) {
        ASSERT_EQ(result, elimination_column_empty);
        ASSERT_STREQ(message, "Hotovo! Sustava nema riesenie.");
        counts.no_solution++;
    } else {
        ASSERT_EQ(result, elimination_column_empty);
        ASSERT_STREQ(message, "Hotovo! Sustava ma nekonecne vela rieseni.");
        counts.infinitely_many++;
    }
    if (fits_32) {
        ASSERT_EQ(result, result32);
        ASSERT_EQ(steps, run.steps);
        ASSERT_NO_FATAL_FAILURE(expect_same_as_32(run));
        counts.compared_32++;
    }
    // On to the reduced form: the same steps first, then a solution set that solves the system.
    set_system(rows);
    int all_steps = 0;
    int to_verdict = 0;
    ASSERT_EQ(run_elimination_now(&all_steps, reach_reduced_form, &to_verdict), result);
    ASSERT_EQ(to_verdict, steps);
    ASSERT_GE(all_steps, steps);
    ASSERT_NO_FATAL_FAILURE(expect_reduced());
    ASSERT_NO_FATAL_FAILURE(expect_reduced_row_echelon());
    ASSERT_NO_FATAL_FAILURE(expect_solution_set_solves(rows));
}

TEST(Differential, RandomSystemsSolveExactly)
{
    std::mt19937_64 rng(19830611);
    Counts counts;
    constexpr int systems = 20000;
    for (int k = 0; k < systems; k++) {
        // Small orders and entries come up often, so that many runs stay within 32 bits.
        const int n = 1 + static_cast<int>((rng() & 1) ? rng() % 10 : rng() % 4);
        const std::int64_t limit = magnitude_limits[rng() % 4];
        const auto shape =
            (rng() & 1) ? shape_regular : static_cast<SystemShape>(rng() % shape_shape_count);
        const bool contradictory = (rng() % 3) == 0;
        ASSERT_NO_FATAL_FAILURE(
            check_system(random_system(rng, n, limit, shape, contradictory), counts))
            << "system " << k;
    }
    std::cout << "regular " << counts.regular << ", no solution " << counts.no_solution
              << ", infinitely many " << counts.infinitely_many << ", compared with 32-bit "
              << counts.compared_32 << " of " << systems << "\n";
    RecordProperty("regular", counts.regular);
    RecordProperty("no_solution", counts.no_solution);
    RecordProperty("infinitely_many", counts.infinitely_many);
    RecordProperty("compared_32", counts.compared_32);
    EXPECT_GT(counts.regular, systems / 4);
    EXPECT_GT(counts.no_solution, systems / 20);
    EXPECT_GT(counts.infinitely_many, systems / 20);
    EXPECT_GT(counts.compared_32, systems / 10);
}

TEST(Differential, ThirtyTwoBitEdgesAgree)
{
    Counts counts;
    const IntegerRows edge_systems[] = {
        {{-2147483647 - 1, 1}},
        {{-2147483647 - 1, -2147483647 - 1}},
        {{2147483647, -2147483647 - 1}},
        {{-1, -2147483647 - 1}},
        {{1, 2147483647}},
        {{2147483647, 2147483646, 1}, {2147483646, 2147483645, 1}},
        {{0, 0, 0}, {0, 0, 0}},
    };
    for (const IntegerRows &rows : edge_systems)
        ASSERT_NO_FATAL_FAILURE(check_system(rows, counts));
    EXPECT_GE(counts.compared_32, 2);
}

// ---------------------------------------------------------------- fast cancelling against the loop

// How many times the usual number of random pairs to compare: GJ_LONG_TESTS, else 1.
long long_test_factor()
{
    const char *text = std::getenv("GJ_LONG_TESTS");
    const long factor = text ? std::strtol(text, nullptr, 10) : 1;
    return factor > 1 ? factor : 1;
}

// Cancels num/den as the animated path does (reduce_cell_on_screen without its frames): the
// cases that need no loop, then Euclid's loop once, then the division by its signed result.
void reduce_by_loop(mpz_class &num, mpz_class &den)
{
    if (reduce_without_euclid(num, den))
        return;
    mpz_class g;
    euclid_steps_and_divisor(num, den, g);
    divide_by_divisor(num, den, g);
}

// Success when reduce_cell_now stores exactly what the loop stores for num/den, signs included.
::testing::AssertionResult fast_matches_loop(const mpz_class &num, const mpz_class &den)
{
    static mpz_class loop_num; // kept between calls, so that millions of pairs allocate little
    static mpz_class loop_den;
    static mpz_class fast_num;
    static mpz_class fast_den;
    loop_num = num;
    loop_den = den;
    reduce_by_loop(loop_num, loop_den);
    fast_num = num;
    fast_den = den;
    reduce_cell_now(fast_num, fast_den);
    if (fast_num == loop_num && fast_den == loop_den)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << num << "/" << den << ": the loop gives " << loop_num << "/" << loop_den
           << ", the fast cancelling " << fast_num << "/" << fast_den;
}

// Compares num/den with every sign and both ways round (each with a non-zero denominator).
::testing::AssertionResult all_signs_match(const mpz_class &a, const mpz_class &b)
{
    for (const mpz_class &num : {mpz_class(a), mpz_class(-a), mpz_class(b), mpz_class(-b)})
        for (const mpz_class &den : {mpz_class(b), mpz_class(-b), mpz_class(a), mpz_class(-a)}) {
            if (den == 0)
                continue;
            ::testing::AssertionResult result = fast_matches_loop(num, den);
            if (!result)
                return result;
        }
    return ::testing::AssertionSuccess();
}

// GMP's random state for multi-limb values, cleared when it goes out of scope.
struct RandomState {
    gmp_randstate_t state;
    explicit RandomState(unsigned long seed)
    {
        gmp_randinit_default(state);
        gmp_randseed_ui(state, seed);
    }
    ~RandomState()
    {
        gmp_randclear(state);
    }
    RandomState(const RandomState &) = delete;
    RandomState &operator=(const RandomState &) = delete;
};

// A random value of up to `bits` bits, of a random size, now and then with long runs of
// equal bits (GMP's rrandomb), which make long and unusual quotient sequences.
mpz_class random_bits(RandomState &random, std::mt19937_64 &rng, unsigned long bits)
{
    mpz_class value;
    const unsigned long size = 1 + rng() % bits;
    if (rng() % 4 == 0)
        mpz_rrandomb(value.get_mpz_t(), random.state, size);
    else
        mpz_urandomb(value.get_mpz_t(), random.state, size);
    return value;
}

// A random 32-bit value of a random size and sign, the ends of the range included.
std::int32_t random_int32(std::mt19937_64 &rng)
{
    const auto magnitude = static_cast<std::uint32_t>(rng()) >> (rng() % 32);
    return static_cast<std::int32_t>((rng() & 1) ? ~magnitude : magnitude);
}

TEST(DifferentialReduction, MatchesTheLoopOnEverySmallPair)
{
    for (long num = -64; num <= 64; num++)
        for (long den = -64; den <= 64; den++) {
            if (den == 0)
                continue;
            ASSERT_TRUE(fast_matches_loop(num, den));
        }
}

TEST(DifferentialReduction, MatchesTheLoopOnRandomThirtyTwoBitPairs)
{
    std::mt19937_64 rng(20240611);
    const long pairs = 10000000L * long_test_factor();
    long compared = 0;
    for (long k = 0; compared < pairs; k++) {
        mpz_class num;
        mpz_class den;
        if (k % 4 == 0) { // both of 16 bits or fewer, times a common factor of up to 15 bits
            const auto factor = static_cast<std::int32_t>(1 + (rng() >> (49 + rng() % 15)));
            num = factor * static_cast<std::int32_t>(static_cast<std::int16_t>(rng()));
            den = factor * static_cast<std::int32_t>(static_cast<std::int16_t>(rng()));
        } else {
            num = random_int32(rng);
            den = random_int32(rng);
        }
        if (den == 0)
            continue;
        ASSERT_TRUE(fast_matches_loop(num, den)) << "pair " << k;
        compared++;
    }
    std::cout << "compared " << compared << " pairs of 32 bits or fewer\n";
    RecordProperty("compared", std::to_string(compared));
}

TEST(DifferentialReduction, MatchesTheLoopOnRandomMultiLimbPairs)
{
    std::mt19937_64 rng(19700101);
    RandomState random(42);
    const long pairs = 20000L * long_test_factor();
    for (long k = 0; k < pairs; k++) {
        // Up to about 1000 bits each, times a common factor of up to 1000 bits (or none).
        const mpz_class factor = (k % 3 == 0) ? mpz_class(1) : 1 + random_bits(random, rng, 1000);
        const mpz_class num = factor * random_bits(random, rng, 1000);
        const mpz_class den = factor * (1 + random_bits(random, rng, 1000));
        ASSERT_TRUE(all_signs_match(num, den)) << "pair " << k;
    }
    std::cout << "compared about " << pairs * 16
              << " multi-limb pairs, signs and orders included\n";
}

TEST(DifferentialReduction, MatchesTheLoopOnConsecutiveFibonacciNumbers)
{
    // Consecutive Fibonacci numbers make the longest loop for their size, every quotient 1.
    std::mt19937_64 rng(1202);
    RandomState random(1202);
    mpz_class previous = 0;
    mpz_class current = 1;
    for (int k = 1; k <= 1000; k++) {
        ASSERT_TRUE(all_signs_match(current, previous + current)) << "F(" << k << ")";
        const mpz_class factor = random_bits(random, rng, 600) + 2;
        ASSERT_TRUE(all_signs_match(factor * current, factor * (previous + current)))
            << "F(" << k << ") times " << factor;
        ASSERT_TRUE(all_signs_match(current, previous + 2 * current)) << "F(" << k << ")";
        mpz_class next = previous + current;
        previous = current;
        current = next;
    }
}

TEST(DifferentialReduction, MatchesTheLoopOnPowersOfTwo)
{
    for (unsigned long a = 0; a <= 200; a++)
        for (unsigned long b = 0; b <= 200; b += 1 + b / 16) {
            mpz_class x;
            mpz_class y;
            mpz_ui_pow_ui(x.get_mpz_t(), 2, a);
            mpz_ui_pow_ui(y.get_mpz_t(), 2, b);
            ASSERT_TRUE(all_signs_match(x, y)) << "2^" << a << ", 2^" << b;
            ASSERT_TRUE(all_signs_match(x + 1, y)) << "2^" << a << " + 1, 2^" << b;
            ASSERT_TRUE(all_signs_match(x - 1, y)) << "2^" << a << " - 1, 2^" << b;
            ASSERT_TRUE(all_signs_match(3 * x, 2 * y)) << "3 * 2^" << a << ", 2^" << b + 1;
        }
}

int elimination_mismatches = 0; // cells where the two cancellings differed in the hook below

// The reduction hook of a compared elimination: cancels each cell of row r both ways, counts
// any difference, and keeps the loop's result.
void reduce_row_both_ways(int r)
{
    for (int c = 0; c < matrix_shape.columns(); c++) {
        Fraction &f = cell(r, c);
        if (!fast_matches_loop(f.num, f.den))
            elimination_mismatches++;
        reduce_by_loop(f.num, f.den);
    }
}

int never_stop(const RowOperation &)
{
    return 0;
}

TEST(DifferentialReduction, MatchesTheLoopOnEveryCellOfWholeEliminations)
{
    // The pairs an elimination really makes: large common factors, entries of many limbs.
    std::mt19937_64 rng(7);
    constexpr std::int64_t digit_limits[] = {9, 999999999, 999999999999999999LL};
    const long systems = 200L * long_test_factor();
    for (long k = 0; k < systems; k++) {
        const int n = 1 + static_cast<int>(rng() % 10);
        const std::int64_t limit = digit_limits[rng() % 3];
        IntegerRows rows = random_system(rng, n, limit, shape_regular, false);
        for (auto &row : rows) // up to 36 digits: products of two entries
            for (mpz_class &entry : row)
                entry *= random_entry(rng, limit);
        set_system(rows);
        elimination_mismatches = 0;
        run_elimination({never_stop, reduce_row_both_ways});
        ASSERT_EQ(elimination_mismatches, 0) << rows_text(rows);
    }
}

// A pair before cancelling, what both ways store, the loop's steps (-1: no loop) and which
// of GMP's cases it stands for.
struct GcdextCase {
    const char *num;
    const char *den;
    const char *reduced_num;
    const char *reduced_den;
    int euclid_steps;
    const char *what;
};

// The cases that GMP's manual sets apart for mpz_gcdext(g, s, t, a, b) -- |a| = |b|;
// b = 0 or |b| = 2g; a = 0 or |a| = 2g; s = 0 when b divides a -- and their neighbours,
// with a = num and b = den as the fast cancelling calls it.
const GcdextCase gcdext_cases[] = {
    {"-7", "7", "1", "-1", 1, "|a| = |b|, g = -7"},
    {"7", "-7", "1", "-1", 1, "|a| = |b| after the sign fix"},
    {"1", "-1", "1", "-1", 1, "|a| = |b| after the sign fix, den -1"},
    {"-18446744073709551616", "18446744073709551616", "1", "-1", 1, "|a| = |b| beyond one limb"},
    {"-7", "-7", "1", "1", -1, "num = den: no loop"},
    {"-1", "1", "-1", "1", -1, "den 1: no loop"},
    {"0", "-5", "0", "1", -1, "a = 0: no loop"},
    {"-3", "2", "3", "-2", 3, "|b| = 2g"},
    {"-15", "10", "3", "-2", 3, "|b| = 2g, g = 5"},
    {"3", "-2", "3", "-2", 3, "|b| = 2g after the sign fix: back to 3/-2"},
    {"-5", "10", "1", "-2", 1, "|b| = 2g, a divides b"},
    {"5", "-10", "1", "-2", 1, "|b| = 2g, a divides b, after the sign fix"},
    {"-2", "3", "-2", "3", 2, "|a| = 2g"},
    {"-10", "15", "-2", "3", 2, "|a| = 2g, g = 5"},
    {"-4", "6", "-2", "3", 2, "|a| = 2g, g = 2"},
    {"2", "-5", "-2", "5", 2, "|a| = 2g after the sign fix"},
    {"-12", "4", "-3", "1", 2, "b divides a: s = 0"},
    {"-12", "-4", "3", "1", 2, "b divides a, both negative"},
    {"12", "-4", "-3", "1", 2, "b divides a after the sign fix"},
    {"8", "-1", "-8", "1", 2, "b = -1"},
    {"-340282366920938463463374607431768211456", "36893488147419103232", "-9223372036854775808",
     "1", 2, "b divides a beyond one limb"},
    {"-4", "12", "1", "-3", 1, "a divides b"},
    {"-1", "5", "1", "-5", 1, "a = -1"},
    {"4", "-12", "1", "-3", 1, "a divides b after the sign fix"},
    {"-36893488147419103232", "340282366920938463463374607431768211456", "1",
     "-9223372036854775808", 1, "a divides b beyond one limb"},
    {"-3", "5", "3", "-5", 3, "g = 1, odd steps: the sign moves down although nothing cancels"},
    {"-3", "7", "-3", "7", 2, "g = 1, even steps"},
    {"-7", "3", "7", "-3", 3, "g = 1, odd steps, |a| > |b|"},
    {"-21", "13", "21", "-13", 7, "consecutive Fibonacci numbers"},
    {"-13", "21", "-13", "21", 6, "consecutive Fibonacci numbers"},
    {"-5", "8", "-5", "8", 4, "consecutive Fibonacci numbers"},
    {"-6", "4", "3", "-2", 3, "signs -/+"},
    {"6", "-4", "3", "-2", 3, "signs +/-"},
    {"-6", "-4", "3", "2", 3, "signs -/-"},
    {"6", "4", "3", "2", 3, "signs +/+"},
};

TEST(DifferentialReduction, GmpGcdextEdgeCases)
{
    for (const GcdextCase &c : gcdext_cases) {
        SCOPED_TRACE(std::string(c.num) + "/" + c.den + ": " + c.what);
        const mpz_class num(c.num);
        const mpz_class den(c.den);
        EXPECT_TRUE(fast_matches_loop(num, den));
        mpz_class reduced_num = num;
        mpz_class reduced_den = den;
        reduce_cell_now(reduced_num, reduced_den);
        EXPECT_EQ(reduced_num, mpz_class(c.reduced_num));
        EXPECT_EQ(reduced_den, mpz_class(c.reduced_den));
        mpz_class x = num;
        mpz_class y = den;
        if (!reduce_without_euclid(x, y)) {
            EXPECT_EQ(euclid_step_count(x, y), c.euclid_steps);
        } else {
            EXPECT_EQ(c.euclid_steps, -1);
        }
        EXPECT_TRUE(all_signs_match(num, den));
        for (const char *factor : {"3", "18446744073709551629"}) // a prime beyond one limb
            EXPECT_TRUE(all_signs_match(mpz_class(factor) * num, mpz_class(factor) * den));
    }
}

// ---------------------------------------------------------------- the instant form against step by
// step

int stop_at = 0;   // the gate at which the compared runs stop (past the last: none)
int gates_met = 0; // gates met so far in the run

// The gate of the compared runs: stops at gate stop_at.
int stop_at_gate(const RowOperation &)
{
    return ++gates_met == stop_at ? 1 : 0;
}

// The reduce hook of the step-by-step run: every cell of row r through Euclid's loop.
void reduce_row_by_loop(int r)
{
    for (int c = 0; c < matrix_shape.columns(); c++)
        reduce_by_loop(cell(r, c).num, cell(r, c).den);
}

// Every stored numerator and denominator of the system, as "num/den" texts.
std::vector<std::string> stored_cells()
{
    std::vector<std::string> cells;
    for (int r = 0; r < matrix_shape.rows; r++)
        for (int c = 0; c < matrix_shape.columns(); c++)
            cells.push_back(cell(r, c).num.get_str() + "/" + cell(r, c).den.get_str());
    return cells;
}

// Runs rows up to gate `gate` step by step, or in the instant form, as far as `reach`; returns
// what is stored.
std::vector<std::string> store_at_gate(const IntegerRows &rows, int gate, bool instant,
                                       EliminationReach reach)
{
    set_system(rows);
    stop_at = gate;
    gates_met = 0;
    if (!instant) {
        run_elimination({stop_at_gate, reduce_row_by_loop}, reach);
        return stored_cells();
    }
    EXPECT_TRUE(begin_instant_rows());
    run_elimination({stop_at_gate, skip_reduction, &instant_arithmetic}, reach);
    finish_instant_rows();
    return stored_cells();
}

TEST(DifferentialInstantRows, EveryGateOfRandomEliminationsStoresWhatStepByStepStores)
{
    // Small entries, so that 0, 1 and -1 (whose stored forms depend on how they were made),
    // exchanges and singular systems come up often; and some large ones.
    std::mt19937_64 rng(20261207);
    constexpr std::int64_t limits[] = {1, 2, 3, 9, 999999};
    const long systems = 4000L * long_test_factor();
    int compared = 0;
    for (long k = 0; k < systems; k++) {
        const int n = 1 + static_cast<int>(rng() % 6);
        const auto shape = static_cast<SystemShape>(rng() % shape_shape_count);
        const IntegerRows rows = random_system(rng, n, limits[rng() % 5], shape, (rng() % 3) == 0);
        // As far as the plain elimination goes, and on past columns without a pivot to the
        // reduced form (its steps beyond the first empty column included).
        for (const EliminationReach reach : {reach_first_empty_column, reach_reduced_form}) {
            set_system(rows);
            int gates = 0;
            run_elimination_now(&gates, reach);
            for (int gate = 1; gate <= gates + 1; gate++) {
                ASSERT_EQ(store_at_gate(rows, gate, true, reach),
                          store_at_gate(rows, gate, false, reach))
                    << rows_text(rows) << "at gate " << gate << " reaching " << reach;
                compared++;
            }
        }
    }
    EXPECT_GT(compared, 8 * systems);
}

} // namespace
