// Checking a hand-worked solution, replayed exactly from the system, step by step.
#include "work_check.h"

#include "cell_text.h"
#include "general_solution.h"
#include "inverse.h"
#include "learner_operation.h"
#include "matrix_file.h"
#include "store.h"
#include "worked_solution.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <functional>
#include <utility>

namespace
{

// ---------------------------------------------------------------------------
// Reading

// The sentences a printed worked solution has between its steps, by their first word.
constexpr const char *sentence_words[] = {
    "Sustava", "Riesenie", "Pokracujeme", "Redukovany", "Matica", "Inverzna", "Vlavo", "h", "det"};

// How a line of a worked solution reads.
enum LineKind { line_blank, line_operation, line_row, line_sentence, line_unknown, line_answer };

// The line from its first character that is not a space.
std::string trimmed(const std::string &line)
{
    const std::size_t start = line.find_first_not_of(" \t\r");
    return start == std::string::npos ? "" : line.substr(start);
}

// True when the character is a decimal digit.
bool is_digit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// What kind of line `line` (trimmed) is.
LineKind line_kind(const std::string &line)
{
    if (line.empty())
        return line_blank;
    if (line.rfind(inverse_block_head, 0) == 0)
        return line_answer; // an inversion's A^-1 and its check: the work is over
    if (line.rfind("Krok", 0) == 0 || line.rfind("krok", 0) == 0)
        return line_operation;
    if (line[0] == 'R' || line[0] == 'r') {
        const std::size_t next = line.find_first_not_of(" \t", 1);
        if (next != std::string::npos && is_digit(line[next]))
            return line_operation;
    }
    if (is_digit(line[0]) || std::string("-+.|").find(line[0]) != std::string::npos)
        return line_row;
    for (const char *word : sentence_words) {
        const std::string head(word);
        if (line.rfind(head, 0) == 0 &&
            (line.size() == head.size() ||
             !std::isalpha(static_cast<unsigned char>(line[head.size()]))))
            return line_sentence;
    }
    return line_unknown;
}

// The operation's text of an operation line: after "Krok k:" when it has one. False when the
// "Krok" line is not "Krok <number>:".
bool operation_part(const std::string &line, std::string &operation)
{
    if (line[0] != 'K' && line[0] != 'k') {
        operation = line;
        return true;
    }
    std::size_t at = line.find_first_not_of(" \t", 4);
    if (at == std::string::npos || !is_digit(line[at]))
        return false;
    while (at < line.size() && is_digit(line[at]))
        at++;
    at = line.find_first_not_of(" \t", at);
    if (at == std::string::npos || line[at] != ':')
        return false;
    operation = line.substr(at + 1);
    return true;
}

// Reads a row of `columns` numbers, "|" before number `rule` optional (none when `rule` is
// `columns`); "" when it reads, else why.
std::string read_row(const std::string &line, std::size_t columns, std::size_t rule,
                     std::vector<mpq_class> &row)
{
    std::size_t at = 0;
    std::size_t bar_after = 0; // numbers before the "|", 0: none yet
    bool bar = false;
    while (true) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t' || line[at] == '\r'))
            at++;
        if (at >= line.size())
            break;
        if (line[at] == '|') {
            if (bar)
                return "ciara | je v riadku dvakrat";
            bar = true;
            bar_after = row.size();
            at++;
            continue;
        }
        mpq_class value;
        const NumberRead read = read_exact_number(line, at, max_work_digits, value);
        if (read == number_too_long)
            return "cislo ma viac ako " + std::to_string(max_work_digits) + " cifier";
        if (read == number_zero_denominator)
            return "zlomok s menovatelom 0";
        if (read == number_none ||
            (at < line.size() && !std::isspace(static_cast<unsigned char>(line[at])) &&
             line[at] != '|'))
            return "riadok matice ma mat len cisla a ciaru | pred pravou stranou";
        row.push_back(value);
    }
    if (row.size() != columns)
        return "riadok matice ma " + std::to_string(row.size()) + " cisel, ma ich mat " +
               std::to_string(columns);
    if (bar && rule == columns)
        return "matica nema ciaru |";
    if (bar && bar_after != rule)
        return rule + 1 == columns ? "ciara | ma byt pred poslednym cislom"
                                   : "ciara | ma byt za " + std::to_string(rule) + ". cislom";
    return "";
}

