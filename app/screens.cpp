// The menu and the settings screen, their frames and their input dispatch.
#include "screens.h"

#include "../matrix/store.h"
#include "../matrix/translation.h"
#include "../platform/display.h"
#include "../platform/frame.h"
#include "../platform/images.h"
#include "../platform/input.h"
#include "../platform/language.h"
#include "../platform/layout.h"
#include "../platform/quit.h"
#include "../work/loader.h"
#include "../work/work_frame.h"
#include "../work/work_screen.h"

#include <allegro.h>

#include <array>
#include <string>

// ---------------------------------------------------------------------------
// Frames

// The name of the language choice `choice` on the settings screen's switch.
static const char *language_choice_name(int choice)
{
    // TRANSLATORS: fits 17: the settings screen's language switch
    constexpr const char *names[] = {tr_noop("podla systemu"), tr_noop("slovensky"),
                                     tr_noop("English")};
    return choice >= language_desktop && choice <= language_english ? tr(names[choice]) : "";
}

// Draws the language switch: a plate like the panels, its name and the language chosen.
static void draw_language_switch()
{
    const Rect &plate = settings_language_button;
    rectfill(back_buffer, plate.x1, plate.y1, plate.x2, plate.y2,
             makecol(panel_fill_colour.r, panel_fill_colour.g, panel_fill_colour.b));
    rect(back_buffer, plate.x1, plate.y1, plate.x2, plate.y2,
         makecol(panel_border_colour.r, panel_border_colour.g, panel_border_colour.b));
    const int white = makecol(255, 255, 255);
    // TRANSLATORS: fits 17: the settings screen's language switch; J stays the key
    textout_centre_ex(back_buffer, font, tr("Jazyk (J)"), language_note_centre_x,
                      language_note_first_y, white, -1);
    textout_centre_ex(back_buffer, font, language_choice_name(chosen_language),
                      language_note_centre_x, language_note_second_y, white, -1);
}

// The settings screen's extras: the pulse indicator, on its plate the zoom in use, and the
// language switch.
static void draw_settings_extras()
{
    draw_language_switch();
    BITMAP *indicator = pulse_enabled ? images[image_pulse_on] : images[image_pulse_off];
    draw_sprite(back_buffer, indicator, indicator_x, indicator_y);
    const std::array<std::string, 2> note = zoom_note();
    const int white = makecol(255, 255, 255);
    textout_centre_ex(back_buffer, font, note[0].c_str(), zoom_note_centre_x, zoom_note_first_y,
                      white, -1);
    textout_centre_ex(back_buffer, font, note[1].c_str(), zoom_note_centre_x, zoom_note_second_y,
                      white, -1);
}

// Composes one menu frame into back_buffer.
void compose_menu_frame()
{
    compose_frame(image_menu_background);
}

// Composes one settings frame into back_buffer.
void compose_settings_frame()
{
    compose_frame(image_settings_background, draw_settings_extras);
}

// Paints one menu frame.
void paint_menu_frame()
{
    paint_frame(image_menu_background);
}

// Paints one settings frame.
void paint_settings_frame()
{
    paint_frame(image_settings_background, draw_settings_extras);
}

// ---------------------------------------------------------------------------
// The question before ending with a typed system never saved

namespace
{

bool asking_to_end = false; // the question is on the menu

// TRANSLATORS: fits 76: the top line
constexpr const char *ending_question = tr_noop("Napisana sustava nie je zapisana (zapisat: S, potom W).");
// TRANSLATORS: fits 76: the top line
constexpr const char *ending_answers = tr_noop("Enter skonci program, iny klaves nie.");

// Draws a colour of the program's palette as the pixel value of the bitmap it goes on.
int pixel_of(const Colour &c)
{
    return makecol(c.r, c.g, c.b);
}

// The menu's extras while it asks: the question at the text line's place and the answers under
// it, on a dark plate like the work screen's panels, over the title.
void draw_ending_question()
{
    const Rect &plate = ending_question_plate;
    rectfill(back_buffer, plate.x1, plate.y1, plate.x2, plate.y2, pixel_of(panel_fill_colour));
    rect(back_buffer, plate.x1, plate.y1, plate.x2, plate.y2, pixel_of(panel_border_colour));
    const int white = makecol(255, 255, 255);
    textout_ex(back_buffer, font, tr(ending_question), text_line_x, text_line_y, white, -1);
    textout_ex(back_buffer, font, tr(ending_answers), text_line_x, ending_question_second_y, white,
               -1);
}

// Paints one menu frame with the question on it.
void paint_question_frame()
{
    paint_frame(image_menu_background, draw_ending_question);
}

// Asks and waits for the answer: Enter says end; any other key (let go first) or a click (let
// go, and doing nothing else) says stay. The key that asked is let go before the answer is
// read. Any request to end meanwhile (the close button again, a signal) ends at once.
bool answer_to_ending()
{
    hold_while_keys(KEY_ESC, KEY_K, paint_question_frame);
    clear_keybuf();
    while (!keypressed() && !left_button_down() && !quit_requested)
        paint_question_frame();
    if (quit_requested)
        return true;
    if (!keypressed()) {
        hold_while_button(paint_question_frame);
        return quit_requested != 0;
    }
    const int scancode = readkey() >> 8;
    if (scancode == KEY_ENTER || scancode == KEY_ENTER_PAD)
        return true;
    hold_while_key(scancode, paint_question_frame);
    clear_keybuf();
    return quit_requested != 0;
}

// True when the program may end: at once after a signal or a display that cannot be restored,
// or when no typed system would be lost; else as the user answers the question. The close
// button's request waits for the answer, so that staying leaves the learner on the menu with
// the system in the store.
bool ending_confirmed()
{
    if (quit_signal || exit_code || !typed_system_unsaved())
        return true;
    const bool closing = quit_requested != 0; // the close button asked, not the menu's keys
    quit_requested = 0;
    if (quit_signal)
        quit_requested = 1; // a signal that came meanwhile still ends at once
    asking_to_end = true;
    const bool ends = answer_to_ending();
    asking_to_end = false;
    if (ends && closing)
        quit_requested = 1;
    return ends;
}

} // namespace

