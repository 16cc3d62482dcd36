// The learner's own row operations in the core: the parser as one table, the program's hint and
// count against its own solve, and the check of hand-worked solutions as a table of WORK files.
#include "matrix/class_check.h"
#include "matrix/learner_operation.h"
#include "matrix/matrix_file.h"
#include "matrix/notation.h"
#include "matrix/operation_parser.h"
#include "matrix/random_system.h"
#include "matrix/store.h"
#include "matrix/work_check.h"
#include "matrix/worked_solution.h"
#include "store_helpers.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace
{

// A text the learner types, on a system of order 3, and what comes of it: the operation as the
// caption writes it back, or (ok false) the message, which must contain `expected`.
struct ParseCase {
    std::string text;
    bool ok;
    const char *expected;
};

const std::string too_long_factor = "1" + std::string(120, '0'); // 121 digits
const std::string longest_factor = std::string(120, '9');

const std::vector<ParseCase> parse_cases = {
    {"R2 <-> R3", true, "R2 <-> R3"},
    {"r3<->r1", true, "R3 <-> R1"},
    {"R2 <- (1/2) R2", true, "R2 <- (1/2) R2"},
    {"R2 <- 1/2 R2", true, "R2 <- (1/2) R2"},
    {"R2 <- -3 R2", true, "R2 <- -3 R2"},
    {"R2 <- -R2", true, "R2 <- -R2"},
    {"R2 <- (-2/4) R2", true, "R2 <- (-1/2) R2"},
    {"R2 <- 0.5 R2", true, "R2 <- (1/2) R2"},
    {"R2 <- .25 R2", true, "R2 <- (1/4) R2"},
    {"R2 <- 1.5 R2", true, "R2 <- (3/2) R2"},
    {"R3 <- R3 - 2 R1", true, "R3 <- R3 - 2 R1"},
    {"R3 <- R3 + (3/4) R1", true, "R3 <- R3 + (3/4) R1"},
    {"R3 <- R3 - R1", true, "R3 <- R3 - R1"},
    {"R3 <- R3 + R1", true, "R3 <- R3 + R1"},
    {"r3 <- r3 - (-2) r1", true, "R3 <- R3 + 2 R1"},
    {"  R1 <-R1+ 0.75R2  ", true, "R1 <- R1 + (3/4) R2"},
    {"R 1 <- R 1 - 2 R 3", true, "R1 <- R1 - 2 R3"},
    // As students write them: "=" and "->" for "<-" ("->" towards the row that changes),
    // division after the row, "*", the decimal comma, a sign standing apart, Unicode signs.
    {"R1 = 1/2 R1", true, "R1 <- (1/2) R1"},
    {"R1 -> 1/2 R1", true, "R1 <- (1/2) R1"},
    {"R3 - 2R1 -> R3", true, "R3 <- R3 - 2 R1"},
    {"-2 R1 + R3 -> R3", true, "R3 <- R3 - 2 R1"},
    {"R3 = -R1 + R3", true, "R3 <- R3 - R1"},
    {"R1 <- R1/2", true, "R1 <- (1/2) R1"},
    {"R1 <- R1 : 2", true, "R1 <- (1/2) R1"},
    {"R1 <- -R1/(2/3)", true, "R1 <- (-3/2) R1"},
    {"R3 <- R3 - R1/2", true, "R3 <- R3 - (1/2) R1"},
    {"R1 <- 1/2*R1", true, "R1 <- (1/2) R1"},
    {"R1 <- (1/2) * R1", true, "R1 <- (1/2) R1"},
    {"R2 <- R2 * 3", true, "R2 <- 3 R2"},
    {"R1 <- 0,5 R1", true, "R1 <- (1/2) R1"},
    {"R3 <- R3 - 2,5 R1", true, "R3 <- R3 - (5/2) R1"},
    {"R1 <- - 1/2 R1", true, "R1 <- (-1/2) R1"},
    {"R1 <- (- 1/2) R1", true, "R1 <- (-1/2) R1"},
    {"R2 \xe2\x86\x90 R2 \xe2\x88\x92 2 R1", true, "R2 <- R2 - 2 R1"},
    {"R1 \xe2\x86\x94 R3", true, "R1 <-> R3"},
    // The combined operation, one operation in its own form.
    {"R2 <- 2 R2 + 3 R1", true, "R2 <- 2 R2 + 3 R1"},
    {"R2 <- 2R2 - R1", true, "R2 <- 2 R2 - R1"},
    {"R2 <- 3 R2 + R1", true, "R2 <- 3 R2 + R1"},
    {"R2 <- 3 R1 - 2 R2", true, "R2 <- -2 R2 + 3 R1"},
    {"R2 = (1/2) R2 - 0,5 R1", true, "R2 <- (1/2) R2 - (1/2) R1"},
    {"R2 <- 0 R2 + R1", false, "nasobenie nulou"},
    {"R2 <- R2 - R1, R3 <- R3 - R1", false, "dve upravy v jednom riadku: pis kazdu zvlast"},
    {"R1 <-> R2; R2 <- 1/2 R2", false, "dve upravy v jednom riadku"},
    {"R2 <- R2 - 2 R1 + R3", false, "dve upravy v jednom riadku"},
    {"R1 -> R2", false, "R1 -> R2 nie je jasne: vymena je R1 <-> R2"},
    {"R1 <- R1 / 0", false, "delenie nulou nie je riadkova uprava"},
    {"R1 <- R1 : 0,0", false, "delenie nulou"},
    {"R1 <- R1 / 2/3", false, "delenie zlomkom nie je jasne bez zatvoriek"},
    {"R1 <- R1 : 2/3", false, "delenie zlomkom nie je jasne bez zatvoriek"},
    {"R1 <- R1 * 2/3", true, "R1 <- (2/3) R1"},
    {"R2 - R1 -> R3 - R1", false, "neznamy tvar"},
    {"R2 <- R2 - R1 R3", false, "neznamy tvar"},
    {"R2 <- 0,5", false, "neznamy tvar"},
    {"", false, "prazdna"},
    {"R2 R3", false, "neznamy tvar"},
    {"R2 <- 1/2", false, "neznamy tvar"},
    {"R2 <- 1 / 2 R2", false, "neznamy tvar"},
    {"R2 <- 2. R2", false, "neznamy tvar"},
    {"R2 <- R2 - -2 R1", false, "neznamy tvar"},
    {"x <- R2", false, "neznamy tvar"},
    {"R4 <-> R1", false, "R4 nie je riadok matice (R1 az R3)"},
    {"R0 <- 2 R0", false, "R0 nie je riadok matice"},
    {"R1 <- R1 - 2 R9999", false, "Taky riadok nie je riadok matice"},
    {"R2 <- 0 R2", false, "nasobenie nulou"},
    {"R2 <- 0.000 R2", false, "nasobenie nulou"},
    {"R2 <-> R2", false, "R2 sa neda vymenit sam so sebou"},
    {"R2 <- R2 + 3 R2", false, "k R2 sa neda pricitat nasobok R2"},
    {"R2 <- 3 R1", false, "nasobit sa da len ten isty riadok"},
    {"R2 <- R1 + R3", false, "pricitat sa da len k tomu istemu riadku"},
    {"R2 <- 1/0 R2", false, "cinitel deli nulou"},
    // A factor of 120 digits reads; one of 121 (written, or in lowest terms) is refused.
    {"R2 <- (" + longest_factor + "/2) R2", true, "R2 <- ("},
    {"R3 <- R3 - " + too_long_factor + " R1", false, "cinitel ma viac ako 120 cifier"},
    {"R2 <- 0." + std::string(119, '0') + "1 R2", false, "cinitel ma viac ako 120 cifier"},
    {"R2 <- (1/" + too_long_factor + ") R2", false, "cinitel ma viac ako 120 cifier"},
};

TEST(OperationParser, ReadsEveryFormAndNamesWhatIsWrong)
{
    for (const ParseCase &c : parse_cases) {
        const ParsedOperation parsed = parse_operation(c.text, 3);
        ASSERT_EQ(parsed.ok, c.ok) << c.text << ": " << parsed.message;
        if (c.ok) {
            EXPECT_TRUE(parsed.operation.learner) << c.text;
            EXPECT_EQ(operation_text(parsed.operation).rfind(c.expected, 0), 0u)
                << c.text << " -> " << operation_text(parsed.operation);
        } else {
            EXPECT_NE(parsed.message.find(c.expected), std::string::npos)
                << c.text << " -> " << parsed.message;
        }
    }
}

// A combined operation is one operation over every column, exact: row 2 becomes a times row 2
// plus b times row 1, whichever way it is written, and cancels to the same values as by hand.
TEST(LearnerOperation, ACombinedOperationIsDoneExactlyOverEveryColumn)
{
    const struct {
        const char *text;
        mpq_class a, b; // row 2 becomes a R2 + b R1
    } cases[] = {{"R2 <- 2 R2 + 3 R1", 2, 3},
                 {"R2 <- 2R2 - R1", 2, -1},
                 {"3 R1 - (2/3) R2 -> R2", mpq_class(-2, 3), 3},
                 {"R2 = R2/2 - 0,25 R1", mpq_class(1, 2), mpq_class(-1, 4)}};
    for (const auto &c : cases) {
        set_system({{2, 1, -1, 8}, {-3, -1, 2, -11}, {-2, 1, 2, -3}});
        cell(0, 1) = {mpz_class(1), mpz_class(3)}; // a fraction in row 1
        const StoreSnapshot before = save_store();
        const ParsedOperation parsed = parse_operation(c.text, 3);
        ASSERT_TRUE(parsed.ok) << c.text << ": " << parsed.message;
        apply_operation_now(parsed.operation);
        for (int col = 0; col < 4; col++) {
            const mpq_class own(snapshot_cell(before, 1, col).num,
                                snapshot_cell(before, 1, col).den);
            const mpq_class other(snapshot_cell(before, 0, col).num,
                                  snapshot_cell(before, 0, col).den);
            EXPECT_EQ(cell_value(1, col), c.a * own + c.b * other) << c.text << " column " << col;
            EXPECT_EQ(cell_value(0, col), other) << c.text;
            EXPECT_EQ(cell_value(2, col), mpq_class(snapshot_cell(before, 2, col).num)) << c.text;
        }
    }
}

// Systems for the hint and the count: every shipped example and random ones, some made singular
// (a row replaced by a combination of two others, or its right-hand side changed too).
std::vector<StoreSnapshot> systems_to_follow()
{
    std::vector<StoreSnapshot> systems;
    for (const auto &entry : std::filesystem::directory_iterator(EXAMPLES_DIR))
        if (load_matrix_file(entry.path().c_str()) == load_ok)
            systems.push_back(save_store());
    for (std::uint64_t seed = 1; seed <= 30; seed++) {
        const int order = 2 + static_cast<int>(seed % 5);
        StoreSnapshot system = random_system(order, seed);
        if (seed % 3 != 0) {
            const auto n = static_cast<std::size_t>(order);
            for (std::size_t c = 0; c <= n; c++)
                system.cells[c][1].num = 2 * system.cells[c][0].num - system.cells[c][n - 1].num;
            if (seed % 3 == 2)
                system.cells[n][1].num += 1; // no solution
        }
        systems.push_back(system);
    }
    return systems;
}

// The store compared by value: the sign may sit in either part and the fraction need not be in
// lowest terms, but every value and the order must match.
TEST(LearnerOperation, TheStoreIsComparedByValueWhateverFormItKeeps)
{
    struct Case {
        long num, den;    // what cell (1, 2) becomes
        int order;        // the order of the copy compared with
        bool same_values; // the store holds the copy's values
    };
    const Case cases[] = {
        {-1, 2, 2, true}, {1, -2, 2, true}, {-2, 4, 2, true}, {1, 2, 2, false}, {-1, 2, 1, false}};
    for (const Case &k : cases) {
        set_system({{1, 2, 3}, {4, 5, 6}});
        cell(1, 2) = {mpz_class(-1), mpz_class(2)};
        StoreSnapshot copy = save_store();
        copy.shape = square_shape(k.order);
        cell(1, 2) = {mpz_class(k.num), mpz_class(k.den)};
        EXPECT_EQ(store_has_values_of(copy), k.same_values) << k.num << "/" << k.den;
    }
}

// Doing the hint again and again, as a learner could by typing it, takes exactly the program's
// count of steps and ends on the matrix its own solve ends on, in the reduced form.
TEST(LearnerOperation, FollowingTheHintIsTheProgramsOwnSolve)
{
    for (const StoreSnapshot &system : systems_to_follow()) {
        restore_store(system);
        run_elimination_now(nullptr, reach_reduced_form);
        const StoreSnapshot solved = save_store();
        restore_store(system);
        const int count = program_step_count(system);
        int moves = 0;
        RowOperation next;
        while (next_program_operation(&next) && moves <= count) {
            const ParsedOperation typed =
                parse_operation(operation_text(next), matrix_shape.rows, max_work_digits);
            ASSERT_TRUE(typed.ok) << operation_text(next);
            apply_operation_now(typed.operation);
            moves++;
        }
        EXPECT_EQ(moves, count);
        EXPECT_TRUE(in_reduced_form());
        EXPECT_TRUE(store_has_values_of(solved));
    }
}

// ---------------------------------------------------------------------------
// --check

// What one check printed and returned.
struct Checked {
    int status;
    std::string out;
    std::string err;
};

// Checks the work `work` (a file name when `is_name`) against the system `system`, in files
// of this process's own, as ctest runs the cases of this file side by side.
Checked check(const std::string &system, const std::string &work, bool is_name = false)
{
    const std::string own = std::to_string(getpid()) + "_";
    const std::string system_path = scratch_file(own + "gj_check_system.txt", system);
    const std::string work_path = is_name ? work : scratch_file(own + "gj_check_work.txt", work);
    std::FILE *out = std::tmpfile();
    std::FILE *err = std::tmpfile();
    const int status = check_work(system_path.c_str(), work_path.c_str(), out, err);
    std::filesystem::remove(system_path);
    if (!is_name)
        std::filesystem::remove(work_path);
    return {status, read_back(out), read_back(err)};
}

// A WORK file for the system 2x + y = 5, x + 3y = 5 (x = 2, y = 1), and what the check prints.
struct WorkCase {
    const char *what;
    std::string work;
    int status;
    std::string out; // the report from its start, or the message on standard error
};

constexpr const char *two_by_two = "2\n2 1 5\n1 3 5\n";
const std::string long_entry_work = "R1 <-> R2\n1 3 | 5\n2 1 | 1" + std::string(2500, '0') + "\n";

// The printout's own worked solution of two_by_two, and the report of its check.
const std::string printed_work =
    "2  1 | 5\n1  3 | 5\n\nKrok 1: R1 <- (1/2) R1\n1  1/2 | 5/2\n1    3 |   5\n\n"
    "Krok 2: R2 <- R2 - R1\n1  1/2 | 5/2\n0  5/2 | 5/2\n\nKrok 3: R2 <- (2/5) R2\n"
    "1  1/2 | 5/2\n0    1 |   1\n\nKrok 4: R1 <- R1 - (1/2) R2\n1  0 | 2\n0  1 | 1\n\n"
    "Riesenie: x1 = 2, x2 = 1\n";
const std::string printed_steps_report =
    "Zadanie: v poriadku\nKrok 1: v poriadku\nKrok 2: v poriadku\nKrok 3: v poriadku\n"
    "Krok 4: v poriadku\nKoniec: matica je v redukovanom stupnovitom tvare.\n"
    "Vysledok je spravny: Riesenie: x1 = 2, x2 = 1\n";
const std::string printed_work_report =
    printed_steps_report + "Odpoved (riadok 20): v poriadku\nVsetky kroky su v poriadku.\n";

// `text` with every "\n" replaced by `line_end`.
std::string with_line_ends(const std::string &text, const std::string &line_end)
{
    std::string changed;
    for (char c : text)
        changed += c == '\n' ? line_end : std::string(1, c);
    return changed;
}

const std::string windows_work = with_line_ends(printed_work, "\r\n");
const std::string macintosh_work = with_line_ends(printed_work, "\r");
const std::string unended_work = printed_work.substr(0, printed_work.find("\n\nRiesenie"));
const std::string unended_report = printed_steps_report + "Vsetky kroky su v poriadku.\n";
constexpr const char *no_step = "Nie je co kontrolovat: v praci nie je ziadny krok.\n";

const std::vector<WorkCase> work_cases = {
    {"all right, the printout's own form", printed_work, 0, printed_work_report},
    {"the same with Windows line ends", windows_work, 0, printed_work_report},
    {"the same with old Macintosh line ends", macintosh_work, 0, printed_work_report},
    {"the last row without its line end", unended_work, 0, unended_report},
    {"an empty file", "", check_found_mistakes, no_step},
    {"blank lines and a sentence, no step", "\r\n\n  \nRiesenie: x1 = 2, x2 = 1\r\n",
     check_found_mistakes, no_step},
    {"all right by another way, bare operations on whole rows, decimals and free spacing",
     "r1<->r2\n1 3|5\n2 1|5\nR2 <- 1/2 R2\n1 3 | 5\n1 1/2 | 5/2\nR2 <- R2 - R1\n1 3 | 5\n"
     "0 -5/2 | -5/2\nR2<- -0.4R2\n1 3 5\n0 1 1\nR1 <- R1 - 3 R2\n  1   0 |  2\n  0   1 |  1\n",
     0,
     "Krok 1: v poriadku\nKrok 2: v poriadku\nKrok 3: v poriadku\nKrok 4: v poriadku\n"
     "Krok 5: v poriadku\nKoniec: matica je v redukovanom stupnovitom tvare.\n"
     "Vysledok je spravny: Riesenie: x1 = 2, x2 = 1\nVsetky kroky su v poriadku.\n"},
    {"one wrong entry, then right steps judged from the written matrix",
     "R2 <- R2 - (1/2) R1\n2 1 | 5\n0 5/2 | 7/2\nR2 <- (2/5) R2\n2 1 | 5\n0 1 | 7/5\n",
     check_found_mistakes,
     "Krok 1: riadok 2, stlpec 3: 7/2, spravne je 5/2\nKrok 2: v poriadku\n"
     "Koniec: matica nie je v redukovanom stupnovitom tvare.\n"
     "Vysledok sa z nej este neda precitat; spravny je: Riesenie: x1 = 2, x2 = 1\n"
     "Chyby: 1 z 2.\n"},
    {"a wrong operation, then a wrong answer in the reduced form",
     "R1 <- 0 R1\n1 0 | 2\n0 1 | 1\nR1 <- R1 + R2\n1 1 | 3\n0 1 | 1\nR1 <- R1 - R2\n1 0 | 3\n0 1 | "
     "1\n",
     check_found_mistakes,
     "Krok 1: nasobenie nulou nie je riadkova uprava\nKrok 2: v poriadku\n"
     "Krok 3: riadok 1, stlpec 3: 3, spravne je 2\n"
     "Koniec: matica je v redukovanom stupnovitom tvare.\n"
     "Vysledok je nespravny: Riesenie: x1 = 3, x2 = 1\nSpravny je: Riesenie: x1 = 2, x2 = 1\n"
     "Chyby: 2 z 3.\n"},
    {"the copied system alone", "2 1 | 5\r\n1 3 | 5\r\n", check_found_mistakes,
     "Zadanie: v poriadku\nNie je co kontrolovat: v praci nie je ziadny krok.\n"},
    {"a miscopied system, no step", "2 1 | 5\n1 3 | 6\n", check_found_mistakes,
     "Zadanie: riadok 2, stlpec 3: 6, spravne je 5\n"
     "Nie je co kontrolovat: v praci nie je ziadny krok.\n"},
    {"a row operation that names no row of the system", "R3 <-> R1\n1 3 | 5\n2 1 | 5\n",
     check_found_mistakes, "Krok 1: R3 nie je riadok matice (R1 az R2)\n"},
    // As students write: a comment, brackets, commas, "=" for "|", their own step numbers, a
    // sign apart, the decimal comma, "->" and ":", an answer line.
    {"all right in a student's own way of writing",
     "# --random 2 --seed 7\n[ 2, 1 = 5 ]\n[ 1, 3 = 5 ]\n1. R1 <-> R2\n[1, 3 | 5]\n[2, 1 | 5]\n"
     "Krok 2 z 4: R2 = R2 - 2R1\n1 3 | 5\n0 - 5 | -5\nUprava 7: R2 <- R2 : (-5)\n1 3 | 5\n"
     "0 1,0 | 1\n4) R1 -> R1 - 3 R2\n1 0 | 2\n0 1 | 1\nx = 2, y = 1\n",
     0,
     "Zadanie: v poriadku\nKrok 1: v poriadku\nKrok 2: v poriadku\nKrok 7: v poriadku\n"
     "Krok 4: v poriadku\nKoniec: matica je v redukovanom stupnovitom tvare.\n"
     "Vysledok je spravny: Riesenie: x1 = 2, x2 = 1\nOdpoved (riadok 16): v poriadku\n"
     "Vsetky kroky su v poriadku.\n"},
    {"an operation line starting with its term, the Unicode arrow, a step number in parentheses",
     "-2 R1 + R2 -> R2\n2 1 | 5\n-3 1 | -5\n2) R1 \xe2\x86\x94 R2\n-3 1 | -5\n2 1 | 5\n", 0,
     "Krok 1: v poriadku\nKrok 2: v poriadku\nKoniec: matica nie je v redukovanom"},
    {"a combined operation as one step, decimal commas",
     "R2 <- 2 R2 - R1\n2 1 | 5\n0 5 | 5\nR2 <- 0,2 R2\n2 1 | 5\n0 1 | 1\n"
     "R1 <- (R1 - R2) / 2\n1 0 | 2\n0 1 | 1\n",
     check_found_mistakes, "Krok 1: v poriadku\nKrok 2: v poriadku\nKrok 3: neznamy tvar"},
    {"a wrong answer under right steps", printed_work + "x1 = 2, x2 = 4\n", check_found_mistakes,
     printed_steps_report + "Odpoved (riadok 21): x2 = 4, spravne je 1\nChyby: 1 z 6.\n"},
    {"an answer that leaves out an unknown", "R1 <-> R2\n1 3 | 5\n2 1 | 5\ny = 1\n",
     check_found_mistakes,
     "Krok 1: v poriadku\nKoniec: matica nie je v redukovanom stupnovitom tvare.\n"
     "Vysledok sa z nej este neda precitat; spravny je: Riesenie: x1 = 2, x2 = 1\n"
     "Odpoved (riadok 4): x1 chyba\nChyby: 1 z 2.\n"},
    {"every wrong entry up to five, then how many more", "R1 <-> R2\n9 9 | 9\n9 9 | 9\n",
     check_found_mistakes,
     "Krok 1: riadok 1, stlpec 1: 9, spravne je 1; riadok 1, stlpec 2: 9, spravne je 3; "
     "riadok 1, stlpec 3: 9, spravne je 5; riadok 2, stlpec 1: 9, spravne je 2; "
     "riadok 2, stlpec 2: 9, spravne je 1; a dalsie nespravne cisla: 1\n"},
    {"a rounded decimal is named as such, a wrong one is not",
     "R1 <- 1/3 R1\n0.667 0,333 | 1.6\n1 3 | 5\n", check_found_mistakes,
     "Krok 1: riadok 1, stlpec 1: 0.667 je zaokruhlene 2/3: pis presne zlomky; "
     "riadok 1, stlpec 2: 0.333 je zaokruhlene 1/3: pis presne zlomky; "
     "riadok 1, stlpec 3: 8/5, spravne je 5/3\n"},
    // A line that cannot be read is its step's mistake, and the check goes on.
    {"a line of words", "R1 <-> R2\n1 3 | 5\n2 1 | 5\nTeraz odcitam\n", check_found_mistakes,
     "Krok 1: riadok 4: necakany text; ocakava sa uprava, riadok matice, odpoved alebo veta "
     "vypisu\n"},
    {"a line named by its number whatever the line ends",
     "R1 <-> R2\r\n1 3 | 5\r2 1 | 5\nTeraz\r\n", check_found_mistakes,
     "Krok 1: riadok 4: necakany text"},
    {"a row too short, the next step judged from the right matrix",
     "R1 <-> R2\n1 3 | 5\n2 1\nR2 <- R2 - 2 R1\n1 3 | 5\n0 -5 | -5\n", check_found_mistakes,
     "Krok 1: riadok 3: riadok matice ma 2 cisel, ma ich mat 3\nKrok 2: v poriadku\n"},
    {"a row too many", "R1 <-> R2\n1 3 | 5\n2 1 | 5\n0 0 | 0\n", check_found_mistakes,
     "Krok 1: riadok 4: matica ma viac riadkov"},
    {"an operation without its matrix", "R1 <-> R2\nR1 <- R1 - R2\n-1 2 | 0\n2 1 | 5\n",
     check_found_mistakes,
     "Krok 1: riadok 1: po uprave ma nasledovat matica: 2 riadkov, je ich 0\n"
     "Krok 2: v poriadku\n"},
    {"the bar elsewhere", "R1 <-> R2\n1 | 3 5\n2 1 | 5\n", check_found_mistakes,
     "Krok 1: riadok 2: ciara | ma byt pred poslednym cislom"},
    {"an equals sign elsewhere", "R1 <-> R2\n[1 = 3 5]\n2 1 | 5\n", check_found_mistakes,
     "Krok 1: riadok 2: ciara | ma byt pred poslednym cislom"},
    {"commas that read two ways", "R1 <-> R2\n1,3,5\n2 1 5\n", check_found_mistakes,
     "Krok 1: riadok 2: \"1,3,5\" nie je jasne: ciarka medzi cislicami je desatinna"},
    {"a decimal comma where a separator was meant", "R1 <-> R2\n1,3 5\n2 1 5\n",
     check_found_mistakes,
     "Krok 1: riadok 2: riadok matice ma 2 cisel, ma ich mat 3 (ciarka medzi cislicami je "
     "desatinna: 1,5 je 3/2)"},
    {"a broken step number", "Krok jeden: R1 <-> R2\n1 3 | 5\n2 1 | 5\n", check_found_mistakes,
     "Krok 1: za slovom Krok ma byt cislo kroku a dvojbodka"},
    {"an answer that cannot be read", "R1 <-> R2\n1 3 | 5\n2 1 | 5\nx = dva\n",
     check_found_mistakes, "Krok 1: riadok 4: hodnota x ma byt cislo"},
    {"a number too long", long_entry_work, check_found_mistakes,
     "Krok 1: riadok 3: cislo ma viac ako 2500 cifier"},
    {"no matrix at all", "Teraz odcitam\nR1 <-> R2\n", load_invalid,
     "gj_check_work.txt, riadok 1: necakany text"},
};

// Every WORK file of the table: its report (from the top) and status, or its message.
TEST(CheckWork, JudgesEachStepOfAHandWorkedSolution)
{
    for (const WorkCase &c : work_cases) {
        const Checked got = check(two_by_two, c.work);
        EXPECT_EQ(got.status, c.status) << c.what << "\n" << got.out << got.err;
        if (c.status == load_invalid)
            EXPECT_NE(got.err.find(c.out), std::string::npos) << c.what << "\n" << got.err;
        else
            EXPECT_EQ(got.out.rfind(c.out, 0), 0u) << c.what << "\n" << got.out;
    }
}

// A row 0 ... 0 | c reads as no solution at once, right or wrong; the work's answer is checked
// against a system without a unique solution too.
TEST(CheckWork, ARowOfZerosBeforeTheBarIsNoSolutionAtOnce)
{
    const std::string none = "2\n1 1 2\n2 2 5\n"; // x + y = 2, 2x + 2y = 5
    const struct {
        const char *what;
        std::string system, work;
        int status;
        std::vector<std::string> said; // in this order
    } cases[] = {
        {"no solution, rightly",
         none,
         "R2 <- R2 - 2 R1\n1 1 | 2\n0 0 | 1\n",
         0,
         {"Krok 1: v poriadku\n", "Koniec: riadok 2 znamena 0 = 1, sustava nema riesenie.\n",
          "Vysledok je spravny: Sustava nema riesenie", "Vsetky kroky su v poriadku.\n"}},
        {"an answer to a system without one",
         none,
         "R2 <- R2 - 2 R1\n1 1 | 2\n0 0 | 1\nx = 1, y = 1\n",
         check_found_mistakes,
         {"Odpoved (riadok 4): sustava nema jedine riesenie; spravne je: Sustava nema riesenie",
          "Chyby: 1 z 2.\n"}},
        {"no solution, wrongly",
         two_by_two,
         "R2 <- R2 - R1\n2 1 | 5\n0 0 | 3\n",
         check_found_mistakes,
         {"Krok 1: riadok 2, stlpec 1: 0, spravne je -1; riadok 2, stlpec 2: 0, spravne je 2; "
          "riadok 2, stlpec 3: 3, spravne je 0\n",
          "Koniec: riadok 2 znamena 0 = 3, sustava nema riesenie.\n"
          "Vysledok je nespravny; spravny je: Riesenie: x1 = 2, x2 = 1\n"}},
    };
    for (const auto &c : cases) {
        const Checked got = check(c.system, c.work);
        EXPECT_EQ(got.status, c.status) << c.what << "\n" << got.out << got.err;
        std::size_t at = 0;
        for (const std::string &part : c.said) {
            const std::size_t found = got.out.find(part, at);
            EXPECT_NE(found, std::string::npos) << c.what << ": " << part << "\n" << got.out;
            at = found == std::string::npos ? at : found + part.size();
        }
    }
}

// A file of `size` bytes in the temporary folder, starting with `head` and the rest zeros (on most
// file systems taking no room); returns its path.
std::string sized_file(const std::string &name, const std::string &head, std::uintmax_t size)
{
    const std::string path = scratch_file(name, head);
    std::filesystem::resize_file(path, size);
    return path;
}

// A system or a WORK file that cannot be read: the loader's statuses, with their messages. A
// WORK file that is not a regular file or a pipe, or is too large, is refused before any reading.
TEST(CheckWork, FilesThatCannotBeReadGiveTheLoadersStatuses)
{
    EXPECT_EQ(check("11\n", "").status, load_too_large);
    EXPECT_EQ(check("2\n1 x\n", "").status, load_invalid);
    const std::string folder = std::filesystem::temp_directory_path().string();
    const struct {
        std::string work;
        int status;
        std::string message;
    } cases[] = {
        {"/nonexistent/work.txt", load_cannot_open,
         "/nonexistent/work.txt: subor sa neda precitat"},
        {folder, load_cannot_open, folder + ": nie je obycajny subor"},
        {"/dev/zero", load_cannot_open, "/dev/zero: nie je obycajny subor"},
        {sized_file("gj_check_large.txt", "R1 <-> R2\n", max_work_bytes + 1), load_too_large,
         "gj_check_large.txt: subor je vacsi ako 64 MB, taku pracu program nekontroluje"},
        // One of exactly the largest size is read: here it stops at its second line.
        {sized_file("gj_check_largest.txt", "R1 <-> R2\nTeraz\n", max_work_bytes), load_invalid,
         "gj_check_largest.txt, riadok 2: necakany text"},
    };
    for (const auto &c : cases) {
        const auto started = std::chrono::steady_clock::now();
        const Checked got = check(two_by_two, c.work, true);
        const auto took = std::chrono::steady_clock::now() - started;
        EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(took).count(), 2000)
            << c.work;
        EXPECT_EQ(got.status, c.status) << c.work << "\n" << got.err;
        EXPECT_NE(got.err.find(c.message), std::string::npos) << got.err;
        EXPECT_EQ(got.out, "") << c.work;
    }
    std::filesystem::remove(folder + "/gj_check_large.txt");
    std::filesystem::remove(folder + "/gj_check_largest.txt");
}

