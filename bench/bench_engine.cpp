// Benchmarks of composing one frame and of the exact elimination, with no display.
#include "app/screens.h"
#include "matrix/elimination.h"
#include "matrix/learner_operation.h"
#include "matrix/operation_parser.h"
#include "matrix/random_system.h"
#include "matrix/row_arith.h"
#include "matrix/store.h"
#include "matrix/work_check.h"
#include "matrix/worked_solution.h"
#include "platform/frame.h"
#include "platform/images.h"
#include "platform/layout.h"
#include "platform/startup.h"
#include "work/grid_editor.h"
#include "work/matrix_view.h"
#include "work/work_frame.h"

#include <allegro.h>
#include <benchmark/benchmark.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

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
    for (ImageSlot slot : background_images)
        background_sprites[slot] = get_rle_sprite(images[slot]);
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

// Fills a system of `rows` equations in `unknowns` unknowns with random entries of about
// `digits` digits.
void fill_random_shape(int rows, int unknowns, int digits, unsigned seed)
{
    std::mt19937_64 random(seed);
    matrix_shape = system_shape(rows, unknowns);
    for (int r = 0; r < rows; r++)
        for (int c = 0; c <= unknowns; c++)
            cell(r, c) = Fraction{random_value(random, digits), 1};
}

// Fills a system of order n with random entries of about `digits` digits.
void fill_random_system(int n, int digits, unsigned seed)
{
    fill_random_shape(n, n, digits, seed);
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
        ::compose_work_frame();
}
BENCHMARK(compose_work_frame)->Unit(benchmark::kMicrosecond);

// A work frame of a system that is not square, M equations in N unknowns of 120-digit entries,
// brought to fractions by a first scaling, in short decimals (0) or in fractions (1).
void compose_work_frame_shape(benchmark::State &state)
{
    if (!set_up_images()) {
        state.SkipWithError("images could not be loaded");
        return;
    }
    fill_random_shape(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), 120, 5);
    scale_pivot_row(0);
    grid_fractions = static_cast<int>(state.range(2));
    std::snprintf(line_text, sizeof line_text, "%s", "123456789 / 987654321");
    for (auto _ : state)
        ::compose_work_frame();
    grid_fractions = 0;
}
BENCHMARK(compose_work_frame_shape)
    ->Args({1, 10, 0})
    ->Args({10, 1, 0})
    ->Args({6, 10, 0})
    ->Args({6, 10, 1})
    ->Args({10, 4, 1})
    ->Unit(benchmark::kMicrosecond);

// Fills a 10x10 system with fractions in lowest terms whose parts have up to five digits (every
// cell of the grid of fractions drawn as numerator over denominator), shifted by `seed`.
void fill_fraction_system(unsigned seed)
{
    std::mt19937_64 random(seed);
    matrix_shape = system_shape(10, 10);
    for (int r = 0; r < 10; r++)
        for (int c = 0; c <= 10; c++) {
            mpq_class value(static_cast<long>(random() % 199999) - 99999,
                            static_cast<unsigned long>(2 + random() % 99998));
            value.canonicalize();
            cell(r, c) = Fraction{value.get_num(), value.get_den()};
        }
}

// A full 10x10 work frame in the grid of fractions, every cell numerator over denominator, as
// it is painted while a solve waits (the cells' texts kept from the frame before).
void compose_work_frame_fractions(benchmark::State &state)
{
    if (!set_up_images()) {
        state.SkipWithError("images could not be loaded");
        return;
    }
    fill_fraction_system(4);
    grid_fractions = 1;
    std::snprintf(line_text, sizeof line_text, "%s", "123456789 / 987654321");
    for (auto _ : state)
        ::compose_work_frame();
    grid_fractions = 0;
}
BENCHMARK(compose_work_frame_fractions)->Unit(benchmark::kMicrosecond);

// The same with every cell's value new in every frame, so that each cell's fraction text is
// built again: the worst a frame of fractions can cost.
void compose_work_frame_fractions_all_new(benchmark::State &state)
{
    if (!set_up_images()) {
        state.SkipWithError("images could not be loaded");
        return;
    }
    grid_fractions = 1;
    unsigned seed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fill_fraction_system(seed++ % 2);
        state.ResumeTiming();
        ::compose_work_frame();
    }
    grid_fractions = 0;
}
BENCHMARK(compose_work_frame_fractions_all_new)->Unit(benchmark::kMicrosecond);

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
    show_caption(editor_keys_text(square_shape(10)));
    std::snprintf(line_text, sizeof line_text, "%s", "Riadok 10, prava strana: -1234567890_");
    for (auto _ : state)
        ::compose_work_frame();
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
        ::compose_menu_frame();
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
        ::compose_work_frame();
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

