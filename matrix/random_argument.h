// The --random argument and seed as they are written: on the command line, and on the first
// line "# --random 3 --seed 48213" of a hand-in made from them.
#pragma once

#include <cstdint>
#include <string>

// Reads a whole number of one or two digits from 1 to `largest`.
bool read_small_number(const std::string &text, int largest, int &number);

// Reads the value of --random: the order N of a square system, or its shape MxN (also "MXN"),
// M equations in N unknowns, each from 1 to 10.
bool read_random_shape(const std::string &text, int &rows, int &unknowns);

// Reads the value of --seed: a whole number from 0 to 2^64 - 1, digits only.
bool read_seed(const std::string &text, std::uint64_t &seed);

// The system a hand-in's first line names.
struct RandomLine {
    std::string argument; // ARG as written, "3" or "3x4"
    int rows = 0;         // its equations
    int unknowns = 0;     // its unknowns
    std::uint64_t seed = 0;
};

// What a hand-in's first line says of its system.
enum RandomLineRead {
    random_line_none,       // it is not a "# --random" line
    random_line_unreadable, // it starts as one, but its ARG or S cannot be read
    random_line_read,       // it names a system: `line` holds it
};

// Reads the line "# --random ARG --seed S" (ARG "3" or "3x4", S the decimal seed), the first of
// a hand-in made from a random exercise; spaces may be more, a final "\r" and a UTF-8 byte order
// mark before "#" are allowed.
RandomLineRead read_random_line(const std::string &text, RandomLine &line);
