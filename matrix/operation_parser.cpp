// Reading a row operation the learner writes in the caption's notation.
#include "operation_parser.h"

#include <cctype>
#include <initializer_list>

namespace
{

// Where reading stands in the text.
struct Cursor {
    const std::string &text;
    std::size_t pos = 0;
};

// The character at the cursor, '\0' at the end.
char peek(const Cursor &at)
{
    return at.pos < at.text.size() ? at.text[at.pos] : '\0';
}

// Steps over spaces and tabs.
void skip_spaces(Cursor &at)
{
    while (peek(at) == ' ' || peek(at) == '\t')
        at.pos++;
}

// Takes `word` (after spaces) when it comes next.
bool accept(Cursor &at, const char *word)
{
    skip_spaces(at);
    const std::string expected(word);
    if (at.text.compare(at.pos, expected.size(), expected) != 0)
        return false;
    at.pos += expected.size();
    return true;
}

// True when the character is a decimal digit.
bool is_digit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Reads a run of digits at pos into `digits`; false when there is none.
bool read_digits(const std::string &text, std::size_t &pos, std::string &digits)
{
    const std::size_t start = pos;
    while (pos < text.size() && is_digit(text[pos]))
        pos++;
    digits = text.substr(start, pos - start);
    return pos > start;
}

constexpr int row_past_any = 1000; // the row of a number with more than three digits

// Reads "R3" (or "r 3") after spaces: the row counted from 0 (R0 is -1), or row_past_any for a
// number longer than any order; false when no row comes next.
bool read_row(Cursor &at, int &row)
{
    skip_spaces(at);
    if (peek(at) != 'R' && peek(at) != 'r')
        return false;
    at.pos++;
    skip_spaces(at);
    std::string digits;
    if (!read_digits(at.text, at.pos, digits))
        return false;
    row = digits.size() > 3 ? row_past_any : std::stoi(digits) - 1;
    return true;
}

// The number of digits of an integer's magnitude.
std::size_t digit_count(const mpz_class &value)
{
    return mpz_class(abs(value)).get_str().size();
}

// One term of the right-hand side: an optional sign (only where `signed_term`), an optional
// factor (bare, or in parentheses with its own sign) and a row.
struct Term {
    mpq_class factor = 1;
    int row = 0;
    NumberRead number = number_read; // how its factor read
};

// Reads the factor of a term, if any, into term.factor (times the sign already read).
bool read_factor(Cursor &at, std::size_t max_digits, Term &term)
{
    skip_spaces(at);
    const bool parenthesised = accept(at, "(");
    skip_spaces(at);
    if (!parenthesised && !is_digit(peek(at)) && peek(at) != '.')
        return true; // no factor: 1
    mpq_class value;
    term.number = read_exact_number(at.text, at.pos, max_digits, value);
    if (term.number != number_read)
        return term.number != number_none;
    term.factor *= value;
    return !parenthesised || accept(at, ")");
}

// Reads a term; false when the text does not continue as one.
bool read_term(Cursor &at, bool signed_term, std::size_t max_digits, Term &term)
{
    if (signed_term && accept(at, "-"))
        term.factor = -1;
    else if (signed_term)
        accept(at, "+");
    if (!read_factor(at, max_digits, term))
        return false;
    if (term.number != number_read)
        return true; // the number's fault is the message
    return read_row(at, term.row);
}

// The refusal with `message`.
ParsedOperation refused(const std::string &message)
{
    ParsedOperation parsed;
    parsed.message = message;
    return parsed;
}

// The message for a factor that did not read as a number.
ParsedOperation refused_number(NumberRead number, std::size_t max_digits)
{
    if (number == number_zero_denominator)
        return refused("cinitel deli nulou");
    return refused("cinitel ma viac ako " + std::to_string(max_digits) + " cifier");
}

// Row r as the learner counts it: "R3".
std::string row_name(int r)
{
    return "R" + std::to_string(r + 1);
}

// The refusal of a row that is not in a system of order `order`, "" when every row is.
std::string rows_out_of_range(std::initializer_list<int> rows, int order)
{
    for (int r : rows)
        if (r < 0 || r >= order) {
            const std::string named = r == row_past_any ? "Taky riadok" : row_name(r);
            if (order == 0)
                return named + " nie je v matici: matica nema riadky";
            return named + " nie je riadok matice (R1 az " + row_name(order - 1) + ")";
        }
    return "";
}

constexpr const char *unknown_form = "neznamy tvar; napr. R2 <-> R3, R2 <- 1/2 R2, R3 <- R3 - 2 R1";

// The operation of kind on `row` with `other` (the pivot field) and the factor's parts: the
// scaling keeps the divisor whose reciprocal it applies, as the solver's scaling keeps its pivot.
ParsedOperation accepted(OperationKind kind, int row, int other, const mpq_class &factor)
{
    ParsedOperation parsed;
    parsed.ok = true;
    parsed.operation.kind = kind;
    parsed.operation.row = row;
    parsed.operation.pivot = other;
    parsed.operation.learner = true;
    parsed.operation.num = kind == operation_scale ? factor.get_den() : factor.get_num();
    parsed.operation.den = kind == operation_scale ? factor.get_num() : factor.get_den();
    return parsed;
}

// Checks a factor read whole: within the digits allowed in lowest terms.
bool factor_fits(const mpq_class &factor, std::size_t max_digits)
{
    return digit_count(factor.get_num()) <= max_digits &&
           digit_count(factor.get_den()) <= max_digits;
}

// "Ra <- f Rb" read whole: a scaling when Rb is Ra and f is not 0.
ParsedOperation scaling(int target, const Term &term, int order, std::size_t max_digits)
{
    const std::string range = rows_out_of_range({target, term.row}, order);
    if (!range.empty())
        return refused(range);
    if (term.row != target)
        return refused("nasobit sa da len ten isty riadok: " + row_name(target) + " <- c " +
                       row_name(target));
    if (term.factor == 0)
        return refused("nasobenie nulou nie je riadkova uprava");
    if (!factor_fits(term.factor, max_digits))
        return refused_number(number_too_long, max_digits);
    return accepted(operation_scale, target, target, term.factor);
}

// The right-hand side after "Ra <-": a multiple of Ra, or Ra plus or minus a multiple of
// another row.
ParsedOperation read_assignment(Cursor &at, int target, int order, std::size_t max_digits)
{
    Term first;
    if (!read_term(at, true, max_digits, first))
        return refused(unknown_form);
    if (first.number != number_read)
        return refused_number(first.number, max_digits);
    skip_spaces(at);
    if (peek(at) == '\0')
        return scaling(target, first, order, max_digits);
    const bool minus = peek(at) == '-';
    if (first.factor != 1 || (!minus && peek(at) != '+'))
        return refused(unknown_form);
    at.pos++;
    Term second;
    if (!read_term(at, false, max_digits, second))
        return refused(unknown_form);
    if (second.number != number_read)
        return refused_number(second.number, max_digits);
    skip_spaces(at);
    if (peek(at) != '\0')
        return refused(unknown_form);
    const std::string range = rows_out_of_range({target, first.row, second.row}, order);
    if (!range.empty())
        return refused(range);
    if (first.row != target)
        return refused("pricitat sa da len k tomu istemu riadku: " + row_name(target) + " <- " +
                       row_name(target) + " + c Rk");
    if (second.row == target)
        return refused("k " + row_name(target) + " sa neda pricitat nasobok " + row_name(target));
    if (!factor_fits(second.factor, max_digits))
        return refused_number(number_too_long, max_digits);
    // Row a minus f times row b: written with a minus, f is the factor as typed.
    return accepted(operation_eliminate, target, second.row,
                    minus ? mpq_class(second.factor) : mpq_class(-second.factor));
}

} // namespace

