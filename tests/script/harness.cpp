// Scripted input for the real screen loops: every vsync is one frame, and a script decides what
// the keyboard and the mouse do at it while the harness records what each frame showed.
#include "harness.h"

#include "app/screens.h"
#include "matrix/store.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/frame.h"
#include "platform/images.h"
#include "platform/input.h"
#include "platform/layout.h"
#include "platform/quit.h"
#include "platform/startup.h"
#include "work/file_selector.h"
#include "work/loader.h"
#include "work/matrix_view.h"
#include "work/work_frame.h"
#include "work/work_screen.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>

#ifndef IMAGE_DIR
#error "IMAGE_DIR must name the directory holding the seven images"
#endif

namespace
{

// A point of a background image that tells it apart from the other two backgrounds.
struct Sample {
    int x;
    int y;
    int colour;
};

constexpr std::array<ImageSlot, 3> backgrounds{image_menu_background, image_settings_background,
                                               image_work_background};
constexpr std::array<Shown, 3> background_shown{Shown::menu, Shown::settings, Shown::work};
std::array<std::vector<Sample>, 3> samples; // per background, filled by start_harness

// Frames the loops get to unwind once the harness has asked them to.
constexpr int unwind_frames = 300;

// Thrown out of vsync when the loops keep running after quit_requested was set.
struct LoopsDidNotUnwind {
};

// The state of the run in progress.
struct RunState {
    bool active = false;
    Script script;
    int frame = 0;    // number of the frame the next vsync starts
    int done_at = -1; // frame at which the script said it was done
    int quit_at = -1; // frame at which the harness asked the loops to unwind
    int grace_frames = 0;
    int max_frames = 0;
    FrameRecord pending;  // the frame being composed since the last vsync
    FrameRecord finished; // the frame the last vsync finished
    int pointer_x = 0;    // where that frame's pointer is drawn
    int pointer_y = 0;
    ScriptRun run;
};
RunState state;
bool keep_records = true; // run_script keeps every frame's record

// True for the colours the pulsing background can take.
bool is_pulse_colour(int colour)
{
    static const std::set<int> colours = [] {
        std::set<int> all;
        for (int level = 0; level < 256; level++)
            all.insert(makecol(level, level, 255));
        return all;
    }();
    return colours.count(colour) > 0;
}

// True where a screen draws extras over its background: the text line, the grid, the indicator.
bool under_extras(int x, int y)
{
    constexpr int m = 2;
    const Rect extras[] = {
        text_line_panel,
        grid_panel,
        zoom_note_panel,
        {indicator_x, indicator_y, indicator_x + indicator_width, indicator_y + indicator_height}};
    for (const Rect &r : extras)
        if (x >= r.x1 - m && x <= r.x2 + m && y >= r.y1 - m && y <= r.y2 + m)
            return true;
    return false;
}

// True when the background's pixel at (x, y) cannot be mistaken for what another screen shows
// there.
bool tells_apart(std::size_t which, int x, int y)
{
    const int colour = getpixel(images[backgrounds[which]], x, y);
    if (colour == bitmap_mask_color(images[backgrounds[which]]) || under_extras(x, y))
        return false;
    for (std::size_t other = 0; other < backgrounds.size(); other++) {
        if (other == which)
            continue;
        BITMAP *image = images[backgrounds[other]];
        const int there = getpixel(image, x, y);
        if (there == bitmap_mask_color(image) ? is_pulse_colour(colour) : there == colour)
            return false;
    }
    return true;
}

// Picks up to 48 telling points of each background on a 10-pixel grid, spread over the picture,
// none where the menu's question before ending covers the title (its plate, one pixel around).
void choose_samples()
{
    const Rect question_area{ending_question_plate.x1 - 2, ending_question_plate.y1 - 2,
                             ending_question_plate.x2 + 2, ending_question_plate.y2 + 2};
    for (std::size_t which = 0; which < backgrounds.size(); which++) {
        std::vector<Sample> found;
        for (int y = 5; y < screen_height; y += 10)
            for (int x = 5; x < screen_width; x += 10)
                if (tells_apart(which, x, y) && !rect_contains(question_area, x, y))
                    found.push_back({x, y, getpixel(images[backgrounds[which]], x, y)});
        const std::size_t stride = found.size() / 48 + 1;
        samples[which].clear();
        for (std::size_t i = 0; i < found.size(); i += stride)
            samples[which].push_back(found[i]);
    }
}

// The largest side of the two pointer images: the square a pointer may cover.
int pointer_extent()
{
    int extent = 0;
    for (ImageSlot slot : {image_normal_pointer, image_busy_pointer})
        extent = std::max({extent, images[slot]->w, images[slot]->h});
    return extent;
}

// Finishes the record of the frame composed since the last vsync and keeps it.
void finish_pending()
{
    state.pending.shown = identify_frame(state.pointer_x, state.pointer_y);
    state.finished = state.pending;
    if (keep_records)
        state.run.frames.push_back(state.pending);
}

// Notes what the frame starting now is composed with.
void start_pending()
{
    state.pending = FrameRecord{};
    state.pending.frame = state.frame;
    state.pending.line = line_text;
    state.pending.status = status_text;
    state.pending.busy = pointer_image == images[image_busy_pointer];
    state.pointer_x = pointer_x();
    state.pointer_y = pointer_y();
}

} // namespace

