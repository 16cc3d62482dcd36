// The printed worked solution: hand-checked printouts, failures and their statuses, and the
// same steps and final matrix as the interactive solve of every example.
#include "matrix/elimination.h"
#include "matrix/learner_operation.h"
#include "matrix/latex_layout.h"
#include "matrix/matrix_file.h"
#include "matrix/random_system.h"
#include "matrix/store.h"
#include "matrix/work_check.h"
#include "matrix/work_file.h"
#include "matrix/worked_solution.h"
#include "store_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
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
h(A) = 2, h(A|b) = 2
det A = -6
)",
     ""},
    // no solution: the verdict where the plain elimination ends, then on to the reduced form
    {"2\n1 2 3\n2 4 7\n", 0, R"(1  2 | 3
2  4 | 7

Krok 1: R2 <- R2 - 2 R1
1  2 | 3
0  0 | 1

Sustava nema riesenie.
Pokracujeme az po redukovany tvar.

Krok 2: R1 <- R1 - 3 R2
1  2 | 0
0  0 | 1

Sustava nema riesenie: R2 znamena 0 = 1; h(A) = 1, h(A|b) = 2
det A = 0
)",
     ""},
    // infinitely many, already in the reduced form at the verdict
    {"2\n1 2 3\n2 4 6\n", 0, R"(1  2 | 3
2  4 | 6

Krok 1: R2 <- R2 - 2 R1
1  2 | 3
0  0 | 0

Sustava ma nekonecne vela rieseni.
Riesenie: x1 = 3 - 2 t1, x2 = t1; h(A) = 1, h(A|b) = 1
det A = 0
)",
     ""},
    // a zero first column: the verdict before any step
    {"2\n0 1 2\n0 3 6\n", 0, R"(0  1 | 2
0  3 | 6

Sustava ma nekonecne vela rieseni.
Pokracujeme az po redukovany tvar.

Krok 1: R2 <- R2 - 3 R1
0  1 | 2
0  0 | 0

Riesenie: x1 = t1, x2 = 2; h(A) = 1, h(A|b) = 1
det A = 0
)",
     ""},
    // a file that loads but reads otherwise than meant: warned on standard error
    {"1\n2-3\n", 0, R"(2 | 3

Krok 1: R1 <- (1/2) R1
1 | 3/2

Riesenie: x1 = 3/2
h(A) = 1, h(A|b) = 1
det A = 2
)",
     "Pozor, riadok 2: minus medzi cislami sa citalo ako oddelovac\n"},
    {"0\n", 0, "Sustava je prazdna.\n", ""},
    {nullptr, load_cannot_open, "", "Mam problemy so suborom.\n"},
    {"11\n1 2 3", load_too_large, "", "Matica v subore je prilis velka.\n"},
    {"2\n1 1 3\n1 x 1\n", load_invalid, "", "Neplatna matica!\n"},
    // other shapes: a matrix alone, reduced, with its rank and determinant; a system with more
    // unknowns than equations; a file in the form with a shape that does not load says where
    {"matica 2x2\n1 2\n3 4\n", 0, R"(1  2
3  4

Krok 1: R2 <- R2 - 3 R1
1   2
0  -2

Krok 2: R2 <- (-1/2) R2
1  2
0  1

Krok 3: R1 <- R1 - 2 R2
1  0
0  1

Redukovany stupnovity tvar: h(A) = 2
det A = -2
)",
     ""},
    {"# dve rovnice\nsustava 1x2\n1/2 0,5 | 1\n", 0, R"(1/2  1/2 | 1

Krok 1: R1 <- 2 R1
1  1 | 2

Riesenie: x1 = 2 - t1, x2 = t1; h(A) = 1, h(A|b) = 1
)",
     ""},
    {"sustava 2x2\n1 2 | 3\n4 5 6 | 1\n", load_invalid, "",
     "Neplatna matica!\nriadok 3: riadok matice ma 4 cisel, ma ich mat 3\n"},
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

