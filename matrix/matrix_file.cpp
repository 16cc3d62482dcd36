// Reading a matrix file into the store: the order, then every entry, exactly.
#include "matrix_file.h"

#include "store.h"

#include <sys/stat.h>

#include <cctype>
#include <string>

// Reads one integer the way "%d" does, but of any length.
int read_integer(std::FILE *file, mpz_class &value)
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
        digits.push_back(static_cast<char>(c));
        c = std::getc(file);
    }
    if (c != EOF)
        std::ungetc(c, file);
    if (digits.size() == sign_length)
        return 0;
    value.set_str(digits, 10);
    return 1;
}

// Opens a matrix file for reading; nullptr when it cannot be opened or is a directory.
std::FILE *open_matrix_file(const char *name)
{
    std::FILE *file = std::fopen(name, "r");
    if (!file)
        return nullptr;
    struct stat info {
    };
    if (fstat(fileno(file), &info) != 0 || S_ISDIR(info.st_mode)) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}

// Reads the order: a non-negative integer up to 10, else the result code that says why not.
static int read_order(std::FILE *file, int &order)
{
    mpz_class value;
    if (read_integer(file, value) != 1 || value < 0)
        return load_invalid;
    if (value > max_matrix_order)
        return load_too_large;
    order = static_cast<int>(value.get_si());
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
            if (read_integer(file, entry.num) != 1)
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
