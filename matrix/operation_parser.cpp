// Reading a row operation the learner writes in the caption's notation.
#include "operation_parser.h"
#include "../matrix/translation.h"

#include <cctype>
#include <vector>

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

// One term of a side of an operation: an optional sign, an optional factor (bare or in
// parentheses, with "*" after it or not), a row, and optionally "/ d", ": d" or "* d" after it.
struct Term {
    mpq_class factor = 1;
    int row = 0;
    NumberRead number = number_read; // how its factors read
    bool divides_by_zero = false;    // "/ 0" or ": 0" after the row
    bool bare_fraction = false;      // "/ 2/3" or ": 2/3" after the row: (R1/2)/3 or R1/(2/3)?
};

// Reads a number at the cursor into `value`: bare or in parentheses, a sign inside them may
// stand apart ("(- 1/2)"); a decimal may have a comma. number_none when none comes next.
NumberRead read_factor_number(Cursor &at, std::size_t max_digits, mpq_class &value)
{
    skip_spaces(at);
    const std::size_t start = at.pos;
    const bool parenthesised = accept(at, "(");
    bool negative = false;
    if (parenthesised && accept(at, "-"))
        negative = true;
    skip_spaces(at);
    if (!is_digit(peek(at)) && peek(at) != '.' && peek(at) != ',') {
        at.pos = start;
        return number_none;
    }
    const NumberRead read = read_exact_number(at.text, at.pos, max_digits, value, true);
    if (read == number_none)
        at.pos = start;
    if (read != number_read)
        return read;
    if (parenthesised && !accept(at, ")")) {
        at.pos = start;
        return number_none;
    }
    if (negative)
        value = -value;
    return number_read;
}

// Reads what may follow a term's row: "/ d", ": d" (a division) or "* d"; true when the text
// goes on as a term may.
bool read_row_divisor(Cursor &at, std::size_t max_digits, Term &term)
{
    skip_spaces(at);
    const char sign = peek(at);
    if (sign != '/' && sign != ':' && sign != '*')
        return true;
    at.pos++;
    mpq_class value;
    const std::size_t from = at.pos;
    term.number = read_factor_number(at, max_digits, value);
    if (term.number != number_read)
        return term.number != number_none;
    const std::string divisor = at.text.substr(from, at.pos - from);
    if (sign != '*' && divisor.find('(') == std::string::npos &&
        divisor.find('/') != std::string::npos)
        term.bare_fraction = true;
    if (sign == '*')
        term.factor *= value;
    else if (value == 0)
        term.divides_by_zero = true;
    else
        term.factor /= value;
    return true;
}

// Reads a term; false when the text does not continue as one. Only the first term of a side
// may come without a sign.
bool read_term(Cursor &at, bool first, std::size_t max_digits, Term &term)
{
    skip_spaces(at);
    if (accept(at, "-"))
        term.factor = -1;
    else if (!accept(at, "+") && !first)
        return false;
    mpq_class value;
    term.number = read_factor_number(at, max_digits, value);
    if (term.number == number_read) {
        term.factor *= value;
        accept(at, "*");
    } else if (term.number != number_none) {
        return true; // the number's fault is the message
    } else {
        term.number = number_read;
    }
    if (!read_row(at, term.row))
        return false;
    return read_row_divisor(at, max_digits, term);
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
        return refused(tr("cinitel deli nulou"));
    return refused(format_text(tr("cinitel ma viac ako %d cifier"), static_cast<int>(max_digits)));
}

// Row r as the learner counts it: "R3".
std::string row_name(int r)
{
    return "R" + std::to_string(r + 1);
}

// The refusal of a row that is not in a system of order `order`, "" when every row is.
std::string rows_out_of_range(const std::vector<int> &rows, int order)
{
    for (int r : rows)
        if (r < 0 || r >= order) {
            // TRANSLATORS: the row named in the refusals below when it has no number
            const std::string named = r == row_past_any ? tr("Taky riadok") : row_name(r);
            if (order == 0) // TRANSLATORS: %s is the row, "R4" or the text above
                return format_text(tr("%s nie je v matici: matica nema riadky"), named.c_str());
            // TRANSLATORS: "R5 is no row of the matrix (R1 to R4)"
            return format_text(tr("%s nie je riadok matice (R1 az %s)"), named.c_str(),
                               row_name(order - 1).c_str());
        }
    return "";
}

// TRANSLATORS: fits 72: the refusals of a typed operation, on the caption line; the row
// notation in them stays as it is
constexpr const char *unknown_form =
    tr_noop("neznamy tvar; napr. R2 <-> R3, R2 <- 1/2 R2, R3 <- R3 - 2 R1");
constexpr const char *two_operations = tr_noop("dve upravy v jednom riadku: pis kazdu zvlast");

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