// Checks the WORK text `text` coming through a FIFO, filled by a thread of its own as a shell's
// <(...) fills its pipe.
Checked check_through_pipe(const std::string &text)
{
    const std::string fifo = (std::filesystem::temp_directory_path() / "gj_check_pipe").string();
    std::filesystem::remove(fifo);
    EXPECT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const int idle_reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK); // the writer opens at once
    const int writer = open(fifo.c_str(), O_WRONLY);
    std::thread filler([&] {
        for (std::size_t done = 0; done < text.size();) {
            const ssize_t wrote = write(writer, text.data() + done, text.size() - done);
            if (wrote <= 0)
                break; // the check stopped reading and every reader is gone
            done += static_cast<std::size_t>(wrote);
        }
        close(writer);
    });
    const Checked got = check(two_by_two, fifo, true);
    close(idle_reader);
    filler.join();
    std::filesystem::remove(fifo);
    return got;
}

// A pipe is read as it comes, within the same bound as a file; one without a writer reads as
// empty instead of blocking.
TEST(CheckWork, APipeIsReadWithinTheBound)
{
    const auto ignored = std::signal(SIGPIPE, SIG_IGN); // a filler cut off must not end the test
    const Checked printed = check_through_pipe(printed_work);
    EXPECT_EQ(printed.status, 0) << printed.err;
    EXPECT_EQ(printed.out, printed_work_report);
    std::string endless(max_work_bytes + 1, ' ');
    for (std::size_t k = 1000; k < endless.size(); k += 1000)
        endless[k] = '\n';
    const Checked large = check_through_pipe(endless);
    EXPECT_EQ(large.status, load_too_large);
    EXPECT_NE(large.err.find("gj_check_pipe: subor je vacsi ako 64 MB"), std::string::npos);
    EXPECT_EQ(large.out, "");
    std::signal(SIGPIPE, ignored);

    const std::string fifo = (std::filesystem::temp_directory_path() / "gj_check_unfed").string();
    std::filesystem::remove(fifo);
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    Checked unfed;
    expect_no_blocking(fifo, [&] { unfed = check(two_by_two, fifo, true); });
    EXPECT_EQ(unfed.status, check_found_mistakes);
    EXPECT_EQ(unfed.out, no_step);
    std::filesystem::remove(fifo);
}

