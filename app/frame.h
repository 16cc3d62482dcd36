// Frame painting: the pulsing background, the screen images, their extras and the pointer.
#pragma once

#include "layout.h"

#include <allegro.h>

extern volatile int pulse_enabled; // 1 while the background pulses (settings screen writes)
extern volatile int pulse_level;   // 0..255, blue to white (only pulse_tick writes)
extern BITMAP *pointer_image;      // normal or busy pointer (load_images, reduce_row write)

// The timer callback, every 20 ms: moves pulse_level one step, the parity giving the direction.
void pulse_tick();

// The three kinds of frame, one per screen.
enum FrameKind { menu_frame, settings_frame, work_frame };

// A picture laid over a frame, under the pointer: the rectangle `area` of `bitmap`, drawn with
// its top-left corner at (x, y) of the frame.
struct FrameOverlay {
    BITMAP *bitmap = nullptr; // nullptr: none
    Rect area{0, 0, 0, 0};    // x2 and y2 exclusive
    int x = 0;
    int y = 0;
};

// Composes one whole frame of the given kind into back_buffer, with the overlay (if any) over
// its extras and under the pointer, without showing it.
void compose_frame(FrameKind kind, const FrameOverlay &overlay = FrameOverlay{});

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

// Each waits for the retrace, composes its screen's frame and shows it.
void paint_menu_frame();
void paint_settings_frame();
void paint_work_frame();

// Paints one work frame with a picture laid over it, under the pointer.
void paint_work_frame_under(const FrameOverlay &overlay);
