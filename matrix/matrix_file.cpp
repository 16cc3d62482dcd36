// Matrix files: reading one into the store exactly, and writing a matrix as one.
#include "matrix_file.h"
#include "../matrix/translation.h"

#include "atomic_file.h"
#include "shape_form.h"
#include "store.h"
#include "work_check.h"
#include "work_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

// The message for a failed load, by LoadResult.
const char *load_message(int code)
{
    switch (code) {
    case load_cannot_open:
        return tr("Mam problemy so suborom.");
    case load_too_large:
        return tr("Matica v subore je prilis velka.");
    case load_invalid:
        return tr("Neplatna matica!");
    default:
        return nullptr;
    }
}

namespace
{

// A matrix file being read, with the number of the line the next character is on.
struct Reader {
    std::FILE *file = nullptr;
    int line = 1;
    int number_line = 1; // the line the last number read began on
};

// The next character, counting lines.
int next_char(Reader &in)
{
    const int c = std::getc(in.file);
    if (c == '\n')
        in.line++;
    return c;
}

// Puts back the character just read.
void put_back(Reader &in, int c)
{
    if (c == EOF)
        return;
    std::ungetc(c, in.file);
    if (c == '\n')
        in.line--;
}

// True when the next character is a digit; reads nothing.
bool digit_follows(Reader &in)
{
    const int c = next_char(in);
    put_back(in, c);
    return c != EOF && std::isdigit(c);
}

// Reads one integer the way "%d" does, but of any length up to max_digits.
int read_integer_from(Reader &in, mpz_class &value, std::size_t max_digits)
{
    int c = next_char(in);
    while (c != EOF && std::isspace(c))
        c = next_char(in);
    if (c == EOF)
        return EOF;
    in.number_line = in.line;
    std::string digits;
    if (c == '-' || c == '+') {
        if (c == '-')
            digits.push_back('-');
        c = next_char(in);
    }
    std::size_t sign_length = digits.size();
    while (c != EOF && std::isdigit(c)) {
        if (digits.size() - sign_length == max_digits)
            return integer_too_long;
        digits.push_back(static_cast<char>(c));
        c = next_char(in);
    }
    put_back(in, c);
    if (digits.size() == sign_length)
        return integer_none;
    value.set_str(digits, 10);
    return integer_read;
}

} // namespace

// Reads one integer the way "%d" does, but of any length up to max_digits.
int read_integer(std::FILE *file, mpz_class &value, std::size_t max_digits)
{
    Reader in;
    in.file = file;
    return read_integer_from(in, value, max_digits);
}

// True for the kinds of file open_readable_file takes: regular files, and pipes when `pipes`.
static bool readable_kind(mode_t mode, bool pipes)
{
    return S_ISREG(mode) || (pipes && S_ISFIFO(mode));
}

// Opens a regular file (or a pipe, when `pipes`) for reading without blocking in the open call;
// nullptr when it cannot be opened or is of another kind.
std::FILE *open_readable_file(const char *name, bool pipes)
{
    struct stat info {
    };
    if (stat(name, &info) != 0 || !readable_kind(info.st_mode, pipes))
        return nullptr; // a device would block the reads or never end them
    // Opened without blocking, as a FIFO without a writer would block the open call, and in case
    // the name has changed kind since; then checked again. A pipe's reads block as they come.
    const int descriptor = open(name, O_RDONLY | O_NONBLOCK | O_NOCTTY);
    if (descriptor < 0)
        return nullptr;
    const int flags = fcntl(descriptor, F_GETFL);
    if (fstat(descriptor, &info) != 0 || !readable_kind(info.st_mode, pipes) || flags < 0 ||
        fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        close(descriptor);
        return nullptr;
    }
    std::FILE *file = fdopen(descriptor, "r");
    if (!file)
        close(descriptor);
    return file;
}

// Opens a file for reading; nullptr when it cannot be opened or is not a regular file.
std::FILE *open_regular_file(const char *name)
{
    return open_readable_file(name, false);
}

