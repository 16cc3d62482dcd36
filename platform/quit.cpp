// The request to end the program: the close button, signals, the X server going away.
#include "quit.h"

#include <X11/Xlib.h>
#include <allegro.h>
#include <pthread.h>
#include <unistd.h>

#include <array>
#include <csignal>
#include <cstdlib>
#include <cstring>

std::atomic<int> quit_requested{0};
int exit_code = 0;
std::atomic<int> quit_signal{0};

// Ends the run from any depth.
void request_quit(int code)
{
    if (code != 0)
        exit_code = code;
    quit_requested = 1;
}

// Called by the library when the window's close button is pressed.
static void close_button_pressed()
{
    quit_requested = 1;
}
END_OF_STATIC_FUNCTION(close_button_pressed)

// Lets the window's close button end the program cleanly.
void install_close_button()
{
    set_close_button_callback(close_button_pressed);
}

namespace
{

// Asks every loop to return, as the close button does; main turns the signal into the exit
// status. Only lock-free atomics are touched, as a signal handler may.
void end_on_signal(int number)
{
    quit_signal = number;
    quit_requested = 1;
}

// Xlib calls this once the connection to the X server is lost, from whichever thread noticed,
// and would end the program with exit() if it returned. Running the library's exit handlers
// then waits for a lock the library's other thread holds, so the program leaves at once.
int lost_display(Display *)
{
    static const char message[] = "gauss-jordan: spojenie s X serverom sa prerusilo\n";
    const ssize_t written = write(STDERR_FILENO, message, sizeof message - 1);
    (void)written; // nothing more can be done about a closed standard error
    _exit(1);
}

constexpr std::array<int, 3> shutdown_signals{SIGTERM, SIGINT, SIGHUP};

// The set of the three signals that end the program from outside.
sigset_t shutdown_signal_set()
{
    sigset_t set;
    sigemptyset(&set);
    for (int number : shutdown_signals)
        sigaddset(&set, number);
    return set;
}

} // namespace

// Blocks the three signals in this thread; threads started from now on inherit the mask.
void hold_shutdown_signals()
{
    const sigset_t set = shutdown_signal_set();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

// True when one of the three signals is pending.
bool shutdown_signal_waiting()
{
    sigset_t pending;
    sigemptyset(&pending);
    sigpending(&pending);
    for (int number : shutdown_signals)
        if (sigismember(&pending, number) == 1)
            return true;
    return false;
}

// Installs the handlers over the library's own, which end the program from inside the signal,
// then lets in the signals held back meanwhile; the library's threads, started while they were
// held, keep them blocked.
void install_shutdown_handlers()
{
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = end_on_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : shutdown_signals)
        sigaction(number, &action, nullptr);
    XSetIOErrorHandler(lost_display);
    const sigset_t set = shutdown_signal_set();
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

// 128 + the signal that asked the program to end, else `code`.
int ending_status(int code)
{
    const int number = quit_signal;
    return number ? 128 + number : code;
}
