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

// The caption that names the step being solved, under the grid's last row.
constexpr int caption_x = 30;
constexpr int caption_y = 306;

// An RGB colour of the program's own drawing.
struct Colour {
    int r;
    int g;
    int b;
};

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
constexpr int hover_left = 31;
constexpr int hover_top = 95;
constexpr int hover_cell_width = 52;
constexpr int hover_cell_height = 22;