namespace
{

// A timer callback the library installed, run from vsync as the harness's time passes.
struct FrameTimer {
    void (*proc)();
    long period_ms;
    long waited_ms;
};

std::vector<FrameTimer> frame_timers;

// Runs the installed timer callbacks for one frame's 20 ms: each as often as its period fits.
void run_frame_timers()
{
    const std::vector<FrameTimer> due = frame_timers; // a callback may remove itself
    for (const FrameTimer &timer : due) {
        auto it = std::find_if(frame_timers.begin(), frame_timers.end(),
                               [&](const FrameTimer &t) { return t.proc == timer.proc; });
        if (it == frame_timers.end())
            continue;
        it->waited_ms += ms_per_frame;
        while (it->waited_ms >= it->period_ms) {
            it->waited_ms -= it->period_ms;
            timer.proc();
        }
    }
}

} // namespace

// The library's timers in a scripted run: a callback it installs (the file selector's double
// click clock is one) runs from vsync, 20 ms a frame as the harness's clock runs, not on the
// library's timer thread, so that a run takes the same frames on any machine.
extern "C" int install_int_ex(void (*proc)(void), long speed)
{
    const long period_ms = std::max(1L, speed * 1000 / TIMERS_PER_SECOND);
    for (FrameTimer &timer : frame_timers)
        if (timer.proc == proc) {
            timer.period_ms = period_ms;
            return 0;
        }
    frame_timers.push_back({proc, period_ms, 0});
    return 0;
}

extern "C" int install_int(void (*proc)(void), long speed)
{
    return install_int_ex(proc, MSEC_TO_TIMER(speed));
}

extern "C" void remove_int(void (*proc)(void))
{
    frame_timers.erase(std::remove_if(frame_timers.begin(), frame_timers.end(),
                                      [&](const FrameTimer &t) { return t.proc == proc; }),
                       frame_timers.end());
}

// One frame: record the previous frame, apply the script's step for this one, watch the limit.
extern "C" void vsync(void)
{
    if (!state.active)
        return;
    run_frame_timers();
    if (state.frame > 0)
        finish_pending();
    if (!state.run.ran_out) {
        if (state.done_at < 0 && !state.script(state.frame))
            state.done_at = state.frame;
        const bool past_grace =
            state.done_at >= 0 && state.frame - state.done_at > state.grace_frames;
        if (past_grace || state.frame >= state.max_frames) {
            state.run.ran_out = true;
            state.quit_at = state.frame;
            request_quit(1); // every loop unwinds, and the menu asks nothing
        }
    } else if (state.frame - state.quit_at > unwind_frames) {
        throw LoopsDidNotUnwind{}; // some loop ignores quit_requested: leave it the hard way
    }
    start_pending();
    state.frame++;
}

// The program's clock in a scripted run: 20 ms a frame.
long long elapsed_ms()
{
    return state.frame * ms_per_frame;
}

namespace
{

int pretended_width = 0; // the desktop size the program is told
int pretended_height = 0;
int (*real_desktop_resolution)(int *, int *) = nullptr; // the system driver's own

// The system driver's method in place of its own while a size is pretended.
int pretended_desktop_resolution(int *width, int *height)
{
    *width = pretended_width;
    *height = pretended_height;
    return 0;
}

} // namespace

