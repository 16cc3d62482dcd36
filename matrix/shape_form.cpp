// The matrix file's form with a shape: a header, then one row per line of exact entries.
#include "shape_form.h"
#include "../matrix/translation.h"

#include "matrix_file.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace
{

// One line of the file with its number, comment and surrounding white space taken off.
struct FormLine {
    int number = 0;
    std::string text;
};

// True when `c` is white space within a line.
bool is_blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

// The lines of `text` that hold anything but a comment, numbered from `first_line`.
std::vector<FormLine> content_lines(const std::string &text, int first_line)
{
    std::vector<FormLine> lines;
    std::size_t start = 0;
    for (int number = first_line; start <= text.size(); number++) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        line = line.substr(0, line.find('#'));
        const auto first = std::find_if_not(line.begin(), line.end(), is_blank);
        const auto last = std::find_if_not(line.rbegin(), line.rend(), is_blank).base();
        if (first < last)
            lines.push_back(FormLine{number, std::string(first, last)});
        start = end + 1;
    }
    return lines;
}

// The words of a line: runs of characters between white space, with "|" a word of its own.
std::vector<std::string> words_of(const std::string &line)
{
    std::vector<std::string> words;
    std::string word;
    for (char c : line) {
        if (is_blank(c) || c == '|') {
            if (!word.empty())
                words.push_back(word);
            word.clear();
            if (c == '|')
                words.push_back("|");
        } else {
            word.push_back(c);
        }
    }
    if (!word.empty())
        words.push_back(word);
    return words;
}

// What reading the file found wrong: the result code and its reason on a line.
struct FormError {
    int result = load_ok;
    std::string why;
};

FormError error_at(int result, int line, const std::string &what)
{
    // TRANSLATORS: the head of a file's fault, "line 4: "
    return FormError{result, format_text(tr("riadok %d: "), line) + what};
}

// Reads a size 1..10 from the digits `text`; load_too_large above 10.
int read_size(const std::string &text, int &size)
{
    if (text.empty() || text.size() > 3 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit(c) != 0; }))
        return load_invalid;
    const int value = std::stoi(text);
    if (value < 1)
        return load_invalid;
    if (value > max_matrix_order)
        return load_too_large;
    size = value;
    return load_ok;
}

// Reads the header "sustava MxN" or "matica MxN" ("M x N" and "M N" too) into `shape`.
FormError read_header(const FormLine &line, MatrixShape &shape)
{
    std::string words = line.text;
    std::replace(words.begin(), words.end(), 'x', ' ');
    std::replace(words.begin(), words.end(), 'X', ' ');
    const std::vector<std::string> parts = words_of(words);
    // TRANSLATORS: the header words 'sustava' and 'matica' stay: they are the file format's
    const std::string example = tr("ma byt napr. 'sustava 3x4' alebo 'matica 3x3'");
    std::string word = line.text.substr(0, line.text.find_first_of(" \t0123456789"));
    std::transform(word.begin(), word.end(), word.begin(),
                   [](char c) { return static_cast<char>(std::tolower(c)); });
    if (word == "sustava")
        shape.kind = kind_system;
    else if (word == "matica")
        shape.kind = kind_matrix;
    else
        return error_at(load_invalid, line.number, tr("neznama hlavicka; ") + example);
    // The words after the header's word: the two sizes once every x is a space.
    std::vector<std::string> sizes;
    for (const std::string &part : words_of(words.substr(word.size())))
        sizes.push_back(part);
    if (sizes.size() != 2)
        return error_at(load_invalid, line.number, format_text(tr("za slovom %s "), word.c_str()) + example);
    const int rows = read_size(sizes[0], shape.rows);
    const int columns = read_size(sizes[1], shape.unknowns);
    if (rows == load_too_large || columns == load_too_large)
        return error_at(load_too_large, line.number, tr("najviac 10 riadkov a 10 stlpcov"));
    if (rows != load_ok || columns != load_ok)
        return error_at(load_invalid, line.number, tr("rozmery su cele cisla od 1 do 10; ") + example);
    return {};
}

// Reads one entry: a whole number, a fraction "p/q" or a decimal with a point or a comma.
FormError read_entry(const std::string &word, int line, Fraction &entry)
{
    const NumberRead read = read_shape_entry(word, entry);
    if (read == number_too_long)
        return error_at(load_too_large, line,
                        format_text(tr("cislo ma viac ako %d cifier"),
                                    static_cast<int>(max_entry_digits)));
    if (read == number_zero_denominator)
        return error_at(load_invalid, line, tr("zlomok s menovatelom 0: ") + word);
    if (read != number_read)
        return error_at(load_invalid, line, format_text(tr("'%s' nie je cislo (napr. 3, -7/2, 0,25)"), word.c_str()));
    return {};
}

