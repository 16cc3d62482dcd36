// The menu and the settings screen, their frames and their input dispatch.
#include "screens.h"

#include "../matrix/store.h"
#include "../platform/display.h"
#include "../platform/frame.h"
#include "../platform/images.h"
#include "../platform/input.h"
#include "../platform/layout.h"
#include "../platform/quit.h"
#include "../work/work_frame.h"
#include "../work/work_screen.h"

#include <allegro.h>

#include <array>
#include <string>

// ---------------------------------------------------------------------------
// Frames

// The settings screen's extras: the pulse indicator and, on its plate, the zoom in use.
static void draw_settings_extras()
{
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

// Runs the menu until the user quits; it empties the key buffer on every pass.
void menu_screen()
{
    while (!quit_requested) {
        clear_keybuf();
        paint_menu_frame();
        if (dispatch_input(menu_keys, menu_clicks, paint_menu_frame))
            return;
    }
}

// ---------------------------------------------------------------------------
// Settings

// Flips the pulse on or off.
static void toggle_pulse()
{
    pulse_enabled = (pulse_enabled + 1) % 2;
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
