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
// captioned and highlighted, and the user may go back a step at any gate.
void solve();

// Waits before a row operation for a key or a click: a left click or most keys step (one
// press, one step); Backspace, Left or a right click go back past the first step; P or the
// interrupt button pauses, and then R or the solve button resumes while anything else stops;
// Escape or the back button stops.
int step_gate();