// The desktop size the program is told in place of the X server's: the library's
// get_desktop_resolution asks the system driver, whose method is replaced meanwhile.
void pretend_desktop(int width, int height)
{
    if (!system_driver)
        return;
    if (!real_desktop_resolution)
        real_desktop_resolution = system_driver->get_desktop_resolution;
    pretended_width = width;
    pretended_height = height;
    system_driver->get_desktop_resolution =
        width > 0 ? pretended_desktop_resolution : real_desktop_resolution;
}

// Brings up the library, input, timer, the window and the images, once per process.
std::string start_harness()
{
    static std::string failure = "not started";
    static bool tried = false;
    if (tried)
        return failure;
    tried = true;
    if (!std::getenv("DISPLAY"))
        return failure = "DISPLAY is not set: these tests paint real frames and need an X display "
                         "(run them under xvfb-run -a)";
    set_uformat(U_UTF8); // as init_graphics does
    if (allegro_init() != 0)
        return failure = std::string("allegro_init failed: ") + allegro_error;
    if (install_keyboard() != 0 || install_timer() != 0)
        return failure = std::string("keyboard or timer failed: ") + allegro_error;
    set_color_depth(16);
    if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, screen_width, screen_height, 0, 0) != 0)
        return failure = std::string("no 640x480 16-bit window: ") + allegro_error;
    // The settings screen remembers its switches: in a folder of the test's own, not the user's.
    static char config_folder[] = "/tmp/gj-script-config-XXXXXX";
    if (!mkdtemp(config_folder))
        return failure = "cannot make a folder for the remembered settings";
    setenv("XDG_CONFIG_HOME", config_folder, 1);
    std::atexit([] { std::filesystem::remove_all(config_folder); });
    if (chdir(IMAGE_DIR) != 0)
        return failure = std::string("cannot enter the image directory ") + IMAGE_DIR;
    if (load_images() != 0)
        return failure = std::string("load_images failed in ") + IMAGE_DIR;
    choose_samples();
    for (const auto &points : samples)
        if (points.size() < 12)
            return failure = "the backgrounds have too few telling points to identify frames";
    return failure = "";
}

// Puts the program's state back to how main leaves it before the first screen.
void reset_program_state()
{
    for (int k = 0; k < KEY_MAX; k++)
        key[k] = 0;
    clear_keybuf();
    mouse_x = 620;
    mouse_y = 20;
    mouse_b = 0;
    quit_requested = 0;
    quit_signal = 0;
    exit_code = 0;
    pulse_enabled = 1;
    pulse_level = 128;
    pointer_image = images[image_normal_pointer];
    matrix_shape = MatrixShape{};
    for (int c = 0; c < grid_columns; c++)
        for (int r = 0; r < grid_rows; r++)
            cell(r, c) = Fraction{0, 1};
    line_text[0] = '\0';
    status_text[0] = '\0';
    file_folder.clear();
    grid_fractions = 0;
    new_matrix();
    last_system = StoreSnapshot{}; // nothing loaded, typed or made before
    note_system_saved();
    pretend_desktop(0, 0);
    zoom_refused = 0;
    chosen_zoom = window_zoom = 1;
    if (!windowed || SCREEN_W != screen_width || SCREEN_H != screen_height)
        open_display(); // a test that failed half-way may have left full screen or a zoom
}

// Runs code with the script driving its frames.
ScriptRun run_script(const std::function<void()> &code, const Script &script, int grace_frames,
                     int max_frames)
{
    state = RunState{};
    state.active = true;
    state.script = script;
    state.grace_frames = grace_frames;
    state.max_frames = max_frames;
    bool unwound = true;
    try {
        code();
    } catch (const LoopsDidNotUnwind &) {
        unwound = false;
    }
    if (state.frame > 0)
        finish_pending();
    state.active = false;
    ScriptRun run = std::move(state.run);
    run.finished = state.done_at >= 0;
    if (!unwound)
        ADD_FAILURE() << "the loops kept running " << unwind_frames
                      << " frames after quit_requested was set";
    if (run.ran_out) {
        quit_requested = 0;
        exit_code = 0;
        ADD_FAILURE() << "the script ran out at frame " << run.frames.size()
                      << " while the code still looped; screens shown: "
                      << describe(screen_order(run)) << "; last status '"
                      << (run.frames.empty() ? "" : run.frames.back().status) << "'";
    }
    return run;
}

