// Support for end-to-end runs of the real program: a private X server, the program's
// process, real input through xdotool, screenshots and reading the 8x8 font back off them.
#include "e2e_support.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <allegro.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

extern char **environ;

namespace
{

using Clock = std::chrono::steady_clock;

// Seconds since `start`.
double seconds_since(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Sleeps for `ms` milliseconds.
void sleep_ms(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Turns a string list into the null-terminated pointer array exec wants.
std::vector<char *> c_strings(const std::vector<std::string> &strings)
{
    std::vector<char *> pointers;
    for (const std::string &s : strings)
        pointers.push_back(const_cast<char *>(s.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

// Converts a wait status into an exit code, 128 + signal for a killed process.
int exit_code_of(int status)
{
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

// Xlib must not end the test process over an error about a window that has gone.
int ignore_x_error(Display *, XErrorEvent *)
{
    return 0;
}

} // namespace

// ---------------------------------------------------------------------------
// Processes

// This process's own environment.
std::vector<std::string> current_environment()
{
    std::vector<std::string> result;
    for (char **entry = environ; entry && *entry; entry++)
        result.emplace_back(*entry);
    return result;
}

// The environment `base` with NAME replaced by (or given) `value`.
std::vector<std::string> environment_with(const std::vector<std::string> &base,
                                          const std::string &name, const std::string &value)
{
    std::vector<std::string> result;
    for (const std::string &entry : base) {
        if (entry.compare(0, name.size() + 1, name + "=") != 0)
            result.push_back(entry);
    }
    result.push_back(name + "=" + value);
    return result;
}

// Starts `argv` in `work_dir` with exactly `environment`, in a process group of its own.
ChildProcess spawn_process(const std::vector<std::string> &argv, const std::string &work_dir,
                           const std::vector<std::string> &environment,
                           const std::string &error_path)
{
    ChildProcess child;
    std::vector<char *> args = c_strings(argv);
    std::vector<char *> env = c_strings(environment);
    const pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);
        if (!work_dir.empty() && chdir(work_dir.c_str()) != 0)
            _exit(126);
        const int null_fd = open("/dev/null", O_RDONLY);
        if (null_fd >= 0)
            dup2(null_fd, STDIN_FILENO);
        const int error_fd =
            error_path.empty() ? -1 : open(error_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (error_fd >= 0)
            dup2(error_fd, STDERR_FILENO);
        execve(args[0], args.data(), env.data());
        _exit(127);
    }
    if (pid > 0)
        setpgid(pid, pid); // also from here, so a kill right away reaches the group
    child.pid = pid;
    return child;
}

// Collects the exit status if the child has ended; true once it has.
bool poll_exit(ChildProcess &child)
{
    if (child.finished)
        return true;
    if (child.pid <= 0)
        return false;
    int status = 0;
    const pid_t done = waitpid(child.pid, &status, WNOHANG);
    if (done == child.pid) {
        child.finished = true;
        child.exit_code = exit_code_of(status);
        child.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    }
    return child.finished;
}

// Waits up to `seconds` for the child to end; true once it has.
bool wait_exit(ChildProcess &child, double seconds)
{
    const Clock::time_point start = Clock::now();
    while (!poll_exit(child)) {
        if (seconds_since(start) > seconds)
            return false;
        sleep_ms(10);
    }
    return true;
}

// Kills the child's whole process group (it may have started a message box) and reaps it.
void kill_process(ChildProcess &child)
{
    if (child.pid <= 0)
        return;
    if (!poll_exit(child)) {
        kill(-child.pid, SIGKILL);
        kill(child.pid, SIGKILL);
        int status = 0;
        waitpid(child.pid, &status, 0);
        child.finished = true;
        child.exit_code = exit_code_of(status);
    } else {
        kill(-child.pid, SIGKILL); // anything it left behind in its group
    }
    child.pid = -1;
}

// ---------------------------------------------------------------------------
// Private X server

// Starts `Xvfb -displayfd`; Xvfb writes the display number once it accepts clients.
// -noreset: by default the server resets whenever its last client disconnects, and a
// client that connects during the reset is dropped (XOpenDisplay fails, and the program
// reports that the library did not start). Short-lived xdotool clients would make such
// resets frequent; the fixture also holds a connection of its own for the whole test.
bool start_xserver(XServer &server, std::string &error, int width, int height)
{
    int fds[2] = {-1, -1};
    if (pipe(fds) != 0) {
        error = "pipe failed";
        return false;
    }
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    const std::string screen_size = std::to_string(width) + "x" + std::to_string(height) + "x24";
    const std::vector<std::string> argv{"/usr/bin/Xvfb", "-displayfd", std::to_string(fds[1]),
                                        "-screen",       "0",          screen_size,
                                        "-nolisten",     "tcp",        "-noreset"};
    std::vector<char *> args = c_strings(argv);
    const pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);
        const int null_fd = open("/dev/null", O_RDWR);
        if (null_fd >= 0) {
            dup2(null_fd, STDIN_FILENO);
            dup2(null_fd, STDOUT_FILENO);
            dup2(null_fd, STDERR_FILENO);
        }
        execv(args[0], args.data());
        _exit(127);
    }
    close(fds[1]);
    server.process.pid = pid;
    std::string number;
    const Clock::time_point start = Clock::now();
    while (number.find('\n') == std::string::npos && seconds_since(start) < 10.0) {
        pollfd pfd{fds[0], POLLIN, 0};
        if (poll(&pfd, 1, 100) <= 0)
            continue;
        char buffer[32] = {};
        const ssize_t got = read(fds[0], buffer, sizeof buffer - 1);
        if (got <= 0)
            break; // Xvfb closed the pipe without a display: it failed
        number.append(buffer, static_cast<std::size_t>(got));
    }
    close(fds[0]);
    if (number.find('\n') == std::string::npos) {
        error = "Xvfb did not report a display";
        stop_xserver(server);
        return false;
    }
    server.display_name = ":" + number.substr(0, number.find('\n'));
    return true;
}

// Stops the server politely, then firmly, and reaps it.
void stop_xserver(XServer &server)
{
    if (server.process.pid > 0 && !poll_exit(server.process)) {
        kill(server.process.pid, SIGTERM);
        if (!wait_exit(server.process, 3.0))
            kill_process(server.process);
    }
    server.process = ChildProcess{};
    server.display_name.clear();
}

// Runs a tool against `display_name`, waiting up to `seconds`; returns its exit code
// (or -1 on timeout) and its standard output in `output`.
int run_tool(const std::vector<std::string> &argv, const std::string &display_name, double seconds,
             std::string *output)
{
    int fds[2] = {-1, -1};
    if (pipe(fds) != 0)
        return -1;
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    std::vector<std::string> env = environment_with(current_environment(), "DISPLAY", display_name);
    std::vector<char *> args = c_strings(argv);
    std::vector<char *> envp = c_strings(env);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[1]);
        execvpe(args[0], args.data(), envp.data());
        _exit(127);
    }
    close(fds[1]);
    ChildProcess child;
    child.pid = pid;
    std::string text;
    const Clock::time_point start = Clock::now();
    bool open_pipe = true;
    while (open_pipe && seconds_since(start) < seconds) {
        pollfd pfd{fds[0], POLLIN, 0};
        if (poll(&pfd, 1, 20) <= 0)
            continue;
        char buffer[256];
        const ssize_t got = read(fds[0], buffer, sizeof buffer);
        if (got <= 0)
            open_pipe = false;
        else
            text.append(buffer, static_cast<std::size_t>(got));
    }
    close(fds[0]);
    const double left = seconds - seconds_since(start);
    if (!wait_exit(child, left > 0 ? left : 0.0)) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        return -1;
    }
    if (output)
        *output = text;
    return child.exit_code;
}

