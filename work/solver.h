// Gauss-Jordan elimination of the loaded system, one gated row operation at a time.
#pragma once

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
