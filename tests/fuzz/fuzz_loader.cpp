// Fuzz target for the matrix file reader: any bytes must load cleanly or fail with order 0.
#include "matrix/matrix_file.h"
#include "matrix/shape_form.h"
#include "matrix/store.h"
#include "tests/fuzz/fuzz_support.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace
{

// Empties the store as at start-up, so no input sees what the previous one left.
void reset_store()
{
    matrix_shape = MatrixShape{};
    for (auto &column : matrix_cells)
        for (Fraction &f : column) {
            f.num = 0;
            f.den = 0;
        }
}

} // namespace

// Reads one input as a matrix file and checks the result code against the store.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    reset_store();
    std::vector<char> bytes(data, data + size);
    std::FILE *file = fmemopen(bytes.data(), bytes.size(), "r");
    require(file != nullptr, "fmemopen failed");
    LoadWarnings warnings;
    const int code = read_matrix(file, &warnings);
    std::fclose(file);
    require(code >= load_ok && code <= load_invalid, "result code outside 0..3");
    require(code != load_cannot_open, "a memory stream reported a read error");
    if (code != load_ok) {
        require(matrix_shape.rows == 0, "a failed load left a matrix");
        require(warnings.empty(), "a failed load has warnings");
        return 0;
    }
    const long lines = std::count(bytes.begin(), bytes.end(), '\n') + 1;
    for (std::size_t k = 0; k < warnings.size(); k++) {
        require(warnings[k].line >= 1 && warnings[k].line <= lines, "a warning beyond the file");
        require(k == 0 || warnings[k - 1].line <= warnings[k].line, "warnings out of line order");
        require(!load_warning_line(warnings[k]).empty(), "a warning without a text");
    }
    require(matrix_shape.rows >= 0 && matrix_shape.rows <= max_matrix_order &&
                matrix_shape.unknowns >= 0 && matrix_shape.unknowns <= max_matrix_order,
            "shape outside 0..10");
    // The first form holds whole numbers only; the shape form's fractions and decimals come in
    // lowest terms over a positive denominator.
    const auto first = std::find_if(bytes.begin(), bytes.end(), [](char b) {
        return !std::isspace(static_cast<unsigned char>(b));
    });
    const bool shape_form =
        first != bytes.end() && starts_shape_form(static_cast<unsigned char>(*first));
    for (int r = 0; r < matrix_shape.rows; r++)
        for (int c = 0; c < matrix_shape.columns(); c++) {
            const Fraction &f = cell(r, c);
            if (!shape_form)
                require(f.den == 1, "a first-form entry has a denominator other than 1");
            require(f.den > 0 && gcd(f.num, f.den) == 1,
                    "an entry not in lowest terms over a positive denominator");
        }
    return 0;
}
