// Storage for the matrix and the two shared texts.
#include "store.h"

#include <cstdio>

MatrixShape matrix_shape;
std::array<std::array<Fraction, grid_rows>, store_columns> matrix_cells{};
char status_text[status_text_size] = "";
char line_text[line_text_size] = "";
unsigned matrix_serial = 0;
StoreSnapshot loaded_matrix;
StoreSnapshot last_system;

// Notes that the store now holds a new matrix, and keeps a copy of it; a failed load's empty
// store leaves the last system as it was.
void new_matrix()
{
    loaded_matrix = save_store();
    if (matrix_shape.rows > 0)
        last_system = loaded_matrix;
    matrix_serial++;
}

// Notes that the store holds a matrix made from the one as loaded, which stays.
void new_matrix_from_loaded()
{
    matrix_serial++;
}

// The exact value of cell (r, c) in lowest terms.
mpq_class cell_value(int r, int c)
{
    mpq_class value(cell(r, c).num, cell(r, c).den);
    value.canonicalize();
    return value;
}

// Copies text into status_text, cutting it to the buffer's size.
void set_status_text(const char *text)
{
    std::snprintf(status_text, sizeof status_text, "%s", text);
}

// A copy of the store as it is now.
StoreSnapshot save_store()
{
    return StoreSnapshot{matrix_shape, matrix_cells};
}

// Puts back the shape and every cell of a copy.
void restore_store(const StoreSnapshot &snapshot)
{
    matrix_shape = snapshot.shape;
    matrix_cells = snapshot.cells;
}

// True when the store holds exactly the copy.
bool store_equals(const StoreSnapshot &snapshot)
{
    if (snapshot.shape != matrix_shape)
        return false;
    for (int c = 0; c < matrix_shape.columns(); c++)
        for (int r = 0; r < matrix_shape.rows; r++) {
            const Fraction &then = snapshot_cell(snapshot, r, c);
            if (then.num != cell(r, c).num || then.den != cell(r, c).den)
                return false;
        }
    return true;
}

// True when the store holds the copy's order and, cell by cell, its values.
bool store_has_values_of(const StoreSnapshot &snapshot)
{
    return snapshot.shape == matrix_shape && same_values(save_store(), snapshot);
}

// True when the two copies hold the same shape and values.
bool same_values(const StoreSnapshot &a, const StoreSnapshot &b)
{
    if (a.shape != b.shape)
        return false;
    for (int c = 0; c < a.shape.columns(); c++)
        for (int r = 0; r < a.shape.rows; r++) {
            const Fraction &x = snapshot_cell(a, r, c);
            const Fraction &y = snapshot_cell(b, r, c);
            if (mpz_class(x.num * y.den) != mpz_class(y.num * x.den))
                return false;
        }
    return true;
}
