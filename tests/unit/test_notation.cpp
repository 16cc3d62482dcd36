// Row operations as the caption and the printed solution write them, from the operation and
// the stored entry its factor comes from.
#include "matrix/notation.h"
#include "store_helpers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

// An operation, the entry it takes its factor from as stored, and how it is written.
struct NotationCase {
    OperationKind kind;
    int pivot;
    int row;
    const char *num;
    const char *den;
    const char *plain;
    const char *latex;
};

const std::vector<NotationCase> notation_cases{
    {operation_exchange, 1, 3, "0", "1", "R2 <-> R4", "R_{2} \\leftrightarrow R_{4}"},
    // Scaling by the pivot's reciprocal: integers bare, fractions in parentheses.
    {operation_scale, 1, 1, "3", "2", "R2 <- (2/3) R2", "R_{2} \\leftarrow \\frac{2}{3} R_{2}"},
    {operation_scale, 1, 1, "1", "3", "R2 <- 3 R2", "R_{2} \\leftarrow 3 R_{2}"},
    {operation_scale, 1, 1, "-2", "1", "R2 <- (-1/2) R2", "R_{2} \\leftarrow -\\frac{1}{2} R_{2}"},
    {operation_scale, 1, 1, "-1", "3", "R2 <- -3 R2", "R_{2} \\leftarrow -3 R_{2}"},
    // A pivot stored as 1/-2 (value -1/2) scales by -2, whatever sign the store keeps.
    {operation_scale, 0, 0, "1", "-2", "R1 <- -2 R1", "R_{1} \\leftarrow -2 R_{1}"},
    {operation_scale, 2, 2, "1", "-1", "R3 <- -R3", "R_{3} \\leftarrow -R_{3}"},
    {operation_scale, 2, 2, "-4", "-6", "R3 <- (3/2) R3", "R_{3} \\leftarrow \\frac{3}{2} R_{3}"},
    // Elimination: the row becomes Rj - f Ri, a negative f written as an addition, 1 left out.
    {operation_eliminate, 0, 2, "5", "2", "R3 <- R3 - (5/2) R1",
     "R_{3} \\leftarrow R_{3} - \\frac{5}{2} R_{1}"},
    {operation_eliminate, 0, 2, "-4", "1", "R3 <- R3 + 4 R1", "R_{3} \\leftarrow R_{3} + 4 R_{1}"},
    {operation_eliminate, 0, 2, "1", "1", "R3 <- R3 - R1", "R_{3} \\leftarrow R_{3} - R_{1}"},
    {operation_eliminate, 0, 2, "-1", "1", "R3 <- R3 + R1", "R_{3} \\leftarrow R_{3} + R_{1}"},
    {operation_eliminate, 9, 0, "1", "-2", "R1 <- R1 + (1/2) R10",
     "R_{1} \\leftarrow R_{1} + \\frac{1}{2} R_{10}"},
    // In LaTeX a part of more than 20 digits goes in groups of three a line may break between,
    // a fraction then in parentheses with a slash; 20 digits stay whole.
    {operation_eliminate, 0, 2, "12345678901234567890", "7",
     "R3 <- R3 - (12345678901234567890/7) R1",
     "R_{3} \\leftarrow R_{3} - \\frac{12345678901234567890}{7} R_{1}"},
    {operation_eliminate, 0, 2, "-123456789012345678901", "7",
     "R3 <- R3 + (123456789012345678901/7) R1",
     "R_{3} \\leftarrow R_{3} + (123\\gjb456\\gjb789\\gjb012\\gjb345\\gjb678\\gjb901/7) R_{1}"},
    {operation_scale, 1, 1, "1", "-100000000000000000000000", "R2 <- -100000000000000000000000 R2",
     "R_{2} \\leftarrow -100\\gjb000\\gjb000\\gjb000\\gjb000\\gjb000\\gjb000\\gjb000 R_{2}"},
    {operation_scale, 1, 1, "-100000000000000000000000", "3",
     "R2 <- (-3/100000000000000000000000) R2",
     "R_{2} \\leftarrow (-3/100\\gjb000\\gjb000\\gjb000\\gjb000\\gjb000\\gjb000\\gjb000) R_{2}"},
};

TEST(Notation, EachOperationIsWrittenAsALearnerWritesIt)
{
    for (const NotationCase &c : notation_cases) {
        const RowOperation operation{c.kind, c.pivot, c.row, mpz_class(c.num), mpz_class(c.den)};
        EXPECT_EQ(operation_text(operation), c.plain) << c.plain;
        EXPECT_EQ(operation_text(operation, notation_latex), c.latex) << c.plain;
    }
}

// Checks that a number was cut to fit, as the readout cuts it.
void expect_cut(const std::string &shown, const std::string &digits)
{
    EXPECT_NE(shown, digits) << "not cut";
    expect_number_side(shown, digits);
}

TEST(Notation, AFactorTooLongForTheCaptionIsAbbreviatedAndTheCaptionFitsItsLine)
{
    const std::string top = "7" + std::string(120, '1');
    const std::string bottom = "9" + std::string(80, '3');
    const RowOperation integer{operation_eliminate, 8, 9, mpz_class("-" + top), 1};
    const std::string caption = step_caption_text(110, 110, integer);
    EXPECT_LE(caption.size(), caption_chars) << caption;
    const std::string head = "Krok 110 z 110: R10 <- R10 + ";
    ASSERT_EQ(caption.compare(0, head.size(), head), 0) << caption;
    ASSERT_EQ(caption.compare(caption.size() - 3, 3, " R9"), 0) << caption;
    expect_cut(caption.substr(head.size()), top);

    const RowOperation fraction{operation_scale, 9, 9, mpz_class(bottom), mpz_class(top)};
    const std::string scaled = step_caption_text(7, 110, fraction);
    EXPECT_LE(scaled.size(), caption_chars) << scaled;
    const std::size_t open = scaled.find('(');
    const std::size_t slash = scaled.find('/', open);
    ASSERT_NE(slash, std::string::npos) << scaled;
    expect_cut(scaled.substr(open + 1, slash - open - 1), top);
    expect_cut(scaled.substr(slash + 1), bottom);
    // The printed solution keeps every digit.
    EXPECT_EQ(operation_text(fraction), "R10 <- (" + top + "/" + bottom + ") R10");

    // A combination's two long factors share the line, each cut, the rows kept.
    RowOperation combined{operation_combine, 0, 9, mpz_class(top), 1};
    combined.keep = mpq_class(mpz_class("-" + bottom), mpz_class(7));
    const std::string both = operation_caption("Uprava 12: ", combined);
    EXPECT_LE(both.size(), caption_chars) << both;
    ASSERT_EQ(both.rfind("Uprava 12: R10 <- (-", 0), 0u) << both;
    expect_cut(both.substr(20, both.find('/') - 20), bottom);
    ASSERT_NE(both.find(") R10 - "), std::string::npos) << both;
    ASSERT_EQ(both.compare(both.size() - 3, 3, " R1"), 0) << both;
    expect_cut(both.substr(both.find(") R10 - ") + 8, both.size() - 3 - both.find(") R10 - ") - 8),
               top);
    RowOperation small{operation_combine, 0, 1, -3, 1};
    small.keep = mpq_class(-2, 3);
    EXPECT_EQ(operation_text(small), "R2 <- (-2/3) R2 + 3 R1");
    EXPECT_EQ(operation_text(small, notation_latex),
              "R_{2} \\leftarrow -\\frac{2}{3} R_{2} + 3 R_{1}");
}

} // namespace
