// Fuzz target for the row operation the learner types: any text must read as an operation on
// rows in range with a factor of at most 120 digits (each part) that reads back the same, or be
// refused with a message; an operation read is then done on a store without fault.
#include "matrix/learner_operation.h"
#include "matrix/notation.h"
#include "matrix/operation_parser.h"
#include "matrix/store.h"
#include "tests/fuzz/fuzz_support.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace
{

// A store of order n with whole entries, different in every cell.
void fill_store(int n)
{
    matrix_shape = system_shape(n, n);
    for (int r = 0; r < n; r++)
        for (int c = 0; c <= n; c++) {
            cell(r, c).num = (r * 7 + c * 3) % 11 - 5;
            cell(r, c).den = 1;
        }
}

} // namespace

// The first byte chooses the order (0 to 10), the rest is the typed text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const int order = data[0] % (max_matrix_order + 1);
    const std::string text(reinterpret_cast<const char *>(data + 1), size - 1);
    const ParsedOperation parsed = parse_operation(text, order);
    if (!parsed.ok) {
        require(!parsed.message.empty(), "a refusal without a message");
        return 0;
    }
    const RowOperation &operation = parsed.operation;
    require(operation.learner, "not marked as the learner's");
    require(operation.row >= 0 && operation.row < order, "its row is out of range");
    require(operation.pivot >= 0 && operation.pivot < order, "its other row is out of range");
    if (operation.kind != operation_scale)
        require(operation.row != operation.pivot, "a row combined with itself");
    const mpq_class factor = operation_factor(operation);
    if (operation.kind == operation_scale)
        require(factor != 0, "a scaling by 0");
    if (operation.kind == operation_combine)
        require(operation.keep != 0 && operation.keep != 1 &&
                    digits(operation.keep.get_num()) <= max_factor_digits &&
                    digits(operation.keep.get_den()) <= max_factor_digits,
                "a combination keeping its row times 0, times 1 or by too many digits");
    require(digits(factor.get_num()) <= max_factor_digits &&
                digits(factor.get_den()) <= max_factor_digits,
            "a factor of more than 120 digits");
    const std::string written = operation_text(operation);
    const ParsedOperation again = parse_operation(written, order);
    require(again.ok && operation_text(again.operation) == written,
            "the written-back operation does not read as the same");
    fill_store(order);
    apply_operation_now(operation);
    for (int r = 0; r < order; r++)
        for (int c = 0; c <= order; c++)
            require(cell(r, c).den != 0, "a cell over 0");
    return 0;
}
