// Checking a hand-worked solution, replayed exactly from the system, step by step.
#include "work_check.h"
#include "../matrix/translation.h"

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
#include <cstring>
#include <functional>
#include <memory>
#include <utility>

namespace
{

// ---------------------------------------------------------------------------
// Reading

// The longest line of a worked solution read: a row of eleven numbers of max_work_digits digits
// each is some 28 kB; a longer line is no row, and is not kept.
constexpr std::size_t max_work_line = std::size_t{1} << 20;

// The sentences a printed worked solution has between its steps, by their first word: in
// Slovak and in English, so that work written under either language reads.
constexpr const char *sentence_words[] = {
    "Sustava", "Riesenie", "Pokracujeme", "Redukovany", "Matica",   "Inverzna", "Vlavo", "h",
    "det",     "System",   "Solution",    "We",         "Reduced",  "Matrix",   "Inverse",
    "The",     "No",       "Infinitely",  "Augmented",  "A"};

// The words before a step's number ("Krok 2:", "Step 2:", "Uprava 2:", "Operation 2:") with
// their lengths, capitalised or not.
struct StepWord {
    const char *word;
    std::size_t length;
};
constexpr StepWord step_words[] = {{"Krok", 4},      {"krok", 4},      {"Uprava", 6},
                                   {"uprava", 6},    {"Step", 4},      {"step", 4},
                                   {"Operation", 9}, {"operation", 9}};

// How a line of a worked solution reads.
enum LineKind {
    line_blank,
    line_operation,
    line_row,
    line_sentence,
    line_answer,
    line_unknown,
    line_inverse_end, // "A^-1 =" of an inversion's printout: the work is over
};

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

// True when the character is a space or a tab.
bool is_blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

// The position of the first character at or after `at` that is not a space or a tab.
std::size_t skip_blanks(const std::string &line, std::size_t at)
{
    while (at < line.size() && is_blank(line[at]))
        at++;
    return at;
}

// True when `line` starts with `word` followed by no letter.
bool starts_with_word(const std::string &line, const char *word)
{
    const std::string head(word);
    return line.rfind(head, 0) == 0 &&
           (line.size() == head.size() ||
            !std::isalpha(static_cast<unsigned char>(line[head.size()])));
}

// The length of the step word `line` starts with, 0 when it starts with none.
std::size_t step_word_length(const std::string &line)
{
    for (const StepWord &step : step_words)
        if (starts_with_word(line, step.word))
            return step.length;
    return 0;
}

// True when `line` starts with the answer line's word, "Riesenie" or "Solution".
bool starts_with_answer_word(const std::string &line)
{
    return starts_with_word(line, "Riesenie") || starts_with_word(line, "Solution");
}

// True when the line names a row, "R2" or "r 2", anywhere: only an operation does.
bool names_a_row(const std::string &line)
{
    for (std::size_t k = 0; k < line.size(); k++)
        if ((line[k] == 'R' || line[k] == 'r') &&
            (k == 0 || !std::isalpha(static_cast<unsigned char>(line[k - 1])))) {
            const std::size_t next = skip_blanks(line, k + 1);
            if (next < line.size() && is_digit(line[next]))
                return true;
        }
    return false;
}

// The length of a step's number written before its operation, "5. " or "5) ", when `line`
// starts with one and an operation (a text naming a row) follows; 0 otherwise.
std::size_t numbered_step(const std::string &line)
{
    std::size_t at = 0;
    while (at < line.size() && is_digit(line[at]))
        at++;
    if (at == 0 || at >= line.size() || (line[at] != '.' && line[at] != ')'))
        return 0;
    const std::size_t rest = skip_blanks(line, at + 1);
    return names_a_row(line.substr(rest)) ? rest : 0;
}

// The name of an unknown at line[at], "x", "y", "z" or "x1", as its index from 0; moves `at`
// past it. -1 when none stands there.
int unknown_name(const std::string &line, std::size_t &at)
{
    if (at >= line.size())
        return -1;
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(line[at])));
    std::size_t k = at + 1;
    if (k < line.size() && line[k] == '_')
        k++;
    std::size_t digits = k;
    while (digits < line.size() && is_digit(line[digits]) && digits - k < 3)
        digits++;
    if (letter == 'x' && digits > k && line[k] != '0') {
        at = digits;
        return std::stoi(line.substr(k, digits - k)) - 1;
    }
    if (k < line.size() && std::isalnum(static_cast<unsigned char>(line[k])))
        return -1;
    const std::string letters = "xyz";
    const std::size_t index = letters.find(letter);
    if (index == std::string::npos || k != at + 1)
        return -1;
    at = k;
    return static_cast<int>(index);
}

// True when the line starts as an answer: an unknown's name and "=".
bool starts_as_answer(const std::string &line)
{
    std::size_t at = 0;
    if (unknown_name(line, at) < 0)
        return false;
    at = skip_blanks(line, at);
    return at < line.size() && line[at] == '=';
}

// Reads a signed number at line[at] whose sign may stand apart ("- 1/2"), a decimal comma
// allowed; moves `at` past it.
NumberRead read_signed(const std::string &line, std::size_t &at, mpq_class &value)
{
    bool negative = false;
    if (at < line.size() && (line[at] == '-' || line[at] == '+')) {
        negative = line[at] == '-';
        at = skip_blanks(line, at + 1);
    }
    const NumberRead read = read_exact_number(line, at, max_work_digits, value, true);
    if (read == number_read && negative)
        value = -value;
    return read;
}

