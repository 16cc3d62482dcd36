// Work files: the learner's operations or the program's steps written as the plain printed
// worked solution writes them (the form --check reads), and the system of such a file read back.
#pragma once

#include "elimination.h"
#include "store.h"

#include <cstdint>
#include <string>
#include <vector>

// One step of a work: its operation and the matrix after it.
struct WorkFileStep {
    RowOperation operation;
    StoreSnapshot after;
};

// The first line of a work whose system is the random one of `--random ARG --seed S`:
// "# --random 3 --seed 48213" (ARG as random_shape_argument writes it), with its newline.
std::string random_origin_line(int rows, int unknowns, std::uint64_t seed);

// The text of a work in the plain printout's form: `head` (whole lines, or ""), the matrix
// `start`, then for each step a blank line, "Krok k: <operation>" and the matrix after it,
// every value exact and in lowest terms, as --steps prints them. The store is left as it was.
std::string work_file_text(const std::string &head, const StoreSnapshot &start,
                           const std::vector<WorkFileStep> &steps);

// The first `count` steps of the program's own elimination from `start`, on to the reduced
// form as --steps goes, each with the matrix after its cancelling (fewer when it ends sooner).
// The store is left as it was.
std::vector<WorkFileStep> program_work_steps(const StoreSnapshot &start, int count);

// Reads `text` as a work file: rows of numbers (the matrix before the first step), then at
// least one step, each an operation line and the matrix after it, every line readable as --check
// reads it, a "# ..." comment or a printout's sentence. The shape is the first row's: a rule "|"
// with one column after it is a system, with as many as before it (and as many rows) [A | I],
// whose A is then the system; no rule, a matrix alone. True with the matrix before the first step
// in `system`; false for anything else (the store is left as it was either way).
bool read_work_file_system(const std::string &text, StoreSnapshot &system);
