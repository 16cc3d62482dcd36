// The menu, settings and work screens driven by scripted keys and clicks, frame by frame.
#include "harness.h"

#include "app/screens.h"
#include "matrix/store.h"
#include "matrix/translation.h"
#include "platform/display.h"
#include "platform/frame.h"
#include "platform/images.h"
#include "platform/input.h"
#include "platform/language.h"
#include "platform/layout.h"
#include "platform/quit.h"
#include "platform/settings_file.h"
#include "platform/startup.h"
#include "work/file_selector.h"
#include "work/matrix_view.h"
#include "work/work_frame.h"
#include "work/work_screen.h"

#include <gtest/gtest.h>

#include <array>
#include <csignal>
#include <functional>
#include <string>
#include <vector>

#include <unistd.h>

namespace
{

using ScreensTest = ScriptTest;

constexpr int ascii_esc = 27;

// The middle column of a button, where a script clicks it.
int centre_x(const Rect &r)
{
    return (r.x1 + r.x2) / 2;
}

// The middle row of a button.
int centre_y(const Rect &r)
{
    return (r.y1 + r.y2) / 2;
}

// Steps that click the button: point at it, press, and release two frames later.
std::vector<Step> click(int frame, const Rect &button)
{
    return {{frame - 1, point(centre_x(button), centre_y(button))},
            {frame, button_down()},
            {frame + 2, button_up()}};
}

// Steps that hold a key for two frames.
std::vector<Step> press(int frame, int scancode, int ascii)
{
    return {{frame, hold(scancode, ascii)}, {frame + 2, release(scancode)}};
}

// Joins lists of steps into one script's steps.
std::vector<Step> join(std::initializer_list<std::vector<Step>> parts)
{
    std::vector<Step> all;
    for (const auto &part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

const std::vector<Shown> menu_work_menu_settings_menu{Shown::menu, Shown::work, Shown::menu,
                                                      Shown::settings, Shown::menu};

TEST_F(ScreensTest, KeysWalkFromMenuToWorkBackToSettingsTurnPulseOffAndQuit)
{
    int pulse_while_m_held = -1;
    const ScriptRun run =
        run_script(menu_screen, at_frames(join({
                                    press(3, KEY_S, 's'),
                                    press(12, KEY_ESC, ascii_esc),
                                    press(20, KEY_N, 'n'),
                                    {{28, hold(KEY_M, 'm')},
                                     {29, [&] { pulse_while_m_held = pulse_enabled; }},
                                     {30, release(KEY_M)}},
                                    press(36, KEY_ESC, ascii_esc),
                                    {{44, hold(KEY_K, 'k')}},
                                })));
    ASSERT_FALSE(run.ran_out);
    EXPECT_EQ(describe(screen_order(run)), describe(menu_work_menu_settings_menu));
    EXPECT_EQ(pulse_while_m_held, 1) << "the pulse toggles only once M is released";
    EXPECT_EQ(pulse_enabled, 0);
    EXPECT_EQ(last_frame(run), 44) << "K quits the menu at once";
}

TEST_F(ScreensTest, ClicksWalkFromMenuToWorkBackToSettingsTurnPulseOffAndQuit)
{
    const ScriptRun run = run_script(menu_screen, at_frames(join({
                                                      click(3, menu_work_button),
                                                      click(10, work_back_button),
                                                      click(17, menu_settings_button),
                                                      click(24, settings_pulse_button),
                                                      click(31, settings_back_button),
                                                      click(38, menu_quit_button),
                                                  })));
    ASSERT_FALSE(run.ran_out);
    EXPECT_EQ(describe(screen_order(run)), describe(menu_work_menu_settings_menu));
    EXPECT_EQ(pulse_enabled, 0);
    EXPECT_EQ(last_frame(run), 40) << "the quit button acts when released, at frame 40";
}

TEST_F(ScreensTest, HoldingSShowsWorkAtOnceButTheWorkLoopStartsOnlyAfterRelease)
{
    // The work loop refreshes the line with the hovered cell's value; the hold does not.
    set_matrix({{5, 7}});
    point_at(over_cell(0, 0).first, over_cell(0, 0).second);
    const ScriptRun run = run_script(menu_screen, at_frames(join({
                                                      {{3, hold(KEY_S, 's')}, {40, release(KEY_S)}},
                                                      press(70, KEY_ESC, ascii_esc),
                                                      {{78, hold(KEY_K, 'k')}},
                                                  })));
    ASSERT_FALSE(run.ran_out);
    EXPECT_EQ(frame_of(run, 3).shown, Shown::menu);
    for (int f = 4; f <= 40; f++) {
        EXPECT_EQ(frame_of(run, f).shown, Shown::work) << "frame " << f;
        EXPECT_EQ(frame_of(run, f).line, "")
            << "frame " << f << ": the work loop ran while S was held";
    }
    bool readout_started = false;
    for (int f = 41; f <= 44; f++)
        readout_started = readout_started || frame_of(run, f).line == "5";
    EXPECT_TRUE(readout_started) << "the work loop did not start after S was released";
    for (int f = 45; f <= 70; f++) {
        EXPECT_EQ(frame_of(run, f).shown, Shown::work) << "frame " << f << ": releasing S left";
        EXPECT_EQ(frame_of(run, f).line, "5") << "frame " << f;
    }
    EXPECT_EQ(frame_of(run, 71).shown, Shown::menu);
}

TEST_F(ScreensTest, SInTheMenuEmptiesTheLineTheLastVisitToTheWorkScreenLeft)
{
    // Leaving the work screen keeps its last readout on the line; the next S must not show it.
    set_matrix({{5, 7}});
    point_at(over_cell(0, 0).first, over_cell(0, 0).second);
    const ScriptRun run =
        run_script(menu_screen, at_frames(join({
                                    press(3, KEY_S, 's'),
                                    press(12, KEY_ESC, ascii_esc),
                                    {{20, hold(KEY_S, 's')}, {30, release(KEY_S)}},
                                    press(40, KEY_ESC, ascii_esc),
                                    {{48, hold(KEY_K, 'k')}},
                                })));
    ASSERT_FALSE(run.ran_out);
    ASSERT_EQ(frame_of(run, 11).line, "5") << "the first visit showed no readout";
    for (int f = 21; f <= 30; f++) {
        EXPECT_EQ(frame_of(run, f).shown, Shown::work) << "frame " << f;
        EXPECT_EQ(frame_of(run, f).line, "") << "frame " << f << ": the old line came back";
    }
}

// A click in the menu: press at one point, release at another, and what it must do.
struct ClickCase {
    const char *name;
    int press_x;
    int press_y;
    int release_x;
    int release_y;
    std::vector<Shown> screens; // shown until Esc (frame 20) or K (frame 30) quits the menu
    int last;                   // the menu's last frame
};

TEST_F(ScreensTest, AClickActsOnReleaseAtTheReleasePosition)
{
    const std::vector<ClickCase> cases{
        {"press on quit, release outside", 300, 385, 50, 50, {Shown::menu}, 20},
        {"press outside, release on work",
         50,
         50,
         300,
         180,
         {Shown::menu, Shown::work, Shown::menu},
         30},
        {"press and hold on quit", 300, 385, 300, 385, {Shown::menu}, 15},
    };
    for (const ClickCase &c : cases) {
        reset_program_state();
        const ScriptRun run = run_script(menu_screen, at_frames({
                                                          {2, point(c.press_x, c.press_y)},
                                                          {3, button_down()},
                                                          {6, point(c.release_x, c.release_y)},
                                                          {15, button_up()},
                                                          {20, hold(KEY_ESC, ascii_esc)},
                                                          {22, release(KEY_ESC)},
                                                          {30, hold(KEY_K, 'k')},
                                                      }));
        EXPECT_FALSE(run.ran_out) << c.name;
        EXPECT_EQ(describe(screen_order(run)), describe(c.screens)) << c.name;
        EXPECT_EQ(last_frame(run), c.last) << c.name;
        for (int f = 3; f <= 15; f++)
            EXPECT_EQ(frame_of(run, f).shown, Shown::menu)
                << c.name << ": acted before release, frame " << f;
    }
}

TEST_F(ScreensTest, TheQuitButtonsBoundsAreExclusive)
{
    struct Point {
        int x;
        int y;
        bool quits;
    };
    const Point points[] = {{160, 363, false}, {455, 410, false}, {160, 385, false},
                            {300, 363, false}, {300, 410, false}, {161, 364, true},
                            {454, 409, true}};
    for (const Point &p : points) {
        reset_program_state();
        const ScriptRun run = run_script(menu_screen, at_frames({{2, point(p.x, p.y)},
                                                                 {3, button_down()},
                                                                 {5, button_up()},
                                                                 {12, hold(KEY_K, 'k')}}));
        EXPECT_FALSE(run.ran_out);
        EXPECT_EQ(last_frame(run), p.quits ? 5 : 12) << "click at (" << p.x << ", " << p.y << ")";
    }
}

TEST_F(ScreensTest, EscAndKQuitTheMenuAtOnceButOtherKeysDoNot)
{
    struct KeyCase {
        int scancode;
        int ascii;
        bool quits;
    };
    const KeyCase keys[] = {
        {KEY_ESC, ascii_esc, true}, {KEY_K, 'k', true}, {KEY_X, 'x', false}, {KEY_R, 'r', false}};
    for (const KeyCase &k : keys) {
        reset_program_state();
        const ScriptRun run = run_script(menu_screen, at_frames({{5, hold(k.scancode, k.ascii)},
                                                                 {7, release(k.scancode)},
                                                                 {15, hold(KEY_K, 'k')}}));
        EXPECT_FALSE(run.ran_out);
        EXPECT_EQ(last_frame(run), k.quits ? 5 : 15) << "scancode " << k.scancode;
        EXPECT_EQ(describe(screen_order(run)), describe({Shown::menu}))
            << "scancode " << k.scancode;
    }
}

TEST_F(ScreensTest, TheMenuActsOnlyOnKeysPressedWhileItShows)
{
    // K is pressed on the settings screen, which ignores it, and still held back in the menu.
    const ScriptRun run =
        run_script(menu_screen, at_frames(join({
                                    press(3, KEY_N, 'n'),
                                    {{10, hold(KEY_K, 'k')}},
                                    press(14, KEY_ESC, ascii_esc),
                                    {{40, release(KEY_K)}, {45, hold(KEY_K, 'k')}},
                                })));
    ASSERT_FALSE(run.ran_out);
    EXPECT_EQ(describe(screen_order(run)), describe({Shown::menu, Shown::settings, Shown::menu}));
    EXPECT_EQ(last_frame(run), 45) << "a K held over from the settings screen quit the menu";
}

// A place deep inside the menu where the window's close button is pressed.
struct ClosePlace {
    const char *name;
    Shown shown; // the screen shown there
    std::vector<std::vector<long>> matrix;
    std::vector<Step> approach; // from the menu to the place
    const char *status;         // status_text there
    const char *line;           // line_text there
    int close_frame = 40;       // the frame the close button is pressed at
    bool busy = false;          // a row is being cancelled there
};

// Steps that type `text` from `frame` on, a character every two frames.
std::vector<Step> type_steps(int frame, const std::string &text)
{
    std::vector<Step> steps;
    for (char c : text)
        steps.push_back({frame += 2, tap(scancode_of(c), static_cast<unsigned char>(c))});
    return steps;
}

// Consecutive Fibonacci numbers F(45) and F(46): cancelling one by the other takes 45 frames.
constexpr long fibonacci_45 = 1134903170;
constexpr long fibonacci_46 = 1836311903;

TEST_F(ScreensTest, TheCloseButtonUnwindsEveryLoopAndTheMenuReturns)
{
    const std::vector<Step> into_work = press(3, KEY_S, 's');
    const std::vector<ClosePlace> places{
        {"settings screen", Shown::settings, {}, press(3, KEY_N, 'n'), "", ""},
        {"work screen", Shown::work, {}, into_work, "", ""},
        {"line editor",
         Shown::work,
         {},
         join({into_work, press(8, KEY_Z, 'z')}),
         "",
         "Zadaj meno suboru"},
        {"load message",
         Shown::work,
         {},
         join({into_work, press(8, KEY_Z, 'z'), {{14, tap(KEY_Q, 'q')}, {16, tap(KEY_ENTER, 13)}}}),
         "Mam problemy so suborom.",
         "Mam problemy so suborom."},
        {"step gate",
         Shown::work,
         {{1, 1, 3}, {1, -1, 1}},
         join({into_work, press(8, KEY_R, 'r')}),
         "Krokuj!",
         "Krokuj!"},
        {"pause",
         Shown::work,
         {{1, 1, 3}, {1, -1, 1}},
         join({into_work, press(8, KEY_R, 'r'), press(20, KEY_P, 'p')}),
         "Prerusenie",
         "Prerusenie"},
        {"finished solve",
         Shown::work,
         {},
         join({into_work, press(8, KEY_R, 'r')}),
         "Hotovo!",
         "Hotovo!"},
        {"a solve's cancelling",
         Shown::work,
         {{fibonacci_45, fibonacci_46, 1}, {1, 1, 1}},
         join({into_work, press(8, KEY_R, 'r'), {{16, tap(KEY_SPACE, ' ')}}}),
         "Krokuj!",
         "Krokuj!",
         40,
         true},
        {"a learner's operation's cancelling",
         Shown::work,
         {{fibonacci_46, 1, 1}, {1, 1, 1}},
         join({into_work,
               press(8, KEY_U, 'u'),
               type_steps(12, "R1<-1/1134903170R1"),
               {{52, tap(KEY_ENTER, 13)}}}),
         "",
         "",
         70,
         true},
    };
    // Every place in Slovak, then in English: the texts there are the catalog's.
    setenv("TEXTDOMAINDIR", CATALOG_DIR, 1);
    for (int language : {language_slovak, language_english}) {
        choose_language(language);
        for (const ClosePlace &place : places) {
            reset_program_state();
            set_matrix(place.matrix);
            std::vector<Step> steps = place.approach;
            steps.push_back({place.close_frame, [] { quit_requested = 1; }});
            const ScriptRun run = run_script(menu_screen, at_frames(steps), 20);
            ASSERT_FALSE(run.ran_out) << place.name;
            const FrameRecord before = frame_of(run, place.close_frame - 1);
            EXPECT_EQ(before.shown, place.shown) << place.name;
            EXPECT_EQ(before.status, tr(place.status)) << place.name;
            EXPECT_EQ(before.line, tr(place.line)) << place.name;
            EXPECT_EQ(before.busy, place.busy) << place.name;
            EXPECT_LE(last_frame(run), place.close_frame + 3)
                << place.name << ": the loops did not unwind";
            EXPECT_EQ(exit_code, 0) << place.name;
        }
    }
    ASSERT_STREQ(tr("Krokuj!"), "Step on!"); // the English pass did read the catalog
    choose_language(language_slovak);
}

// The language switch loads the chosen set whole before it lets the shown one go: from a folder
// where the images cannot be found (the program started elsewhere, a set deleted), the images
// on screen stay and the program goes on.
TEST_F(ScreensTest, ALanguageWhoseImagesCannotBeLoadedKeepsTheImagesShown)
{
    reset_program_state();
    setenv("TEXTDOMAINDIR", CATALOG_DIR, 1);
    choose_language(language_english);
    reload_language_images();
    const ImageTable english = images;
    char here[4096];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    ASSERT_EQ(chdir("/"), 0); // the program's own folder is searched too: the test binary's has none
    choose_language(language_slovak);
    reload_language_images();
    EXPECT_EQ(images, english) << "a set that cannot be loaded replaced the images";
    EXPECT_FALSE(quit_requested);
    BITMAP *english_menu = images[image_menu_background];
    BITMAP *kept = create_bitmap(english_menu->w, english_menu->h);
    blit(english_menu, kept, 0, 0, 0, 0, kept->w, kept->h);
    ASSERT_EQ(chdir(here), 0);
    reload_language_images();
    int differing = 0;
    for (int y = 0; y < kept->h; y++)
        for (int x = 0; x < kept->w; x++)
            differing += getpixel(kept, x, y) != getpixel(images[image_menu_background], x, y);
    destroy_bitmap(kept);
    EXPECT_GT(differing, 0) << "the Slovak set was not loaded back";
    EXPECT_FALSE(quit_requested);
}

// ---------------------------------------------------------------------------
// Asking before ending with a typed system never saved

// Cues from the menu that type a system in the grid editor (S, E, 5 into its first cell, E to
// accept), leaving the work screen with it.
std::vector<Cue> typed_system()
{
    return ::join({press_key(KEY_S, 's', 3), press_key(KEY_E, 'e', 3), typing("5"),
                   press_key(KEY_E, 'e', 3)});
}

// Condition: the question has shown for two frames, and neither key that asks it is held.
std::function<bool()> asking()
{
    return steady([] { return ending_question_shown() && !key[KEY_K] && !key[KEY_ESC]; }, 2);
}

// Condition: the menu has shown for ten frames without the question.
std::function<bool()> back_on_menu()
{
    return steady([] { return finished_frame().shown == Shown::menu && !ending_question_shown(); },
                  10);
}

// Cues that click the button: point at it, press, and let go two frames later.
std::vector<Cue> click_cues(const Rect &button)
{
    return {{after(3), point(centre_x(button), centre_y(button))},
            {after(1), button_down()},
            {after(2), button_up()}};
}

// Acts as the window's close button does, and as a signal does.
void close_window()
{
    quit_requested = 1;
}
void terminate_by_signal()
{
    quit_signal = SIGTERM;
    quit_requested = 1;
}

// One way of ending the program with a typed system, and what it must come to.
struct EndingCase {
    const char *name;
    std::vector<Cue> script; // from the menu; its last cue must end the menu at once
    int questions;           // times the question shows
    bool quitting;           // quit_requested once the menu has returned (the loops unwind)
};

// Wraps a script to count the times the question opens.
Script count_questions(Script inner, int &questions)
{
    return [inner = std::move(inner), &questions, shown = false](int frame) mutable {
        if (ending_question_shown() && !shown)
            questions++;
        shown = ending_question_shown();
        return inner(frame);
    };
}

TEST_F(ScreensTest, EndingWithATypedSystemNeverSavedAsksOnceEnterEndsAndAnyOtherKeyStays)
{
    TempFolder folder;
    const std::string saved = folder.file("typed.txt", nullptr);
    const std::vector<EndingCase> cases{
        {"K, Enter ends",
         ::join({typed_system(),
                 press_key(KEY_ESC, ascii_esc, 3),
                 press_key(KEY_K, 'k', 3),
                 {{asking(), tap(KEY_ENTER, 13)}}}),
         1, false},
        {"Esc, another key stays; K and the keypad's Enter end",
         ::join({typed_system(),
                 press_key(KEY_ESC, ascii_esc, 3),
                 press_key(KEY_ESC, ascii_esc, 3),
                 {{asking(), tap(KEY_X, 'x')}, {back_on_menu(), hold(KEY_K, 'k')}},
                 {{after(2), release(KEY_K)}, {asking(), tap(KEY_ENTER_PAD, 13)}}}),
         2, false},
        {"the quit button, a click stays; the quit button and Enter end",
         ::join({typed_system(),
                 press_key(KEY_ESC, ascii_esc, 3),
                 click_cues(menu_quit_button),
                 {{asking(), button_down()}, {after(2), button_up()}, {back_on_menu(), [] {}}},
                 click_cues(menu_quit_button),
                 {{asking(), tap(KEY_ENTER, 13)}}}),
         2, false},
        {"the close button on the work screen, Enter ends",
         ::join({typed_system(), {{after(3), close_window}, {asking(), tap(KEY_ENTER, 13)}}}), 1,
         true},
        {"the close button, a key stays on the menu with the system; K and Enter end",
         ::join({typed_system(),
                 {{after(3), close_window},
                  {asking(), tap(KEY_SPACE, ' ')},
                  {back_on_menu(),
                   [] {
                       EXPECT_EQ(quit_requested, 0) << "staying did not take back the request";
                       EXPECT_EQ(matrix_rows().at(0), "5 0 0 0") << "the system is lost";
                       hold_key(KEY_K, 'k');
                   }},
                  {after(2), release(KEY_K)},
                  {asking(), tap(KEY_ENTER, 13)}}}),
         2, false},
        {"the close button twice ends at once",
         ::join({typed_system(), {{after(3), close_window}, {asking(), close_window}}}), 1, true},
        {"a signal while asking ends at once",
         ::join({typed_system(),
                 press_key(KEY_ESC, ascii_esc, 3),
                 press_key(KEY_K, 'k', 3),
                 {{asking(), terminate_by_signal}}}),
         1, true},
        {"a signal never asks", ::join({typed_system(), {{after(3), terminate_by_signal}}}), 0,
         true},
        {"a display that cannot be restored never asks",
         ::join({typed_system(), {{after(3), [] { request_quit(1); }}}}), 0, true},
        {"saved by W, nothing to ask",
         ::join({typed_system(),
                 press_key(KEY_W, 'w', 3),
                 in_selector("typed.txt\r"),
                 {{resting_with_status("Zapisane do " + saved, 3), tap(KEY_SPACE, ' ')}},
                 press_key(KEY_ESC, ascii_esc, 3),
                 {{back_on_menu(), hold(KEY_K, 'k')}}}),
         0, false},
    };
    for (const EndingCase &c : cases) {
        SCOPED_TRACE(c.name);
        reset_program_state();
        remember_file_folder(saved); // W's selector opens in the scratch folder
        std::vector<Cue> script = c.script;
        int ended_at = -1;
        script.back().act = [act = script.back().act, &ended_at] {
            ended_at = current_frame();
            act();
        };
        int questions = 0;
        const ScriptRun run = run_script(menu_screen, count_questions(cues(script), questions));
        ASSERT_FALSE(run.ran_out);
        EXPECT_TRUE(run.finished) << "the menu ended before the script did";
        EXPECT_LE(last_frame(run), ended_at + 1) << "the menu did not end at once";
        EXPECT_EQ(questions, c.questions);
        EXPECT_EQ(quit_requested != 0, c.quitting);
        EXPECT_FALSE(ending_question_shown());
        quit_requested = 0;
        quit_signal = 0;
        exit_code = 0;
    }
}

// The white pixels of the question's plate in back_buffer, -1 when any pixel of it is neither
// the text's white nor the plate's fill (or, on its edge, its rim): the plate hides the title.
int question_text_pixels()
{
    const Rect &p = ending_question_plate;
    const int fill = makecol(panel_fill_colour.r, panel_fill_colour.g, panel_fill_colour.b);
    const int rim = makecol(panel_border_colour.r, panel_border_colour.g, panel_border_colour.b);
    const int white = makecol(255, 255, 255);
    int text = 0;
    for (int y = p.y1; y <= p.y2; y++)
        for (int x = p.x1; x <= p.x2; x++) {
            const int c = getpixel(back_buffer, x, y);
            const bool edge = x == p.x1 || x == p.x2 || y == p.y1 || y == p.y2;
            if (edge ? c != rim : c != fill && c != white)
                return -1;
            text += c == white;
        }
    return text;
}

TEST_F(ScreensTest, TheQuestionShowsAtOnceOnTheMenuOnADarkPlateAtTheTextLinesPlace)
{
    int k_at = -1;
    int shown_at = -1;
    int text_pixels = -1;
    const ScriptRun run =
        run_script(menu_screen, cues(::join({typed_system(),
                                             press_key(KEY_ESC, ascii_esc, 3),
                                             {{after(3),
                                               [&] {
                                                   point_at(320, 300);
                                                   hold_key(KEY_K, 'k');
                                                   k_at = current_frame();
                                               }},
                                              {steady([] { return ending_question_shown(); }, 2),
                                               [&] {
                                                   // back_buffer holds the first frame with the
                                                   // question.
                                                   shown_at = current_frame() - 1;
                                                   text_pixels = question_text_pixels();
                                               }},
                                              {after(2), release(KEY_K)},
                                              {asking(), tap(KEY_ENTER, 13)}}})));
    ASSERT_FALSE(run.ran_out);
    EXPECT_EQ(shown_at, k_at + 1) << "the question did not show on the frame after K";
    EXPECT_EQ(frame_of(run, shown_at).shown, Shown::menu);
    EXPECT_GT(text_pixels, 500) << "no legible question on a plate of its own";
}

// Wraps a script to note the frames at which it pressed and released the left button.
Script watch_button(Script inner, int &pressed_at, int &released_at)
{
    return [inner = std::move(inner), &pressed_at, &released_at](int frame) {
        const bool was_down = mouse_b & 1;
        const bool more = inner(frame);
        if (!was_down && (mouse_b & 1))
            pressed_at = frame;
        if (was_down && !(mouse_b & 1))
            released_at = frame;
        return more;
    };
}

TEST_F(ScreensTest, DismissingALoadMessageWithAClickOnTheLoadButtonStartsAnotherLoad)
{
    std::vector<Cue> script{{after(3), hold(KEY_Z, 'z')}, {after(2), release(KEY_Z)}};
    for (const Cue &cue : typing("nosuchfile.txt\r"))
        script.push_back(cue);
    script.push_back({resting_with_status("Mam problemy so suborom."), [] {
                          point_at(centre_x(work_load_button), centre_y(work_load_button));
                          press_button();
                      }});
    script.push_back({after(5), button_up()});
    script.push_back({resting_with_line("Zadaj meno suboru"), tap(KEY_ENTER, 13)});
    script.push_back({after(5), hold(KEY_ESC, ascii_esc)});
    script.push_back({after(2), release(KEY_ESC)});
    int pressed_at = -1;
    int released_at = -1;
    const ScriptRun run =
        run_script(work_screen, watch_button(cues(script), pressed_at, released_at));
    ASSERT_FALSE(run.ran_out);
    ASSERT_GT(pressed_at, 0);
    ASSERT_EQ(released_at, pressed_at + 5);
    EXPECT_EQ(frame_of(run, pressed_at - 1).line, "Mam problemy so suborom.");
    EXPECT_EQ(frame_of(run, pressed_at + 1).status, "")
        << "the press ends the message wait at once";
    for (int f = pressed_at + 1; f <= released_at; f++)
        EXPECT_NE(frame_of(run, f).line, "Zadaj meno suboru") << "the load started before release";
    bool prompted_again = false;
    for (int f = released_at + 1; f <= released_at + 3; f++)
        prompted_again = prompted_again || frame_of(run, f).line == "Zadaj meno suboru";
    EXPECT_TRUE(prompted_again) << "releasing over the load button did not start another load";
    EXPECT_EQ(status_text, std::string(""));
}

TEST_F(ScreensTest, TheInputWaitTakesFromTheBufferTheOneKeyItEndsOn)
{
    // Two keys typed within one frame: the wait ends on the first and leaves the second.
    const ScriptRun run = run_script(wait_for_input, at_frames({{5, [] {
                                                                     tap_key(KEY_A, 'a');
                                                                     tap_key(KEY_B, 'b');
                                                                 }}}));
    ASSERT_FALSE(run.ran_out);
    EXPECT_EQ(last_frame(run), 5);
    ASSERT_TRUE(keypressed()) << "the wait took both keys";
    EXPECT_EQ(readkey() & 0xff, 'b') << "the key the wait ended on is still in the buffer";
    EXPECT_FALSE(keypressed());
}

TEST_F(ScreensTest, DismissingHotovoWithAClickOnTheSolveButtonSolvesTheFinishedMatrixAgain)
{
    set_matrix({{1, 1, 3}, {1, -1, 1}});
    std::vector<Cue> script{{after(3), hold(KEY_R, 'r')}, {after(2), release(KEY_R)}};
    for (int gate = 0; gate < 3; gate++) {
        script.push_back({resting_with_status("Krokuj!"), hold(KEY_SPACE, ' ')});
        script.push_back({after(1), release(KEY_SPACE)});
    }
    script.push_back({resting_with_status("Hotovo!"), [] {
                          point_at(centre_x(work_solve_button), centre_y(work_solve_button));
                          press_button();
                      }});
    script.push_back({after(4), button_up()});
    script.push_back({resting_with_status("Hotovo!"), hold(KEY_SPACE, ' ')});
    script.push_back({after(1), release(KEY_SPACE)});
    script.push_back({after(5), hold(KEY_ESC, ascii_esc)});
    script.push_back({after(2), release(KEY_ESC)});
    int pressed_at = -1;
    int released_at = -1;
    const ScriptRun run =
        run_script(work_screen, watch_button(cues(script), pressed_at, released_at));
    ASSERT_FALSE(run.ran_out);
    ASSERT_GT(pressed_at, 0);
    EXPECT_EQ(frame_of(run, pressed_at).status, "Hotovo!");
    EXPECT_EQ(frame_of(run, pressed_at + 1).status, "") << "the press ends the wait at once";
    // After the release a second solve starts ("Krokuj!") and finishes again ("Hotovo!").
    int krokuj_at = -1;
    int hotovo_at = -1;
    for (const FrameRecord &record : run.frames) {
        if (record.frame > released_at && krokuj_at < 0 && record.status == "Krokuj!")
            krokuj_at = record.frame;
        if (krokuj_at > 0 && hotovo_at < 0 && record.status == "Hotovo!")
            hotovo_at = record.frame;
    }
    for (int f = pressed_at + 1; f <= released_at; f++)
        EXPECT_EQ(frame_of(run, f).status, "") << "the solve started before release, frame " << f;
    EXPECT_GT(krokuj_at, released_at) << "the release over the solve button did not solve again";
    EXPECT_GT(hotovo_at, krokuj_at) << "the second solve did not finish";
    EXPECT_EQ(matrix_rows(), (std::vector<std::string>{"1 0 2", "0 1 1"}));
    EXPECT_EQ(status_text, std::string(""));
}

// How the user goes on from a verdict of "no solution", and whether the same solve goes on.
struct GoOnCase {
    const char *name;
    std::vector<Cue> go_on;
    bool goes_on;
};

TEST_F(ScreensTest, AtAVerdictTheSolveButtonOrRGoOnToTheReducedFormWhileTheStoreIsUnchanged)
{
    const auto click_solve = [] {
        point_at(centre_x(work_solve_button), centre_y(work_solve_button));
        press_button();
    };
    const auto dismissed = [] { return status_text[0] == '\0'; };
    const std::vector<GoOnCase> cases{
        {"a click on the solve button at the message",
         {{after(0), click_solve}, {after(3), button_up()}},
         true},
        {"Space, then R",
         {{after(0), tap(KEY_SPACE, ' ')},
          {steady(dismissed, 5), hold(KEY_R, 'r')},
          {after(2), release(KEY_R)}},
         true},
        {"Space, a changed store, then R",
         {{after(0), tap(KEY_SPACE, ' ')},
          {steady(dismissed, 5),
           [] {
               cell(0, 0) = Fraction{2, 1};
           }},
          {after(1), hold(KEY_R, 'r')},
          {after(2), release(KEY_R)}},
         false},
    };
    for (const GoOnCase &gc : cases) {
        reset_program_state();
        set_matrix({{1, 1, 1, 1}, {1, 1, 2, 2}, {1, 1, 3, 4}});
        std::string caption;
        const ScriptRun run = run_script(
            work_screen,
            cues(::join({press_key(KEY_R, 'r', 3),
                         {{resting_with_status("Krokuj!"), tap(KEY_SPACE, ' ')},
                          {resting_with_status("Krokuj!"), tap(KEY_SPACE, ' ')},
                          {resting_with_status("Hotovo! Sustava nema riesenie."), [] {}}},
                         gc.go_on,
                         {{resting_with_status("Krokuj!"),
                           [&] {
                               caption = shown_step.caption;
                               tap_key(KEY_ESC, ascii_esc); // stops the solve
                           }},
                          {steady(dismissed, 5), hold(KEY_ESC, ascii_esc)},
                          {after(2), release(KEY_ESC)}}})));
        ASSERT_FALSE(run.ran_out) << gc.name;
        EXPECT_EQ(caption, gc.goes_on ? "Krok 3 z 5: R1 <- R1 - R2" : "Krok 1 z 1: R1 <- (1/2) R1")
            << gc.name;
    }
}

TEST_F(ScreensTest, PlusAndMinusZoomTheWindowAtOnceAsFarAsTheDesktopHasRoomAndTheZoomIsRemembered)
{
    ASSERT_EQ(windowed, 1);
    ASSERT_EQ(window_zoom, 1);
    pretend_desktop(1280, 960); // room for zoom 2 exactly
    // The window at a moment: its size and scale, the zoom remembered, the frame, the note.
    struct Window {
        int width, height, scale, remembered;
        bool shows_frame;
        std::array<std::string, 2> note;
    };
    std::vector<Window> seen;
    const auto look_then_hold = [&seen](int scancode, int ascii) {
        return [&seen, scancode, ascii] {
            seen.push_back({SCREEN_W, SCREEN_H, frame_scale, read_settings(settings_path()).zoom,
                            display_shows_frame(), zoom_note()});
            hold_key(scancode, ascii);
        };
    };
    pulse_enabled = 0; // frames that never change: only the new window needs the whole frame
    const ScriptRun run = run_script(
        settings_screen, cues(::join({press_key(KEY_EQUALS, '=', 3),
                                      {{after(3), look_then_hold(KEY_EQUALS, '=')}, // no room for 3
                                       {after(2), release(KEY_EQUALS)},
                                       {after(3), look_then_hold(KEY_MINUS_PAD, '-')},
                                       {after(2), release(KEY_MINUS_PAD)}},
                                      press_key(KEY_ESC, 27, 3)})));
    ASSERT_FALSE(run.ran_out);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].width, 2 * screen_width) << "+ did not zoom";
    EXPECT_EQ(seen[0].height, 2 * screen_height) << "+ did not zoom";
    EXPECT_EQ(seen[0].scale, 2) << "the pointer is not scaled back";
    EXPECT_EQ(seen[0].remembered, 2) << "the zoom was not remembered";
    EXPECT_TRUE(seen[0].shows_frame) << "the new window did not get the whole frame";
    EXPECT_EQ(seen[1].width, 2 * screen_width) << "a zoom the desktop has no room for";
    EXPECT_EQ(seen[1].remembered, 2);
    EXPECT_EQ(seen[1].note, (std::array<std::string, 2>{"Zvacsenie okna: 2x", "(3x sa nezmesti)"}));
    EXPECT_EQ(window_zoom, 1);
    EXPECT_EQ(SCREEN_W, screen_width) << "- did not zoom back";
    EXPECT_EQ(frame_scale, 1);
    EXPECT_EQ(read_settings(settings_path()).zoom, 1);
    EXPECT_EQ(frame_of(run, last_frame(run)).shown, Shown::menu);
}

TEST_F(ScreensTest, TheDisplayToggleKeepsWindowedTrueToTheDisplayAndComesBack)
{
    // Whether full screen is granted depends on the X server; either way the flag must
    // say what the display is, the frames must go on, and a second toggle must bring the
    // window back.
    ASSERT_EQ(windowed, 1);
    // The way back is a click: a new display can reset the held-key table when its window
    // takes the focus, which would swallow a key held just after the switch.
    const int back_x = (settings_back_button.x1 + settings_back_button.x2) / 2;
    const int back_y = (settings_back_button.y1 + settings_back_button.y2) / 2;
    const ScriptRun run = run_script(settings_screen, cues({{after(3), hold(KEY_F, 'f')},
                                                            {after(2), release(KEY_F)},
                                                            {after(5), point(back_x, back_y)},
                                                            {after(1), button_down()},
                                                            {after(2), button_up()}}));
    ASSERT_FALSE(run.ran_out);
    ASSERT_NE(gfx_driver, nullptr) << "no display after the toggle";
    RecordProperty("full_screen_granted", windowed == 0 ? "yes" : "no");
    EXPECT_EQ(windowed, is_windowed_mode() ? 1 : 0);
    int desktop_width = 0;
    int desktop_height = 0;
    ASSERT_EQ(get_desktop_resolution(&desktop_width, &desktop_height), 0);
    EXPECT_EQ(SCREEN_W, windowed ? screen_width : desktop_width);
    EXPECT_EQ(SCREEN_H, windowed ? screen_height : desktop_height);
    EXPECT_EQ(frame_of(run, last_frame(run)).shown, Shown::settings)
        << "frames stopped showing after the toggle";
    if (windowed == 0) {
        toggle_display_mode();
        EXPECT_EQ(windowed, 1);
        EXPECT_TRUE(is_windowed_mode());
    }
    EXPECT_EQ(quit_requested, 0);
}

TEST_F(ScreensTest, AClickOnTheDisplayButtonSwitchesToFullScreenAsFDoes)
{
    // The X server the tests run on grants full screen, so the click must leave one.
    ASSERT_EQ(windowed, 1);
    const ScriptRun run = run_script(settings_screen, at_frames(join({
                                                          click(3, settings_display_button),
                                                          click(12, settings_back_button),
                                                      })));
    const int windowed_after_click = windowed;
    const bool window_after_click = is_windowed_mode();
    if (windowed == 0)
        toggle_display_mode(); // back to the window for the tests that follow
    ASSERT_FALSE(run.ran_out);
    EXPECT_EQ(windowed_after_click, 0) << "the click on the display button did not switch";
    EXPECT_FALSE(window_after_click);
    EXPECT_EQ(windowed, 1);
    EXPECT_TRUE(is_windowed_mode());
}

// One start-up: the desktop, the zoom asked for, the window it gets and the settings note.
struct StartupZoomCase {
    int desktop_width;
    int desktop_height;
    int asked;
    int zoom;
    const char *note;
};

TEST_F(ScreensTest, AZoomTooLargeForTheDesktopIsLoweredAtStartUpForThisRunOnly)
{
    const StartupZoomCase cases[] = {
        {1920, 1080, 3, 2, "(3x sa nezmesti)"},
        {1920, 1080, 2, 2, ""},
        {2200, 1600, 4, 3, "(4x sa nezmesti)"},
        {1024, 768, 4, 1, "(4x sa nezmesti)"},
        {2560, 1920, 4, 4, ""},
        {800, 600, 1, 1, ""},
    };
    for (const StartupZoomCase &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.desktop_width << "x" << c.desktop_height << " asked " << c.asked);
        pretend_desktop(c.desktop_width, c.desktop_height);
        chosen_zoom = window_zoom = c.asked;
        zoom_refused = 0;
        ASSERT_EQ(open_display(), 0);
        EXPECT_EQ(window_zoom, c.zoom);
        EXPECT_EQ(SCREEN_W, screen_width * c.zoom);
        EXPECT_EQ(frame_scale, c.zoom);
        EXPECT_EQ(chosen_zoom, c.asked) << "the remembered zoom must stay";
        const std::array<std::string, 2> note{"Zvacsenie okna: " + std::to_string(c.zoom) + "x",
                                              c.note};
        EXPECT_EQ(zoom_note(), note);
    }
}

