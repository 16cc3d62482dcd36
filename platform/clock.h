// The time the program measures held buttons by.
#pragma once

// Milliseconds on a steady clock since an arbitrary start.
long long elapsed_ms();
