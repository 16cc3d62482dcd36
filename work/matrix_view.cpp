// The matrix on the work screen: the grid of short texts or exact fractions (or the grid
// editor's draft in its place), the rule, the step being solved with the rows it touches, the
// caption under the grid (or the keys), and the exact readout.
#include "matrix_view.h"

#include "../matrix/cell_text.h"
#include "../matrix/general_solution.h"
#include "../matrix/notation.h"
#include "../matrix/rank.h"
#include "../matrix/store.h"
#include "../platform/images.h"
#include "../platform/input.h"
#include "../platform/layout.h"

#include <allegro.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

// Text centre x of grid column c: 52.5 * c + 55, truncated.
int cell_centre_x(int c)
{
    return grid_column_centre(c);
}

// Text top y of grid row r.
int cell_top_y(int r)
{
    return grid_row_top(r);
}

// x of the rule before the right-hand side: 52.5 * n + 27.5, truncated.
int rule_x(int n)
{
    return (105 * n + 55) / 2;
}

ShownStep shown_step;
int grid_fractions = 0;
ShownDraft shown_draft;

namespace
{

// Where the grid draws around its cells in the kind of text it shows now.
const GridRowGeometry &geometry()
{
    return grid_fractions ? fraction_grid : decimal_grid;
}

// A band behind row r across every column of the system.
void draw_row_band(int r, int colour)
{
    const GridRowGeometry &g = geometry();
    rectfill(back_buffer, cell_centre_x(0) - g.band_left, cell_top_y(r) - g.band_above,
             cell_centre_x(matrix_shape.columns() - 1) + g.band_right, cell_top_y(r) + g.band_below,
             colour);
}

std::string key_line; // drawn in the caption's place when no caption is shown

// A one-pixel frame around cell (r, c), just outside the band its row may have: the pivot's,
// or the grid editor's cell.
void draw_cell_frame(int r, int c, int colour)
{
    const GridRowGeometry &g = geometry();
    rect(back_buffer, cell_centre_x(c) - g.frame_left, cell_top_y(r) - g.band_above - 1,
         cell_centre_x(c) + g.frame_right, cell_top_y(r) + g.band_below + 1, colour);
}

// The highlight of the shown step: the bands of the rows it changes and the pivot's frame.
void draw_step_highlight()
{
    const int band = makecol(step_band_colour.r, step_band_colour.g, step_band_colour.b);
    draw_row_band(shown_step.row, band);
    if (shown_step.kind == operation_exchange)
        draw_row_band(shown_step.pivot, band);
    if (shown_step.framed)
        draw_cell_frame(shown_step.pivot, shown_step.column,
                        makecol(pivot_frame_colour.r, pivot_frame_colour.g, pivot_frame_colour.b));
}

// The fraction text of one cell, kept until its stored value changes: bringing a large value
// to lowest terms is costly to do every frame.
struct FractionCache {
    bool known = false;
    mpz_class num;
    mpz_class den;
    GridText text;
};

std::array<std::array<FractionCache, grid_rows>, grid_columns> fraction_cache;

// True when a matrix of `shape` fits the grid's columns.
bool shown_whole(const MatrixShape &shape)
{
    return shape.columns() <= grid_columns;
}

// The fraction text of cell (r, c), built again only when its value changed.
const GridText &cell_fraction(int r, int c)
{
    const Fraction &value = cell(r, c);
    FractionCache &cache = fraction_cache[static_cast<std::size_t>(c)][static_cast<std::size_t>(r)];
    if (!cache.known || cache.num != value.num || cache.den != value.den) {
        cache.known = true;
        cache.num = value.num;
        cache.den = value.den;
        cache.text = fraction_cell_text(value.num, value.den);
    }
    return cache.text;
}

// Draws the fraction text of cell (r, c): numerator over a bar as wide as the wider part's
// glyphs over denominator, or a single text on the cell's text row.
void draw_fraction_text(const GridText &text, int r, int c, int colour)
{
    const int x = cell_centre_x(c);
    const int y = cell_top_y(r);
    if (text.kind != grid_text_fraction) {
        textout_centre_ex(back_buffer, font, text.top.c_str(), x, y, colour, -1);
        return;
    }
    textout_centre_ex(back_buffer, font, text.top.c_str(), x, y - fraction_numerator_rise, colour,
                      -1);
    textout_centre_ex(back_buffer, font, text.bottom.c_str(), x, y + fraction_denominator_drop,
                      colour, -1);
    const int width =
        std::max(text_length(font, text.top.c_str()), text_length(font, text.bottom.c_str()));
    const int left = x - width / 2;
    hline(back_buffer, left, y + fraction_bar_drop, left + width - 2, colour); // a glyph's last
                                                                               // column is blank
}

// Draws the value `value` of cell (r, c) as its short decimal text.
void draw_decimal_cell(const Fraction &value, int r, int c, int colour)
{
    char text[cell_text_size];
    format_cell(value.num, value.den, text);
    textout_centre_ex(back_buffer, font, text, cell_centre_x(c), cell_top_y(r), colour, -1);
}

// Draws the cells and the rule of a matrix of `shape`, each cell's value read through `value`;
// the store's fractions come from their cache, the draft's are built as they are drawn.
template <typename CellOf> void draw_grid(const MatrixShape &shape, bool from_store, CellOf value)
{
    if (!shown_whole(shape))
        return;
    const int white = makecol(255, 255, 255);
    for (int c = 0; c < shape.columns(); c++)
        for (int r = 0; r < shape.rows; r++) {
            const Fraction &f = value(r, c);
            if (!grid_fractions)
                draw_decimal_cell(f, r, c, white);
            else if (from_store)
                draw_fraction_text(cell_fraction(r, c), r, c, white);
            else
                draw_fraction_text(fraction_cell_text(f.num, f.den), r, c, white);
        }
    const GridRowGeometry &g = geometry();
    const int n = shape.unknowns;
    if (shape.rows > 0)
        line(back_buffer, rule_x(n), cell_top_y(0) - g.rule_above, rule_x(n),
             cell_top_y(shape.rows - 1) + g.rule_below, white);
}

// The readout of the cell last pointed at, kept until the pointer moves to another cell or
// the cell's value changes: the text of a long number is costly to build every frame.
struct ReadoutCache {
    int row = -1;
    int column = -1;
    mpz_class num;
    mpz_class den;
    std::string text;
};

ReadoutCache readout_cache;

// The exact readout of cell (r, c), built again only when the cell or its value changed.
const std::string &cell_readout(int r, int c)
{
    const Fraction &value = cell(r, c);
    ReadoutCache &cache = readout_cache;
    if (cache.row != r || cache.column != c || cache.num != value.num || cache.den != value.den) {
        cache.row = r;
        cache.column = c;
        cache.num = value.num;
        cache.den = value.den;
        cache.text = readout_text(value.num, value.den, text_line_chars);
    }
    return cache.text;
}

// Draws the caption's second line on its plate under the grid panel.
void draw_second_line(const std::string &text)
{
    const Rect &p = caption_plate;
    rectfill(back_buffer, p.x1, p.y1, p.x2, p.y2,
             makecol(caption_plate_fill.r, caption_plate_fill.g, caption_plate_fill.b));
    rect(back_buffer, p.x1, p.y1, p.x2, p.y2,
         makecol(caption_plate_rim.r, caption_plate_rim.g, caption_plate_rim.b));
    textout_ex(back_buffer, font, text.c_str(), caption_x, second_caption_y, makecol(255, 255, 255),
               -1);
}

} // namespace

