// The command line: a file to open, a printed worked solution or worksheet, a random exercise,
// the check of a hand-worked solution, the window's zoom, help.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The exit status of a command line that cannot be understood.
constexpr int exit_usage = 64;
constexpr int max_variants = 99; // the most variants --exercise --random prints

// What the command line asks for.
enum CommandAction {
    command_run,         // open the window (with `file` loaded, when given)
    command_steps,       // print the worked solution of `file`
    command_exercise,    // print a worksheet of the systems in `files`, answers at the end
    command_variants,    // print a worksheet of `count` random variants from `seed`
    command_random,      // print a random system of `random_order` x `random_unknowns`
    command_check,       // check the hand-ins in `files` (after the system `file`, when no
                         // --random gives it), with `inverse` inversions of its matrix
    command_inverse,     // print the inversion of the square matrix in `file`, step by step
    command_help,        // print the usage
    command_version,     // print the version
    command_usage_error, // print `error` and the usage on standard error
};

// A command line, understood.
struct CommandLine {
    CommandAction action = command_run;
    std::string file;               // the matrix file, "" when none was given
    std::vector<std::string> files; // every file named, in order (--exercise takes several)
    int zoom = 0;                   // --zoom N, 0 when not given
    bool latex = false;             // --latex: the worked solution as LaTeX
    bool inverse = false;           // --inverse: the inverse matrix rather than the solution
    int random_order = 0;           // --random N or MxN: the random system's equations (N, M), 0
                                    // when not given
    int random_unknowns = 0;        // its unknowns: N of either form, 0 when not given
    int count = 0;                  // --count K: the variants of --exercise --random, 0 when not
                                    // given
    bool seed_given = false;        // --seed S was given
    std::uint64_t seed = 0;         // S: the same seed gives the same system
    std::string csv;                // --csv FILE: where --check writes its table, "" when not given
    std::string error;              // what is wrong, for command_usage_error
};

// Understands the arguments after the program's name.
CommandLine parse_command_line(int argc, const char *const *argv);

// The text --help prints: usage, options, the file format, the exit statuses.
std::string usage_text();

// The text --version prints.
std::string version_text();
