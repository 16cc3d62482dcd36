// Sizes of the generated pictures that the shared screen layout does not fix.
#pragma once

// Both pointer images are square and this many pixels on a side.
constexpr int pointer_size = 32;
