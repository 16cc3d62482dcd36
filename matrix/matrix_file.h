// Reading a matrix file into the store: the order, then every entry, exactly.
#pragma once

#include <gmpxx.h>

#include <cstdio>

// Result codes of loading a matrix, shared by the loader and its report.
enum LoadResult {
    load_ok = 0,          // loaded, or no name was entered
    load_cannot_open = 1, // the name is not a readable file
    load_too_large = 2,   // the order in the file exceeds 10
    load_invalid = 3,     // no order, a negative order, a missing or broken entry
};

// Reads one integer the way "%d" does (white space, optional sign, digits) but of any
// length. Returns 1 when read, 0 when the next text is not a number, EOF at end of file.
int read_integer(std::FILE *file, mpz_class &value);

// Opens a matrix file for reading; nullptr when it cannot be opened or is a directory.
std::FILE *open_matrix_file(const char *name);

// Reads the order and entries from file into the store. Returns a LoadResult;
// on any failure matrix_order is left at 0.
int read_matrix(std::FILE *file);
