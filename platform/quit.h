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

// Holds SIGTERM, SIGINT and SIGHUP back in the calling thread and in every thread it starts
// from now on (the library's), until install_shutdown_handlers lets them in: called before the
// library starts, so that a signal during start-up never reaches the library's own handlers,
// which end the program from inside the signal (with a core, now and then); called again once
// the loops have unwound, so that a late signal cannot cut the shutdown short.
void hold_shutdown_signals();

// True when one of the three signals arrived while they were held back.
bool shutdown_signal_waiting();

// From now on SIGTERM, SIGINT and SIGHUP end the program as the window's close button does:
// every loop returns and main exits with 128 + the signal's number. A signal held back since
// hold_shutdown_signals arrives now and is taken the same way. A lost connection to the X
// server ends the program at once with status 1 and one line on standard error.
void install_shutdown_handlers();

// The status the program ends with: 128 + the number of the signal that asked it to end, or
// `code` when none did.
int ending_status(int code);
