// The pulse tick's course through its levels, and what the frame painters put on the screen.
#include "harness.h"

#include "app/screens.h"
#include "matrix/cell_text.h"
#include "matrix/store.h"
#include "platform/frame.h"
#include "platform/images.h"
#include "platform/layout.h"
#include "platform/startup.h"
#include "work/matrix_view.h"
#include "work/work_frame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace
{

using PulseTest = ScriptTest;

// The level after each of `ticks` ticks from the current one, index 0 being the start.
std::vector<int> levels_over(int ticks)
{
    std::vector<int> levels{static_cast<int>(pulse_level)};
    for (int t = 0; t < ticks; t++) {
        pulse_tick();
        levels.push_back(static_cast<int>(pulse_level));
    }
    return levels;
}

TEST_F(PulseTest, FromTheStartTheLevelFallsToZeroTurnsRisesToWhiteAndTurnsAgainEvery256Ticks)
{
    const std::vector<int> levels = levels_over(1024);
    // Milestones of the first cycle.
    EXPECT_EQ(levels[63], 2);
    EXPECT_EQ(levels[64], 0);
    EXPECT_EQ(levels[65], 1);
    EXPECT_EQ(levels[191], 253);
    EXPECT_EQ(levels[192], 255);
    EXPECT_EQ(levels[193], 254);
    EXPECT_EQ(levels[256], 128);
    for (int t = 0; t <= 1024; t++) {
        const int expected = t % 256 <= 64    ? 128 - 2 * (t % 256)
                             : t % 256 <= 192 ? 1 + 2 * (t % 256 - 65)
                                              : 254 - 2 * (t % 256 - 193);
        ASSERT_EQ(levels[static_cast<std::size_t>(t)], expected) << "tick " << t;
        ASSERT_GE(levels[static_cast<std::size_t>(t)], 0);
        ASSERT_LE(levels[static_cast<std::size_t>(t)], 255);
    }
}

TEST_F(PulseTest, OffHoldsTheLevelAt128AndOnAgainResumesFallingFrom128)
{
    pulse_level = 37; // somewhere on the way up
    pulse_enabled = 0;
    std::vector<int> expected(21, 128);
    expected[0] = 37;
    EXPECT_EQ(levels_over(20), expected);
    EXPECT_EQ(pulse_level, 128);
    pulse_enabled = 1;
    const std::vector<int> resumed = levels_over(3);
    EXPECT_EQ(resumed, (std::vector<int>{128, 126, 124, 122}));
}

// Points of a background image that are transparent and that no extra or pointer covers.
std::vector<std::pair<int, int>> clear_transparent_points(BITMAP *image)
{
    const Rect covered[] = {text_line_panel,
                            grid_panel,
                            {indicator_x - 1, indicator_y - 1, indicator_x + indicator_width + 1,
                             indicator_y + indicator_height + 1},
                            {mouse_x - 50, mouse_y - 50, mouse_x + 50, mouse_y + 50}};
    std::vector<std::pair<int, int>> points;
    for (int y = 3; y < screen_height; y += 17)
        for (int x = 3; x < screen_width; x += 17) {
            bool hidden = false;
            for (const Rect &r : covered)
                hidden = hidden || rect_contains(r, x, y);
            if (!hidden && getpixel(image, x, y) == bitmap_mask_color(image))
                points.push_back({x, y});
        }
    return points;
}

TEST_F(PulseTest, TransparentAreasShowThePulseColourOnEveryScreen)
{
    struct Screen {
        const char *name;
        void (*compose)();
        ImageSlot background;
    };
    const Screen screens[] = {{"menu", compose_menu_frame, image_menu_background},
                              {"settings", compose_settings_frame, image_settings_background},
                              {"work", [] { compose_work_frame(); }, image_work_background}};
    for (const Screen &s : screens) {
        const auto points = clear_transparent_points(images[s.background]);
        ASSERT_GE(points.size(), 10u) << s.name;
        pulse_enabled = 0;
        pulse_tick();
        s.compose();
        for (const auto &[x, y] : points)
            ASSERT_EQ(getpixel(back_buffer, x, y), makecol(128, 128, 255))
                << "pulse off, " << s.name << " frame at (" << x << ", " << y << ")";
        // With the pulse on the same areas follow the level: blue at 0.
        pulse_enabled = 1;
        pulse_level = 0;
        s.compose();
        for (const auto &[x, y] : points)
            ASSERT_EQ(getpixel(back_buffer, x, y), makecol(0, 0, 255))
                << "level 0, " << s.name << " frame at (" << x << ", " << y << ")";
    }
}

// True when every opaque pixel of sprite appears in back_buffer with its corner at (left, top).
bool sprite_shown_at(BITMAP *sprite, int left, int top)
{
    for (int y = 0; y < sprite->h; y++)
        for (int x = 0; x < sprite->w; x++) {
            const int colour = getpixel(sprite, x, y);
            if (colour != bitmap_mask_color(sprite) &&
                getpixel(back_buffer, left + x, top + y) != colour)
                return false;
        }
    return true;
}

TEST_F(PulseTest, TheSettingsFrameShowsTheIndicatorOfThePulseState)
{
    pulse_enabled = 1;
    compose_settings_frame();
    EXPECT_TRUE(sprite_shown_at(images[image_pulse_on], indicator_x, indicator_y));
    EXPECT_FALSE(sprite_shown_at(images[image_pulse_off], indicator_x, indicator_y));
    pulse_enabled = 0;
    compose_settings_frame();
    EXPECT_TRUE(sprite_shown_at(images[image_pulse_off], indicator_x, indicator_y));
    EXPECT_FALSE(sprite_shown_at(images[image_pulse_on], indicator_x, indicator_y));
}

// Number of white pixels of back_buffer under the opaque pixels of the pointer at (left, top).
int white_under_pointer(int left, int top)
{
    BITMAP *pointer = images[image_normal_pointer];
    int count = 0;
    for (int y = 0; y < pointer->h; y++)
        for (int x = 0; x < pointer->w; x++)
            if (getpixel(pointer, x, y) != bitmap_mask_color(pointer) &&
                getpixel(back_buffer, left + x, top + y) == makecol(255, 255, 255))
                count++;
    return count;
}

TEST_F(PulseTest, ThePointerIsDrawnLastOverTheTextLineAndTheMatrix)
{
    std::snprintf(line_text, line_text_size, "%s", "88888888888888888888888888888888888888");
    std::vector<std::vector<long>> rows(10, std::vector<long>(11, -8888));
    set_matrix(rows);
    struct Spot {
        const char *name;
        int x;
        int y;
    };
    const Spot spots[] = {{"text line", 60, 48}, {"first cell", 60, 106}, {"rule", 555, 200}};
    for (const Spot &spot : spots) {
        const int left = spot.x - pointer_hot_x;
        const int top = spot.y - pointer_hot_y;
        point_at(620, 470);
        compose_work_frame();
        ASSERT_GT(white_under_pointer(left, top), 0)
            << spot.name << ": nothing drawn there to cover";
        point_at(spot.x, spot.y);
        for (BITMAP *pointer : {images[image_normal_pointer], images[image_busy_pointer]}) {
            pointer_image = pointer;
            compose_work_frame();
            EXPECT_TRUE(sprite_shown_at(pointer, left, top)) << spot.name;
        }
    }
}

// Counts the pixels of `colour` inside r, and those of them next to a white pixel.
struct ColourCount {
    int pixels = 0;
    int touching_white = 0;
};

ColourCount count_colour(const Rect &r, int colour)
{
    const int white = makecol(255, 255, 255);
    ColourCount count;
    for (int y = r.y1; y <= r.y2; y++)
        for (int x = r.x1; x <= r.x2; x++) {
            if (getpixel(back_buffer, x, y) != colour)
                continue;
            count.pixels++;
            for (int dy = -1; dy <= 1; dy++)
                for (int dx = -1; dx <= 1; dx++)
                    count.touching_white += getpixel(back_buffer, x + dx, y + dy) == white;
        }
    return count;
}

TEST_F(PulseTest, AStepsHighlightFramesThePivotAndBandsItsRowsWithoutTouchingAGlyph)
{
    // Five-character texts, the widest a cell shows, in every cell of a full 10x10 grid.
    std::vector<std::vector<long>> rows(10, std::vector<long>(11, -8888));
    set_matrix(rows);
    const int band = makecol(step_band_colour.r, step_band_colour.g, step_band_colour.b);
    const int frame = makecol(pivot_frame_colour.r, pivot_frame_colour.g, pivot_frame_colour.b);
    const int mask = bitmap_mask_color(back_buffer);
    ASSERT_NE(band, mask);
    ASSERT_NE(frame, mask);
    struct HighlightCase {
        RowOperation operation;
        std::vector<int> banded; // rows the step changes
    };
    const std::vector<HighlightCase> cases{{{operation_exchange, 0, 9, 0, 1}, {0, 9}},
                                           {{operation_scale, 4, 4, 3, 1}, {4}},
                                           {{operation_eliminate, 9, 3, 5, 2}, {3}}};
    point_at(620, 470);
    for (const HighlightCase &hc : cases) {
        show_step("Krok 1 z 1: R1 <-> R10", hc.operation);
        for (int level : {0, 128, 255}) {
            pulse_level = level;
            compose_work_frame();
            const std::string name =
                std::to_string(hc.operation.kind) + " at level " + std::to_string(level);
            for (int r = 0; r < 10; r++) {
                for (int c = 0; c <= 10; c++)
                    ASSERT_TRUE(text_drawn_at("-8888", cell_centre_x(c), cell_top_y(r)))
                        << name << ": cell " << r << "," << c;
                const bool banded = std::count(hc.banded.begin(), hc.banded.end(), r) > 0;
                const int between = (cell_centre_x(0) + cell_centre_x(1)) / 2; // no text there
                EXPECT_EQ(getpixel(back_buffer, between, cell_top_y(r) + 3) == band, banded)
                    << name << ": row " << r;
            }
            const ColourCount framed = count_colour(grid_panel, frame);
            EXPECT_GT(framed.pixels, 100) << name << ": no frame around the pivot";
            EXPECT_EQ(framed.touching_white, 0) << name << ": the frame touches a glyph";
            EXPECT_EQ(getpixel(back_buffer, cell_centre_x(hc.operation.pivot) - 24,
                               cell_top_y(hc.operation.pivot) + 3),
                      frame)
                << name << ": the frame is not around the pivot";
            EXPECT_TRUE(text_drawn_at("Krok 1 z 1: R1 <-> R10", caption_x + 88, caption_y))
                << name << ": no caption";
        }
    }
    hide_step();
    compose_work_frame();
    EXPECT_EQ(count_colour(grid_panel, band).pixels, 0) << "a band without a step";
    EXPECT_EQ(count_colour(grid_panel, frame).pixels, 0) << "a frame without a step";
}

// The grid's glyphs as the frame should hold them, each pixel labelled with the glyph object it
// belongs to (a cell's text, or a fraction's numerator, bar or denominator, or the rule, which
// is the only object of row -1), to check that each is drawn where it belongs and that no two
// objects touch.
struct GlyphMap {
    std::vector<int> label = std::vector<int>(screen_width * screen_height, -1);
    std::vector<std::pair<int, int>> pixels; // every labelled pixel
    std::vector<int> row_of;                 // the grid row of each object

    // Labels pixel (x, y) as part of the object last started.
    void add(int x, int y)
    {
        label[static_cast<std::size_t>(y * screen_width + x)] = static_cast<int>(row_of.size()) - 1;
        pixels.push_back({x, y});
    }
    int at(int x, int y) const
    {
        return label[static_cast<std::size_t>(y * screen_width + x)];
    }
    // The glyphs' pixels of text drawn centred at x with its top at y, as one object of row r.
    void add_text(const std::string &text, int x, int y, int r)
    {
        row_of.push_back(r);
        const int width = text_length(font, text.c_str());
        BITMAP *glyphs = create_bitmap(width, text_height(font));
        clear_to_color(glyphs, 0);
        textout_ex(glyphs, font, text.c_str(), 0, 0, makecol(255, 255, 255), -1);
        for (int gy = 0; gy < glyphs->h; gy++)
            for (int gx = 0; gx < glyphs->w; gx++)
                if (getpixel(glyphs, gx, gy) == makecol(255, 255, 255))
                    add(x - width / 2 + gx, y + gy);
        destroy_bitmap(glyphs);
    }
};

// What the grid of order n should show: each cell's text or fraction, and the rule.
GlyphMap expected_glyphs(int n)
{
    GlyphMap map;
    const GridRowGeometry &g = grid_fractions ? fraction_grid : decimal_grid;
    for (int r = 0; r < n; r++)
        for (int c = 0; c <= n; c++) {
            const int x = cell_centre_x(c);
            const int y = cell_top_y(r);
            char decimal[cell_text_size];
            format_cell(cell(r, c).num, cell(r, c).den, decimal);
            const GridText text = grid_fractions
                                      ? fraction_cell_text(cell(r, c).num, cell(r, c).den)
                                      : GridText{grid_text_decimal, decimal, ""};
            if (text.kind != grid_text_fraction) {
                map.add_text(text.top, x, y, r);
                continue;
            }
            map.add_text(text.top, x, y - fraction_numerator_rise, r);
            map.add_text(text.bottom, x, y + fraction_denominator_drop, r);
            const int width = 8 * static_cast<int>(std::max(text.top.size(), text.bottom.size()));
            map.row_of.push_back(r); // the bar
            for (int bx = x - width / 2; bx <= x - width / 2 + width - 2; bx++)
                map.add(bx, y + fraction_bar_drop);
        }
    map.row_of.push_back(-1); // the rule
    for (int y = cell_top_y(0) - g.rule_above; y <= cell_top_y(n - 1) + g.rule_below; y++)
        map.add(rule_x(n), y);
    return map;
}

// Checks the composed frame against the expected glyphs: every expected pixel white and every
// white pixel of the grid panel expected; no two objects touching (8 neighbours), no glyph
// touching the pivot's frame; a banded row's glyphs inside its band, and no other glyph beside
// a band. Returns "" or what is wrong.
std::string glyphs_clear_of_each_other(const GlyphMap &map, const std::vector<int> &banded)
{
    const int white = makecol(255, 255, 255);
    const int band = makecol(step_band_colour.r, step_band_colour.g, step_band_colour.b);
    const int frame = makecol(pivot_frame_colour.r, pivot_frame_colour.g, pivot_frame_colour.b);
    const auto at = [](int x, int y) {
        return " at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
    };
    for (int y = grid_panel.y1; y < std::min(grid_panel.y2, caption_y); y++)
        for (int x = grid_panel.x1; x < grid_panel.x2; x++)
            if ((getpixel(back_buffer, x, y) == white) != (map.at(x, y) >= 0))
                return (map.at(x, y) >= 0 ? "not drawn" : "drawn but not expected") + at(x, y);
    for (const auto &[x, y] : map.pixels) {
        const int object = map.at(x, y);
        const int row = map.row_of[static_cast<std::size_t>(object)];
        const bool in_band = std::count(banded.begin(), banded.end(), row) > 0;
        for (int dy = -1; dy <= 1; dy++)
            for (int dx = -1; dx <= 1; dx++) {
                const int other = map.at(x + dx, y + dy);
                const int colour = getpixel(back_buffer, x + dx, y + dy);
                if (other >= 0 && other != object)
                    return "objects " + std::to_string(object) + " and " + std::to_string(other) +
                           " touch" + at(x, y);
                if (row < 0) // the rule
                    continue;
                if (colour == frame)
                    return "a glyph touches the pivot's frame" + at(x, y);
                if (in_band && colour != band && colour != white)
                    return "a banded glyph sticks out of its band" + at(x, y);
                if (!in_band && colour == band)
                    return "a glyph outside the band touches it" + at(x, y);
            }
    }
    return "";
}

TEST_F(PulseTest, NoGlyphTouchesAnotherTheFrameTheBandOrTheRuleInEitherGridAtEveryLevel)
{
    // The widest texts each kind of grid shows: six-character fractions, six-character whole
    // numbers in one row, decimal fall-backs in one column; five characters in the other grid.
    std::vector<std::vector<long>> rows(10, std::vector<long>(11, -8888));
    set_matrix(rows);
    for (int r = 0; r < 10; r++)
        for (int c = 0; c <= 10; c++)
            cell(r, c) = r == 4   ? Fraction{-123450, 10}
                         : c == 3 ? Fraction{1, 1234567}
                                  : Fraction{-99999, 100000};
    struct HighlightCase {
        RowOperation operation;
        std::vector<int> banded;
    };
    const std::vector<HighlightCase> cases{
        {{operation_exchange, 0, 9, 0, 1}, {0, 9}},
        {{operation_scale, 4, 4, 3, 1}, {4}},
        {{operation_eliminate, 9, 3, 5, 2}, {3}},
        {{operation_eliminate, 2, 5, 5, 2, 9}, {5}}, // past an empty column: pivot (2, 9)
        {{operation_scale, 8, 8, 1, 1, 10}, {8}},    // a contradiction's 1 on the right
        {{operation_exchange, 3, 4, 0, 1}, {3, 4}},  // neighbouring rows
    };
    const int frame = makecol(pivot_frame_colour.r, pivot_frame_colour.g, pivot_frame_colour.b);
    point_at(620, 470);
    for (const int fractions : {1, 0}) {
        grid_fractions = fractions;
        const GlyphMap map = expected_glyphs(10);
        const GridRowGeometry &g = fractions ? fraction_grid : decimal_grid;
        for (const HighlightCase &hc : cases) {
            show_step("Krok 1 z 1: R1 <-> R10", hc.operation);
            for (const int level : {0, 128, 255}) {
                pulse_level = level;
                compose_work_frame();
                SCOPED_TRACE(testing::Message()
                             << (fractions ? "fractions, " : "decimals, ") << hc.operation.pivot
                             << "," << pivot_column(hc.operation) << " at level " << level);
                EXPECT_EQ(glyphs_clear_of_each_other(map, hc.banded), "");
                EXPECT_EQ(getpixel(back_buffer,
                                   cell_centre_x(pivot_column(hc.operation)) - g.frame_left,
                                   cell_top_y(hc.operation.pivot) + 3),
                          frame)
                    << "the frame is not around the pivot";
            }
        }
    }
    grid_fractions = 0;
    hide_step();
}

TEST_F(PulseTest, CopyingOnlyTheChangedRowsLeavesTheDisplayShowingEveryFrameExactly)
{
    set_matrix({{1, 2, 3}, {4, 5, 6}});
    forget_shown_frame();
    // Frames that change nothing, the pulse colour, the pointer, one text, or nothing again.
    const std::vector<std::function<void()>> changes{
        [] {},
        [] { pulse_level = 20; },
        [] { point_at(300, 200); },
        [] { point_at(300, 470); },
        [] { std::snprintf(line_text, line_text_size, "%s", "7 / 2"); },
        [] {
            cell(1, 2) = Fraction{-9999, 1};
        },
        [] {},
    };
    for (std::size_t k = 0; k < changes.size(); k++) {
        changes[k]();
        paint_work_frame();
        ASSERT_TRUE(display_shows_frame()) << "after change " << k;
    }
}

TEST_F(PulseTest, AZoomedBandIsScaledExactlyAsTheWholeFrameIs)
{
    point_at(300, 200);
    compose_menu_frame();
    for (int scale : {2, 3}) {
        BITMAP *whole = create_bitmap(screen_width * scale, screen_height * scale);
        BITMAP *banded = create_bitmap(screen_width * scale, screen_height * scale);
        clear_to_color(banded, 0);
        copy_rows_to(whole, back_buffer, 0, screen_height, {scale, 0, 0});
        for (const auto &[top, bottom] : {std::pair<int, int>{0, 7}, {7, 241}, {241, 480}})
            copy_rows_to(banded, back_buffer, top, bottom, {scale, 0, 0});
        bool same = true;
        for (int y = 0; y < whole->h && same; y++)
            for (int x = 0; x < whole->w && same; x++)
                same = getpixel(whole, x, y) == getpixel(banded, x, y) &&
                       getpixel(whole, x, y) == getpixel(back_buffer, x / scale, y / scale);
        EXPECT_TRUE(same) << "zoom " << scale;
        destroy_bitmap(whole);
        destroy_bitmap(banded);
    }
}

} // namespace