// Reads an answer line "x = 2, y = 3" or "x1 = 2; x2 = 3" (the "Riesenie:" before it removed)
// into `answer`, for `unknowns` unknowns; "" when it reads, else why not.
std::string read_answer(const std::string &line, int unknowns, WorkAnswer &answer)
{
    answer.values.assign(static_cast<std::size_t>(std::max(unknowns, 0)), 0);
    answer.named.assign(answer.values.size(), false);
    std::size_t at = skip_blanks(line, 0);
    while (true) {
        const std::size_t name_at = at;
        const int unknown = unknown_name(line, at);
        if (unknown < 0)
            return tr("odpoved ma mat tvar x = 2, y = 3 alebo x1 = 2, x2 = 3");
        const std::string name = line.substr(name_at, at - name_at);
        if (unknown >= unknowns)
            return format_text(tr("%s nie je neznama sustavy (x1 az x%d)"), name.c_str(), unknowns);
        at = skip_blanks(line, at);
        if (at >= line.size() || line[at] != '=')
            return format_text(tr("za %s ma byt ="), name.c_str());
        at = skip_blanks(line, at + 1);
        mpq_class value;
        const NumberRead read = read_signed(line, at, value);
        if (read != number_read)
            return format_text(tr("hodnota %s ma byt cislo"), name.c_str());
        if (answer.named[static_cast<std::size_t>(unknown)])
            return format_text(tr("%s je v odpovedi dvakrat"), name.c_str());
        answer.named[static_cast<std::size_t>(unknown)] = true;
        answer.values[static_cast<std::size_t>(unknown)] = value;
        at = skip_blanks(line, at);
        if (at >= line.size())
            return "";
        if (line[at] != ',' && line[at] != ';')
            return format_text(tr("v odpovedi za hodnotou %s ma byt ciarka alebo koniec"),
                               name.c_str());
        at = skip_blanks(line, at + 1);
    }
}

// What kind of line `line` (trimmed) is.
LineKind line_kind(const std::string &line)
{
    if (line.empty() || line[0] == '#')
        return line_blank; // a comment, as "# --random 3 --seed 48213"
    if (line.rfind(inverse_block_head, 0) == 0)
        return line_inverse_end; // an inversion's A^-1 and its check: the work is over
    if (step_word_length(line) > 0 || numbered_step(line) > 0)
        return line_operation;
    if (starts_as_answer(line))
        return line_answer;
    if (starts_with_answer_word(line)) {
        WorkAnswer answer;
        const std::size_t colon = line.find(':');
        return colon != std::string::npos && starts_as_answer(trimmed(line.substr(colon + 1))) &&
                       read_answer(line.substr(colon + 1), max_matrix_order, answer).empty()
                   ? line_answer
                   : line_sentence;
    }
    for (const char *word : sentence_words)
        if (starts_with_word(line, word))
            return line_sentence;
    if (names_a_row(line))
        return line_operation;
    if (is_digit(line[0]) || std::string("-+.,|[=").find(line[0]) != std::string::npos)
        return line_row;
    return line_unknown;
}

// The operation's text of an operation line and the step's number: after "Krok k:", "Krok k z
// n:", "Uprava k:", "k." or "k)" when it has one. False when a "Krok" or "Uprava" line does
// not go on as "Krok <number>:".
bool operation_part(const std::string &line, std::string &operation, int &number)
{
    number = 0;
    const std::size_t numbered = numbered_step(line);
    if (numbered > 0) {
        number = std::stoi(line.substr(0, std::min<std::size_t>(line.find_first_of(".)"), 6)));
        operation = line.substr(numbered);
        return true;
    }
    std::size_t at = step_word_length(line);
    if (at == 0) {
        operation = line;
        return true;
    }
    at = skip_blanks(line, at);
    const std::size_t digits = at;
    while (at < line.size() && is_digit(line[at]) && at - digits < 6)
        at++;
    if (at == digits)
        return false;
    number = std::stoi(line.substr(digits, at - digits));
    at = skip_blanks(line, at);
    const bool of = line.compare(at, 2, "of") == 0 && line.size() > at + 2 &&
                    !std::isalpha(static_cast<unsigned char>(line[at + 2]));
    if (of || (at < line.size() && line[at] == 'z')) { // "Krok 1 z 3:", "Step 1 of 3:"
        at = skip_blanks(line, at + (of ? 2 : 1));
        const std::size_t total = at;
        while (at < line.size() && is_digit(line[at]))
            at++;
        if (at == total)
            return false;
        at = skip_blanks(line, at);
    }
    if (at >= line.size() || line[at] != ':')
        return false;
    operation = line.substr(at + 1);
    return true;
}