// ---------------------------------------------------------------------------
// Screenshots

// The pixel at (x, y); black outside the picture.
Rgb Shot::at(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return Rgb{};
    return pixels[static_cast<std::size_t>(y * width + x)];
}

// True for a pixel of the program's white text, within 16-bit rounding.
bool is_white(const Rgb &c)
{
    return c.r >= 0xf0 && c.g >= 0xf0 && c.b >= 0xf0;
}

// True when each channel of `c` is within `tolerance` of (r, g, b).
bool colour_near(const Rgb &c, int r, int g, int b, int tolerance)
{
    return std::abs(c.r - r) <= tolerance && std::abs(c.g - g) <= tolerance &&
           std::abs(c.b - b) <= tolerance;
}

// ---------------------------------------------------------------------------
// Reading the library's 8x8 font

namespace
{

constexpr int first_glyph = 32;
constexpr int last_glyph = 126;
constexpr int glyph_count = last_glyph - first_glyph + 1;

// The white-pixel mask of each printable glyph, bit (8 * row + column).
using GlyphMasks = std::array<std::uint64_t, glyph_count>;

// Starts Allegro without a display, once, so the library's own font can be drawn.
bool start_allegro_once()
{
    static const bool started = install_allegro(SYSTEM_NONE, &errno, atexit) == 0;
    return started;
}

// Draws each glyph 32..126 of the library's font and records its pixel mask.
GlyphMasks render_glyphs()
{
    GlyphMasks masks{};
    if (!start_allegro_once())
        return masks;
    BITMAP *cell = create_bitmap_ex(8, 8, 8);
    if (!cell)
        return masks;
    for (int code = first_glyph; code <= last_glyph; code++) {
        const char text[2] = {static_cast<char>(code), '\0'};
        clear_to_color(cell, 0);
        textout_ex(cell, font, text, 0, 0, 1, -1);
        std::uint64_t mask = 0;
        for (int y = 0; y < 8; y++) {
            for (int x = 0; x < 8; x++) {
                if (getpixel(cell, x, y) != 0)
                    mask |= std::uint64_t{1} << (8 * y + x);
            }
        }
        masks[static_cast<std::size_t>(code - first_glyph)] = mask;
    }
    destroy_bitmap(cell);
    return masks;
}

// The glyph masks, rendered on first use.
const GlyphMasks &glyph_masks()
{
    static const GlyphMasks masks = render_glyphs();
    return masks;
}

// The mask of white pixels in the 8x8 cell at (x, y) of the shot.
std::uint64_t cell_mask(const Shot &shot, int x, int y)
{
    std::uint64_t mask = 0;
    for (int row = 0; row < 8; row++) {
        for (int column = 0; column < 8; column++) {
            if (is_white(shot.at(x + column, y + row)))
                mask |= std::uint64_t{1} << (8 * row + column);
        }
    }
    return mask;
}

// The character whose glyph exactly matches the cell at (x, y), or '?'.
char read_glyph(const Shot &shot, int x, int y)
{
    const std::uint64_t mask = cell_mask(shot, x, y);
    const GlyphMasks &masks = glyph_masks();
    for (int i = 0; i < glyph_count; i++) {
        if (masks[static_cast<std::size_t>(i)] == mask)
            return static_cast<char>(first_glyph + i);
    }
    return '?';
}

} // namespace

