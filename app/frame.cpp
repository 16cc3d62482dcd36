// Frame painting: the pulsing background, the screen images, their extras and the pointer.
#include "frame.h"

#include "../matrix/matrix_view.h"
#include "../matrix/store.h"
#include "images.h"
#include "input.h"
#include "layout.h"

volatile int pulse_enabled = 1;
volatile int pulse_level = 128;
BITMAP *pointer_image = nullptr;

// Moves pulse_level one step: odd levels rise, even ones fall, and each end turns back.
void pulse_tick()
{
    if (!pulse_enabled)
        pulse_level = 128;
    else if (pulse_level == 255)
        pulse_level = 254;
    else if (pulse_level == 0)
        pulse_level = 1;
    else if (pulse_level % 2 == 1)
        pulse_level += 2;
    else
        pulse_level -= 2;
}
END_OF_FUNCTION(pulse_tick)

// The screen's extras: the pulse indicator on the settings screen; the text line and
// the matrix on the work screen.
static void draw_extras(FrameKind kind)
{
    if (kind == settings_frame) {
        BITMAP *indicator = pulse_enabled ? images[image_pulse_on] : images[image_pulse_off];
        draw_sprite(back_buffer, indicator, indicator_x, indicator_y);
    } else if (kind == work_frame) {
        textout_ex(back_buffer, font, line_text, text_line_x, text_line_y, makecol(255, 255, 255),
                   -1);
        draw_matrix();
    }
}

// Composes one whole frame into back_buffer: background colour, image, extras, pointer.
// The image's transparent (mask-coloured) pixels let the background colour show.
void compose_frame(FrameKind kind)
{
    clear_to_color(back_buffer, makecol(pulse_level, pulse_level, 255));
    draw_rle_sprite(back_buffer, background_sprites[kind], 0, 0); // same as draw_sprite
    draw_extras(kind);
    draw_sprite(back_buffer, pointer_image, pointer_x() - pointer_hot_x,
                pointer_y() - pointer_hot_y);
}

// Waits for the retrace, composes the frame and copies it to the display in one piece.
static void paint_frame(FrameKind kind)
{
    if (!gfx_driver || !screen)
        return; // the display is gone and the program is ending
    vsync();
    compose_frame(kind);
    blit(back_buffer, screen, 0, 0, 0, 0, screen_width, screen_height);
    track_button_presses();
}

// Paints one menu frame.
void paint_menu_frame()
{
    paint_frame(menu_frame);
}

// Paints one settings frame.
void paint_settings_frame()
{
    paint_frame(settings_frame);
}

// Paints one work frame.
void paint_work_frame()
{
    paint_frame(work_frame);
}
