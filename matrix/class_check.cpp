// Checking a whole class's hand-ins in one run: a line for each, a total and a CSV table.
#include "class_check.h"

#include "atomic_file.h"
#include "random_argument.h"
#include "random_system.h"
#include "store.h"
#include "translation.h"
#include "utf8_text.h"
#include "worked_solution.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

namespace
{

// The device and the file number of `name`, to know it under another name; false when it is
// not there.
bool file_identity(const std::string &name, std::pair<dev_t, ino_t> &identity)
{
    struct stat info {
    };
    if (stat(name.c_str(), &info) != 0)
        return false;
    identity = {info.st_dev, info.st_ino};
    return true;
}

// The files of the folder `folder` that are hand-ins, sorted by name; `unreadable` when the
// folder cannot be read.
std::vector<HandIn> folder_hand_ins(const std::string &folder,
                                    const std::vector<std::pair<dev_t, ino_t>> &skipped,
                                    bool &unreadable)
{
    std::vector<HandIn> found;
    std::error_code error;
    std::filesystem::directory_iterator entries(folder, error);
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        const std::filesystem::path &path = entries->path();
        const std::string file = path.filename().string();
        std::error_code kind_error;
        if (file.empty() || file[0] == '.' || std::filesystem::is_directory(path, kind_error))
            continue;
        std::pair<dev_t, ino_t> identity;
        if (file_identity(path.string(), identity) &&
            std::find(skipped.begin(), skipped.end(), identity) != skipped.end())
            continue;
        HandIn hand_in;
        hand_in.name = path.string();
        hand_in.in_folder = true;
        found.push_back(hand_in);
    }
    unreadable = static_cast<bool>(error);
    std::sort(found.begin(), found.end(),
              [](const HandIn &a, const HandIn &b) { return a.name < b.name; });
    return found;
}

// "ano" or "nie".
const char *yes_no(bool yes)
{
    return yes ? tr("ano") : tr("nie");
}

// What the summary says of the result.
const char *result_word(const WorkSummary &summary)
{
    if (!summary.finished)
        return tr("este sa neda precitat");
    return summary.result_right ? tr("spravny") : tr("nespravny");
}

// The first mistake as a report's line says it: "Krok 5: riadok 2, stlpec 3: 7/2, spravne je
// 5/2", or "Krok 5: " and what is wrong.
std::string mistake_text(const WorkMistake &mistake)
{
    if (mistake.row == 0)
        return mistake.step + ": " + mistake.why;
    return mistake.step + ": " +
           format_text(tr("riadok %d, stlpec %d: %s, spravne je %s"), mistake.row, mistake.column,
                       mistake.written.c_str(), mistake.right.c_str());
}

