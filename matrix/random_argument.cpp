// The --random argument and seed as they are written, on the command line and on a hand-in.
#include "random_argument.h"

#include "store.h"

#include <sstream>
#include <vector>

// Reads a whole number of one or two digits from 1 to `largest`.
bool read_small_number(const std::string &text, int largest, int &number)
{
    if (text.empty() || text.size() > 2 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const int value = std::stoi(text);
    if (value < 1 || value > largest)
        return false;
    number = value;
    return true;
}

// Reads the value of --random N, or either size of MxN.
bool read_random_shape(const std::string &text, int &rows, int &unknowns)
{
    const std::size_t times = text.find_first_of("xX");
    if (times == std::string::npos) {
        if (!read_small_number(text, max_matrix_order, rows))
            return false;
        unknowns = rows;
        return true;
    }
    int m = 0;
    int n = 0;
    if (!read_small_number(text.substr(0, times), max_matrix_order, m) ||
        !read_small_number(text.substr(times + 1), max_matrix_order, n))
        return false;
    rows = m;
    unknowns = n;
    return true;
}

// Reads the value of --seed, digits only, refusing one beyond 2^64 - 1.
bool read_seed(const std::string &text, std::uint64_t &seed)
{
    if (text.empty() || text.size() > 20 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    std::uint64_t value = 0;
    for (char digit : text) {
        const std::uint64_t d = static_cast<std::uint64_t>(digit - '0');
        if (value > (UINT64_MAX - d) / 10)
            return false;
        value = value * 10 + d;
    }
    seed = value;
    return true;
}

// Reads a hand-in's first line "# --random ARG --seed S".
RandomLineRead read_random_line(const std::string &text, RandomLine &line)
{
    std::string rest = text.rfind("\xef\xbb\xbf", 0) == 0 ? text.substr(3) : text;
    const std::size_t start = rest.find_first_not_of(" \t");
    if (start == std::string::npos || rest[start] != '#')
        return random_line_none;
    std::istringstream words(rest.substr(start + 1));
    std::vector<std::string> word;
    for (std::string next; words >> next && word.size() < 5;)
        word.push_back(next);
    if (word.empty() || (word[0] != "--random" && word[0].rfind("--random=", 0) != 0))
        return random_line_none;
    RandomLine read;
    if (word.size() != 4 || word[2] != "--seed" ||
        !read_random_shape(word[1], read.rows, read.unknowns) || !read_seed(word[3], read.seed))
        return random_line_unreadable;
    read.argument = word[1];
    line = read;
    return random_line_read;
}
