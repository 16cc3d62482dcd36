// Support for end-to-end runs of the real program: a private X server, the program's
// process, real input through xdotool, screenshots and reading the 8x8 font back off them.
#pragma once

#include <gtest/gtest.h>

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// ---------------------------------------------------------------------------
// Processes

// A child process started by these helpers, in a process group of its own.
struct ChildProcess {
    pid_t pid = -1; // -1 when nothing runs
    bool finished = false;
    int exit_code = -1; // the exit status, or 128 + signal number when killed
    int signal = 0;     // the signal that killed it, 0 when it exited
};

// Starts `argv` in `work_dir` with exactly `environment` (NAME=value entries), its standard
// error going to the file `error_path` when one is given.
ChildProcess spawn_process(const std::vector<std::string> &argv, const std::string &work_dir,
                           const std::vector<std::string> &environment,
                           const std::string &error_path = "");

// Collects the exit status if the child has ended; true once it has.
bool poll_exit(ChildProcess &child);

// Waits up to `seconds` for the child to end; true once it has.
bool wait_exit(ChildProcess &child, double seconds);

// Kills the child's whole process group and reaps the child.
void kill_process(ChildProcess &child);

// This process's environment with NAME replaced by (or given) `value`.
std::vector<std::string> environment_with(const std::vector<std::string> &base,
                                          const std::string &name, const std::string &value);

// This process's own environment.
std::vector<std::string> current_environment();

// ---------------------------------------------------------------------------
// Private X server

// An Xvfb of our own on a display it chose itself.
struct XServer {
    ChildProcess process;
    std::string display_name; // ":N", empty until ready
};

// Starts `Xvfb -displayfd` with a screen of `width` x `height` at 24 bits and no server
// reset; returns once it accepts clients.
bool start_xserver(XServer &server, std::string &error, int width = 640, int height = 480);

// Stops the server and reaps it.
void stop_xserver(XServer &server);

// Runs a tool such as xdotool against `display_name`, waiting up to `seconds`;
// returns its exit code (or -1 on timeout) and its standard output in `output`.
int run_tool(const std::vector<std::string> &argv, const std::string &display_name, double seconds,
             std::string *output = nullptr);

// ---------------------------------------------------------------------------
// Screenshots

// An RGB colour read from the screen.
struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
};

// A picture of the screen, addressed in the program window's coordinates.
struct Shot {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels; // row by row
    // The pixel at (x, y); black outside the picture.
    Rgb at(int x, int y) const;
};

// Writes a shot as a binary PPM file; false when it cannot be written.
bool write_ppm(const Shot &shot, const std::string &path);

// True for a pixel of the program's white text, within 16-bit rounding.
bool is_white(const Rgb &c);

// True when each channel of `c` is within `tolerance` of (r, g, b).
bool colour_near(const Rgb &c, int r, int g, int b, int tolerance);

// ---------------------------------------------------------------------------
// Reading the library's 8x8 font

// Reads up to `max_chars` glyphs starting at (x, y), one 8x8 cell each; unknown cells
// read as '?'; trailing blanks are dropped.
std::string read_text(const Shot &shot, int x, int y, int max_chars);

// Reads a text of 1..`max_chars` glyphs drawn centred on `centre_x` with its top at y,
// as textout_centre draws it; "" when nothing is drawn there, "?" when it is unreadable.
std::string read_centred_text(const Shot &shot, int centre_x, int y, int max_chars = 5);

// ---------------------------------------------------------------------------
// Images the program loads, for comparing with the screen

// A screen rectangle [x1, x2) x [y1, y2), e.g. where the pointer image may lie.
struct Box {
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    bool contains(int x, int y) const
    {
        return x1 <= x && x < x2 && y1 <= y && y < y2;
    }
};

// A picture loaded from a TGA file as 24-bit RGB; magenta pixels are transparent.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;
    Rgb at(int x, int y) const;
    bool transparent_at(int x, int y) const;
};

// Loads a TGA picture; false when it cannot be read.
bool load_picture(const std::string &path, Picture &picture);

// Loads one of the program's own images (e.g. "uvod") from beside the built program.
Picture program_picture(const std::string &base_name);

// True when the screen colour is `expected` as a 16-bit display shows it.
bool near_16bit(const Rgb &shown, const Rgb &expected);

// Compares the opaque pixels of `picture`, drawn at (at_x, at_y), with the shot on a grid
// of `step` pixels, leaving out those inside any of `skip`. Returns how many differ beyond
// 16-bit rounding; `compared` gets how many were compared.
int count_mismatches(const Shot &shot, const Picture &picture, int at_x, int at_y, int step,
                     const std::vector<Box> &skip, int *compared = nullptr);

// ---------------------------------------------------------------------------
// Test fixture

// Each test gets its own Xvfb, a scratch directory and at most one running program.
class ProgramTest : public ::testing::Test
{
  protected:
    void SetUp() override;
    void TearDown() override;

    // Keeps what the screen showed when a test failed, as a PPM file, and says where.
    void save_failure_shot();

    // Writes a file into the scratch directory and returns its path.
    std::string write_file(const std::string &name, const std::string &content);