// A row line as the reader takes it: without brackets around it, "=" as "|", commas that
// separate numbers as spaces, a sign joined to its number. "" when it can, else why not.
std::string plain_row(const std::string &line, std::string &plain, bool &decimal_comma)
{
    std::string text = line;
    while (!text.empty() && is_blank(text.back()))
        text.pop_back();
    if (!text.empty() && text[0] == '[')
        text.erase(0, 1);
    if (!text.empty() && text.back() == ']')
        text.pop_back();
    plain.clear();
    decimal_comma = false;
    bool in_decimal = false; // within the digits after a decimal comma
    for (std::size_t k = 0; k < text.size(); k++) {
        const char c = text[k];
        const bool between_digits =
            k > 0 && is_digit(text[k - 1]) && k + 1 < text.size() && is_digit(text[k + 1]);
        if (c == ',' && between_digits) {
            if (in_decimal) {
                const std::size_t from = text.find_last_of(" \t|[=", k);
                const std::size_t to = text.find_first_of(" \t|]=", k);
                const std::size_t start = from == std::string::npos ? 0 : from + 1;
                return format_text(
                    tr("\"%s\" nie je jasne: ciarka medzi cislicami je desatinna (0,5); cisla "
                       "oddeluj medzerou alebo ciarkou s medzerou"),
                    text.substr(start, to == std::string::npos ? to : to - start).c_str());
            }
            in_decimal = true;
            decimal_comma = true;
            plain += c;
            continue;
        }
        if (!is_digit(c))
            in_decimal = false;
        if (c == ',') {
            plain += ' ';
        } else if (c == '=') {
            plain += '|';
        } else if ((c == '-' || c == '+') &&
                   (plain.empty() || plain.back() == ' ' || plain.back() == '|')) {
            plain += c;
            while (k + 1 < text.size() && is_blank(text[k + 1]))
                k++; // the sign joins its number
        } else {
            plain += c;
        }
    }
    return "";
}

// Reads a row of `columns` numbers, "|" before number `rule` optional (none when `rule` is
// `columns`), and the decimal places each is written with; "" when it reads, else why.
std::string read_row(const std::string &line, std::size_t columns, std::size_t rule,
                     std::vector<mpq_class> &row, std::vector<int> &places)
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
                return tr("ciara | je v riadku dvakrat");
            bar = true;
            bar_after = row.size();
            at++;
            continue;
        }
        mpq_class value;
        const std::size_t start = at;
        const NumberRead read = read_exact_number(line, at, max_work_digits, value, true);
        if (read == number_too_long)
            return format_text(tr("cislo ma viac ako %d cifier"), static_cast<int>(max_work_digits));
        if (read == number_zero_denominator)
            return tr("zlomok s menovatelom 0");
        if (read == number_none ||
            (at < line.size() && !std::isspace(static_cast<unsigned char>(line[at])) &&
             line[at] != '|'))
            return tr("riadok matice ma mat len cisla a ciaru | pred pravou stranou");
        const std::string written = line.substr(start, at - start);
        const std::size_t mark = written.find_first_of(".,");
        places.push_back(mark == std::string::npos || written.find('/') != std::string::npos
                             ? 0
                             : static_cast<int>(written.size() - mark - 1));
        row.push_back(value);
    }
    if (row.size() != columns)
        return format_text(tr("riadok matice ma %d cisel, ma ich mat %d"),
                           static_cast<int>(row.size()), static_cast<int>(columns));
    if (bar && rule == columns)
        return tr("matica nema ciaru |");
    if (bar && bar_after != rule)
        return rule + 1 == columns ? std::string(tr("ciara | ma byt pred poslednym cislom"))
                                   : format_text(tr("ciara | ma byt za %d. cislom"),
                                                 static_cast<int>(rule));
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
    const std::string expected =
        format_text(order == 1 ? tr("%d riadok") : tr("%d riadkov"), order);
    return format_text(start ? tr("matica pred prvou upravou ma %s, je ich %d")
                             : tr("po uprave ma nasledovat matica: %s, je ich %d"),
                       expected.c_str(), static_cast<int>(rows.size()));
}

// What is done with each matrix of a worked solution as soon as it is read whole: the system
// copied before the first step (its `line` 0) or a step.
using TakeStep = std::function<void(WorkStep &)>;

// Reading a worked solution as its text comes, one line at a time: where it stands and what went
// wrong. Each matrix goes to `take` once it is whole, so that only the one being read is kept. A
// line that cannot be read is the fault of the step it stands in, and the reading goes on.
struct WorkReader {
    WorkReader(const MatrixShape &system_shape, TakeStep take_step)
        : shape(system_shape), order(system_shape.rows), take(std::move(take_step))
    {
    }

    MatrixShape shape; // the shape every matrix of the work has
    int order;         // its rows
    TakeStep take;
    WorkStep step;         // the matrix being gathered, after the operation on line step.line
                           // (0: the system copied before the first step)
    WorkAnswer answer;     // the last answer line read
    bool any_row = false;  // a row of a matrix has been read
    int number = 0;        // the line being read
    std::string why;       // the first line that cannot be read: the reading fails on it when
    int why_line = 0;      // no row of a matrix is read at all
    std::string line;      // the text of the line not yet ended
    bool overlong = false; // that line is longer than max_work_line: it is not kept
    bool after_cr = false; // the text so far ends in "\r", which has ended a line
    bool answer_reached = false; // an inversion's A^-1 was met: the lines after it are not read

    // Notes that line `at` cannot be read: the fault of the step being read.
    void fail(int at, const std::string &message)
    {
        if (why.empty()) {
            why = message;
            why_line = at;
        }
        if (step.fault.empty())
            step.fault = format_text(tr("riadok %d: "), at) + message;
    }

