// Benchmarks of composing one frame and of the exact elimination, with no display.
#include "app/frame.h"
#include "app/images.h"
#include "app/layout.h"
#include "app/startup.h"
#include "matrix/elimination.h"
#include "matrix/random_system.h"
#include "matrix/row_arith.h"
#include "matrix/store.h"
#include "work/matrix_view.h"

#include <allegro.h>
#include <benchmark/benchmark.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace
{

// Brings up the library without a display and loads the images into 16-bit bitmaps.
bool set_up_images()
{
    static bool ready = false;
    if (ready)
        return true;
    if (install_allegro(SYSTEM_NONE, &errno, std::atexit) != 0)
        return false;
    set_color_depth(16);
    set_color_conversion(COLORCONV_TOTAL | COLORCONV_KEEP_TRANS);
    for (int slot = 0; slot < image_count; slot++) {
        std::string path = std::string(ASSETS_DIR) + "/" + image_names[slot] + ".tga";
        images[slot] = load_bitmap(path.c_str(), nullptr);
        if (!images[slot])
            return false;
    }
    background_sprites = {get_rle_sprite(images[image_menu_background]),
                          get_rle_sprite(images[image_settings_background]),
                          get_rle_sprite(images[image_work_background])};
    back_buffer = create_bitmap(screen_width, screen_height);
    pointer_image = images[image_normal_pointer];
    ready = back_buffer != nullptr;
    return ready;
}

// A random integer of about `digits` decimal digits, with a random sign.
mpz_class random_value(std::mt19937_64 &random, int digits)
{
    std::string text = random() % 2 ? "-" : "";
    text += static_cast<char>('1' + random() % 9);
    for (int d = 1; d < digits; d++)
        text += static_cast<char>('0' + random() % 10);
    return mpz_class(text);
}

// Fills a system of order n with random entries of about `digits` digits.
void fill_random_system(int n, int digits, unsigned seed)
{
    std::mt19937_64 random(seed);
    matrix_order = n;
    for (int r = 0; r < n; r++)
        for (int c = 0; c <= n; c++)
            cell(r, c) = Fraction{random_value(random, digits), 1};
}

// A full 10x10 work frame: background, image, text line, grid of fractions, pointer.
void compose_work_frame(benchmark::State &state)
{
    if (!set_up_images()) {
        state.SkipWithError("images could not be loaded");
        return;
    }
    fill_random_system(10, 6, 1);
    scale_pivot_row(0); // fractions in the first row, so the grid shows decimals
    std::snprintf(line_text, sizeof line_text, "%s", "123456789 / 987654321");
    for (auto _ : state)
        compose_frame(work_frame);
}
BENCHMARK(compose_work_frame)->Unit(benchmark::kMicrosecond);

// A work frame with the grid editor open on a 10x10 of 120-digit entries: the draft drawn in
// place of the store, its framed cell, the line of the entry being typed and the keys.
void compose_editor_frame(benchmark::State &state)
{
    if (!set_up_images()) {
        state.SkipWithError("images could not be loaded");
        return;
    }
    fill_random_system(10, 120, 4);
    const StoreSnapshot draft = save_store();
    fill_random_system(10, 6, 1);
    show_draft(draft, 9, 10);
    show_caption("Rad 10 (PgUp/PgDn)   E: prijat maticu   Esc: zrusit zmeny");
    std::snprintf(line_text, sizeof line_text, "%s", "Riadok 10, prava strana: -1234567890_");
    for (auto _ : state)
        compose_frame(work_frame);
    hide_draft();
    hide_step();
}
BENCHMARK(compose_editor_frame)->Unit(benchmark::kMicrosecond);

// Making one random exercise of order n, as N on the work screen and --random do.
void random_exercise(benchmark::State &state)
{
    const int order = static_cast<int>(state.range(0));
    std::uint64_t seed = 1;
    for (auto _ : state)
        benchmark::DoNotOptimize(random_system(order, seed++));
}
BENCHMARK(random_exercise)->Arg(3)->Arg(10)->Unit(benchmark::kMicrosecond);

// A menu frame: background and image only.
void compose_menu_frame(benchmark::State &state)
{
    if (!set_up_images()) {
        state.SkipWithError("images could not be loaded");
        return;
    }
    for (auto _ : state)
        compose_frame(menu_frame);
}
BENCHMARK(compose_menu_frame)->Unit(benchmark::kMicrosecond);

// The frame's own work in a window zoomed twice: the work frame composed, then scaled up into
// a 1280x960 bitmap of the same depth, as it is copied to a zoomed window when every row changed.
void compose_and_scale_zoom_2(benchmark::State &state)
{
    if (!set_up_images()) {
        state.SkipWithError("images could not be loaded");
        return;
    }
    fill_random_system(10, 6, 1);
    scale_pivot_row(0);
    BITMAP *window = create_bitmap(2 * screen_width, 2 * screen_height);
    for (auto _ : state) {
        compose_frame(work_frame);
        copy_rows_to(window, back_buffer, 0, screen_height, {2, 0, 0});
    }
    destroy_bitmap(window);
}
BENCHMARK(compose_and_scale_zoom_2)->Unit(benchmark::kMicrosecond);

// One elimination step (row minus a multiple of the pivot row) and the row's reduction,
// on a 10x10 whose values have about `digits` digits.
void one_elimination(benchmark::State &state)
{
    const int digits = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        fill_random_system(10, digits, 2);
        scale_pivot_row(0);
        reduce_row_now(0);
        state.ResumeTiming();
        eliminate_row(1, 0);
        reduce_row_now(1);
    }
}
BENCHMARK(one_elimination)->Arg(30)->Arg(300)->Unit(benchmark::kMicrosecond);

// A whole 10x10 elimination with no pauses and instant reductions.
void whole_elimination(benchmark::State &state)
{
    const int digits = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        fill_random_system(10, digits, 3);
        state.ResumeTiming();
        benchmark::DoNotOptimize(run_elimination_now(nullptr));
    }
}
BENCHMARK(whole_elimination)->Arg(1)->Arg(10)->Arg(30)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
