// Frame painting: the pulsing background, the screen images, their extras and the pointer.
#pragma once

#include <allegro.h>

extern volatile int pulse_enabled; // 1 while the background pulses (settings screen writes)
extern volatile int pulse_level;   // 0..255, blue to white (only pulse_tick writes)
extern BITMAP *pointer_image;      // normal or busy pointer (load_images, reduce_row write)

// The timer callback, every 20 ms: moves pulse_level one step, the parity giving the direction.
void pulse_tick();

// The three kinds of frame, one per screen.
enum FrameKind { menu_frame, settings_frame, work_frame };

// Composes one whole frame of the given kind into back_buffer, without showing it.
void compose_frame(FrameKind kind);

// Copies rows top..bottom-1 of a 640x480 frame to the display, scaled up by `scale`
// without smoothing.
void copy_rows_to(BITMAP *display, BITMAP *frame, int top, int bottom, int scale);

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
