// Gauss-Jordan elimination of the loaded system, one gated row operation at a time.
#pragma once

#include "../matrix/store.h"

// What the step gate decided.
enum GateResult {
    gate_step = 0,   // the user asked for the next step
    gate_resume = 1, // the user resumed after a pause
    gate_stop = 2,   // the user stopped the solve
    gate_back = 3,   // the user asked to see the previous step again
};

// Runs the whole elimination in place; returns when finished or stopped. Each step is
// captioned and highlighted, and the user may go back a step at any gate and from the end. The
// end states the outcome under the grid; a solve that ends on a column without a pivot offers
// to go on to the reduced row echelon form, and the next solve of the same store (R, or a click
// on the solve button, at the end or later) does so instead of starting again.
void solve();

// Waits before a row operation for a key or a click: a left click or most keys step (one
// press, one step); Backspace, Left or a right click go back past the first step; P or the
// interrupt button pauses, and then R or the solve button resumes while anything else stops;
// Escape or the back button stops; a key that acts during a solve (D) acts at once and the
// gate waits on.
int step_gate();

// The program's own steps the last solve left in the store: where it started and how many of its
// steps are done (going back undoes them). W saves them while the store holds what they left.
struct SolveWork {
    unsigned matrix = 0; // matrix_serial when the solve ended or stopped
    StoreSnapshot start; // the store as the solve began
    StoreSnapshot end;   // the store as the solve left it
    int steps = 0;       // its steps done from start
};

extern SolveWork solve_work; // the last solve's steps (written when a solve ends or stops; the
                             // saver reads it)
