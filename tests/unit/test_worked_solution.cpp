// The printed worked solution: hand-checked printouts, failures and their statuses, and the
// same steps and final matrix as the interactive solve of every example.
#include "matrix/elimination.h"
#include "matrix/matrix_file.h"
#include "matrix/store.h"
#include "matrix/worked_solution.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace
{

// What one printout wrote and returned.
struct Printout {
    int status;
    std::string out;
    std::string err;
};

// Everything written to a scratch file, which is then closed.
std::string read_back(std::FILE *file)
{
    std::string text;
    std::rewind(file);
    for (int c = std::getc(file); c != EOF; c = std::getc(file))
        text.push_back(static_cast<char>(c));
    std::fclose(file);
    return text;
}

// The worked solution of `path` in `style`, as printed on the two outputs.
Printout print_file(const std::string &path, NotationStyle style = notation_plain)
{
    std::FILE *out = std::tmpfile();
    std::FILE *err = std::tmpfile();
    const int status = print_worked_solution(path.c_str(), style, out, err);
    return {status, read_back(out), read_back(err)};
}

const std::string examples = EXAMPLES_DIR;

// A file's contents (nullptr: no such file) and what printing its worked solution gives;
// every matrix checked by hand.
struct FileCase {
    const char *contents;
    int status;
    const char *out;
    const char *err;
};

const std::vector<FileCase> file_cases = {
    // a row exchange first, then fractions; solved
    {"2\n0 2 -1\n3 1 2\n", 0, R"(0  2 | -1
3  1 |  2

Krok 1: R1 <-> R2
3  1 |  2
0  2 | -1

Krok 2: R1 <- (1/3) R1
1  1/3 | 2/3
0    2 |  -1

Krok 3: R2 <- (1/2) R2
1  1/3 |  2/3
0    1 | -1/2

Krok 4: R1 <- R1 - (1/3) R2
1  0 |  5/6
0  1 | -1/2

Riesenie: x1 = 5/6, x2 = -1/2
)",
     ""},
    {"2\n1 2 3\n2 4 7\n", 0, R"(1  2 | 3
2  4 | 7

Krok 1: R2 <- R2 - 2 R1
1  2 | 3
0  0 | 1

Sustava nema riesenie.
)",
     ""},
    {"2\n1 2 3\n2 4 6\n", 0, R"(1  2 | 3
2  4 | 6

Krok 1: R2 <- R2 - 2 R1
1  2 | 3
0  0 | 0

Sustava ma nekonecne vela rieseni.
)",
     ""},
    {"0\n", 0, "Sustava je prazdna.\n", ""},
    {nullptr, load_cannot_open, "", "Mam problemy so suborom.\n"},
    {"11\n1 2 3", load_too_large, "", "Matica v subore je prilis velka.\n"},
    {"2\n1 1 3\n1 x 1\n", load_invalid, "", "Neplatna matica!\n"},
};

TEST(WorkedSolution, PrintsEveryStepAndTheEndingOrTheLoadersMessageAndCode)
{
    const std::string path = testing::TempDir() + "gj_worked_solution.txt";
    for (const FileCase &c : file_cases) {
        SCOPED_TRACE(c.contents ? c.contents : "(no file)");
        std::remove(path.c_str());
        if (c.contents) {
            std::FILE *file = std::fopen(path.c_str(), "w");
            ASSERT_NE(file, nullptr);
            std::fputs(c.contents, file);
            std::fclose(file);
        }
        const Printout printed = print_file(path);
        EXPECT_EQ(printed.status, c.status);
        EXPECT_EQ(printed.out, c.out);
        EXPECT_EQ(printed.err, c.err);
    }
    std::remove(path.c_str());
}

TEST(WorkedSolution, LatexKeepsTheSignInFrontOfTheFraction)
{
    // The store ends with the solution as 1/-2.
    EXPECT_EQ(print_file(examples + "/polovica.txt", notation_latex).out,
              R"(\[
\left(\begin{array}{r|r}
2 & -1
\end{array}\right)
\]
\[
\xrightarrow{\text{Krok 1: } R_{1} \leftarrow \frac{1}{2} R_{1}}
\left(\begin{array}{r|r}
1 & -\frac{1}{2}
\end{array}\right)
\]
\[
\text{Riesenie: } x_{1} = -\frac{1}{2}
\]
)");
}

TEST(WorkedSolution, AnOutputThatCannotBeWrittenFails)
{
    std::FILE *full = std::fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr);
    std::FILE *err = std::tmpfile();
    EXPECT_EQ(print_worked_solution((examples + "/desat2.txt").c_str(), notation_plain, full, err),
              worked_solution_write_failed);
    std::fclose(full);
    EXPECT_EQ(read_back(err), "Vystup sa nepodarilo zapisat.\n");
}

TEST(WorkedSolution, StepsAndFinalMatrixAreTheInteractiveSolves)
{
    for (const auto &entry : std::filesystem::directory_iterator(examples)) {
        const std::string path = entry.path().string();
        SCOPED_TRACE(path);
        matrix_order = 0;
        const Printout printed = print_file(path);
        EXPECT_EQ(matrix_order, 0); // the store is left as it was
        ASSERT_EQ(load_matrix_file(path.c_str()), load_ok);
        int steps = 0;
        run_elimination_now(&steps);
        std::size_t count = 0;
        for (std::size_t at = printed.out.find("\nKrok "); at != std::string::npos;
             at = printed.out.find("\nKrok ", at + 1))
            count++;
        EXPECT_EQ(count, static_cast<std::size_t>(steps));
        // The last block, before the blank line and the ending; its caption line goes.
        const std::size_t ending = printed.out.rfind("\n\n");
        std::string last = printed.out.substr(0, ending + 1);
        last = last.substr(last.rfind("\n\n") + 2);
        if (steps > 0)
            last = last.substr(last.find('\n') + 1);
        EXPECT_EQ(last, matrix_block_text(notation_plain));
    }
}

} // namespace