    // True when the work cannot be read at all: nothing in it is a matrix's row, and some line
    // is not understood.
    bool unreadable() const
    {
        return !any_row && !why.empty();
    }

    // The matrix gathered so far (after an operation, or before the first) ends; a part missing
    // is its step's fault. Then it is taken.
    void close_matrix()
    {
        const bool start = step.line == 0;
        if (step.fault.empty()) {
            const std::string missing = check_row_count(step.rows, order, start);
            if (!missing.empty())
                step.fault = format_text(tr("riadok %d: "), start ? number : step.line) + missing;
        }
        if (!start || !step.rows.empty() || !step.fault.empty())
            take(step);
    }

    // An operation line: the matrix before it ends, and a step begins.
    void take_operation(const std::string &text)
    {
        close_matrix();
        step = WorkStep{};
        step.line = number;
        std::string operation;
        if (operation_part(text, operation, step.number)) {
            step.operation = parse_operation(operation, order, max_work_digits);
        } else {
            step.operation.ok = false;
            step.operation.message = tr("za slovom Krok ma byt cislo kroku a dvojbodka");
        }
    }

    // A row of the matrix being gathered.
    void take_row(const std::string &text)
    {
        if (step.rows.size() >= static_cast<std::size_t>(order)) {
            fail(number,
                 format_text(tr("matica ma viac riadkov, ako ma sustava rovnic (%d)"), order));
            return;
        }
        std::string plain;
        bool decimal_comma = false;
        std::string wrong = plain_row(text, plain, decimal_comma);
        std::vector<mpq_class> row;
        std::vector<int> places;
        if (wrong.empty())
            wrong = read_row(plain, static_cast<std::size_t>(shape.columns()),
                             static_cast<std::size_t>(shape.kind == kind_matrix ? shape.columns()
                                                                                : shape.unknowns),
                             row, places);
        const std::string count_message = tr("riadok matice ma %d cisel, ma ich mat %d");
        if (!wrong.empty() && decimal_comma &&
            wrong.rfind(count_message.substr(0, count_message.find('%')), 0) == 0)
            wrong += tr(" (ciarka medzi cislicami je desatinna: 1,5 je 3/2)");
        if (!wrong.empty()) {
            fail(number, wrong);
            return;
        }
        any_row = true;
        step.rows.push_back(std::move(row));
        step.places.push_back(std::move(places));
    }

    // An answer line: the work's answer, unless it cannot be read.
    void take_answer(const std::string &text)
    {
        const std::size_t colon = starts_with_answer_word(text) ? text.find(':') : 0;
        const std::string rest = colon > 0 ? text.substr(colon + 1) : text;
        WorkAnswer read;
        const std::string wrong = read_answer(rest, shape.unknowns, read);
        if (!wrong.empty()) {
            fail(number, wrong);
            return;
        }
        read.line = number;
        answer = std::move(read);
    }

    // The next line, trimmed.
    void take_line(const std::string &text)
    {
        number++;
        if (answer_reached)
            return;
        switch (line_kind(text)) {
        case line_inverse_end:
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
        case line_answer:
            take_answer(text);
            break;
        case line_unknown:
            fail(number, tr("necakany text; ocakava sa uprava, riadok matice, odpoved alebo veta "
                            "vypisu"));
            break;
        }
    }

    // A line ends: read, or named as too long.
    void end_line()
    {
        if (overlong) {
            number++;
            fail(number, format_text(tr("riadok je dlhsi ako %d MB"),
                                     static_cast<int>(max_work_line >> 20)));
        } else {
            take_line(trimmed(line));
        }
        line.clear();
        overlong = false;
    }

    // The next `size` characters of the text: a line ends at "\n", at "\r\n" (Windows) or at a
    // lone "\r" (old Macintosh). A line longer than max_work_line is skipped, not kept.
    void feed(const char *text, std::size_t size)
    {
        const char *const end = text + size;
        const auto is_line_end = [](char c) { return c == '\n' || c == '\r'; };
        while (text < end) {
            if (after_cr && *text == '\n') { // the second half of "\r\n"
                text++;
                after_cr = false;
                continue;
            }
            after_cr = false;
            const char *const line_end = std::find_if(text, end, is_line_end);
            const std::size_t part = static_cast<std::size_t>(line_end - text);
            overlong = overlong || line.size() + part > max_work_line;
            if (!overlong)
                line.append(text, line_end);
            else
                line.clear();
            if (line_end == end)
                return;
            after_cr = *line_end == '\r';
            end_line();
            text = line_end + 1;
        }
    }

