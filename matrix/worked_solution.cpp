// The worked solution of a matrix file, printed as text or as a LaTeX document, and a LaTeX
// worksheet of systems with their answers.
#include "worked_solution.h"
#include "../matrix/translation.h"

#include "cell_text.h"
#include "elimination.h"
#include "general_solution.h"
#include "instant_rows.h"
#include "inverse.h"
#include "latex_layout.h"
#include "matrix_file.h"
#include "random_system.h"
#include "rank.h"
#include "row_arith.h"
#include "store.h"

#include <gmpxx.h>

#include <algorithm>
#include <array>
#include <cstddef>

namespace
{

std::FILE *output = nullptr;                 // where the running printout goes
NotationStyle output_style = notation_plain; // how it is written
int steps_printed = 0;                       // gated steps met so far in the running printout
StoreSnapshot printed_start;                 // the matrix the printed elimination starts from
std::string pending_caption;  // the last step's caption, printed with its matrix once the step's
                              // cancelling is done; empty when there is none waiting
bool verdict_is_last = false; // nothing has been printed after it yet

constexpr const char *latex_tail = "\\end{document}\n";

// Writes text to the printout's output.
void emit(const std::string &text)
{
    std::fwrite(text.data(), 1, text.size(), output);
}

// The column the rule stands before: the first right of A, none (past the last) for a matrix
// alone.
int rule_column()
{
    return matrix_shape.kind == kind_matrix ? matrix_shape.columns() : matrix_shape.unknowns;
}

// A cell's text as last printed, kept with the stored parts it was made from: a step changes one
// or two rows, so the rows it leaves are not brought to lowest terms again.
struct PrintedCell {
    Fraction stored;
    std::string text;
};
std::array<std::array<PrintedCell, store_columns>, grid_rows> printed_cells;

// The plain text of every cell of the system, row by row: "-7/2".
std::vector<std::vector<std::string>> cell_texts()
{
    std::vector<std::vector<std::string>> texts(static_cast<std::size_t>(matrix_shape.rows));
    for (int r = 0; r < matrix_shape.rows; r++)
        for (int c = 0; c < matrix_shape.columns(); c++) {
            PrintedCell &printed = printed_cells[r][c];
            const Fraction &stored = cell(r, c);
            if (printed.text.empty() || printed.stored.num != stored.num ||
                printed.stored.den != stored.den) {
                printed.stored = stored;
                printed.text = exact_value_text(stored.num, stored.den);
            }
            texts[r].push_back(printed.text);
        }
    return texts;
}

// The matrix in plain text, each column right-aligned to its widest entry.
std::string plain_matrix()
{
    const auto texts = cell_texts();
    std::vector<std::size_t> widths(static_cast<std::size_t>(matrix_shape.columns()), 0);
    for (const auto &row : texts)
        for (std::size_t c = 0; c < row.size(); c++)
            widths[c] = std::max(widths[c], row[c].size());
    std::string text;
    const std::size_t rule = static_cast<std::size_t>(rule_column());
    for (const auto &row : texts) {
        for (std::size_t c = 0; c < row.size(); c++) {
            if (c > 0)
                text += c == rule ? " | " : "  ";
            text += std::string(widths[c] - row[c].size(), ' ') + row[c];
        }
        text += "\n";
    }
    return text;
}

// The loaded system's values, row by row.
ValueRows store_rows()
{
    ValueRows rows(static_cast<std::size_t>(matrix_shape.rows));
    for (int r = 0; r < matrix_shape.rows; r++)
        for (int c = 0; c < matrix_shape.columns(); c++)
            rows[static_cast<std::size_t>(r)].push_back(cell_value(r, c));
    return rows;
}

// Prints one block: the matrix as it is now, after `caption` when there is one. Plain blocks
// are set apart by a blank line; in LaTeX the caption is a line of text over the display.
void print_block(const std::string &caption)
{
    verdict_is_last = false;
    if (output_style == notation_latex) {
        emit(caption + matrix_block_text(notation_latex) + "\n");
        return;
    }
    emit(caption.empty() ? plain_matrix() : "\n" + caption + plain_matrix());
}

// Prints a line of text of its own.
void print_line(const std::string &text)
{
    emit(output_style == notation_latex ? text + "\n\n" : text + "\n");
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
    if (verdict_is_last)
        print_line(tr("Pokracujeme az po redukovany tvar."));
    verdict_is_last = false;
    steps_printed++;
    // TRANSLATORS: a printed step's head, "Step 4:"; --check reads it back
    const std::string head = format_text(tr("Krok %d:"), steps_printed);
    const std::string text = operation_text(operation, output_style); // every digit
    if (output_style == notation_latex)
        pending_caption = "\\textbf{" + head + "} $" + text + "$\n";
    else
        pending_caption = head + " " + text + "\n";
    return std::ferror(output) ? 1 : 0;
}

// The first column without a pivot: where a plain elimination ends, with its verdict.
void note_empty_column()
{
    print_pending_step();
    const std::string verdict = ending_verdict(solve_ending(1));
    emit(output_style == notation_latex ? verdict + "\n\n" : "\n" + verdict + "\n");
    verdict_is_last = true;
}

// The last paragraph: the closing statement, read off the reduced form, then the ranks (where
// the statement does not name them) and, for a square matrix, the determinant.
void print_closing_statement()
{
    std::string statement = closing_statement(output_style, std::string::npos, &printed_start);
    if (statement.find("h(A)") == std::string::npos)
        statement += (output_style == notation_latex ? "\n\n" : "\n") + rank_text(output_style);
    if (printed_start.shape.square())
        statement += (output_style == notation_latex ? "\n\n" : "\n") +
                     determinant_text(left_determinant(printed_start), output_style);
    if (output_style == notation_latex)
        emit(statement + "\n");
    else
        emit((verdict_is_last ? "" : "\n") + statement + "\n");
}

// Runs the elimination of the loaded system to its reduced form with the printout's hooks, in
// the instant form whenever the store allows it (only values are printed).
EliminationResult run_printed_elimination()
{
    const bool instant = begin_instant_rows();
    const EliminationResult result =
        instant
            ? run_elimination({note_step, skip_reduction, &instant_arithmetic, note_empty_column},
                              reach_reduced_form)
            : run_elimination({note_step, reduce_row_now, &stepwise_arithmetic, note_empty_column},
                              reach_reduced_form);
    return result; // the instant form's values are the step-by-step ones; only values are read
}

// The LaTeX heading of the matrix the printout starts from.
std::string latex_start_heading()
{
    switch (matrix_shape.kind) {
    case kind_system:
        return tr("Sustava rovnic:") + std::string("\n") + latex_equations() + "\n" +
               tr("Rozsirena matica sustavy:") + "\n";
    case kind_inverse:
        return tr("Matica $A$ a vedla nej jednotkova matica, $[A \\mid I]$:") + std::string("\n");
    case kind_matrix:
        break;
    }
    return tr("Matica:") + std::string("\n");
}

// After the closing statement of [A | I] whose right block is A^-1: A^-1 as a matrix of its own
// and the check by multiplying back, which the statement made before claiming it.
void print_found_inverse()
{
    if (matrix_shape.kind != kind_inverse || !inverse_found(&printed_start))
        return;
    const StoreSnapshot reduced = save_store();
    restore_store(right_block(reduced));
    if (output_style == notation_latex) {
        emit("\n" + std::string(tr("Inverzna matica:")) + "\n\n" +
             matrix_block_text(notation_latex) + "\n" +
             tr("Skuska: $A \\cdot A^{-1} = I$, prvok po prvku presne.") + "\n");
    } else {
        emit("\n" + std::string(inverse_block_head) + "\n" + plain_matrix() + "\n" +
             tr("Skuska: A * A^-1 = I, prvok po prvku presne.") + "\n");
    }
    restore_store(reduced);
}

// Prints the loaded system, every step of its elimination and the outcome.
void print_solution(NotationStyle style, std::FILE *out)
{
    output = out;
    output_style = style;
    steps_printed = 0;
    pending_caption.clear();
    verdict_is_last = false;
    const bool latex = style == notation_latex;
    if (latex)
        emit(std::string(latex_preamble) +
             (matrix_shape.kind == kind_inverse
                  ? "\\section*{" +
                        std::string(tr("Inverzna matica Gaussovou--Jordanovou eliminaciou")) +
                        "}\n\n"
                  : "\\section*{" +
                        std::string(tr("Gaussova--Jordanova eliminacia po krokoch")) + "}\n\n"));
    if (matrix_shape.rows == 0) {
        print_line(tr("Sustava je prazdna."));
    } else {
        if (latex)
            emit(latex_start_heading());
        print_block("");
        printed_start = save_store();
        if (run_printed_elimination() == elimination_stopped)
            return; // the output failed; nothing more can be written
        print_pending_step();
        print_closing_statement();
        print_found_inverse();
    }
    if (latex)
        emit(latex_tail);
}

// Loads `file_name`, telling `err` its warnings or why it cannot be loaded, each line after
// `prefix`; returns the LoadResult.
int load_for_printing(const char *file_name, const std::string &prefix, std::FILE *err)
{
    LoadWarnings warnings;
    std::string why;
    const int loaded = load_matrix_file(file_name, &warnings, &why);
    for (const LoadWarning &warning : warnings)
        std::fprintf(err, "%s%s\n", prefix.c_str(), load_warning_line(warning).c_str());
    if (loaded != load_ok) {
        const char *message = load_message(loaded);
        std::fprintf(err, "%s%s\n", prefix.c_str(), message ? message : tr("Neplatna matica!"));
        if (!why.empty())
            std::fprintf(err, "%s%s\n", prefix.c_str(), why.c_str());
    }
    return loaded;
}

// The room left to work under a system of order n.
std::string working_room(int order)
{
    return "\\vspace{" + std::to_string(20 + 8 * order) + "mm}\n\n";
}

// The answer of the loaded system, for the worksheet's last page.
std::string exercise_answer()
{
    run_elimination_now(nullptr, reach_reduced_form);
    return closing_statement(notation_latex);
}

} // namespace

