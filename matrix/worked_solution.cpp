// The worked solution of a matrix file, printed as text or LaTeX: every step and its matrix.
#include "worked_solution.h"

#include "cell_text.h"
#include "elimination.h"
#include "instant_rows.h"
#include "matrix_file.h"
#include "rank.h"
#include "row_arith.h"
#include "store.h"

#include <gmpxx.h>

#include <algorithm>
#include <cstddef>
#include <vector>

namespace
{

std::FILE *output = nullptr;                 // where the running printout goes
NotationStyle output_style = notation_plain; // how it is written
int steps_printed = 0;                       // gated steps met so far in the running printout
std::string pending_caption; // the last step's caption, printed with its matrix once the step's
                             // cancelling is done; empty when there is none waiting

// Writes text to the printout's output.
void emit(const std::string &text)
{
    std::fwrite(text.data(), 1, text.size(), output);
}

// The exact value num/den with the sign in front: "-7/2" in plain text, "-\frac{7}{2}" in LaTeX.
std::string value_text(const mpz_class &num, const mpz_class &den, NotationStyle style)
{
    if (style == notation_plain)
        return exact_value_text(num, den);
    return latex_value(mpq_class(num, den));
}

// The text of every cell of the system, row by row.
std::vector<std::vector<std::string>> cell_texts(NotationStyle style)
{
    std::vector<std::vector<std::string>> texts(static_cast<std::size_t>(matrix_order));
    for (int r = 0; r < matrix_order; r++)
        for (int c = 0; c <= matrix_order; c++)
            texts[r].push_back(value_text(cell(r, c).num, cell(r, c).den, style));
    return texts;
}

// The matrix in plain text, each column right-aligned to its widest entry.
std::string plain_matrix()
{
    const auto texts = cell_texts(notation_plain);
    std::vector<std::size_t> widths(static_cast<std::size_t>(matrix_order) + 1, 0);
    for (const auto &row : texts)
        for (std::size_t c = 0; c < row.size(); c++)
            widths[c] = std::max(widths[c], row[c].size());
    std::string text;
    for (const auto &row : texts) {
        for (std::size_t c = 0; c < row.size(); c++) {
            if (c > 0)
                text += c + 1 == row.size() ? " | " : "  ";
            text += std::string(widths[c] - row[c].size(), ' ') + row[c];
        }
        text += "\n";
    }
    return text;
}

// The matrix as an amsmath array in parentheses, with a rule before the right-hand side.
std::string latex_matrix()
{
    std::string text = "\\left(\\begin{array}{" +
                       std::string(static_cast<std::size_t>(matrix_order), 'r') + "|r}\n";
    const auto texts = cell_texts(notation_latex);
    for (std::size_t r = 0; r < texts.size(); r++) {
        for (std::size_t c = 0; c < texts[r].size(); c++)
            text += (c > 0 ? " & " : "") + texts[r][c];
        text += r + 1 < texts.size() ? " \\\\\n" : "\n";
    }
    return text + "\\end{array}\\right)\n";
}

// Prints one block: the matrix as it is now, after `caption` when there is one. Plain blocks
// are set apart by a blank line; each LaTeX block is a display of its own, so that a long
// solution can break across pages between steps.
void print_block(const std::string &caption)
{
    if (output_style == notation_latex) {
        emit("\\[\n" + caption + latex_matrix() + "\\]\n");
        return;
    }
    emit(caption.empty() ? plain_matrix() : "\n" + caption + plain_matrix());
}

// Prints the step waiting for its matrix, if any.
void print_pending_step()
{
    if (pending_caption.empty())
        return;
    print_block(pending_caption);
    pending_caption.clear();
}

// The elimination's gate: prints the previous step, whose cancelling is now done, and notes
// this one. Stops the elimination once the output cannot be written.
int note_step(const RowOperation &operation)
{
    print_pending_step();
    steps_printed++;
    const std::string head = "Krok " + std::to_string(steps_printed) + ": ";
    const std::string text = operation_text(operation, output_style); // every digit
    if (output_style == notation_latex)
        pending_caption = "\\xrightarrow{\\text{" + head + "} " + text + "}\n";
    else
        pending_caption = head + text + "\n";
    return std::ferror(output) ? 1 : 0;
}

// The last line: the solution from the last column, or the verdict of a singular system.
std::string ending_text(SolveEnding ending)
{
    const bool latex = output_style == notation_latex;
    if (ending != ending_solved) {
        const std::string verdict = ending_verdict(ending);
        return latex ? "\\[\n\\text{" + verdict + "}\n\\]\n" : "\n" + verdict + "\n";
    }
    std::string text = latex ? "\\[\n\\text{Riesenie: } " : "\nRiesenie: ";
    for (int k = 0; k < matrix_order; k++) {
        const std::string name =
            latex ? "x_{" + std::to_string(k + 1) + "}" : "x" + std::to_string(k + 1);
        const Fraction &value = cell(k, matrix_order);
        text += (k > 0 ? (latex ? ",\\quad " : ", ") : "") + name + " = " +
                value_text(value.num, value.den, output_style);
    }
    return text + (latex ? "\n\\]\n" : "\n");
}

// Prints the loaded system, every step of its elimination and the ending.
void print_solution(NotationStyle style, std::FILE *out)
{
    output = out;
    output_style = style;
    steps_printed = 0;
    pending_caption.clear();
    if (matrix_order == 0) {
        emit(style == notation_latex ? "\\[\n\\text{Sustava je prazdna.}\n\\]\n"
                                     : "Sustava je prazdna.\n");
        return;
    }
    print_block("");
    // Only values are printed, so the fast instant form serves whenever the store allows it.
    const bool instant = begin_instant_rows();
    const EliminationResult result =
        instant ? run_elimination({note_step, skip_reduction, &instant_arithmetic})
                : run_elimination({note_step, reduce_row_now});
    if (result == elimination_stopped)
        return; // the output failed; nothing more can be written
    print_pending_step();
    emit(ending_text(solve_ending(result == elimination_column_empty)));
}

} // namespace

// The loaded matrix as the printout writes it.
std::string matrix_block_text(NotationStyle style)
{
    return style == notation_latex ? latex_matrix() : plain_matrix();
}

// Prints the worked solution of the matrix file `file_name` on `out` in `style`.
int print_worked_solution(const char *file_name, NotationStyle style, std::FILE *out,
                          std::FILE *err)
{
    const StoreSnapshot kept = save_store();
    const int loaded = load_matrix_file(file_name);
    if (loaded != load_ok) {
        restore_store(kept);
        const char *message = load_message(loaded);
        std::fprintf(err, "%s\n", message ? message : "Neplatna matica!");
        return loaded;
    }
    print_solution(style, out);
    restore_store(kept);
    if (std::fflush(out) != 0 || std::ferror(out)) {
        std::fprintf(err, "%s\n", "Vystup sa nepodarilo zapisat.");
        return worked_solution_write_failed;
    }
    return 0;
}