namespace
{

// How far past the last entry a file is looked at for numbers left over.
constexpr int max_scan_after_matrix = 65536;

// The texts of the warnings, in LoadWarningKind order.
// TRANSLATORS: fits 72 with "Warning, line 12: " before it; "sustava MxN" is the file's header
constexpr const char *warning_texts[] = {
    tr_noop("bodka rozdelila cislo; desatinne cisla: hlavicka sustava MxN"),
    tr_noop("lomka rozdelila zlomok; zlomky: hlavicka sustava MxN"),
    tr_noop("minus medzi cislami sa citalo ako oddelovac"),
    tr_noop("za maticou zostali dalsie cisla"),
    tr_noop("riadky suboru nesedia s radom matice"),
};

// Notes a warning, once per line and kind.
void warn(LoadWarnings &warnings, int line, LoadWarningKind kind)
{
    for (const LoadWarning &w : warnings)
        if (w.line == line && w.kind == kind)
            return;
    warnings.push_back({line, kind});
}

// Reads the order as "%d" reads an integer: white space, an optional sign, then digits of any
// number (leading zeros are only zeros, so the entries' digit limit does not apply). Only
// whether the value is negative, 0..10 or larger matters, so no more than that is kept.
int read_order(Reader &in, int &order)
{
    int c = next_char(in);
    while (c != EOF && std::isspace(c))
        c = next_char(in);
    const bool negative = c == '-';
    if (c == '-' || c == '+')
        c = next_char(in);
    bool any_digit = false;
    int value = 0; // stops growing once past the largest order
    for (; c != EOF && std::isdigit(c); c = next_char(in)) {
        any_digit = true;
        if (value <= max_matrix_order)
            value = value * 10 + (c - '0');
    }
    put_back(in, c);
    if (!any_digit || (negative && value != 0))
        return load_invalid;
    if (value > max_matrix_order)
        return load_too_large;
    order = value;
    return load_ok;
}

// Warns when the separator just read, with a digit right after it, splits a number that was
// probably meant as one: 1.5, 1/2, or 1-2.
void check_separator(Reader &in, int separator, LoadWarnings &warnings)
{
    if ((separator != '.' && separator != '/' && separator != '-') || !digit_follows(in))
        return;
    const LoadWarningKind kind = separator == '.'   ? warning_decimal_point
                                 : separator == '/' ? warning_fraction_slash
                                                    : warning_minus_separator;
    warn(warnings, in.line, kind);
}

// Reads the n*(n+1) entries, each after exactly one thrown-away character, noting the line
// each row begins and ends on.
int read_entries(Reader &in, int order, LoadWarnings &warnings,
                 std::vector<std::pair<int, int>> &row_lines)
{
    for (int i = 0; i < order; i++) {
        for (int j = 0; j <= order; j++) {
            const int separator = next_char(in);
            if (separator == EOF)
                return load_invalid;
            check_separator(in, separator, warnings);
            Fraction &entry = cell(i, j);
            const int found = read_integer_from(in, entry.num, max_entry_digits);
            if (found == integer_too_long)
                return load_too_large;
            if (found != integer_read)
                return load_invalid;
            entry.den = 1;
            if (j == 0)
                row_lines.push_back({in.number_line, in.number_line});
            row_lines.back().second = in.number_line;
        }
    }
    return load_ok;
}

// Warns at the first line that holds the end of one row and the start of the next, when the
// matrix is broken into lines at all (a matrix written on one line is fine).
void check_row_lines(const std::vector<std::pair<int, int>> &row_lines, LoadWarnings &warnings)
{
    if (row_lines.empty() || row_lines.front().first == row_lines.back().second)
        return;
    for (std::size_t i = 0; i + 1 < row_lines.size(); i++)
        if (row_lines[i].second == row_lines[i + 1].first) {
            warn(warnings, row_lines[i].second, warning_rows_across_lines);
            return;
        }
}

// Warns about what follows the last entry: a point or slash that splits it, and numbers left.
void check_after_matrix(Reader &in, LoadWarnings &warnings)
{
    int c = next_char(in);
    if ((c == '.' || c == '/') && digit_follows(in)) {
        warn(warnings, in.line, c == '.' ? warning_decimal_point : warning_fraction_slash);
        do
            c = next_char(in);
        while (c != EOF && std::isdigit(c)); // the rest of that number is not a number left
    }
    for (int scanned = 0; c != EOF && scanned < max_scan_after_matrix; scanned++) {
        if (std::isdigit(c)) {
            warn(warnings, in.line, warning_numbers_after_matrix);
            return;
        }
        c = next_char(in);
    }
}

} // namespace

