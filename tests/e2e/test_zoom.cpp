// The real program in a window zoomed for a projector: started with a file and --zoom 2,
// clicked and pointed at as at zoom 1, and its zoom and pulse switch remembered.
#include "e2e_support.h"

#include <X11/Xlib.h>

#include <fstream>
#include <functional>
#include <sstream>

namespace
{

using Grid = std::vector<std::vector<std::string>>;

class ZoomTest : public ProgramTest
{
  protected:
    ZoomTest()
    {
        zoom_ = 2;
        screen_width_ = 1280;
        screen_height_ = 960;
    }

    // The size of the program's window.
    std::pair<int, int> window_size()
    {
        XWindowAttributes attributes{};
        XGetWindowAttributes(static_cast<Display *>(display_), window_, &attributes);
        return {attributes.width, attributes.height};
    }

    // True when every 2x2 block of the window shows one colour: scaled without smoothing.
    bool blocks_uniform(const Box &area)
    {
        const Shot window = take_window_shot();
        for (int y = area.y1; y < area.y2; y++)
            for (int x = area.x1; x < area.x2; x++) {
                const Rgb first = window.at(2 * x, 2 * y);
                for (int d = 1; d < 4; d++) {
                    const Rgb other = window.at(2 * x + d % 2, 2 * y + d / 2);
                    if (other.r != first.r || other.g != first.g || other.b != first.b)
                        return false;
                }
            }
        return true;
    }

    // Points at hover cell (r, c) until the readout reads `text`, trying again if the pointer
    // landed elsewhere: the library follows the X pointer by relative motion and now and then
    // warps it, which a busy machine can turn into a jump; `last` gets the last screenshot.
    bool readout_at(int r, int c, const std::string &text, Shot *last)
    {
        for (int attempt = 0; attempt < 3; attempt++) {
            hover_cell(r, c);
            if (wait_for_line(text, 2.0, last))
                return true;
        }
        return false;
    }

    // Clicks at (x, y) until the screen shows what the click does, trying again only when the
    // click changed nothing on the screen (the pointer landed elsewhere, as above).
    bool click_until(int x, int y, const std::function<bool(const Shot &)> &done, Shot *last)
    {
        for (int attempt = 0; attempt < 3; attempt++) {
            const Shot before = take_shot();
            click_at(x, y);
            park_pointer();
            if (wait_until(done, 6.0, last))
                return true;
            if (read_grid(*last, 2) != read_grid(before, 2) || line_of(*last) != line_of(before))
                return false; // the click did something else: no second try
        }
        return false;
    }

    // Finds `text` drawn in the library's font with its top-left corner inside `area`;
    // false when it is not there.
    static bool find_text(const Shot &shot, const std::string &text, const Box &area, int &x,
                          int &y)
    {
        for (y = area.y1; y < area.y2; y++)
            for (x = area.x1; x < area.x2; x++)
                if (read_text(shot, x, y, static_cast<int>(text.size())) == text)
                    return true;
        return false;
    }

    // The remembered settings file's text.
    std::string remembered()
    {
        std::ifstream file(scratch_ + "/config/gauss-jordan/settings");
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }
};

} // namespace

TEST_F(ZoomTest, AFileOpensZoomedClicksAndPointingWorkAsAtZoomOneAndTheSettingsAreRemembered)
{
    const std::string file = write_file("dva.txt", "2\n1 1 3\n1 -1 1\n");
    launch("", "", {}, {"--zoom", "2", file});
    ASSERT_TRUE(find_window()) << "no window; exit code " << program_.exit_code;
    EXPECT_EQ(window_size(), std::make_pair(1280, 960));
    park_pointer();
    ASSERT_TRUE(wait_for_screen("start", {{22, 88, 614, 322}, {18, 34, 636, 58}}))
        << "the file does not open the work screen";
    ASSERT_TRUE(wait_for_grid({{"1", "1", "3"}, {"1", "-1", "1"}}));
    EXPECT_TRUE(blocks_uniform({20, 90, 300, 160})) << "the frame is smoothed, not scaled";
    Shot shot;
    EXPECT_TRUE(readout_at(1, 1, "-1", &shot)) << "the readout reads " << line_of(shot);

    // The solve button, clicked in the zoomed window, starts the solve; a click steps.
    const auto caption = [](const Shot &s) { return read_text(s, 30, 306, 72); };
    ASSERT_TRUE(click_until(
        100, 372, [&](const Shot &s) { return caption(s) == "Krok 1 z 3: R2 <- R2 - R1"; }, &shot))
        << "the solve button does not start the solve: " << line_of(shot);
    ASSERT_TRUE(wait_for_rest(2, &shot)) << "the solver does not come to rest";
    const Grid stepped{{"1", "1", "3"}, {"0", "-2", "-2"}};
    EXPECT_TRUE(click_until(
        parked_x, parked_y, [&](const Shot &s) { return read_grid(s, 2) == stepped; }, &shot))
        << grid_text(read_grid(shot, 2));

    // Escape stops the solve, a second Escape goes to the menu; N, M and Esc turn the pulse
    // off; K quits. Both switches are remembered for the next start.
    hold_key("Escape");
    ASSERT_TRUE(wait_for_line("", 3.0, &shot)) << "Escape did not stop the solve";
    hold_key("Escape");
    ASSERT_TRUE(wait_for_screen("uvod")) << "a second Escape did not leave the work screen";
    hold_key("n");
    ASSERT_TRUE(wait_for_screen("about", {{425, 298, 472, 333}}));
    hold_key("m");
    hold_key("Escape");
    ASSERT_TRUE(wait_for_screen("uvod"));
    hold_key("k");
    int code = -1;
    ASSERT_TRUE(wait_program_exit(3.0, code));
    EXPECT_EQ(code, 0);
    EXPECT_NE(remembered().find("zoom=2"), std::string::npos) << remembered();
    EXPECT_NE(remembered().find("pulse=0"), std::string::npos) << remembered();

    program_ = ChildProcess{};
    launch();
    ASSERT_TRUE(find_window()) << "no window after the restart";
    EXPECT_EQ(window_size(), std::make_pair(1280, 960)) << "the zoom was not remembered";
    park_pointer();
    ASSERT_TRUE(wait_for_screen("uvod"));
    // With the pulse off the menu's transparent corner keeps the steady colour.
    for (int sample = 0; sample < 10; sample++) {
        const Rgb corner = take_shot().at(2, 2);
        EXPECT_TRUE(colour_near(corner, 128, 128, 255, 8))
            << "the pulse was not remembered: " << corner.r << "," << corner.g << "," << corner.b;
    }
}

