// Start-up and shutdown: the library, the display, the seven images and the back buffer.
#pragma once

#include "layout.h"

#include <allegro.h>

#include <array>
#include <string>

// The window's title, also how tests find the window.
constexpr const char *window_title = "Gauss-Jordanova eliminacia";

using ImageTable = std::array<BITMAP *, image_count>;
using BackgroundTable = std::array<RLE_SPRITE *, 3>;

extern ImageTable images;                  // the seven images by ImageSlot (load_images writes)
extern BackgroundTable background_sprites; // backgrounds by FrameKind, run-length coded so
                                           // transparent runs cost nothing (load_images writes)
extern BITMAP *back_buffer;                // 640x480 frame composed off screen (load_images)
extern int windowed; // 1 in a window, 0 full screen (init_graphics, toggle_display_mode write)

// Brings up the library, input, timer and a 640x480 display: 0 on success, 1 on failure
// (message already shown).
int init_graphics();

// Loads the seven images and creates the back buffer: 0 on success, 1 on failure
// (message already shown).
int load_images();

// Destroys every bitmap the program holds.
void release_images();

// The directories searched for images, in order: the current one (""), the executable's,
// the data directory of an installed tree around the executable (<bin>/../share/<program>),
// and the data directory the program was built for.
std::array<std::string, 4> image_directories();

// Loads one image by base name: ".tga" before ".bmp", directory by directory.
BITMAP *load_image(const char *base_name);

// Switches to the text mode and shows a start-up failure with the library's reason.
void report_fatal(const char *message, const char *reason);
