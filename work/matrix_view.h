// The matrix on the work screen: the grid of short texts or exact fractions (or the grid
// editor's draft in its place), the rule, the step being solved with the rows it touches, the
// caption under the grid (or the keys), and the exact readout.
#pragma once

#include "../matrix/elimination.h"
#include "../matrix/store.h"

#include <string>

// How long a caption shown alone stays.
enum CaptionLife {
    caption_until_new_matrix, // until the store is given another matrix (or another caption)
    caption_until_input,      // until the next key or click on the work screen, too
};

// The step the work screen explains while a solve runs, or a caption alone.
struct ShownStep {
    bool active = false; // a step is shown: its highlight (and its caption)
    OperationKind kind = operation_exchange;
    int pivot = 0;           // the pivot's row
    int column = 0;          // the pivot's column, framed with its row
    int row = 0;             // the other row the step changes
    bool framed = true;      // the pivot is framed (a learner's own operation has none)
    std::string caption;     // "Krok 3 z 9: R2 <- R2 - 3 R1"; drawn whenever it is not empty
    std::string second_line; // under the grid panel on its plate (det A), when not empty
    unsigned matrix = 0;     // matrix_serial when it was shown: nothing outlives its matrix
    CaptionLife life = caption_until_new_matrix;
};

extern ShownStep shown_step; // the step on screen (the solver writes it through show_step)
extern int grid_fractions;   // 1 while the grid shows exact fractions, 0 short decimal texts
                             // (the work screen's D key and the remembered settings write it)

// A matrix drawn in place of the store, with one cell framed: the grid editor's draft.
struct ShownDraft {
    const StoreSnapshot *matrix = nullptr; // nullptr: the store is drawn
    int row = 0;                           // the framed cell
    int column = 0;
};

extern ShownDraft shown_draft; // the draft on screen (the grid editor writes it through
                               // show_draft and hide_draft)

// Text centre x of grid column c: 52.5 * c + 55, truncated.
int cell_centre_x(int c);

// Text top y of grid row r.
int cell_top_y(int r);

// x of the rule after n columns: 52.5 * n + 27.5, truncated.
int rule_x(int n);

// Shows a step: its caption under the grid, a frame around its pivot and a band behind
// each row it changes.
void show_step(const std::string &caption, const RowOperation &operation);

// Shows a caption under the grid with no step highlighted, for as long as `life` says.
void show_caption(const std::string &caption, CaptionLife life = caption_until_new_matrix);

// Shows no step and no caption.
void hide_step();

// Shows `caption` as show_caption does, with det A of the matrix as loaded after it where they
// both fit the caption line, else on a second line under the grid, whenever the store's left
// block is square and of the loaded matrix's size: the end of a solve or of the learner's
// practice.
void show_caption_with_determinant(const std::string &caption);

// Shows the closing caption of a store in reduced row echelon form: what it says about the
// solutions, with the row that reads 0 ... 0 | c of a system without one banded and its c framed;
// for [A | I], the inverse (checked against A as loaded) or the row whose left block is zero,
// banded; and det A as show_caption_with_determinant adds it.
void show_answer_caption();

// A key or a click arrived on the work screen: a caption that lasts only until then goes.
void caption_input_arrived();

// Draws `draft` in place of the store, with a frame around cell (row, column) like the pivot's,
// until hide_draft; the draft must outlive it.
void show_draft(const StoreSnapshot &draft, int row, int column);

// Draws the store again.
void hide_draft();

// Sets the line drawn in the caption's place whenever no caption is shown: the keys.
void show_key_line(const std::string &keys);

// The hover cell (row, column) under frame point (x, y) for a matrix of `shape`, by the bounds
// layout.h states; false when the point is off the grid. The one hit test on the grid.
bool cell_at(int x, int y, const MatrixShape &shape, int &row, int &column);

// Draws the step's highlight (or the draft's framed cell), the grid, the rule and the step's
// caption (or the key line) into the back buffer.
void draw_matrix();

// Sets line_text to the exact value of the cell under the pointer, or to the status text.
void update_readout();
