// The matrix on the work screen: the grid of short texts, the rule and the exact readout.
#include "matrix_view.h"

#include "../app/images.h"
#include "../app/layout.h"
#include "cell_text.h"
#include "store.h"

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

// Draws the grid and the rule into the back buffer.
void draw_matrix()
{
    const int n = matrix_order;
    const int white = makecol(255, 255, 255);
    char text[cell_text_size];
    for (int c = 0; c <= n; c++) {
        for (int r = 0; r < n; r++) {
            format_cell(cell(r, c).num, cell(r, c).den, text);
            textout_centre_ex(back_buffer, font, text, cell_centre_x(c), cell_top_y(r), white, -1);
        }
    }
    if (n > 0)
        line(back_buffer, rule_x(n), grid_top, rule_x(n), grid_row_step * n + 86, white);
}

// Sets line_text from one sample of the pointer position.
void update_readout()
{
    const int x = mouse_x;
    const int y = mouse_y;
    const int n = matrix_order;
    const Rect hover{hover_left, hover_top, hover_left + hover_cell_width * (n + 1),
                     hover_top + hover_cell_height * n};
    if (rect_contains(hover, x, y)) {
        const Fraction &value =
            cell((y - hover_top) / hover_cell_height, (x - hover_left) / hover_cell_width);
        std::string text = readout_text(value.num, value.den, text_line_chars);
        std::snprintf(line_text, sizeof line_text, "%s", text.c_str());
    } else {
        std::snprintf(line_text, sizeof line_text, "%s", status_text);
    }
}
