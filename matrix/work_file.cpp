// Work files: the learner's operations or the program's steps written in the form --check reads,
// and the system of such a file read back.
#include "work_file.h"

#include "matrix_file.h"
#include "notation.h"
#include "random_system.h"
#include "row_arith.h"
#include "translation.h"
#include "work_check.h"
#include "worked_solution.h"

#include <cctype>
#include <cstddef>

namespace
{

std::vector<WorkFileStep> *recorded = nullptr; // where program_work_steps puts the steps
std::size_t steps_wanted = 0;                  // how many it wants

// The elimination's gate while steps are recorded: the previous step's cancelling is done, so
// its matrix is the store; this step is noted, or the run stops once enough are.
int record_step(const RowOperation &operation)
{
    if (!recorded->empty())
        recorded->back().after = save_store();
    if (recorded->size() == steps_wanted)
        return 1;
    recorded->push_back(WorkFileStep{operation, StoreSnapshot{}});
    return 0;
}

// The line with its white space trimmed at both ends.
std::string trimmed_line(const std::string &line)
{
    const std::size_t first = line.find_first_not_of(" \t\r\f\v");
    if (first == std::string::npos)
        return "";
    return line.substr(first, line.find_last_not_of(" \t\r\f\v") - first + 1);
}

// The lines of `text` before the first that starts with a letter (an operation or a sentence),
// trimmed, without blank and comment lines: the rows of the matrix before the first step (one
// more than a matrix may have at most, when there are more).
std::vector<std::string> start_rows(const std::string &text)
{
    std::vector<std::string> rows;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = trimmed_line(text.substr(at, end - at));
        at = end + 1;
        if (line.empty() || line[0] == '#')
            continue;
        if (std::isalpha(static_cast<unsigned char>(line[0])))
            break;
        rows.push_back(line);
        if (rows.size() > static_cast<std::size_t>(max_matrix_order))
            break; // more rows than any matrix has: no work, whatever follows
    }
    return rows;
}

// The shape a work's first row speaks of: its entries apart by spaces (brackets and commas
// after a number are spacing), "|" or "=" the rule. Rows 0 when it speaks of none.
MatrixShape first_row_shape(const std::vector<std::string> &rows)
{
    if (rows.empty() || rows.size() > static_cast<std::size_t>(max_matrix_order))
        return MatrixShape{};
    std::string row;
    for (char c : rows.front())
        row += c == '|' || c == '='   ? std::string(" | ")
               : c == '[' || c == ']' ? " "
                                      : std::string(1, c);
    int before = 0;
    int after = 0;
    bool rule = false;
    std::size_t at = 0;
    while ((at = row.find_first_not_of(" \t,", at)) != std::string::npos) {
        const std::size_t end = row.find_first_of(" \t", at);
        const bool is_rule =
            row.compare(at, end == std::string::npos ? std::string::npos : end - at, "|") == 0;
        if (is_rule && rule)
            return MatrixShape{};
        rule = rule || is_rule;
        if (!is_rule)
            (rule ? after : before)++;
        at = end;
    }
    const int count = static_cast<int>(rows.size());
    if (before == 0 || before > max_matrix_order)
        return MatrixShape{};
    if (!rule)
        return MatrixShape{count, before, kind_matrix};
    if (after == 1)
        return system_shape(count, before);
    if (after == before && before == count)
        return MatrixShape{count, before, kind_inverse};
    return MatrixShape{};
}

// True when every part of every value fits the loader's bound on an entry.
bool entries_fit(const WorkMatrix &rows)
{
    for (const auto &row : rows)
        for (const mpq_class &value : row)
            if (mpz_class(abs(value.get_num())).get_str().size() > max_entry_digits ||
                value.get_den().get_str().size() > max_entry_digits)
                return false;
    return true;
}

} // namespace

// The first line of a work whose system is a random one.
std::string random_origin_line(int rows, int unknowns, std::uint64_t seed)
{
    return "# " + random_options_text(rows, unknowns, seed) + "\n";
}

// The text of a work in the plain printout's form.
std::string work_file_text(const std::string &head, const StoreSnapshot &start,
                           const std::vector<WorkFileStep> &steps)
{
    const StoreSnapshot kept = save_store();
    restore_store(start);
    std::string text = head + matrix_block_text(notation_plain);
    int number = 0;
    for (const WorkFileStep &step : steps) {
        restore_store(step.after);
        text += "\n" + format_text(tr("Krok %d:"), ++number) + " " +
                operation_text(step.operation, notation_plain) + "\n" +
                matrix_block_text(notation_plain);
    }
    restore_store(kept);
    return text;
}

// The first `count` steps of the program's own elimination from `start`.
std::vector<WorkFileStep> program_work_steps(const StoreSnapshot &start, int count)
{
    std::vector<WorkFileStep> steps;
    if (count <= 0)
        return steps;
    const StoreSnapshot kept = save_store();
    restore_store(start);
    recorded = &steps;
    steps_wanted = static_cast<std::size_t>(count);
    const EliminationResult result =
        run_elimination({record_step, reduce_row_now, &stepwise_arithmetic}, reach_reduced_form);
    if (result != elimination_stopped && !steps.empty())
        steps.back().after = save_store(); // the last step of the whole elimination
    recorded = nullptr;
    restore_store(kept);
    return steps;
}

// Reads `text` as a work file and gives the matrix before its first step.
bool read_work_file_system(const std::string &text, StoreSnapshot &system)
{
    const MatrixShape shape = first_row_shape(start_rows(text));
    if (shape.rows == 0)
        return false;
    const WorkRead read = read_work(text, shape);
    if (!read.ok || read.work.steps.empty() || !read.work.start_fault.empty() ||
        read.work.start.size() != static_cast<std::size_t>(shape.rows) ||
        !entries_fit(read.work.start))
        return false;
    for (const auto &row : read.work.start)
        if (row.size() != static_cast<std::size_t>(shape.columns()))
            return false;
    for (const WorkStep &step : read.work.steps)
        if (!step.fault.empty() || !step.operation.ok)
            return false;
    system = StoreSnapshot{};
    system.shape =
        shape.kind == kind_inverse ? MatrixShape{shape.rows, shape.unknowns, kind_matrix} : shape;
    for (int r = 0; r < system.shape.rows; r++)
        for (int c = 0; c < system.shape.columns(); c++) {
            const mpq_class &value =
                read.work.start[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
            snapshot_cell(system, r, c) = Fraction{value.get_num(), value.get_den()};
        }
    return true;
}
