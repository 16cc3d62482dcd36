// The one matrix the program holds, as exact fractions, and the two message texts.
#pragma once

#include <gmpxx.h>

#include <array>
#include <cstddef>

// One matrix cell: the value num/den. Entries read from a file have den 1;
// den may turn negative after row operations, and is never 0 once loaded.
struct Fraction {
    mpz_class num;
    mpz_class den;
};

constexpr int max_matrix_order = 10;
constexpr int grid_columns = max_matrix_order + 1; // coefficients plus right-hand side
constexpr int grid_rows = max_matrix_order;

// Size of status_text; the longest message fits with room to spare.
constexpr std::size_t status_text_size = 64;
// Size of line_text: the editor types at most 38 characters into it, and an
// exact readout may fill the whole text line.
constexpr std::size_t line_text_size = 80;

extern int matrix_order; // order n of the loaded system, 0..10; 0 = none (loader, solver reads)
extern std::array<std::array<Fraction, grid_rows>, grid_columns>
    matrix_cells; // stored column by column: [column][row] (loader and row operations write)
extern char status_text[status_text_size]; // state message (loader's report and solver write)
extern char line_text[line_text_size];     // work screen's text line (editor and readout write)
extern unsigned matrix_serial; // changes whenever the store is given a new matrix, or emptied
                               // by a failed load (every way of loading calls new_matrix)

// The cell of row r, column c (column matrix_order is the right-hand side).
inline Fraction &cell(int r, int c)
{
    return matrix_cells[static_cast<std::size_t>(c)][static_cast<std::size_t>(r)];
}

// The exact value of cell (r, c) in lowest terms, the sign in the numerator (the store may keep
// it in the denominator).
mpq_class cell_value(int r, int c);

// A copy of the whole store: the order and every cell.
struct StoreSnapshot {
    int order = 0;
    std::array<std::array<Fraction, grid_rows>, grid_columns> cells{};
};

// A copy of the store as it is now.
StoreSnapshot save_store();

// Puts back the order and every cell of a copy.
void restore_store(const StoreSnapshot &snapshot);

// True when the store holds exactly the copy: its order, and every cell's num and den.
bool store_equals(const StoreSnapshot &snapshot);

// True when the store holds the copy's order and the same values, whatever the form they are kept
// in (1/-2 and -2/4 are -1/2).
bool store_has_values_of(const StoreSnapshot &snapshot);

extern StoreSnapshot loaded_matrix; // the store as new_matrix last found it: the system as loaded,
                                    // typed or made, before any step of a solve (new_matrix)
extern StoreSnapshot last_system; // the last system loaded, typed or made, kept when a failed load
                                  // empties the store: what the grid editor reopens on (new_matrix)

// Notes that the store now holds a new matrix (or none, after a failed load): what was said
// about the previous one no longer holds, and loaded_matrix becomes a copy of it (and
// last_system too, unless the store is empty).
void new_matrix();

// Copies text into status_text, cutting it to the buffer's size.
void set_status_text(const char *text);