    // Starts `binary` (the built program by default) in `work_dir` (the scratch directory
    // by default) with `environment` (this process's, by default) plus DISPLAY and an
    // XDG_CONFIG_HOME in the scratch directory, and `arguments` on its command line.
    void launch(const std::string &binary = "", const std::string &work_dir = "",
                std::vector<std::string> environment = {},
                const std::vector<std::string> &arguments = {});

    // Waits for the program's window and gives it the keyboard focus; false on failure.
    bool find_window(double seconds = 5.0);

    // Runs xdotool with `arguments` on the private display; it must succeed.
    void xdotool(const std::vector<std::string> &arguments);
    // Holds a key long enough for the program to see it held, then releases it.
    void hold_key(const std::string &key_name);
    // A quick press and release: enough for anything that reads the key buffer.
    void tap_key(const std::string &key_name);
    // Types text into the work screen's file-name line, each key once the line shows the
    // one before.
    void type_text(const std::string &text);
    // Moves the pointer to (x, y) in window coordinates, as the program sees it (checked
    // on screen by where it draws its pointer).
    void move_pointer(int x, int y);
    // True when the program draws its pointer (normal or busy) with the hot spot at (x, y).
    static bool pointer_drawn_at(const Shot &shot, int x, int y);
    // Finds where the program draws its pointer; false when it is nowhere whole on screen.
    static bool find_pointer(const Shot &shot, int &x, int &y);
    // Presses and releases the left button at (x, y).
    void click_at(int x, int y);
    // Asks the window to close, as a window manager's close button does (WM_DELETE_WINDOW).
    void close_window();

    // Takes a screenshot of the program's window area, in the frame's 640x480 coordinates: a
    // window zoomed by zoom_ is read one pixel per zoom_ x zoom_ block.
    Shot take_shot();
    // The window's pixels as they are, not mapped back to the frame.
    Shot take_window_shot();
    // Polls screenshots until `check` holds or `seconds` pass; `last` gets the last one.
    bool wait_until(const std::function<bool(const Shot &)> &check, double seconds,
                    Shot *last = nullptr);
    // Waits until the work screen's text line reads exactly `text`.
    bool wait_for_line(const std::string &text, double seconds = 3.0, Shot *last = nullptr);
    // The work screen's text line as shown.
    static std::string line_of(const Shot &shot);

    // Waits until the screen shows the named background image (e.g. "uvod"), leaving out
    // the pointer and the `skip` areas.
    bool wait_for_screen(const std::string &image, std::vector<Box> skip = {},
                         double seconds = 3.0);

    // Parks the pointer inside the window, clear of every button, the text line and the grid.
    void park_pointer();
    // Starts the program and opens the work screen from the menu with S.
    void start_on_work_screen();
    // Loads a matrix file: Z, wait for the prompt, type the name, Enter.
    void load_file(const std::string &name);
    // The texts of the n x (n + 1) grid cells as shown, row by row; a fraction reads "num/den".
    static std::vector<std::vector<std::string>> read_grid(const Shot &shot, int n);
    // Waits until the grid reads `expected`; `last` gets the last screenshot.
    bool wait_for_grid(const std::vector<std::vector<std::string>> &expected, double seconds = 3.0,
                       Shot *last = nullptr);
    // Moves the pointer to the middle of cell (r, c)'s text.
    void hover_cell(int r, int c);

    // True when the pointer at its parked place is drawn as the normal pointer, not the
    // busy one shown while fractions are cancelled.
    bool normal_pointer_shown(const Shot &shot) const;
    // True when the line shows the solver waiting, at its gate or done, with the normal pointer.
    bool waiting_shown(const Shot &shot) const;
    // Waits until the solver rests: waiting as above, with the same n x (n + 1) grid and line
    // in two shots a few frames apart. `last` gets the second shot.
    bool wait_for_rest(int n, Shot *last);

    // Stops the private X server while the program runs, closing the test's own connection
    // to it first.
    void stop_xserver_under_program();

    // Waits up to `seconds` for the program to end; true with its code in `code`.
    bool wait_program_exit(double seconds, int &code);

    // Where the pointer image may be drawn, for the last pointer position set.
    Box pointer_box() const;

    std::string error_path_; // where launch sends the program's standard error ("": inherited)
    int zoom_ = 1;           // how many window pixels show one frame pixel
    int screen_width_ = 640; // the private X screen's size, set before SetUp
    int screen_height_ = 480;
    XServer server_;
    ChildProcess program_;
    std::string scratch_;
    unsigned long window_ = 0;
    int window_x_ = 0;
    int window_y_ = 0;
    int pointer_x_ = 320;
    int pointer_y_ = 240;
    void *display_ = nullptr; // the test's own Xlib connection (Display *)
};

// Where park_pointer leaves the pointer.
constexpr int parked_x = 320;
constexpr int parked_y = 330;

// Text centre x of grid column c and text top y of grid row r.
int grid_centre_x(int c);
int grid_top_y(int r);

// Prints a grid of cell texts for a failure message.
std::string grid_text(const std::vector<std::vector<std::string>> &grid);

// Path of the built program and of the directory holding its images.
std::string program_path();
std::string program_directory();
