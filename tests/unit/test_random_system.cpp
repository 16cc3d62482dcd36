// Random exercises: ranges, a unique whole solution checked by solving exactly, the share that
// exchanges rows, and the same system for the same seed on every machine.
#include "matrix/elimination.h"
#include "matrix/matrix_file.h"
#include "matrix/random_system.h"
#include "matrix/row_arith.h"
#include "matrix/store.h"
#include "store_helpers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace
{

int exchanges = 0; // row exchanges the elimination under test met

// Counts the exchanges and lets every step go.
int count_exchanges(const RowOperation &operation)
{
    exchanges += operation.kind == operation_exchange;
    return 0;
}

// Checks one random system: entries in range, then solves it exactly and checks the solution.
// Returns 1 when its elimination exchanged rows.
int check_system(int order, std::uint64_t seed)
{
    const StoreSnapshot system = random_system(order, seed);
    const std::string name = "order " + std::to_string(order) + ", seed " + std::to_string(seed);
    EXPECT_EQ(system.shape, square_shape(order)) << name;
    restore_store(system);
    for (int r = 0; r < order; r++)
        for (int c = 0; c < order; c++) {
            EXPECT_EQ(cell(r, c).den, 1) << name;
            EXPECT_LE(abs(cell(r, c).num), random_coefficient_limit) << name;
        }
    exchanges = 0;
    EXPECT_EQ(run_elimination({count_exchanges, reduce_row_now}), elimination_done) << name;
    bool all_zero = true;
    for (int r = 0; r < order; r++) {
        for (int c = 0; c < order; c++)
            EXPECT_EQ(cell_value(r, c), r == c ? 1 : 0) << name << ": not a unique solution";
        const mpq_class x = cell_value(r, order);
        EXPECT_EQ(x.get_den(), 1) << name << ": x" << r + 1 << " = " << x.get_str();
        EXPECT_LE(abs(x), random_solution_limit) << name;
        all_zero = all_zero && x == 0;
    }
    EXPECT_FALSE(all_zero) << name;
    return exchanges > 0;
}

TEST(RandomSystem, WholeCoefficientsAUniqueWholeSolutionInRangeAndAThirdExchangeRows)
{
    int with_exchange = 0;
    int checked = 0;
    for (int order = 1; order <= max_matrix_order; order++) {
        for (std::uint64_t seed = 0; seed < 400; seed++) {
            const int exchanged =
                check_system(order, seed * 7919 + static_cast<std::uint64_t>(order));
            if (order == 1) {
                EXPECT_EQ(exchanged, 0) << "a 1x1 never exchanges";
                continue;
            }
            with_exchange += exchanged;
            checked++;
        }
    }
    const double share = static_cast<double>(with_exchange) / checked;
    EXPECT_NEAR(share, 1.0 / 3.0, 0.05) << with_exchange << " of " << checked;
}

TEST(RandomSystem, TheSameSeedGivesTheSameSystemOnEveryMachine)
{
    // The engine's sequence is fixed by the standard and the mapping to ranges is the
    // program's own, so this text is the same wherever the program is built.
    EXPECT_NE(matrix_text(random_system(3, 7)), matrix_text(random_system(3, 8)));
    EXPECT_EQ(matrix_text(random_system(4, 7)), "4\n"
                                                " 0  4  2  8   -28\n"
                                                "-5 -6  2 -2    57\n"
                                                "-4  6 -8 -8   -34\n"
                                                " 9 -7 -2 -4     8\n");
    EXPECT_EQ(random_system(0, 7).shape.rows, 0);
    EXPECT_EQ(random_system(11, 7).shape.rows, 0);
}

} // namespace
