// The display: a 640x480 frame shown in a window, zoomed by a whole factor, or full screen.
#pragma once

constexpr int min_zoom = 1;
constexpr int max_zoom = 4;

extern int windowed;    // 1 in a window, 0 full screen (open_display, the mode switches write)
extern int window_zoom; // 1..4: a window is this many times 640x480 (start-up and the
                        // settings screen write it; full screen always shows 640x480)

// Opens the display: a 16-bit window, else a 24-bit window (first at window_zoom, then, when
// that size is refused, at 640x480), else the library's safe mode. 0 on success, 1 when every
// mode was refused (the caller reports it).
int open_display();

// Switches between window and full screen. A refused switch restores the previous mode;
// if even that fails, the safe mode; with no display left the program ends with code 1.
void toggle_display_mode();

// Makes the window one zoom step larger (+1) or smaller (-1) at once, within 1..4; only in a
// window. A refused size keeps the previous one.
void change_zoom(int step);