// Reads an exact number at text[pos]: integer, fraction or decimal, with an optional sign.
NumberRead read_exact_number(const std::string &text, std::size_t &pos, std::size_t max_digits,
                             mpq_class &value)
{
    std::size_t at = pos;
    const bool negative = at < text.size() && text[at] == '-';
    if (at < text.size() && (text[at] == '-' || text[at] == '+'))
        at++;
    std::string whole;
    std::string fraction;
    read_digits(text, at, whole);
    if (at < text.size() && text[at] == '.') {
        std::size_t after = at + 1;
        if (!read_digits(text, after, fraction))
            return number_none;
        at = after;
    }
    if (whole.empty() && fraction.empty())
        return number_none;
    if (whole.size() + fraction.size() > max_digits)
        return number_too_long;
    const mpz_class top(whole + fraction, 10);
    mpz_class bottom = 1;
    mpz_ui_pow_ui(bottom.get_mpz_t(), 10, fraction.size());
    if (fraction.empty() && at < text.size() && text[at] == '/') {
        std::size_t after = at + 1;
        std::string denominator;
        if (!read_digits(text, after, denominator))
            return number_none;
        if (denominator.size() > max_digits)
            return number_too_long;
        bottom = mpz_class(denominator, 10);
        if (bottom == 0)
            return number_zero_denominator;
        at = after;
    }
    value = mpq_class(negative ? mpz_class(-top) : top, bottom);
    value.canonicalize();
    pos = at;
    return number_read;
}

// Reads one row operation on a system of order `order`.
ParsedOperation parse_operation(const std::string &text, int order, std::size_t max_digits)
{
    Cursor at{text};
    skip_spaces(at);
    if (peek(at) == '\0')
        return refused("prazdna uprava");
    int target = 0;
    if (!read_row(at, target))
        return refused(unknown_form);
    if (accept(at, "<->")) {
        int other = 0;
        if (!read_row(at, other))
            return refused(unknown_form);
        skip_spaces(at);
        if (peek(at) != '\0')
            return refused(unknown_form);
        const std::string range = rows_out_of_range({target, other}, order);
        if (!range.empty())
            return refused(range);
        if (target == other)
            return refused(row_name(target) + " sa neda vymenit sam so sebou");
        return accepted(operation_exchange, other, target, 0);
    }
    if (!accept(at, "<-"))
        return refused(unknown_form);
    return read_assignment(at, target, order, max_digits);
}