// One side of "Ra <- f Rb", as "f Rb" alone: a scaling when Rb is Ra and f is not 0.
ParsedOperation scaling(int target, const Term &term, int order, std::size_t max_digits)
{
    const std::string range = rows_out_of_range({target, term.row}, order);
    if (!range.empty())
        return refused(range);
    if (term.row != target)
        return refused(format_text(tr("nasobit sa da len ten isty riadok: %s <- c %s"),
                                   row_name(target).c_str(), row_name(target).c_str()));
    if (term.factor == 0)
        return refused(tr("nasobenie nulou nie je riadkova uprava"));
    if (!factor_fits(term.factor, max_digits))
        return refused_number(number_too_long, max_digits);
    return accepted(operation_scale, target, target, term.factor);
}

// "Ra <- a Ra + b Rb" in either order of its terms: an elimination when a is 1, else a
// combination; a must not be 0, and Rb must be another row.
ParsedOperation combination(int target, const Term &first, const Term &second, int order,
                            std::size_t max_digits)
{
    const std::string range = rows_out_of_range({target, first.row, second.row}, order);
    if (!range.empty())
        return refused(range);
    if (first.row == target && second.row == target)
        return refused(format_text(tr("k %s sa neda pricitat nasobok %s"),
                                   row_name(target).c_str(), row_name(target).c_str()));
    if (first.row != target && second.row != target)
        return refused(format_text(tr("pricitat sa da len k tomu istemu riadku: %s <- %s + c Rk"),
                                   row_name(target).c_str(), row_name(target).c_str()));
    const Term &own = first.row == target ? first : second;
    const Term &other = first.row == target ? second : first;
    if (own.factor == 0)
        return refused(tr("nasobenie nulou nie je riadkova uprava"));
    if (!factor_fits(own.factor, max_digits) || !factor_fits(other.factor, max_digits))
        return refused_number(number_too_long, max_digits);
    // Row a minus f times row b: f is the other term's factor with its sign turned.
    ParsedOperation parsed = accepted(own.factor == 1 ? operation_eliminate : operation_combine,
                                      target, other.row, mpq_class(-other.factor));
    parsed.operation.keep = own.factor;
    return parsed;
}

// Reads one side of an assignment, from the cursor to `end`: one or two terms, or the reason it
// is none (a third term is a second operation written on the same line).
ParsedOperation read_side(Cursor &at, std::size_t end, std::size_t max_digits,
                          std::vector<Term> &terms)
{
    while (true) {
        skip_spaces(at);
        if (at.pos >= end)
            break;
        Term term;
        if (!read_term(at, terms.empty(), max_digits, term) || at.pos > end)
            return refused(tr(unknown_form));
        if (terms.size() == 2) // "R2 <- R2 - R1 + R3" does two operations at once
            return refused(tr(two_operations));
        if (term.number != number_read)
            return refused_number(term.number, max_digits);
        if (term.divides_by_zero)
            return refused(tr("delenie nulou nie je riadkova uprava"));
        if (term.bare_fraction)
            return refused(tr("delenie zlomkom nie je jasne bez zatvoriek: pis napr. R1 / (2/3)"));
        terms.push_back(term);
    }
    if (terms.empty())
        return refused(tr(unknown_form));
    ParsedOperation read;
    read.ok = true;
    return read;
}

// The assignment whose target is row `target` and whose value is the side from `from` to `end`.
ParsedOperation read_assignment(const std::string &text, std::size_t from, std::size_t end,
                                int target, int order, std::size_t max_digits)
{
    Cursor at{text, from};
    std::vector<Term> terms;
    const ParsedOperation side = read_side(at, end, max_digits, terms);
    if (!side.ok)
        return side;
    if (terms.size() == 1)
        return scaling(target, terms[0], order, max_digits);
    return combination(target, terms[0], terms[1], order, max_digits);
}

// The arrows an operation may be written with.
enum Arrow {
    arrow_exchange, // "<->"
    arrow_into,     // "<-" or "=": the row on the left becomes the right side
    arrow_onto,     // "->": the lone row on either side becomes the other side
};

// Where an arrow stands in an operation's text and which it is.
struct ArrowAt {
    Arrow arrow = arrow_into;
    std::size_t at = 0;   // its first character
    std::size_t size = 0; // its length
};

// Every arrow in `text`, left to right.
std::vector<ArrowAt> arrows_in(const std::string &text)
{
    std::vector<ArrowAt> found;
    for (std::size_t k = 0; k < text.size();) {
        if (text.compare(k, 3, "<->") == 0)
            found.push_back({arrow_exchange, k, 3});
        else if (text.compare(k, 2, "<-") == 0)
            found.push_back({arrow_into, k, 2});
        else if (text.compare(k, 2, "->") == 0)
            found.push_back({arrow_onto, k, 2});
        else if (text[k] == '=')
            found.push_back({arrow_into, k, 1});
        k += found.empty() || found.back().at != k ? 1 : found.back().size;
    }
    return found;
}

