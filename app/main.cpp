// Entry point: start-up, the menu with everything nested in it, and shutdown.
#include "../matrix/store.h"
#include "frame.h"
#include "images.h"
#include "screens.h"
#include "startup.h"

#include <allegro.h>

// Starts the program, runs the menu until the user quits and releases what it holds.
int main()
{
    if (init_graphics() != 0)
        return 1;
    if (load_images() != 0) {
        release_images();
        return 1;
    }
    LOCK_VARIABLE(pulse_level);
    LOCK_VARIABLE(pulse_enabled);
    LOCK_FUNCTION(pulse_tick);
    install_int(pulse_tick, 20);
    install_close_button();
    matrix_order = 0;
    line_text[0] = '\0';
    status_text[0] = '\0';
    menu_screen();
    remove_int(pulse_tick);
    release_images();
    return exit_code;
}
END_OF_MAIN()