// A file's contents and what printing its inversion gives; every matrix checked by hand.
const std::vector<FileCase> inverse_cases = {
    // a square system: its right-hand sides left out, and said
    {"2\n2 1 5\n1 1 3\n", 0, R"(2  1 | 1  0
1  1 | 0  1

Krok 1: R1 <- (1/2) R1
1  1/2 | 1/2  0
1    1 |   0  1

Krok 2: R2 <- R2 - R1
1  1/2 |  1/2  0
0  1/2 | -1/2  1

Krok 3: R2 <- 2 R2
1  1/2 | 1/2  0
0    1 |  -1  2

Krok 4: R1 <- R1 - (1/2) R2
1  0 |  1  -1
0  1 | -1   2

Inverzna matica: vpravo od ciary
h(A) = 2
det A = 1

A^-1 =
 1  -1
-1   2

Skuska: A * A^-1 = I, prvok po prvku presne.
)",
     "Prave strany sustavy sa pri inverznej matici vynechavaju; invertuje sa matica sustavy A.\n"},
    // a square matrix alone without an inverse: its zero row named, no A^-1
    {"matica 2x2\n1 2\n2 4\n", 0, R"(1  2 | 1  0
2  4 | 0  1

Krok 1: R2 <- R2 - 2 R1
1  2 |  1  0
0  0 | -2  1

Matica A nema inverznu maticu: R2 ma vlavo same nuly; h(A) = 1
det A = 0
)",
     ""},
    // fractions and a decimal comma in the file, one order
    {"matica 1x1\n-2/7\n", 0, R"(-2/7 | 1

Krok 1: R1 <- (-7/2) R1
1 | -7/2

Inverzna matica: vpravo od ciary
h(A) = 1
det A = -2/7

A^-1 =
-7/2

Skuska: A * A^-1 = I, prvok po prvku presne.
)",
     ""},
    {"matica 2x3\n1 2 3\n4 5 6\n", inverse_refused, "",
     "Inverzna matica je len pre stvorcovu maticu: A ma 2 riadky a 3 stlpce\n"},
    {"sustava 3x2\n1 2 | 3\n4 5 | 6\n7 8 | 9\n", inverse_refused, "",
     "Inverzna matica je len pre stvorcovu maticu: A ma 3 riadky a 2 stlpce\n"},
    {"11\n", load_too_large, "", "Matica v subore je prilis velka.\n"},
};

TEST(WorkedInverse, PrintsAIBesideAEveryStepAndTheInverseCheckedOrWhyThereIsNone)
{
    const std::string path = testing::TempDir() + "gj_worked_inverse.txt";
    for (const FileCase &c : inverse_cases) {
        SCOPED_TRACE(c.contents);
        std::FILE *file = std::fopen(path.c_str(), "w");
        ASSERT_NE(file, nullptr);
        std::fputs(c.contents, file);
        std::fclose(file);
        std::FILE *out = std::tmpfile();
        std::FILE *err = std::tmpfile();
        EXPECT_EQ(print_worked_inverse(path.c_str(), notation_plain, out, err), c.status);
        EXPECT_EQ(read_back(out), c.out);
        EXPECT_EQ(read_back(err), c.err);
    }
    std::remove(path.c_str());
}