// Reads up to `max_chars` glyphs starting at (x, y); trailing blanks are dropped.
std::string read_text(const Shot &shot, int x, int y, int max_chars)
{
    std::string text;
    for (int i = 0; i < max_chars; i++)
        text += read_glyph(shot, x + 8 * i, y);
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

// True when no white pixel lies in columns x1..x2-1 of the text rows at y.
static bool blank_columns(const Shot &shot, int x1, int x2, int y)
{
    for (int x = x1; x < x2; x++) {
        for (int row = 0; row < 8; row++) {
            if (is_white(shot.at(x, y + row)))
                return false;
        }
    }
    return true;
}

// Reads a centred text of 1..max_chars glyphs: the one length whose cells all read as
// glyphs, with ink in its first and last cells and nothing in the three pixel columns
// on either side (close enough to tell the lengths apart, narrow enough to miss the
// grid's rule).
std::string read_centred_text(const Shot &shot, int centre_x, int y, int max_chars)
{
    for (int length = 1; length <= max_chars; length++) {
        const int left = centre_x - 4 * length;
        const int right = left + 8 * length;
        std::string text;
        for (int i = 0; i < length; i++)
            text += read_glyph(shot, left + 8 * i, y);
        const bool readable = text.find('?') == std::string::npos;
        const bool inked = text.front() != ' ' && text.back() != ' ';
        const bool isolated =
            blank_columns(shot, left - 3, left, y) && blank_columns(shot, right, right + 3, y);
        if (readable && inked && isolated)
            return text;
    }
    const int half = 4 * max_chars;
    return blank_columns(shot, centre_x - half, centre_x + half, y) ? "" : "?";
}

// ---------------------------------------------------------------------------
// Images the program loads

// The pixel at (x, y); black outside the picture.
Rgb Picture::at(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return Rgb{};
    return pixels[static_cast<std::size_t>(y * width + x)];
}

// True where the picture holds the library's mask colour, magenta.
bool Picture::transparent_at(int x, int y) const
{
    const Rgb c = at(x, y);
    return c.r == 255 && c.g == 0 && c.b == 255;
}

// Loads a TGA picture as 24-bit RGB; false when it cannot be read.
bool load_picture(const std::string &path, Picture &picture)
{
    if (!start_allegro_once())
        return false;
    set_color_depth(24);
    set_color_conversion(COLORCONV_NONE);
    BITMAP *image = load_bitmap(path.c_str(), nullptr);
    if (!image)
        return false;
    const int depth = bitmap_color_depth(image);
    picture.width = image->w;
    picture.height = image->h;
    picture.pixels.assign(static_cast<std::size_t>(image->w * image->h), Rgb{});
    for (int y = 0; y < image->h; y++) {
        for (int x = 0; x < image->w; x++) {
            const int c = getpixel(image, x, y);
            picture.pixels[static_cast<std::size_t>(y * image->w + x)] =
                Rgb{getr_depth(depth, c), getg_depth(depth, c), getb_depth(depth, c)};
        }
    }
    destroy_bitmap(image);
    return true;
}

// Loads one of the program's own images from beside the built program; empty on failure.
Picture program_picture(const std::string &base_name)
{
    Picture picture;
    load_picture(program_directory() + "/" + base_name + ".tga", picture);
    return picture;
}

// A 16-bit display keeps 5 bits of red and blue and 6 of green.
bool near_16bit(const Rgb &shown, const Rgb &expected)
{
    return std::abs(shown.r - expected.r) <= 8 && std::abs(shown.g - expected.g) <= 4 &&
           std::abs(shown.b - expected.b) <= 8;
}

// Compares the picture's opaque pixels with the shot on a grid of `step` pixels.
int count_mismatches(const Shot &shot, const Picture &picture, int at_x, int at_y, int step,
                     const std::vector<Box> &skip, int *compared)
{
    int differing = 0;
    int count = 0;
    for (int y = 0; y < picture.height; y += step) {
        for (int x = 0; x < picture.width; x += step) {
            bool skipped = picture.transparent_at(x, y);
            for (const Box &box : skip)
                skipped = skipped || box.contains(at_x + x, at_y + y);
            if (skipped)
                continue;
            count++;
            if (!near_16bit(shot.at(at_x + x, at_y + y), picture.at(x, y)))
                differing++;
        }
    }
    if (compared)
        *compared = count;
    return differing;
}

// ---------------------------------------------------------------------------
// Test fixture

// Path of the built program.
std::string program_path()
{
    return GJ_PROGRAM;
}

// The directory of the built program, where its images were copied.
std::string program_directory()
{
    return std::filesystem::path(GJ_PROGRAM).parent_path().string();
}

namespace
{

// The test's Xlib connection, typed.
Display *as_display(void *display)
{
    return static_cast<Display *>(display);
}

// The window titled `title` among the root's children, or 0.
Window window_titled(Display *display, const char *title)
{
    Window root_return = 0;
    Window parent = 0;
    Window *children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root_return, &parent, &children, &count))
        return 0;
    for (unsigned int i = 0; i < count && !found; i++) {
        char *name = nullptr;
        if (XFetchName(display, children[i], &name) && name) {
            if (std::strcmp(name, title) == 0)
                found = children[i];
            XFree(name);
        }
    }
    if (children)
        XFree(children);
    return found;
}