// The printout of every example and of random systems, singular ones with the verdict and the
// steps past it included, passes its own check, however large its numbers.
TEST(CheckWork, EveryPrintedWorkedSolutionPasses)
{
    std::vector<StoreSnapshot> systems = systems_to_follow();
    StoreSnapshot large = random_system(6, 99);
    for (int r = 0; r < 6; r++)
        for (int c = 0; c <= 6; c++)
            large.cells[static_cast<std::size_t>(c)][static_cast<std::size_t>(r)].num *=
                mpz_class(std::string(110, '7') + std::to_string(r * 7 + c));
    systems.push_back(large);
    for (const StoreSnapshot &system : systems) {
        const std::string system_path = scratch_file("gj_check_each.txt", matrix_text(system));
        std::FILE *printed = std::tmpfile();
        ASSERT_EQ(print_worked_solution(system_path.c_str(), notation_plain, printed, stderr), 0);
        const std::string work = read_back(printed);
        const Checked got = check(matrix_text(system), work);
        EXPECT_EQ(got.status, 0) << work << got.out << got.err;
        EXPECT_NE(got.out.find("Vysledok je spravny"), std::string::npos) << got.out;
    }
}

// ---------------------------------------------------------------------------
// --check of a whole class

// What a class's check printed, returned and wrote as its table.
struct ClassChecked {
    int status;
    std::string out;
    std::string err;
    std::string csv; // "" when no table was written
};

