// Helpers the unit tests share: filling the store, checking a number cut to fit a line, checking
// a general solution by substituting it back, scratch files and reading a name that must not
// block.
#pragma once

#include "matrix/general_solution.h"
#include "matrix/rank.h"
#include "matrix/store.h"

#include <fcntl.h>
#include <gmpxx.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

// Rows of a system: n coefficients and the right-hand side each.
using IntegerRows = std::vector<std::vector<mpz_class>>;

// Empties the store as at start-up: no rows and every cell 0/0.
inline void reset_store()
{
    matrix_shape = MatrixShape{};
    for (auto &column : matrix_cells)
        for (Fraction &f : column) {
            f.num = 0;
            f.den = 0;
        }
}

// Loads an integer system into the store, every denominator 1: as many equations as rows, as
// many unknowns as each row has numbers before its last.
inline void set_system(const IntegerRows &rows)
{
    reset_store();
    const int width = rows.empty() ? 1 : static_cast<int>(rows.front().size());
    matrix_shape = system_shape(static_cast<int>(rows.size()), width - 1);
    for (std::size_t r = 0; r < rows.size(); r++)
        for (std::size_t c = 0; c < rows[r].size(); c++) {
            cell(static_cast<int>(r), static_cast<int>(c)).num = rows[r][c];
            cell(static_cast<int>(r), static_cast<int>(c)).den = 1;
        }
}

// Checks a number as a line shows it: whole, or cut to its leading digits, then "..." and its
// digit count.
inline void expect_number_side(const std::string &shown, const std::string &number)
{
    if (shown == number)
        return;
    const std::size_t dots = shown.find("...");
    ASSERT_NE(dots, std::string::npos) << shown;
    ASSERT_GT(dots, 0u) << shown;
    EXPECT_EQ(number.compare(0, dots, shown, 0, dots), 0)
        << shown << " is not a prefix of the number";
    const std::size_t digits = number.size() - (number[0] == '-' ? 1 : 0);
    EXPECT_NE(shown.find(std::to_string(digits), dots), std::string::npos) << shown;
}

// Checks the solution set read off the store (in reduced row echelon form) against the original
// rows in exact rationals: a contradiction only where the ranks differ, its row reading
// 0 ... 0 | c; otherwise one parameter per unknown beyond the rank, and the parameters all 0 and
// each alone 1 (which fix an affine solution) substituted back solve every equation.
inline void expect_solution_set_solves(const IntegerRows &rows)
{
    const SolutionSet set = solution_set();
    const StoreSnapshot reduced = save_store();
    set_system(rows);
    const int n = matrix_shape.unknowns;
    const int rank_a = system_rank(n);
    const int rank_ab = system_rank(n + 1);
    restore_store(reduced);
    if (rank_a < rank_ab) {
        ASSERT_GE(set.contradiction_row, 0) << "no contradiction in a system without a solution";
        for (int c = 0; c < n; c++)
            ASSERT_EQ(cell(set.contradiction_row, c).num, 0);
        ASSERT_NE(set.contradiction_value, 0);
        ASSERT_EQ(set.contradiction_value, cell_value(set.contradiction_row, n));
        return;
    }
    ASSERT_LT(set.contradiction_row, 0) << "a contradiction in a system with solutions";
    const std::size_t k = set.free_columns.size();
    ASSERT_EQ(static_cast<int>(k), n - rank_a);
    ASSERT_EQ(set.unknowns.size(), static_cast<std::size_t>(n));
    for (std::size_t choice = 0; choice <= k; choice++) { // all 0, then parameter choice-1 alone
        std::vector<mpq_class> t(k, 0);
        if (choice > 0)
            t[choice - 1] = 1;
        std::vector<mpq_class> x;
        for (const UnknownExpression &e : set.unknowns) {
            ASSERT_EQ(e.coefficients.size(), k);
            mpq_class value = e.constant;
            for (std::size_t p = 0; p < k; p++)
                value += e.coefficients[p] * t[p];
            x.push_back(value);
        }
        for (std::size_t p = 0; p < k; p++) // each parameter is its own free unknown
            ASSERT_EQ(x[static_cast<std::size_t>(set.free_columns[p])], t[p]);
        for (const auto &row : rows) {
            mpq_class sum = 0;
            for (int c = 0; c < n; c++)
                sum += mpq_class(row[static_cast<std::size_t>(c)]) * x[static_cast<std::size_t>(c)];
            ASSERT_EQ(sum, mpq_class(row.back()));
        }
    }
}

// Everything written to a scratch stream (std::tmpfile), which is then closed.
inline std::string read_back(std::FILE *file)
{
    std::string text;
    std::rewind(file);
    for (int c = std::getc(file); c != EOF; c = std::getc(file))
        text.push_back(static_cast<char>(c));
    std::fclose(file);
    return text;
}

// A folder of this test process's own in the temporary folder, so that test runs side by side
// never write each other's scratch files.
inline std::filesystem::path scratch_folder()
{
    static const std::filesystem::path folder = [] {
        const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                           ("gj-unit-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

// Writes `text` to the file `name` in this process's scratch folder and returns its path.
inline std::string scratch_file(const std::string &name, const std::string &text)
{
    const std::string path = (scratch_folder() / name).string();
    std::ofstream(path) << text;
    return path;
}

// Runs `read`, which opens `name`, on a thread of its own and fails the test when it has not
// finished within two seconds; then opens `name` for writing, so that a read blocked on a FIFO
// goes on and the test can end.
inline void expect_no_blocking(const std::string &name, const std::function<void()> &read)
{
    std::atomic<bool> done{false};
    std::thread reader([&] {
        read();
        done = true;
    });
    for (int wait = 0; wait < 200 && !done; wait++)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (!done) {
        ADD_FAILURE() << name << " blocked the reading";
        const int writer = open(name.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0)
            close(writer);
    }
    reader.join();
}
