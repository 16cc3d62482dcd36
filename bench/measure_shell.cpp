// Measures real programs on a private X server: the time from start to the first frame, and
// the CPU that the program and the X server use together while it waits on the menu, with the
// background pulsing and with the pulse off. Given two builds, it measures them side by side,
// alternating, so that both see the same machine.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
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

// Seconds of waiting measured per sample, and samples per program and state (the
// environment's MEASURE_SECONDS and MEASURE_ROUNDS, for steadier figures on a busy machine).
int sample_seconds = 8;
int rounds = 3;

// Sleeps for `ms` milliseconds.
void sleep_ms(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// A private Xvfb: its process and display name.
struct Server {
    pid_t pid = -1;
    std::string display;
};

// Starts Xvfb with a screen of the given size and depth; it names its display on a pipe.
Server start_server(int width, int height, int depth)
{
    Server server;
    int fds[2];
    if (pipe(fds) != 0)
        return server;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const int null_fd = open("/dev/null", O_RDWR);
        dup2(null_fd, STDOUT_FILENO);
        dup2(null_fd, STDERR_FILENO);
        const std::string screen =
            std::to_string(width) + "x" + std::to_string(height) + "x" + std::to_string(depth);
        const std::string fd = std::to_string(fds[1]);
        execl("/usr/bin/Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
              "-nolisten", "tcp", "-noreset", static_cast<char *>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    pollfd pfd{fds[0], POLLIN, 0};
    while (number.find('\n') == std::string::npos && poll(&pfd, 1, 10000) > 0) {
        char buffer[16] = {};
        if (read(fds[0], buffer, sizeof buffer - 1) <= 0)
            break;
        number += buffer;
    }
    close(fds[0]);
    server.pid = pid;
    server.display = ":" + number.substr(0, number.find('\n'));
    return server;
}

// Stops a process and waits for it.
void stop(pid_t pid)
{
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

// The root window's pixel at the probe point.
unsigned long probe_pixel(Display *display)
{
    XImage *image =
        XGetImage(display, DefaultRootWindow(display), probe_x, probe_y, 1, 1, AllPlanes, ZPixmap);
    if (!image)
        return 0;
    const unsigned long pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return pixel;
}

std::vector<std::string> scratch_folders; // removed at the end

// Starts a program on the server's display with its own settings folder and arguments.
pid_t start_program(const std::string &program, const std::string &display,
                    const std::vector<std::string> &arguments)
{
    char folder[] = "/tmp/gj-measure-XXXXXX";
    if (!mkdtemp(folder))
        return -1;
    scratch_folders.push_back(folder);
    const pid_t child = fork();
    if (child == 0) {
        setenv("DISPLAY", display.c_str(), 1);
        setenv("XDG_CONFIG_HOME", folder, 1);
        if (chdir(folder) != 0)
            _exit(127);
        std::vector<char *> argv{const_cast<char *>(program.c_str())};
        for (const std::string &argument : arguments)
            argv.push_back(const_cast<char *>(argument.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    return child;
}

// Milliseconds from start until the probe point shows the first frame; -1 after 5 s.
double time_to_first_frame(const Server &server, const std::string &program)
{
    Display *display = XOpenDisplay(server.display.c_str());
    if (!display)
        return -1;
    const unsigned long before = probe_pixel(display);
    const Clock::time_point start = Clock::now();
    const pid_t child = start_program(program, server.display, {});
    double elapsed = -1;
    while (Clock::now() - start < std::chrono::seconds(5)) {
        if (probe_pixel(display) != before) {
            elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            break;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    stop(child);
    XCloseDisplay(display);
    sleep_ms(200);
    return elapsed;
}

// User plus system CPU time of a process, in clock ticks.
long cpu_ticks(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string field;
    for (int i = 1; i <= 13 && stat >> field; i++) {
    }
    long user = 0;
    long system = 0;
    stat >> user >> system;
    return user + system;
}

// Holds a key for 0.1 s through xdotool, as a person presses it.
void press_key(const std::string &display, const char *key_name)
{
    const std::string prefix = "DISPLAY=" + display + " xdotool ";
    std::system((prefix + "keydown " + key_name).c_str());
    sleep_ms(100);
    std::system((prefix + "keyup " + key_name).c_str());
    sleep_ms(200);
}

// Percent of one core the program and the X server use together over sample_seconds while
// the program waits on the menu; with the pulse off when asked (N, M, Esc on the settings
// screen, which every build understands).
double idle_percent(const Server &server, const std::string &program, bool pulse,
                    const std::vector<std::string> &arguments)
{
    const pid_t child = start_program(program, server.display, arguments);
    sleep_ms(1500);
    if (!pulse) {
        press_key(server.display, "n");
        press_key(server.display, "m");
        press_key(server.display, "Escape");
    }
    std::system(("DISPLAY=" + server.display + " xdotool mousemove 620 470").c_str());
    sleep_ms(1000);
    const long before = cpu_ticks(child) + cpu_ticks(server.pid);
    sleep_ms(sample_seconds * 1000);
    const long after = cpu_ticks(child) + cpu_ticks(server.pid);
    stop(child);
    sleep_ms(300);
    return 100.0 * static_cast<double>(after - before) /
           (static_cast<double>(sysconf(_SC_CLK_TCK)) * sample_seconds);
}

// The median of some samples.
double median(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// One program and how it is started.
struct Candidate {
    std::string label;
    std::string program;
    std::vector<std::string> arguments;
};

} // namespace

// Usage: measure_shell DEPTH PROGRAM [BASELINE]
// DEPTH is the X screen's depth (16 or 24). PROGRAM is measured at zoom 1 and at zoom 2;
// BASELINE, an earlier build, at zoom 1, alternating with it.
int main(int argc, char **argv)
{
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: %s DEPTH PROGRAM [BASELINE]\n", argv[0]);
        return 2;
    }
    const int depth = std::atoi(argv[1]);
    if (const char *seconds = std::getenv("MEASURE_SECONDS"))
        sample_seconds = std::max(1, std::atoi(seconds));
    if (const char *count = std::getenv("MEASURE_ROUNDS"))
        rounds = std::max(1, std::atoi(count));
    const Server server = start_server(1280, 960, depth);
    if (server.display.size() < 2) {
        std::fprintf(stderr, "no X server\n");
        return 2;
    }
    std::vector<Candidate> candidates{{"this build", argv[2], {}}};
    if (argc == 4)
        candidates.insert(candidates.begin(), {"baseline", argv[3], {}});
    candidates.push_back({"this build, zoom 2", argv[2], {"--zoom", "2"}});

    std::printf("X screen at %d bits per pixel\n", depth);
    for (const Candidate &c : candidates) {
        if (!c.arguments.empty())
            continue;
        std::vector<double> times;
        for (int run = 0; run < 7; run++)
            times.push_back(time_to_first_frame(server, c.program));
        std::sort(times.begin(), times.end());
        std::printf("  %-20s start to first frame: min %.1f ms, median %.1f ms, max %.1f ms\n",
                    c.label.c_str(), times.front(), times[3], times.back());
    }
    std::vector<std::vector<double>> pulsing(candidates.size());
    std::vector<std::vector<double>> steady(candidates.size());
    for (int round = 0; round < rounds; round++)
        for (std::size_t i = 0; i < candidates.size(); i++) {
            const Candidate &c = candidates[i];
            pulsing[i].push_back(idle_percent(server, c.program, true, c.arguments));
            steady[i].push_back(idle_percent(server, c.program, false, c.arguments));
        }
    for (std::size_t i = 0; i < candidates.size(); i++)
        std::printf("  %-20s menu idle, program and X server: pulsing %.1f %%, pulse off %.1f "
                    "%% of one core (medians of %d x %d s)\n",
                    candidates[i].label.c_str(), median(pulsing[i]), median(steady[i]), rounds,
                    sample_seconds);
    stop(server.pid);
    for (const std::string &folder : scratch_folders)
        std::filesystem::remove_all(folder);
    return 0;
}