// Shows a step: its caption, its pivot's frame and the bands of the rows it changes.
void show_step(const std::string &caption, const RowOperation &operation)
{
    shown_step = ShownStep{};
    shown_step.active = true;
    shown_step.kind = operation.kind;
    shown_step.pivot = operation.pivot;
    shown_step.column = pivot_column(operation);
    shown_step.row = operation.row;
    shown_step.framed = !operation.learner;
    shown_step.caption = caption;
    shown_step.matrix = matrix_serial;
}

// Shows a caption with no step highlighted.
void show_caption(const std::string &caption, CaptionLife life)
{
    shown_step = ShownStep{};
    shown_step.caption = caption;
    shown_step.matrix = matrix_serial;
    shown_step.life = life;
}

// Shows no step and no caption.
void hide_step()
{
    shown_step = ShownStep{};
    shown_step.matrix = matrix_serial;
}

namespace
{

// The matrix as loaded when its left block A is the store's, as for the system itself or for
// [A | I] made from it; nullptr otherwise.
const StoreSnapshot *loaded_with_left_block()
{
    const MatrixShape &loaded = loaded_matrix.shape;
    if (matrix_shape.rows == 0 || loaded.rows != matrix_shape.rows ||
        loaded.unknowns != matrix_shape.unknowns)
        return nullptr;
    return &loaded_matrix;
}

// The closing caption's lines: `caption`, and det A of the matrix as loaded beside it or under
// it when the store's left block is that square A.
CaptionLines closing_lines(const std::string &caption)
{
    const StoreSnapshot *loaded = loaded_with_left_block();
    if (!loaded || !matrix_shape.square())
        return {caption, ""};
    return caption_with_determinant(caption, left_determinant(*loaded), caption_chars);
}

} // namespace