// A failed read at line `line`.
WorkRead failed_read(int line, const std::string &message)
{
    WorkRead read;
    read.line = line;
    read.message = message;
    return read;
}

// The rows gathered after an operation (or before the first) hold the whole matrix, else why not.
std::string check_row_count(const WorkMatrix &rows, int order, bool start)
{
    if (rows.size() == static_cast<std::size_t>(order) || (start && rows.empty()))
        return "";
    const std::string expected = std::to_string(order) + (order == 1 ? " riadok" : " riadkov");
    return (start ? "matica pred prvou upravou ma " : "po uprave ma nasledovat matica: ") +
           expected + ", je ich " + std::to_string(rows.size());
}

// What is done with each matrix of a worked solution as soon as it is read whole: the system
// copied before the first step (its `line` 0) or a step.
using TakeStep = std::function<void(WorkStep &)>;

// Reading a worked solution as its text comes, one line at a time: where it stands and what went
// wrong. Each matrix goes to `take` once it is whole, so that only the one being read is kept.
struct WorkReader {
    WorkReader(const MatrixShape &system_shape, TakeStep take_step)
        : shape(system_shape), order(system_shape.rows), take(std::move(take_step))
    {
    }

    MatrixShape shape; // the shape every matrix of the work has
    int order;         // its rows
    TakeStep take;
    WorkStep step;               // the matrix being gathered, after the operation on line step.line
                                 // (0: the system copied before the first step)
    int number = 0;              // the line being read
    std::string why;             // what is wrong, once something is
    int why_line = 0;            // the line it is wrong on
    std::string line;            // the text of the line not yet ended
    bool after_cr = false;       // the text so far ends in "\r", which has ended a line
    bool answer_reached = false; // an inversion's A^-1 was met: the lines after it are not read

    // Notes what is wrong on line `line`.
    void fail(int at, const std::string &message)
    {
        why = message;
        why_line = at;
    }

    // The matrix gathered so far (after an operation, or before the first) must be whole; then it
    // is taken.
    void close_matrix()
    {
        const bool start = step.line == 0;
        const std::string missing = check_row_count(step.rows, order, start);
        if (!missing.empty())
            fail(start ? number : step.line, missing);
        else if (!start || !step.rows.empty())
            take(step);
    }

    // An operation line: the matrix before it ends, and a step begins.
    void take_operation(const std::string &text)
    {
        close_matrix();
        std::string operation;
        if (why.empty() && !operation_part(text, operation))
            fail(number, "za slovom Krok ma byt cislo kroku a dvojbodka");
        if (!why.empty())
            return;
        step = WorkStep{number, parse_operation(operation, order, max_work_digits), {}};
    }

    // A row of the matrix being gathered.
    void take_row(const std::string &text)
    {
        if (step.rows.size() >= static_cast<std::size_t>(order)) {
            fail(number,
                 "matica ma viac riadkov, ako ma sustava rovnic (" + std::to_string(order) + ")");
            return;
        }
        std::vector<mpq_class> row;
        const std::string wrong = read_row(
            text, static_cast<std::size_t>(shape.columns()),
            static_cast<std::size_t>(shape.kind == kind_matrix ? shape.columns() : shape.unknowns),
            row);
        if (!wrong.empty())
            fail(number, wrong);
        else
            step.rows.push_back(std::move(row));
    }

