// Checking a hand-worked solution, replayed exactly from the system, step by step.
#include "work_check.h"

#include "cell_text.h"
#include "general_solution.h"
#include "learner_operation.h"
#include "matrix_file.h"
#include "store.h"
#include "worked_solution.h"

#include <sys/stat.h>

#include <cctype>

namespace
{

// ---------------------------------------------------------------------------
// Reading

// The sentences a printed worked solution has between its steps, by their first word.
constexpr const char *sentence_words[] = {"Sustava", "Riesenie", "Pokracujeme"};

// How a line of a worked solution reads.
enum LineKind { line_blank, line_operation, line_row, line_sentence, line_unknown };

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

// Reads a row of `columns` numbers, "|" before the last one optional; "" when it reads, else why.
std::string read_row(const std::string &line, std::size_t columns, std::vector<mpq_class> &row)
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
    if (bar && bar_after + 1 != columns)
        return "ciara | ma byt pred poslednym cislom";
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

// Reading a worked solution, one line at a time: where it stands and what went wrong.
struct WorkReader {
    explicit WorkReader(int system_order) : order(system_order) {}
    WorkReader(const WorkReader &) = delete; // `rows` points into the reader itself
    WorkReader &operator=(const WorkReader &) = delete;

    int order;
    WorkRead read;
    WorkMatrix *rows = &read.work.start; // the matrix the next row line belongs to
    int rows_line = 0; // the line of the operation those rows follow (0: before the first)
    int number = 0;    // the line being read
    std::string why;   // what is wrong, once something is
    int why_line = 0;  // the line it is wrong on

    // Notes what is wrong on line `line`.
    void fail(int line, const std::string &message)
    {
        why = message;
        why_line = line;
    }

    // The matrix gathered so far (after an operation, or before the first) must be whole.
    void close_matrix()
    {
        const std::string missing = check_row_count(*rows, order, rows_line == 0);
        if (!missing.empty())
            fail(rows_line == 0 ? number : rows_line, missing);
    }

    // An operation line: the matrix before it ends, and a step begins.
    void take_operation(const std::string &line)
    {
        close_matrix();
        std::string operation;
        if (why.empty() && !operation_part(line, operation))
            fail(number, "za slovom Krok ma byt cislo kroku a dvojbodka");
        if (!why.empty())
            return;
        read.work.steps.push_back(
            WorkStep{number, parse_operation(operation, order, max_work_digits), {}});
        rows = &read.work.steps.back().rows;
        rows_line = number;
    }

    // A row of the matrix being gathered.
    void take_row(const std::string &line)
    {
        if (rows->size() >= static_cast<std::size_t>(order)) {
            fail(number,
                 "matica ma viac riadkov, ako ma sustava rovnic (" + std::to_string(order) + ")");
            return;
        }
        std::vector<mpq_class> row;
        const std::string wrong = read_row(line, static_cast<std::size_t>(order) + 1, row);
        if (!wrong.empty())
            fail(number, wrong);
        else
            rows->push_back(row);
    }

    // The next line, trimmed.
    void take_line(const std::string &line)
    {
        number++;
        switch (line_kind(line)) {
        case line_blank:
        case line_sentence:
            break;
        case line_operation:
            take_operation(line);
            break;
        case line_row:
            take_row(line);
            break;
        case line_unknown:
            fail(number, "necakany text; ocakava sa uprava, riadok matice alebo veta vypisu");
            break;
        }
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

// Replays `work` from the loaded system, reporting on `out`; returns the number of wrong steps,
// counting a work without a step as one mistake.
int replay(const Work &work, std::FILE *out)
{
    const StoreSnapshot system = save_store();
    run_elimination_now(nullptr, reach_reduced_form);
    const StoreSnapshot right_final = save_store();
    const std::string right_answer = closing_statement(notation_plain);
    const bool right_contradicts = solution_set().contradiction_row >= 0;
    restore_store(system);
    int wrong = 0;
    std::string report;
    if (!work.start.empty()) {
        const std::string difference = first_difference(work.start);
        report += "Zadanie: " + (difference.empty() ? "v poriadku" : difference) + "\n";
        wrong += difference.empty() ? 0 : 1;
        store_rows(work.start);
    }
    if (work.steps.empty()) {
        report += nothing_to_check;
        std::fwrite(report.data(), 1, report.size(), out);
        return wrong + 1;
    }
    for (std::size_t k = 0; k < work.steps.size(); k++) {
        bool right = true;
        report += "Krok " + std::to_string(k + 1) + ": " + judge_step(work.steps[k], right) + "\n";
        wrong += right ? 0 : 1;
    }
    report += judge_end(right_final, right_answer, right_contradicts);
    report += wrong == 0
                  ? "Vsetky kroky su v poriadku.\n"
                  : "Chyby: " + std::to_string(wrong) + " z " +
                        std::to_string(work.steps.size() + (work.start.empty() ? 0 : 1)) + ".\n";
    std::fwrite(report.data(), 1, report.size(), out);
    return wrong;
}

// Where the line of `text` from `start` ends, and in `next` where the line after it starts: a line
// ends at "\n", at "\r\n" (Windows) or at a lone "\r" (old Macintosh), or with the text.
std::size_t line_end(const std::string &text, std::size_t start, std::size_t &next)
{
    const std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) {
        next = text.size() + 1;
        return text.size();
    }
    const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
    next = end + (crlf ? 2 : 1);
    return end;
}

// Reads the whole of `name` ("-": standard input) into text; false when it cannot be read.
bool read_whole_file(const char *name, std::string &text)
{
    const bool standard_input = std::string(name) == "-";
    struct stat info {
    };
    if (!standard_input && (stat(name, &info) != 0 || S_ISDIR(info.st_mode)))
        return false;
    std::FILE *file = standard_input ? stdin : std::fopen(name, "rb");
    if (!file)
        return false;
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    if (!standard_input)
        std::fclose(file);
    return !failed;
}

} // namespace

// Reads a worked solution of a system of order `order` from `text`, line by line.
WorkRead read_work(const std::string &text, int order)
{
    WorkReader reader(order);
    std::size_t start = 0;
    while (start <= text.size() && reader.why.empty()) {
        std::size_t next = 0;
        const std::size_t end = line_end(text, start, next);
        reader.take_line(trimmed(text.substr(start, end - start)));
        start = next;
    }
    if (reader.why.empty())
        reader.close_matrix();
    if (!reader.why.empty())
        return failed_read(reader.why_line, reader.why);
    reader.read.ok = true;
    return reader.read;
}

// Checks the worked solution in `work_file` against the system in `system_file`.
int check_work(const char *system_file, const char *work_file, std::FILE *out, std::FILE *err)
{
    const StoreSnapshot kept = save_store();
    const int loaded = load_matrix_file(system_file);
    if (loaded != load_ok) {
        restore_store(kept);
        const char *message = load_message(loaded);
        std::fprintf(err, "%s: %s\n", system_file, message ? message : "Neplatna matica!");
        return loaded;
    }
    std::string text;
    if (!read_whole_file(work_file, text)) {
        restore_store(kept);
        std::fprintf(err, "%s: subor sa neda precitat\n", work_file);
        return load_cannot_open;
    }
    const WorkRead read = read_work(text, matrix_order);
    if (!read.ok) {
        restore_store(kept);
        std::fprintf(err, "%s, riadok %d: %s\n", work_file, read.line, read.message.c_str());
        return load_invalid;
    }
    const int wrong = replay(read.work, out);
    restore_store(kept);
    const int written = finish_output(out, err);
    if (written != 0)
        return written;
    return wrong == 0 ? 0 : check_found_mistakes;
}
