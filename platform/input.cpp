// Input as the program sees it: the pointer in frame coordinates, the buttons, the presses a
// step has already acted on, and the input half of a screen loop's pass.
#include "input.h"

#include "clock.h"
#include "quit.h"

#include <allegro.h>

#include <algorithm>

int frame_scale = 1;
int frame_left = 0;
int frame_top = 0;

namespace
{

// One button's press as far as the program has used it.
struct Press {
    int taken = 0;          // the press now down has been acted on
    long long taken_at = 0; // when it was first acted on
};

Press left_press;
Press right_press;

constexpr int left_bit = 1;
constexpr int right_bit = 2;

} // namespace

// The pointer's x in the frame.
int pointer_x()
{
    return std::clamp(frame_coordinate(mouse_x, frame_scale, frame_left), 0, screen_width - 1);
}

// The pointer's y in the frame.
int pointer_y()
{
    return std::clamp(frame_coordinate(mouse_y, frame_scale, frame_top), 0, screen_height - 1);
}

// 1 when the pointer is strictly inside r, else 0.
int mouse_in(const Rect &r)
{
    return rect_contains(r, pointer_x(), pointer_y()) ? 1 : 0;
}

// 1 while the left mouse button is down.
int left_button_down()
{
    return (mouse_b & left_bit) ? 1 : 0;
}

// Notes released buttons, so that the next press counts as new.
void track_button_presses()
{
    const int buttons = mouse_b;
    if (!(buttons & left_bit))
        left_press.taken = 0;
    if (!(buttons & right_bit))
        right_press.taken = 0;
}

// 1 when a left press is there to act on: new, or held past the hold delay.
int left_press_ready()
{
    track_button_presses();
    if (!left_button_down())
        return 0;
    return !left_press.taken || elapsed_ms() - left_press.taken_at >= hold_delay_ms;
}

// Marks the left press as acted on; a held press keeps the time it was first acted on.
void take_left_press()
{
    if (!left_press.taken)
        left_press.taken_at = elapsed_ms();
    left_press.taken = 1;
}

// 1 while the left button is still down from a press something has acted on.
int left_press_taken()
{
    track_button_presses();
    return left_press.taken;
}

// 1 when the right button is down with a press nothing has acted on yet.
int right_press_ready()
{
    track_button_presses();
    return (mouse_b & right_bit) && !right_press.taken;
}

// Marks the right press as acted on.
void take_right_press()
{
    right_press.taken = 1;
}

// Repaints a frame while the key is held, so its action runs after release.
void hold_while_key(int scancode, void (*paint)())
{
    while (key[scancode] && !quit_requested)
        paint();
}

// Repaints a frame while either key is held.
void hold_while_keys(int first, int second, void (*paint)())
{
    while ((key[first] || key[second]) && !quit_requested)
        paint();
}

// Repaints a frame until the left button is released.
void hold_while_button(void (*paint)())
{
    while (left_button_down() && !quit_requested)
        paint();
}

// The input half of one screen pass: the key rows when a key is waiting, then the click rows
// once the left button is released. Returns 1 when a row ends the screen's loop.
int dispatch_input(int (*keys)(), int (*clicks)(), void (*paint)())
{
    if (keypressed() && keys())
        return 1;
    if (left_button_down()) {
        hold_while_button(paint);
        if (quit_requested || clicks())
            return 1;
    }
    return 0;
}