// The row of a side that is one row alone ("R3", with spaces around it), from `from` to `end`.
bool lone_row(const std::string &text, std::size_t from, std::size_t end, int &row)
{
    Cursor at{text, from};
    if (!read_row(at, row))
        return false;
    skip_spaces(at);
    return at.pos == end;
}

// The text with the arrows and the minus sign of Unicode written as the keyboard writes them.
std::string plain_signs(const std::string &text)
{
    static const char *const signs[][2] = {{"\xe2\x86\x94", "<->"}, {"\xe2\x86\x90", "<-"},
                                           {"\xe2\x86\x92", "->"},  {"\xe2\x88\x92", "-"},
                                           {"\xc2\xb7", "*"},       {"\xe2\x8b\x85", "*"}};
    std::string plain = text;
    for (const auto &sign : signs)
        for (std::size_t at = plain.find(sign[0]); at != std::string::npos;
             at = plain.find(sign[0], at))
            plain.replace(at, std::string(sign[0]).size(), sign[1]);
    return plain;
}

// Reads an exchange "Ra <-> Rb" around the arrow `arrow`.
ParsedOperation exchange(const std::string &text, const ArrowAt &arrow, int order)
{
    int target = 0;
    int other = 0;
    if (!lone_row(text, 0, arrow.at, target) ||
        !lone_row(text, arrow.at + arrow.size, text.size(), other))
        return refused(tr(unknown_form));
    const std::string range = rows_out_of_range({target, other}, order);
    if (!range.empty())
        return refused(range);
    if (target == other)
        return refused(format_text(tr("%s sa neda vymenit sam so sebou"), row_name(target).c_str()));
    return accepted(operation_exchange, other, target, 0);
}

} // namespace

// Reads an exact number at text[pos]: integer, fraction or decimal, with an optional sign.
NumberRead read_exact_number(const std::string &text, std::size_t &pos, std::size_t max_digits,
                             mpq_class &value, bool decimal_comma)
{
    std::size_t at = pos;
    const bool negative = at < text.size() && text[at] == '-';
    if (at < text.size() && (text[at] == '-' || text[at] == '+'))
        at++;
    std::string whole;
    std::string fraction;
    read_digits(text, at, whole);
    // A comma is a decimal comma only before a digit: "x = 2, y = 3" lists two numbers.
    const bool comma = decimal_comma && at + 1 < text.size() && text[at] == ',' &&
                       std::isdigit(static_cast<unsigned char>(text[at + 1])) != 0;
    if (at < text.size() && (text[at] == '.' || comma)) {
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
ParsedOperation parse_operation(const std::string &typed, int order, std::size_t max_digits)
{
    const std::string text = plain_signs(typed);
    Cursor at{text};
    skip_spaces(at);
    if (peek(at) == '\0')
        return refused(tr("prazdna uprava"));
    const std::vector<ArrowAt> arrows = arrows_in(text);
    if (arrows.size() > 1)
        return refused(tr(two_operations));
    if (arrows.empty())
        return refused(tr(unknown_form));
    const ArrowAt &arrow = arrows.front();
    const std::size_t after = arrow.at + arrow.size;
    if (arrow.arrow == arrow_exchange)
        return exchange(text, arrow, order);
    int left = 0;
    int right = 0;
    const bool left_alone = lone_row(text, 0, arrow.at, left);
    if (arrow.arrow == arrow_into) {
        if (!left_alone)
            return refused(tr(unknown_form));
        return read_assignment(text, after, text.size(), left, order, max_digits);
    }
    // "->" points at the row that changes: "R1 -> 1/2 R1" and "R2 - 2 R1 -> R2" alike. Between
    // two rows alone it could mean either, or an exchange.
    const bool right_alone = lone_row(text, after, text.size(), right);
    if (left_alone && right_alone && left != right) {
        const std::string a = row_name(left);
        const std::string b = row_name(right);
        // TRANSLATORS: "R1 -> R2 is unclear: an exchange is R1 <-> R2, else e.g. R1 <- 2 R1"
        return refused(format_text(tr("%s -> %s nie je jasne: vymena je %s <-> %s, inak napr. "
                                      "%s <- 2 %s"),
                                   a.c_str(), b.c_str(), a.c_str(), b.c_str(), a.c_str(),
                                   a.c_str()));
    }
    if (left_alone)
        return read_assignment(text, after, text.size(), left, order, max_digits);
    if (right_alone)
        return read_assignment(text, 0, arrow.at, right, order, max_digits);
    return refused(tr(unknown_form));
}