// Checks `works` against `system` (its file made from `system_text` when that is not empty),
// the table written to the scratch file "tabulka.csv" of `folder`.
ClassChecked check_class_of(ClassSystem system, const std::string &system_text,
                            const std::vector<std::string> &works, const std::string &folder)
{
    if (!system_text.empty())
        system.file = scratch_file("gj_class_system.txt", system_text);
    const std::string table = folder + "/tabulka.csv";
    std::filesystem::remove(table);
    std::FILE *out = std::tmpfile();
    std::FILE *err = std::tmpfile();
    const int status = check_class(system, works, table, out, err);
    std::ifstream written(table, std::ios::binary);
    const std::string csv((std::istreambuf_iterator<char>(written)),
                          std::istreambuf_iterator<char>());
    return {status, read_back(out), read_back(err), csv};
}

// A folder of this process's scratch folder, made empty.
std::string fresh_folder(const std::string &name)
{
    const std::filesystem::path folder = scratch_folder() / name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder.string();
}

// A hand-in of a class's folder for two_by_two: its file, its text, its line of the table
// after "<name>: " and its CSV line after "<name>".
struct HandInCase {
    const char *file;
    std::string text;
    std::string line;
    std::string csv;
};

const std::string no_matrix_reason =
    "riadok 1: necakany text; ocakava sa uprava, riadok matice, odpoved alebo veta vypisu";

