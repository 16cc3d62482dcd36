// Matrix files: reading one into the store (the order, then every entry, exactly), and writing
// a matrix as a file that reads back as the same matrix.
#pragma once

#include "store.h"

#include <gmpxx.h>

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

// Result codes of loading a matrix, shared by the loader and its report.
enum LoadResult {
    load_ok = 0,          // loaded, or no name was entered
    load_cannot_open = 1, // the name is not a readable regular file
    load_too_large = 2,   // the order in the file exceeds 10, or an entry is too long
    load_invalid = 3,     // no order, a negative order, a missing or broken entry
};

// The message for a failed load, by LoadResult: "Neplatna matica!" for load_invalid;
// nullptr for load_ok and any other code.
const char *load_message(int code);

// The most digits an entry of a matrix file may have. Every frame of a solve stays quick
// up to this length: the cancelling, the grid's texts and going back a step, which solves
// the system again at once, grow with it (see docs/performance.md).
constexpr std::size_t max_entry_digits = 120;

// What read_integer found.
enum IntegerRead {
    integer_none = 0,     // the next text is not a number
    integer_read = 1,     // a number was read
    integer_too_long = 2, // a number with more than max_digits digits; reading stopped in it
};

// Reads one integer the way "%d" does (white space, optional sign, digits) but of any
// length up to max_digits. Returns an IntegerRead, or EOF at end of file.
int read_integer(std::FILE *file, mpz_class &value,
                 std::size_t max_digits = static_cast<std::size_t>(-1));

// Opens a file for reading (a matrix file, the settings file); nullptr when it cannot be
// opened or is not a regular file (a directory, a FIFO, a device, a socket), which is never
// opened, so never blocks.
std::FILE *open_regular_file(const char *name);

// Opens a regular file, or also a pipe when `pipes` (a FIFO, or the pipe a shell's <(...) names),
// for reading; nullptr for any other kind or when it cannot be opened. The open call never
// blocks; the reads of a pipe wait for its writer, and a pipe without one reads as empty.
std::FILE *open_readable_file(const char *name, bool pipes);

// What a file that loads may say otherwise than its writer meant: the matrix is read as the
// format says, but these signs suggest another matrix was meant.
enum LoadWarningKind {
    warning_decimal_point,        // a number directly followed by '.' and a digit: 1.5 is 1, 5
    warning_fraction_slash,       // a number directly followed by '/' and a digit: 1/2 is 1, 2
    warning_minus_separator,      // a minus sign taken as the separator: 1-2 is 1, 2
    warning_numbers_after_matrix, // numbers left after the last entry, which are ignored
    warning_rows_across_lines,    // a line holding the end of one row and the start of the next
                                  // (in a file that breaks its matrix into lines)
};

// One warning: the line it concerns (counted from 1) and its kind.
struct LoadWarning {
    int line;
    LoadWarningKind kind;
};

using LoadWarnings = std::vector<LoadWarning>;

// A warning as one line of text: "Pozor, riadok 3: bodka rozdelila cislo na dve cele cisla".
std::string load_warning_line(const LoadWarning &warning);

// Reads a matrix file into the store: in the form with a shape (see shape_form.h) when its first
// character that is not white space is a letter or "#", else the order and the entries. Returns a
// LoadResult; on any failure the store is left with no rows. When warnings is not null it gets
// the warnings of a file in the first form that loads, by line (empty after a failure). When
// `why` is not null it gets, for a file in the form with a shape that does not load, what is
// wrong and on which line ("" otherwise). A file (that can be read again from where it started)
// that does not load in either form, or loads only with warnings, but reads whole as a worked
// solution in the form --check reads (read_work_file_system) gives the matrix before its first
// step, without warnings: a work W saved loads its system.
int read_matrix(std::FILE *file, LoadWarnings *warnings = nullptr, std::string *why = nullptr);

// Opens, reads and closes the matrix file `name`. Returns a LoadResult; on any failure
// the store has no rows. Warnings as read_matrix gives them.
int load_matrix_file(const char *name, LoadWarnings *warnings = nullptr,
                     std::string *why = nullptr);

// Result codes of saving a matrix.
enum SaveResult {
    save_ok = 0,        // written whole
    save_failed = 1,    // the file cannot be written; whatever was there is as it was
    save_not_whole = 2, // an entry (a part of a fraction) has more than max_entry_digits digits
};

// The text of a matrix file holding `matrix`, which read_matrix reads back as the same matrix:
// a square system of whole numbers in the first form (the order, then each equation on a line of
// its own, its entries right-aligned in columns and the right-hand side set apart), any other
// system or a matrix alone in the form with a shape. "" for [A | I], or when an entry (a part of
// a fraction) has more than max_entry_digits digits.
std::string matrix_text(const StoreSnapshot &matrix);

// 1 when something (a file, a folder...) already has the name `name`, else 0.
int file_exists(const char *name);

// 1 when `name` is a regular file, or a link to one, else 0.
int regular_file_exists(const char *name);

// Writes `matrix` to the file `name` atomically, replacing what is there: a file written
// through a link is written where the link points. Returns a SaveResult.
int save_matrix_file(const char *name, const StoreSnapshot &matrix);

// Writes `text` to the file `name` as save_matrix_file writes a matrix: atomically, through a
// link to where it points, never over a folder or a device. Returns save_ok or save_failed.
int save_text_file(const char *name, const std::string &text);