    // The next line, trimmed.
    void take_line(const std::string &text)
    {
        number++;
        if (answer_reached)
            return;
        switch (line_kind(text)) {
        case line_answer:
            answer_reached = true;
            break;
        case line_blank:
        case line_sentence:
            break;
        case line_operation:
            take_operation(text);
            break;
        case line_row:
            take_row(text);
            break;
        case line_unknown:
            fail(number, "necakany text; ocakava sa uprava, riadok matice alebo veta vypisu");
            break;
        }
    }

    // The next `size` characters of the text, until something is wrong: a line ends at "\n", at
    // "\r\n" (Windows) or at a lone "\r" (old Macintosh).
    void feed(const char *text, std::size_t size)
    {
        const char *const end = text + size;
        const auto is_line_end = [](char c) { return c == '\n' || c == '\r'; };
        while (text < end && why.empty()) {
            if (after_cr && *text == '\n') // the second half of "\r\n"
                text++;
            after_cr = false;
            const char *const line_end = std::find_if(text, end, is_line_end);
            line.append(text, line_end);
            if (line_end == end)
                return;
            after_cr = *line_end == '\r';
            take_line(trimmed(line));
            line.clear();
            text = line_end + 1;
        }
    }

    // The end of the text: the line after the last line end (often empty), then the last matrix.
    void finish()
    {
        if (why.empty())
            take_line(trimmed(line));
        if (why.empty())
            close_matrix();
    }
};

// ---------------------------------------------------------------------------
// Checking

// Writes `rows` into the store as whole values in lowest terms.
void store_rows(const WorkMatrix &rows)
{
    for (std::size_t r = 0; r < rows.size(); r++)
        for (std::size_t c = 0; c < rows[r].size(); c++) {
            cell(static_cast<int>(r), static_cast<int>(c)).num = rows[r][c].get_num();
            cell(static_cast<int>(r), static_cast<int>(c)).den = rows[r][c].get_den();
        }
}

// The first entry where `rows` differ from the store: "riadok 2, stlpec 3: 5/2, spravne je
// 7/2"; "" when none does.
std::string first_difference(const WorkMatrix &rows)
{
    for (std::size_t r = 0; r < rows.size(); r++)
        for (std::size_t c = 0; c < rows[r].size(); c++) {
            const mpq_class right = cell_value(static_cast<int>(r), static_cast<int>(c));
            if (rows[r][c] == right)
                continue;
            return "riadok " + std::to_string(r + 1) + ", stlpec " + std::to_string(c + 1) + ": " +
                   exact_value_text(rows[r][c].get_num(), rows[r][c].get_den()) + ", spravne je " +
                   exact_value_text(right.get_num(), right.get_den());
        }
    return "";
}

// Judges one step against the store, which goes on from the matrix written after it. Returns
// its line of the report.
std::string judge_step(const WorkStep &step, bool &right)
{
    std::string verdict;
    if (!step.operation.ok) {
        verdict = step.operation.message;
    } else {
        apply_operation_now(step.operation.operation);
        verdict = first_difference(step.rows);
    }
    right = verdict.empty();
    store_rows(step.rows);
    return right ? "v poriadku" : verdict;
}

// The end of the report: whether the last matrix is in reduced row echelon form and whether its
// answer is that of the system (`right_final`, with its closing statement `right_answer`).
std::string judge_end(const StoreSnapshot &right_final, const std::string &right_answer,
                      bool right_contradicts)
{
    if (!in_reduced_form())
        return "Koniec: matica nie je v redukovanom stupnovitom tvare.\n"
               "Vysledok sa z nej este neda precitat; spravny je: " +
               right_answer + "\n";
    std::string report = "Koniec: matica je v redukovanom stupnovitom tvare.\n";
    const std::string answer = closing_statement(notation_plain);
    const bool both_contradict = right_contradicts && solution_set().contradiction_row >= 0;
    if (store_has_values_of(right_final) || both_contradict)
        return report + "Vysledok je spravny: " + answer + "\n";
    return report + "Vysledok je nespravny: " + answer + "\nSpravny je: " + right_answer + "\n";
}