// The loaded matrix as the printout writes it.
std::string matrix_block_text(NotationStyle style)
{
    return style == notation_latex
               ? latex_matrix(store_rows(), static_cast<std::size_t>(rule_column()))
               : plain_matrix();
}

// The loaded system written as equations in LaTeX, set within the text width.
std::string latex_equations()
{
    return latex_system(store_rows());
}

// Flushes `out` and turns a write failure into its status and message.
int finish_output(std::FILE *out, std::FILE *err)
{
    if (std::fflush(out) != 0 || std::ferror(out)) {
        std::fprintf(err, "%s\n", tr("Vystup sa nepodarilo zapisat."));
        return worked_solution_write_failed;
    }
    return 0;
}

// Prints the worked solution of the matrix file `file_name` on `out` in `style`.
int print_worked_solution(const char *file_name, NotationStyle style, std::FILE *out,
                          std::FILE *err)
{
    const StoreSnapshot kept = save_store();
    const int loaded = load_for_printing(file_name, "", err);
    if (loaded != load_ok) {
        restore_store(kept);
        return loaded;
    }
    print_solution(style, out);
    restore_store(kept);
    return finish_output(out, err);
}

// Prints the inversion of the square matrix in `file_name` on `out` in `style`.
int print_worked_inverse(const char *file_name, NotationStyle style, std::FILE *out, std::FILE *err)
{
    const StoreSnapshot kept = save_store();
    const int loaded = load_for_printing(file_name, "", err);
    if (loaded != load_ok) {
        restore_store(kept);
        return loaded;
    }
    const MatrixShape shape = matrix_shape;
    StoreSnapshot start;
    const InverseSetup setup = inverse_setup(save_store(), start);
    if (setup != inverse_ready) {
        std::fprintf(err, "%s\n",
                     setup == inverse_no_matrix
                         ? tr("Prazdna matica nema inverznu maticu.")
                         : (tr("Inverzna matica je len pre stvorcovu maticu: ") +
                            left_block_size_text(shape))
                               .c_str());
        restore_store(kept);
        return inverse_refused;
    }
    if (shape.kind == kind_system)
        std::fprintf(err, "%s\n", tr(right_sides_left_out));
    restore_store(start);
    print_solution(style, out);
    restore_store(kept);
    return finish_output(out, err);
}