TEST_F(ZoomTest, AFileChosenInTheLibrarysSelectorLoadsInAZoomedWindow)
{
    write_file("uloha3.txt", "2\n1 1 3\n1 -1 1\n");
    launch("", "", {}, {"--zoom", "2"});
    ASSERT_TRUE(find_window()) << "no window; exit code " << program_.exit_code;
    EXPECT_EQ(window_size(), std::make_pair(1280, 960));
    park_pointer();
    ASSERT_TRUE(wait_for_screen("uvod"));
    hold_key("s");
    ASSERT_TRUE(wait_for_screen("start", {{22, 88, 614, 322}, {18, 34, 636, 58}}));

    // O opens the selector over the work screen, in the current folder, drawn into the frame:
    // its texts read at the frame's size.
    hold_key("o");
    const auto selector_open = [](const Shot &s) {
        int tx = 0;
        int ty = 0;
        return find_text(s, "Otvorit subor so sustavou", {200, 44, 240, 80}, tx, ty);
    };
    Shot shot;
    ASSERT_TRUE(wait_until(selector_open, 5.0, &shot)) << "the selector does not show its title";
    int x = 0;
    int y = 0;
    ASSERT_TRUE(find_text(shot, "uloha3.txt", {40, 100, 80, 380}, x, y))
        << "the selector does not list the file";
    const int item_x = x + 40;
    const int item_y = y + 4;
    int ok_x = 0;
    int ok_y = 0;
    ASSERT_TRUE(find_text(shot, "OK", {200, 380, 320, 430}, ok_x, ok_y))
        << "the selector shows no OK button";

    // A click on the file and one on OK, both through the zoomed window's pointer, load it.
    // Each click is tried again while the screen shows it did nothing (the pointer landed
    // elsewhere, as click_until allows for).
    const auto selected = [&](const Shot &s) { return read_text(s, x, y, 10) != "uloha3.txt"; };
    bool clicked = false;
    for (int attempt = 0; attempt < 3 && !clicked; attempt++) {
        click_at(item_x, item_y);
        clicked = wait_until(selected, 3.0);
    }
    ASSERT_TRUE(clicked) << "the click did not select the file";
    const Grid loaded{{"1", "1", "3"}, {"1", "-1", "1"}};
    bool opened = false;
    for (int attempt = 0; attempt < 3 && !opened; attempt++) {
        click_at(ok_x + 8, ok_y + 4);
        park_pointer();
        opened = wait_for_grid(loaded, 5.0, &shot);
        if (!opened && !selector_open(shot))
            break; // the selector closed without loading: no second try
    }
    EXPECT_TRUE(opened) << grid_text(read_grid(shot, 2));

    // Escape closes it again with the matrix kept and the work screen still shown.
    hold_key("o");
    ASSERT_TRUE(wait_until(selector_open, 5.0));
    tap_key("Escape");
    EXPECT_TRUE(wait_for_grid({{"1", "1", "3"}, {"1", "-1", "1"}}, 5.0, &shot))
        << grid_text(read_grid(shot, 2));
    EXPECT_TRUE(wait_for_screen("start", {{22, 88, 614, 322}, {18, 34, 636, 58}}))
        << "Escape in the selector left the work screen";
}
