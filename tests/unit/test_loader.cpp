// Reading matrix files: file contents to result code, order and cells, and opening files by name.
#include "matrix/atomic_file.h"
#include "matrix/matrix_file.h"
#include "matrix/store.h"
#include "matrix/worked_solution.h"
#include "store_helpers.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace
{

// One file's contents and what loading it must give; cells row by row as decimal numerators,
// and the warnings of a file that loads but may say something else than meant.
struct LoadCase {
    const char *name;
    std::string text;
    int code;
    int order;
    std::vector<std::string> cells;
    std::vector<std::pair<int, LoadWarningKind>> warnings = {};
};

// The contents of an order-10 file whose entries are 1, 2, ..., 110, less `missing` at the end.
std::string order_ten_text(int missing)
{
    std::string text = "10\n";
    for (int k = 1; k <= 110 - missing; k++)
        text += std::to_string(k) + (k % 11 == 0 ? "\n" : " ");
    return text;
}

// The warnings by short names, so that a case stays on one line of the table.
constexpr LoadWarningKind point = warning_decimal_point;
constexpr LoadWarningKind slash = warning_fraction_slash;
constexpr LoadWarningKind minus = warning_minus_separator;
constexpr LoadWarningKind left_over = warning_numbers_after_matrix;
constexpr LoadWarningKind across = warning_rows_across_lines;

// The cells of the shipped example dva.txt, which several files below mean.
const std::vector<std::string> example_cells{"1", "1", "3", "1", "-1", "1"};

// The numerators 1..110 an order-10 file holds.
std::vector<std::string> order_ten_cells()
{
    std::vector<std::string> cells;
    for (int k = 1; k <= 110; k++)
        cells.push_back(std::to_string(k));
    return cells;
}

const std::vector<LoadCase> load_cases = {
    {"example", "2\n1 1 3\n1 -1 1\n", load_ok, 2, {"1", "1", "3", "1", "-1", "1"}},
    {"comma_separators", "1,2,3", load_ok, 1, {"2", "3"}},
    {"comma_separators_order_two", "2,1,2,3,4,5,6", load_ok, 2, {"1", "2", "3", "4", "5", "6"}},
    {"minus_as_separator", "1 3-2", load_ok, 1, {"3", "2"}, {{1, minus}}},
    {"minus_after_separator", "1 3 -2", load_ok, 1, {"3", "-2"}},
    {"letters_as_separators", "1x5y6", load_ok, 1, {"5", "6"}},
    {"nul_as_separator",
     std::string("1\0"
                 "5 6",
                 5),
     load_ok,
     1,
     {"5", "6"}},
    {"leading_white_space", " \t\n 1\n\n  4   5", load_ok, 1, {"4", "5"}},
    {"text_after_last_entry", "1 4 5 and then 7 more\n", load_ok, 1, {"4", "5"}, {{1, left_over}}},
    {"text_glued_to_last_entry", "1 4 5junk", load_ok, 1, {"4", "5"}},
    {"crlf_lines", "2\r\n1 1 3\r\n1 -1 1\r\n", load_ok, 2, {"1", "1", "3", "1", "-1", "1"}},
    {"tabs", "2\t1\t1\t3\t1\t-1\t1", load_ok, 2, {"1", "1", "3", "1", "-1", "1"}},
    {"leading_zeros", "02 001 -002 3 4 +05 6", load_ok, 2, {"1", "-2", "3", "4", "5", "6"}},
    {"plus_signs", "+1 +5 -6", load_ok, 1, {"5", "-6"}},
    {"only_zero", "0", load_ok, 0, {}},
    {"only_zero_and_newline", "0\n", load_ok, 0, {}},
    {"minus_zero_order", "-0", load_ok, 0, {}},
    {"beyond_32_bits", "1 2147483648 -2147483649", load_ok, 1, {"2147483648", "-2147483649"}},
    {"beyond_64_bits",
     "1 18446744073709551616 -9223372036854775809",
     load_ok,
     1,
     {"18446744073709551616", "-9223372036854775809"}},
    {"thirty_digits",
     "1 123456789012345678901234567890 -98765432109876543210987654321",
     load_ok,
     1,
     {"123456789012345678901234567890", "-98765432109876543210987654321"}},
    {"longest_entries",
     "1 -" + std::string(max_entry_digits, '9') + " +" + std::string(max_entry_digits, '8'),
     load_ok,
     1,
     {"-" + std::string(max_entry_digits, '9'), std::string(max_entry_digits, '8')}},
    {"entry_one_digit_too_long",
     "1 5 " + std::string(max_entry_digits + 1, '7'),
     load_too_large,
     0,
     {}},
    {"leading_zeros_count",
     "1 5 " + std::string(max_entry_digits, '0') + "7",
     load_too_large,
     0,
     {}},
    {"order_ten_full", order_ten_text(0), load_ok, 10, order_ten_cells()},
    {"order_eleven", "11 1 2 3", load_too_large, 0, {}},
    {"order_huge", "99999999999999999999 1 2", load_too_large, 0, {}},
    {"order_two_to_32_plus_one", "4294967297 1 2", load_too_large, 0, {}},
    {"order_long_with_leading_zeros", std::string(125, '0') + "1 4 5", load_ok, 1, {"4", "5"}},
    {"order_huge_and_long", "1" + std::string(130, '0') + " 1 2", load_too_large, 0, {}},
    {"order_negative", "-1 5 6", load_invalid, 0, {}},
    {"order_negative_and_long", "-" + std::string(130, '9') + " 5 6", load_invalid, 0, {}},
    {"order_hugely_negative", "-99999999999999999999", load_invalid, 0, {}},
    {"empty_file", "", load_invalid, 0, {}},
    {"only_white_space", " \n\t\r\n", load_invalid, 0, {}},
    {"only_text", "matica", load_invalid, 0, {}},
    {"sign_without_order", "- 2 1 1", load_invalid, 0, {}},
    {"entry_not_a_number", "2 1 1 x 1 -1 1", load_invalid, 0, {}},
    {"two_separators", "1 5xx6", load_invalid, 0, {}},
    {"sign_without_digits", "1 - 5 6", load_invalid, 0, {}},
    {"trailing_sign", "1 5 +", load_invalid, 0, {}},
    {"last_entry_missing", "2\n1 1 3\n1 -1", load_invalid, 0, {}},
    {"last_entry_missing_trailing_space", "2\n1 1 3\n1 -1 ", load_invalid, 0, {}},
    {"last_entry_missing_trailing_newline", "2\n1 1 3\n1 -1\n", load_invalid, 0, {}},
    {"two_entries_missing", "2\n1 1 3\n1", load_invalid, 0, {}},
    {"only_the_order", "1", load_invalid, 0, {}},
    {"only_the_order_and_space", "1 ", load_invalid, 0, {}},
    {"order_ten_one_short", order_ten_text(1), load_invalid, 0, {}},
    // Files that load as the format says, but probably meant something else.
    {"decimal_point", "1 1.5", load_ok, 1, {"1", "5"}, {{1, point}}},
    {"fraction_slash", "1\n1/2\n", load_ok, 1, {"1", "2"}, {{2, slash}}},
    {"decimal_in_the_order", "1.5 6", load_ok, 1, {"5", "6"}, {{1, point}}},
    {"decimal_after_last_entry", "1\n2 3.5\n", load_ok, 1, {"2", "3"}, {{2, point}}},
    {"point_without_digit", "1 2. 3", load_ok, 1, {"2", "3"}},
    {"minus_before_a_space", "1 2- 3", load_ok, 1, {"2", "3"}},
    {"numbers_left", "2\n1 1 3\n1 -1 1\n\n5\n", load_ok, 2, example_cells, {{5, left_over}}},
    {"row_one_too_long",
     "2\n1 1 3 9\n1 -1 1\n",
     load_ok,
     2,
     {"1", "1", "3", "9", "1", "-1"},
     {{2, across}, {3, left_over}}},
    {"row_one_number_short", "2\n1 1\n3 1 -1\n1\n", load_ok, 2, example_cells, {{3, across}}},
    {"row_wrapped", "2\n1 1\n3\n1 -1 1\n", load_ok, 2, example_cells},
    {"several",
     "2\n1.5 3\n1-1 1\n",
     load_ok,
     2,
     {"1", "5", "3", "1", "1", "1"},
     {{2, point}, {3, minus}}},
    // Work in the printout's form, as W saves it: its system, the matrix before the first step.
    {"work_with_its_random_line",
     "# --random 2 --seed 5\n1   1 | 3\n1  -1 | 1\n\n"
     "Krok 1: R2 <- R2 - R1\n1   1 |  3\n0  -2 | -2\n",
     load_ok,
     2,
     example_cells},
    {"work_as_written_by_hand", "[1 1 = 3]\n[1 -1 = 1]\nUprava 1: R2 = R2 - R1\n1 1 3\n0 -2 -2\n",
     load_ok, 2, example_cells},
    {"work_without_a_step", "1 1 | 3\n1 -1 | 1\n", load_invalid, 0, {}},
    {"work_with_a_row_it_cannot_read",
     "1 1 | 3\n1 -1 | 1\nKrok 1: R2 <- R2 - R1\n1 1 | 3\n0 -2 | x\n", load_invalid, 0, {}},
    {"work_with_a_step_it_cannot_read",
     "1 1 | 3\n1 -1 | 1\nKrok 1: R2 <- R7 - R1\n1 1 | 3\n0 -2 | -2\n", load_invalid, 0, {}},
    {"first_form_with_a_step_after_it_is_no_work",
     "2\n1 1 3\n1 -1 1\n\nKrok 1: R2 <- R2 - R1\n1 1 3\n0 -2 -2\n",
     load_ok,
     2,
     example_cells,
     {{5, left_over}}},
};

// Fills the store with a stale matrix, so a load that leaves it behind is caught.
void fill_with_stale_matrix()
{
    reset_store();
    matrix_shape = system_shape(7, 7);
    for (auto &column : matrix_cells)
        for (Fraction &f : column) {
            f.num = 99;
            f.den = 3;
        }
}

// Reads text through a memory stream, the way a file would be read.
int read_text(const std::string &text, LoadWarnings *warnings = nullptr)
{
    std::vector<char> bytes(text.begin(), text.end());
    std::FILE *file = fmemopen(bytes.data(), bytes.size(), "r");
    if (!file) {
        ADD_FAILURE() << "fmemopen failed";
        return -1;
    }
    int code = read_matrix(file, warnings);
    std::fclose(file);
    return code;
}

// Names a case in failure messages.
void PrintTo(const LoadCase &c, std::ostream *out)
{
    *out << c.name;
}

class ReadMatrix : public testing::TestWithParam<LoadCase>
{
};

TEST_P(ReadMatrix, GivesCodeOrderCellsAndWarnings)
{
    const LoadCase &expected = GetParam();
    fill_with_stale_matrix();
    LoadWarnings warnings{{99, warning_decimal_point}}; // stale: every read replaces them
    ASSERT_EQ(read_text(expected.text, &warnings), expected.code);
    std::vector<std::pair<int, LoadWarningKind>> found;
    for (const LoadWarning &w : warnings)
        found.push_back({w.line, w.kind});
    EXPECT_EQ(found, expected.warnings);
    ASSERT_EQ(matrix_shape.rows, expected.order);
    const int n = expected.order;
    ASSERT_EQ(expected.cells.size(), static_cast<std::size_t>(n * (n + 1)));
    for (int r = 0; r < n; r++)
        for (int c = 0; c <= n; c++) {
            const std::string &num = expected.cells[static_cast<std::size_t>(r * (n + 1) + c)];
            EXPECT_EQ(cell(r, c).num, mpz_class(num)) << "cell " << r << "," << c;
            EXPECT_EQ(cell(r, c).den, 1) << "cell " << r << "," << c;
        }
}

INSTANTIATE_TEST_SUITE_P(Files, ReadMatrix, testing::ValuesIn(load_cases),
                         [](const testing::TestParamInfo<LoadCase> &case_info) {
                             return std::string(case_info.param.name);
                         });

// What read_integer gives for a text: its result, the value, and the next character left.
struct IntegerCase {
    const char *text;
    int result;
    const char *value;
    int next;
};

constexpr IntegerCase integer_cases[] = {
    {" \n\t42 ", 1, "42", ' '},
    {"-17x", 1, "-17", 'x'},
    {"+7", 1, "7", EOF},
    {"0009", 1, "9", EOF},
    {"-123456789012345678901234567890,", 1, "-123456789012345678901234567890", ','},
    {"", EOF, nullptr, EOF},
    {"   ", EOF, nullptr, EOF},
    {"x1", 0, nullptr, 'x'},
    {"-x", 0, nullptr, 'x'},
    {"--1", 0, nullptr, '-'},
    {"+ 1", 0, nullptr, ' '},
};

// The bytes that `hex` spells ("-": none).
std::string from_hex(const std::string &hex)
{
    std::string bytes;
    for (std::size_t i = 0; hex != "-" && i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

// Every file that loaded before systems of any shape could be read still loads as the same
// system, and every file refused then is refused with the same status, unless it starts as the
// shape form does: the fuzz corpus, its seeds and the examples, as the program printed them then.
TEST(ReadMatrix, FilesReadBeforeReadTheSameWithTheShapeForm)
{
    std::ifstream cases(UNIT_TESTS_DIR "/files_before_shapes.txt");
    ASSERT_TRUE(cases) << "no table of files read before";
    std::string line;
    int count = 0;
    int loaded = 0;
    while (std::getline(cases, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        int status = -1;
        std::string file_hex, block_hex;
        ASSERT_TRUE(fields >> status >> file_hex >> block_hex) << line;
        const std::string text = from_hex(file_hex);
        const std::string path = scratch_file("gj_before_shapes.txt", text);
        std::FILE *out = std::tmpfile();
        std::FILE *err = std::tmpfile();
        const int now = print_worked_solution(path.c_str(), notation_plain, out, err);
        const std::string printed = read_back(out);
        std::fclose(err);
        count++;
        const std::size_t head = text.find_first_not_of(" \t\r\n");
        const bool shape_head = head != std::string::npos &&
                                (text.compare(head, 7, "sustava") == 0 ||
                                 text.compare(head, 6, "matica") == 0);
        if (status != 0 && shape_head)
            continue; // refused then, and may mean a matrix now
        EXPECT_EQ(now, status) << "case " << count << ": " << file_hex;
        if (status == 0) {
            loaded++;
            EXPECT_EQ(printed.substr(0, printed.find("\n\n")), from_hex(block_hex))
                << "case " << count << ": " << file_hex;
        }
    }
    EXPECT_EQ(count, 453);
    EXPECT_EQ(loaded, 87);
}

TEST(ReadInteger, ReadsLikePercentDOfAnyLength)
{
    for (const IntegerCase &c : integer_cases) {
        SCOPED_TRACE(c.text);
        std::string text = c.text;
        std::vector<char> bytes(text.begin(), text.end());
        std::FILE *file = fmemopen(bytes.data(), bytes.size(), "r");
        ASSERT_NE(file, nullptr);
        mpz_class value = 555;
        EXPECT_EQ(read_integer(file, value), c.result);
        if (c.value) {
            EXPECT_EQ(value, mpz_class(c.value));
        }
        EXPECT_EQ(std::getc(file), c.next);
        std::fclose(file);
    }
}

// A scratch directory removed with its files at the end of the test.
class MatrixFiles : public testing::Test
{
  protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/gj_loader_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override
    {
        for (const std::string &path : files)
            std::remove(path.c_str());
        rmdir((dir + "/sub").c_str());
        rmdir(dir.c_str());
    }
    // Writes text to a file in the scratch directory and returns its path.
    std::string write_file(const char *name, const std::string &text)
    {
        std::string path = dir + "/" + name;
        std::FILE *file = std::fopen(path.c_str(), "wb");
        EXPECT_NE(file, nullptr);
        if (file) {
            std::fwrite(text.data(), 1, text.size(), file);
            std::fclose(file);
        }
        files.push_back(path);
        return path;
    }
    std::string dir;
    std::vector<std::string> files;
};

TEST_F(MatrixFiles, RealFileOpensAndLoads)
{
    const std::string path = write_file("soustava.txt", "2\n1 1 3\n1 -1 1\n");
    fill_with_stale_matrix();
    std::FILE *file = open_regular_file(path.c_str());
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(read_matrix(file), load_ok);
    std::fclose(file);
    EXPECT_EQ(matrix_shape.rows, 2);
    EXPECT_EQ(cell(1, 1).num, -1);
    EXPECT_EQ(cell(1, 2).num, 1);
}

TEST_F(MatrixFiles, EmptyRealFileIsInvalid)
{
    const std::string path = write_file("prazdny.txt", "");
    fill_with_stale_matrix();
    std::FILE *file = open_regular_file(path.c_str());
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(read_matrix(file), load_invalid);
    std::fclose(file);
    EXPECT_EQ(matrix_shape.rows, 0);
}

TEST_F(MatrixFiles, DirectoryIsNotOpened)
{
    ASSERT_EQ(mkdir((dir + "/sub").c_str(), 0700), 0);
    EXPECT_EQ(open_regular_file(dir.c_str()), nullptr);
    EXPECT_EQ(open_regular_file((dir + "/sub").c_str()), nullptr);
}

// A FIFO with no writer, a socket and devices are refused at once: opening the FIFO for
// reading would block until a writer came, and a device may never end.
TEST_F(MatrixFiles, NamesThatAreNotRegularFilesAreRefusedWithoutBlocking)
{
    const std::string fifo = dir + "/fifo";
    const std::string socket_path = dir + "/socket";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    files.push_back(fifo);
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socket_path.c_str());
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    files.push_back(socket_path);
    for (const std::string &name :
         {fifo, socket_path, std::string("/dev/zero"), std::string("/dev/null")}) {
        int result = -1;
        expect_no_blocking(name, [&] { result = load_matrix_file(name.c_str()); });
        EXPECT_EQ(result, load_cannot_open) << name;
        EXPECT_EQ(matrix_shape.rows, 0) << name;
    }
    close(listener);
}

TEST_F(MatrixFiles, MissingFileIsNotOpened)
{
    EXPECT_EQ(open_regular_file((dir + "/nie_je.txt").c_str()), nullptr);
    EXPECT_EQ(open_regular_file(""), nullptr);
}

// A stream that fails to read is a file problem, not a broken matrix, and loads nothing.
TEST_F(MatrixFiles, ReadErrorIsAFileProblem)
{
    std::FILE *file = std::fopen(dir.c_str(), "r"); // a directory: every read fails
    if (!file)
        GTEST_SKIP() << "this system does not open directories as streams";
    fill_with_stale_matrix();
    EXPECT_EQ(read_matrix(file), load_cannot_open);
    std::fclose(file);
    EXPECT_EQ(matrix_shape.rows, 0);
}

// A random whole number of 1..max_entry_digits digits, with a random sign; now and then 0.
mpz_class random_entry(std::mt19937_64 &random)
{
    if (random() % 10 == 0)
        return 0;
    const std::size_t digits = 1 + random() % (random() % 2 ? 3 : max_entry_digits);
    std::string text = random() % 2 ? "-" : "";
    text += static_cast<char>('1' + random() % 9);
    while (text.size() - (text[0] == '-') < digits)
        text += static_cast<char>('0' + random() % 10);
    return mpz_class(text);
}

// A random matrix such as the grid editor makes: order 1..10, whole entries of up to 120 digits;
// the cells outside the system hold stale values that must not be written.
StoreSnapshot random_matrix(std::mt19937_64 &random)
{
    fill_with_stale_matrix();
    StoreSnapshot matrix = save_store();
    matrix.shape = square_shape(1 + static_cast<int>(random() % max_matrix_order));
    for (int r = 0; r < matrix.shape.rows; r++)
        for (int c = 0; c < matrix.shape.columns(); c++)
            matrix.cells[c][r] = Fraction{random_entry(random), 1};
    return matrix;
}

TEST_F(MatrixFiles, EverySavedMatrixLoadsBackTheSame)
{
    std::mt19937_64 random(20240607);
    const std::string path = dir + "/ulozena.txt";
    files.push_back(path);
    for (int k = 0; k < 300; k++) {
        const StoreSnapshot matrix = random_matrix(random);
        ASSERT_EQ(save_matrix_file(path.c_str(), matrix), save_ok);
        fill_with_stale_matrix();
        LoadWarnings warnings;
        ASSERT_EQ(load_matrix_file(path.c_str(), &warnings), load_ok) << matrix_text(matrix);
        EXPECT_TRUE(store_equals(matrix)) << "matrix " << k << ":\n" << matrix_text(matrix);
        EXPECT_TRUE(warnings.empty()) << "a saved file reads as if another matrix were meant";
    }
}

TEST(MatrixText, SquareWholeSystemsInTheFirstFormEverythingElseWithItsShape)
{
    set_system({{1, -12, 3}, {-100, 5, 0}});
    StoreSnapshot matrix = save_store();
    EXPECT_EQ(matrix_text(matrix), "2\n   1 -12   3\n-100   5   0\n");
    matrix.shape = MatrixShape{};
    EXPECT_EQ(matrix_text(matrix), "0\n");
    matrix.shape = square_shape(2);
    matrix.cells[1][1] = Fraction{-2, 4};
    EXPECT_EQ(matrix_text(matrix), "sustava 2x2\n   1  -12 | 3\n-100 -1/2 | 0\n")
        << "a fraction needs the form with a shape, in lowest terms";
    matrix.shape = system_shape(2, 1);
    EXPECT_EQ(matrix_text(matrix), "sustava 2x1\n   1 |  -12\n-100 | -1/2\n");
    matrix.shape = MatrixShape{2, 2, kind_matrix};
    EXPECT_EQ(matrix_text(matrix), "matica 2x2\n   1  -12\n-100 -1/2\n");
    matrix.shape = MatrixShape{2, 2, kind_inverse};
    EXPECT_EQ(matrix_text(matrix), "") << "[A | I] is no file's matrix";
    matrix.shape = square_shape(2);
    matrix.cells[1][1] = Fraction{mpz_class(std::string(max_entry_digits + 1, '9')), 1};
    EXPECT_EQ(matrix_text(matrix), "") << "nor is a number longer than the loader takes";
    matrix.cells[1][1] = Fraction{1, mpz_class(std::string(max_entry_digits + 1, '9'))};
    EXPECT_EQ(matrix_text(matrix), "") << "nor a fraction with such a part";
    matrix.cells[1][1] = Fraction{mpz_class("-" + std::string(max_entry_digits, '9')), 1};
    EXPECT_NE(matrix_text(matrix), "");
}

// Replacing keeps the old file's permissions and writes through a link; what cannot be written
// fails with the old file whole and no temporary file left.
TEST_F(MatrixFiles, SavingReplacesWholeOrNotAtAll)
{
    set_system({{2, -1}});
    StoreSnapshot matrix = save_store();
    const std::string old_text = "1\n5 5\n";
    const std::string path = write_file("stara.txt", old_text);
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    const std::string link = dir + "/odkaz.txt";
    ASSERT_EQ(symlink(path.c_str(), link.c_str()), 0);
    files.push_back(link);
    EXPECT_EQ(file_exists(link.c_str()), 1);
    EXPECT_EQ(file_exists((dir + "/nova.txt").c_str()), 0);
    ASSERT_EQ(save_matrix_file(link.c_str(), matrix), save_ok);
    struct stat info {
    };
    ASSERT_EQ(lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode)) << "the link was replaced by a file";
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    fill_with_stale_matrix();
    ASSERT_EQ(load_matrix_file(path.c_str()), load_ok);
    EXPECT_EQ(cell(0, 1).num, -1);

    write_file("stara.txt", old_text);
    ASSERT_EQ(mkdir((dir + "/sub").c_str(), 0700), 0);
    const std::vector<std::string> refused{dir + "/sub", dir + "/nie_je/nova.txt", ""};
    for (const std::string &name : refused)
        EXPECT_EQ(save_matrix_file(name.c_str(), matrix), save_failed) << name;
    matrix.cells[0][0] = Fraction{1, mpz_class(std::string(max_entry_digits + 1, '7'))};
    EXPECT_EQ(save_matrix_file(path.c_str(), matrix), save_not_whole);
    std::ifstream kept(path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), old_text);
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator(dir))
        entries++;
    EXPECT_EQ(entries, 3u) << "a temporary file was left beside stara.txt, odkaz.txt and sub";
}