// The printed worked solution (--steps) of a file in bench/, written to /dev/null.
void print_steps_of(benchmark::State &state, const char *name)
{
    std::FILE *out = std::fopen("/dev/null", "w");
    const std::string path = std::string(BENCH_DIR) + "/" + name;
    for (auto _ : state)
        print_worked_solution(path.c_str(), notation_plain, out, stderr);
    std::fclose(out);
}

// bench/three_free.txt: a 10x10 of single-digit entries whose solution set has three
// dimensions, so the elimination goes on past its verdict to the reduced form.
void steps_three_free_unknowns(benchmark::State &state)
{
    print_steps_of(state, "three_free.txt");
}
BENCHMARK(steps_three_free_unknowns)->Unit(benchmark::kMillisecond);

// bench/six_by_ten.txt: six equations in ten unknowns, single-digit entries, four free unknowns
// in the general solution.
void steps_six_equations_ten_unknowns(benchmark::State &state)
{
    print_steps_of(state, "six_by_ten.txt");
}
BENCHMARK(steps_six_equations_ten_unknowns)->Unit(benchmark::kMillisecond);

// A learner's operation on a 10x10 of 120-digit entries, from Enter to the first frame of its
// cancelling: reading it (a factor of 120 digits over 120), noting the stores before and after it
// in the history, the products, and the first cell's Euclid loop (its count and divisor).
void practice_operation_120_digits(benchmark::State &state)
{
    const std::string typed =
        "R3 <- R3 - (" + std::string(120, '7') + "/" + std::string(119, '3') + "1) R1";
    std::vector<StoreSnapshot> history;
    for (auto _ : state) {
        state.PauseTiming();
        fill_random_system(10, 120, 5);
        history.clear();
        state.ResumeTiming();
        const ParsedOperation parsed = parse_operation(typed, matrix_shape.rows);
        const StoreSnapshot before = save_store();
        apply_operation_now(parsed.operation);
        history.push_back(save_store());
        restore_store(before);
        history.push_back(before);
        apply_operation(parsed.operation);
        mpz_class divisor;
        benchmark::DoNotOptimize(euclid_steps_and_divisor(cell(2, 0).num, cell(2, 0).den, divisor));
    }
}
BENCHMARK(practice_operation_120_digits)->Unit(benchmark::kMicrosecond);

// After the cancelling, the test for the reduced form (and the hint, the same elimination to its
// first step) on a 10x10 of 120-digit entries.
void practice_reduced_form_test(benchmark::State &state)
{
    fill_random_system(10, 120, 6);
    for (auto _ : state)
        benchmark::DoNotOptimize(in_reduced_form());
}
BENCHMARK(practice_reduced_form_test)->Unit(benchmark::kMicrosecond);

// --check of the whole printed worked solution of examples/desat2.txt (10x10, 98 steps) against
// the system, the report written to /dev/null.
void check_worked_solution_desat2(benchmark::State &state)
{
    const std::string system = std::string(BENCH_DIR) + "/../examples/desat2.txt";
    const std::string work = "/tmp/gj_bench_desat2_steps.txt";
    std::FILE *steps = std::fopen(work.c_str(), "w");
    print_worked_solution(system.c_str(), notation_plain, steps, stderr);
    std::fclose(steps);
    std::FILE *out = std::fopen("/dev/null", "w");
    for (auto _ : state)
        benchmark::DoNotOptimize(check_work(system.c_str(), work.c_str(), out, stderr));
    std::fclose(out);
    std::remove(work.c_str());
}
BENCHMARK(check_worked_solution_desat2)->Unit(benchmark::kMillisecond);

// --inverse of bench/inverse_10x10_30.txt (a 10x10 of 30-digit entries): [A | I], every step,
// A^-1 and its check by multiplying back, written to /dev/null.
void inverse_10x10_30_digits(benchmark::State &state)
{
    std::FILE *out = std::fopen("/dev/null", "w");
    for (auto _ : state)
        print_worked_inverse(BENCH_DIR "/inverse_10x10_30.txt", notation_plain, out, stderr);
    std::fclose(out);
}
BENCHMARK(inverse_10x10_30_digits)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
