// Frame painting: the pulsing background, a screen's image, what the screen draws over it and
// the pointer, composed off screen and shown in one piece.
#pragma once

#include "images.h"
#include "layout.h"

#include <allegro.h>

extern volatile int pulse_enabled; // 1 while the background pulses (settings screen writes)
extern volatile int pulse_level;   // 0..255, blue to white (only pulse_tick writes)
extern BITMAP *pointer_image;      // normal or busy pointer (load_images, reduce_row write)

// The timer callback, every 20 ms: moves pulse_level one step, the parity giving the direction.
void pulse_tick();

// A picture laid over a frame, under the pointer: the rectangle `area` of `bitmap`, drawn with
// its top-left corner at (x, y) of the frame.
struct FrameOverlay {
    BITMAP *bitmap = nullptr; // nullptr: none
    Rect area{0, 0, 0, 0};    // x2 and y2 exclusive
    int x = 0;
    int y = 0;
};

// What a screen draws over its background image into back_buffer (its texts, its indicators);
// nullptr for nothing.
using FrameExtras = void (*)();

// Composes one whole frame into back_buffer without showing it: the pulsing colour, the
// background image `background`, the screen's `extras`, the overlay (if any) and the pointer.
void compose_frame(ImageSlot background, FrameExtras extras = nullptr,
                   const FrameOverlay &overlay = FrameOverlay{});

// Copies rows top..bottom-1 of a 640x480 frame to the display where `placement` puts it,
// scaled up without smoothing.
void copy_rows_to(BITMAP *display, BITMAP *frame, int top, int bottom,
                  const FramePlacement &placement);

// Shows back_buffer: copies to the display only the band of rows that differs from what the
// display shows already, or nothing when no row does.
void show_frame();

// Makes the next frame be copied whole: the display's picture is not known (a new mode, a
// switch back to the program). Safe to call from the library's threads.
void forget_shown_frame();

// Waits for the retrace, composes a frame as compose_frame does and shows what changed; notes
// released mouse buttons. Does nothing once the display is gone.
void paint_frame(ImageSlot background, FrameExtras extras = nullptr,
                 const FrameOverlay &overlay = FrameOverlay{});