// The channel value of `pixel` under `mask`, scaled to 0..255.
int channel(unsigned long pixel, unsigned long mask)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (((mask >> shift) & 1) == 0)
        shift++;
    const unsigned long top = mask >> shift;
    const unsigned long value = (pixel & mask) >> shift;
    return static_cast<int>(value * 255 / top);
}

} // namespace

// Starts a private X server, makes a scratch directory and connects for screenshots.
void ProgramTest::SetUp()
{
    std::string error;
    ASSERT_TRUE(start_xserver(server_, error, screen_width_, screen_height_)) << error;
    char scratch_template[] = "/tmp/gj-e2e-XXXXXX";
    ASSERT_NE(mkdtemp(scratch_template), nullptr) << std::strerror(errno);
    scratch_ = scratch_template;
    XSetErrorHandler(ignore_x_error);
    display_ = XOpenDisplay(server_.display_name.c_str());
    ASSERT_NE(display_, nullptr) << "cannot open " << server_.display_name;
}

// Ends the program (and any message box it opened), the connection, the server and the
// scratch directory.
void ProgramTest::TearDown()
{
    if (HasFailure() && display_)
        save_failure_shot();
    kill_process(program_);
    if (display_)
        XCloseDisplay(as_display(display_)); // before the server goes, or Xlib exits on us
    display_ = nullptr;
    stop_xserver(server_);
    if (!scratch_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(scratch_, ignored);
    }
}

