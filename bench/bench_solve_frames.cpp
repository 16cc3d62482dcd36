// Solves the worst system the loader accepts on screen, frame by frame, and reports how long
// the program's own work took in its slowest frames: everything between two retrace waits
// but the copy to the display, which costs the same whatever the matrix holds (it is timed
// apart). The system is 10x10 with every entry as long as the loader allows; the run steps
// through every gate and goes back a step near the end, which solves the system again at once.
// Given "inverse", it times I instead: [A | I] of a 5x5 system of such entries, the largest the
// screen inverts, solved on to the reduced form the same way.
#include "app/screens.h"
#include "matrix/matrix_file.h"
#include "matrix/store.h"
#include "platform/frame.h"
#include "platform/images.h"
#include "platform/input.h"
#include "platform/layout.h"
#include "platform/quit.h"
#include "work/inversion.h"
#include "work/matrix_view.h"
#include "work/solver.h"
#include "work/work_frame.h"
#include "work/work_screen.h"

#include <allegro.h>
#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace
{

using Clock = std::chrono::steady_clock;

std::vector<double> frame_ms;    // the program's own work in each frame
std::vector<double> copy_ms;     // the copy to the display in each frame
double copying = 0;              // ms spent copying to the display in the frame so far
Clock::time_point frame_started; // when the last retrace wait returned
bool measuring = false;
int rest_frames = 0;               // frames in a row the solve has waited with nothing to do
std::string last_status;           // the status text in the previous frame
std::string last_caption;          // the caption in the previous frame
int gates_answered = 0;            // gates answered so far
int went_back_at_gate = -1;        // the gate at which the run went back
std::string back_at = "Krok 100 "; // the caption's start at whose gate the run goes back

} // namespace

// The program's retrace wait: notes how long the frame's work took and, when the solve
// waits at a gate or at its final message, presses a key as a learner would.
extern "C" void vsync(void)
{
    const Clock::time_point now = Clock::now();
    if (measuring) {
        const double all = std::chrono::duration<double, std::milli>(now - frame_started).count();
        frame_ms.push_back(all - copying);
        copy_ms.push_back(copying);
    }
    measuring = true;
    copying = 0;
    const bool resting = !keypressed() && last_status == status_text &&
                         last_caption == shown_step.caption &&
                         pointer_image == images[image_normal_pointer];
    rest_frames = resting ? rest_frames + 1 : 0;
    last_status = status_text;
    last_caption = shown_step.caption;
    if (rest_frames >= 2) {
        rest_frames = 0;
        gates_answered++;
        const bool back = went_back_at_gate < 0 && shown_step.caption.rfind(back_at, 0) == 0;
        if (back)
            went_back_at_gate = gates_answered;
        simulate_keypress(back ? (KEY_BACKSPACE << 8) | 8 : (KEY_SPACE << 8) | ' ');
    }
    frame_started = Clock::now();
}

// The library's blit, timed when it copies to the display.
extern "C" void blit(BITMAP *source, BITMAP *dest, int source_x, int source_y, int dest_x,
                     int dest_y, int width, int height)
{
    using Blit = void (*)(BITMAP *, BITMAP *, int, int, int, int, int, int);
    static const Blit real = reinterpret_cast<Blit>(dlsym(RTLD_NEXT, "blit"));
    const Clock::time_point start = Clock::now();
    real(source, dest, source_x, source_y, dest_x, dest_y, width, height);
    if (dest == screen)
        copying += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A signed random integer of exactly `digits` digits.
static std::string random_entry(std::mt19937_64 &random, std::size_t digits)
{
    std::string text = random() % 2 ? "-" : "";
    text += static_cast<char>('1' + random() % 9);
    while (text.size() < digits + (text[0] == '-' ? 1 : 0))
        text += static_cast<char>('0' + random() % 10);
    return text;
}

// Usage: bench_solve_frames IMAGE_DIR [DIGITS [inverse]]: DIGITS (the loader's limit by default)
// is the length of every entry; "inverse" times I on a 5x5 instead of R on a 10x10. Needs an X
// display (run it under xvfb-run).
int main(int argc, char **argv)
{
    const bool inverse = argc == 4 && std::string(argv[3]) == "inverse";
    if (argc < 2 || (argc == 4 && !inverse) || argc > 4 || chdir(argv[1]) != 0) {
        std::fprintf(stderr, "usage: %s IMAGE_DIR [DIGITS [inverse]]\n", argv[0]);
        return 2;
    }
    const std::size_t digits =
        argc == 3 ? static_cast<std::size_t>(std::atoi(argv[2])) : max_entry_digits;
    if (allegro_init() != 0 || install_keyboard() != 0 || install_timer() != 0) {
        std::fprintf(stderr, "the library did not start: %s\n", allegro_error);
        return 2;
    }
    set_color_depth(16);
    if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, screen_width, screen_height, 0, 0) != 0 ||
        load_images() != 0) {
        std::fprintf(stderr, "no window or no images: %s\n", allegro_error);
        return 2;
    }
    std::mt19937_64 random(7);
    const int order = inverse ? max_screen_inverse_order : max_matrix_order;
    matrix_shape = square_shape(order);
    for (int r = 0; r < matrix_shape.rows; r++)
        for (int c = 0; c < matrix_shape.columns(); c++)
            cell(r, c) = Fraction{mpz_class(random_entry(random, digits)), 1};
    new_matrix(); // the system as loaded, which I inverts
    if (inverse)
        back_at = "Krok 20 ";
    mouse_x = grid_column_centre(inverse ? 9 : 10); // over the last cell of the first row
    mouse_y = grid_row_top(0);
    for (int frame = 0; frame < 5; frame++)
        paint_work_frame(); // as in the program, where frames were painted before the solve
    frame_ms.clear();
    copy_ms.clear();
    gates_answered = 0;
    rest_frames = 0;
    clear_keybuf();
    frame_started = Clock::now(); // the first frame includes counting the solve's steps
    measuring = true;
    if (inverse)
        invert_matrix();
    else
        solve();
    std::sort(frame_ms.begin(), frame_ms.end());
    std::sort(copy_ms.begin(), copy_ms.end());
    const std::size_t n = frame_ms.size();
    std::printf("%s on screen, %s of %zu-digit entries: %zu frames, %d inputs, went back at "
                "input %d\n",
                inverse ? "I ([A | I])" : "solve", inverse ? "5x5" : "10x10", digits, n,
                gates_answered, went_back_at_gate);
    std::printf("the program's own work per frame, without the copy to the display: median %.3f "
                "ms, 99th percentile %.3f ms, "
                "longest %.3f ms\n",
                frame_ms[n / 2], frame_ms[n * 99 / 100], frame_ms.back());
    std::printf("the copy to the display per frame: median %.3f ms, longest %.3f ms\n",
                copy_ms[n / 2], copy_ms.back());
    release_images();
    return went_back_at_gate > 0 ? 0 : 1;
}
END_OF_MAIN()