TEST_F(ScreensTest, FullScreenFillsALargeDisplayByAWholeFactorCentredOnBlack)
{
    pretend_desktop(1920, 1080); // the frame fits twice, with 320 and 60 pixels to spare
    ASSERT_EQ(windowed, 1);
    toggle_display_mode();
    if (windowed != 0)
        GTEST_SKIP() << "this X server refuses full screen";
    EXPECT_EQ(frame_scale, 2);
    EXPECT_EQ(frame_left, 320);
    EXPECT_EQ(frame_top, 60);
    mouse_x = 320 + 2 * 100 + 1;
    mouse_y = 60 + 2 * 200 + 1;
    EXPECT_EQ(pointer_x(), 100);
    EXPECT_EQ(pointer_y(), 200);
    // The last pixel of the last cell of a 10x10 names it; the next one names nothing.
    set_matrix(std::vector<std::vector<long>>(10, std::vector<long>(11, 0)));
    cell(9, 10) = Fraction{7, 1};
    for (const int past : {0, 1}) {
        mouse_x = 320 + 2 * (hover_last_column_end(10) - 1 + past) + 1;
        mouse_y = 60 + 2 * (hover_row_top(10) - 1) + 1;
        update_readout();
        EXPECT_EQ(std::string(line_text), past ? "" : "7") << "one pixel past: " << past;
    }
    paint_settings_frame();
    EXPECT_EQ(zoom_note()[0], "Cela obrazovka: 2x");
    bool centred_on_black = true;
    for (int y = 0; y < SCREEN_H && centred_on_black; y += 7)
        for (int x = 0; x < SCREEN_W && centred_on_black; x += 7) {
            const bool inside = x >= 320 && x < 1600 && y >= 60 && y < 1020;
            const int expected =
                inside ? getpixel(back_buffer, (x - 320) / 2, (y - 60) / 2) : makecol(0, 0, 0);
            centred_on_black = getpixel(screen, x, y) == expected;
        }
    EXPECT_TRUE(centred_on_black) << "the display does not show the frame scaled and centred";
    toggle_display_mode();
    EXPECT_EQ(windowed, 1);
    EXPECT_EQ(SCREEN_W, screen_width);
    EXPECT_EQ(frame_left, 0);
}

} // namespace
