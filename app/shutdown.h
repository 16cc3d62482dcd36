// Ending the program when told to from outside: a signal, or the X server going away.
#pragma once

#include <atomic>

extern std::atomic<int> quit_signal; // the signal that asked the program to end, 0 for none
                                     // (written by the signal handler)

// From now on SIGTERM, SIGINT and SIGHUP end the program as the window's close button does:
// every loop returns and main exits with 128 + the signal's number. A lost connection to the
// X server ends the program at once with status 1 and one line on standard error.
void install_shutdown_handlers();
