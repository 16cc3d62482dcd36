// Measures the real program on an X display: time from start to its first frame, and the
// CPU share it uses while it waits on the menu.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace
{

using Clock = std::chrono::steady_clock;

// A point inside the menu's first button, which is opaque in every frame.
constexpr int probe_x = 300;
constexpr int probe_y = 180;

// The root window's pixel at the probe point.
unsigned long probe_pixel(Display *display)
{
    XImage *image =
        XGetImage(display, DefaultRootWindow(display), probe_x, probe_y, 1, 1, AllPlanes, ZPixmap);
    if (!image)
        return 0;
    unsigned long pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return pixel;
}

// Starts the program in `directory`; returns its process id.
pid_t start_program(const char *program, const char *directory)
{
    pid_t child = fork();
    if (child == 0) {
        if (chdir(directory) != 0)
            _exit(127);
        execl(program, program, static_cast<char *>(nullptr));
        _exit(127);
    }
    return child;
}

// Stops the program and waits for it.
void stop_program(pid_t child)
{
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
}

// Milliseconds from start until the probe point shows the first frame; -1 after 5 s.
double time_to_first_frame(Display *display, const char *program, const char *directory)
{
    const unsigned long before = probe_pixel(display);
    const Clock::time_point start = Clock::now();
    pid_t child = start_program(program, directory);
    double elapsed = -1;
    while (Clock::now() - start < std::chrono::seconds(5)) {
        if (probe_pixel(display) != before) {
            elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            break;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    stop_program(child);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    return elapsed;
}

// User plus system CPU time of a process, in clock ticks.
long cpu_ticks(pid_t child)
{
    std::ifstream stat("/proc/" + std::to_string(child) + "/stat");
    std::string field;
    for (int i = 1; i <= 13 && stat >> field; i++) {
    }
    long user = 0;
    long system = 0;
    stat >> user >> system;
    return user + system;
}

// Percent of one core the program uses over `seconds` while it shows the menu.
double menu_cpu_percent(const char *program, const char *directory, int seconds)
{
    pid_t child = start_program(program, directory);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const long before = cpu_ticks(child);
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const long after = cpu_ticks(child);
    stop_program(child);
    return 100.0 * static_cast<double>(after - before) /
           (static_cast<double>(sysconf(_SC_CLK_TCK)) * seconds);
}

} // namespace

// Usage: measure_shell <program> <working directory>
int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <program> <working directory>\n", argv[0]);
        return 2;
    }
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display (run under xvfb-run)\n");
        return 2;
    }
    std::vector<double> times;
    for (int run = 0; run < 7; run++)
        times.push_back(time_to_first_frame(display, argv[1], argv[2]));
    std::sort(times.begin(), times.end());
    std::printf("start to first frame: min %.1f ms, median %.1f ms, max %.1f ms (7 runs)\n",
                times.front(), times[times.size() / 2], times.back());
    std::printf("menu idle CPU: %.1f %% of one core over 10 s\n",
                menu_cpu_percent(argv[1], argv[2], 10));
    XCloseDisplay(display);
    return 0;
}
