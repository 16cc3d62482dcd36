// Random exercises of every shape: ranges, the solutions promised checked by solving exactly, the
// share that exchanges rows and the share without a solution, the worked solution small enough
// for pencil and paper, and the same system for the same seed on every machine.
#include "matrix/elimination.h"
#include "matrix/general_solution.h"
#include "matrix/instant_rows.h"
#include "matrix/matrix_file.h"
#include "matrix/random_system.h"
#include "matrix/row_arith.h"
#include "matrix/store.h"
#include "store_helpers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace
{

int exchanges = 0; // row exchanges the elimination under test met for a coefficient's pivot

// Counts the exchanges for a pivot left of the rule (not those that bring a contradiction's row
// up in the reduced form) and lets every step go.
int count_exchanges(const RowOperation &operation)
{
    exchanges +=
        operation.kind == operation_exchange && pivot_column(operation) < matrix_shape.unknowns;
    return 0;
}

// What one random system turned out to be.
struct Made {
    bool exchanged = false;     // its elimination exchanged rows for a coefficient's pivot
    bool contradictory = false; // it has no solution
};

// True when x, whole and within the solution's range, solves every equation of `rows`.
bool whole_solution_in_range(const IntegerRows &rows, const std::vector<mpq_class> &x)
{
    for (const mpq_class &value : x)
        if (value.get_den() != 1 || abs(value) > random_solution_limit)
            return false;
    for (const auto &row : rows) {
        mpq_class sum = 0;
        for (std::size_t c = 0; c < x.size(); c++)
            sum += row[c] * x[c];
        if (sum != row.back())
            return false;
    }
    return true;
}

// True when the general solution in the store has a whole solution with every value in range and
// not all 0: its free unknowns are tried at every value in range (kept to two of them, 121 tries).
bool has_whole_solution_in_range(const IntegerRows &rows, const SolutionSet &set)
{
    const std::size_t k = set.free_columns.size();
    std::vector<int> t(k, -random_solution_limit);
    for (;;) {
        std::vector<mpq_class> x;
        bool all_zero = true;
        for (const UnknownExpression &e : set.unknowns) {
            mpq_class value = e.constant;
            for (std::size_t p = 0; p < k; p++)
                value += e.coefficients[p] * t[p];
            x.push_back(value);
            all_zero = all_zero && value == 0;
        }
        if (!all_zero && whole_solution_in_range(rows, x))
            return true;
        std::size_t p = 0; // the next choice of values, like a counter's digits
        while (p < k && t[p] == random_solution_limit)
            t[p++] = -random_solution_limit;
        if (p == k)
            return false;
        t[p]++;
    }
}

// Checks one random system: its shape and entries in range, then solves it exactly, on to the
// reduced form, and checks the solutions promised for its shape.
Made check_system(int m, int n, std::uint64_t seed)
{
    const StoreSnapshot system = random_system(m, n, seed);
    const std::string name =
        std::to_string(m) + "x" + std::to_string(n) + ", seed " + std::to_string(seed);
    SCOPED_TRACE(name);
    EXPECT_EQ(system.shape, system_shape(m, n));
    restore_store(system);
    IntegerRows rows(static_cast<std::size_t>(m));
    for (int r = 0; r < m; r++) {
        bool any = false;
        for (int c = 0; c <= n; c++) {
            EXPECT_EQ(cell(r, c).den, 1);
            if (c < n) {
                EXPECT_LE(abs(cell(r, c).num), random_coefficient_limit);
                any = any || cell(r, c).num != 0;
            }
            rows[static_cast<std::size_t>(r)].push_back(cell(r, c).num);
        }
        EXPECT_TRUE(any) << "equation " << r + 1 << " has no unknown";
    }
    exchanges = 0;
    const EliminationResult result =
        run_elimination({count_exchanges, reduce_row_now}, reach_reduced_form);
    const SolutionSet set = solution_set();
    EXPECT_NO_FATAL_FAILURE(expect_solution_set_solves(rows));
    Made made{exchanges > 0, set.contradiction_row >= 0};
    if (made.contradictory) {
        EXPECT_GT(m, n) << "only more equations than unknowns may contradict";
        EXPECT_GE(set.contradiction_row, n);
        return made;
    }
    if (m >= n) {
        EXPECT_EQ(result, elimination_done);
        EXPECT_TRUE(set.free_columns.empty()) << "not a unique solution";
    } else {
        std::vector<int> last_unknowns;
        for (int c = m; c < n; c++)
            last_unknowns.push_back(c);
        EXPECT_EQ(set.free_columns, last_unknowns) << "the rank is not the equations' count";
    }
    if (set.free_columns.size() <= 2) {
        EXPECT_TRUE(has_whole_solution_in_range(rows, set)) << "no whole solution in range";
    }
    return made;
}

TEST(RandomSystem, EveryShapeInRangeWithTheSolutionsPromisedAndAThirdExchangeOrContradict)
{
    int with_exchange = 0;
    int may_exchange = 0;
    int contradictory = 0;
    int may_contradict = 0;
    for (int m = 1; m <= max_matrix_order; m++)
        for (int n = 1; n <= max_matrix_order; n++) {
            const std::uint64_t seeds = m == n ? 400 : 60;
            for (std::uint64_t seed = 0; seed < seeds; seed++) {
                const Made made = check_system(
                    m, n, seed * 7919 + static_cast<std::uint64_t>(m == n ? m : 100 * m + n));
                if (std::min(m, n) == 1) {
                    EXPECT_FALSE(made.exchanged) << "a single pivot never exchanges";
                } else {
                    with_exchange += made.exchanged;
                    may_exchange++;
                }
                if (m > n) {
                    contradictory += made.contradictory;
                    may_contradict++;
                }
            }
        }
    EXPECT_NEAR(static_cast<double>(with_exchange) / may_exchange, 1.0 / 3.0, 0.05)
        << with_exchange << " of " << may_exchange;
    EXPECT_NEAR(static_cast<double>(contradictory) / may_contradict, 1.0 / 3.0, 0.05)
        << contradictory << " of " << may_contradict;
}

std::string worst_by_hand; // the first pivot or entry outside the bound met so far, or empty
int last_changed_row = -1; // the row its last operation changed, -1: none

// Notes the first entry of row r of the store outside the bound: a whole number or a fraction
// over 2 or 4, in lowest terms, with at most two digits above the bar.
void check_row_by_hand(int r, int step)
{
    static mpq_class value; // kept, so that the check of 40 million entries allocates nothing
    for (int c = 0; c < matrix_shape.columns() && worst_by_hand.empty(); c++) {
        mpz_set(value.get_num_mpz_t(), cell(r, c).num.get_mpz_t());
        mpz_set(value.get_den_mpz_t(), cell(r, c).den.get_mpz_t());
        value.canonicalize();
        const mpz_class &den = value.get_den();
        if ((den != 1 && den != 2 && den != largest_hand_denominator) ||
            abs(value.get_num()) > largest_hand_numerator)
            worst_by_hand = "entry " + value.get_str() + " at row " + std::to_string(r + 1) +
                            ", column " + std::to_string(c + 1) + " after step " +
                            std::to_string(step);
    }
}

int hand_steps = 0; // gated steps of the elimination under test

// The gate of the elimination under test: checks the row the last step changed (every matrix
// the printout shows is the one before it with that row changed) and the pivot a row is divided
// by.
int check_hand_step(const RowOperation &operation)
{
    if (last_changed_row >= 0)
        check_row_by_hand(last_changed_row, hand_steps);
    hand_steps++;
    last_changed_row = operation.kind == operation_exchange ? -1 : operation.row;
    if (operation.kind == operation_scale && worst_by_hand.empty()) {
        mpq_class pivot(operation.num, operation.den);
        pivot.canonicalize();
        pivot = abs(pivot);
        if (pivot != 1 && pivot != 2)
            worst_by_hand = "pivot " + pivot.get_str() + " at step " + std::to_string(hand_steps);
    }
    return 0;
}

// Runs the worked solution's elimination of random_system(m, n, seed), on to the reduced form
// with the printout's own hooks: the first pivot or entry outside the bound, or empty; the answer
// of a system with one solution must be whole.
std::string solve_by_hand(int m, int n, std::uint64_t seed)
{
    restore_store(random_system(m, n, seed));
    worst_by_hand.clear();
    last_changed_row = -1;
    hand_steps = 0;
    for (int r = 0; r < m; r++)
        check_row_by_hand(r, 0);
    EXPECT_TRUE(begin_instant_rows());
    run_elimination({check_hand_step, skip_reduction, &instant_arithmetic, nullptr},
                    reach_reduced_form);
    for (int r = 0; r < m; r++) // the values, which are all that is checked, are exact
        check_row_by_hand(r, hand_steps);
    if (m == n && worst_by_hand.empty())
        for (int r = 0; r < m; r++)
            if (cell_value(r, n).get_den() != 1)
                worst_by_hand = "answer " + cell_value(r, n).get_str();
    return worst_by_hand;
}

TEST(RandomSystem, EveryWorkedSolutionIsSmallEnoughForPencilAndPaper)
{
    // 10,000 seeds of every square order, then 60 of every other shape (contradictions
    // included); the seeds follow one another, as a worksheet's do. The share that exchanges
    // rows is the test above's.
    for (int order = 1; order <= max_matrix_order; order++)
        for (std::uint64_t seed = 1; seed <= 10000; seed++)
            ASSERT_EQ(solve_by_hand(order, order, seed), "")
                << "order " << order << ", seed " << seed;
    for (int m = 1; m <= max_matrix_order; m++)
        for (int n = 1; n <= max_matrix_order; n++)
            for (std::uint64_t seed = 1; m != n && seed <= 60; seed++)
                ASSERT_EQ(solve_by_hand(m, n, seed), "") << m << "x" << n << ", seed " << seed;
}

TEST(RandomSystem, TheSameSeedGivesTheSameSystemOnEveryMachine)
{
    // The engine's sequence is fixed by the standard and the mapping to ranges is the
    // program's own, so these texts are the same wherever the program is built.
    EXPECT_NE(matrix_text(random_system(3, 7)), matrix_text(random_system(3, 8)));
    EXPECT_EQ(matrix_text(random_system(4, 7)), "4\n"
                                                " 0 -2 4 -4    2\n"
                                                "-2 -3 0 -3   -9\n"
                                                "-4 -8 5 -5   -4\n"
                                                "-2 -5 4 -8   -9\n");
    EXPECT_EQ(matrix_text(random_system(4, 4, 7)), matrix_text(random_system(4, 7)));
    EXPECT_EQ(matrix_text(random_system(3, 4, 7)), "sustava 3x4\n"
                                                   " 0  1  1  1 |  3\n"
                                                   "-1 -3  3 -3 |  5\n"
                                                   " 2  5 -8  2 | -4\n");
    EXPECT_EQ(matrix_text(random_system(4, 3, 7)), "sustava 4x3\n"
                                                   " 0 -1  1 |   8\n"
                                                   " 2  3 -3 | -18\n"
                                                   " 0 -2  3 |  20\n"
                                                   "-4 -5  7 |  37\n");
    for (const auto &[m, n] : std::vector<std::pair<int, int>>{
             {0, 7}, {11, 7}, {3, 0}, {0, 3}, {3, 11}, {11, 3}, {-1, 2}})
        EXPECT_EQ(random_system(m, n, 7).shape.rows, 0) << m << "x" << n;
}

} // namespace