// Writes a shot as a binary PPM file; false when it cannot be written.
bool write_ppm(const Shot &shot, const std::string &path)
{
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << shot.width << " " << shot.height << "\n255\n";
    for (const Rgb &c : shot.pixels) {
        const char rgb[3] = {static_cast<char>(c.r), static_cast<char>(c.g),
                             static_cast<char>(c.b)};
        out.write(rgb, 3);
    }
    return out.good();
}

// Keeps what the screen showed when a test failed, as a PPM file under the temporary
// directory, and says where it is.
void ProgramTest::save_failure_shot()
{
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "." + test->name();
    std::replace(name.begin(), name.end(), '/', '_');
    const std::string path = ::testing::TempDir() + "gj-e2e-" + name + ".ppm";
    write_ppm(take_shot(), path);
    std::printf("The screen at the failure: %s\n", path.c_str());
    if (poll_exit(program_))
        std::printf("The program had ended with exit code %d.\n", program_.exit_code);
}

// Writes a file into the scratch directory and returns its path.
std::string ProgramTest::write_file(const std::string &name, const std::string &content)
{
    const std::string path = scratch_ + "/" + name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary);
    out << content;
    return path;
}

// Starts the program with DISPLAY pointing at the private server.
void ProgramTest::launch(const std::string &binary, const std::string &work_dir,
                         std::vector<std::string> environment,
                         const std::vector<std::string> &arguments)
{
    if (environment.empty())
        environment = current_environment();
    environment = environment_with(environment, "DISPLAY", server_.display_name);
    // The settings the program remembers stay in the scratch directory, not the user's own.
    environment = environment_with(environment, "XDG_CONFIG_HOME", scratch_ + "/config");
    std::vector<std::string> argv{binary.empty() ? program_path() : binary};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    program_ =
        spawn_process(argv, work_dir.empty() ? scratch_ : work_dir, environment, error_path_);
}

// Waits for the program's window, notes where it lies and gives it the keyboard focus.
bool ProgramTest::find_window(double seconds)
{
    Display *display = as_display(display_);
    const Clock::time_point start = Clock::now();
    Window found = 0;
    while (!found && seconds_since(start) < seconds && !poll_exit(program_)) {
        found = window_titled(display, "Gauss-Jordanova eliminacia");
        if (!found) // the title in English, when a catalog gives the texts
            found = window_titled(display, "Gauss-Jordan elimination");
        if (!found)
            sleep_ms(20);
    }
    if (!found)
        return false;
    window_ = found;
    XWindowAttributes attributes;
    while (seconds_since(start) < seconds && (!XGetWindowAttributes(display, found, &attributes) ||
                                              attributes.map_state != IsViewable))
        sleep_ms(10);
    Window child = 0;
    XTranslateCoordinates(display, found, DefaultRootWindow(display), 0, 0, &window_x_, &window_y_,
                          &child);
    xdotool({"windowfocus", "--sync", std::to_string(found)});
    return true;
}