    // The end of the text: the line after the last line end (often empty), then the last matrix.
    void finish()
    {
        end_line();
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

// The most wrong entries of one step the report names one by one.
constexpr int named_differences = 5;

// A decimal written with `places` places, as "0.667".
std::string decimal_text(const mpq_class &value, int places)
{
    mpz_class scale;
    mpz_ui_pow_ui(scale.get_mpz_t(), 10, static_cast<unsigned long>(places));
    const mpz_class scaled = abs(mpz_class(value.get_num() * scale / value.get_den()));
    std::string digits = scaled.get_str();
    if (digits.size() <= static_cast<std::size_t>(places))
        digits.insert(0, static_cast<std::size_t>(places) + 1 - digits.size(), '0');
    digits.insert(digits.size() - static_cast<std::size_t>(places), ".");
    return (value < 0 ? "-" : "") + digits;
}

// True when `written`, a decimal of `places` places, is `right` rounded to them (and not equal).
bool rounded_from(const mpq_class &written, int places, const mpq_class &right)
{
    if (places <= 0 || written == right)
        return false;
    mpz_class scale;
    mpz_ui_pow_ui(scale.get_mpz_t(), 10, static_cast<unsigned long>(places));
    return abs(mpq_class(written - right)) * scale * 2 <= 1;
}

// Every entry where `rows` (written with decimal places `places`, when known) differ from the
// store, the first named_differences of them named: "riadok 2, stlpec 3: 5/2, spravne je 7/2",
// a rounded decimal as "0.667 je zaokruhlene 2/3: pis presne zlomky"; "" when none does. The
// first of them goes to `first`, how many there are to `count`.
std::string differences(const WorkMatrix &rows, const std::vector<std::vector<int>> &places,
                        WorkMistake &first, int &count)
{
    std::string named;
    count = 0;
    for (std::size_t r = 0; r < rows.size(); r++)
        for (std::size_t c = 0; c < rows[r].size(); c++) {
            const mpq_class right = cell_value(static_cast<int>(r), static_cast<int>(c));
            if (rows[r][c] == right)
                continue;
            if (++count > named_differences)
                continue;
            const int written_places = r < places.size() && c < places[r].size() ? places[r][c] : 0;
            const std::string right_text = exact_value_text(right.get_num(), right.get_den());
            named += (named.empty() ? "" : "; ") +
                     format_text(tr("riadok %d, stlpec %d: "), static_cast<int>(r + 1),
                                 static_cast<int>(c + 1));
            const bool rounded = rounded_from(rows[r][c], written_places, right);
            const std::string written_text =
                rounded ? decimal_text(rows[r][c], written_places)
                        : exact_value_text(rows[r][c].get_num(), rows[r][c].get_den());
            named += rounded ? format_text(tr("%s je zaokruhlene %s: pis presne zlomky"),
                                           written_text.c_str(), right_text.c_str())
                             : format_text(tr("%s, spravne je %s"), written_text.c_str(),
                                           right_text.c_str());
            if (count == 1) {
                first.row = static_cast<int>(r) + 1;
                first.column = static_cast<int>(c) + 1;
                first.written = written_text;
                first.right = right_text;
            }
        }
    if (count > named_differences)
        named += format_text(tr("; a dalsie nespravne cisla: %d"),
                             static_cast<int>(count - named_differences));
    return named;
}

// Judges the matrix of one step (or the copied system, with no operation) against the store,
// which goes on from the matrix written, or from the right one when it is not written whole.
// Returns its line of the report, "" when it is right; its first wrong entry goes to `first`,
// the number of them to `count`.
std::string judge_matrix_of(const WorkStep &step, int order, WorkMistake &first, int &count)
{
    std::string verdict;
    count = 0;
    const bool whole = step.rows.size() == static_cast<std::size_t>(order);
    if (step.line > 0 && !step.operation.ok)
        verdict = step.operation.message;
    else if (step.line > 0)
        apply_operation_now(step.operation.operation);
    if (whole && (step.line == 0 || step.operation.ok))
        verdict = differences(step.rows, step.places, first, count);
    if (whole)
        store_rows(step.rows);
    if (!step.fault.empty())
        verdict += (verdict.empty() ? "" : "; ") + step.fault;
    return verdict;
}

// The end of the report: whether the last matrix is in reduced row echelon form (or already
// shows a row 0 ... 0 | c: no solution) and whether its answer is that of the system
// (`right_final`, with its closing statement `right_answer`). Whether the form is reduced and
// the result right goes to `summary`.
std::string judge_end(const StoreSnapshot &right_final, const std::string &right_answer,
                      bool right_contradicts, WorkSummary &summary)
{
    const int contradiction = first_contradiction_row();
    bool &reduced = summary.reduced;
    bool &right = summary.result_right;
    reduced = in_reduced_form();
    summary.finished = reduced || contradiction >= 0;
    right = false;
    if (!reduced && contradiction >= 0) {
        const mpq_class c = cell_value(contradiction, matrix_shape.unknowns);
        const std::string report =
            format_text(tr("Koniec: riadok %d znamena 0 = %s, sustava nema riesenie.\n"),
                        contradiction + 1, exact_value_text(c.get_num(), c.get_den()).c_str());
        right = right_contradicts;
        if (right_contradicts)
            return report + format_text(tr("Vysledok je spravny: %s\n"), right_answer.c_str());
        return report +
               format_text(tr("Vysledok je nespravny; spravny je: %s\n"), right_answer.c_str());
    }
    if (!reduced)
        return format_text(tr("Koniec: matica nie je v redukovanom stupnovitom tvare.\n"
                              "Vysledok sa z nej este neda precitat; spravny je: %s\n"),
                           right_answer.c_str());
    std::string report = tr("Koniec: matica je v redukovanom stupnovitom tvare.\n");
    const std::string answer = closing_statement(notation_plain);
    const bool both_contradict = right_contradicts && solution_set().contradiction_row >= 0;
    right = store_has_values_of(right_final) || both_contradict;
    if (right)
        return report + format_text(tr("Vysledok je spravny: %s\n"), answer.c_str());
    return report + format_text(tr("Vysledok je nespravny: %s\nSpravny je: %s\n"),
                                answer.c_str(), right_answer.c_str());
}

// The report's line for a worked solution with no step at all.
constexpr const char *nothing_to_check =
    tr_noop("Nie je co kontrolovat: v praci nie je ziadny krok.\n");

// A check under way: what the system's own solve ends on, and the report so far.
struct CheckRun {
    StoreSnapshot right_final;           // the reduced form the system's own solve ends on
    std::string right_answer;            // its closing statement
    bool right_contradicts = false;      // the system has no solution
    std::vector<mpq_class> right_values; // x1 .. xn of its unique solution; empty when none
    std::string report;                  // printed once the whole work has been read
    int steps = 0;                       // the steps judged so far
    int copied = 0;                      // 1 when the work copies the system before its first step
    int wrong = 0;                       // the wrong ones, a miscopied system included
    int wrong_steps = 0;                 // the wrong steps alone
    int copied_differences = 0;          // the entries of the copied system that are not its own
    WorkSummary summary;                 // the run for a line of a class's table
};

// Notes the mistake `mistake` of the step `step` as the first, unless one came before.
void note_mistake(CheckRun &run, const std::string &step, WorkMistake mistake,
                  const std::string &why)
{
    if (run.summary.mistaken)
        return;
    run.summary.mistaken = true;
    mistake.step = step;
    if (mistake.row == 0)
        mistake.why = why;
    run.summary.first = mistake;
}

// Starts the check of a worked solution of the system in the store.
void start_check(CheckRun &run)
{
    const StoreSnapshot system = save_store();
    run_elimination_now(nullptr, reach_reduced_form);
    run.right_final = save_store();
    run.right_answer = closing_statement(notation_plain);
    const SolutionSet solutions = solution_set();
    run.right_contradicts = solutions.contradiction_row >= 0;
    if (matrix_shape.kind == kind_system && !run.right_contradicts &&
        solutions.free_columns.empty())
        for (const UnknownExpression &unknown : solutions.unknowns)
            run.right_values.push_back(unknown.constant);
    restore_store(system);
}

// Judges the copied system or a step as soon as it is read; the store goes on from its matrix.
void judge_matrix(CheckRun &run, const WorkStep &step)
{
    WorkMistake first;
    int count = 0;
    const std::string verdict = judge_matrix_of(step, matrix_shape.rows, first, count);
    const std::string text = verdict.empty() ? tr("v poriadku") : verdict;
    std::string name = tr("Zadanie");
    if (step.line == 0) {
        run.copied = 1;
        run.copied_differences = count;
    } else {
        run.steps++;
        name = format_text(tr("Krok %d"), step.number > 0 ? step.number : run.steps);
        run.wrong_steps += verdict.empty() ? 0 : 1;
    }
    run.report += name + ": " + text + "\n";
    if (!verdict.empty())
        note_mistake(run, name, first, verdict);
    run.wrong += verdict.empty() ? 0 : 1;
}

// The report's line on the work's own answer, "" when it writes none; a wrong one counts.
std::string judge_answer(CheckRun &run, const WorkAnswer &answer)
{
    if (answer.line == 0)
        return "";
    const std::string step = format_text(tr("Odpoved (riadok %d)"), answer.line);
    const std::string head = step + ": ";
    run.wrong++;
    if (run.right_values.empty()) {
        const std::string why =
            format_text(tr("sustava nema jedine riesenie; spravne je: %s"), run.right_answer.c_str());
        note_mistake(run, step, WorkMistake{}, why);
        return head + why + "\n";
    }
    std::string wrong;
    for (std::size_t k = 0; k < run.right_values.size(); k++) {
        const std::string name = "x" + std::to_string(k + 1);
        const mpq_class &right = run.right_values[k];
        if (k >= answer.named.size() || !answer.named[k])
            wrong += (wrong.empty() ? "" : "; ") + format_text(tr("%s chyba"), name.c_str());
        else if (answer.values[k] != right)
            wrong += (wrong.empty() ? "" : "; ") + name + " = " +
                     format_text(tr("%s, spravne je %s"),
                                 exact_value_text(answer.values[k].get_num(),
                                                  answer.values[k].get_den())
                                     .c_str(),
                                 exact_value_text(right.get_num(), right.get_den()).c_str());
    }
    if (wrong.empty()) {
        run.wrong--;
        return head + tr("v poriadku") + "\n";
    }
    note_mistake(run, step, WorkMistake{}, wrong);
    return head + wrong + "\n";
}

// Ends the report: the verdict on the last matrix and on the work's answer and the count of
// mistakes, or that there was nothing to check. Returns 0 when every step is right, else
// check_found_mistakes.
int finish_check(CheckRun &run, const WorkAnswer &answer)
{
    WorkSummary &summary = run.summary;
    summary.steps = run.steps;
    summary.steps_right = run.steps - run.wrong_steps;
    if (run.steps == 0) {
        run.report += tr(nothing_to_check);
        return check_found_mistakes;
    }
    run.report += judge_end(run.right_final, run.right_answer, run.right_contradicts, summary);
    const int wrong_before = run.wrong;
    const std::string answered = judge_answer(run, answer);
    run.report += answered;
    summary.result_right = summary.result_right && run.wrong == wrong_before;
    summary.right = run.wrong == 0 && summary.result_right;
    if (run.wrong == 0) {
        run.report += tr("Vsetky kroky su v poriadku.\n");
        return 0;
    }
    run.report += format_text(tr("Chyby: %d z %d.\n"), run.wrong,
                              run.steps + run.copied + (answered.empty() ? 0 : 1));
    return check_found_mistakes;
}

// How getting the text of a WORK file went.
enum WorkInput {
    work_read,
    work_unreadable,
    work_not_a_file,
    work_too_large,
    work_binary,      // a 0 byte: no text (a class's check only)
    work_not_fitting, // its first line names another system, or none where one is needed
};

// Opens the WORK file `name` ("-": standard input): a regular file of at most max_work_bytes or
// a pipe (as a shell's <(...) gives), unless `regular_only` (a folder's entry, which nobody is
// known to be writing); nullptr, with the reason in `input`, for anything else.
std::FILE *open_work(const char *name, bool regular_only, WorkInput &input)
{
    if (std::string(name) == "-")
        return stdin;
    struct stat info {
    };
    if (stat(name, &info) != 0) {
        input = work_unreadable;
        return nullptr;
    }
    if (!S_ISREG(info.st_mode) && (regular_only || !S_ISFIFO(info.st_mode))) {
        input = work_not_a_file; // a folder, or a device that may never end (/dev/zero)
        return nullptr;
    }
    if (S_ISREG(info.st_mode) && static_cast<std::uintmax_t>(info.st_size) > max_work_bytes) {
        input = work_too_large;
        return nullptr;
    }
    std::FILE *file = open_readable_file(name, !regular_only);
    if (!file)
        input = work_unreadable;
    return file;
}

// The most of a WORK file's start kept to find its first line: "# --random 3x4 --seed S" is
// short, and the text after this is the first line's all the same.
constexpr std::size_t first_line_limit = 4096;

// One hand-in's check under way: the check, the reader (made once the system is in the store)
// and what was read.
struct HandInCheck {
    CheckRun run;
    std::unique_ptr<WorkReader> reader;
    std::string unfit;    // why its system is not the one to check against
    std::size_t size = 0; // the bytes read
};

// Puts the system of a hand-in whose text starts with `head` in the store (through `prepare`,
// given the first line; none: it is there) and starts its check with `head`; false, the reason
// in `check.unfit`, when the hand-in does not fit.
bool begin_check(HandInCheck &check, const std::string &head, const PrepareSystem &prepare)
{
    const std::string first =
        head.substr(0, std::min(head.find_first_of("\r\n"), first_line_limit));
    check.unfit = prepare ? prepare(first) : "";
    if (!check.unfit.empty())
        return false;
    CheckRun &run = check.run;
    start_check(run);
    check.reader = std::make_unique<WorkReader>(
        matrix_shape, [&run](WorkStep &step) { judge_matrix(run, step); });
    check.reader->feed(head.data(), head.size());
    return true;
}

// Reads the open WORK file to its end, at most max_work_bytes of it (a pipe, or a file that grew
// since it was opened, may bring more): its start to the end of its first line decides the
// system, then each step is judged as it comes. With `text_only` a 0 byte ends it as no text.
WorkInput read_work_text(std::FILE *file, HandInCheck &check, const PrepareSystem &prepare,
                         bool text_only)
{
    char buffer[65536];
    std::string head;
    bool begun = false;
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        check.size += got;
        if (check.size > max_work_bytes)
            return work_too_large;
        if (text_only && std::memchr(buffer, 0, got) != nullptr)
            return work_binary;
        if (begun) {
            check.reader->feed(buffer, got);
            continue;
        }
        head.append(buffer, got);
        if (head.find_first_of("\r\n") == std::string::npos && head.size() < first_line_limit)
            continue;
        if (!begin_check(check, head, prepare))
            return work_not_fitting;
        begun = true;
        head = std::string();
    }
    if (std::ferror(file))
        return work_unreadable;
    if (!begun && !begin_check(check, head, prepare))
        return work_not_fitting;
    check.reader->finish();
    return work_read;
}

// Reads and judges the WORK file `name` against the system `prepare` puts in the store.
WorkInput read_and_judge(const char *name, bool regular_only, HandInCheck &check,
                         const PrepareSystem &prepare, bool text_only)
{
    WorkInput input = work_read;
    std::FILE *file = open_work(name, regular_only, input);
    if (!file)
        return input;
    input = read_work_text(file, check, prepare, text_only);
    if (file != stdin)
        std::fclose(file);
    return input;
}

// Why a WORK file was not read, for a line naming it.
std::string unread_reason(WorkInput input, const std::string &unfit)
{
    switch (input) {
    case work_too_large:
        return format_text(tr("subor je vacsi ako %zu MB, taku pracu program nekontroluje"),
                           max_work_bytes >> 20);
    case work_not_a_file:
        return tr("nie je obycajny subor");
    case work_binary:
        return tr("nie je textovy subor");
    case work_not_fitting:
        return unfit;
    default:
        return tr("subor sa neda precitat");
    }
}

// The line of a work that cannot be read and why: "riadok 7: necakany text".
std::string unreadable_reason(const WorkReader &reader)
{
    return format_text(tr("riadok %d: %s"), reader.why_line, reader.why.c_str());
}

// Says on `err` why the WORK file `name` was not read; returns the exit status for it.
int report_unread_work(const char *name, WorkInput input, const std::string &unfit, std::FILE *err)
{
    std::fprintf(err, "%s: %s\n", name, unread_reason(input, unfit).c_str());
    return input == work_too_large     ? load_too_large
           : input == work_not_fitting ? load_invalid
                                       : load_cannot_open;
}

// The summary of a check read to its end and finished: why it says nothing of steps (an empty
// file, no step, the copy of another system), or its own.
WorkSummary summary_of(const HandInCheck &check)
{
    WorkSummary summary = check.run.summary;
    const int entries = matrix_shape.rows * matrix_shape.columns();
    if (check.size == 0)
        summary.unchecked = tr("subor je prazdny");
    else if (check.run.steps == 0)
        summary.unchecked = tr("v praci nie je ziadny krok");
    else if (check.run.copied_differences * 2 > entries)
        summary.unchecked = format_text(tr("praca je k inej sustave: zadanie sa lisi v %d z %d cisel"),
                                        check.run.copied_differences, entries);
    if (!summary.unchecked.empty())
        summary.right = false;
    return summary;
}

} // namespace

