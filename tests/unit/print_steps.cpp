// Prints the worked solution of a matrix file on standard output, as the program's --steps will:
// print_steps [--latex] FILE. The LaTeX test compiles what it prints.
#include "matrix/worked_solution.h"

#include <cstdio>
#include <cstring>

// Prints FILE's worked solution and returns print_worked_solution's status (64 on bad usage).
int main(int argc, char **argv)
{
    const bool latex = argc == 3 && std::strcmp(argv[1], "--latex") == 0;
    if (argc != 2 && !latex) {
        std::fprintf(stderr, "usage: print_steps [--latex] FILE\n");
        return 64;
    }
    return print_worked_solution(argv[argc - 1], latex ? notation_latex : notation_plain, stdout,
                                 stderr);
}
