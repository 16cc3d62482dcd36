// Input as the program sees it: the pointer in frame coordinates, the buttons, the presses a
// step has already acted on, and the input half of a screen loop's pass.
#pragma once

#include "layout.h"

// How long a left press must be held before holding it acts again, as a held key repeats.
constexpr long long hold_delay_ms = 500;

extern int frame_scale; // display pixels per frame pixel: the zoom in a window, the largest
                        // whole factor that fits full screen (the display code writes it, and
                        // the two below, whenever the mode changes)
extern int frame_left;  // where the frame's left edge lies on the display: 0 in a window
extern int frame_top;   // where the frame's top edge lies on the display: 0 in a window

// The pointer's position in the 640x480 frame, whatever the window's zoom; a pointer on the
// black around a full-screen frame is taken to the frame's nearest edge.
int pointer_x();
int pointer_y();

// 1 when the pointer is strictly inside r, else 0.
int mouse_in(const Rect &r);

// 1 while the left mouse button is down.
int left_button_down();

// Notes released buttons, so that the next press counts as new; called once per frame.
void track_button_presses();

// 1 when the left button is down with a press nothing has acted on yet, or with a press
// held for hold_delay_ms since it was first acted on.
int left_press_ready();

// Marks the left press as acted on.
void take_left_press();

// 1 while the left button is still down from a press something has acted on.
int left_press_taken();

// 1 when the right button is down with a press nothing has acted on yet.
int right_press_ready();

// Marks the right press as acted on.
void take_right_press();

// Paints frames with `paint` while the key is held (or either of two keys), so that the action
// of a key runs once it is let go.
void hold_while_key(int scancode, void (*paint)());
void hold_while_keys(int first, int second, void (*paint)());

// Paints frames with `paint` until the left button is released.
void hold_while_button(void (*paint)());

// The input half of one pass of a screen loop: the key rows when a key is waiting, then the
// click rows once the left button is released (each returns 1 to end the loop). Returns 1
// when a row ends the screen's loop, or the program must end.
int dispatch_input(int (*keys)(), int (*clicks)(), void (*paint)());