// Shows a caption with det A beside it or under it.
void show_caption_with_determinant(const std::string &caption)
{
    const CaptionLines lines = closing_lines(caption);
    show_caption(lines.first);
    shown_step.second_line = lines.second;
}

// Shows the closing caption of a store in reduced row echelon form.
void show_answer_caption()
{
    const CaptionLines lines =
        closing_lines(closing_statement(notation_plain, caption_chars, loaded_with_left_block()));
    const int contradiction = solution_set().contradiction_row;
    const int zero_row = matrix_shape.kind == kind_inverse ? inverse_zero_row() : -1;
    if (contradiction >= 0) { // its row banded, its c framed
        show_step(lines.first, RowOperation{operation_scale, contradiction, contradiction, 1, 1,
                                            matrix_shape.unknowns});
    } else if (zero_row >= 0) { // its row banded, nothing framed
        show_step(lines.first, RowOperation{operation_scale, zero_row, zero_row, 1, 1, 0, true});
    } else {
        show_caption(lines.first);
    }
    shown_step.second_line = lines.second;
}

// A key or a click arrived: a caption that lasts only until then goes.
void caption_input_arrived()
{
    if (shown_step.life == caption_until_input)
        hide_step();
}

// Draws a draft in place of the store, with a frame around cell (row, column) like the pivot's,
// until hide_draft.
void show_draft(const StoreSnapshot &draft, int row, int column)
{
    shown_draft = ShownDraft{&draft, row, column};
}

// Draws the store again.
void hide_draft()
{
    shown_draft = ShownDraft{};
}

// Sets the line drawn in the caption's place whenever no caption is shown.
void show_key_line(const std::string &keys)
{
    key_line = keys;
}

// Draws the step's highlight (or the draft's framed cell), the grid, the rule and the step's
// caption (or the key line) into the back buffer; what was shown about an earlier matrix is not
// drawn.
void draw_matrix()
{
    const int white = makecol(255, 255, 255);
    const bool shown = shown_step.matrix == matrix_serial;
    if (const StoreSnapshot *draft = shown_draft.matrix) {
        draw_cell_frame(shown_draft.row, shown_draft.column,
                        makecol(pivot_frame_colour.r, pivot_frame_colour.g, pivot_frame_colour.b));
        draw_grid(draft->shape, false, [draft](int r, int c) -> const Fraction & {
            return snapshot_cell(*draft, r, c);
        });
    } else {
        const int rows = matrix_shape.rows;
        if (shown && shown_step.active && shown_step.pivot < rows && shown_step.row < rows &&
            shown_step.column < matrix_shape.columns() && shown_whole(matrix_shape))
            draw_step_highlight();
        draw_grid(matrix_shape, true, [](int r, int c) -> const Fraction & { return cell(r, c); });
    }
    const std::string &caption =
        shown && !shown_step.caption.empty() ? shown_step.caption : key_line;
    if (!caption.empty())
        textout_ex(back_buffer, font, caption.c_str(), caption_x, caption_y, white, -1);
    if (shown && !shown_step.second_line.empty())
        draw_second_line(shown_step.second_line);
}

// The hover cell under frame point (x, y) for a matrix of `shape`: the one hit test on the grid.
bool cell_at(int x, int y, const MatrixShape &shape, int &row, int &column)
{
    const int last = shape.columns() - 1;
    if (!shown_whole(shape) || y < hover_row_top(0) || y >= hover_row_top(shape.rows) ||
        x < hover_column_left(0) || x >= hover_last_column_end(last))
        return false;
    row = (y - hover_row_top(0)) / grid_row_step;
    column = last;
    while (column > 0 && x < hover_column_left(column))
        column--;
    return true;
}

// Sets line_text from one sample of the pointer position.
void update_readout()
{
    int row = 0;
    int column = 0;
    if (cell_at(pointer_x(), pointer_y(), matrix_shape, row, column)) {
        const std::string &text = cell_readout(row, column);
        std::snprintf(line_text, sizeof line_text, "%s", text.c_str());
    } else {
        std::snprintf(line_text, sizeof line_text, "%s", status_text);
    }
}
