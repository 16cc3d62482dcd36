// Bringing a row to lowest terms on screen, one Euclid step per frame.
#pragma once

// Reduces every cell of row r to lowest terms, animating Euclid's loop under the busy
// pointer; ends with the normal pointer and one repaint of the work frame. Once the program
// must end (quit_requested) it paints nothing more and brings the rest of the row to lowest
// terms at once, exactly as the animation would have left it.
void reduce_row(int r);