// Reads row r of the matrix from `line`: its entries in order, "|" only before a system's
// right-hand side.
FormError read_row(const FormLine &line, int r, const MatrixShape &shape)
{
    const std::vector<std::string> words = words_of(line.text);
    const int wanted = shape.columns();
    int entries = 0;
    int bar_before = -1; // the entry the "|" stands before
    for (const std::string &word : words) {
        if (word == "|") {
            if (bar_before >= 0 || shape.kind != kind_system)
                return error_at(load_invalid, line.number,
                                shape.kind == kind_system ? tr("ciara | je v riadku dvakrat")
                                                          : tr("matica nema ciaru |"));
            bar_before = entries;
            continue;
        }
        if (entries < wanted) {
            const FormError error = read_entry(word, line.number, cell(r, entries));
            if (error.result != load_ok)
                return error;
        }
        entries++;
    }
    if (entries != wanted)
        return error_at(load_invalid, line.number,
                        format_text(tr("riadok matice ma %d cisel, ma ich mat %d"), entries,
                                    wanted));
    if (bar_before >= 0 && bar_before != shape.unknowns)
        return error_at(load_invalid, line.number, tr("ciara | ma byt pred pravou stranou"));
    return {};
}

// Reads the whole form into the store.
FormError read_form(const std::string &text, int first_line)
{
    const std::vector<FormLine> lines = content_lines(text, first_line);
    if (lines.empty())
        return FormError{load_invalid, tr("subor nema hlavicku")};
    MatrixShape shape;
    const FormError header = read_header(lines.front(), shape);
    if (header.result != load_ok)
        return header;
    matrix_shape = shape;
    const int rows = static_cast<int>(lines.size()) - 1;
    for (int r = 0; r < rows && r < shape.rows; r++) {
        const FormError row = read_row(lines[static_cast<std::size_t>(r) + 1], r, shape);
        if (row.result != load_ok)
            return row;
    }
    if (rows < shape.rows)
        return FormError{load_invalid, format_text(tr("matica ma %d riadkov, v subore je ich %d"),
                                                   shape.rows, rows)};
    if (rows > shape.rows)
        return error_at(load_invalid, lines[static_cast<std::size_t>(shape.rows) + 1].number,
                        format_text(tr("riadok navyse: matica ma %d riadkov"), shape.rows));
    return {};
}

// The text of a value in lowest terms, "-7/2" or "3"; "" when a part is too long.
std::string entry_text(const Fraction &entry)
{
    mpq_class value(entry.num, entry.den);
    value.canonicalize();
    const mpz_class top = abs(value.get_num());
    if (top.get_str().size() > max_entry_digits ||
        value.get_den().get_str().size() > max_entry_digits)
        return "";
    return value.get_str();
}

} // namespace

// True when a file starting with `c` is in this form.
bool starts_shape_form(int c)
{
    return c == '#' || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Reads a file in this form into the store.
int read_shape_form(const std::string &text, int first_line, std::string *why)
{
    const FormError error = read_form(text, first_line);
    if (error.result != load_ok)
        matrix_shape = MatrixShape{};
    if (why)
        *why = error.why;
    return error.result;
}

// Reads `word` whole as one entry: a decimal comma is read as a point when it is the only one.
NumberRead read_shape_entry(const std::string &word, Fraction &entry)
{
    std::string text = word;
    if (std::count(text.begin(), text.end(), ',') == 1 && text.find('.') == std::string::npos)
        std::replace(text.begin(), text.end(), ',', '.');
    std::size_t at = 0;
    mpq_class value;
    const NumberRead read = read_exact_number(text, at, max_entry_digits, value);
    if (read == number_read && at != text.size())
        return number_none;
    if (read == number_read)
        entry = Fraction{value.get_num(), value.get_den()};
    return read;
}

// The text of a system or a matrix alone in this form.
std::string shape_form_text(const StoreSnapshot &matrix)
{
    const MatrixShape &shape = matrix.shape;
    if (shape.kind == kind_inverse || shape.rows < 1 || shape.unknowns < 1)
        return "";
    std::vector<std::vector<std::string>> texts(static_cast<std::size_t>(shape.rows));
    std::vector<std::size_t> widths(static_cast<std::size_t>(shape.columns()), 0);
    for (int r = 0; r < shape.rows; r++)
        for (int c = 0; c < shape.columns(); c++) {
            const std::string text = entry_text(snapshot_cell(matrix, r, c));
            if (text.empty())
                return "";
            texts[static_cast<std::size_t>(r)].push_back(text);
            widths[static_cast<std::size_t>(c)] =
                std::max(widths[static_cast<std::size_t>(c)], text.size());
        }
    std::string text =
        std::string(shape.kind == kind_system ? system_header_word : matrix_header_word) + " " +
        std::to_string(shape.rows) + "x" + std::to_string(shape.unknowns) + "\n";
    for (const auto &row : texts) {
        for (std::size_t c = 0; c < row.size(); c++) {
            const bool right_side =
                shape.kind == kind_system && c == static_cast<std::size_t>(shape.unknowns);
            if (right_side)
                text += " |";
            text.append((c == 0 ? 0 : 1) + widths[c] - row[c].size(), ' ');
            text += row[c];
        }
        text += "\n";
    }
    return text;
}
