// Practice on the work screen: the learner's own row operations (U), done exactly and cancelled
// on screen, undone one by one, a hint of the program's next step (H), and the goal.
#pragma once

#include "../matrix/elimination.h"
#include "../matrix/store.h"

#include <vector>

// One of the learner's operations, with the store as it was before it.
struct PracticeMove {
    RowOperation operation;
    StoreSnapshot before;
};

// The learner's operations on the matrix in the store, in order. They belong to one matrix
// (matrix_serial) and to the store as the last of them left it: a new matrix, or a solve that
// changed the store, starts them again from the store as it then is.
struct PracticeHistory {
    unsigned matrix = 0;             // matrix_serial they belong to
    StoreSnapshot now;               // the store as the last of them left it
    std::vector<PracticeMove> moves; // the operations, oldest first
};

extern PracticeHistory practice_history; // the learner's operations (written by the U key and
                                         // undo; the random-input test reads it)

// U: asks on the text line for an operation ("Uprava:"), and does it as the solver does its
// steps, cancelling the changed rows on screen under the caption "Uprava 4: R3 <- R3 - 2 R1";
// an operation that cannot be read gets its message on the line until the next key or click.
// Once the store is in reduced row echelon form the top line says "Hotovo! Uprav: 7, program: 9"
// and the caption states the answer, until a key or a click.
void practice_operation();

// Backspace, Left or a right click: undoes the learner's last operation exactly; the caption
// names the one now last.
void practice_undo();

// H: shows in the caption, "Rada: R2 <- R2 - 3 R1", the next step the program's own elimination
// would take from the store as it stands, without doing it.
void practice_hint();

// True while a message about an operation that cannot be done holds the text line (the readout
// of the cell under the pointer waits).
bool practice_message_shown();
