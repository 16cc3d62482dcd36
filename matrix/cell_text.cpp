// Texts of cell values: the short decimal form of the grid and the exact readout.
#include "cell_text.h"
#include "../matrix/translation.h"

#include <climits>
#include <cstdio>
#include <cstring>

// Keeps the first 5 characters of a "%f" text; where a point is left, drops trailing
// zeros and then a trailing point. Digits before the point are never removed.
static void cut_decimal_text(const char *full, char *text)
{
    std::snprintf(text, cell_text_size, "%.5s", full);
    if (!std::strchr(text, '.'))
        return;
    std::size_t length = std::strlen(text);
    while (length > 0 && text[length - 1] == '0')
        text[--length] = '\0';
    if (length > 0 && text[length - 1] == '.')
        text[--length] = '\0';
}

// The "%f" text of a/b when both fit in 32 bits: the double quotient, as printf rounds it.
static void small_quotient_text(long a, long b, char *full, std::size_t size)
{
    std::snprintf(full, size, "%f", static_cast<double>(a) / static_cast<double>(b));
}

// The "%f" text of a/b for larger values: exact, rounded to six decimals half to even.
static std::string large_quotient_text(const mpz_class &a, const mpz_class &b)
{
    mpz_class numerator = abs(a) * 1000000;
    mpz_class denominator = abs(b);
    mpz_class scaled;
    mpz_class remainder;
    mpz_fdiv_qr(scaled.get_mpz_t(), remainder.get_mpz_t(), numerator.get_mpz_t(),
                denominator.get_mpz_t());
    int half = cmp(remainder * 2, denominator);
    if (half > 0 || (half == 0 && mpz_odd_p(scaled.get_mpz_t())))
        scaled += 1;
    std::string digits = scaled.get_str();
    if (digits.size() < 7)
        digits.insert(0, 7 - digits.size(), '0');
    std::string text = ((a < 0) != (b < 0)) ? "-" : "";
    text += digits.substr(0, digits.size() - 6) + "." + digits.substr(digits.size() - 6);
    return text;
}

// Cuts a "%f" text to the grid's text, or writes "***" when its whole part, once rounded to six
// decimals, has more than five characters (100000 and up, -10000 and down): cutting it would
// drop a digit and show a tenth of the value.
static void fit_decimal_text(const char *full, char *text)
{
    const char *point = std::strchr(full, '.');
    if (point && point - full > 5) {
        std::snprintf(text, cell_text_size, "***");
        return;
    }
    cut_decimal_text(full, text);
}

// Writes the short decimal text of num/den into text.
void format_cell(const mpz_class &num, const mpz_class &den, char *text)
{
    if (den == 0) {
        std::snprintf(text, cell_text_size, "***");
        return;
    }
    mpz_class quotient = num / den;
    if (quotient > 99999 || quotient < -9999) {
        std::snprintf(text, cell_text_size, "***");
        return;
    }
    if (mpz_divisible_p(num.get_mpz_t(), den.get_mpz_t())) {
        std::snprintf(text, cell_text_size, "%ld", quotient.get_si());
        return;
    }
    // A quotient of 32-bit values never rounds out of the range: 99999 + r/b with |b| at most
    // 21475 stays under 99999.99996, and -9999 - r/b with |b| at most 214769 above -9999.999996.
    if (num.fits_sint_p() && den.fits_sint_p()) {
        char full[64];
        small_quotient_text(num.get_si(), den.get_si(), full, sizeof full);
        fit_decimal_text(full, text);
        return;
    }
    fit_decimal_text(large_quotient_text(num, den).c_str(), text);
}

// A number's text, cut to at most `budget` characters when longer, as
// "<leading digits>...(<n> cifier)".
std::string fit_number(const std::string &number, std::size_t budget)
{
    if (number.size() <= budget)
        return number;
    std::size_t digit_count = number.size() - (number[0] == '-' ? 1 : 0);
    // TRANSLATORS: a long number's cut mark, "...(130 digits)"
    std::string mark = format_text(tr("...(%d cifier)"), static_cast<int>(digit_count));
    std::size_t head = budget > mark.size() + 1 ? budget - mark.size() : 1;
    return number.substr(0, head) + mark;
}

// top, separator, bottom within `limit` characters: a side is cut only when both do not
// fit, each gets half the room, and room one side leaves unused goes to the other.
std::string fit_fraction(const std::string &top, const std::string &separator,
                         const std::string &bottom, std::size_t limit)
{
    if (top.size() + separator.size() + bottom.size() <= limit)
        return top + separator + bottom;
    const std::size_t room = limit > separator.size() ? limit - separator.size() : 0;
    std::size_t top_budget = room / 2;
    if (top.size() < top_budget)
        top_budget = top.size();
    else if (bottom.size() < room - top_budget)
        top_budget = room - bottom.size();
    return fit_number(top, top_budget) + separator + fit_number(bottom, room - top_budget);
}

// The exact value num/den as the readout shows it, fitted to `limit` characters.
std::string readout_text(const mpz_class &num, const mpz_class &den, std::size_t limit)
{
    if (den == 1)
        return fit_number(num.get_str(), limit);
    return fit_fraction(num.get_str(), " / ", den.get_str(), limit);
}

// The exact value in lowest terms with the sign in the numerator: "-7/2", "3".
std::string exact_value_text(const mpz_class &num, const mpz_class &den)
{
    mpq_class value(num, den);
    value.canonicalize();
    return value.get_str();
}

// The text of num/den in the grid of fractions.
GridText fraction_cell_text(const mpz_class &num, const mpz_class &den)
{
    GridText text;
    if (den != 0) {
        mpq_class value(num, den);
        value.canonicalize();
        text.top = value.get_num().get_str();
        if (value.get_den() != 1) {
            text.kind = grid_text_fraction;
            text.bottom = value.get_den().get_str();
        }
        if (text.top.size() <= fraction_part_chars && text.bottom.size() <= fraction_part_chars)
            return text;
    }
    char decimal[cell_text_size];
    format_cell(num, den, decimal);
    return GridText{grid_text_decimal, decimal, ""};
}
