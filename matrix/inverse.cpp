// The inverse matrix by Gauss-Jordan elimination: [A | I] made from a square matrix.
#include "inverse.h"
#include "../matrix/translation.h"

namespace
{

// "1 riadok", "3 riadky", "5 riadkov": a count with its noun in the form Slovak gives it.
std::string counted(int count, const char *one, const char *few, const char *many)
{
    const char *noun = count == 1 ? one : count >= 2 && count <= 4 ? few : many;
    return std::to_string(count) + " " + tr(noun);
}

} // namespace

// Makes [A | I] from the left block of `matrix`.
InverseSetup inverse_setup(const StoreSnapshot &matrix, StoreSnapshot &start)
{
    const MatrixShape &shape = matrix.shape;
    if (shape.rows == 0)
        return inverse_no_matrix;
    if (!shape.square())
        return inverse_not_square;
    const int n = shape.rows;
    StoreSnapshot made = matrix; // the cells outside [A | I] as they were
    made.shape = MatrixShape{n, n, kind_inverse};
    for (int r = 0; r < n; r++)
        for (int c = 0; c < n; c++) {
            snapshot_cell(made, r, c) = snapshot_cell(matrix, r, c);
            snapshot_cell(made, r, n + c) = Fraction{r == c ? 1 : 0, 1};
        }
    start = made;
    return inverse_ready;
}

// The size of A of `shape` in words.
std::string left_block_size_text(const MatrixShape &shape)
{
    // TRANSLATORS: the nouns after a count: one, two to four, five and more (Slovak's forms)
    const std::string rows = counted(shape.rows, tr_noop("riadok"), tr_noop("riadky"),
                                     tr_noop("riadkov"));
    const std::string columns = counted(shape.unknowns, tr_noop("stlpec"), tr_noop("stlpce"),
                                        tr_noop("stlpcov"));
    // TRANSLATORS: the size of A, "A has 3 rows and 4 columns"
    return format_text(tr("A ma %s a %s"), rows.c_str(), columns.c_str());
}

// The right block of [A | I] as a matrix alone.
StoreSnapshot right_block(const StoreSnapshot &matrix)
{
    const int n = matrix.shape.unknowns;
    StoreSnapshot block;
    block.shape = MatrixShape{matrix.shape.rows, n, kind_matrix};
    for (int r = 0; r < matrix.shape.rows; r++)
        for (int c = 0; c < n; c++)
            snapshot_cell(block, r, c) = snapshot_cell(matrix, r, n + c);
    return block;
}