// Number of the frame the current vsync starts.
int current_frame()
{
    return state.frame;
}

// The record of the frame the running vsync has just finished.
const FrameRecord &finished_frame()
{
    return state.finished;
}

// Whether run_script keeps every frame's record.
void keep_frame_records(bool keep)
{
    keep_records = keep;
}

// A script made of steps keyed by frame number.
Script at_frames(std::vector<Step> steps)
{
    return [steps = std::move(steps)](int frame) {
        bool more = false;
        for (const Step &step : steps) {
            if (step.frame == frame)
                step.act();
            more = more || step.frame > frame;
        }
        return more;
    };
}

// A script of cues fired in order.
Script cues(std::vector<Cue> list)
{
    auto next = std::make_shared<std::size_t>(0);
    return [list = std::move(list), next](int) {
        if (*next < list.size() && list[*next].ready()) {
            list[*next].act();
            ++*next;
        }
        return *next < list.size();
    };
}

// True once n frames have passed since the previous cue (counted from its first check).
std::function<bool()> after(int frames)
{
    auto seen = std::make_shared<int>(0);
    return [frames, seen] { return ++*seen >= frames; };
}

// True once the condition has held for n frames in a row.
std::function<bool()> steady(std::function<bool()> condition, int frames)
{
    auto run_length = std::make_shared<int>(0);
    return [condition = std::move(condition), frames, run_length] {
        *run_length = condition() ? *run_length + 1 : 0;
        return *run_length >= frames;
    };
}

// Condition: status_text has read `text`, with the normal pointer and no key waiting.
std::function<bool()> resting_with_status(const std::string &text, int frames)
{
    return steady(
        [text] {
            return text == status_text && pointer_image == images[image_normal_pointer] &&
                   !keypressed();
        },
        frames);
}

// Condition: line_text has read `text`, with no key waiting.
std::function<bool()> resting_with_line(const std::string &text, int frames)
{
    return steady([text] { return text == line_text && !keypressed(); }, frames);
}

// key[scancode] = 1 and one press into the key buffer.
void hold_key(int scancode, int ascii)
{
    key[scancode] = 1;
    simulate_keypress((scancode << 8) | ascii);
}

// key[scancode] = 0.
void release_key(int scancode)
{
    key[scancode] = 0;
}

// One press into the key buffer, nothing held.
void tap_key(int scancode, int ascii)
{
    simulate_keypress((scancode << 8) | ascii);
}

// Moves the pointer to the display pixel that shows frame pixel (x, y).
void point_at(int x, int y)
{
    mouse_x = frame_left + x * frame_scale;
    mouse_y = frame_top + y * frame_scale;
}

// The frame pixel in the middle of cell (r, c)'s text, where the pointer rests over the cell.
std::pair<int, int> over_cell(int r, int c)
{
    return {grid_column_centre(c), grid_row_top(r) + grid_text_middle};
}

// The cell whose drawn text lies nearest to frame pixel (x, y). Measured in half pixels: a text
// box's middle lies half a pixel left of its centre x (a text of w pixels starts at the centre
// x - w/2), and a pixel as near to two boxes counts for the right one.
bool nearest_drawn_cell(int x, int y, const MatrixShape &shape, int &row, int &column)
{
    const int last = shape.columns() - 1;
    const auto apart = [x](int c) { return 2 * x - (2 * grid_column_centre(c) - 1); };
    if (shape.rows < 1 || apart(0) < -52 || apart(last) > 52) // beyond half the pitch, 26.25
        return false;
    int nearest = -1;
    for (int c = 0; c <= last; c++)
        if (nearest < 0 || std::abs(apart(c)) <= nearest) {
            nearest = std::abs(apart(c));
            column = c;
        }
    for (row = 0; row < shape.rows; row++)
        if (std::abs(y - (grid_row_top(row) + grid_text_middle)) <= grid_row_step / 2)
            return true;
    return false;
}

// Left button down.
void press_button()
{
    mouse_b = 1;
}

// Left button up.
void release_button()
{
    mouse_b = 0;
}

// Right button down.
void press_right_button()
{
    mouse_b |= 2;
}

// Right button up.
void release_right_button()
{
    mouse_b &= ~2;
}