// Runs xdotool with `arguments` on the private display; it must succeed.
void ProgramTest::xdotool(const std::vector<std::string> &arguments)
{
    std::vector<std::string> argv{"xdotool"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    EXPECT_EQ(run_tool(argv, server_.display_name, 5.0), 0) << "xdotool " << arguments.front();
}

// Holds a key for 0.1 s, well past one frame and well short of the 0.6 s auto-repeat
// delay, then leaves it up for a few frames, so that a loop that polls the held state
// once a frame sees the release before any next key goes down.
void ProgramTest::hold_key(const std::string &key_name)
{
    xdotool({"keydown", key_name});
    sleep_ms(100);
    xdotool({"keyup", key_name});
    sleep_ms(60);
}

// A quick press and release.
void ProgramTest::tap_key(const std::string &key_name)
{
    xdotool({"key", key_name});
}

// Types text into the file-name line one character at a time, each once the line shows
// the one before: the editor takes one key per frame and empties the key buffer after
// it, so a key that comes within a frame or two of the previous one is dropped.
void ProgramTest::type_text(const std::string &text)
{
    for (std::size_t i = 0; i < text.size(); i++) {
        xdotool({"type", text.substr(i, 1)});
        Shot shot;
        ASSERT_TRUE(wait_for_line(text.substr(0, i + 1), 3.0, &shot))
            << "typed " << text.substr(0, i + 1) << ", the line reads " << line_of(shot);
    }
}

// Moves the pointer to (x, y) in window coordinates, as the program sees it.
//
// The library tracks the mouse in the window by relative motion and now and then warps
// the X pointer back to the window's centre, so after an absolute jump the program's
// pointer can land away from the X pointer (it adds the jump's distance from the centre
// to where it was). A real mouse only ever moves relatively; here, as a user would, we
// look where the program draws its pointer and correct by the difference, relatively.
void ProgramTest::move_pointer(int x, int y)
{
    const std::string window_x = std::to_string(window_x_ + x * zoom_);
    const std::string window_y = std::to_string(window_y_ + y * zoom_);
    xdotool({"mousemove", window_x, window_y});
    pointer_x_ = x;
    pointer_y_ = y;
    for (int attempt = 0; attempt < 5; attempt++) {
        Shot shot;
        if (wait_until([&](const Shot &s) { return pointer_drawn_at(s, x, y); }, 0.3, &shot))
            return;
        int shown_x = 0;
        int shown_y = 0;
        if (find_pointer(shot, shown_x, shown_y)) {
            xdotool({"mousemove_relative", "--", std::to_string((x - shown_x) * zoom_),
                     std::to_string((y - shown_y) * zoom_)});
        } else {
            xdotool({"mousemove", window_x, window_y});
        }
    }
    ADD_FAILURE() << "the program's pointer does not come to (" << x << ", " << y << ")";
}

// The two pointer images, as loaded from beside the program.
static const std::array<Picture, 2> &pointer_pictures()
{
    static const std::array<Picture, 2> pictures{program_picture("myska"),
                                                 program_picture("cakaj")};
    return pictures;
}

// True when `picture` is drawn with its top-left corner at (left, top): every opaque
// pixel matches, stopping at the first that does not.
static bool drawn_at(const Shot &shot, const Picture &picture, int left, int top)
{
    int opaque = 0;
    for (int y = 0; y < picture.height; y++) {
        for (int x = 0; x < picture.width; x++) {
            if (picture.transparent_at(x, y))
                continue;
            if (!near_16bit(shot.at(left + x, top + y), picture.at(x, y)))
                return false;
            opaque++;
        }
    }
    return opaque > 20;
}

// True when the program draws its pointer (normal or busy) with the hot spot at (x, y).
bool ProgramTest::pointer_drawn_at(const Shot &shot, int x, int y)
{
    for (const Picture &picture : pointer_pictures()) {
        if (drawn_at(shot, picture, x - 6, y - 10))
            return true;
    }
    return false;
}

// Finds where the program draws its pointer; false when it is nowhere whole on screen.
bool ProgramTest::find_pointer(const Shot &shot, int &x, int &y)
{
    for (int top = 0; top + 32 <= shot.height; top++) {
        for (int left = 0; left + 32 <= shot.width; left++) {
            if (pointer_drawn_at(shot, left + 6, top + 10)) {
                x = left + 6;
                y = top + 10;
                return true;
            }
        }
    }
    return false;
}

// Presses and releases the left button at (x, y), holding it for a few frames, then
// leaves it up for a few more.
void ProgramTest::click_at(int x, int y)
{
    move_pointer(x, y);
    xdotool({"mousedown", "1"});
    sleep_ms(100);
    xdotool({"mouseup", "1"});
    sleep_ms(60);
}

// Sends WM_DELETE_WINDOW in a WM_PROTOCOLS client message, as a window manager does
// when its close button is pressed.
void ProgramTest::close_window()
{
    Display *display = as_display(display_);
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window_;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window_, False, NoEventMask, &event);
    XFlush(display);
}

// Takes a screenshot of the window area in frame coordinates: one pixel per zoom_ block.
Shot ProgramTest::take_shot()
{
    const Shot window = take_window_shot();
    if (zoom_ == 1)
        return window;
    Shot shot;
    shot.width = window.width / zoom_;
    shot.height = window.height / zoom_;
    for (int y = 0; y < shot.height; y++)
        for (int x = 0; x < shot.width; x++)
            shot.pixels.push_back(window.at(x * zoom_, y * zoom_));
    return shot;
}

