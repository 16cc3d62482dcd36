// Matrix files: reading one into the store exactly, and writing a matrix as one.
#include "matrix_file.h"

#include "atomic_file.h"
#include "store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

// The message for a failed load, by LoadResult.
const char *load_message(int code)
{
    switch (code) {
    case load_cannot_open:
        return "Mam problemy so suborom.";
    case load_too_large:
        return "Matica v subore je prilis velka.";
    case load_invalid:
        return "Neplatna matica!";
    default:
        return nullptr;
    }
}

// Reads one integer the way "%d" does, but of any length up to max_digits.
int read_integer(std::FILE *file, mpz_class &value, std::size_t max_digits)
{
    int c = std::getc(file);
    while (c != EOF && std::isspace(c))
        c = std::getc(file);
    if (c == EOF)
        return EOF;
    std::string digits;
    if (c == '-' || c == '+') {
        if (c == '-')
            digits.push_back('-');
        c = std::getc(file);
    }
    std::size_t sign_length = digits.size();
    while (c != EOF && std::isdigit(c)) {
        if (digits.size() - sign_length == max_digits)
            return integer_too_long;
        digits.push_back(static_cast<char>(c));
        c = std::getc(file);
    }
    if (c != EOF)
        std::ungetc(c, file);
    if (digits.size() == sign_length)
        return integer_none;
    value.set_str(digits, 10);
    return integer_read;
}

// Opens a file for reading; nullptr when it cannot be opened or is not a regular file.
std::FILE *open_regular_file(const char *name)
{
    struct stat info {
    };
    if (stat(name, &info) != 0 || !S_ISREG(info.st_mode))
        return nullptr; // a FIFO or a device would block the open call or the reads
    // Opened without blocking in case the name has become a FIFO since, then checked again.
    const int descriptor = open(name, O_RDONLY | O_NONBLOCK | O_NOCTTY);
    if (descriptor < 0)
        return nullptr;
    const int flags = fcntl(descriptor, F_GETFL);
    if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode) || flags < 0 ||
        fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        close(descriptor);
        return nullptr;
    }
    std::FILE *file = fdopen(descriptor, "r");
    if (!file)
        close(descriptor);
    return file;
}

// Reads the order as "%d" reads an integer: white space, an optional sign, then digits of any
// number (leading zeros are only zeros, so the entries' digit limit does not apply). Only
// whether the value is negative, 0..10 or larger matters, so no more than that is kept.
static int read_order(std::FILE *file, int &order)
{
    int c = std::getc(file);
    while (c != EOF && std::isspace(c))
        c = std::getc(file);
    const bool negative = c == '-';
    if (c == '-' || c == '+')
        c = std::getc(file);
    bool any_digit = false;
    int value = 0; // stops growing once past the largest order
    for (; c != EOF && std::isdigit(c); c = std::getc(file)) {
        any_digit = true;
        if (value <= max_matrix_order)
            value = value * 10 + (c - '0');
    }
    if (c != EOF)
        std::ungetc(c, file);
    if (!any_digit || (negative && value != 0))
        return load_invalid;
    if (value > max_matrix_order)
        return load_too_large;
    order = value;
    return load_ok;
}

// Reads the n*(n+1) entries, each after exactly one thrown-away character.
static int read_entries(std::FILE *file, int order)
{
    for (int i = 0; i < order; i++) {
        for (int j = 0; j <= order; j++) {
            if (std::getc(file) == EOF)
                return load_invalid;
            Fraction &entry = cell(i, j);
            const int found = read_integer(file, entry.num, max_entry_digits);
            if (found == integer_too_long)
                return load_too_large;
            if (found != integer_read)
                return load_invalid;
            entry.den = 1;
        }
    }
    return load_ok;
}

// Reads the order and entries from file into the store.
int read_matrix(std::FILE *file)
{
    matrix_order = 0;
    int order = 0;
    int result = read_order(file, order);
    if (result == load_ok)
        result = read_entries(file, order);
    if (result == load_invalid && std::ferror(file))
        result = load_cannot_open;
    if (result == load_ok)
        matrix_order = order;
    return result;
}

// Opens, reads and closes the matrix file `name`.
int load_matrix_file(const char *name)
{
    matrix_order = 0;
    std::FILE *file = open_regular_file(name);
    if (!file)
        return load_cannot_open;
    const int result = read_matrix(file);
    std::fclose(file);
    return result;
}

namespace
{

// The decimal texts of the system's entries, row by row; false when one is not whole or too long.
bool entry_texts(const StoreSnapshot &matrix, std::vector<std::vector<std::string>> &texts)
{
    const int n = matrix.order;
    texts.assign(static_cast<std::size_t>(n), {});
    for (int r = 0; r < n; r++) {
        for (int c = 0; c <= n; c++) {
            const Fraction &entry =
                matrix.cells[static_cast<std::size_t>(c)][static_cast<std::size_t>(r)];
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

// The text of a matrix file holding `matrix`, entries aligned in columns.
std::string matrix_text(const StoreSnapshot &matrix)
{
    const int n = matrix.order;
    if (n < 0 || n > max_matrix_order)
        return "";
    std::vector<std::vector<std::string>> texts;
    if (!entry_texts(matrix, texts))
        return "";
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
