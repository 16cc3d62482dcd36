// The display: a 640x480 frame shown in a window, zoomed by a whole factor, or full screen.
#include "display.h"

#include "frame.h"
#include "input.h"
#include "layout.h"
#include "screens.h"
#include "startup.h"

#include <allegro.h>

#include <array>

int windowed = 1;
int window_zoom = 1;

namespace
{

// One colour depth, mode and zoom to try when opening the display.
struct ModeAttempt {
    int depth;
    int card;
    int zoom; // 0: the remembered window_zoom
};

// The display requests in order: 16-bit and 24-bit windows at the remembered zoom, the same
// at 640x480 when the zoomed size is refused, then the library's safe mode.
constexpr std::array<ModeAttempt, 5> mode_attempts{{
    {16, GFX_AUTODETECT_WINDOWED, 0},
    {24, GFX_AUTODETECT_WINDOWED, 0},
    {16, GFX_AUTODETECT_WINDOWED, 1},
    {24, GFX_AUTODETECT_WINDOWED, 1},
    {16, GFX_SAFE, 1},
}};

// Asks for a mode with a window or screen of 640x480 times zoom; 0 on success.
int request_mode(int card, int zoom)
{
    return set_gfx_mode(card, screen_width * zoom, screen_height * zoom, 0, 0);
}

// After any mode change: the pointer's scale, the window's title and close button, and a
// whole new frame on the next paint, and again whenever the display comes back to the
// program after a switch away (its picture may be lost then).
void mode_changed()
{
    frame_scale = SCREEN_W >= screen_width ? SCREEN_W / screen_width : 1;
    set_window_title(window_title);
    install_close_button();
    forget_shown_frame();
    remove_display_switch_callback(forget_shown_frame);
    set_display_switch_callback(SWITCH_IN, forget_shown_frame);
}

// Switches to `card` at `zoom`; a refused switch goes back to `previous` at `previous_zoom`,
// then to the safe mode, and with no display left ends the program. Returns 1 when the
// wanted mode was set.
int switch_mode(int card, int zoom, int previous, int previous_zoom)
{
    int switched = 1;
    if (request_mode(card, zoom) != 0) {
        switched = 0;
        if (request_mode(previous, previous_zoom) != 0) {
            if (request_mode(GFX_SAFE, 1) != 0) {
                report_fatal("Zlyhala grafika.", allegro_error);
                request_quit(1);
                return 0;
            }
            windowed = 1;
        }
    }
    mode_changed();
    return switched;
}

} // namespace

// Opens the display with its fall-backs.
int open_display()
{
    for (const ModeAttempt &attempt : mode_attempts) {
        const int zoom = attempt.zoom ? attempt.zoom : window_zoom;
        if (attempt.zoom == 1 && window_zoom == 1 && attempt.card != GFX_SAFE)
            continue; // already tried at this size
        set_color_depth(attempt.depth);
        if (request_mode(attempt.card, zoom) == 0) {
            windowed = 1;
            mode_changed();
            return 0;
        }
    }
    return 1;
}

// Switches between window and full screen.
void toggle_display_mode()
{
    const int full = GFX_AUTODETECT_FULLSCREEN;
    const int window = GFX_AUTODETECT_WINDOWED;
    if (windowed && switch_mode(full, 1, window, window_zoom))
        windowed = 0;
    else if (!windowed && switch_mode(window, window_zoom, full, 1))
        windowed = 1;
}

// Makes the window one zoom step larger or smaller at once.
void change_zoom(int step)
{
    const int zoom = window_zoom + step;
    if (!windowed || zoom < min_zoom || zoom > max_zoom)
        return;
    const int window = GFX_AUTODETECT_WINDOWED;
    if (switch_mode(window, zoom, window, window_zoom))
        window_zoom = zoom;
}
