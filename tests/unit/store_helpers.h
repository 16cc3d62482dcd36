// Helpers the unit tests share: filling the store, reading its cells back exactly, checking a
// number cut to fit a line, and reading a name that must not block.
#pragma once

#include "matrix/store.h"

#include <fcntl.h>
#include <gmpxx.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <thread>
#include <vector>

// Rows of a system: n coefficients and the right-hand side each.
using IntegerRows = std::vector<std::vector<mpz_class>>;

// Empties the store as at start-up: order 0 and every cell 0/0.
inline void reset_store()
{
    matrix_order = 0;
    for (auto &column : matrix_cells)
        for (Fraction &f : column) {
            f.num = 0;
            f.den = 0;
        }
}

// Loads an integer system into the store, every denominator 1.
inline void set_system(const IntegerRows &rows)
{
    reset_store();
    matrix_order = static_cast<int>(rows.size());
    for (std::size_t r = 0; r < rows.size(); r++)
        for (std::size_t c = 0; c < rows[r].size(); c++) {
            cell(static_cast<int>(r), static_cast<int>(c)).num = rows[r][c];
            cell(static_cast<int>(r), static_cast<int>(c)).den = 1;
        }
}

// The exact value of cell (r, c); the stored sign may sit in the denominator.
inline mpq_class cell_value(int r, int c)
{
    mpq_class value(cell(r, c).num, cell(r, c).den);
    value.canonicalize();
    return value;
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
