// Checking a hand-worked solution: a text in the form the printed worked solution has (each row
// operation followed by the matrix after it), replayed exactly from the system, step by step.
#pragma once

#include "operation_parser.h"
#include "store.h"

#include <gmpxx.h>

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

// The most digits of a number (each part of a fraction) in a worked solution. An elimination of
// a system whose entries have at most 120 digits meets values that are ratios of minors of at
// most ten rows, which have at most 10 * 120 + 5 digits; this leaves room to spare.
constexpr std::size_t max_work_digits = 2500;

// The largest WORK file --check reads. The printout of a 10x10 system of 120-digit entries, the
// largest the program loads, is about 7 MB (its values grow to ratios of minors of 1200 digits);
// a hand-written solution is some kilobytes. A larger file is refused before it is read.
constexpr std::size_t max_work_bytes = std::size_t{64} << 20;

// Exit status of a check that found a step (or the copied system) wrong.
constexpr int check_found_mistakes = 5;

using WorkMatrix = std::vector<std::vector<mpq_class>>; // rows of exact values

// One step of a worked solution: its operation and the matrix written after it.
struct WorkStep {
    int line = 0;              // the operation's line, counted from 1
    int number = 0;            // the step's number as the work writes it ("Krok 5:", "5."); 0: none
    ParsedOperation operation; // the operation, or why it is none
    WorkMatrix rows;           // the matrix after it
    std::vector<std::vector<int>> places; // for each entry of rows, the decimal places written
                                          // (0 for an integer or a fraction)
    std::string fault;                    // a line of the step that cannot be read, and why; the
                                          // step is then judged by its fault alone
};

// The answer a worked solution writes: "x = 2, y = 3" or "Riesenie: x1 = 2, x2 = 3".
struct WorkAnswer {
    int line = 0;                  // its line, 0 when the work writes none
    std::vector<mpq_class> values; // by unknown, x1 first
    std::vector<bool> named;       // which unknowns it names
};

// A worked solution as read.
struct Work {
    WorkMatrix start;            // the matrix written before the first step; empty when none
    std::string start_fault;     // a line before the first step that cannot be read, and why
    std::vector<WorkStep> steps; // in order
    WorkAnswer answer;           // the last answer line it writes
};

// What reading a worked solution found: the work, or the line that cannot be read and why.
struct WorkRead {
    bool ok = false;
    int line = 0;        // when not ok: the line, counted from 1
    std::string message; // when not ok: what is wrong with it
    Work work;
};

// Reads a worked solution of a matrix of `shape` from `text`: operation lines "<op>", numbered
// "Krok k: <op>", "Krok k z n: <op>", "Uprava k: <op>", "k. <op>" or "k) <op>", each followed by
// its rows of its columns' numbers, optionally the system's matrix before the first step. A row
// may stand in brackets "[2 1 | 8]", its numbers apart by spaces or commas ("1, 2"; a comma
// between digits is a decimal comma, "0,5"), "=" for "|" ("|" where its rule stands optional),
// a sign apart from its number ("- 1/2"). An answer line "x = 2, y = 1" or "x1 = 2, x2 = 1"
// (also after "Riesenie:") is the work's answer. Blank lines, spacing and the printout's
// sentences ("Sustava ...", "Pokracujeme ...") are free. A line that cannot be read is the
// fault of the step it stands in; the reading fails (naming the line) only when something
// stands before the first step that is not the system's matrix. Lines end with "\n", "\r\n" or
// "\r", the last one with or without.
WorkRead read_work(const std::string &text, const MatrixShape &shape);

// The first mistake a check found: a wrong entry, or another fault.
struct WorkMistake {
    std::string step;    // "Zadanie", "Krok 5" (numbered as the work does) or "Odpoved (riadok 9)"
    int row = 0;         // the first wrong entry's row from 1; 0 when the mistake is not an entry
    int column = 0;      // its column from 1
    std::string written; // its value as written
    std::string right;   // the right value
    std::string why;     // when the mistake is not an entry: what is wrong
};

// What the check of one hand-in found: a line of a class's table.
struct WorkSummary {
    std::string unchecked;     // why it was not checked (cannot be read, no step, another
                               // system), "" when it was
    int steps = 0;             // the steps it writes
    int steps_right = 0;       // the right ones
    bool mistaken = false;     // it has a mistake: `first`
    WorkMistake first;         // the first mistake, the copied system and the answer line included
    bool reduced = false;      // its last matrix is in reduced row echelon form
    bool finished = false;     // a result can be read from it: reduced, or a row 0 ... 0 | c
    bool result_right = false; // the result read from its last matrix (a row 0 ... 0 | c: none)
                               // and its own answer line, when it writes one, are right
    bool right = false;        // checked, every step right and the result right
};

// Puts the system a hand-in is checked against into the store, given the hand-in's first line
// (without its line end); returns "" when it is there, else why the hand-in does not fit.
using PrepareSystem = std::function<std::string(const std::string &first_line)>;

// Loads the system in `system_file` into the store for a check, [A | I] of its matrix with
// `inversion`: 0, or the LoadResult or inverse_refused with its message on `err`.
int load_check_system(const char *system_file, bool inversion, std::FILE *err);

// Checks the hand-in `work_file` as check_work does, against the system in the store, or the
// one `prepare` (when not empty) puts there from its first line (a hand-in it refuses gives
// load_invalid, its reason on `err`). Its line of a class's table goes to `summary` when not
// null. The store is left as it was.
int check_one_work(const char *work_file, const PrepareSystem &prepare, std::FILE *out,
                   std::FILE *err, WorkSummary *summary);

// Checks the hand-in in the file `name` (with `regular_only` a regular file alone, else also
// a pipe, "-" standard input) without printing, against the system in the store or the one
// `prepare` puts there: its line of a class's table. One that cannot be read (a text with a 0
// byte too), with no step or that copies another system (more than half of the system's
// entries differ) is unchecked, with the reason. Steps are judged as read; the store is left
// as it was.
WorkSummary check_hand_in(const std::string &name, bool regular_only, const PrepareSystem &prepare);

// Checks the worked solution in the file `work_file` against the system in the matrix file
// `system_file`: prints on `out` a line for each step ("Krok 3: v poriadku", or its first wrong
// entry, or why its operation is none), going on from the written matrix after a mistake, then
// whether the last matrix is in reduced row echelon form and whether its answer is right.
// Returns 0 when every step is right, check_found_mistakes when one is not or when the work has
// no step at all (the report then says there is nothing to check); the LoadResult of a
// system that cannot be loaded; for the work file (its message on `err`) load_cannot_open when
// it cannot be read or is neither a regular file nor a pipe (a folder, a device), load_too_large
// above max_work_bytes and load_invalid when it cannot be understood (naming the line); 4 when
// the output cannot be written. The store is left as it was. "-" reads standard input, within
// the same bound. Each step is judged as it is read, so memory stays near the file's size.
// With `inversion`, the work is the inversion of the system's matrix A (a system's right-hand
// sides left out, said on `err`), starting from [A | I] as --inverse does and ending at the line
// "A^-1 =" that heads the printout's answer, if there is one; a matrix that is not square (or
// none) returns inverse_refused with its message on `err`.
int check_work(const char *system_file, const char *work_file, std::FILE *out, std::FILE *err,
               bool inversion = false);
