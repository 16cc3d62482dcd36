// The display: a 640x480 frame shown in a window zoomed by a whole factor, or full screen at the
// largest whole factor the display allows.
#include "display.h"

#include "../matrix/translation.h"

#include "frame.h"
#include "input.h"
#include "quit.h"
#include "startup.h"

#include <allegro.h>

#include <array>

int windowed = 1;
int window_zoom = 1;
int chosen_zoom = 1;
int zoom_refused = 0;

namespace
{

// A display mode to ask for: windowed or full screen, and its size.
struct DisplayMode {
    int card;
    int width;
    int height;
};

// A window of 640x480 times zoom.
DisplayMode window_mode(int zoom)
{
    return {GFX_AUTODETECT_WINDOWED, screen_width * zoom, screen_height * zoom};
}

// One colour depth, mode and zoom to try when opening the display.
struct ModeAttempt {
    int depth;
    int card;
    int zoom; // 0: window_zoom
};

// The display requests in order: 16-bit and 24-bit windows at window_zoom, the same at 640x480
// when the zoomed size is refused, then the library's safe mode.
constexpr std::array<ModeAttempt, 5> mode_attempts{{
    {16, GFX_AUTODETECT_WINDOWED, 0},
    {24, GFX_AUTODETECT_WINDOWED, 0},
    {16, GFX_AUTODETECT_WINDOWED, 1},
    {24, GFX_AUTODETECT_WINDOWED, 1},
    {16, GFX_SAFE, 1},
}};

// Asks for a mode; 0 on success.
int request_mode(const DisplayMode &mode)
{
    return set_gfx_mode(mode.card, mode.width, mode.height, 0, 0);
}

// The desktop's size in pixels; false when the library cannot tell. The X11 driver learns it
// when a mode is first set, so before the first window the text mode is set, which opens none.
bool desktop_size(int &width, int &height)
{
    width = 0;
    height = 0;
    if ((get_desktop_resolution(&width, &height) != 0 || width <= 0 || height <= 0) &&
        !gfx_driver) {
        set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
        get_desktop_resolution(&width, &height);
    }
    return width > 0 && height > 0;
}

// The largest zoom whose window fits the desktop; max_zoom when its size is not known.
int fitting_zoom()
{
    int width = 0;
    int height = 0;
    return desktop_size(width, height) ? largest_fitting_zoom(width, height) : max_zoom;
}

// After any mode change: where the frame lies and how the pointer maps back to it, the
// window's title and close button, and a whole new frame on the next paint, and again
// whenever the display comes back to the program after a switch away (its picture may be
// lost then).
void mode_changed()
{
    const FramePlacement placement = frame_placement(SCREEN_W, SCREEN_H);
    frame_scale = placement.scale;
    frame_left = placement.x;
    frame_top = placement.y;
    set_window_title(tr(window_title));
    install_close_button();
    forget_shown_frame();
    remove_display_switch_callback(forget_shown_frame);
    set_display_switch_callback(SWITCH_IN, forget_shown_frame);
}

// Switches to the first of `wanted` the display grants; when it grants none, goes back to
// `previous`, then to the safe mode, and with no display left ends the program. Returns 1
// when a wanted mode was set.
template <std::size_t count>
int switch_mode(const std::array<DisplayMode, count> &wanted, const DisplayMode &previous)
{
    for (const DisplayMode &mode : wanted) {
        if (mode.width > 0 && request_mode(mode) == 0) {
            mode_changed();
            return 1;
        }
    }
    if (request_mode(previous) != 0) {
        if (set_gfx_mode(GFX_SAFE, screen_width, screen_height, 0, 0) != 0) {
            report_fatal(tr("Zlyhala grafika."), allegro_error);
            request_quit(1);
            return 0;
        }
        windowed = 1;
    }
    mode_changed();
    return 0;
}

// The full-screen modes to ask for: the display's own size when it is larger than the frame,
// then 640x480 (an unused first entry has width 0).
std::array<DisplayMode, 2> full_screen_modes()
{
    const int full = GFX_AUTODETECT_FULLSCREEN;
    int width = 0;
    int height = 0;
    const bool larger = desktop_size(width, height) &&
                        (width > screen_width || height > screen_height) && width >= screen_width &&
                        height >= screen_height;
    return {{{full, larger ? width : 0, larger ? height : 0}, {full, screen_width, screen_height}}};
}

// Lowers window_zoom, for this run, to the largest zoom whose window fits the desktop.
void fit_zoom_to_desktop()
{
    if (window_zoom <= min_zoom)
        return;
    const int fitting = fitting_zoom();
    if (window_zoom > fitting) {
        zoom_refused = window_zoom;
        window_zoom = fitting;
    }
}

} // namespace

// Opens the display with its fall-backs.
int open_display()
{
    fit_zoom_to_desktop();
    for (const ModeAttempt &attempt : mode_attempts) {
        const int zoom = attempt.zoom ? attempt.zoom : window_zoom;
        if (attempt.zoom == 1 && window_zoom == 1 && attempt.card != GFX_SAFE)
            continue; // already tried at this size
        set_color_depth(attempt.depth);
        if (request_mode({attempt.card, screen_width * zoom, screen_height * zoom}) == 0) {
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
    const DisplayMode window = window_mode(window_zoom);
    if (windowed) {
        if (switch_mode(full_screen_modes(), window))
            windowed = 0;
        return;
    }
    const DisplayMode full{GFX_AUTODETECT_FULLSCREEN, SCREEN_W, SCREEN_H};
    if (switch_mode(std::array<DisplayMode, 1>{window}, full))
        windowed = 1;
}

// Makes the window one zoom step larger or smaller at once.
void change_zoom(int step)
{
    const int zoom = window_zoom + step;
    if (!windowed || zoom < min_zoom || zoom > max_zoom)
        return;
    if (zoom > fitting_zoom()) {
        zoom_refused = zoom;
        return;
    }
    if (switch_mode(std::array<DisplayMode, 1>{window_mode(zoom)}, window_mode(window_zoom))) {
        window_zoom = zoom;
        chosen_zoom = zoom;
        zoom_refused = 0;
    }
}

// The settings screen's two lines on the zoom in use.
std::array<std::string, 2> zoom_note()
{
    // TRANSLATORS: fits 26: the settings screen's zoom plate
    const std::string first = windowed ? format_text(tr("Zvacsenie okna: %dx"), window_zoom)
                                       // TRANSLATORS: fits 26: the settings screen's zoom plate
                                       : format_text(tr("Cela obrazovka: %dx"), frame_scale);
    if (!zoom_refused || !windowed) // the refused zoom was a window's
        return {first, ""};
    // TRANSLATORS: fits 26: the settings screen's zoom plate
    return {first, format_text(tr("(%dx sa nezmesti)"), zoom_refused)};
}
