// Bringing a row to lowest terms on screen, one Euclid step per frame.
#include "row_ops.h"

#include "../app/frame.h"
#include "../app/images.h"
#include "../app/layout.h"
#include "matrix_view.h"
#include "row_arith.h"
#include "store.h"

// Runs Euclid's loop on one cell, one frame per step (several steps per frame only when
// the cell would otherwise take more than max_reduce_frames frames).
static void reduce_cell_on_screen(Fraction &value)
{
    if (reduce_without_euclid(value.num, value.den))
        return;
    pointer_image = images[image_busy_pointer];
    const int per_frame = euclid_steps_per_frame(euclid_step_count(value.num, value.den));
    mpz_class x = value.num;
    mpz_class y = value.den;
    while (x != 0) {
        update_readout();
        paint_work_frame();
        for (int step = 0; step < per_frame && x != 0; step++)
            euclid_step(x, y);
    }
    divide_by_divisor(value.num, value.den, y);
}

// Reduces every cell of row r to lowest terms, animating the work.
void reduce_row(int r)
{
    for (int c = 0; c <= matrix_order; c++)
        reduce_cell_on_screen(cell(r, c));
    pointer_image = images[image_normal_pointer];
    paint_work_frame();
}
