// The matrix on the work screen: the grid of short texts, the rule, the step being solved
// with the rows it touches, and the exact readout.
#pragma once

#include "../matrix/elimination.h"

#include <string>

// The step the work screen explains while a solve runs, or a caption alone.
struct ShownStep {
    bool active = false; // a step is shown: its highlight (and its caption)
    OperationKind kind = operation_exchange;
    int pivot = 0;       // the pivot's row and column, framed
    int row = 0;         // the other row the step changes
    std::string caption; // "Krok 3 z 9: R2 <- R2 - 3 R1"; drawn whenever it is not empty
};

extern ShownStep shown_step; // the step on screen (the solver writes it through show_step)

// Text centre x of grid column c: 52.5 * c + 55, truncated.
int cell_centre_x(int c);

// Text top y of grid row r.
int cell_top_y(int r);

// x of the rule before the right-hand side for order n: 52.5 * n + 27.5, truncated.
int rule_x(int n);

// Shows a step: its caption under the grid, a frame around its pivot and a band behind
// each row it changes.
void show_step(const std::string &caption, const RowOperation &operation);

// Shows a caption under the grid with no step highlighted.
void show_caption(const std::string &caption);

// Shows no step and no caption.
void hide_step();

// Draws the step's highlight, the grid, the rule and the step's caption into the back buffer.
void draw_matrix();

// Sets line_text to the exact value of the cell under the pointer, or to the status text.
void update_readout();
