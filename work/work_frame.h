// The work screen's frame: its background, the text line and the matrix, with a picture laid
// over it when one is open (the file selector).
#pragma once

#include "../platform/frame.h"

// Draws the work screen's extras into back_buffer: the text line and the matrix grid.
void draw_work_extras();

// Composes one work frame into back_buffer without showing it.
void compose_work_frame(const FrameOverlay &overlay = FrameOverlay{});

// Waits for the retrace, composes a work frame and shows it.
void paint_work_frame();

// Paints one work frame with a picture laid over it, under the pointer.
void paint_work_frame_under(const FrameOverlay &overlay);
