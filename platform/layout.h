// Screen geometry shared by the hit tests, the painters and the image generator.
#pragma once

// A screen rectangle; a point is inside when x1 < x < x2 and y1 < y < y2.
struct Rect {
    int x1;
    int y1;
    int x2;
    int y2;
};

// True when (x, y) lies strictly inside r (all four bounds exclusive).
constexpr bool rect_contains(const Rect &r, int x, int y)
{
    return r.x1 < x && x < r.x2 && r.y1 < y && y < r.y2;
}

constexpr int screen_width = 640;
constexpr int screen_height = 480;

// Where the 640x480 frame lies on a display: every frame pixel shown as a scale x scale block,
// the frame's top-left corner at (x, y), black around it.
struct FramePlacement {
    int scale;
    int x;
    int y;
};

// The frame on a display of width x height: at the largest whole scale that fits, centred. A
// window zoomed by a whole factor is filled exactly; a larger full screen is filled as far as
// a whole scale allows. The scale is at least 1, and the frame never lies off the top left.
constexpr FramePlacement frame_placement(int width, int height)
{
    const int across = width / screen_width;
    const int down = height / screen_height;
    const int scale = across < down ? across : down;
    if (scale < 1)
        return {1, 0, 0};
    return {scale, (width - screen_width * scale) / 2, (height - screen_height * scale) / 2};
}

// A display coordinate mapped back into the frame that is shown from `offset` on, `scale`
// times as wide and tall.
constexpr int frame_coordinate(int window_coordinate, int scale, int offset = 0)
{
    return (window_coordinate - offset) / scale;
}

// Menu screen buttons.
constexpr Rect menu_work_button{157, 157, 457, 207};
constexpr Rect menu_settings_button{160, 260, 455, 309};
constexpr Rect menu_quit_button{160, 363, 455, 410};

// Settings screen buttons; the pulse button is covered by the pulse indicator.
constexpr Rect settings_back_button{236, 413, 372, 451};
constexpr Rect settings_display_button{425, 351, 471, 385};
constexpr Rect settings_pulse_button{425, 298, 472, 333};

// Work screen buttons; the interrupt button is live only while solving,
// and while paused the solve button doubles as the resume button.
constexpr Rect work_solve_button{18, 350, 200, 394};
constexpr Rect work_back_button{443, 414, 619, 461};
constexpr Rect work_load_button{22, 415, 202, 457};
constexpr Rect work_interrupt_button{439, 350, 616, 397};

// The settings screen's language switch (J): a plate at the top right that the program draws, the
// switch's name on its first line and the language chosen on its second.
constexpr Rect settings_language_button{486, 14, 626, 62};
constexpr int language_note_centre_x = (settings_language_button.x1 + settings_language_button.x2) / 2;
constexpr int language_note_first_y = 24;
constexpr int language_note_second_y = 42;

// The settings screen's note on the zoom in use: two centred lines on a plate left of the back
// button.
constexpr Rect zoom_note_panel{14, 413, 226, 451};
constexpr int zoom_note_centre_x = (zoom_note_panel.x1 + zoom_note_panel.x2) / 2;
constexpr int zoom_note_first_y = 421;
constexpr int zoom_note_second_y = 435;

// Pulse indicator: drawn from the corner of the pulse button's area.
constexpr int indicator_x = 425;
constexpr int indicator_y = 298;
constexpr int indicator_width = 47;
constexpr int indicator_height = 35;

// The pointer's hot spot, measured from the pointer image's top-left corner.
constexpr int pointer_hot_x = 6;
constexpr int pointer_hot_y = 10;

// The work screen's text line.
constexpr int text_line_x = 26;
constexpr int text_line_y = 42;
constexpr int glyph_size = 8; // the library's built-in font is 8x8
constexpr int text_line_chars = (screen_width - text_line_x - 4) / glyph_size; // 76

// Opaque dark panels the work image keeps behind the text line and the grid,
// so white text stays legible when the pulse reaches white.
constexpr Rect text_line_panel{18, 34, 636, 58};
constexpr Rect grid_panel{22, 88, 614, 322};

// The menu's plate under its question before ending, over the title: the text line's panel
// made tall enough for a second line, which hides the title behind it.
constexpr Rect ending_question_plate{text_line_panel.x1, text_line_panel.y1, text_line_panel.x2,
                                     68};
constexpr int ending_question_second_y = text_line_y + 12;

// The caption that names the step being solved, under the grid's last row.
constexpr int caption_x = 30;
constexpr int caption_y = 306;

// An RGB colour of the program's own drawing.
struct Colour {
    int r;
    int g;
    int b;
};

// The dark panels of the program's images (behind the work screen's text line and grid), drawn
// also as the plate of a question on a screen that has no text line.
constexpr Colour panel_fill_colour{12, 18, 46};
constexpr Colour panel_border_colour{78, 98, 156};

// The highlight of a step on the dark grid panel: a muted blue band behind the rows it
// changes, white text staying legible on it, and an amber frame around the pivot.
constexpr Colour step_band_colour{38, 64, 128};
constexpr Colour pivot_frame_colour{255, 200, 40};