// Step helpers: each wraps one input action for a script.
std::function<void()> hold(int scancode, int ascii)
{
    return [=] { hold_key(scancode, ascii); };
}

std::function<void()> release(int scancode)
{
    return [=] { release_key(scancode); };
}

std::function<void()> tap(int scancode, int ascii)
{
    return [=] { tap_key(scancode, ascii); };
}

std::function<void()> point(int x, int y)
{
    return [=] { point_at(x, y); };
}

std::function<void()> button_down()
{
    return press_button;
}

std::function<void()> button_up()
{
    return release_button;
}

std::function<void()> right_button_down()
{
    return press_right_button;
}

std::function<void()> right_button_up()
{
    return release_right_button;
}

// The scancode a character is typed with (0 when it has no key of its own).
int scancode_of(char c)
{
    if (c >= 'a' && c <= 'z')
        return KEY_A + (c - 'a');
    if (c >= 'A' && c <= 'Z')
        return KEY_A + (c - 'A');
    if (c >= '0' && c <= '9')
        return KEY_0 + (c - '0');
    switch (c) {
    case '.':
        return KEY_STOP;
    case '/':
        return KEY_SLASH;
    case '-':
        return KEY_MINUS;
    case '<':
    case ',':
        return KEY_COMMA;
    case '>':
        return KEY_STOP;
    case '(':
        return KEY_9;
    case ')':
        return KEY_0;
    case ' ':
        return KEY_SPACE;
    case '\r':
        return KEY_ENTER;
    case '\b':
        return KEY_BACKSPACE;
    case '\t':
        return KEY_TAB;
    case '\x1b':
        return KEY_ESC;
    default:
        return 0;
    }
}

// Cues that type text, each key once the previous one has been taken from the key buffer.
std::vector<Cue> typing(const std::string &text)
{
    std::vector<Cue> list;
    for (int code : unicode_codes(text)) {
        if (code < 0x80)
            list.push_back(tap_when_free(scancode_of(static_cast<char>(code)), code));
        else
            list.push_back({[] { return !keypressed(); }, [code] { simulate_ukeypress(code, 0); }});
    }
    return list;
}

std::vector<Cue> in_selector(const std::string &text)
{
    return join({{{[] { return active_dialog != nullptr; }, [] {}}}, typing(text)});
}

// The Unicode codes of the characters of a UTF-8 text.
std::vector<int> unicode_codes(const std::string &text)
{
    std::vector<int> codes;
    for (std::size_t i = 0; i < text.size();) {
        const int lead = static_cast<unsigned char>(text[i++]);
        const int more = lead >= 0xf0 ? 3 : lead >= 0xe0 ? 2 : lead >= 0xc0 ? 1 : 0;
        int code = more ? lead & (0x3f >> more) : lead;
        for (int k = 0; k < more && i < text.size(); k++)
            code = (code << 6) | (static_cast<unsigned char>(text[i++]) & 0x3f);
        codes.push_back(code);
    }
    return codes;
}
// A cue that taps a key once the key buffer is empty again.
Cue tap_when_free(int scancode, int ascii)
{
    return {[] { return !keypressed(); }, tap(scancode, ascii)};
}

// Cues that hold a key `wait` frames after the previous cue and let it go `held` frames later.
std::vector<Cue> press_key(int scancode, int ascii, int wait, int held)
{
    return {{after(wait), hold(scancode, ascii)}, {after(held), release(scancode)}};
}