namespace
{

// A worksheet being made: its tasks and, for the last page, their answers.
struct ExerciseSheet {
    std::string tasks = std::string(latex_preamble) + "\\section*{" +
                        tr("Sustavy linearnych rovnic") + "}\n\n" +
                        tr("Vyrieste kazdu sustavu Gaussovou--Jordanovou eliminaciou.") + "\n\n";
    std::string answers = "\\newpage\n\\section*{" + std::string(tr("Vysledky")) + "}\n\n";
};

// Adds the system in the store to `sheet` as the task `title` (with the line `label` under it
// when there is one, and `answer_label` after the title among the answers): its equations, room
// to work, and its answer.
void add_task(ExerciseSheet &sheet, const std::string &title, const std::string &label,
              const std::string &answer_label = "")
{
    sheet.tasks += "\\subsection*{" + title + "}\n";
    if (!label.empty())
        sheet.tasks += label + "\n\n";
    sheet.tasks += matrix_shape.rows == 0 ? tr("Sustava je prazdna.") + std::string("\n\n")
                                          : latex_equations() + "\n";
    sheet.tasks += working_room(matrix_shape.rows);
    sheet.answers += "\\textbf{" + title + ".}" + answer_label + " " + exercise_answer() + "\n\n";
}

} // namespace