const std::string all_right = "kroky v poriadku: 4 z 4; redukovany tvar: ano; vysledok: spravny";

const std::vector<HandInCase> class_folder = {
    {"a_right.txt", printed_work, all_right, ",4,4,,,,,,,ano,spravny,ano"},
    {"b_mistake.txt",
     "R2 <- R2 - (1/2) R1\n2 1 | 5\n0 5/2 | 7/2\nR2 <- (2/5) R2\n2 1 | 5\n0 1 | 7/5\n",
     "kroky v poriadku: 1 z 2; prva chyba: Krok 1: riadok 2, stlpec 3: 7/2, spravne je 5/2; "
     "redukovany tvar: nie; vysledok: este sa neda precitat",
     ",1,2,Krok 1,2,3,7/2,5/2,,nie,este sa neda precitat,nie"},
    {"c_route.txt",
     "r1<->r2\n1 3|5\n2 1|5\nR2 <- 1/2 R2\n1 3 | 5\n1 1/2 | 5/2\nR2 <- R2 - R1\n1 3 | 5\n"
     "0 -5/2 | -5/2\nR2<- -0.4R2\n1 3 5\n0 1 1\nKrok 9: R1 <- R1 - 3 R2\n1 0 | 2\n0 1 | 1\n",
     "kroky v poriadku: 5 z 5; redukovany tvar: ano; vysledok: spravny",
     ",5,5,,,,,,,ano,spravny,ano"},
    {"d_answer.txt", printed_work + "x1 = 2, x2 = 4\n",
     "kroky v poriadku: 4 z 4; prva chyba: Odpoved (riadok 21): x2 = 4, spravne je 1; "
     "redukovany tvar: ano; vysledok: nespravny",
     ",4,4,Odpoved (riadok 21),,,,,\"x2 = 4, spravne je 1\",ano,nespravny,nie"},
    {"e_operation.txt", "R1 <- 0 R1\n1 0 | 2\n0 1 | 1\n",
     "kroky v poriadku: 0 z 1; prva chyba: Krok 1: nasobenie nulou nie je riadkova uprava; "
     "redukovany tvar: ano; vysledok: spravny",
     ",0,1,Krok 1,,,,,nasobenie nulou nie je riadkova uprava,ano,spravny,nie"},
    {"f_other.txt", "3 1 | 7\n1 2 | 4\nR1 <-> R2\n1 2 | 4\n3 1 | 7\n",
     "praca je k inej sustave: zadanie sa lisi v 4 z 6 cisel",
     ",,,,,,,,praca je k inej sustave: zadanie sa lisi v 4 z 6 cisel,,,nie"},
    {"g_binary.bin", std::string("\x7f"
                                 "ELF\x02\x01\x00\x00"
                                 "R1 <-> R2\n",
                                 18), "nie je textovy subor",
     ",,,,,,,,nie je textovy subor,,,nie"},
    {"h_empty.txt", "", "subor je prazdny", ",,,,,,,,subor je prazdny,,,nie"},
    {"i_notes.txt", "Poznamky k hodine\n", no_matrix_reason,
     ",,,,,,,,\"" + no_matrix_reason + "\",,,nie"},
    {"j_comment.txt", "# --random 2 --seed 7\r\n\r\n", "v praci nie je ziadny krok",
     ",,,,,,,,v praci nie je ziadny krok,,,nie"},
    {"k \"quoted\", named.txt", printed_work, all_right, ",4,4,,,,,,,ano,spravny,ano"},
};

