// Checks the committed TGA pictures against the screen layout the program hit-tests with.
#include <allegro.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "images.h"
#include "layout.h"

namespace
{

struct BitmapDeleter {
    void operator()(BITMAP *bmp) const
    {
        destroy_bitmap(bmp);
    }
};
using Bitmap = std::unique_ptr<BITMAP, BitmapDeleter>;

// Starts Allegro without a display the first time a picture is needed.
void start_allegro()
{
    static const bool started = [] {
        const bool ok = install_allegro(SYSTEM_NONE, &errno, atexit) == 0;
        set_color_depth(24);
        return ok;
    }();
    ASSERT_TRUE(started) << "Allegro failed to start";
}

// Loads ASSETS_DIR/<name>.tga as a 24-bit bitmap; null when missing.
Bitmap load_image(const std::string &name)
{
    start_allegro();
    const std::string path = std::string(ASSETS_DIR) + "/" + name + ".tga";
    return Bitmap(load_bitmap(path.c_str(), nullptr));
}

// Pixel value with colour channels packed as 0xRRGGBB.
int rgb_at(BITMAP *bmp, int x, int y)
{
    const int c = getpixel(bmp, x, y);
    return (getr_depth(24, c) << 16) | (getg_depth(24, c) << 8) | getb_depth(24, c);
}

constexpr int magenta = 0xFF00FF;

bool transparent_at(BITMAP *bmp, int x, int y)
{
    return rgb_at(bmp, x, y) == magenta;
}

// Colours that each cover at least a fifth of the pixels strictly inside r.
std::vector<int> dominant_colours(BITMAP *bmp, const Rect &r)
{
    std::map<int, int> counts;
    int total = 0;
    for (int y = r.y1 + 1; y < r.y2; ++y)
        for (int x = r.x1 + 1; x < r.x2; ++x, ++total)
            ++counts[rgb_at(bmp, x, y)];
    std::vector<int> result;
    for (const auto &[colour, count] : counts)
        if (count * 5 >= total)
            result.push_back(colour);
    return result;
}

// Pixels on the outline of r grown by margin on every side, clipped to the picture.
std::vector<int> ring_colours(BITMAP *bmp, const Rect &r, int margin)
{
    const int x1 = r.x1 - margin, y1 = r.y1 - margin, x2 = r.x2 + margin, y2 = r.y2 + margin;
    std::vector<int> result;
    auto take = [&](int x, int y) {
        if (x >= 0 && y >= 0 && x < bmp->w && y < bmp->h)
            result.push_back(rgb_at(bmp, x, y));
    };
    for (int x = x1; x <= x2; ++x) {
        take(x, y1);
        take(x, y2);
    }
    for (int y = y1 + 1; y < y2; ++y) {
        take(x1, y);
        take(x2, y);
    }
    return result;
}

struct ImageSize {
    const char *name;
    int width;
    int height;
};

class ImageSizes : public ::testing::TestWithParam<ImageSize>
{
};

TEST_P(ImageSizes, LoadsWithExpectedSize)
{
    const ImageSize &expected = GetParam();
    const Bitmap bmp = load_image(expected.name);
    ASSERT_NE(bmp, nullptr) << expected.name << ".tga is missing or unreadable";
    EXPECT_EQ(bmp->w, expected.width);
    EXPECT_EQ(bmp->h, expected.height);
}

INSTANTIATE_TEST_SUITE_P(AllImages, ImageSizes,
                         ::testing::Values(ImageSize{"uvod", screen_width, screen_height},
                                           ImageSize{"about", screen_width, screen_height},
                                           ImageSize{"start", screen_width, screen_height},
                                           ImageSize{"butyes", indicator_width, indicator_height},
                                           ImageSize{"butno", indicator_width, indicator_height},
                                           ImageSize{"uvod_en", screen_width, screen_height},
                                           ImageSize{"about_en", screen_width, screen_height},
                                           ImageSize{"start_en", screen_width, screen_height},
                                           ImageSize{"butyes_en", indicator_width,
                                                     indicator_height},
                                           ImageSize{"butno_en", indicator_width,
                                                     indicator_height}),
                         [](const auto &param_info) { return std::string(param_info.param.name); });

TEST(ImageNames, EveryNamedImageExists)
{
    for (const char *name : image_names)
        EXPECT_NE(load_image(name), nullptr) << name << ".tga is missing or unreadable";
}

struct ButtonCase {
    const char *label;
    const char *image;
    Rect rect;
};

class ButtonImages : public ::testing::TestWithParam<ButtonCase>
{
};

TEST_P(ButtonImages, FaceFillsRectangle)
{
    const ButtonCase &c = GetParam();
    const Bitmap bmp = load_image(c.image);
    ASSERT_NE(bmp, nullptr);
    int holes = 0;
    for (int y = c.rect.y1 + 1; y < c.rect.y2; ++y)
        for (int x = c.rect.x1 + 1; x < c.rect.x2; ++x)
            holes += transparent_at(bmp.get(), x, y);
    EXPECT_EQ(holes, 0) << "transparent pixels inside the button";
}

TEST_P(ButtonImages, FaceStaysWithinRectangle)
{
    const ButtonCase &c = GetParam();
    const Bitmap bmp = load_image(c.image);
    ASSERT_NE(bmp, nullptr);
    const std::vector<int> face = dominant_colours(bmp.get(), c.rect);
    ASSERT_FALSE(face.empty());
    EXPECT_EQ(std::count(face.begin(), face.end(), magenta), 0);
    const std::vector<int> ring = ring_colours(bmp.get(), c.rect, 6);
    ASSERT_FALSE(ring.empty());
    for (int colour : face)
        EXPECT_EQ(std::count(ring.begin(), ring.end(), colour), 0)
            << std::hex << "face colour 0x" << colour << " reaches 6 px outside the button";
}

INSTANTIATE_TEST_SUITE_P(
    AllButtons, ButtonImages,
    ::testing::Values(ButtonCase{"menu_work", "uvod", menu_work_button},
                      ButtonCase{"menu_settings", "uvod", menu_settings_button},
                      ButtonCase{"menu_quit", "uvod", menu_quit_button},
                      ButtonCase{"settings_back", "about", settings_back_button},
                      ButtonCase{"settings_display", "about", settings_display_button},
                      ButtonCase{"settings_pulse", "about", settings_pulse_button},
                      ButtonCase{"work_solve", "start", work_solve_button},
                      ButtonCase{"work_interrupt", "start", work_interrupt_button},
                      ButtonCase{"work_load", "start", work_load_button},
                      ButtonCase{"work_back", "start", work_back_button},
                      ButtonCase{"menu_work_en", "uvod_en", menu_work_button},
                      ButtonCase{"menu_settings_en", "uvod_en", menu_settings_button},
                      ButtonCase{"settings_back_en", "about_en", settings_back_button},
                      ButtonCase{"work_solve_en", "start_en", work_solve_button},
                      ButtonCase{"work_interrupt_en", "start_en", work_interrupt_button},
                      ButtonCase{"work_load_en", "start_en", work_load_button}),
    [](const auto &param_info) { return std::string(param_info.param.label); });

// Number of pixels whose colour differs between two pictures of equal size.
int differing_pixels(BITMAP *a, BITMAP *b)
{
    int count = 0;
    for (int y = 0; y < a->h; ++y)
        for (int x = 0; x < a->w; ++x)
            count += rgb_at(a, x, y) != rgb_at(b, x, y);
    return count;
}

TEST(Indicators, OnAndOffLookDifferent)
{
    const Bitmap on = load_image("butyes");
    const Bitmap off = load_image("butno");
    ASSERT_NE(on, nullptr);
    ASSERT_NE(off, nullptr);
    ASSERT_EQ(on->w, off->w);
    ASSERT_EQ(on->h, off->h);
    EXPECT_GT(differing_pixels(on.get(), off.get()), on->w * on->h / 2);
}

struct Box {
    int x1 = 1 << 20;
    int y1 = 1 << 20;
    int x2 = -1;
    int y2 = -1;
};

// Smallest box (inclusive) holding every opaque pixel of the picture.
Box opaque_box(BITMAP *bmp)
{
    Box box;
    for (int y = 0; y < bmp->h; ++y)
        for (int x = 0; x < bmp->w; ++x)
            if (!transparent_at(bmp, x, y)) {
                box.x1 = std::min(box.x1, x);
                box.y1 = std::min(box.y1, y);
                box.x2 = std::max(box.x2, x);
                box.y2 = std::max(box.y2, y);
            }
    return box;
}

TEST(Pointers, ArrowTipSitsOnHotSpot)
{
    const Bitmap arrow = load_image("myska");
    ASSERT_NE(arrow, nullptr);
    ASSERT_GT(arrow->w, pointer_hot_x);
    ASSERT_GT(arrow->h, pointer_hot_y);
    EXPECT_FALSE(transparent_at(arrow.get(), pointer_hot_x, pointer_hot_y));
    // The tip is the arrow's top-left extreme: nothing lies above it or to its left.
    const Box box = opaque_box(arrow.get());
    EXPECT_EQ(box.x1, pointer_hot_x);
    EXPECT_EQ(box.y1, pointer_hot_y);
    EXPECT_GE(box.x2 - box.x1, 6) << "arrow too small to see";
    EXPECT_GE(box.y2 - box.y1, 10) << "arrow too small to see";
}

TEST(Pointers, BusyPointerDiffersAndCoversHotSpot)
{
    const Bitmap arrow = load_image("myska");
    const Bitmap busy = load_image("cakaj");
    ASSERT_NE(arrow, nullptr);
    ASSERT_NE(busy, nullptr);
    ASSERT_EQ(busy->w, arrow->w);
    ASSERT_EQ(busy->h, arrow->h);
    EXPECT_GT(differing_pixels(arrow.get(), busy.get()), 50);
    EXPECT_FALSE(transparent_at(busy.get(), pointer_hot_x, pointer_hot_y));
    const Box box = opaque_box(busy.get());
    EXPECT_LT(box.x1, pointer_hot_x);
    EXPECT_GT(box.x2, pointer_hot_x);
    EXPECT_LT(box.y1, pointer_hot_y);
    EXPECT_GT(box.y2, pointer_hot_y);
}

// A dark panel of a background that the program writes white text on.
struct PanelCase {
    const char *image;
    Rect rect;
};

class WorkPanels : public ::testing::TestWithParam<PanelCase>
{
};

TEST_P(WorkPanels, OpaqueAndDarkBehindWhiteText)
{
    const Rect &r = GetParam().rect;
    const Bitmap bmp = load_image(GetParam().image);
    ASSERT_NE(bmp, nullptr);
    int light = 0;
    for (int y = r.y1 + 1; y < r.y2; ++y)
        for (int x = r.x1 + 1; x < r.x2; ++x) {
            const int c = rgb_at(bmp.get(), x, y);
            light += (c >> 16) >= 100 || ((c >> 8) & 0xFF) >= 100 || (c & 0xFF) >= 100;
        }
    EXPECT_EQ(light, 0) << "transparent or light pixels inside the panel";
}

INSTANTIATE_TEST_SUITE_P(TextLineGridAndZoomNote, WorkPanels,
                         ::testing::Values(PanelCase{"start", text_line_panel},
                                           PanelCase{"start", grid_panel},
                                           PanelCase{"about", zoom_note_panel}));

TEST(ZoomNote, TwoLinesOfEighteenCharactersFitItsPanel)
{
    const int half_width = 18 * glyph_size / 2; // "Zvacsenie okna: 4x", the longest line
    for (int y : {zoom_note_first_y, zoom_note_second_y}) {
        EXPECT_TRUE(rect_contains(zoom_note_panel, zoom_note_centre_x - half_width - 1, y - 1));
        EXPECT_TRUE(
            rect_contains(zoom_note_panel, zoom_note_centre_x + half_width, y + glyph_size));
    }
}

TEST(TextLine, FitsInsideItsPanel)
{
    EXPECT_TRUE(rect_contains(text_line_panel, text_line_x - 1, text_line_y - 1));
    EXPECT_TRUE(rect_contains(text_line_panel, text_line_x + text_line_chars * glyph_size,
                              text_line_y + glyph_size));
}

class Backgrounds : public ::testing::TestWithParam<const char *>
{
};

TEST_P(Backgrounds, LeaveRoomForThePulse)
{
    const Bitmap bmp = load_image(GetParam());
    ASSERT_NE(bmp, nullptr);
    int clear = 0;
    for (int y = 0; y < bmp->h; ++y)
        for (int x = 0; x < bmp->w; ++x)
            clear += transparent_at(bmp.get(), x, y);
    EXPECT_GT(clear * 4, bmp->w * bmp->h) << "less than a quarter of the picture is transparent";
}

INSTANTIATE_TEST_SUITE_P(ScreenImages, Backgrounds,
                         ::testing::Values("uvod", "about", "start", "uvod_en", "about_en",
                                           "start_en"));

// The English set carries its own labels: each of its pictures differs from the Slovak one, and
// only where text is drawn (the same buttons, plates and panels beneath).
TEST(EnglishSet, DiffersFromTheSlovakOnlyInItsTexts)
{
    for (const char *name : {"uvod", "about", "start", "butyes", "butno"}) {
        const Bitmap slovak = load_image(name);
        const Bitmap english = load_image((std::string(name) + "_en").c_str());
        ASSERT_NE(slovak, nullptr);
        ASSERT_NE(english, nullptr);
        const int differing = differing_pixels(slovak.get(), english.get());
        EXPECT_GT(differing, 20) << name;
        EXPECT_LT(differing, slovak->w * slovak->h / (slovak->w == screen_width ? 8 : 2)) << name;
    }
}

} // namespace
