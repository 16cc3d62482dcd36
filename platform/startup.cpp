// Start-up: the library, input, the timer and a 640x480 display with its fall-backs.
#include "startup.h"
#include "../matrix/translation.h"

#include "display.h"

#include <allegro.h>

// Switches to the text mode and shows a start-up failure with the library's reason.
void report_fatal(const char *message, const char *reason)
{
    set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
    allegro_message("%s\n%s\n", message, reason);
}

// Brings up the library, input, timer and the display.
int init_graphics()
{
    // Every text is UTF-8 (the library's default, stated here because typed names and the
    // file selector's paths rely on it): the program's own texts are ASCII, which reads the
    // same, and a name keeps its diacritics as the keyboard gives them and the disk holds them.
    set_uformat(U_UTF8);
    if (allegro_init() != 0) {
        // No display to open a window on (or no system driver): say so on the console.
        allegro_message("%s\n%s\n", tr("Zlyhala grafika."),
                        allegro_error[0] ? allegro_error
                                         : tr("Kniznica sa nespustila (chyba displej?)"));
        return 1;
    }
    install_mouse();
    install_keyboard();
    install_timer();
    if (open_display() == 0)
        return 0;
    report_fatal(tr("Zlyhala grafika."), allegro_error);
    return 1;
}