// A warning as one line of text.
std::string load_warning_line(const LoadWarning &warning)
{
    // TRANSLATORS: a load warning's head, "Warning, line 12: "
    return format_text(tr("Pozor, riadok %d: "), warning.line) + tr(warning_texts[warning.kind]);
}

namespace
{

// Reads the rest of a file in the form with a shape, whose first character `c` is read.
int read_rest_as_shape_form(Reader &in, int c, std::string *why)
{
    const int first_line = in.line;
    std::string text(1, static_cast<char>(c));
    for (c = std::getc(in.file); c != EOF && text.size() <= max_shape_form_bytes;
         c = std::getc(in.file))
        text.push_back(static_cast<char>(c));
    if (std::ferror(in.file))
        return load_cannot_open;
    if (text.size() > max_shape_form_bytes) {
        if (why)
            *why = format_text(tr("subor je vacsi ako %d kB"),
                               static_cast<int>(max_shape_form_bytes / 1024));
        return load_too_large;
    }
    return read_shape_form(text, first_line, why);
}

// Reads the whole file again from `start` as a work file (the form --check reads, as W writes it):
// true with the matrix before its first step in `system`. Only a file that does not load as a
// matrix file, or loads with warnings, is tried: every file that loads cleanly loads as before.
bool read_as_work_file(std::FILE *file, long start, StoreSnapshot &system)
{
    if (start < 0 || std::fseek(file, start, SEEK_SET) != 0)
        return false;
    std::string text;
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, got);
        if (text.size() > max_work_bytes)
            return false;
    }
    return !std::ferror(file) && read_work_file_system(text, system);
}

// Reads a matrix file into the store: the form with a shape when it starts with its header (or
// a comment), else the order and the entries.
int read_matrix_forms(std::FILE *file, LoadWarnings *warnings, std::string *why)
{
    matrix_shape = MatrixShape{};
    if (warnings)
        warnings->clear();
    if (why)
        why->clear();
    Reader in;
    in.file = file;
    int c = next_char(in);
    while (c != EOF && std::isspace(c))
        c = next_char(in);
    if (starts_shape_form(c))
        return read_rest_as_shape_form(in, c, why);
    put_back(in, c);
    LoadWarnings found;
    std::vector<std::pair<int, int>> row_lines; // the first and last line of each row
    int order = 0;
    int result = read_order(in, order);
    if (result == load_ok)
        result = read_entries(in, order, found, row_lines);
    if (result == load_invalid && std::ferror(file))
        result = load_cannot_open;
    if (result == load_ok) {
        check_row_lines(row_lines, found);
        check_after_matrix(in, found);
        std::stable_sort(
            found.begin(), found.end(),
            [](const LoadWarning &a, const LoadWarning &b) { return a.line < b.line; });
        matrix_shape = square_shape(order);
    }
    if (warnings)
        *warnings = result == load_ok ? found : LoadWarnings{};
    return result;
}

} // namespace

// Reads a matrix file into the store, or the system of a work file that is none.
int read_matrix(std::FILE *file, LoadWarnings *warnings, std::string *why)
{
    const long start = std::ftell(file);
    LoadWarnings found;
    std::string problem;
    int result = read_matrix_forms(file, &found, &problem);
    StoreSnapshot system;
    if ((result != load_ok || !found.empty()) && read_as_work_file(file, start, system)) {
        restore_store(system); // a work: its system, and nothing to warn of
        found.clear();
        problem.clear();
        result = load_ok;
    }
    if (warnings)
        *warnings = found;
    if (why)
        *why = problem;
    return result;
}