// Joins lists of cues into one.
std::vector<Cue> join(std::initializer_list<std::vector<Cue>> parts)
{
    std::vector<Cue> all;
    for (const auto &part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// Makes the folder.
TempFolder::TempFolder()
{
    char pattern[] = "/tmp/gjXXXXXX";
    path = mkdtemp(pattern) ? pattern : "";
}

// Removes the folder with everything in it.
TempFolder::~TempFolder()
{
    if (!path.empty())
        std::filesystem::remove_all(path);
}

// The path of `name` in the folder, after writing `text` there unless it is null.
std::string TempFolder::file(const std::string &name, const char *text) const
{
    const std::string file_path = path + "/" + name;
    if (text)
        std::ofstream(file_path) << text;
    return file_path;
}

// The backgrounds of the run's frames, with repeats folded.
std::vector<Shown> screen_order(const ScriptRun &run)
{
    std::vector<Shown> order;
    for (const FrameRecord &record : run.frames)
        if (order.empty() || order.back() != record.shown)
            order.push_back(record.shown);
    return order;
}

// The frame numbered `frame` of the run.
FrameRecord frame_of(const ScriptRun &run, int frame)
{
    for (const FrameRecord &record : run.frames)
        if (record.frame == frame)
            return record;
    return FrameRecord{-1, Shown::other, "", "", false};
}

// Number of the run's last frame.
int last_frame(const ScriptRun &run)
{
    return run.frames.empty() ? -1 : run.frames.back().frame;
}

// Loads a system of integers into the store, as a load does.
void set_matrix(const std::vector<std::vector<long>> &rows)
{
    const int width = rows.empty() ? 1 : static_cast<int>(rows.front().size());
    matrix_shape = system_shape(static_cast<int>(rows.size()), width - 1);
    for (std::size_t r = 0; r < rows.size(); r++)
        for (std::size_t c = 0; c < rows[r].size(); c++)
            cell(static_cast<int>(r), static_cast<int>(c)) = Fraction{rows[r][c], 1};
    new_matrix();
}

// The store's rows as text.
std::vector<std::string> matrix_rows()
{
    std::vector<std::string> rows;
    for (int r = 0; r < matrix_shape.rows; r++) {
        std::string text;
        for (int c = 0; c < matrix_shape.columns(); c++) {
            const Fraction &value = cell(r, c);
            text += (c ? " " : "") + value.num.get_str();
            if (value.den != 1)
                text += "/" + value.den.get_str();
        }
        rows.push_back(text);
    }
    return rows;
}

// Readable name of a background.
const char *shown_name(Shown shown)
{
    switch (shown) {
    case Shown::menu:
        return "menu";
    case Shown::settings:
        return "settings";
    case Shown::work:
        return "work";
    default:
        return "other";
    }
}

// The backgrounds in order, as "menu, work, menu".
std::string describe(const std::vector<Shown> &order)
{
    std::string text;
    for (Shown shown : order)
        text += std::string(text.empty() ? "" : ", ") + shown_name(shown);
    return text;
}

// Identifies the background of the frame now in back_buffer, ignoring the pointer at (x, y).
Shown identify_frame(int pointer_x, int pointer_y)
{
    const int left = pointer_x - pointer_hot_x;
    const int top = pointer_y - pointer_hot_y;
    Shown found = Shown::other;
    int matches = 0;
    for (std::size_t which = 0; which < backgrounds.size(); which++) {
        int agreeing = 0;
        bool differs = false;
        for (const Sample &s : samples[which]) {
            if (s.x >= left && s.x < left + pointer_extent() && s.y >= top &&
                s.y < top + pointer_extent())
                continue; // the pointer may cover it
            if (getpixel(back_buffer, s.x, s.y) == s.colour)
                agreeing++;
            else
                differs = true;
        }
        if (!differs && agreeing >= 8) {
            found = background_shown[which];
            matches++;
        }
    }
    return matches == 1 ? found : Shown::other;
}

// True when back_buffer holds exactly the white glyphs of text centred at centre_x, top at top_y.
bool text_drawn_at(const char *text, int centre_x, int top_y, int margin)
{
    const int width = text_length(font, text);
    const int height = text_height(font);
    const int left = centre_x - width / 2 - margin;
    const int top = top_y - margin;
    BITMAP *expected = create_bitmap(width + 2 * margin, height + 2 * margin);
    clear_to_color(expected, makecol(0, 0, 0));
    const int white = makecol(255, 255, 255);
    textout_ex(expected, font, text, margin, margin, white, -1);
    bool same = true;
    for (int y = 0; y < expected->h && same; y++)
        for (int x = 0; x < expected->w && same; x++)
            same = (getpixel(expected, x, y) == white) ==
                   (getpixel(back_buffer, left + x, top + y) == white);
    destroy_bitmap(expected);
    return same;
}

// True when the display shows exactly the frame in back_buffer, scaled up by frame_scale.
bool display_shows_frame()
{
    for (int y = 0; y < SCREEN_H; y++)
        for (int x = 0; x < SCREEN_W; x++)
            if (getpixel(screen, x, y) != getpixel(back_buffer, x / frame_scale, y / frame_scale))
                return false;
    return true;
}
