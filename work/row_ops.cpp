// Bringing a row to lowest terms on screen, one Euclid step per frame.
#include "row_ops.h"

#include "../matrix/row_arith.h"
#include "../matrix/store.h"
#include "../platform/frame.h"
#include "../platform/images.h"
#include "../platform/layout.h"
#include "../platform/quit.h"
#include "matrix_view.h"
#include "work_frame.h"

// Cancels one cell on screen: runs Euclid's loop once for its step count and divisor, then
// paints one frame per step (or per group of steps, when the cell would otherwise take more
// than max_reduce_frames frames) before dividing. Nothing painted depends on the loop's
// intermediate values: the grid and the readout show the stored cell, which changes at the end.
// Once the program must end no more frames are painted: the cell is divided at once, so that
// the row is left in lowest terms all the same.
static void reduce_cell_on_screen(Fraction &value)
{
    if (reduce_without_euclid(value.num, value.den))
        return;
    pointer_image = images[image_busy_pointer];
    mpz_class g;
    const int steps = euclid_steps_and_divisor(value.num, value.den, g);
    const int per_frame = euclid_steps_per_frame(steps);
    const int frames = (steps + per_frame - 1) / per_frame;
    for (int frame = 0; frame < frames && !quit_requested; frame++) {
        update_readout();
        paint_work_frame();
    }
    divide_by_divisor(value.num, value.den, g);
}

// Reduces every cell of row r to lowest terms, animating the work until the program must end.
void reduce_row(int r)
{
    for (int c = 0; c < matrix_shape.columns(); c++)
        reduce_cell_on_screen(cell(r, c));
    pointer_image = images[image_normal_pointer];
    if (!quit_requested)
        paint_work_frame();
}