// Takes a screenshot of the root window and addresses it from the program window's corner.
Shot ProgramTest::take_window_shot()
{
    Shot shot;
    Display *display = as_display(display_);
    const Window root = DefaultRootWindow(display);
    XImage *image = XGetImage(display, root, 0, 0, static_cast<unsigned>(screen_width_),
                              static_cast<unsigned>(screen_height_), AllPlanes, ZPixmap);
    if (!image)
        return shot;
    shot.width = screen_width_ - window_x_;
    shot.height = screen_height_ - window_y_;
    shot.pixels.assign(static_cast<std::size_t>(shot.width * shot.height), Rgb{});
    for (int y = 0; y < shot.height; y++) {
        for (int x = 0; x < shot.width; x++) {
            const unsigned long pixel = XGetPixel(image, x + window_x_, y + window_y_);
            shot.pixels[static_cast<std::size_t>(y * shot.width + x)] =
                Rgb{channel(pixel, image->red_mask), channel(pixel, image->green_mask),
                    channel(pixel, image->blue_mask)};
        }
    }
    XDestroyImage(image);
    return shot;
}

// Polls screenshots until `check` holds, the deadline passes or the program ends.
bool ProgramTest::wait_until(const std::function<bool(const Shot &)> &check, double seconds,
                             Shot *last)
{
    const Clock::time_point start = Clock::now();
    for (;;) {
        const bool ended = poll_exit(program_);
        Shot shot = take_shot();
        const bool holds = check(shot);
        if (last)
            *last = shot;
        if (holds)
            return true;
        if (ended || seconds_since(start) > seconds)
            return false;
        sleep_ms(20);
    }
}

// The work screen's text line as shown at (26, 42), 76 glyphs wide.
std::string ProgramTest::line_of(const Shot &shot)
{
    return read_text(shot, 26, 42, 76);
}

// Waits until the work screen's text line reads exactly `text`.
bool ProgramTest::wait_for_line(const std::string &text, double seconds, Shot *last)
{
    return wait_until([&](const Shot &shot) { return line_of(shot) == text; }, seconds, last);
}

// Waits up to `seconds` for the program to end; true with its code in `code`.
bool ProgramTest::wait_program_exit(double seconds, int &code)
{
    if (!wait_exit(program_, seconds))
        return false;
    code = program_.exit_code;
    return true;
}

// Stops the private X server while the program runs, closing the test's connection first.
void ProgramTest::stop_xserver_under_program()
{
    if (display_)
        XCloseDisplay(as_display(display_)); // before the server goes, or Xlib exits on us
    display_ = nullptr;
    stop_xserver(server_);
}

// The pointer image is drawn from 6 left and 10 above the hot spot; 32x32 covers it.
Box ProgramTest::pointer_box() const
{
    return Box{pointer_x_ - 6, pointer_y_ - 10, pointer_x_ - 6 + 32, pointer_y_ - 10 + 32};
}

// Waits until the screen shows the named background image, leaving out the pointer and `skip`.
bool ProgramTest::wait_for_screen(const std::string &image, std::vector<Box> skip, double seconds)
{
    const Picture picture = program_picture(image);
    if (picture.width == 0)
        return false;
    skip.push_back(pointer_box());
    const std::string base = image.substr(0, image.rfind("_en") == std::string::npos
                                                 ? image.size()
                                                 : image.rfind("_en")); // the English set too
    if (base == "about") {
        skip.push_back({14, 413, 226, 451}); // the note on the zoom in use, written on its plate
        skip.push_back({486, 14, 626, 62});  // the language switch, drawn with its choice
    }
    if (base == "start")
        skip.push_back({26, 302, 610, 318}); // the caption line: the keys when nothing else
    return wait_until(
        [&](const Shot &shot) {
            int compared = 0;
            const int differing = count_mismatches(shot, picture, 0, 0, 5, skip, &compared);
            return compared > 1000 && differing == 0;
        },
        seconds);
}

// Parks the pointer inside the window, clear of every button, the text line and the grid.
void ProgramTest::park_pointer()
{
    move_pointer(parked_x, parked_y);
}

// Starts the program and opens the work screen from the menu with S.
void ProgramTest::start_on_work_screen()
{
    launch();
    ASSERT_TRUE(find_window()) << "no window; exit code " << program_.exit_code;
    park_pointer();
    ASSERT_TRUE(wait_for_screen("uvod")) << "the menu is not shown";
    hold_key("s");
    ASSERT_TRUE(wait_for_screen("start")) << "S does not open the work screen";
}

