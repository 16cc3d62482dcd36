// Row operations written as a learner writes them, in plain text and in LaTeX.
#include "notation.h"
#include "../matrix/translation.h"

#include "cell_text.h"

namespace
{

// The words of one notation.
struct Notation {
    const char *assign;     // "becomes"
    const char *exchange;   // "changes places with"
    const char *row_prefix; // before the row's number
    const char *row_suffix; // after it
};

constexpr Notation notations[] = {
    {" <- ", " <-> ", "R", ""},
    {" \\leftarrow ", " \\leftrightarrow ", "R_{", "}"},
};

// Room left of `limit` once `used` characters are taken; no limit stays no limit.
std::size_t room_left(std::size_t limit, std::size_t used)
{
    if (limit == std::string::npos)
        return limit;
    return limit > used ? limit - used : 0;
}

// Row r (counted from 0) as the learner counts it: "R3".
std::string row_name(int r, NotationStyle style)
{
    const Notation &words = notations[style];
    return words.row_prefix + std::to_string(r + 1) + words.row_suffix;
}

// A factor's signed value: "3", "-3", "(2/3)", "(-1/2)" in plain text (fitted to `room`),
// "\frac{2}{3}", "-\frac{1}{2}" in LaTeX.
std::string factor_text(const mpq_class &factor, NotationStyle style, std::size_t room)
{
    const std::string top = factor.get_num().get_str();
    if (factor.get_den() == 1)
        return style == notation_latex ? latex_inline_value(factor, true) : fit_number(top, room);
    if (style == notation_latex)
        return latex_inline_value(factor, true);
    return "(" + fit_fraction(top, "/", factor.get_den().get_str(), room_left(room, 2)) + ")";
}

// The factor in front of a row's name: left out when it is 1, a bare minus when it is -1.
std::string times_row(const mpq_class &factor, const std::string &row, NotationStyle style,
                      std::size_t room)
{
    if (factor == 1)
        return row;
    if (factor == -1)
        return "-" + row;
    return factor_text(factor, style, room_left(room, row.size() + 1)) + " " + row;
}

} // namespace

// An exact value in LaTeX: "3", "-\frac{7}{2}".
std::string latex_value(mpq_class value)
{
    value.canonicalize(); // the store may keep the sign in the denominator
    if (value.get_den() == 1)
        return value.get_num().get_str();
    const mpz_class magnitude = abs(value.get_num());
    return std::string(value < 0 ? "-" : "") + "\\frac{" + magnitude.get_str() + "}{" +
           value.get_den().get_str() + "}";
}

// `digits` in groups of three from the right with `separator` between them.
std::string grouped_digits(const std::string &digits, const char *separator)
{
    std::string text;
    for (std::size_t k = 0; k < digits.size(); k++) {
        if (k > 0 && (digits.size() - k) % 3 == 0)
            text += separator;
        text += digits[k];
    }
    return text;
}

// An exact value as a line of text may break it, in LaTeX math.
std::string latex_broken_value(mpq_class value, bool factor)
{
    value.canonicalize();
    const std::string sign = value < 0 ? "-" : "";
    const std::string top = grouped_digits(mpz_class(abs(value.get_num())).get_str(), "\\gjb");
    if (value.get_den() == 1)
        return sign + top;
    const std::string fraction = top + "/" + grouped_digits(value.get_den().get_str(), "\\gjb");
    return factor ? "(" + sign + fraction + ")" : sign + fraction;
}

// An exact value within a line of LaTeX text.
std::string latex_inline_value(mpq_class value, bool factor)
{
    value.canonicalize(); // the store may keep the sign in the denominator
    if (mpz_class(abs(value.get_num())).get_str().size() <= latex_whole_digits &&
        value.get_den().get_str().size() <= latex_whole_digits)
        return latex_value(value);
    return latex_broken_value(value, factor);
}

// The exact factor an operation applies, in lowest terms.
mpq_class operation_factor(const RowOperation &operation)
{
    if (operation.kind == operation_exchange || operation.num == 0)
        return 0;
    mpq_class factor = operation.kind == operation_scale ? mpq_class(operation.den, operation.num)
                                                         : mpq_class(operation.num, operation.den);
    factor.canonicalize(); // the store may keep the sign in the denominator
    return factor;
}

// The operation written in `style`, rows numbered from 1.
std::string operation_text(const RowOperation &operation, NotationStyle style, std::size_t limit)
{
    const Notation &words = notations[style];
    const std::string pivot_row = row_name(operation.pivot, style);
    const std::string row = row_name(operation.row, style);
    if (operation.kind == operation_exchange)
        return pivot_row + words.exchange + row;
    const mpq_class factor = operation_factor(operation);
    if (operation.kind == operation_scale) {
        const std::string head = row + words.assign;
        return head + times_row(factor, row, style, room_left(limit, head.size()));
    }
    // Row j becomes Rj - f Ri (or k Rj - f Ri); a negative f is written as an addition. A
    // combination's two factors share the room, the row's own first.
    std::string head = row + words.assign;
    if (operation.kind == operation_combine) {
        const std::size_t room = room_left(limit, head.size() + pivot_row.size() + 4);
        head += times_row(operation.keep, row, style, room == std::string::npos ? room : room / 2);
    } else {
        head += row;
    }
    head += factor < 0 ? " + " : " - ";
    return head + times_row(abs(factor), pivot_row, style, room_left(limit, head.size()));
}

// A caption naming an operation after `head`, at most caption_chars.
std::string operation_caption(const std::string &head, const RowOperation &operation)
{
    std::string caption =
        head + operation_text(operation, notation_plain, room_left(caption_chars, head.size()));
    if (caption.size() > caption_chars)
        caption.resize(caption_chars); // only when the line is too narrow for any abbreviation
    return caption;
}

// The caption of step `step` of `total`, at most caption_chars.
std::string step_caption_text(int step, int total, const RowOperation &operation)
{
    // TRANSLATORS: the caption's head before the step's operation, "Step 3 of 9: "
    return operation_caption(format_text(tr("Krok %d z %d: "), step, total), operation);
}