// A folder of hand-made hand-ins: a line for each file by name, hidden files, folders, the
// system and an earlier table left out, a FIFO a line of its own; the total, the table as CSV
// and the status.
TEST(CheckClass, AFolderOfHandInsIsOneLineEachThenTheTotalAndTheTable)
{
    const std::string folder = fresh_folder("trieda");
    std::string out, csv = "praca,kroky v poriadku,kroky,prva chyba,riadok,stlpec,napisane,"
                           "spravne,dovod,redukovany tvar,vysledok,spravna praca\r\n";
    for (const HandInCase &c : class_folder) {
        std::ofstream(folder + "/" + c.file, std::ios::binary) << c.text;
        const std::string name = folder + "/" + c.file;
        out += name + ": " + c.line + "\n";
        const std::string quoted = "\"" + folder + "/k \"\"quoted\"\", named.txt\"";
        csv += (name.find('"') == std::string::npos ? name : quoted) + c.csv + "\r\n";
    }
    ASSERT_EQ(mkfifo((folder + "/l_fifo").c_str(), 0600), 0);
    out += folder + "/l_fifo: nie je obycajny subor\n";
    csv += folder + "/l_fifo,,,,,,,,nie je obycajny subor,,,nie\r\n";
    std::ofstream(folder + "/.skryta.txt") << "Teraz\n";
    std::filesystem::create_directory(folder + "/podpriecinok");
    std::ofstream(folder + "/podpriecinok/x.txt") << "Teraz\n";
    std::ofstream(folder + "/tabulka.csv") << "stara tabulka\n";
    std::ofstream(folder + "/sustava.txt") << two_by_two;
    ClassSystem system;
    system.file = folder + "/sustava.txt";
    ClassChecked got;
    expect_no_blocking(folder + "/l_fifo", [&] {
        std::FILE *o = std::tmpfile();
        std::FILE *e = std::tmpfile();
        const int status = check_class(system, {folder}, folder + "/tabulka.csv", o, e);
        got = {status, read_back(o), read_back(e), ""};
    });
    std::ifstream written(folder + "/tabulka.csv", std::ios::binary);
    got.csv.assign(std::istreambuf_iterator<char>(written), std::istreambuf_iterator<char>());
    EXPECT_EQ(got.status, check_found_mistakes) << got.err;
    EXPECT_EQ(got.out, out + "Spravne prace: 3 z 12.\n");
    EXPECT_EQ(got.err, "");
    EXPECT_EQ(got.csv, csv);
}

