// The request to end the program: from the window's close button, a signal, a lost X server or
// a display that cannot be restored. Every loop looks at it and returns.
#pragma once

#include <atomic>

extern std::atomic<int> quit_requested; // set when the program must end: every loop unwinds
                                        // (window's close button, from the window system's
                                        // thread, a signal, or a display that cannot be restored)
extern int exit_code; // what main returns once the loops have unwound (request_quit writes)
extern std::atomic<int> quit_signal; // the signal that asked the program to end, 0 for none
                                     // (written by the signal handler)

// Ends the run from any depth: every loop returns, then main exits with `code`.
void request_quit(int code);

// Lets the window's close button end the program cleanly.
void install_close_button();

// From now on SIGTERM, SIGINT and SIGHUP end the program as the window's close button does:
// every loop returns and main exits with 128 + the signal's number. A lost connection to the
// X server ends the program at once with status 1 and one line on standard error.
void install_shutdown_handlers();
