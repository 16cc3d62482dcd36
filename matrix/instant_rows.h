// Row operations for runs where nothing is shown: every row kept over one common denominator
// (fraction-free Gauss-Jordan, each new numerator an exact division), with no cancelling
// until the run ends, and then every cell written exactly as the step-by-step operations and
// their cancelling would have left it, sign included.
#pragma once

#include "elimination.h"

// The instant operations, for EliminationHooks between begin_instant_rows and
// finish_instant_rows; their rows need no reduction (see skip_reduction).
extern const RowArithmetic instant_arithmetic;

// Starts the instant form on the store: 1 when it can (every entry a whole number with
// denominator 1, as loaded from a file), else 0 and the step-by-step operations must be used.
int begin_instant_rows();

// The reduce hook of an instant run: its rows always hold their exact values.
void skip_reduction(int r);

// Ends the instant form: writes every cell in exactly the form the step-by-step run would
// have stored.
void finish_instant_rows();