// True while the menu asks whether to end with a typed system never saved.
bool ending_question_shown()
{
    return asking_to_end;
}

// ---------------------------------------------------------------------------
// Menu

// Key rows of the menu; returns 1 when the menu is to quit.
static int menu_keys()
{
    if (key[KEY_ESC] || key[KEY_K])
        return 1;
    if (key[KEY_S]) {
        line_text[0] = '\0';
        hold_while_key(KEY_S, paint_work_frame);
        work_screen();
        paint_menu_frame();
    }
    if (key[KEY_N]) {
        hold_while_key(KEY_N, paint_settings_frame);
        settings_screen();
        paint_menu_frame();
    }
    return 0;
}

// Click rows of the menu, after release; returns 1 when the menu is to quit.
static int menu_clicks()
{
    if (mouse_in(menu_quit_button))
        return 1;
    if (mouse_in(menu_settings_button)) {
        settings_screen();
        paint_menu_frame();
    }
    if (mouse_in(menu_work_button)) {
        work_screen();
        paint_menu_frame();
    }
    return 0;
}

// Runs the menu until the user quits, and asks first when that would lose a typed system; it
// empties the key buffer on every pass.
void menu_screen()
{
    do {
        while (!quit_requested) {
            clear_keybuf();
            paint_menu_frame();
            if (dispatch_input(menu_keys, menu_clicks, paint_menu_frame))
                break;
        }
    } while (!ending_confirmed());
}

// ---------------------------------------------------------------------------
// Settings

// Flips the pulse on or off.
static void toggle_pulse()
{
    pulse_enabled = (pulse_enabled + 1) % 2;
    remember_settings();
}

// Steps the language on (desktop, Slovak, English), shows the images of its set and remembers it.
static void next_language()
{
    choose_language((chosen_language + 1) % 3);
    reload_language_images();
    remember_settings();
}

// Makes the window a zoom step larger or smaller, and remembers the new zoom.
static void zoom_window(int step)
{
    change_zoom(step);
    remember_settings();
}

// Key rows of the settings screen; returns 1 when going back to the menu.
static int settings_keys()
{
    if (key[KEY_ESC] || key[KEY_S]) {
        hold_while_keys(KEY_ESC, KEY_S, paint_menu_frame);
        return 1;
    }
    if (key[KEY_F]) {
        hold_while_key(KEY_F, paint_settings_frame);
        toggle_display_mode();
    }
    if (key[KEY_M]) {
        hold_while_key(KEY_M, paint_settings_frame);
        toggle_pulse();
    }
    if (key[KEY_J]) {
        hold_while_key(KEY_J, paint_settings_frame);
        next_language();
    }
    if (key[KEY_EQUALS] || key[KEY_PLUS_PAD]) { // + is shift and = on most keyboards
        hold_while_keys(KEY_EQUALS, KEY_PLUS_PAD, paint_settings_frame);
        zoom_window(+1);
    }
    if (key[KEY_MINUS] || key[KEY_MINUS_PAD]) {
        hold_while_keys(KEY_MINUS, KEY_MINUS_PAD, paint_settings_frame);
        zoom_window(-1);
    }
    return 0;
}

// Click rows of the settings screen; returns 1 when going back to the menu.
static int settings_clicks()
{
    if (mouse_in(settings_back_button))
        return 1;
    if (mouse_in(settings_display_button))
        toggle_display_mode();
    if (mouse_in(settings_pulse_button))
        toggle_pulse();
    if (mouse_in(settings_language_button))
        next_language();
    return 0;
}

// Runs the settings screen until the user goes back.
void settings_screen()
{
    while (!quit_requested) {
        paint_settings_frame();
        if (dispatch_input(settings_keys, settings_clicks, paint_settings_frame))
            return;
    }
}
