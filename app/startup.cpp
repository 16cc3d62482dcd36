// Start-up: the library, input, the timer and a 640x480 display with its fall-backs.
#include "startup.h"

#include "layout.h"

#include <allegro.h>

#include <array>

int windowed = 1;

// One colour depth and mode to try when opening the display.
struct ModeAttempt {
    int depth;
    int card;
};

// The display requests in order: 16-bit window, 24-bit window, the library's safe mode.
constexpr std::array<ModeAttempt, 3> mode_attempts{{
    {16, GFX_AUTODETECT_WINDOWED},
    {24, GFX_AUTODETECT_WINDOWED},
    {16, GFX_SAFE},
}};

// Switches to the text mode and shows a start-up failure with the library's reason.
void report_fatal(const char *message, const char *reason)
{
    set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
    allegro_message("%s\n%s\n", message, reason);
}

// Brings up the library, input, timer and a 640x480 display.
int init_graphics()
{
    if (allegro_init() != 0) {
        // No display to open a window on (or no system driver): say so on the console.
        allegro_message("%s\n%s\n", "Zlyhala grafika.",
                        allegro_error[0] ? allegro_error
                                         : "Kniznica sa nespustila (chyba displej?)");
        return 1;
    }
    install_mouse();
    install_keyboard();
    install_timer();
    for (const ModeAttempt &attempt : mode_attempts) {
        set_color_depth(attempt.depth);
        if (set_gfx_mode(attempt.card, screen_width, screen_height, 0, 0) == 0) {
            set_window_title(window_title);
            windowed = 1;
            return 0;
        }
    }
    report_fatal("Zlyhala grafika.", allegro_error);
    return 1;
}