// Names of files and folders mixed: each file itself, in the order given; a right class is 0.
TEST(CheckClass, FilesAndFoldersInTheirOrderAndEveryReasonALine)
{
    const std::string folder = fresh_folder("trieda_mix");
    const std::string right = scratch_file("gj_class_right.txt", printed_work);
    const std::string empty_folder = fresh_folder("trieda_prazdna");
    std::filesystem::create_directory(folder + "/b");
    std::ofstream(folder + "/b/z.txt") << printed_work;
    std::ofstream(folder + "/b/a.txt") << windows_work;
    const std::string large = sized_file("gj_class_large.txt", "R1 <-> R2\n", max_work_bytes + 1);
    const std::string odd = fresh_folder("trieda_mena");
    std::ofstream(odd + "/zl\xff" "e\n.txt") << printed_work; // neither UTF-8 nor one line
    const struct {
        const char *what;
        std::vector<std::string> works;
        int status;
        std::string out;
    } cases[] = {
        {"all right", {folder + "/b", right}, 0,
         folder + "/b/a.txt: " + all_right + "\n" + folder + "/b/z.txt: " + all_right + "\n" +
             right + ": " + all_right + "\nSpravne prace: 3 z 3.\n"},
        {"a name shown without its control characters and bytes that are not UTF-8", {odd}, 0,
         odd + "/zl?e?.txt: " + all_right + "\nSpravne prace: 1 z 1.\n"},
        {"what cannot be read", {"/nonexistent/jana.txt", empty_folder, large, "/dev/zero", folder},
         check_found_mistakes,
         "/nonexistent/jana.txt: subor sa neda precitat\n" + empty_folder +
             ": v priecinku nie je ziadna praca\n" + large +
             ": subor je vacsi ako 64 MB, taku pracu program nekontroluje\n"
             "/dev/zero: nie je obycajny subor\n" +
             folder + ": v priecinku nie je ziadna praca\nSpravne prace: 0 z 5.\n"},
    };
    for (const auto &c : cases) {
        const ClassChecked got = check_class_of(ClassSystem{}, two_by_two, c.works, folder);
        EXPECT_EQ(got.status, c.status) << c.what << "\n" << got.err;
        EXPECT_EQ(got.out, c.out) << c.what;
        EXPECT_EQ(got.err, "") << c.what;
        EXPECT_EQ(std::count(got.csv.begin(), got.csv.end(), '\n'),
                  std::count(got.out.begin(), got.out.end(), '\n'))
            << c.what << "\n" << got.csv;
    }
    std::filesystem::remove(large);
}

