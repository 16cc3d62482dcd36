// The seven screen images: their names, loading them at start-up and releasing them at the end.
#include "images.h"

#include "frame.h"
#include "language.h"
#include "layout.h"
#include "quit.h"
#include "startup.h"

#include "../matrix/translation.h"

#include <cstdio>

ImageTable images{};
BackgroundTable background_sprites{};
BITMAP *back_buffer = nullptr;
BITMAP *shown_buffer = nullptr;

#ifndef PROGRAM_NAME
#define PROGRAM_NAME "gauss-jordan"
#endif
#ifndef DATA_DIR
#define DATA_DIR "/usr/share/" PROGRAM_NAME
#endif

// The directories searched for images, in order.
std::array<std::string, 4> image_directories()
{
    char executable[1024] = "";
    get_executable_name(executable, sizeof executable);
    char *name = get_filename(executable);
    std::string beside_program(executable, static_cast<std::size_t>(name - executable));
    return {std::string(), beside_program, beside_program + "../share/" PROGRAM_NAME "/",
            std::string(DATA_DIR) + "/"};
}

// Loads one image by base name: ".tga" before ".bmp", directory by directory.
BITMAP *load_image(const char *base_name)
{
    for (const std::string &directory : image_directories()) {
        for (const char *extension : {".tga", ".bmp"}) {
            std::string path = directory + base_name + extension;
            BITMAP *image = load_bitmap(path.c_str(), nullptr);
            if (image)
                return image;
        }
    }
    return nullptr;
}

// Loads the image of `slot` in the set of the texts' language: the English set's
// (<name>_en) where a catalog gives the texts and the image has one, else the Slovak one.
BITMAP *load_language_image(int slot)
{
    if (catalog_in_use()) {
        const std::string english = std::string(image_names[slot]) + "_en";
        if (BITMAP *image = load_image(english.c_str()))
            return image;
    }
    return load_image(image_names[slot]);
}

namespace
{

// Destroys the images and the background sprites made of them.
void release_slot_images()
{
    for (BITMAP *&image : images) {
        if (image)
            destroy_bitmap(image);
        image = nullptr;
    }
    for (RLE_SPRITE *&sprite : background_sprites) {
        if (sprite)
            destroy_rle_sprite(sprite);
        sprite = nullptr;
    }
}

// Loads the seven images of the language's set and their background sprites: 0, or 1 with
// the failure reported.
int load_slot_images()
{
    for (int slot = 0; slot < image_count; slot++) {
        allegro_error[0] = '\0'; // so a stale reason from an earlier call is not shown
        images[slot] = load_language_image(slot);
        if (!images[slot]) {
            char reason[256];
            std::snprintf(reason, sizeof reason, "%s (%s.tga / %s.bmp)",
                          allegro_error[0] ? allegro_error : tr("Obrazok sa nenasiel"),
                          image_names[slot], image_names[slot]);
            report_fatal(tr("Mam problemy so subormi."), reason);
            return 1;
        }
    }
    bool sprites_made = true;
    for (ImageSlot slot : background_images) {
        background_sprites[slot] = get_rle_sprite(images[slot]);
        sprites_made = sprites_made && background_sprites[slot];
    }
    if (!sprites_made) {
        report_fatal(tr("Zlyhala grafika."), tr("Nedostatok pamate pre obraz 640x480."));
        return 1;
    }
    pointer_image = images[image_normal_pointer];
    return 0;
}

} // namespace

// Loads the seven images in order and creates the back buffer.
int load_images()
{
    if (load_slot_images() != 0)
        return 1;
    back_buffer = create_bitmap(screen_width, screen_height);
    shown_buffer = create_bitmap(screen_width, screen_height);
    if (!back_buffer || !shown_buffer) {
        report_fatal(tr("Zlyhala grafika."), tr("Nedostatok pamate pre obraz 640x480."));
        return 1;
    }
    return 0;
}

// Loads the images again in the set of the language now chosen. The new set is loaded whole
// before the old one goes, so an image that cannot be found (or memory that runs out) keeps the
// images on screen instead of ending the program.
void reload_language_images()
{
    ImageTable loaded{};
    BackgroundTable sprites{};
    bool whole = true;
    for (int slot = 0; slot < image_count && whole; slot++) {
        loaded[slot] = load_language_image(slot);
        whole = loaded[slot] != nullptr;
    }
    for (ImageSlot slot : background_images) {
        if (whole)
            sprites[slot] = get_rle_sprite(loaded[slot]);
        whole = whole && sprites[slot];
    }
    if (whole) {
        release_slot_images();
        images = loaded;
        background_sprites = sprites;
        pointer_image = images[image_normal_pointer];
        return;
    }
    for (RLE_SPRITE *sprite : sprites)
        if (sprite)
            destroy_rle_sprite(sprite);
    for (BITMAP *image : loaded)
        if (image)
            destroy_bitmap(image);
}

// Destroys every bitmap the program holds.
void release_images()
{
    release_slot_images();
    for (BITMAP **buffer : {&back_buffer, &shown_buffer}) {
        if (*buffer)
            destroy_bitmap(*buffer);
        *buffer = nullptr;
    }
    pointer_image = nullptr;
}
