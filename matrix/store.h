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

constexpr int max_matrix_order = 10;               // the most equations, the most unknowns
constexpr int grid_columns = max_matrix_order + 1; // the most columns the work screen's grid
                                                   // shows: coefficients plus right-hand side
constexpr int grid_rows = max_matrix_order;
constexpr int store_columns = 2 * max_matrix_order; // the most columns the store holds: [A | I]
                                                    // of the largest order

// What the matrix in the store is.
enum MatrixKind {
    kind_system,  // a system: its coefficients, the rule, one column of right-hand sides
    kind_inverse, // [A | I]: A, the rule, as many columns again (the identity, as loaded)
    kind_matrix,  // a matrix alone, no rule
};

// The shape of the matrix in the store: a system of m equations in n unknowns, [A | I] of order
// n, or an m x n matrix alone.
struct MatrixShape {
    int rows = 0;                  // m: the equations (rows), 0..10; 0 = no matrix
    int unknowns = 0;              // n: the columns left of the rule (a matrix alone: all), 0..10
    MatrixKind kind = kind_system; // what the columns right of the rule are

    // Every column in use: left of the rule and right of it (none without rows).
    int columns() const
    {
        if (rows == 0)
            return 0;
        return unknowns + (kind == kind_system ? 1 : kind == kind_inverse ? unknowns : 0);
    }
    // As many rows as columns left of the rule.
    bool square() const
    {
        return rows == unknowns;
    }
};

// True when two shapes are the same.
inline bool operator==(const MatrixShape &a, const MatrixShape &b)
{
    return a.rows == b.rows && a.unknowns == b.unknowns && a.kind == b.kind;
}
inline bool operator!=(const MatrixShape &a, const MatrixShape &b)
{
    return !(a == b);
}

// The shape of a system of `rows` equations in `unknowns` unknowns.
constexpr MatrixShape system_shape(int rows, int unknowns)
{
    return MatrixShape{rows, unknowns, kind_system};
}

// The shape of a square system of order n.
constexpr MatrixShape square_shape(int n)
{
    return system_shape(n, n);
}

// Size of line_text: the text line's 76 characters, each of up to four bytes in UTF-8 (a typed
// name keeps its diacritics), and the terminating zero.
constexpr std::size_t line_text_size = 4 * 76 + 1;
// Size of status_text: a message may name a file and fill the line it is shown on.
constexpr std::size_t status_text_size = line_text_size;

extern MatrixShape matrix_shape; // the shape of the matrix in the store; rows 0 = none (loaders
                                 // write it, with the cells; everything else reads it)
extern std::array<std::array<Fraction, grid_rows>, store_columns>
    matrix_cells; // stored column by column: [column][row] (loader and row operations write)
extern char status_text[status_text_size]; // state message (loader's report and solver write)
extern char line_text[line_text_size];     // work screen's text line (editor and readout write)
extern unsigned matrix_serial; // changes whenever the store is given a new matrix, or emptied
                               // by a failed load (every way of loading calls new_matrix), and
                               // when [A | I] is made (new_matrix_from_loaded)

// The cell of row r, column c (column matrix_shape.unknowns is the first right of the rule).
inline Fraction &cell(int r, int c)
{
    return matrix_cells[static_cast<std::size_t>(c)][static_cast<std::size_t>(r)];
}

// The exact value of cell (r, c) in lowest terms, the sign in the numerator (the store may keep
// it in the denominator).
mpq_class cell_value(int r, int c);

// A copy of the whole store: the shape and every cell.
struct StoreSnapshot {
    MatrixShape shape;
    std::array<std::array<Fraction, grid_rows>, store_columns> cells{};
};

// The cell of row r, column c of a copy.
inline const Fraction &snapshot_cell(const StoreSnapshot &snapshot, int r, int c)
{
    return snapshot.cells[static_cast<std::size_t>(c)][static_cast<std::size_t>(r)];
}
inline Fraction &snapshot_cell(StoreSnapshot &snapshot, int r, int c)
{
    return snapshot.cells[static_cast<std::size_t>(c)][static_cast<std::size_t>(r)];
}

// A copy of the store as it is now.
StoreSnapshot save_store();

// Puts back the shape and every cell of a copy.
void restore_store(const StoreSnapshot &snapshot);

// True when the store holds exactly the copy: its shape, and every cell's num and den.
bool store_equals(const StoreSnapshot &snapshot);

// True when the store holds the copy's shape and the same values, whatever the form they are kept
// in (1/-2 and -2/4 are -1/2).
bool store_has_values_of(const StoreSnapshot &snapshot);

// True when the two copies hold the same shape and values, in whatever form.
bool same_values(const StoreSnapshot &a, const StoreSnapshot &b);

extern StoreSnapshot loaded_matrix; // the store as new_matrix last found it: the system as loaded,
                                    // typed or made, before any step of a solve (new_matrix)
extern StoreSnapshot last_system; // the last system loaded, typed or made, kept when a failed load
                                  // empties the store: what the grid editor reopens on (new_matrix)

// Notes that the store now holds a new matrix (or none, after a failed load): what was said
// about the previous one no longer holds, and loaded_matrix becomes a copy of it (and
// last_system too, unless the store is empty).
void new_matrix();

// Notes that the store now holds a matrix made from the one as loaded ([A | I] of its
// coefficients): what was said about the previous one no longer holds, but loaded_matrix stays
// the matrix as loaded, which the editor opens and W saves.
void new_matrix_from_loaded();

// Copies text into status_text, cutting it to the buffer's size.
void set_status_text(const char *text);
