// Headless Gauss-Jordan runs: gated step counts, final stored cells, order of operations, messages.
#include "matrix/elimination.h"
#include "matrix/general_solution.h"
#include "matrix/inverse.h"
#include "matrix/rank.h"
#include "matrix/row_arith.h"
#include "matrix/store.h"
#include "store_helpers.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace
{

// The stored n x (n+1) block as text: "num/den" cells, rows separated by "; ".
std::string matrix_text()
{
    std::string text;
    for (int r = 0; r < matrix_shape.rows; r++) {
        if (r > 0)
            text += "; ";
        for (int c = 0; c < matrix_shape.columns(); c++) {
            if (c > 0)
                text += " ";
            text += cell(r, c).num.get_str() + "/" + cell(r, c).den.get_str();
        }
    }
    return text;
}

const char *const done = "Hotovo!";
const char *const no_solution = "Hotovo! Sustava nema riesenie.";
const char *const infinitely_many = "Hotovo! Sustava ma nekonecne vela rieseni.";

// A system, how its headless run ends, how many gated steps it takes and the cells it leaves.
struct EliminationCase {
    const char *name;
    IntegerRows rows;
    EliminationResult result;
    int steps;
    const char *cells;
    const char *message;
};

const std::vector<EliminationCase> elimination_cases = {
    {"order_zero", {}, elimination_done, 0, "", done},
    {"x_plus_y", {{1, 1, 3}, {1, -1, 1}}, elimination_done, 3, "1/1 0/1 2/1; 0/1 1/1 1/1", done},
    {"zero_first_pivot",
     {{0, 1, 2}, {1, 1, 3}},
     elimination_done,
     2,
     "1/1 0/1 1/1; 0/1 1/1 2/1",
     done},
    {"singular",
     {{1, 2, 3}, {2, 4, 6}},
     elimination_column_empty,
     1,
     "1/1 2/1 3/1; 0/1 0/1 0/1",
     infinitely_many},
    {"singular_contradictory",
     {{1, 2, 3}, {2, 4, 7}},
     elimination_column_empty,
     1,
     "1/1 2/1 3/1; 0/1 0/1 1/1",
     no_solution},
    {"stops_after_column_zero",
     {{1, 1, 1, 1}, {1, 1, 2, 2}, {1, 1, 3, 3}},
     elimination_column_empty,
     2,
     "1/1 1/1 1/1 1/1; 0/1 0/1 1/1 1/1; 0/1 0/1 2/1 2/1",
     infinitely_many},
    {"exchange_rows_zero_and_two",
     {{0, 2, 1, 5}, {0, 1, 3, 4}, {4, 1, 1, 6}},
     elimination_done,
     7,
     "1/1 0/1 0/1 4/5; 0/1 1/1 0/1 11/5; 0/1 0/1 1/1 3/5",
     done},
    {"two_x_is_minus_one", {{2, -1}}, elimination_done, 1, "1/1 1/-2", done},
    {"nine_steps",
     {{2, 1, -1, 8}, {-3, -1, 2, -11}, {-2, 1, 2, -3}},
     elimination_done,
     9,
     "1/1 0/1 0/1 2/1; 0/1 1/1 0/1 3/1; 0/1 0/1 1/1 1/-1",
     done},
    {"exchange_at_second_pivot",
     {{1, 1, 1, 6}, {1, 1, 2, 9}, {2, 3, 1, 11}},
     elimination_done,
     6,
     "1/1 0/1 0/1 1/1; 0/1 1/1 0/1 2/1; 0/1 0/1 1/1 3/1",
     done},
    {"zero_first_column",
     {{0, 1, 2}, {0, 3, 4}},
     elimination_column_empty,
     0,
     "0/1 1/1 2/1; 0/1 3/1 4/1",
     no_solution},
    {"zero_first_column_consistent",
     {{0, 1, 2}, {0, 3, 6}},
     elimination_column_empty,
     0,
     "0/1 1/1 2/1; 0/1 3/1 6/1",
     infinitely_many},
    {"zero_x_is_three", {{0, 3}}, elimination_column_empty, 0, "0/1 3/1", no_solution},
    {"zero_x_is_zero", {{0, 0}}, elimination_column_empty, 0, "0/1 0/1", infinitely_many},
};

// Names a case in failure messages.
void PrintTo(const EliminationCase &c, std::ostream *out)
{
    *out << c.name;
}

class Elimination : public testing::TestWithParam<EliminationCase>
{
};

TEST_P(Elimination, StepsCellsAndMessage)
{
    const EliminationCase &expected = GetParam();
    set_system(expected.rows);
    int steps = -1;
    const EliminationResult result = run_elimination_now(&steps);
    EXPECT_EQ(result, expected.result);
    EXPECT_EQ(steps, expected.steps);
    EXPECT_EQ(matrix_text(), expected.cells);
    EXPECT_STREQ(finish_message(result == elimination_column_empty), expected.message);
}

INSTANTIATE_TEST_SUITE_P(Systems, Elimination, testing::ValuesIn(elimination_cases),
                         [](const testing::TestParamInfo<EliminationCase> &case_info) {
                             return std::string(case_info.param.name);
                         });

std::string trace;                       // 'G' for each gate, the row number for each reduction
std::vector<std::pair<int, int>> pivots; // the pivot's row and column each gate was handed
std::vector<std::string> at_gate;        // the matrix as each gate saw it
int stop_at_gate = 0;                    // the gate that stops the run (0: none)

// The recording gate: notes the matrix and stops at the chosen gate.
int recording_gate(const RowOperation &operation)
{
    trace += "G";
    pivots.push_back({operation.pivot, pivot_column(operation)});
    at_gate.push_back(matrix_text());
    return static_cast<int>(at_gate.size()) == stop_at_gate ? 1 : 0;
}

// The recording reduction: notes the row and reduces it at once.
void recording_reduce(int r)
{
    trace += std::to_string(r);
    reduce_row_now(r);
}

// Runs the elimination with the recording hooks on rows, stopping at gate `stop` (0: never).
EliminationResult run_recorded(const IntegerRows &rows, int stop,
                               EliminationReach reach = reach_first_empty_column)
{
    set_system(rows);
    trace.clear();
    at_gate.clear();
    pivots.clear();
    stop_at_gate = stop;
    return run_elimination({recording_gate, recording_reduce}, reach);
}

struct OrderCase {
    IntegerRows rows;
    const char *trace;
    EliminationReach reach = reach_first_empty_column;
};

const std::vector<OrderCase> order_cases = {
    // eliminate row 1, scale row 1, eliminate row 0; pivot 0 is already 1 and is not scaled
    {{{1, 1, 3}, {1, -1, 1}}, "0G1G1G0"},
    // the exchange comes first and is followed by a reduction of row 0
    {{{0, 1, 2}, {1, 1, 3}}, "G001G0"},
    // an exchange at pivot 1 still reduces row 0, not row 1
    {{{1, 1, 1, 6}, {1, 1, 2, 9}, {2, 3, 1, 11}}, "0G1G2G01G02G0G1"},
    {{{0, 2, 1, 5}, {0, 1, 3, 4}, {4, 1, 1, 6}}, "G0G01G0G2G2G0G1"},
    // past the empty column 1 the pivots are (1, 2) and, on the right-hand side, (2, 3)
    {{{1, 1, 1, 1}, {1, 1, 2, 2}, {1, 1, 3, 4}}, "0G1G21G0G22G1", reach_reduced_form},
};

TEST(EliminationOrder, GatesAndReductionsInOrder)
{
    for (const OrderCase &c : order_cases) {
        SCOPED_TRACE(c.trace);
        EXPECT_EQ(run_recorded(c.rows, 0, c.reach), c.reach == reach_first_empty_column
                                                        ? elimination_done
                                                        : elimination_column_empty);
        EXPECT_EQ(trace, c.trace);
    }
}

TEST(EliminationOrder, EachGateSeesThePreviousOperationDone)
{
    run_recorded({{1, 1, 3}, {1, -1, 1}}, 0);
    ASSERT_EQ(at_gate.size(), 3u);
    EXPECT_EQ(at_gate[0], "1/1 1/1 3/1; 1/1 -1/1 1/1");
    EXPECT_EQ(at_gate[1], "1/1 1/1 3/1; 0/1 -2/1 -2/1");
    EXPECT_EQ(at_gate[2], "1/1 1/1 3/1; 0/1 1/1 1/1");

    run_recorded({{0, 2, 1, 5}, {0, 1, 3, 4}, {4, 1, 1, 6}}, 0);
    ASSERT_GE(at_gate.size(), 2u);
    EXPECT_EQ(at_gate[0], "0/1 2/1 1/1 5/1; 0/1 1/1 3/1 4/1; 4/1 1/1 1/1 6/1");
    EXPECT_EQ(at_gate[1], "4/1 1/1 1/1 6/1; 0/1 1/1 3/1 4/1; 0/1 2/1 1/1 5/1");
}

TEST(EliminationOrder, PastAColumnWithoutAPivotThePivotsColumnIsHandedToTheGate)
{
    run_recorded({{1, 1, 1, 1}, {1, 1, 2, 2}, {1, 1, 3, 4}}, 0, reach_reduced_form);
    EXPECT_EQ(pivots, (std::vector<std::pair<int, int>>{{0, 0}, {0, 0}, {1, 2}, {1, 2}, {2, 3}}));
}

TEST(EliminationOrder, StoppedRunKeepsWhatWasDone)
{
    EXPECT_EQ(run_recorded({{1, 1, 3}, {1, -1, 1}}, 2), elimination_stopped);
    EXPECT_EQ(matrix_text(), "1/1 1/1 3/1; 0/1 -2/1 -2/1");
    EXPECT_EQ(trace, "0G1G");

    EXPECT_EQ(run_recorded({{0, 1, 2}, {1, 1, 3}}, 1), elimination_stopped);
    EXPECT_EQ(matrix_text(), "0/1 1/1 2/1; 1/1 1/1 3/1"); // stopped before the exchange
}

TEST(EliminationOrder, RestartBeginsAtPivotZeroOnTheCurrentMatrix)
{
    run_recorded({{1, 1, 3}, {1, -1, 1}}, 2);
    int steps = 0;
    EXPECT_EQ(run_elimination_now(&steps), elimination_done);
    EXPECT_EQ(steps, 2); // scale row 1, eliminate row 0
    EXPECT_EQ(matrix_text(), "1/1 0/1 2/1; 0/1 1/1 1/1");
}

// Integer rows written as text, rows separated by ";": "1 2 3; 2 4 6".
IntegerRows rows_of(const std::string &text)
{
    IntegerRows rows(1);
    std::istringstream in(text);
    for (std::string word; in >> word;) {
        if (word == ";")
            rows.emplace_back();
        else
            rows.back().push_back(mpz_class(word));
    }
    return rows;
}

// A system taken on to its reduced row echelon form: the steps before the plain elimination's
// verdict and in all, the cells it leaves and the statement that closes it; the elimination
// ends elimination_done only when the verdict is a unique solution.
struct ReducedCase {
    const char *rows;
    int steps_to_verdict;
    int steps;
    const char *cells;
    const char *statement;
};

const std::vector<ReducedCase> reduced_cases = {
    {"1 1 1 1 ; 1 1 2 2 ; 1 1 3 4", 2, 5, "1/1 1/1 0/1 0/1; 0/1 0/1 1/1 0/1; 0/1 0/1 0/1 1/1",
     "Sustava nema riesenie: R3 znamena 0 = 1; h(A) = 2, h(A|b) = 3"},
    {"1 2 3 ; 2 4 6", 1, 1, "1/1 2/1 3/1; 0/1 0/1 0/1",
     "Riesenie: x1 = 3 - 2 t1, x2 = t1; h(A) = 1, h(A|b) = 1"},
    {"2 4 -2 6 10 ; 1 2 -1 3 5 ; -3 -6 3 -9 -15 ; 0 0 0 0 0", 3, 3,
     "1/1 2/1 1/-1 3/1 5/1; 0/1 0/1 0/1 0/1 0/1; 0/1 0/1 0/1 0/1 0/1; 0/1 0/1 0/1 0/1 0/1",
     "Riesenie: x1 = 5 - 2 t1 + t2 - 3 t3, x2 = t1, x3 = t2, x4 = t3; h(A) = 1, h(A|b) = 1"},
    {"1 0 1 2 ; 0 0 0 0 ; 0 2 1 3", 2, 2, "1/1 0/1 1/1 2/1; 0/1 1/1 1/2 3/2; 0/1 0/1 0/1 0/1",
     "Riesenie: x1 = 2 - t1, x2 = 3/2 - (1/2) t1, x3 = t1; h(A) = 2, h(A|b) = 2"}, // a zero row
    {"0 1 2 ; 0 3 6", 0, 1, "0/1 1/1 2/1; 0/1 0/1 0/1",
     "Riesenie: x1 = t1, x2 = 2; h(A) = 1, h(A|b) = 1"},
    {"0 1 2 ; 0 3 4", 0, 3, "0/1 1/1 0/1; 0/1 0/1 1/1",
     "Sustava nema riesenie: R2 znamena 0 = 1; h(A) = 1, h(A|b) = 2"},
    {"0 0 5 ; 1 1 2", 1, 3, "1/1 1/1 0/1; 0/1 0/1 1/1",
     "Sustava nema riesenie: R2 znamena 0 = 1; h(A) = 1, h(A|b) = 2"},
    {"2 1 -1 8 ; -3 -1 2 -11 ; -2 1 2 -3", 9, 9,
     "1/1 0/1 0/1 2/1; 0/1 1/1 0/1 3/1; 0/1 0/1 1/1 1/-1", "Riesenie: x1 = 2, x2 = 3, x3 = -1"},
    {"0 0 0 ; 0 0 0", 0, 0, "0/1 0/1 0/1; 0/1 0/1 0/1",
     "Riesenie: x1 = t1, x2 = t2; h(A) = 0, h(A|b) = 0"},
    // Other shapes: fewer equations than unknowns, more (consistent or not), a free first
    // unknown, one equation in ten unknowns and ten equations in one.
    {"1 2 3 4 ; 2 4 7 9", 2, 2, "1/1 2/1 0/1 1/1; 0/1 0/1 1/1 1/1",
     "Riesenie: x1 = 1 - 2 t1, x2 = t1, x3 = 1; h(A) = 2, h(A|b) = 2"},
    {"1 1 2 ; 1 -1 0 ; 2 1 3", 5, 5, "1/1 0/1 1/1; 0/1 1/1 1/1; 0/1 0/1 0/1",
     "Riesenie: x1 = 1, x2 = 1; h(A) = 2, h(A|b) = 2"},
    {"1 1 2 ; 1 -1 0 ; 2 1 4", 7, 7, "1/1 0/1 0/1; 0/1 1/1 0/1; 0/1 0/1 1/1",
     "Sustava nema riesenie: R3 znamena 0 = 1; h(A) = 2, h(A|b) = 3"},
    {"0 1 2 3 ; 0 2 3 5", 3, 3, "0/1 1/1 0/1 1/1; 0/1 0/1 1/1 1/1",
     "Riesenie: x1 = t1, x2 = 1, x3 = 1; h(A) = 2, h(A|b) = 2"},
    {"2 4 6 8 10 12 14 16 18 20 22", 1, 1, "1/1 2/1 3/1 4/1 5/1 6/1 7/1 8/1 9/1 10/1 11/1",
     "Riesenie: x1 = 11 - 2 t1 - 3 t2 - 4 t3 - 5 t4 - 6 t5 - 7 t6 - 8 t7 - 9 t8 - 10 t9, "
     "x2 = t1, x3 = t2, x4 = t3, x5 = t4, x6 = t5, x7 = t6, x8 = t7, x9 = t8, x10 = t9; "
     "h(A) = 1, h(A|b) = 1"},
    {"2 4 ; 1 2 ; 3 6 ; -1 -2 ; 0 0 ; 5 10 ; 7 14 ; 1 2 ; 2 4 ; 9 18", 9, 9,
     "1/1 2/1; 0/1 0/1; 0/1 0/1; 0/1 0/1; 0/1 0/1; 0/1 0/1; 0/1 0/1; 0/1 0/1; 0/1 0/1; 0/1 0/1",
     "Riesenie: x1 = 2; h(A) = 1, h(A|b) = 1"},
    {"2 4 ; 1 2 ; 3 6 ; -1 -2 ; 0 0 ; 5 10 ; 7 14 ; 1 2 ; 2 4 ; 9 17", 12, 12,
     "1/1 0/1; 0/1 1/1; 0/1 0/1; 0/1 0/1; 0/1 0/1; 0/1 0/1; 0/1 0/1; 0/1 0/1; 0/1 0/1; 0/1 0/1",
     "Sustava nema riesenie: R2 znamena 0 = 1; h(A) = 1, h(A|b) = 2"},
};

TEST(ReducedForm, StepsCellsStatementAndTheGeneralSolutionSolvesTheSystem)
{
    for (const ReducedCase &c : reduced_cases) {
        SCOPED_TRACE(c.rows);
        const IntegerRows rows = rows_of(c.rows);
        set_system(rows);
        int steps = -1;
        int to_verdict = -1;
        const EliminationResult result =
            run_elimination_now(&steps, reach_reduced_form, &to_verdict);
        const std::string statement = c.statement;
        const bool none = statement.find("nema") != std::string::npos;
        const bool unique = statement.find(" t1") == std::string::npos && !none;
        if (matrix_shape.square()) {
            EXPECT_EQ(result, unique ? elimination_done : elimination_column_empty);
        }
        EXPECT_EQ(solve_ending(result == elimination_column_empty), unique ? ending_solved
                                                                    : none
                                                                        ? ending_no_solution
                                                                        : ending_infinitely_many);
        EXPECT_EQ(to_verdict, c.steps_to_verdict);
        EXPECT_EQ(steps, c.steps);
        EXPECT_EQ(matrix_text(), c.cells);
        EXPECT_EQ(closing_statement(notation_plain), c.statement);
        ASSERT_NO_FATAL_FAILURE(expect_solution_set_solves(rows));
    }
}

TEST(ReducedForm, TheCaptionKeepsTheUnknownsThatFitThenDots)
{
    IntegerRows rows(10, std::vector<mpz_class>(11, 0));
    for (int k = 0; k < 10; k++) {
        rows[static_cast<std::size_t>(k)][static_cast<std::size_t>(k)] = 3;
        rows[static_cast<std::size_t>(k)][10] = 1000 + k;
    }
    set_system(rows);
    run_elimination_now(nullptr, reach_reduced_form);
    const std::string caption = closing_statement(notation_plain, 72);
    EXPECT_EQ(caption, "Riesenie: x1 = 1000/3, x2 = 1001/3, x3 = 334, x4 = 1003/3, ...");
    const std::string whole = closing_statement(notation_plain); // all ten when there is room
    EXPECT_EQ(whole.substr(whole.size() - 14), ", x10 = 1009/3");
    EXPECT_EQ(closing_statement(notation_latex)
                  .rfind("Riesenie: $x_{1} = \\frac{1000}{3}$, $x_{2} = ", 0),
              0u);
}

TEST(FinishMessage, PlainWhenEveryPivotWasProcessed)
{
    set_system({{0, 0}}); // would be contradictory, but the run was not cut short
    EXPECT_STREQ(finish_message(0), done);
}

// The determinant of a 3 x 3 integer matrix by the rule of Sarrus.
mpz_class determinant3(const IntegerRows &m)
{
    return m[0][0] * m[1][1] * m[2][2] + m[0][1] * m[1][2] * m[2][0] + m[0][2] * m[1][0] * m[2][1] -
           m[0][2] * m[1][1] * m[2][0] - m[0][0] * m[1][2] * m[2][1] - m[0][1] * m[1][0] * m[2][2];
}

TEST(Elimination, OrderThreeThatOverflows32BitsEndsExact)
{
    const IntegerRows rows = {{-19, 19, 5, 3}, {18, 19, -15, 11}, {6, 2, -12, 9}};
    const mpz_class d = determinant3(rows);
    ASSERT_NE(d, 0);
    set_system(rows);
    int steps = 0;
    ASSERT_EQ(run_elimination_now(&steps), elimination_done);
    EXPECT_EQ(steps, 9);
    for (int k = 0; k < 3; k++) {
        IntegerRows replaced = rows;
        for (int r = 0; r < 3; r++)
            replaced[static_cast<std::size_t>(r)][static_cast<std::size_t>(k)] =
                rows[static_cast<std::size_t>(r)][3];
        mpq_class x{determinant3(replaced), d};
        x.canonicalize();
        EXPECT_EQ(cell_value(k, 3), x) << "unknown " << k;
        EXPECT_EQ(gcd(cell(k, 3).num, cell(k, 3).den), 1) << "unknown " << k;
        for (int c = 0; c < 3; c++)
            EXPECT_EQ(cell_value(k, c), k == c ? 1 : 0) << "cell " << k << "," << c;
    }
}

} // namespace

