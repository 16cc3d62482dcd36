// Cell texts: the grid's short decimal form of a fraction and the exact readout line; typed
// names in UTF-8 on the line.
#include "matrix/cell_text.h"
#include "matrix/store.h"
#include "matrix/utf8_text.h"
#include "platform/layout.h"
#include "store_helpers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace
{

// The grid text format_cell writes for num/den, checking it stays inside its buffer.
std::string cell_text(const mpz_class &num, const mpz_class &den)
{
    char text[cell_text_size + 8];
    std::memset(text, 'Z', sizeof text);
    format_cell(num, den, text);
    EXPECT_LT(std::strlen(text), cell_text_size) << num << "/" << den;
    EXPECT_EQ(text[cell_text_size], 'Z') << "wrote past the cell text";
    return text;
}

// Keeps the first 5 characters of a "%f" text and, where a point is left, drops
// trailing zeros and then the point.
std::string cut_to_cell(const char *full)
{
    std::string text(full, std::min<std::size_t>(5, std::strlen(full)));
    if (text.find('.') == std::string::npos)
        return text;
    while (!text.empty() && text.back() == '0')
        text.pop_back();
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    return text;
}

// The grid text as a plain 32-bit program computes it: C division, "%f" of the double quotient.
std::string reference_text_32(std::int32_t a, std::int32_t b)
{
    const std::int64_t q = static_cast<std::int64_t>(a) / b;
    if (q > 99999 || q < -9999)
        return "***";
    if (static_cast<std::int64_t>(a) % b == 0)
        return std::to_string(q);
    char full[64];
    std::snprintf(full, sizeof full, "%f", static_cast<double>(a) / static_cast<double>(b));
    return cut_to_cell(full);
}

// The grid text of large values through long double, precise far beyond the six decimals shown:
// "***" also when the rounding to six decimals carries the value to 100000 or -10000.
std::string reference_text_wide(const mpz_class &a, const mpz_class &b)
{
    const mpz_class q = a / b; // gmpxx's / truncates, as C does
    if (q > 99999 || q < -9999)
        return "***";
    if (a % b == 0)
        return q.get_str();
    const long double x = std::strtold(a.get_str().c_str(), nullptr);
    const long double y = std::strtold(b.get_str().c_str(), nullptr);
    char full[128];
    std::snprintf(full, sizeof full, "%Lf", x / y);
    const long double rounded = std::strtold(full, nullptr);
    if (rounded >= 100000 || rounded <= -10000)
        return "***";
    return cut_to_cell(full);
}

struct CellTextCase {
    std::string num;
    std::string den;
    const char *text;
};

const std::string ten_40 = std::string(40, '0'); // appended: times 10^40
const std::string third_num = "1234567890123456789012345678901234567890";
const std::string third_den = "3703703670370370367037037036703703703670"; // 3 * third_num

const std::vector<CellTextCase> cell_text_cases = {
    {"1", "3", "0.333"},
    {"2", "3", "0.666"},
    {"-1", "3", "-0.33"},
    {"-1", "8", "-0.12"},
    {"9999999", "10000000", "1"},
    {"10", "4", "2.5"},
    {"1", "8", "0.125"},
    {"100", "3", "33.33"},
    {"1000", "3", "333.3"},
    {"10000", "3", "3333"},
    {"20001", "2", "10000"},
    {"1", "100000", "0"},
    {"-1", "100000", "-0"},
    {"7", "7", "1"},
    {"0", "5", "0"},
    {"99999", "1", "99999"},
    {"100000", "1", "***"},
    {"-9999", "1", "-9999"},
    {"-10000", "1", "***"},
    {"1", "-2", "-0.5"},
    {"-1", "-2", "0.5"},
    {"-6", "-3", "2"},
    {"12", "-4", "-3"},
    {"0", "-5", "0"},
    {"-19999", "2", "-9999"},
    {"199999", "2", "99999"},
    {"-20001", "2", "***"},
    {"2147483647", "1", "***"},
    {"-2147483648", "1", "***"},
    {"-2147483648", "-1", "***"},
    {"-2147483648", "2147483647", "-1"},
    {"2147483647", "-2147483648", "-1"}, // -0.9999999995 rounds to -1.000000
    {"1999999999", "20000", "99999"},
    // The double quotient, not the exact one, decides how "%f" rounds a decimal tie.
    {"19999999", "2000000", "9.999"},
    {"1999999999", "2000000", "999.9"},
    {"1999999", "2000000", "1"},
    // Beyond 32 bits: the same texts from the exact values.
    {third_num, third_den, "0.333"},
    {"-" + third_num, third_den, "-0.33"},
    {third_num, "-" + third_den, "-0.33"},
    {"5" + ten_40, "2" + ten_40, "2.5"},
    {"-7" + ten_40, "-2" + ten_40, "3.5"},
    {"-1" + ten_40, "7", "***"},
    {"1" + ten_40, "1", "***"},
    {"1" + ten_40, "1" + ten_40, "1"},
    {"99999" + ten_40, "1" + ten_40, "99999"},
    {"-9999" + ten_40, "1" + ten_40, "-9999"},
    {"-10000" + ten_40, "1" + ten_40, "***"},
    {"100000" + ten_40, "1" + ten_40, "***"},
    {"9999996" + ten_40, "10000000" + ten_40, "1"}, // 0.9999996 rounds up before the cut
    {"9999994" + ten_40, "10000000" + ten_40, "0.999"},
    // Rounded to six decimals these reach 100000 or -10000: no room for the whole part.
    {"999999999999", "10000000", "***"},   // 99999.9999999
    {"999999999995", "10000000", "***"},   // 99999.9999995, the tie rounds up to even
    {"999999999994", "10000000", "99999"}, // 99999.9999994
    {"-99999999999", "10000000", "***"},   // -9999.9999999
    {"-99999999994", "10000000", "-9999"},
    {"-99999999996" + ten_40, "10000000" + ten_40, "***"},
    {"99999999996", "10000000", "10000"}, // 9999.9999996 rounds to 10000, which still fits
    {"-9999999996", "10000000", "-1000"}, // -999.9999996 rounds to -1000, which still fits
    {"1", "1" + ten_40, "0"},
    {"-1", "1" + ten_40, "-0"},
};

TEST(FormatCell, Examples)
{
    for (const CellTextCase &c : cell_text_cases) {
        SCOPED_TRACE(c.num + " / " + c.den);
        EXPECT_EQ(cell_text(mpz_class(c.num), mpz_class(c.den)), c.text);
    }
}

// A random 32-bit value of a random size, so that all quotient sizes come up.
std::int32_t random_int32(std::mt19937_64 &rng)
{
    const int bits = static_cast<int>(rng() % 32);
    const std::int64_t magnitude = static_cast<std::int64_t>(rng() % (std::uint64_t{1} << bits));
    const std::int64_t value = (rng() & 1) ? -magnitude - 1 : magnitude;
    return static_cast<std::int32_t>(value);
}

TEST(FormatCell, MatchesPlain32BitProgramOnRandomValues)
{
    std::mt19937_64 rng(20240611);
    int checked = 0;
    for (int k = 0; k < 200000; k++) {
        const std::int32_t a = random_int32(rng);
        const std::int32_t b = random_int32(rng);
        if (b == 0)
            continue;
        ASSERT_EQ(cell_text(a, b), reference_text_32(a, b)) << a << " / " << b;
        checked++;
    }
    EXPECT_GT(checked, 190000);
}

// The 32-bit values closest to rounding out of the range, every one of them: 99999 plus the
// largest remainder over every divisor that keeps the dividend in 32 bits, and -9999 minus it.
TEST(FormatCell, Plain32BitValuesNeverRoundOutOfTheRange)
{
    for (std::int64_t b = 2; 100000 * b - 1 <= INT32_MAX; b++) { // 99999 + (b - 1) / b
        const auto a = static_cast<std::int32_t>(100000 * b - 1);
        ASSERT_EQ(cell_text(a, static_cast<std::int32_t>(b)), "99999") << a << " / " << b;
    }
    for (std::int64_t b = 2; 1 - 10000 * b >= INT32_MIN; b++) { // -9999 - (b - 1) / b
        const auto a = static_cast<std::int32_t>(1 - 10000 * b);
        ASSERT_EQ(cell_text(a, static_cast<std::int32_t>(b)), "-9999") << a << " / " << b;
    }
}

// A random non-zero integer of 11 to 45 decimal digits, of either sign.
mpz_class random_big(std::mt19937_64 &rng)
{
    const std::size_t digits = 11 + rng() % 35;
    std::string text = (rng() & 1) ? "-" : "";
    text.push_back(static_cast<char>('1' + rng() % 9));
    for (std::size_t k = 1; k < digits; k++)
        text.push_back(static_cast<char>('0' + rng() % 10));
    return mpz_class(text);
}

TEST(FormatCell, MatchesExactValueBeyond32Bits)
{
    std::mt19937_64 rng(77);
    for (int k = 0; k < 50000; k++) {
        const mpz_class b = random_big(rng);
        // A quotient near the range the grid can show, plus a remainder smaller than b.
        long q = static_cast<long>(rng() % 220000) - 110000;
        mpz_class r = random_big(rng) % b;
        if (k % 7 == 0)
            r = 0;
        if (k % 5 == 1) { // within 1/|b| above a whole number near an edge, or below the next
            constexpr long edges[] = {99999, -10000, 9999, -1000, 999, -100, 0, -1};
            q = edges[rng() % 8];
            const int sign = sgn(b);
            r = (rng() & 1) ? mpz_class(b - sign) : mpz_class(sign);
        }
        const mpz_class a = q * b + r;
        ASSERT_EQ(cell_text(a, b), reference_text_wide(a, b)) << a << " / " << b;
    }
}

// A stored value and what the grid of fractions draws for it: a fraction's two parts, a whole
// number alone, or the decimal fall-back.
struct FractionCellCase {
    std::string num;
    std::string den;
    GridTextKind kind;
    const char *top;
    const char *bottom;
};

const std::vector<FractionCellCase> fraction_cell_cases = {
    {"1", "3", grid_text_fraction, "1", "3"},
    {"-1", "3", grid_text_fraction, "-1", "3"},
    {"1", "-3", grid_text_fraction, "-1", "3"}, // the sign the store keeps in den goes up
    {"-1", "-3", grid_text_fraction, "1", "3"},
    {"12", "18", grid_text_fraction, "2", "3"}, // lowest terms, as while a row is cancelled
    {"-703", "5766", grid_text_fraction, "-703", "5766"},
    {"7", "123456", grid_text_fraction, "7", "123456"},
    {"-99999", "100000", grid_text_fraction, "-99999", "100000"}, // six characters each
    {"999999", "1000000", grid_text_decimal, "0.999", ""},        // seven below: decimal text
    {"-100000", "3", grid_text_decimal, "***", ""},               // seven above
    {"999999999999", "10000000", grid_text_decimal, "***", ""},   // 99999.9999999 rounds to 100000
    {"-99999999999", "10000000", grid_text_decimal, "***", ""},   // -9999.9999999 to -10000
    {"123456", "7", grid_text_fraction, "123456", "7"},
    {"1234567", "7", grid_text_decimal, "***", ""},
    {"-1", "8000000", grid_text_decimal, "-0", ""},
    {"3", "1", grid_text_whole, "3", ""},
    {"-6", "-3", grid_text_whole, "2", ""},
    {"12", "-4", grid_text_whole, "-3", ""},
    {"5", "-5", grid_text_whole, "-1", ""},
    {"0", "7", grid_text_whole, "0", ""},
    {"0", "-5", grid_text_whole, "0", ""},
    {"123456", "1", grid_text_whole, "123456", ""}, // wider than the decimal text shows
    {"-12345", "1", grid_text_whole, "-12345", ""},
    {"-123456", "1", grid_text_decimal, "***", ""},
    {"1" + std::string(40, '0'), "3" + std::string(40, '0'), grid_text_fraction, "1", "3"},
    {"1" + std::string(40, '0'), "3", grid_text_decimal, "***", ""},
    {"7", "0", grid_text_decimal, "***", ""},
};

TEST(FractionCellText, PartsInLowestTermsOrTheDecimalTextWhenAPartIsTooLong)
{
    for (const FractionCellCase &c : fraction_cell_cases) {
        SCOPED_TRACE(c.num + " / " + c.den);
        const GridText text = fraction_cell_text(mpz_class(c.num), mpz_class(c.den));
        EXPECT_EQ(text.kind, c.kind);
        EXPECT_EQ(text.top, c.top);
        EXPECT_EQ(text.bottom, c.bottom);
        if (c.kind == grid_text_decimal && c.den != "0") {
            EXPECT_EQ(text.top, cell_text(mpz_class(c.num), mpz_class(c.den)));
        }
    }
}

struct ReadoutCase {
    const char *num;
    const char *den;
    const char *text;
};

constexpr ReadoutCase readout_cases[] = {
    {"3", "1", "3"},
    {"7", "2", "7 / 2"},
    {"1", "-2", "1 / -2"},
    {"-7", "1", "-7"},
    {"0", "1", "0"},
    {"-2147483648", "2147483647", "-2147483648 / 2147483647"},
    {"123456789012345678901234567890", "-98765432109876543210987654321",
     "123456789012345678901234567890 / -98765432109876543210987654321"},
};

TEST(ReadoutText, ExactValueWhenItFits)
{
    for (const ReadoutCase &c : readout_cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(readout_text(mpz_class(c.num), mpz_class(c.den), text_line_chars), c.text);
    }
}

TEST(ReadoutText, TheLineBuffersHoldAWholeLineOfFourByteCharacters)
{
    EXPECT_LT(4 * static_cast<std::size_t>(text_line_chars), line_text_size);
    EXPECT_LT(4 * static_cast<std::size_t>(text_line_chars), status_text_size);
}

// Checks readout_text of num/den within limit: whole when it fits, else each side cut and marked.
void expect_fitted_readout(const std::string &top, const std::string &bottom, std::size_t limit)
{
    const bool integer = bottom == "1";
    const std::string text = readout_text(mpz_class(top), mpz_class(bottom), limit);
    SCOPED_TRACE(std::to_string(top.size()) + " over " + std::to_string(bottom.size()) +
                 " digits within " + std::to_string(limit));
    EXPECT_LE(text.size(), limit) << text;
    const std::string whole = integer ? top : top + " / " + bottom;
    if (whole.size() <= limit) {
        EXPECT_EQ(text, whole);
        return;
    }
    if (integer) {
        expect_number_side(text, top);
        return;
    }
    const std::size_t slash = text.find(" / ");
    ASSERT_NE(slash, std::string::npos) << text;
    expect_number_side(text.substr(0, slash), top);
    expect_number_side(text.substr(slash + 3), bottom);
}

TEST(ReadoutText, LongValuesAreCutAndMarked)
{
    const std::size_t lengths[] = {1,  5,  20, 35, 36, 37,  38,  40,  70,
                                   72, 73, 74, 76, 77, 100, 999, 5000};
    const std::size_t limits[] = {40, 60, static_cast<std::size_t>(text_line_chars), 100};
    for (std::size_t limit : limits)
        for (std::size_t top_length : lengths) {
            const std::string top = "-" + std::string(top_length, '7');
            expect_fitted_readout(top, "1", limit);
            for (std::size_t bottom_length : lengths) {
                std::string bottom(bottom_length, '3');
                bottom[0] = '2';
                expect_fitted_readout(top, bottom, limit);
            }
        }
}

TEST(ReadoutText, RoomOneSideDoesNotNeedGoesToTheOther)
{
    // 60 characters: " / " and a short side leave the long side everything else, whichever
    // side it is.
    const std::string longer = "7" + std::string(99, '1');
    const std::string top_cut = readout_text(mpz_class(longer), 123, 60);
    EXPECT_EQ(top_cut.size(), 60u) << top_cut;
    EXPECT_EQ(top_cut.substr(top_cut.size() - 6), " / 123") << top_cut;
    const std::string bottom_cut = readout_text(123, mpz_class(longer), 60);
    EXPECT_EQ(bottom_cut.size(), 60u) << bottom_cut;
    EXPECT_EQ(bottom_cut.substr(0, 6), "123 / ") << bottom_cut;
}

TEST(ReadoutText, HugeIntegerIsCutToTheLine)
{
    const std::string number = "9" + std::string(199, '1');
    const std::string text = readout_text(mpz_class(number), 1, text_line_chars);
    EXPECT_LE(text.size(), static_cast<std::size_t>(text_line_chars));
    EXPECT_EQ(text.compare(0, 10, number, 0, 10), 0) << text;
    EXPECT_NE(text.find("..."), std::string::npos) << text;
    EXPECT_NE(text.find("200"), std::string::npos) << text;
}

// A text in UTF-8: its characters, the text without its last one, and its end fitted to 8.
struct Utf8Case {
    std::string text;
    std::size_t length;
    std::string without_last;
    std::string end_in_8;
};

const std::vector<Utf8Case> utf8_cases = {
    {"", 0, "", ""},
    {"uloha.txt", 9, "uloha.tx", "...a.txt"},
    {"úloha.txt", 9, "úloha.tx", "...a.txt"},
    {"čísla", 5, "čísl", "čísla"},
    {"a/šťúážéô", 9, "a/šťúážé", "...úážéô"},
    {"x€", 2, "x", "x€"},                   // three bytes
    {"x\U0001F600", 2, "x", "x\U0001F600"}, // four bytes
};

TEST(Utf8Text, CharactersAreEncodedCountedRemovedAndCutWhole)
{
    for (const Utf8Case &c : utf8_cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(utf8_length(c.text), c.length);
        std::string shorter = c.text;
        utf8_pop_back(shorter);
        EXPECT_EQ(shorter, c.without_last);
        EXPECT_EQ(fit_text_end(c.text, 8), c.end_in_8);
        EXPECT_LE(utf8_length(fit_text_end(c.text, 8)), 8u);
    }
    EXPECT_EQ(fit_text_end("abcdef", 2), "..");
    EXPECT_EQ(utf8_encode('a') + utf8_encode(0xfa) + utf8_encode(0x20ac) + utf8_encode(0x1f600),
              "aú€\U0001F600");
    EXPECT_EQ(utf8_encode(0xd800) + utf8_encode(0x110000) + utf8_encode(-1), "") << "no character";
}

// A name or a line read from a file, as it is shown: its valid UTF-8 characters, "?" for each
// control character and each byte of no valid character (cut short, overlong, a surrogate,
// beyond U+10FFFF).
TEST(Utf8Text, PrintableTextKeepsWholeCharactersAndMarksEverythingElse)
{
    const std::pair<std::string, std::string> cases[] = {
        {"ziak1.txt", "ziak1.txt"},
        {"Ján Šťastný.txt", "Ján Šťastný.txt"},
        {"x\U0001F600", "x\U0001F600"},
        {"a\nb\tc\x7f" "d\x1b[31m", "a?b?c?d?[31m"},
        {"zl\xff" "e", "zl?e"},
        {"\xc3", "?"},               // cut short
        {"\xc0\xaf", "??"},           // an overlong "/"
        {"\xed\xa0\x80", "???"},      // a surrogate
        {"\xf4\x90\x80\x80", "????"}, // beyond U+10FFFF
        {"\xe2\x82" "a", "??a"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(printable_text(c.first), c.second) << c.first;
}

} // namespace
