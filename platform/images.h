// The seven screen images: their names, loading them at start-up and releasing them at the end.
#pragma once

#include <allegro.h>

#include <array>
#include <string>

// The seven images, in load order, with what each is for.
enum ImageSlot {
    image_pulse_on,
    image_pulse_off,
    image_work_background,
    image_normal_pointer,
    image_settings_background,
    image_menu_background,
    image_busy_pointer,
    image_count
};

// The images drawn as a screen's whole background.
constexpr std::array<ImageSlot, 3> background_images{
    image_menu_background, image_settings_background, image_work_background};

// Base file names of the images, indexed by ImageSlot.
constexpr std::array<const char *, image_count> image_names{"butyes", "butno", "start", "myska",
                                                            "about",  "uvod",  "cakaj"};

using ImageTable = std::array<BITMAP *, image_count>;
using BackgroundTable = std::array<RLE_SPRITE *, image_count>;

extern ImageTable images;                  // the seven images by ImageSlot (load_images writes)
extern BackgroundTable background_sprites; // the three screen backgrounds by ImageSlot (the
                                           // other slots nullptr), run-length coded so that
                                           // transparent runs cost nothing (load_images writes)
extern BITMAP *back_buffer;                // 640x480 frame composed off screen (load_images)
extern BITMAP *shown_buffer; // a copy of the frame the display shows, so that only rows that
                             // change are copied to it (load_images creates, show_frame writes)

// Loads the seven images and creates the back buffer and its shown copy: 0 on success, 1 on failure
// (message already shown).
int load_images();

// Loads the images again in the set of the language now chosen (the English set's labels where a
// catalog gives the texts); when the set cannot be loaded whole, the images shown stay.
void reload_language_images();

// Destroys every bitmap the program holds.
void release_images();

// The directories searched for images, in order: the current one (""), the executable's,
// the data directory of an installed tree around the executable (<bin>/../share/<program>),
// and the data directory the program was built for.
std::array<std::string, 4> image_directories();

// Loads one image by base name: ".tga" before ".bmp", directory by directory.
BITMAP *load_image(const char *base_name);

// Loads the image of `slot` in the set of the texts' language: <name>_en where a catalog gives
// the texts and that image exists, else <name>.
BITMAP *load_language_image(int slot);
