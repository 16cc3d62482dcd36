// The display: a 640x480 frame shown in a window zoomed by a whole factor, or full screen at the
// largest whole factor the display allows.
#pragma once

#include "layout.h"

#include <array>
#include <string>

constexpr int min_zoom = 1;
constexpr int max_zoom = 4;

extern int windowed;     // 1 in a window, 0 full screen (open_display, the mode switches write)
extern int window_zoom;  // 1..4: the window is this many times 640x480 in this run (main sets
                         // it, the display code lowers it to what fits the desktop)
extern int chosen_zoom;  // 1..4: the zoom the user chose, the one remembered between runs;
                         // larger than window_zoom when the desktop has no room for it (main,
                         // change_zoom write)
extern int zoom_refused; // a zoom asked for in this run whose window does not fit the desktop,
                         // 0 for none (the display code writes; the settings screen says it)

// The largest zoom from 1 to max_zoom whose window, 640x480 times the zoom, fits a desktop of
// width x height; 1 when not even that does.
constexpr int largest_fitting_zoom(int width, int height)
{
    int zoom = max_zoom;
    while (zoom > min_zoom && (screen_width * zoom > width || screen_height * zoom > height))
        zoom--;
    return zoom;
}

// Opens the display: a 16-bit window, else a 24-bit window (first at window_zoom, then, when
// that size is refused, at 640x480), else the library's safe mode. A window_zoom whose window
// does not fit the desktop is first lowered to the largest that does. 0 on success, 1 when
// every mode was refused (the caller reports it).
int open_display();

// Switches between window and full screen. Full screen asks for the display's own size first
// (the frame scaled up and centred on black), then for 640x480. A refused switch restores the
// previous mode; if even that fails, the safe mode; with no display left the program ends
// with code 1.
void toggle_display_mode();

// Makes the window one zoom step larger (+1) or smaller (-1) at once, within 1..4; only in a
// window. A zoom whose window does not fit the desktop, or that the display refuses, keeps the
// previous one (the first is noted in zoom_refused).
void change_zoom(int step);

// The settings screen's two lines on the zoom in use: "Zvacsenie okna: 2x" or
// "Cela obrazovka: 3x", then, in a window, "(3x sa nezmesti)" when a zoom asked for did not
// fit, else "".
std::array<std::string, 2> zoom_note();