// Reads a worked solution of a matrix of `shape` from `text`, line by line.
WorkRead read_work(const std::string &text, const MatrixShape &shape)
{
    WorkRead read;
    WorkReader reader(shape, [&read](WorkStep &step) {
        if (step.line == 0) {
            read.work.start = std::move(step.rows);
            read.work.start_fault = step.fault;
        } else {
            read.work.steps.push_back(std::move(step));
        }
    });
    reader.feed(text.data(), text.size());
    reader.finish();
    if (reader.unreadable())
        return failed_read(reader.why_line, reader.why);
    read.work.answer = reader.answer;
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
                                    ? std::string(tr("Prazdna matica nema inverznu maticu."))
                                    : tr("Inverzna matica je len pre stvorcovu maticu: ") +
                                          left_block_size_text(matrix_shape);
        std::fprintf(err, "%s: %s\n", system_file, why.c_str());
        return inverse_refused;
    }
    if (matrix_shape.kind == kind_system)
        std::fprintf(err, "%s\n", tr(right_sides_left_out));
    restore_store(start);
    return 0;
}

} // namespace

// Loads the system of a check into the store, [A | I] of its matrix with `inversion`.
int load_check_system(const char *system_file, bool inversion, std::FILE *err)
{
    const int loaded = load_matrix_file(system_file);
    if (loaded != load_ok) {
        const char *message = load_message(loaded);
        std::fprintf(err, "%s: %s\n", system_file, message ? message : tr("Neplatna matica!"));
        return loaded;
    }
    return inversion ? start_inversion(system_file, err) : 0;
}