// Prints a LaTeX worksheet of the systems in `file_names` on `out`.
int print_exercise_sheet(const std::vector<std::string> &file_names, std::FILE *out, std::FILE *err)
{
    const StoreSnapshot kept = save_store();
    ExerciseSheet sheet;
    for (std::size_t k = 0; k < file_names.size(); k++) {
        const std::string &name = file_names[k];
        const int loaded = load_for_printing(name.c_str(), name + ": ", err);
        if (loaded != load_ok) {
            restore_store(kept);
            return loaded;
        }
        // TRANSLATORS: a worksheet's task, "Exercise 3"
        add_task(sheet, format_text(tr("Uloha %d"), static_cast<int>(k + 1)), "");
    }
    restore_store(kept);
    output = out;
    emit(sheet.tasks + sheet.answers + latex_tail);
    return finish_output(out, err);
}

// The seed of variant k (from 1) of a sheet from `seed`: seed, seed + 1, ..., wrapping round.
std::uint64_t variant_seed(std::uint64_t seed, int k)
{
    return seed + static_cast<std::uint64_t>(k - 1);
}

// Prints a LaTeX worksheet of `count` random variants: each a random system of the size asked
// for, labelled with the --random and --seed that print it alone, the answers on the last page
// by number and seed.
int print_variant_sheet(int rows, int unknowns, int count, std::uint64_t seed, std::FILE *out,
                        std::FILE *err)
{
    const StoreSnapshot kept = save_store();
    ExerciseSheet sheet;
    const std::string size = random_shape_argument(rows, unknowns);
    for (int k = 1; k <= count; k++) {
        const std::string seed_text = std::to_string(variant_seed(seed, k));
        restore_store(random_system(rows, unknowns, variant_seed(seed, k)));
        add_task(sheet, format_text(tr("Uloha %d"), k),
                 "\\texttt{gauss-jordan -{}-random " + size + " -{}-seed " + seed_text + "}",
                 " (seed " + seed_text + ")");
    }
    restore_store(kept);
    output = out;
    emit(sheet.tasks + sheet.answers + latex_tail);
    return finish_output(out, err);
}