// A field of a CSV line: quoted, its quotes doubled, when it holds a comma, a quote or a line
// end.
std::string csv_field(const std::string &text)
{
    const std::string shown = printable_text(text);
    if (shown.find_first_of(",\"\r\n") == std::string::npos)
        return shown;
    std::string quoted = "\"";
    for (char c : shown)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

// The header of the CSV table.
// TRANSLATORS: the CSV table's header row; keep its 12 comma-separated fields and no quotes
constexpr const char *csv_header = tr_noop("praca,kroky v poriadku,kroky,prva chyba,riadok,"
                                           "stlpec,napisane,spravne,dovod,redukovany tvar,"
                                           "vysledok,spravna praca");

// The CSV line of one hand-in.
std::string csv_line(const SummaryRow &row)
{
    const WorkSummary &s = row.summary;
    std::vector<std::string> fields(12);
    fields[0] = row.name;
    if (!s.unchecked.empty()) {
        fields[8] = s.unchecked;
    } else {
        fields[1] = std::to_string(s.steps_right);
        fields[2] = std::to_string(s.steps);
        if (s.mistaken) {
            fields[3] = s.first.step;
            fields[4] = s.first.row > 0 ? std::to_string(s.first.row) : "";
            fields[5] = s.first.row > 0 ? std::to_string(s.first.column) : "";
            fields[6] = s.first.written;
            fields[7] = s.first.right;
            fields[8] = s.first.why;
        }
        fields[9] = yes_no(s.reduced);
        fields[10] = result_word(s);
    }
    fields[11] = yes_no(s.right);
    std::string line;
    for (std::size_t k = 0; k < fields.size(); k++)
        line += (k == 0 ? "" : ",") + csv_field(fields[k]);
    return line + "\r\n";
}

// Puts the system of `system` in the store for the whole run (a file's, or the seed's):
// 0, or the status of a system that cannot be loaded, with its message on `err`.
int load_class_system(const ClassSystem &system, std::FILE *err)
{
    if (!system.file.empty())
        return load_check_system(system.file.c_str(), system.inversion, err);
    if (system.seed_given) {
        restore_store(random_system(system.random_rows, system.random_unknowns, system.seed));
        new_matrix();
    }
    return 0;
}

// What the hand-ins' first lines decide: nothing for a system file; with --random N --seed S
// a hand-in whose "# --random" line names another system does not fit; with --random N alone
// each hand-in's system is the one its first line names, which must be of the shape N.
PrepareSystem system_of_hand_ins(const ClassSystem &system)
{
    if (!system.file.empty())
        return nullptr;
    const int rows = system.random_rows;
    const int unknowns = system.random_unknowns;
    const std::string wanted = "--random " + random_shape_argument(rows, unknowns);
    if (system.seed_given) {
        const std::uint64_t seed = system.seed;
        return [=](const std::string &first) {
            RandomLine line;
            if (read_random_line(first, line) != random_line_read ||
                (line.rows == rows && line.unknowns == unknowns && line.seed == seed))
                return std::string();
            const std::string given =
                "--random " + line.argument + " --seed " + std::to_string(line.seed);
            return format_text(tr("praca je k %s, nie k %s"), given.c_str(),
                               random_options_text(rows, unknowns, seed).c_str());
        };
    }
    return [=](const std::string &first) {
        RandomLine line;
        const RandomLineRead read = read_random_line(first, line);
        if (read == random_line_none)
            return format_text(tr("prvy riadok nie je # %s --seed S"), wanted.c_str());
        if (read == random_line_unreadable)
            return format_text(tr("prvy riadok # --random sa neda precitat: ma byt # %s --seed S"),
                               wanted.c_str());
        if (line.rows != rows || line.unknowns != unknowns)
            return format_text(tr("praca je k %s, nie k %s"), ("--random " + line.argument).c_str(),
                               wanted.c_str());
        restore_store(random_system(line.rows, line.unknowns, line.seed));
        new_matrix();
        return std::string();
    };
}

// True when `name` is a folder.
bool is_folder(const std::string &name)
{
    struct stat info {
    };
    return stat(name.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Writes the table `rows` to `csv_file` when one is named: 0, or 4 with a message on `err`.
int write_table(const std::string &csv_file, const std::vector<SummaryRow> &rows, std::FILE *err)
{
    if (csv_file.empty())
        return 0;
    if (write_file_atomically(csv_file, summary_csv(rows), file_mode_for(csv_file)) == 0)
        return 0;
    std::fprintf(err, tr("%s: tabulku sa neda zapisat\n"), csv_file.c_str());
    return 4;
}

// Checks every hand-in of `works` against the system in the store (or their own), a line for
// each on `out` as it is checked, then the total; the table to `csv_file`.
int check_hand_ins(const ClassSystem &system, const std::vector<std::string> &works,
                   const std::string &csv_file, std::FILE *out, std::FILE *err)
{
    const PrepareSystem prepare = system_of_hand_ins(system);
    std::vector<SummaryRow> rows;
    int right = 0;
    for (const HandIn &hand_in : list_hand_ins(works, {system.file, csv_file})) {
        SummaryRow row{hand_in.name, WorkSummary{}};
        if (hand_in.unchecked.empty())
            row.summary = check_hand_in(hand_in.name, hand_in.in_folder, prepare);
        else
            row.summary.unchecked = hand_in.unchecked;
        right += row.summary.right ? 1 : 0;
        const std::string line = summary_line(row.name, row.summary);
        std::fwrite(line.data(), 1, line.size(), out);
        rows.push_back(std::move(row));
    }
    std::fprintf(out, tr("Spravne prace: %d z %zu.\n"), right, rows.size());
    const int written = finish_output(out, err);
    const int tabled = write_table(csv_file, rows, err);
    if (written != 0 || tabled != 0)
        return 4;
    return right == static_cast<int>(rows.size()) ? 0 : check_found_mistakes;
}

} // namespace

// The hand-ins the names give: files themselves, folders' files sorted by name.
std::vector<HandIn> list_hand_ins(const std::vector<std::string> &works,
                                  const std::vector<std::string> &skipped)
{
    std::vector<std::pair<dev_t, ino_t>> skipped_files;
    for (const std::string &name : skipped) {
        std::pair<dev_t, ino_t> identity;
        if (!name.empty() && file_identity(name, identity))
            skipped_files.push_back(identity);
    }
    std::vector<HandIn> hand_ins;
    for (const std::string &name : works) {
        if (!is_folder(name)) {
            hand_ins.push_back(HandIn{name, false, ""});
            continue;
        }
        bool unreadable = false;
        std::vector<HandIn> found = folder_hand_ins(name, skipped_files, unreadable);
        if (unreadable)
            hand_ins.push_back(HandIn{name, false, tr("priecinok sa neda precitat")});
        else if (found.empty())
            hand_ins.push_back(HandIn{name, false, tr("v priecinku nie je ziadna praca")});
        hand_ins.insert(hand_ins.end(), found.begin(), found.end());
    }
    return hand_ins;
}

// The line of the table for one hand-in.
std::string summary_line(const std::string &name, const WorkSummary &summary)
{
    std::string line = name + ": ";
    if (!summary.unchecked.empty())
        return printable_text(line + summary.unchecked) + "\n";
    line += format_text(tr("kroky v poriadku: %d z %d"), summary.steps_right, summary.steps);
    if (summary.mistaken)
        line += tr("; prva chyba: ") + mistake_text(summary.first);
    line += format_text(tr("; redukovany tvar: %s; vysledok: %s"), yes_no(summary.reduced),
                        result_word(summary));
    return printable_text(line) + "\n";
}

// The table as CSV.
std::string summary_csv(const std::vector<SummaryRow> &rows)
{
    std::string text = std::string(tr(csv_header)) + "\r\n";
    for (const SummaryRow &row : rows)
        text += csv_line(row);
    return text;
}

// Checks a class's hand-ins, or one hand-in in detail.
int check_class(const ClassSystem &system, const std::vector<std::string> &works,
                const std::string &csv_file, std::FILE *out, std::FILE *err)
{
    const StoreSnapshot kept = save_store();
    int status = load_class_system(system, err);
    if (status == 0 && works.size() == 1 && !is_folder(works[0])) {
        SummaryRow row{works[0], WorkSummary{}};
        status =
            check_one_work(works[0].c_str(), system_of_hand_ins(system), out, err, &row.summary);
        const int tabled = write_table(csv_file, {row}, err);
        status = tabled != 0 ? tabled : status;
    } else if (status == 0) {
        status = check_hand_ins(system, works, csv_file, out, err);
    }
    restore_store(kept);
    return status;
}
