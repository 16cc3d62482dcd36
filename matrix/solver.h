// Gauss-Jordan elimination of the loaded system, one gated row operation at a time.
#pragma once

// What the step gate decided.
enum GateResult {
    gate_step = 0,   // the user asked for the next step
    gate_resume = 1, // the user resumed after a pause
    gate_stop = 2,   // the user stopped the solve
};

// Runs the whole elimination in place; returns when finished or stopped.
void solve();

// Waits before a row operation for a key or a click; P or the interrupt button pauses,
// and then R or the solve button resumes while anything else stops.
int step_gate();