// The closing caption's second line (det A, when it does not fit beside the statement): under
// the grid panel on a dark plate of its own in the panels' colours, so that it reads on the
// pulsing background at every zoom, clear of the buttons below.
constexpr Rect caption_plate{22, 325, 614, 343};
constexpr int second_caption_y = 330;
constexpr Colour caption_plate_fill{12, 18, 46};
constexpr Colour caption_plate_rim{78, 98, 156};

// The library's file selector on the work screen: its size, centred on the frame, and its
// colours: white text on the dark of the work screen's panels (the list's selected entry dark on
// a white band), the path field's on the blue of a step's band.
constexpr int file_selector_width = 600;
constexpr int file_selector_height = 400;
constexpr Colour file_selector_text{255, 255, 255};
constexpr Colour file_selector_face{12, 18, 46};
constexpr Colour file_selector_dim{120, 130, 170};
constexpr Colour file_selector_field = step_band_colour;

// Matrix grid geometry, in the drawing's units (see matrix_view).
constexpr int max_order = 10;
constexpr int grid_top = 100;
constexpr int grid_row_step = 21;

// Text centre x of grid column c: 52.5 * c + 55, truncated.
constexpr int grid_column_centre(int c)
{
    return (105 * c + 110) / 2;
}

// Text top y of grid row r.
constexpr int grid_row_top(int r)
{
    return grid_row_step * r + grid_top;
}

// Where the grid draws around a cell, by the kind of text it shows, measured from the cell text's
// top y and centre x. Each is clear of every glyph's pixels and of the neighbouring cells' (a
// glyph's ink fills 7 of its 8 rows and columns; cells lie 52 or 53 pixels and rows 21 apart).
struct GridRowGeometry {
    int band_above;  // the band behind a row the step changes: from this far above the text top
    int band_below;  // to this far below it,
    int band_left;   // from this far left of the first column's centre
    int band_right;  // to this far right of the last column's;
    int frame_left;  // the pivot's frame: one pixel outside the band, from this far left of
    int frame_right; // the pivot's centre to this far right of it;
    int rule_above;  // the rule before the right-hand side: from this far above the first row's
    int rule_below;  // text top to this far below the last row's.
};

// Short decimal texts: at most five glyphs, on the text row.
constexpr GridRowGeometry decimal_grid{3, 10, 25, 25, 24, 23, 0, 7};

// Exact fractions: parts of at most six glyphs (48 pixels), the numerator's top 5 pixels above
// the text top, the bar 3 below it and the denominator's top 5 below it, so that the bar lies
// in the middle of a whole number's glyphs, which stay on the text row; 4 blank rows remain
// between one row's denominator and the next row's numerator, for the band and the frame.
constexpr GridRowGeometry fraction_grid{7, 13, 26, 25, 26, 25, 7, 13};
constexpr int fraction_numerator_rise = 5;
constexpr int fraction_bar_drop = 3;
constexpr int fraction_denominator_drop = 5;

// The hover cells, where the pointer names a cell (the readout, the grid editor's click and every
// other hit test on the grid): centred on the drawn texts, at the grid's own pitch, meeting
// without gap or overlap, the same for short texts and fractions. A pixel belongs to the column
// whose text box is nearest (a text of w pixels is drawn from its centre x - w/2, so the box's
// middle lies half a pixel left of the centre x; a pixel as near to two boxes goes right); the
// first and the last column reach half a pitch beyond their boxes' middles. A row is the 21 pixel
// rows around its text's middle row.
constexpr int hover_reach = 26;     // half the 52.5 pixel pitch, in whole pixels
constexpr int grid_text_middle = 3; // the text's middle row, this far below the text top

// A short text's ink fills a glyph's rows 0 to 6; a fraction's numerator is inked from 5 above
// the text top and its denominator to 5 + 6 below it, the bar 3 below: one middle for both.
static_assert(grid_text_middle == (glyph_size - 2) / 2, "a short text's middle row");
static_assert((glyph_size - 2 + fraction_denominator_drop - fraction_numerator_rise) / 2 ==
                  grid_text_middle,
              "a fraction's middle row");
static_assert(fraction_bar_drop == grid_text_middle, "the bar lies on the middle row");
static_assert(grid_row_step % 2 == 1, "a row reaches as far above its middle row as below");

// The first x of column c's hover cell.
constexpr int hover_column_left(int c)
{
    return c == 0 ? grid_column_centre(0) - hover_reach
                  : (grid_column_centre(c - 1) + grid_column_centre(c)) / 2;
}

// The first x past column c's hover cell when c is the grid's last column (the right-hand side).
constexpr int hover_last_column_end(int c)
{
    return grid_column_centre(c) + hover_reach;
}

// The first y of row r's hover cell (row n: the first y past the last row of a grid of order n).
constexpr int hover_row_top(int r)
{
    return grid_row_top(r) + grid_text_middle - grid_row_step / 2;
}

// So column 0 spans x 29 to 80, column 1 81 to 132, column 2 133 to 185, ..., column 10 as the
// last 553 to 605; row 0 spans y 93 to 113, ..., row 9 282 to 302.
static_assert(hover_column_left(0) == 29 && hover_column_left(1) == 81 &&
                  hover_column_left(2) == 133 && hover_column_left(10) == 553 &&
                  hover_last_column_end(10) == 606,
              "the hover columns");
static_assert(hover_row_top(0) == 93 && hover_row_top(9) == 282 && hover_row_top(10) == 303,
              "the hover rows");
