// Frame painting: the pulsing background, a screen's image, what the screen draws over it and
// the pointer, composed off screen and shown in one piece.
#include "frame.h"

#include "images.h"
#include "input.h"
#include "layout.h"

#include <atomic>
#include <cstring>

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

// Composes one whole frame into back_buffer: background colour, image, extras, overlay,
// pointer. The image's transparent (mask-coloured) pixels let the background colour show.
void compose_frame(ImageSlot background, FrameExtras extras, const FrameOverlay &overlay)
{
    clear_to_color(back_buffer, makecol(pulse_level, pulse_level, 255));
    draw_rle_sprite(back_buffer, background_sprites[background], 0, 0); // same as draw_sprite
    if (extras)
        extras();
    if (overlay.bitmap)
        blit(overlay.bitmap, back_buffer, overlay.area.x1, overlay.area.y1, overlay.x, overlay.y,
             overlay.area.x2 - overlay.area.x1, overlay.area.y2 - overlay.area.y1);
    draw_sprite(back_buffer, pointer_image, pointer_x() - pointer_hot_x,
                pointer_y() - pointer_hot_y);
}

namespace
{

std::atomic<int> shown_frame_known{0}; // shown_buffer holds what the display shows

} // namespace

// The first and last row plus one in which two 640x480 bitmaps of one colour depth differ;
// false when they are the same.
static bool changed_rows(BITMAP *now, BITMAP *before, int &top, int &bottom)
{
    const int bytes_per_pixel = (bitmap_color_depth(now) + 7) / 8;
    const std::size_t row_bytes = static_cast<std::size_t>(screen_width * bytes_per_pixel);
    top = 0;
    while (top < screen_height && std::memcmp(now->line[top], before->line[top], row_bytes) == 0)
        top++;
    if (top == screen_height)
        return false;
    bottom = screen_height;
    while (std::memcmp(now->line[bottom - 1], before->line[bottom - 1], row_bytes) == 0)
        bottom--;
    return true;
}

// Copies rows top..bottom-1 of the frame to the display where the placement puts it.
void copy_rows_to(BITMAP *display, BITMAP *frame, int top, int bottom,
                  const FramePlacement &placement)
{
    const int rows = bottom - top;
    const int scale = placement.scale;
    if (scale == 1)
        blit(frame, display, 0, top, placement.x, placement.y + top, screen_width, rows);
    else
        stretch_blit(frame, display, 0, top, screen_width, rows, placement.x,
                     placement.y + top * scale, screen_width * scale, rows * scale);
}

// Paints the display black around a frame placed at `placement`.
static void clear_around_frame(BITMAP *display, const FramePlacement &placement)
{
    const int right = placement.x + screen_width * placement.scale;
    const int bottom = placement.y + screen_height * placement.scale;
    const int black = makecol(0, 0, 0);
    if (placement.y > 0)
        rectfill(display, 0, 0, display->w - 1, placement.y - 1, black);
    if (bottom < display->h)
        rectfill(display, 0, bottom, display->w - 1, display->h - 1, black);
    if (placement.x > 0)
        rectfill(display, 0, placement.y, placement.x - 1, bottom - 1, black);
    if (right < display->w)
        rectfill(display, right, placement.y, display->w - 1, bottom - 1, black);
}

// Shows back_buffer, copying only the band of rows that changed; a whole copy also paints
// the display black around the frame.
void show_frame()
{
    int top = 0;
    int bottom = screen_height;
    // Marked known and tested in one step: a switch-in that forgets the display's picture
    // between a test and a store would otherwise be lost, and the whole frame never copied.
    const bool known = shown_frame_known.exchange(1);
    if (known && !changed_rows(back_buffer, shown_buffer, top, bottom))
        return;
    const FramePlacement placement{frame_scale, frame_left, frame_top};
    if (!known)
        clear_around_frame(screen, placement);
    copy_rows_to(screen, back_buffer, top, bottom, placement);
    blit(back_buffer, shown_buffer, 0, top, 0, top, screen_width, bottom - top);
}

// Makes the next frame be copied whole.
void forget_shown_frame()
{
    shown_frame_known = 0;
}

// Waits for the retrace, composes the frame and shows what changed.
void paint_frame(ImageSlot background, FrameExtras extras, const FrameOverlay &overlay)
{
    if (!gfx_driver || !screen)
        return; // the display is gone and the program is ending
    vsync();
    compose_frame(background, extras, overlay);
    show_frame();
    track_button_presses();
}
