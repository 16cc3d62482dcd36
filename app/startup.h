// Start-up: the library, input, the timer and a 640x480 display with its fall-backs.
#pragma once

// The window's title, also how tests find the window.
constexpr const char *window_title = "Gauss-Jordanova eliminacia";

extern int windowed; // 1 in a window, 0 full screen (init_graphics, toggle_display_mode write)

// Brings up the library, input, timer and a 640x480 display: 0 on success, 1 on failure
// (message already shown).
int init_graphics();

// Switches to the text mode and shows a start-up failure with the library's reason.
void report_fatal(const char *message, const char *reason);
