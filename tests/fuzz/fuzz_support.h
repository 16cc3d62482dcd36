// What the fuzz targets share: stopping on a broken invariant, and counting digits. The target
// is named by its binary, in the stack trace and in the crash file's folder.
#pragma once

#include <gmpxx.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>

// Stops the run with a message when an invariant of the code under test does not hold.
inline void require(bool holds, const char *what)
{
    if (holds)
        return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

// The digits of an integer's magnitude.
inline std::size_t digits(const mpz_class &value)
{
    return mpz_class(abs(value)).get_str().size();
}
