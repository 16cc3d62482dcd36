// The work screen's frame: its background, the text line and the matrix, with a picture laid
// over it when one is open (the file selector).
#include "work_frame.h"

#include "../matrix/store.h"
#include "../platform/images.h"
#include "../platform/layout.h"
#include "matrix_view.h"

#include <allegro.h>

// Draws the text line and the matrix grid.
void draw_work_extras()
{
    textout_ex(back_buffer, font, line_text, text_line_x, text_line_y, makecol(255, 255, 255), -1);
    draw_matrix();
}

// Composes one work frame into back_buffer.
void compose_work_frame(const FrameOverlay &overlay)
{
    compose_frame(image_work_background, draw_work_extras, overlay);
}

// Paints one work frame.
void paint_work_frame()
{
    paint_frame(image_work_background, draw_work_extras);
}

// Paints one work frame with a picture laid over it, under the pointer.
void paint_work_frame_under(const FrameOverlay &overlay)
{
    paint_frame(image_work_background, draw_work_extras, overlay);
}