// Checks one hand-in with the detailed report, judging each step as it is read, so that no more
// than one step's matrix is kept; the store is left as it was.
int check_one_work(const char *work_file, const PrepareSystem &prepare, std::FILE *out,
                   std::FILE *err, WorkSummary *summary)
{
    const StoreSnapshot kept = save_store();
    HandInCheck check;
    const WorkInput input = read_and_judge(work_file, false, check, prepare, false);
    WorkSummary found;
    int status = 0;
    if (input != work_read) {
        found.unchecked = unread_reason(input, check.unfit);
        status = report_unread_work(work_file, input, check.unfit, err);
    } else if (check.reader->unreadable()) {
        found.unchecked = unreadable_reason(*check.reader);
        std::fprintf(err, "%s, %s\n", work_file, found.unchecked.c_str());
        status = load_invalid;
    } else {
        status = finish_check(check.run, check.reader->answer);
        found = summary_of(check);
    }
    restore_store(kept);
    if (summary)
        *summary = found;
    if (input != work_read || status == load_invalid)
        return status;
    std::fwrite(check.run.report.data(), 1, check.run.report.size(), out);
    const int written = finish_output(out, err);
    return written != 0 ? written : status;
}

// Checks one hand-in of a class without printing: its line of the table.
WorkSummary check_hand_in(const std::string &name, bool regular_only, const PrepareSystem &prepare)
{
    const StoreSnapshot kept = save_store();
    HandInCheck check;
    const WorkInput input = read_and_judge(name.c_str(), regular_only, check, prepare, true);
    WorkSummary summary;
    if (input != work_read) {
        summary.unchecked = unread_reason(input, check.unfit);
    } else if (check.reader->unreadable()) {
        summary.unchecked = unreadable_reason(*check.reader);
    } else {
        finish_check(check.run, check.reader->answer);
        summary = summary_of(check);
    }
    restore_store(kept);
    return summary;
}

// Checks the worked solution in `work_file` against the system in `system_file` (or the
// inversion of its matrix).
int check_work(const char *system_file, const char *work_file, std::FILE *out, std::FILE *err,
               bool inversion)
{
    const StoreSnapshot kept = save_store();
    const int loaded = load_check_system(system_file, inversion, err);
    const int status = loaded != 0 ? loaded : check_one_work(work_file, nullptr, out, err, nullptr);
    restore_store(kept);
    return status;
}