// One hand-in named as a file keeps the detailed report, its status and messages; --csv adds
// its line of the table.
TEST(CheckClass, OneFileKeepsTheDetailedReport)
{
    const std::string folder = fresh_folder("jeden");
    const std::string work = scratch_file("gj_class_one.txt", printed_work + "x1 = 2, x2 = 4\n");
    ClassChecked got = check_class_of(ClassSystem{}, two_by_two, {work}, folder);
    EXPECT_EQ(got.status, check_found_mistakes);
    EXPECT_EQ(got.out,
              printed_steps_report + "Odpoved (riadok 21): x2 = 4, spravne je 1\nChyby: 1 z 6.\n");
    EXPECT_NE(got.csv.find("\r\n" + work + ",4,4,Odpoved (riadok 21),"), std::string::npos)
        << got.csv;
    got = check_class_of(ClassSystem{}, two_by_two, {"/nonexistent/x.txt"}, folder);
    EXPECT_EQ(got.status, load_cannot_open);
    EXPECT_EQ(got.err, "/nonexistent/x.txt: subor sa neda precitat\n");
    EXPECT_EQ(got.out, "");
    // A system that cannot be loaded ends the run before any hand-in, and writes no table.
    got = check_class_of(ClassSystem{}, "2\n1 x\n", {work, work}, folder);
    EXPECT_EQ(got.status, load_invalid);
    EXPECT_EQ(got.out, "");
    EXPECT_EQ(got.csv, "");
    // A table that cannot be written is status 4, after the lines.
    ClassSystem system;
    system.file = scratch_file("gj_class_system.txt", two_by_two);
    std::FILE *out = std::tmpfile();
    std::FILE *err = std::tmpfile();
    EXPECT_EQ(check_class(system, {work, work}, "/nonexistent/t.csv", out, err), 4);
    EXPECT_EQ(read_back(err), "/nonexistent/t.csv: tabulku sa neda zapisat\n");
    EXPECT_NE(read_back(out).find("Spravne prace: 0 z 2.\n"), std::string::npos);
}

// The printed worked solution of random_system(rows, unknowns, seed), headed by `head`.
std::string random_work(const std::string &head, int rows, int unknowns, std::uint64_t seed)
{
    const std::string system =
        scratch_file("gj_class_random.txt", matrix_text(random_system(rows, unknowns, seed)));
    std::FILE *printed = std::tmpfile();
    EXPECT_EQ(print_worked_solution(system.c_str(), notation_plain, printed, stderr), 0);
    return head + read_back(printed);
}

// --random N --seed S: one system for all, a hand-in naming another one is a line of its own;
// --random N alone: each hand-in's system from its first line, one without it (or unreadable, or
// of another shape) a line of its own.
TEST(CheckClass, RandomSystemsFromTheSeedOrFromEachHandInsFirstLine)
{
    const std::string folder = fresh_folder("nahodne");
    const std::vector<std::pair<std::string, std::string>> files = {
        {"a.txt", random_work("# --random 3 --seed 5\n", 3, 3, 5)},
        {"b.txt", random_work("", 3, 3, 5)},
        {"c.txt", random_work("#  --random 3x3   --seed 6 \r\n", 3, 3, 6)},
        {"d.txt", random_work("# --random 3 --seed x\n", 3, 3, 6)},
        {"e.txt", random_work("# --random 2x3 --seed 6\n", 2, 3, 6)},
    };
    for (const auto &file : files)
        std::ofstream(folder + "/" + file.first, std::ios::binary) << file.second;
    const std::string right = ": kroky v poriadku: ";
    ClassSystem given;
    given.random_rows = given.random_unknowns = 3;
    given.seed_given = true;
    given.seed = 5;
    ClassSystem own = given;
    own.seed_given = false;
    const struct {
        ClassSystem system;
        std::vector<std::string> lines; // in order, each the start of a line or a whole one
    } runs[] = {
        {given,
         {"a.txt" + right, "b.txt" + right,
          "c.txt: praca je k --random 3x3 --seed 6, nie k --random 3 --seed 5\n",
          "d.txt: praca je k inej sustave: zadanie sa lisi v ",
          "e.txt: praca je k --random 2x3 --seed 6, nie k --random 3 --seed 5\n",
          "Spravne prace: 2 z 5.\n"}},
        {own,
         {"a.txt" + right, "b.txt: prvy riadok nie je # --random 3 --seed S\n", "c.txt" + right,
          "d.txt: prvy riadok # --random sa neda precitat: ma byt # --random 3 --seed S\n",
          "e.txt: praca je k --random 2x3, nie k --random 3\n", "Spravne prace: 2 z 5.\n"}},
    };
    ClassChecked got;
    for (const auto &run : runs) {
        got = check_class_of(run.system, "", {folder}, folder);
        EXPECT_EQ(got.status, check_found_mistakes);
        std::size_t at = 0;
        for (const std::string &part : run.lines) {
            const std::size_t found = got.out.find(part, at);
            EXPECT_NE(found, std::string::npos) << part << "\n" << got.out;
            at = found == std::string::npos ? at : found + part.size();
        }
    }
    // One hand-in alone: the detailed report, or why it does not fit (status 3).
    got = check_class_of(own, "", {folder + "/c.txt"}, folder);
    EXPECT_EQ(got.status, 0) << got.err;
    EXPECT_NE(got.out.find("Vsetky kroky su v poriadku."), std::string::npos);
    got = check_class_of(own, "", {folder + "/b.txt"}, folder);
    EXPECT_EQ(got.status, load_invalid);
    EXPECT_EQ(got.err, folder + "/b.txt: prvy riadok nie je # --random 3 --seed S\n");
}

} // namespace