TEST(WorkedInverse, CheckInverseAcceptsThePrintoutItselfAndFindsAWrongEntry)
{
    const std::string system = testing::TempDir() + "gj_inverse_system.txt";
    const std::string work = testing::TempDir() + "gj_inverse_work.txt";
    std::FILE *file = std::fopen(system.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs("3\n2 1 -1 8\n-3 -1 2 -11\n-2 1 2 -3\n", file);
    std::fclose(file);
    std::FILE *printed = std::fopen(work.c_str(), "w+");
    ASSERT_NE(printed, nullptr);
    std::FILE *ignored = std::tmpfile();
    ASSERT_EQ(print_worked_inverse(system.c_str(), notation_plain, printed, ignored), 0);
    std::fclose(printed);
    std::FILE *out = std::tmpfile();
    std::FILE *err = std::tmpfile();
    EXPECT_EQ(check_work(system.c_str(), work.c_str(), out, err, true), 0);
    const std::string report = read_back(out);
    EXPECT_NE(report.find("Vysledok je spravny: Inverzna matica: vpravo od ciary"),
              std::string::npos)
        << report;
    // One entry of the right block wrong after the first step: that step is named.
    std::FILE *read = std::fopen(work.c_str(), "r");
    ASSERT_NE(read, nullptr);
    std::string text = read_back(read);
    const std::size_t wrong = text.find("-1/2 | 1/2  0  0");
    ASSERT_NE(wrong, std::string::npos);
    text.replace(wrong, 16, "-1/2 | 1/3  0  0");
    file = std::fopen(work.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs(text.c_str(), file);
    std::fclose(file);
    out = std::tmpfile();
    EXPECT_EQ(check_work(system.c_str(), work.c_str(), out, err, true), check_found_mistakes);
    const std::string mistake = read_back(out);
    EXPECT_NE(mistake.find("Krok 1: "), std::string::npos) << mistake;
    EXPECT_EQ(mistake.find("Krok 1: v poriadku"), std::string::npos) << mistake;
    std::fclose(ignored);
    std::remove(system.c_str());
    std::remove(work.c_str());
}

TEST(WorkedSolution, LatexIsAWholeDocumentWithTheSignInFrontOfTheFraction)
{
    // The store ends with the solution as 1/-2.
    const std::string latex = print_file(examples + "/polovica.txt", notation_latex).out;
    ASSERT_EQ(latex.rfind("\\documentclass[a4paper,11pt]{article}\n\\usepackage{amsmath}\n", 0), 0u)
        << latex;
    EXPECT_EQ(latex.find("\\usepackage", 60), std::string::npos) << "a package beyond amsmath";
    const std::size_t body = latex.find("\\begin{document}\n");
    ASSERT_NE(body, std::string::npos);
    EXPECT_EQ(latex.substr(body), R"(\begin{document}
\raggedright
\section*{Gaussova--Jordanova eliminacia po krokoch}

Sustava rovnic:
\gjfit{\begin{array}{r@{\;=\;}r}
2x_{1} & -1
\end{array}
}

Rozsirena matica sustavy:
\gjfit{\left(\begin{array}{r|r}
2 & -1
\end{array}\right)
}

\textbf{Krok 1:} $R_{1} \leftarrow \frac{1}{2} R_{1}$
\gjfit{\left(\begin{array}{r|r}
1 & -\frac{1}{2}
\end{array}\right)
}

Riesenie: $x_{1} = -\frac{1}{2}$

$h(A) = 1$, $h(A|b) = 1$

$\det A = 2$
\end{document}
)");
}

TEST(WorkedSolution, LatexEquationsKeepEachUnknownInItsColumn)
{
    set_system({{2, 1, -1, 8}, {0, -3, 2, -11}, {0, 0, 0, 5}});
    EXPECT_EQ(latex_equations(), R"(\gjfit{\begin{array}{r@{}r@{}r@{\;=\;}r}
2x_{1} & {}+ x_{2} & {}- x_{3} & 8 \\
 & -3x_{2} & {}+ 2x_{3} & -11 \\
 &  & 0 & 5
\end{array}
}
)");
    reset_store();
}

// A matrix of order n, every entry of `digits` digits, the signs alternating, and in halves of
// the rows a fraction over another such number; and how LaTeX sets it.
struct LayoutCase {
    std::size_t order;
    std::size_t digits;
    bool fractions;
    bool equations;
    LatexLayout layout;
    const char *start; // how its text starts
};

const std::vector<LayoutCase> layout_cases = {
    {10, 4, false, false, layout_display, "\\gjfit{"},        // as every example
    {10, 8, false, false, layout_display, "\\gjfitelse{"},    // TeX's measure decides
    {10, 10, false, false, layout_lines, "\\begin{gjlines}"}, // wider than any display size
    {10, 10, true, false, layout_lines, "\\begin{gjlines}"},
    {3, 25, false, false, layout_display, "\\gjfit{"},
    {3, 40, false, false, layout_lines, "\\begin{gjlines}"},
    {1, 50, true, false, layout_display, "\\gjfit{"},
    {10, 4, false, true, layout_display, "\\gjfit{"},
    {10, 10, false, true, layout_lines, "\\begin{gjlines}"},
    {10, 120, true, true, layout_lines, "\\begin{gjlines}"},
};

// The rows of a layout case.
ValueRows layout_rows(const LayoutCase &c)
{
    const mpz_class top(std::string(c.digits, '7'));
    const mpz_class bottom(std::string(c.digits, '3'));
    ValueRows rows(c.order);
    for (std::size_t r = 0; r < c.order; r++)
        for (std::size_t column = 0; column <= c.order; column++) {
            const mpq_class value((r + column) % 2 ? -top : top,
                                  c.fractions && r % 2 ? bottom : mpz_class(1));
            rows[r].push_back(value);
        }
    return rows;
}

// The longest run of digits in `text`.
std::size_t longest_digit_run(const std::string &text)
{
    std::size_t longest = 0;
    std::size_t run = 0;
    for (const char ch : text) {
        run = ch >= '0' && ch <= '9' ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

TEST(WorkedSolution, LatexSetsAMatrixOrSystemTooWideForAnyDisplayAsLinesThatBreak)
{
    for (const LayoutCase &c : layout_cases) {
        SCOPED_TRACE(std::to_string(c.order) + " x " + std::to_string(c.digits) + " digits" +
                     (c.equations ? ", equations" : ""));
        const ValueRows rows = layout_rows(c);
        EXPECT_EQ(latex_layout(rows, c.equations), c.layout);
        const std::string text = c.equations ? latex_system(rows) : latex_matrix(rows, c.order);
        EXPECT_EQ(text.rfind(c.start, 0), 0u) << text.substr(0, 60);
        const std::size_t lines = text.find("\\begin{gjlines}");
        if (std::string(c.start) == "\\gjfit{") {
            EXPECT_EQ(lines, std::string::npos) << "a display that surely fits needs no lines";
            continue;
        }
        ASSERT_NE(lines, std::string::npos) << "lines for TeX to set where no display fits";
        EXPECT_LE(longest_digit_run(text.substr(lines)), 3u) << "a line may break every 3 digits";
    }

    // Each row a paragraph of its own; 1, -1 and 0 as written on a line.
    const mpz_class big("1" + std::string(90, '0'));
    std::string grouped = "1";
    for (int k = 0; k < 30; k++)
        grouped += "\\gjb000";
    const ValueRows rows{{big, -1, mpq_class(-big, 7)}, {0, 1, 2}};
    EXPECT_EQ(latex_matrix(rows, 2), "\\begin{gjlines}\n\\gjrow $R_{1} = (" + grouped +
                                         "\\gjc\n-1\\gjv\n-" + grouped +
                                         "/7)$\n\n\\gjrow $R_{2} = (0\\gjc\n1\\gjv\n2)$\n\n"
                                         "\\end{gjlines}\n");
    EXPECT_EQ(latex_system(rows), "\\begin{gjlines}\n\\gjrow $" + grouped +
                                      "\\,x_{1}\n- x_{2}\n= -" + grouped +
                                      "/7$\n\n\\gjrow $x_{2}\n= 2$\n\n\\end{gjlines}\n");
}

TEST(WorkedSolution, ALongValueInTheLatexSolutionIsWrittenSoThatItsLineMayBreak)
{
    const std::string path = testing::TempDir() + "gj_long_value.txt";
    std::FILE *file = std::fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs("1\n3 1000000000000000000000001\n", file);
    std::fclose(file);
    const std::string latex = print_file(path, notation_latex).out;
    std::remove(path.c_str());
    // In the display the value is whole; in the closing statement it breaks.
    EXPECT_NE(latex.find("1 & \\frac{1000000000000000000000001}{3}"), std::string::npos) << latex;
    EXPECT_NE(latex.find("Riesenie: $x_{1} = "
                         "1\\gjb000\\gjb000\\gjb000\\gjb000\\gjb000\\gjb000\\gjb000\\gjb001/3$"),
              std::string::npos)
        << latex;
}

TEST(WorkedSolution, AWorksheetNumbersTheSystemsAndAnswersThemOnTheLastPage)
{
    matrix_shape = MatrixShape{};
    std::FILE *out = std::tmpfile();
    std::FILE *err = std::tmpfile();
    const std::vector<std::string> files{examples + "/dva.txt", examples + "/nekonecno.txt",
                                         examples + "/sporna.txt"};
    ASSERT_EQ(print_exercise_sheet(files, out, err), 0);
    const std::string sheet = read_back(out);
    EXPECT_EQ(read_back(err), "");
    for (const char *part :
         {"\\subsection*{Uloha 1}\n\\gjfit{\\begin{array}{r@{}r@{\\;=\\;}r}\nx_{1} & {}+ x_{2} & 3",
          "\\subsection*{Uloha 3}", "\\vspace{44mm}", "\\newpage\n\\section*{Vysledky}",
          "\\textbf{Uloha 1.} Riesenie: $x_{1} = 2$, $x_{2} = 1$",
          "\\textbf{Uloha 2.} Riesenie: $x_{1} = 3 - 2 t_{1}$, $x_{2} = t_{1}$",
          "\\textbf{Uloha 3.} Sustava nema riesenie: $R_{3}$ znamena $0 = 1$"})
        EXPECT_NE(sheet.find(part), std::string::npos) << part;
    EXPECT_LT(sheet.find("Uloha 3}"), sheet.find("Vysledky")) << "an answer before the last page";
    EXPECT_EQ(sheet.find("Krok"), std::string::npos) << "the worksheet shows no steps";
    EXPECT_EQ(sheet.substr(sheet.size() - 15), "\\end{document}\n");
    EXPECT_EQ(matrix_shape.rows, 0) << "the store is left as it was";

    // A file that cannot be loaded prints nothing, names itself and gives its status.
    out = std::tmpfile();
    err = std::tmpfile();
    const std::string missing = examples + "/nie_je.txt";
    EXPECT_EQ(print_exercise_sheet({examples + "/dva.txt", missing}, out, err), load_cannot_open);
    EXPECT_EQ(read_back(out), "");
    EXPECT_EQ(read_back(err), missing + ": Mam problemy so suborom.\n");
}

// A worksheet of variants holds, task by task, the systems that --random prints alone for the
// seeds it names (the same sheet as one made from those files, labels aside), the same on every
// run; the seeds wrap round after the largest.
TEST(WorkedSolution, AWorksheetOfVariantsNamesTheSeedThatPrintsEachTaskAlone)
{
    matrix_shape = MatrixShape{};
    const struct {
        int rows, unknowns, count;
        std::uint64_t seed;
        const char *size;
    } cases[] = {{3, 3, 4, 48213, "3"}, {2, 4, 3, UINT64_MAX - 1, "2x4"}, {4, 3, 2, 7, "4x3"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.size);
        std::vector<std::string> files;
        std::string labelled;
        for (int k = 1; k <= c.count; k++) {
            const std::uint64_t seed = variant_seed(c.seed, k);
            files.push_back(scratch_file("gj_variant_" + std::to_string(k) + ".txt",
                                         matrix_text(random_system(c.rows, c.unknowns, seed))));
        }
        std::FILE *out = std::tmpfile();
        std::FILE *err = std::tmpfile();
        ASSERT_EQ(print_variant_sheet(c.rows, c.unknowns, c.count, c.seed, out, err), 0);
        std::string sheet = read_back(out);
        EXPECT_EQ(read_back(err), "");
        out = std::tmpfile();
        ASSERT_EQ(print_variant_sheet(c.rows, c.unknowns, c.count, c.seed, out, stderr), 0);
        EXPECT_EQ(read_back(out), sheet) << "the same command gave another sheet";
        for (int k = 1; k <= c.count; k++) {
            const std::string seed = std::to_string(variant_seed(c.seed, k));
            const std::string label = "\\texttt{gauss-jordan -{}-random " + std::string(c.size) +
                                      " -{}-seed " + seed + "}\n\n";
            const std::string title = "\\subsection*{Uloha " + std::to_string(k) + "}\n";
            const std::size_t at = sheet.find(title + label);
            ASSERT_NE(at, std::string::npos) << "task " << k << " without its seed";
            sheet.erase(at + title.size(), label.size());
            const std::string answer = "\\textbf{Uloha " + std::to_string(k) + ".} (seed " + seed + ")";
            const std::size_t answer_at = sheet.find(answer);
            ASSERT_NE(answer_at, std::string::npos) << "answer " << k << " without its seed";
            sheet.erase(answer_at + answer.size() - (seed.size() + 8), seed.size() + 8);
        }
        out = std::tmpfile();
        ASSERT_EQ(print_exercise_sheet(files, out, stderr), 0);
        EXPECT_EQ(sheet, read_back(out)) << "the tasks are not the systems their seeds print";
    }
    EXPECT_EQ(variant_seed(UINT64_MAX, 2), 0u);
    EXPECT_EQ(matrix_shape.rows, 0) << "the store is left as it was";
}

// The program's steps so far, as W saves them, are the plain printout up to the last of them,
// and read back as a work they give the system they started from.
TEST(WorkedSolution, TheProgramsStepsSoFarAreThePrintoutUpToThem)
{
    for (const char *name : {"/tri.txt", "/vymena.txt", "/zlomky.txt", "/polovica.txt"}) {
        const std::string path = examples + name;
        const std::string whole = print_file(path).out;
        ASSERT_EQ(load_matrix_file(path.c_str()), load_ok) << name;
        const StoreSnapshot start = save_store();
        const int total = program_step_count(start);
        ASSERT_GT(total, 0) << name;
        for (int k = 1; k <= total + 1; k++) {
            const auto steps = program_work_steps(start, k);
            ASSERT_EQ(steps.size(), static_cast<std::size_t>(std::min(k, total))) << name << k;
            const std::string text = work_file_text("", start, steps);
            EXPECT_TRUE(store_equals(start)) << "the store was not left as it was";
            EXPECT_EQ(whole.substr(0, text.size() + 1), text + "\n") << name << " step " << k;
            StoreSnapshot system;
            ASSERT_TRUE(read_work_file_system(text, system)) << text;
            restore_store(system);
            EXPECT_TRUE(store_has_values_of(start)) << name;
            restore_store(start);
        }
    }
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

TEST(WorkedSolution, StepsAndFinalMatrixAreThoseOfTheSolveOnToTheReducedForm)
{
    for (const auto &entry : std::filesystem::directory_iterator(examples)) {
        const std::string path = entry.path().string();
        SCOPED_TRACE(path);
        matrix_shape = MatrixShape{};
        const Printout printed = print_file(path);
        EXPECT_EQ(matrix_shape.rows, 0); // the store is left as it was
        ASSERT_EQ(load_matrix_file(path.c_str()), load_ok);
        int steps = 0;
        run_elimination_now(&steps, reach_reduced_form);
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
