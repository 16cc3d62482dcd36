// Fuzz target for the reader of hand-worked solutions and their check: any text must read as
// steps whose matrices fit the system (or that name the line they cannot read), with no number
// or factor beyond the digits allowed, or be refused with a message naming one of its lines;
// what reads is then checked to the end. The same text cut into several files of a folder is
// then checked as a class, against the system or random ones (the first byte chooses), each
// file a line of the table and of the CSV.
#include "matrix/class_check.h"
#include "matrix/matrix_file.h"
#include "matrix/store.h"
#include "matrix/work_check.h"
#include "tests/fuzz/fuzz_support.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace
{

// Systems to check against, by order (the first byte chooses): small, one singular, one empty.
const char *const systems[] = {"0\n", "1\n2 4\n", "2\n2 1 5\n1 3 5\n",
                               "3\n1 1 1 1\n1 1 2 2\n1 1 3 4\n"};

// Writes `text` to a file of this process's own in the temporary folder; returns its name.
std::string scratch(const char *what, const std::string &text)
{
    const std::string name = "/tmp/gj_fuzz_work_" + std::to_string(getpid()) + "_" + what;
    std::FILE *file = std::fopen(name.c_str(), "wb");
    require(file != nullptr, "cannot write a scratch file");
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
    return name;
}

// The lines of `text`: each "\n", "\r\n" or lone "\r" ends one, and one more follows the last.
long line_count(const std::string &text)
{
    long lines = 1;
    for (std::size_t k = 0; k < text.size(); k++)
        if (text[k] == '\n' || (text[k] == '\r' && (k + 1 == text.size() || text[k + 1] != '\n')))
            lines++;
    return lines;
}

// Checks what the reader found against the text and the order.
void check_read(const WorkRead &read, const std::string &text, int order)
{
    const long lines = line_count(text);
    if (!read.ok) {
        require(!read.message.empty(), "a refusal without a message");
        require(read.line >= 1 && read.line <= lines, "a refusal naming no line of the text");
        return;
    }
    const auto fits = [&](const WorkMatrix &rows) {
        for (const auto &row : rows) {
            require(row.size() == static_cast<std::size_t>(order) + 1, "a row of another width");
            for (const mpq_class &value : row)
                require(digits(value.get_num()) <= max_work_digits &&
                            digits(value.get_den()) <= max_work_digits,
                        "a number beyond the digits allowed");
        }
    };
    require(read.work.start.empty() || read.work.start.size() == static_cast<std::size_t>(order) ||
                !read.work.start_fault.empty(),
            "a starting matrix of another height");
    fits(read.work.start);
    const WorkAnswer &answer = read.work.answer;
    require(answer.line == 0 || (answer.line >= 1 && answer.line <= lines &&
                                 answer.values.size() == static_cast<std::size_t>(order)),
            "an answer on no line, or of other unknowns");
    for (const WorkStep &step : read.work.steps) {
        require(step.line >= 1 && step.line <= lines, "a step on no line of the text");
        require(step.rows.size() == static_cast<std::size_t>(order) || !step.fault.empty(),
                "a matrix of another height, not named as the step's fault");
        require(step.fault.empty() || step.fault.rfind("riadok ", 0) == 0,
                "a step's fault naming no line");
        require(step.places.size() == step.rows.size(), "decimal places for other rows");
        fits(step.rows);
        require(step.operation.ok || !step.operation.message.empty(),
                "an operation refused without a message");
    }
}

// The byte that ends one file of a class and starts the next.
constexpr char file_separator = '\x1c';

// The text of `file`.
std::string file_text(const std::string &file)
{
    std::string text;
    std::FILE *in = std::fopen(file.c_str(), "rb");
    require(in != nullptr, "cannot read back a scratch file");
    for (int c = std::getc(in); c != EOF; c = std::getc(in))
        text.push_back(static_cast<char>(c));
    std::fclose(in);
    return text;
}

// Counts `c` in `text`.
long count_of(const std::string &text, char c)
{
    long count = 0;
    for (char k : text)
        count += k == c ? 1 : 0;
    return count;
}

// Cuts `text` at each file_separator (at most eight files) into the files of a fresh folder,
// checks them as a class against `system` (a file's, the seed's, or each file's first line's)
// and checks the table: a line per file in the order of their names, the total, the same rows
// in the CSV, none with a control character.
void check_as_class(const std::string &text, ClassSystem system)
{
    const std::string folder = "/tmp/gj_fuzz_class_" + std::to_string(getpid());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directory(folder);
    std::vector<std::string> names;
    for (std::size_t start = 0, k = 0; start <= text.size() && k < 8; k++) {
        std::size_t end = text.find(file_separator, start);
        if (end == std::string::npos || k == 7)
            end = text.size();
        names.push_back(folder + "/" + static_cast<char>('a' + k) + ".txt");
        std::FILE *file = std::fopen(names.back().c_str(), "wb");
        require(file != nullptr, "cannot write a scratch file");
        std::fwrite(text.data() + start, 1, end - start, file);
        std::fclose(file);
        start = end + 1;
    }
    const std::string table = folder + ".csv";
    const std::string out_name = folder + ".out";
    std::FILE *out = std::fopen(out_name.c_str(), "wb");
    std::FILE *errors = std::fopen("/dev/null", "w");
    const int status = check_class(system, {folder}, table, out, errors);
    std::fclose(out);
    std::fclose(errors);
    require(status == 0 || status == check_found_mistakes, "a class check with another status");
    const std::string lines = file_text(out_name);
    const std::string csv = file_text(table);
    const long rows = static_cast<long>(names.size());
    require(count_of(lines, '\n') == rows + 1 && count_of(csv, '\n') == rows + 1,
            "a table without a line for each file");
    require(count_of(csv, '\r') == rows + 1, "a CSV line not ending in CR LF");
    std::size_t at = 0;
    for (const std::string &name : names) {
        require(lines.compare(at, name.size() + 2, name + ": ") == 0, "a line of another file");
        at = lines.find('\n', at) + 1;
    }
    for (char c : lines + csv)
        require(c == '\n' || c == '\r' || static_cast<unsigned char>(c) >= 0x20,
                "a control character in the table");
    const std::string total = "Spravne prace: ";
    require(lines.compare(at, total.size(), total) == 0, "no total line");
    const long right = std::atol(lines.c_str() + at + total.size());
    long right_rows = 0;
    for (std::size_t end = csv.find(",ano\r\n"); end != std::string::npos;
         end = csv.find(",ano\r\n", end + 1))
        right_rows++;
    require(right == right_rows && (status == 0) == (right == rows),
            "a total that is not the table's");
    std::filesystem::remove_all(folder);
    std::remove(table.c_str());
    std::remove(out_name.c_str());
}

} // namespace

// The first byte chooses the system, the rest is the worked solution.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const char *system = systems[data[0] % (sizeof systems / sizeof systems[0])];
    const std::string text(reinterpret_cast<const char *>(data + 1), size - 1);
    const int order = system[0] - '0';
    const WorkRead read = read_work(text, square_shape(order));
    check_read(read, text, order);
    const std::string system_file = scratch("system", system);
    const std::string work_file = scratch("work", text);
    std::FILE *sink = std::fopen("/dev/null", "w");
    std::FILE *errors = std::fopen("/dev/null", "w");
    const int status = check_work(system_file.c_str(), work_file.c_str(), sink, errors);
    std::fclose(sink);
    std::fclose(errors);
    require(status == (read.ok ? status : load_invalid), "an unreadable work file checked");
    require(!read.ok || status == 0 || status == check_found_mistakes, "an unexpected status");
    ClassSystem class_system;
    const int mode = data[0] / 4 % 3;
    if (mode == 0 || order == 0) {
        class_system.file = system_file;
    } else {
        class_system.random_rows = class_system.random_unknowns = order;
        class_system.seed_given = mode == 1;
        class_system.seed = data[0];
    }
    check_as_class(text, class_system);
    return 0;
}
