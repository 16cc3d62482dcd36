// The time the program measures held buttons by. Kept alone in its file so that a test
// executable can define its own elapsed_ms() and run time frame by frame.
#include "clock.h"

#include <chrono>

// Milliseconds on a steady clock since an arbitrary start.
long long elapsed_ms()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
}