// Opens, reads and closes the matrix file `name`.
int load_matrix_file(const char *name, LoadWarnings *warnings, std::string *why)
{
    matrix_shape = MatrixShape{};
    if (warnings)
        warnings->clear();
    if (why)
        why->clear();
    std::FILE *file = open_regular_file(name);
    if (!file)
        return load_cannot_open;
    const int result = read_matrix(file, warnings, why);
    std::fclose(file);
    return result;
}

namespace
{

// The decimal texts of the system's entries, row by row; false when one is not whole or too long.
bool entry_texts(const StoreSnapshot &matrix, std::vector<std::vector<std::string>> &texts)
{
    const int n = matrix.shape.rows;
    texts.assign(static_cast<std::size_t>(n), {});
    for (int r = 0; r < n; r++) {
        for (int c = 0; c < matrix.shape.columns(); c++) {
            const Fraction &entry = snapshot_cell(matrix, r, c);
            if (entry.den != 1)
                return false;
            std::string text = entry.num.get_str();
            if (text.size() - (text[0] == '-' ? 1 : 0) > max_entry_digits)
                return false;
            texts[static_cast<std::size_t>(r)].push_back(std::move(text));
        }
    }
    return true;
}

} // namespace

// The text of a matrix file holding `matrix`, entries aligned in columns: a square system of
// whole numbers in the first form, anything else in the form with a shape.
std::string matrix_text(const StoreSnapshot &matrix)
{
    const int n = matrix.shape.rows;
    if (n < 0 || n > max_matrix_order)
        return "";
    std::vector<std::vector<std::string>> texts;
    const bool first_form = matrix.shape.kind == kind_system && matrix.shape.square();
    if (!first_form || !entry_texts(matrix, texts))
        return shape_form_text(matrix);
    std::vector<std::size_t> widths(static_cast<std::size_t>(n) + 1, 0);
    for (const auto &row : texts)
        for (std::size_t c = 0; c < row.size(); c++)
            widths[c] = std::max(widths[c], row[c].size());
    std::string text = std::to_string(n) + "\n";
    for (const auto &row : texts) {
        for (std::size_t c = 0; c < row.size(); c++) {
            const std::size_t gap = c == 0 ? 0 : (c == row.size() - 1 ? 3 : 1);
            text.append(gap + widths[c] - row[c].size(), ' ');
            text += row[c];
        }
        text += "\n";
    }
    return text;
}

// 1 when something already has the name `name`.
int file_exists(const char *name)
{
    struct stat info {
    };
    return lstat(name, &info) == 0 ? 1 : 0;
}

// 1 when `name` is a regular file, or a link to one.
int regular_file_exists(const char *name)
{
    struct stat info {
    };
    return stat(name, &info) == 0 && S_ISREG(info.st_mode) ? 1 : 0;
}

// Writes `matrix` to the file `name` atomically.
int save_matrix_file(const char *name, const StoreSnapshot &matrix)
{
    const std::string text = matrix_text(matrix);
    if (text.empty())
        return save_not_whole;
    return save_text_file(name, text);
}

// Writes `text` to the file `name` atomically, through a link to where it points.
int save_text_file(const char *name, const std::string &text)
{
    std::string path = name;
    struct stat info {
    };
    if (lstat(name, &info) == 0 && S_ISLNK(info.st_mode)) {
        char *target = realpath(name, nullptr); // the link's file, so the link stays a link
        if (!target)
            return save_failed;
        path = target;
        std::free(target);
    }
    if (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        return save_failed; // a folder, a device...: never replaced
    return write_file_atomically(path, text, file_mode_for(path)) == 0 ? save_ok : save_failed;
}
