// The matrix on the work screen: the grid of short texts, the rule, the step being solved
// with the rows it touches, and the exact readout.
#include "matrix_view.h"

#include "../app/images.h"
#include "../app/input.h"
#include "../app/layout.h"
#include "../matrix/cell_text.h"
#include "../matrix/store.h"

#include <allegro.h>

#include <cstdio>
#include <string>

// Text centre x of grid column c: 52.5 * c + 55, truncated.
int cell_centre_x(int c)
{
    return (105 * c + 110) / 2;
}

// Text top y of grid row r.
int cell_top_y(int r)
{
    return grid_row_step * r + grid_top;
}

// x of the rule before the right-hand side: 52.5 * n + 27.5, truncated.
int rule_x(int n)
{
    return (105 * n + 55) / 2;
}

ShownStep shown_step;
ShownDraft shown_draft;

namespace
{

// How far the highlight reaches around a cell's 8-pixel-high text: the band lies behind the
// text, the pivot's frame just outside the band, both clear of every glyph (a cell's text is
// at most 40 pixels wide and the cells lie 52 or 53 pixels apart).
constexpr int band_above = 3;
constexpr int band_below = 10;
constexpr int band_half_width = 25;
constexpr int frame_half_width = 24;

// A band behind row r across every column of the system.
void draw_row_band(int r, int colour)
{
    rectfill(back_buffer, cell_centre_x(0) - band_half_width, cell_top_y(r) - band_above,
             cell_centre_x(matrix_order) + band_half_width, cell_top_y(r) + band_below, colour);
}

std::string key_line; // drawn in the caption's place when no caption is shown

// A one-pixel frame around cell (r, c), just outside the band its row may have.
void draw_cell_frame(int r, int c, int colour)
{
    rect(back_buffer, cell_centre_x(c) - frame_half_width, cell_top_y(r) - band_above - 1,
         cell_centre_x(c) + frame_half_width - 1, cell_top_y(r) + band_below + 1, colour);
}

// The highlight of the shown step: the bands of the rows it changes and the pivot's frame.
void draw_step_highlight()
{
    const int band = makecol(step_band_colour.r, step_band_colour.g, step_band_colour.b);
    draw_row_band(shown_step.row, band);
    if (shown_step.kind == operation_exchange)
        draw_row_band(shown_step.pivot, band);
    draw_cell_frame(shown_step.pivot, shown_step.pivot,
                    makecol(pivot_frame_colour.r, pivot_frame_colour.g, pivot_frame_colour.b));
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

} // namespace

// Shows a step: its caption, its pivot's frame and the bands of the rows it changes.
void show_step(const std::string &caption, const RowOperation &operation)
{
    shown_step.active = true;
    shown_step.kind = operation.kind;
    shown_step.pivot = operation.pivot;
    shown_step.row = operation.row;
    shown_step.caption = caption;
}

// Shows a caption with no step highlighted.
void show_caption(const std::string &caption)
{
    shown_step = ShownStep{};
    shown_step.caption = caption;
}

// Shows no step and no caption.
void hide_step()
{
    shown_step = ShownStep{};
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

namespace
{

// The grid's cells and rule for order n, each cell's value read through `value`.
template <typename CellOf> void draw_grid(int n, CellOf value)
{
    const int white = makecol(255, 255, 255);
    char text[cell_text_size];
    for (int c = 0; c <= n; c++) {
        for (int r = 0; r < n; r++) {
            const Fraction &f = value(r, c);
            format_cell(f.num, f.den, text);
            textout_centre_ex(back_buffer, font, text, cell_centre_x(c), cell_top_y(r), white, -1);
        }
    }
    if (n > 0)
        line(back_buffer, rule_x(n), grid_top, rule_x(n), grid_row_step * n + 86, white);
}

} // namespace

// Draws the step's highlight (or the draft's framed cell), the grid, the rule and the step's
// caption (or the key line) into the back buffer.
void draw_matrix()
{
    const StoreSnapshot *draft = shown_draft.matrix;
    const int white = makecol(255, 255, 255);
    if (draft) {
        draw_cell_frame(shown_draft.row, shown_draft.column,
                        makecol(pivot_frame_colour.r, pivot_frame_colour.g, pivot_frame_colour.b));
        draw_grid(draft->order, [draft](int r, int c) -> const Fraction & {
            return draft->cells[static_cast<std::size_t>(c)][static_cast<std::size_t>(r)];
        });
    } else {
        const int n = matrix_order;
        if (shown_step.active && shown_step.pivot < n && shown_step.row < n)
            draw_step_highlight();
        draw_grid(n, [](int r, int c) -> const Fraction & { return cell(r, c); });
    }
    const std::string &caption = shown_step.caption.empty() ? key_line : shown_step.caption;
    if (!caption.empty())
        textout_ex(back_buffer, font, caption.c_str(), caption_x, caption_y, white, -1);
}

// The hover cell under frame point (x, y) for a system of order n.
bool cell_at(int x, int y, int n, int &row, int &column)
{
    const Rect hover{hover_left, hover_top, hover_left + hover_cell_width * (n + 1),
                     hover_top + hover_cell_height * n};
    if (!rect_contains(hover, x, y))
        return false;
    row = (y - hover_top) / hover_cell_height;
    column = (x - hover_left) / hover_cell_width;
    return true;
}

// Sets line_text from one sample of the pointer position.
void update_readout()
{
    int row = 0;
    int column = 0;
    if (cell_at(pointer_x(), pointer_y(), matrix_order, row, column)) {
        const std::string &text = cell_readout(row, column);
        std::snprintf(line_text, sizeof line_text, "%s", text.c_str());
    } else {
        std::snprintf(line_text, sizeof line_text, "%s", status_text);
    }
}
