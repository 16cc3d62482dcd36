// The matrix on the work screen: the grid of short texts, the rule and the exact readout.
#pragma once

// Text centre x of grid column c: 52.5 * c + 55, truncated.
int cell_centre_x(int c);

// Text top y of grid row r.
int cell_top_y(int r);

// x of the rule before the right-hand side for order n: 52.5 * n + 27.5, truncated.
int rule_x(int n);

// Draws the grid and the rule into the back buffer.
void draw_matrix();

// Sets line_text to the exact value of the cell under the pointer, or to the status text.
void update_readout();
