// Scripted input for the real screen loops: every vsync is one frame, and a script decides what
// the keyboard and the mouse do at it while the harness records what each frame showed.
#pragma once

#include "matrix/store.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

// Which background a composed frame carried.
enum class Shown { menu, settings, work, other };

// What one frame showed: its background, the two texts and the pointer drawn over it.
struct FrameRecord {
    int frame = 0;
    Shown shown = Shown::other;
    std::string line;   // line_text while the frame was composed
    std::string status; // status_text while the frame was composed
    bool busy = false;  // the busy pointer was drawn
};

// All frames of one scripted run, and how the run ended.
struct ScriptRun {
    std::vector<FrameRecord> frames;
    bool ran_out = false;  // the harness had to unwind the loops itself
    bool finished = false; // the script was done when the code returned
};

// A script is called at every vsync with the frame number; it returns false once it has
// nothing more to do.
using Script = std::function<bool(int frame)>;

// One input change at a given frame.
struct Step {
    int frame;
    std::function<void()> act;
};

// A script made of steps keyed by frame number; it is done after its last step.
Script at_frames(std::vector<Step> steps);

// One input change that waits for a condition, checked once per frame.
struct Cue {
    std::function<bool()> ready;
    std::function<void()> act;
};

// A script of cues fired in order, each at the first frame after the previous one at which
// its condition holds; it is done after its last cue.
Script cues(std::vector<Cue> list);

// Conditions for cues: n frames have passed since the previous cue; the condition has held
// for n frames in a row.
std::function<bool()> after(int frames);
std::function<bool()> steady(std::function<bool()> condition, int frames);

// Condition: status_text has read `text`, with the normal pointer and no key waiting, for n
// frames in a row: a loop is waiting for input rather than animating.
std::function<bool()> resting_with_status(const std::string &text, int frames = 4);

// Condition: line_text has read `text`, with no key waiting, for n frames in a row.
std::function<bool()> resting_with_line(const std::string &text, int frames = 4);

// Brings up the library, the keyboard, the timer, a 640x480 16-bit window and the images, once
// per process. Returns "" on success, else why the harness cannot run.
std::string start_harness();

// Puts the program's state back to how main leaves it before the first screen, the real
// desktop size and a 640x480 display included.
void reset_program_state();

// The desktop size the program is told in place of the X server's; 0 x 0 for the X server's own.
void pretend_desktop(int width, int height);

// Runs code with the script driving its frames. If the script is done and the code still
// loops after grace_frames more frames, or after max_frames in all, the harness asks every
// loop to unwind and the run counts as ran out (the calling test fails); a loop that goes on
// regardless is left by an exception thrown from vsync, and that fails the test too.
ScriptRun run_script(const std::function<void()> &code, const Script &script,
                     int grace_frames = 120, int max_frames = 6000);

// Number of the frame the current vsync starts, for scripts that note when they acted.
int current_frame();

// The record of the frame that the vsync now running has just finished (its background
// identified), for scripts that act on what the screen showed; a default record at frame 0.
const FrameRecord &finished_frame();

// Whether run_script keeps every frame's record in ScriptRun::frames (on unless turned off):
// a run of a million frames turns it off and reads finished_frame() as it goes.
void keep_frame_records(bool keep);

// Time in a scripted run passes with the frames, 20 ms each, as at a 50 Hz display: the
// harness's elapsed_ms() stands in for the program's clock, and the library's timer callbacks
// (install_int) run from vsync at that pace rather than on the library's timer thread.
constexpr long long ms_per_frame = 20;

// Input actions for scripts.
void hold_key(int scancode, int ascii); // key[scancode] = 1 and one press into the key buffer
void release_key(int scancode);         // key[scancode] = 0
void tap_key(int scancode, int ascii);  // one press into the key buffer, nothing held
void point_at(int x, int y);            // moves the pointer onto frame pixel (x, y)
void press_button();                    // left button down
void release_button();                  // left button up
void press_right_button();              // right button down
void release_right_button();            // right button up