// The report's line for a worked solution with no step at all.
constexpr const char *nothing_to_check = "Nie je co kontrolovat: v praci nie je ziadny krok.\n";

// A check under way: what the system's own solve ends on, and the report so far.
struct CheckRun {
    StoreSnapshot right_final;      // the reduced form the system's own solve ends on
    std::string right_answer;       // its closing statement
    bool right_contradicts = false; // the system has no solution
    std::string report;             // printed once the whole work has been read
    int steps = 0;                  // the steps judged so far
    int copied = 0;                 // 1 when the work copies the system before its first step
    int wrong = 0;                  // the wrong ones, a miscopied system included
};

// Starts the check of a worked solution of the system in the store.
void start_check(CheckRun &run)
{
    const StoreSnapshot system = save_store();
    run_elimination_now(nullptr, reach_reduced_form);
    run.right_final = save_store();
    run.right_answer = closing_statement(notation_plain);
    run.right_contradicts = solution_set().contradiction_row >= 0;
    restore_store(system);
}

// Judges the copied system or a step as soon as it is read; the store goes on from its matrix.
void judge_matrix(CheckRun &run, const WorkStep &step)
{
    if (step.line == 0) {
        const std::string difference = first_difference(step.rows);
        run.report += "Zadanie: " + (difference.empty() ? "v poriadku" : difference) + "\n";
        run.copied = 1;
        run.wrong += difference.empty() ? 0 : 1;
        store_rows(step.rows);
        return;
    }
    bool right = true;
    run.steps++;
    run.report += "Krok " + std::to_string(run.steps) + ": " + judge_step(step, right) + "\n";
    run.wrong += right ? 0 : 1;
}

// Ends the report: the verdict on the last matrix and the count of mistakes, or that there was
// nothing to check. Returns 0 when every step is right, else check_found_mistakes.
int finish_check(CheckRun &run)
{
    if (run.steps == 0) {
        run.report += nothing_to_check;
        return check_found_mistakes;
    }
    run.report += judge_end(run.right_final, run.right_answer, run.right_contradicts);
    if (run.wrong == 0) {
        run.report += "Vsetky kroky su v poriadku.\n";
        return 0;
    }
    run.report += "Chyby: " + std::to_string(run.wrong) + " z " +
                  std::to_string(run.steps + run.copied) + ".\n";
    return check_found_mistakes;
}

// How getting the text of a WORK file went.
enum WorkInput { work_read, work_unreadable, work_not_a_file, work_too_large };

// Opens the WORK file `name` ("-": standard input): a regular file of at most max_work_bytes or
// a pipe (as a shell's <(...) gives); nullptr, with the reason in `input`, for anything else.
std::FILE *open_work(const char *name, WorkInput &input)
{
    if (std::string(name) == "-")
        return stdin;
    struct stat info {
    };
    if (stat(name, &info) != 0) {
        input = work_unreadable;
        return nullptr;
    }
    if (!S_ISREG(info.st_mode) && !S_ISFIFO(info.st_mode)) {
        input = work_not_a_file; // a folder, or a device that may never end (/dev/zero)
        return nullptr;
    }
    if (S_ISREG(info.st_mode) && static_cast<std::uintmax_t>(info.st_size) > max_work_bytes) {
        input = work_too_large;
        return nullptr;
    }
    std::FILE *file = open_readable_file(name, true);
    if (!file)
        input = work_unreadable;
    return file;
}

