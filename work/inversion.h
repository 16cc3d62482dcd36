// The inverse matrix on the work screen (I): [A | I] of the matrix as loaded, solved step by step.
#pragma once

// The largest order whose [A | I] the grid shows: its 2n columns within the grid's eleven.
constexpr int max_screen_inverse_order = 5;

// I: puts [A | I] of the matrix as loaded in the store, the rule between the blocks (a system's
// right-hand sides leave the grid; the matrix as loaded stays for E and W), and solves it step by
// step on to the reduced form, as R does; pressed again it starts over from [A | I]. Nothing
// loaded, a matrix that is not square, or one of an order above max_screen_inverse_order gets a
// message on the text line until the next key or click.
void invert_matrix();