// The frame pixel in the middle of cell (r, c)'s text, where the pointer rests over the cell.
std::pair<int, int> over_cell(int r, int c);

// The cell of a grid of `shape` whose drawn text lies nearest to frame pixel (x, y), when the
// pixel is within half the 52.5 x 21 pitch of the text's middle: the tests' own model of the
// hover cells, from where the texts are drawn. False off the grid.
bool nearest_drawn_cell(int x, int y, const MatrixShape &shape, int &row, int &column);

// Step helpers wrapping the actions above.
std::function<void()> hold(int scancode, int ascii);
std::function<void()> release(int scancode);
std::function<void()> tap(int scancode, int ascii);
std::function<void()> point(int x, int y);
std::function<void()> button_down();
std::function<void()> button_up();
std::function<void()> right_button_down();
std::function<void()> right_button_up();

// The scancode a character is typed with (0 when it has no key of its own).
int scancode_of(char c);

// A cue that taps a key once the key buffer is empty again, as a typist's next key.
Cue tap_when_free(int scancode, int ascii = 0);

// Cues that type text, each character a tap of its key once the key buffer is empty again; a
// character beyond ASCII (the text is UTF-8) is a press of its Unicode code with no key of its
// own, as a keyboard layout types a letter with diacritics.
std::vector<Cue> typing(const std::string &text);
// Cues that wait for the file selector to open, then type `text` into its path field, after
// the folder it opened in.
std::vector<Cue> in_selector(const std::string &text);

// The Unicode codes of the characters of a UTF-8 text.
std::vector<int> unicode_codes(const std::string &text);

// Cues that hold a key `wait` frames after the previous cue and let it go `held` frames later,
// as a key the loops see held down (the work screen acts on it once it is let go).
std::vector<Cue> press_key(int scancode, int ascii, int wait = 0, int held = 2);

// Joins lists of cues into one.
std::vector<Cue> join(std::initializer_list<std::vector<Cue>> parts);

// A folder of its own under /tmp, removed with everything in it when the object goes.
struct TempFolder {
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    // The path of `name` in the folder, after writing `text` there unless it is null.
    std::string file(const std::string &name, const char *text) const;

    std::string path; // "" when the folder could not be made
};

// The backgrounds of the run's frames, with repeats folded: e.g. menu, work, menu.
std::vector<Shown> screen_order(const ScriptRun &run);

// The frame numbered `frame` of the run (a default record if there is none).
FrameRecord frame_of(const ScriptRun &run, int frame);

// Number of the run's last frame, -1 when it painted none.
int last_frame(const ScriptRun &run);

// Loads a system of integers into the store as a load does (new_matrix), one row per equation
// with its right-hand side last.
void set_matrix(const std::vector<std::vector<long>> &rows);

// The store's rows as text, cells separated by spaces: "1 0 2", a fraction as "1/-2".
std::vector<std::string> matrix_rows();

// Readable name of a background, for failure messages.
const char *shown_name(Shown shown);
std::string describe(const std::vector<Shown> &order);

// Identifies the background of the frame now in back_buffer, ignoring the pointer at (x, y).
Shown identify_frame(int pointer_x, int pointer_y);

// True when the pixels of back_buffer inside the text's box are exactly the library font's
// white glyphs of text drawn centred at centre_x with its top at top_y, and no other pixel of
// the box (grown by margin on each side) is white.
bool text_drawn_at(const char *text, int centre_x, int top_y, int margin = 4);

// True when the display shows exactly the frame in back_buffer, scaled up by frame_scale.
bool display_shows_frame();

// Base of the scripted tests: a live harness and the program's start-of-run state for each test.
class ScriptTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        const std::string failure = start_harness();
        ASSERT_EQ(failure, "") << failure;
        reset_program_state();
    }
};