// Reads the open WORK file into `reader` until the end or a mistake, at most max_work_bytes of
// it (a pipe, or a file that grew since it was opened, may bring more).
WorkInput read_work_text(std::FILE *file, WorkReader &reader)
{
    char buffer[65536];
    std::size_t total = 0;
    std::size_t got = 0;
    while (reader.why.empty() && (got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        total += got;
        if (total > max_work_bytes)
            return work_too_large;
        reader.feed(buffer, got);
    }
    if (std::ferror(file))
        return work_unreadable;
    reader.finish();
    return work_read;
}

// Reads and judges the WORK file `name` against the system in the store, step by step.
WorkInput read_and_judge(const char *name, WorkReader &reader, CheckRun &run)
{
    WorkInput input = work_read;
    std::FILE *file = open_work(name, input);
    if (!file)
        return input;
    start_check(run);
    input = read_work_text(file, reader);
    if (file != stdin)
        std::fclose(file);
    return input;
}

// Says on `err` why the WORK file `name` was not read; returns the exit status for it.
int report_unread_work(const char *name, WorkInput input, std::FILE *err)
{
    if (input == work_too_large) {
        std::fprintf(err, "%s: subor je vacsi ako %zu MB, taku pracu program nekontroluje\n", name,
                     max_work_bytes >> 20);
        return load_too_large;
    }
    std::fprintf(err, "%s: %s\n", name,
                 input == work_not_a_file ? "nie je obycajny subor" : "subor sa neda precitat");
    return load_cannot_open;
}

} // namespace

// Reads a worked solution of a matrix of `shape` from `text`, line by line.
WorkRead read_work(const std::string &text, const MatrixShape &shape)
{
    WorkRead read;
    WorkReader reader(shape, [&read](WorkStep &step) {
        if (step.line == 0)
            read.work.start = std::move(step.rows);
        else
            read.work.steps.push_back(std::move(step));
    });
    reader.feed(text.data(), text.size());
    reader.finish();
    if (!reader.why.empty())
        return failed_read(reader.why_line, reader.why);
    read.ok = true;
    return read;
}

namespace
{

// Puts [A | I] of the matrix in the store in its place, as --inverse starts from it; a system's
// right-hand sides left out is said on `err`. Returns 0, or inverse_refused with its message.
int start_inversion(const char *system_file, std::FILE *err)
{
    StoreSnapshot start;
    const InverseSetup setup = inverse_setup(save_store(), start);
    if (setup != inverse_ready) {
        const std::string why = setup == inverse_no_matrix
                                    ? "Prazdna matica nema inverznu maticu."
                                    : "Inverzna matica je len pre stvorcovu maticu: " +
                                          left_block_size_text(matrix_shape);
        std::fprintf(err, "%s: %s\n", system_file, why.c_str());
        return inverse_refused;
    }
    if (matrix_shape.kind == kind_system)
        std::fprintf(err, "%s\n", right_sides_left_out);
    restore_store(start);
    return 0;
}

} // namespace

// Checks the worked solution in `work_file` against the system in `system_file` (or the
// inversion of its matrix), judging each step as it is read, so that no more than one step's
// matrix is kept.
int check_work(const char *system_file, const char *work_file, std::FILE *out, std::FILE *err,
               bool inversion)
{
    const StoreSnapshot kept = save_store();
    const int loaded = load_matrix_file(system_file);
    if (loaded != load_ok) {
        restore_store(kept);
        const char *message = load_message(loaded);
        std::fprintf(err, "%s: %s\n", system_file, message ? message : "Neplatna matica!");
        return loaded;
    }
    if (inversion) {
        const int started = start_inversion(system_file, err);
        if (started != 0) {
            restore_store(kept);
            return started;
        }
    }
    CheckRun run;
    WorkReader reader(matrix_shape, [&run](WorkStep &step) { judge_matrix(run, step); });
    const WorkInput input = read_and_judge(work_file, reader, run);
    if (input != work_read) {
        restore_store(kept);
        return report_unread_work(work_file, input, err);
    }
    if (!reader.why.empty()) {
        restore_store(kept);
        std::fprintf(err, "%s, riadok %d: %s\n", work_file, reader.why_line, reader.why.c_str());
        return load_invalid;
    }
    const int verdict = finish_check(run);
    restore_store(kept);
    std::fwrite(run.report.data(), 1, run.report.size(), out);
    const int written = finish_output(out, err);
    return written != 0 ? written : verdict;
}
