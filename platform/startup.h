// Start-up: the library, input, the timer and a 640x480 display with its fall-backs.
#pragma once

#include "../matrix/translation.h"

// The window's title, also how tests find the window.
constexpr const char *window_title = tr_noop("Gauss-Jordanova eliminacia");

// Brings up the library, input, timer and the display (see open_display): 0 on success,
// 1 on failure (message already shown).
int init_graphics();

// Switches to the text mode and shows a start-up failure with the library's reason.
void report_fatal(const char *message, const char *reason);