namespace
{

using Rows = std::vector<std::vector<mpq_class>>;

// The determinant by fraction-free Bareiss elimination over the integers, each row first
// multiplied out of its fractions: another road to det A than the pivots the program takes.
mpq_class bareiss_determinant(const Rows &a)
{
    const std::size_t n = a.size();
    std::vector<std::vector<mpz_class>> m(n, std::vector<mpz_class>(n));
    mpq_class scale = 1; // det A = det m / scale
    for (std::size_t r = 0; r < n; r++) {
        mpz_class common = 1;
        for (const mpq_class &v : a[r])
            mpz_lcm(common.get_mpz_t(), common.get_mpz_t(), v.get_den().get_mpz_t());
        for (std::size_t c = 0; c < n; c++)
            m[r][c] = a[r][c].get_num() * (common / a[r][c].get_den());
        scale *= common;
    }
    int sign = 1;
    mpz_class previous = 1;
    for (std::size_t k = 0; k < n; k++) {
        std::size_t pivot = k;
        while (pivot < n && m[pivot][k] == 0)
            pivot++;
        if (pivot == n)
            return 0;
        if (pivot != k) {
            std::swap(m[pivot], m[k]);
            sign = -sign;
        }
        for (std::size_t i = k + 1; i < n; i++)
            for (std::size_t j = k + 1; j < n; j++)
                m[i][j] = (m[i][j] * m[k][k] - m[i][k] * m[k][j]) / previous; // exact
        previous = m[k][k];
    }
    return mpq_class(sign * m[n - 1][n - 1]) / scale;
}

// The determinant by Laplace expansion along the first row (for small orders).
mpq_class laplace_determinant(const Rows &a)
{
    if (a.empty())
        return 1;
    mpq_class sum = 0;
    for (std::size_t c = 0; c < a.size(); c++) {
        Rows minor;
        for (std::size_t r = 1; r < a.size(); r++) {
            minor.emplace_back(a[r].begin(), a[r].end());
            minor.back().erase(minor.back().begin() + static_cast<std::ptrdiff_t>(c));
        }
        const mpq_class term = a[0][c] * laplace_determinant(minor);
        sum += c % 2 == 0 ? term : mpq_class(-term);
    }
    return sum;
}

// A random n x n matrix: whole entries from -9 to 9, some of them fractions; often with zeros
// (exchanges) and, one time in three, one row a combination of two others (singular).
Rows random_square(std::mt19937_64 &random, int n)
{
    const auto pick = [&random](int span) { return static_cast<long>(random() % span); };
    Rows a(static_cast<std::size_t>(n), std::vector<mpq_class>(static_cast<std::size_t>(n)));
    for (auto &row : a)
        for (mpq_class &v : row) {
            v = pick(3) == 0 ? mpq_class(0) : mpq_class(pick(19) - 9);
            if (pick(6) == 0)
                v /= pick(4) + 2;
        }
    if (n >= 3 && pick(3) == 0) {
        const mpq_class p = pick(5) - 2, q = pick(5) - 2;
        for (std::size_t c = 0; c < a.size(); c++)
            a[2][c] = p * a[0][c] + q * a[1][c];
        std::swap(a[2], a[static_cast<std::size_t>(pick(n))]);
    }
    return a;
}

// A snapshot of `a` as a square system (right-hand sides 1..n) or as a matrix alone.
StoreSnapshot square_snapshot(const Rows &a, MatrixKind kind)
{
    const int n = static_cast<int>(a.size());
    StoreSnapshot matrix;
    matrix.shape = MatrixShape{n, n, kind};
    for (int r = 0; r < n; r++) {
        for (int c = 0; c < n; c++) {
            const mpq_class &v = a[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
            snapshot_cell(matrix, r, c) = Fraction{v.get_num(), v.get_den()};
        }
        snapshot_cell(matrix, r, n) = Fraction{r + 1, 1};
    }
    return matrix;
}

// The product of two square matrices.
Rows times(const Rows &a, const Rows &b)
{
    Rows p(a.size(), std::vector<mpq_class>(a.size(), 0));
    for (std::size_t i = 0; i < a.size(); i++)
        for (std::size_t j = 0; j < a.size(); j++)
            for (std::size_t k = 0; k < a.size(); k++)
                p[i][j] += a[i][k] * b[k][j];
    return p;
}

// Columns from..from+n-1 of the store's rows, as values.
Rows store_block(int from)
{
    const int n = matrix_shape.rows;
    Rows block(static_cast<std::size_t>(n));
    for (int r = 0; r < n; r++)
        for (int c = 0; c < n; c++)
            block[static_cast<std::size_t>(r)].push_back(cell_value(r, from + c));
    return block;
}

Rows identity(std::size_t n)
{
    Rows i(n, std::vector<mpq_class>(n, 0));
    for (std::size_t k = 0; k < n; k++)
        i[k][k] = 1;
    return i;
}

TEST(Inverse, RandomMatricesInvertToWhatMultipliesBackToIOrEndOnAZeroRowOfTheLeftBlock)
{
    std::mt19937_64 random(20);
    int inverted = 0, singular = 0;
    for (int k = 0; k < 240; k++) {
        const int n = 1 + k % max_matrix_order;
        const Rows a = random_square(random, n);
        SCOPED_TRACE("case " + std::to_string(k) + ", order " + std::to_string(n));
        const StoreSnapshot loaded = square_snapshot(a, k % 2 ? kind_system : kind_matrix);
        StoreSnapshot start;
        ASSERT_EQ(inverse_setup(loaded, start), inverse_ready);
        ASSERT_EQ(start.shape, (MatrixShape{n, n, kind_inverse}));
        restore_store(start);
        ASSERT_EQ(store_block(0), a);
        ASSERT_EQ(store_block(n), identity(a.size()));
        run_elimination_now(nullptr, reach_reduced_form);
        const mpq_class det = bareiss_determinant(a);
        EXPECT_EQ(left_determinant(loaded), det);
        EXPECT_EQ(left_determinant(start), det) << "[A | I] has the determinant of A";
        const std::string statement = closing_statement(notation_plain, std::string::npos, &start);
        if (det != 0) {
            inverted++;
            EXPECT_EQ(store_block(0), identity(a.size()));
            const Rows inverse = store_block(n);
            EXPECT_EQ(times(a, inverse), identity(a.size()));
            EXPECT_EQ(times(inverse, a), identity(a.size()));
            EXPECT_TRUE(inverse_found(&start));
            EXPECT_EQ(statement, "Inverzna matica: vpravo od ciary");
            continue;
        }
        singular++;
        const int zero = inverse_zero_row();
        ASSERT_GE(zero, 0);
        EXPECT_FALSE(inverse_found(&start));
        // Its row of the right block is a row of the operations made: not zero, and times A zero.
        const std::vector<mpq_class> made = store_block(n)[static_cast<std::size_t>(zero)];
        EXPECT_NE(made, std::vector<mpq_class>(a.size(), 0));
        std::vector<mpq_class> combination(a.size(), 0);
        for (std::size_t i = 0; i < a.size(); i++)
            for (std::size_t c = 0; c < a.size(); c++)
                combination[c] += made[i] * a[i][c];
        EXPECT_EQ(combination, std::vector<mpq_class>(a.size(), 0));
        EXPECT_EQ(statement.rfind("Matica A nema inverznu maticu: R" + std::to_string(zero + 1) +
                                      " ma vlavo same nuly; h(A) = ",
                                  0),
                  0u)
            << statement;
    }
    EXPECT_GT(inverted, 100);
    EXPECT_GT(singular, 30);
}

TEST(Inverse, OnlyASquareMatrixHasOneAndTheMessageCountsItsSize)
{
    StoreSnapshot start;
    start.shape = MatrixShape{7, 7, kind_matrix};
    EXPECT_EQ(inverse_setup(StoreSnapshot{}, start), inverse_no_matrix);
    StoreSnapshot wide = square_snapshot({{1, 2}, {3, 4}}, kind_system);
    wide.shape = system_shape(2, 3);
    EXPECT_EQ(inverse_setup(wide, start), inverse_not_square);
    EXPECT_EQ(start.shape, (MatrixShape{7, 7, kind_matrix})) << "a refusal changed the start";
    // [A | I] of [A | I] is made again from its left block.
    StoreSnapshot again;
    const StoreSnapshot two = square_snapshot({{1, 2}, {3, 4}}, kind_system);
    ASSERT_EQ(inverse_setup(two, start), inverse_ready);
    restore_store(start);
    run_elimination_now(nullptr, reach_reduced_form);
    ASSERT_EQ(inverse_setup(save_store(), again), inverse_ready);
    EXPECT_EQ(again.shape, start.shape);
    // The matrix as loaded may carry a sign in a denominator, as the cancelling stores it; the
    // check by multiplying back reads its values, not its parts.
    StoreSnapshot signed_parts = square_snapshot({{1, 0}, {0, 1}}, kind_system);
    snapshot_cell(signed_parts, 0, 0) = Fraction{1, -2};
    snapshot_cell(signed_parts, 1, 1) = Fraction{-3, -1};
    ASSERT_EQ(inverse_setup(signed_parts, start), inverse_ready);
    restore_store(start);
    run_elimination_now(nullptr, reach_reduced_form);
    EXPECT_TRUE(inverse_found(&start));
    EXPECT_TRUE(inverse_found(&signed_parts));
    EXPECT_EQ(closing_statement(notation_plain, std::string::npos, &signed_parts),
              "Inverzna matica: vpravo od ciary");
    const struct {
        MatrixShape shape;
        const char *text;
    } sizes[] = {{system_shape(1, 1), "A ma 1 riadok a 1 stlpec"},
                 {system_shape(2, 3), "A ma 2 riadky a 3 stlpce"},
                 {MatrixShape{4, 5, kind_matrix}, "A ma 4 riadky a 5 stlpcov"},
                 {system_shape(10, 1), "A ma 10 riadkov a 1 stlpec"}};
    for (const auto &size : sizes)
        EXPECT_EQ(left_block_size_text(size.shape), size.text);
}

TEST(Determinant, ThePivotsProductSignedPerExchangeAgreesWithLaplaceAndIsWrittenExactly)
{
    const struct {
        Rows a;
        const char *text;
    } cases[] = {
        {{{0, 1}, {1, 0}}, "det A = -1"},
        {{{0, 2}, {3, 4}}, "det A = -6"},
        {{{mpq_class(1, 2), mpq_class(1, 3)}, {mpq_class(1, 4), mpq_class(1, 5)}}, "det A = 1/60"},
        {{{mpq_class(-7, 2)}}, "det A = -7/2"},
        {{{1, 0, 2}, {2, 0, 1}, {3, 0, 5}}, "det A = 0"},
        {{{0, 0, 1}, {0, 1, 0}, {1, 0, 0}}, "det A = -1"},
        {{{0, 1, 0}, {0, 0, 1}, {1, 0, 0}}, "det A = 1"},
    };
    for (const auto &c : cases) {
        const mpq_class det = left_determinant(square_snapshot(c.a, kind_system));
        EXPECT_EQ(det, laplace_determinant(c.a)) << c.text;
        EXPECT_EQ(determinant_text(det, notation_plain), c.text);
    }
    std::mt19937_64 random(3);
    for (int k = 0; k < 200; k++) {
        const Rows a = random_square(random, 1 + k % 6);
        const mpq_class laplace = laplace_determinant(a);
        EXPECT_EQ(left_determinant(square_snapshot(a, kind_matrix)), laplace) << "case " << k;
        EXPECT_EQ(bareiss_determinant(a), laplace) << "case " << k;
    }
    // Cells may carry the sign in the denominator: -1/2 stored as 1/-2, 4 as -4/-1.
    StoreSnapshot signs = square_snapshot({{1, 1}, {3, 4}}, kind_matrix);
    snapshot_cell(signs, 0, 0) = Fraction{1, -2};
    snapshot_cell(signs, 1, 1) = Fraction{-4, -1};
    EXPECT_EQ(left_determinant(signs), mpq_class(-5));
}

TEST(ClosingCaption, TheDeterminantStandsBesideTheStatementWhereItFitsElseOnALineOfItsOwn)
{
    const std::string answer = "Riesenie: x1 = 2, x2 = 3, x3 = -1";
    const std::string verdict = "Sustava nema riesenie: R3 znamena 0 = 1; h(A) = 2, h(A|b) = 3";
    const mpz_class huge = mpz_class("7" + std::string(1299, '1'));
    const struct {
        std::string statement;
        mpq_class det;
        std::string first;
        std::string second;
    } cases[] = {
        {answer, -1, answer + "; det A = -1", ""},
        {"Inverzna matica: vpravo od ciary", mpq_class(-7, 2),
         "Inverzna matica: vpravo od ciary; det A = -7/2", ""},
        {verdict, 0, verdict + "; det A = 0", ""},
        {verdict + "; t1", 0, verdict + "; t1", "det A = 0"},
        {std::string(61, 'x'), 0, std::string(61, 'x') + "; det A = 0", ""}, // 72 exactly
        {std::string(62, 'x'), 0, std::string(62, 'x'), "det A = 0"},
        {answer, mpq_class(huge), answer,
         "det A = 7111111111111111111111111111111111111111"
         "11111111...(1300 cifier)"},
        {answer, mpq_class(huge, huge + 2), answer,
         "det A = 711111111111111...(1300 cifier)/7111111111111111...(1300 cifier)"},
    };
    for (const auto &c : cases) {
        const CaptionLines lines = caption_with_determinant(c.statement, c.det, caption_chars);
        EXPECT_EQ(lines.first, c.first);
        EXPECT_EQ(lines.second, c.second);
        EXPECT_LE(lines.second.size(), caption_chars);
    }
}

TEST(ClosingCaption, ALongGeneralSolutionKeepsItsRanksAndTheDeterminantGoesUnderIt)
{
    // Ten equations, the last twice the first: x10 is free, its coefficients long.
    const mpz_class big = mpz_class("3" + std::string(40, '1'));
    IntegerRows rows(10, std::vector<mpz_class>(11, 0));
    for (int r = 0; r < 9; r++) {
        rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(r)] = 1;
        rows[static_cast<std::size_t>(r)][9] = big + r;
        rows[static_cast<std::size_t>(r)][10] = big * (r + 2);
    }
    for (std::size_t c = 0; c < 11; c++)
        rows[9][c] = 2 * rows[0][c];
    set_system(rows);
    const StoreSnapshot start = save_store();
    run_elimination_now(nullptr, reach_reduced_form);
    const std::string statement = closing_statement(notation_plain, caption_chars);
    const std::string ranks = "; h(A) = 9, h(A|b) = 9";
    EXPECT_EQ(statement.substr(statement.size() - ranks.size()), ranks) << statement;
    EXPECT_LE(statement.size(), caption_chars);
    const CaptionLines lines =
        caption_with_determinant(statement, left_determinant(start), caption_chars);
    EXPECT_EQ(lines.first, statement);
    EXPECT_EQ(lines.second, "det A = 0");
}

} // namespace
