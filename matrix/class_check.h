// Checking a whole class's hand-ins in one run: a line for each, a total and a CSV table.
#pragma once

#include "work_check.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Where the system of a class's check comes from.
struct ClassSystem {
    std::string file;        // the system's matrix file; "" when --random gives it
    int random_rows = 0;     // --random: its equations, 0 when a file gives the system
    int random_unknowns = 0; // and its unknowns
    bool seed_given = false; // --seed S: one system for all; without it each hand-in's first
                             // line "# --random ARG --seed S" names its own
    std::uint64_t seed = 0;
    bool inversion = false; // --inverse: the hand-ins invert the file's matrix
};

// A hand-in to check: a file named, or a file of a folder named.
struct HandIn {
    std::string name;       // as shown: the name given, or the folder's name and the file's
    bool in_folder = false; // found in a folder: a regular file alone is read
    std::string unchecked;  // why it is a line without a check (a folder that cannot be read
                            // or has no file), "" otherwise
};

// The hand-ins the names `works` give, in their order: a file itself, a folder as its files
// sorted by name (bytewise), neither hidden ones (".name", as a save's temporary file) nor
// folders in it nor the files in `skipped` (the system, the table being written), a line of
// its own when it cannot be read or holds no other file.
std::vector<HandIn> list_hand_ins(const std::vector<std::string> &works,
                                  const std::vector<std::string> &skipped);

// The line of the table for the hand-in `name`: "jana.txt: kroky v poriadku: 12 z 14; prva
// chyba: Krok 5: riadok 2, stlpec 3: 7/2, spravne je 5/2; redukovany tvar: ano; vysledok:
// spravny", or "jana.txt: " and why it was not checked; control characters and bytes that are
// not UTF-8 shown as "?". It ends in "\n".
std::string summary_line(const std::string &name, const WorkSummary &summary);

// A hand-in's name with its summary.
struct SummaryRow {
    std::string name;
    WorkSummary summary;
};

// The table as CSV (RFC 4180: a header row, fields quoted where they hold a comma, a quote or a
// line end, quotes doubled, lines ending in CR LF; UTF-8).
std::string summary_csv(const std::vector<SummaryRow> &rows);

// Checks the hand-ins `works` (files, folders of them, "-" standard input) against `system`.
// With one name that is not a folder, the detailed report of check_work on `out`, its messages
// and statuses; otherwise a line for each hand-in and the total "Spravne prace: 3 z 7." on
// `out`. With `csv_file` not "", the table is written there too, atomically. Returns 0 when
// every hand-in is right, check_found_mistakes when one is not; for the system the LoadResult
// or inverse_refused with its message on `err`; 4 when the output or the table cannot be
// written. A hand-in that cannot be read is its line, never the end of the run.
int check_class(const ClassSystem &system, const std::vector<std::string> &works,
                const std::string &csv_file, std::FILE *out, std::FILE *err);