// Sets the time `path` (a link itself, not what it names) was last changed to `age` seconds ago.
void make_older(const std::string &path, long age)
{
    const timespec times[2] = {{std::time(nullptr) - age, 0}, {std::time(nullptr) - age, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

// The names in the folder `dir`.
std::set<std::string> names_in(const std::string &dir)
{
    std::set<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

// A file, folder or link beside a saved target, how long ago it was last changed, and whether
// the save removes it: only a temporary file of that target's own saves, unchanged long enough
// that no save running now can hold it.
struct LitterCase {
    std::string name;
    long age;
    bool swept;
    char kind = 'f'; // 'f' a file, 'd' a folder, 'l' a link
};

const std::string long_name(250, 'u'); // its temporary names are cut to fit the file system
const std::vector<LitterCase> litter_cases = {
    {".t.txt.gauss-jordan-Ab3dE9", stale_temporary_seconds + 5, true},
    {".t.txt.gauss-jordan-Fresh1", 0, false},                            // a save running now
    {".t.txt.gauss-jordan-Nearly", stale_temporary_seconds - 60, false}, // could still be one
    {".u.txt.gauss-jordan-Ab3dE9", stale_temporary_seconds + 5, false},  // another target's
    {".t.txt.gauss-jordan-Ab3dE", stale_temporary_seconds + 5, false},   // five characters
    {".t.txt.gauss-jordan-Ab.dE9", stale_temporary_seconds + 5, false},
    {"t.txt.gauss-jordan-Ab3dE9", stale_temporary_seconds + 5, false}, // not hidden
    {"t.txt.Ab3dE9", stale_temporary_seconds + 5, false},              // a user's file
    {".t.txt.gauss-jordan-Folder", stale_temporary_seconds + 5, false, 'd'},
    {".t.txt.gauss-jordan-Linked", stale_temporary_seconds + 5, false, 'l'},
    {"." + long_name.substr(0, 234) + ".gauss-jordan-Ab3dE9", stale_temporary_seconds + 5, true},
};

// Saving sweeps the temporary files killed saves of the same target left, and nothing else; a
// save, whether it succeeds or fails, leaves no temporary file of its own.
TEST_F(MatrixFiles, ASaveSweepsOnlyItsTargetsStaleTemporaries)
{
    set_system({{2, -1}});
    const StoreSnapshot matrix = save_store();
    std::set<std::string> kept = {"t.txt", long_name};
    for (const LitterCase &c : litter_cases) {
        const std::string path = dir + "/" + c.name;
        if (c.kind == 'd')
            ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
        else if (c.kind == 'l')
            ASSERT_EQ(symlink("t.txt", path.c_str()), 0);
        else
            write_file(c.name.c_str(), "1\n5 5\n");
        make_older(path, c.age);
        if (!c.swept)
            kept.insert(c.name);
    }
    ASSERT_EQ(save_matrix_file((dir + "/t.txt").c_str(), matrix), save_ok);
    ASSERT_EQ(save_matrix_file((dir + "/" + long_name).c_str(), matrix), save_ok);
    EXPECT_EQ(names_in(dir), kept);
    ASSERT_EQ(load_matrix_file((dir + "/" + long_name).c_str()), load_ok);
    EXPECT_EQ(cell(0, 1).num, -1);

    // A save that fails at its rename (a folder in the target's place) sweeps as well and
    // removes its own temporary file.
    ASSERT_EQ(mkdir((dir + "/sub").c_str(), 0700), 0);
    write_file(".sub.gauss-jordan-Ab3dE9", "x");
    make_older(dir + "/.sub.gauss-jordan-Ab3dE9", stale_temporary_seconds + 5);
    EXPECT_EQ(write_file_atomically(dir + "/sub", "1\n5 5\n", 0644), 1);
    kept.insert("sub");
    EXPECT_EQ(names_in(dir), kept);

    rmdir((dir + "/.t.txt.gauss-jordan-Folder").c_str());
    for (const std::string &name : kept)
        files.push_back(dir + "/" + name);
}

// A save killed while it writes (here by the file size limit, at once and every time) leaves its
// temporary file under the name the sweep looks for: kept while it may still be a running save's,
// removed by the first save after it has gone stale.
TEST_F(MatrixFiles, AKilledSavesTemporaryIsSweptOnceStale)
{
    set_system({{2, -1}});
    const StoreSnapshot matrix = save_store();
    const std::string path = dir + "/t.txt";
    const pid_t saver = fork();
    ASSERT_GE(saver, 0);
    if (saver == 0) {
        const rlimit no_core{0, 0};
        const rlimit small{1024, 1024};
        setrlimit(RLIMIT_CORE, &no_core);
        setrlimit(RLIMIT_FSIZE, &small);
        write_file_atomically(path, std::string(4096, '7'), 0644); // SIGXFSZ ends it here
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(saver, &status, 0), saver);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
    const std::set<std::string> litter = names_in(dir);
    ASSERT_EQ(litter.size(), 1u);
    const std::string left = *litter.begin();
    EXPECT_EQ(left.rfind(".t.txt.gauss-jordan-", 0), 0u) << left;
    files.push_back(dir + "/" + left);
    files.push_back(path);

    ASSERT_EQ(save_matrix_file(path.c_str(), matrix), save_ok);
    EXPECT_EQ(names_in(dir), (std::set<std::string>{left, "t.txt"})) << "a fresh one is kept";
    make_older(dir + "/" + left, stale_temporary_seconds);
    ASSERT_EQ(save_matrix_file(path.c_str(), matrix), save_ok);
    EXPECT_EQ(names_in(dir), (std::set<std::string>{"t.txt"}));
}

} // namespace