// Loads a matrix file: Z, wait for the prompt, type the name, Enter.
void ProgramTest::load_file(const std::string &name)
{
    hold_key("z");
    ASSERT_TRUE(wait_for_line("Zadaj meno suboru")) << "Z does not prompt for a file name";
    ASSERT_NO_FATAL_FAILURE(type_text(name));
    tap_key("Return");
}

// The text of the grid cell centred at x with its text top at y: a fraction drawn as numerator
// over a bar over denominator reads "num/den"; any other text reads as drawn.
static std::string read_cell(const Shot &shot, int x, int y)
{
    const std::string top = read_centred_text(shot, x, y - 5, 6);
    const std::string bottom = read_centred_text(shot, x, y + 5, 6);
    const bool parts = !top.empty() && !bottom.empty() && top.find('?') == std::string::npos &&
                       bottom.find('?') == std::string::npos;
    if (parts && is_white(shot.at(x, y + 3)) && !is_white(shot.at(x, y + 2)) &&
        !is_white(shot.at(x, y + 4)))
        return top + "/" + bottom;
    return read_centred_text(shot, x, y, 6);
}

// The texts of the n x (n + 1) grid cells as shown, row by row.
std::vector<std::vector<std::string>> ProgramTest::read_grid(const Shot &shot, int n)
{
    std::vector<std::vector<std::string>> grid(static_cast<std::size_t>(n));
    for (int r = 0; r < n; r++) {
        for (int c = 0; c <= n; c++)
            grid[static_cast<std::size_t>(r)].push_back(
                read_cell(shot, grid_centre_x(c), grid_top_y(r)));
    }
    return grid;
}

// Waits until the grid reads `expected`; `last` gets the last screenshot.
bool ProgramTest::wait_for_grid(const std::vector<std::vector<std::string>> &expected,
                                double seconds, Shot *last)
{
    const int n = static_cast<int>(expected.size());
    return wait_until([&](const Shot &shot) { return read_grid(shot, n) == expected; }, seconds,
                      last);
}

// Moves the pointer to the middle of cell (r, c)'s text, 3 pixels below its top.
void ProgramTest::hover_cell(int r, int c)
{
    move_pointer(grid_centre_x(c), grid_top_y(r) + 3);
}

// Text centre x of grid column c: 52.5 * c + 55, truncated.
int grid_centre_x(int c)
{
    return (105 * c + 110) / 2;
}

// Text top y of grid row r.
int grid_top_y(int r)
{
    return 21 * r + 100;
}

// Prints a grid of cell texts for a failure message.
std::string grid_text(const std::vector<std::vector<std::string>> &grid)
{
    std::string text;
    for (const auto &row : grid) {
        text += "\n ";
        for (const std::string &cell : row)
            text += " [" + cell + "]";
    }
    return text;
}

// True when the pointer at its parked place is drawn as the normal pointer, not the
// busy one shown while fractions are cancelled.
bool ProgramTest::normal_pointer_shown(const Shot &shot) const
{
    static const Picture normal = program_picture("myska");
    int compared = 0;
    const int differing =
        count_mismatches(shot, normal, parked_x - 6, parked_y - 10, 1, {}, &compared);
    return compared > 20 && differing == 0;
}

// True when the line shows the solver waiting, at its gate or done, with the normal pointer.
bool ProgramTest::waiting_shown(const Shot &shot) const
{
    const std::string line = line_of(shot);
    return (line == "Krokuj!" || line == "Hotovo!") && normal_pointer_shown(shot);
}

// Waits until the solver rests: waiting as above, with the same grid and line in two
// shots a few frames apart (the last step's frame still says "Krokuj!" for a frame
// before "Hotovo!", and the gate empties the key buffer just after the frame that
// shows it, so a press in that instant would be dropped). `last` gets the second shot.
bool ProgramTest::wait_for_rest(int n, Shot *last)
{
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < std::chrono::seconds(10)) {
        Shot first;
        if (!wait_until([&](const Shot &shot) { return waiting_shown(shot); }, 10.0, &first))
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
        Shot second = take_shot();
        if (waiting_shown(second) && line_of(second) == line_of(first) &&
            read_grid(second, n) == read_grid(first, n)) {
            *last = second;
            return true;
        }
    }
    return false;
}
