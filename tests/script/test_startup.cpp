// Loading the seven images at start-up: ".bmp" when there is no ".tga", ".tga" first, and the
// message when one is missing. Built into a folder of its own so that no image lies beside it.
#include "platform/frame.h"
#include "platform/images.h"
#include "platform/layout.h"
#include "platform/startup.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#ifndef ASSETS_DIR
#error "ASSETS_DIR must name the folder of the committed images"
#endif

namespace
{

// True when a file of that name exists.
bool exists(const std::string &path)
{
    struct stat info {
    };
    return stat(path.c_str(), &info) == 0;
}

// Copies a file byte for byte.
bool copy_file(const std::string &from, const std::string &to)
{
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary);
    out << in.rdbuf();
    return in.good() && out.good();
}

// The committed picture of an image slot, loaded at the current colour depth.
BITMAP *committed_image(int slot)
{
    const std::string path = std::string(ASSETS_DIR) + "/" + image_names[slot] + ".tga";
    return load_bitmap(path.c_str(), nullptr);
}

// True when two bitmaps have the same size and the same pixels.
bool same_pixels(BITMAP *a, BITMAP *b)
{
    if (!a || !b || a->w != b->w || a->h != b->h)
        return false;
    for (int y = 0; y < a->h; y++)
        for (int x = 0; x < a->w; x++)
            if (getpixel(a, x, y) != getpixel(b, x, y))
                return false;
    return true;
}

// Each test runs load_images in a fresh folder of its own, as the working directory.
class StartupTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr)
            << "DISPLAY is not set: these tests open a window and need an X display "
               "(run them under xvfb-run -a)";
        static const bool started = allegro_init() == 0;
        ASSERT_TRUE(started) << allegro_error;
        set_color_depth(16);
        ASSERT_EQ(set_gfx_mode(GFX_AUTODETECT_WINDOWED, screen_width, screen_height, 0, 0), 0)
            << allegro_error;
        // Only the working directory may hold images, or the tests prove nothing.
        const auto directories = image_directories();
        for (std::size_t d = 1; d < directories.size(); d++)
            for (const char *name : image_names)
                for (const char *extension : {".tga", ".bmp"})
                    ASSERT_FALSE(exists(directories[d] + name + extension))
                        << directories[d] + name + extension
                        << " would be found instead of the test's images";
        char pattern[] = "/tmp/gjstartXXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        ASSERT_EQ(chdir(folder_.c_str()), 0);
    }

    void TearDown() override
    {
        release_images();
        if (chdir("/") != 0)
            ADD_FAILURE() << "cannot leave " << folder_;
        for (const std::string &file : files_)
            std::remove(file.c_str());
        if (!folder_.empty())
            rmdir(folder_.c_str());
    }

    // Puts the committed ".tga" of a slot into the folder.
    void put_tga(int slot)
    {
        const std::string to = folder_ + "/" + image_names[slot] + ".tga";
        ASSERT_TRUE(copy_file(std::string(ASSETS_DIR) + "/" + image_names[slot] + ".tga", to));
        files_.push_back(to);
    }

    // Puts a ".bmp" of a slot into the folder: the committed picture, optionally with a green bar
    // across it so that it can be told from the ".tga".
    void put_bmp(int slot, bool marked)
    {
        BITMAP *image = committed_image(slot);
        ASSERT_NE(image, nullptr) << image_names[slot];
        if (marked)
            rectfill(image, 0, 0, image->w - 1, image->h / 3, makecol(0, 255, 0));
        const std::string to = folder_ + "/" + image_names[slot] + ".bmp";
        ASSERT_EQ(save_bmp(to.c_str(), image, nullptr), 0);
        destroy_bitmap(image);
        files_.push_back(to);
    }

    // Writes a file into the folder and notes it for removal.
    std::string put_file(const std::string &name, const std::string &content)
    {
        const std::string path = folder_ + "/" + name;
        std::ofstream(path) << content;
        files_.push_back(path);
        return path;
    }

    std::string folder_;
    std::vector<std::string> files_;
};

TEST_F(StartupTest, WithOnlyTheBmpFormsEveryImageLoads)
{
    for (int slot = 0; slot < image_count; slot++)
        put_bmp(slot, false);
    ASSERT_EQ(load_images(), 0);
    for (int slot = 0; slot < image_count; slot++) {
        BITMAP *expected = committed_image(slot);
        EXPECT_TRUE(same_pixels(images[slot], expected)) << image_names[slot];
        destroy_bitmap(expected);
    }
    ASSERT_NE(back_buffer, nullptr);
    EXPECT_EQ(back_buffer->w, screen_width);
    EXPECT_EQ(back_buffer->h, screen_height);
    EXPECT_EQ(pointer_image, images[image_normal_pointer]);
}

TEST_F(StartupTest, WithBothFormsTheTgaIsUsed)
{
    for (int slot = 0; slot < image_count; slot++) {
        put_tga(slot);
        put_bmp(slot, true);
    }
    ASSERT_EQ(load_images(), 0);
    for (int slot = 0; slot < image_count; slot++) {
        BITMAP *expected = committed_image(slot);
        EXPECT_TRUE(same_pixels(images[slot], expected))
            << image_names[slot] << ": the .bmp was used";
        destroy_bitmap(expected);
    }
}

TEST_F(StartupTest, AMissingLastImageStopsStartUpWithTheFileMessageAfterTheSixOthersLoaded)
{
    for (int slot = 0; slot < image_count; slot++)
        if (slot != image_busy_pointer)
            put_tga(slot);
    // allegro_message runs xmessage and waits for it: a stand-in writes its arguments down.
    const std::string log = folder_ + "/message.txt";
    const std::string fake =
        put_file("xmessage", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" +
                                 log + "'\nexit 101\n");
    files_.push_back(log);
    ASSERT_EQ(chmod(fake.c_str(), 0755), 0);
    const std::string path = folder_ + ":" + (std::getenv("PATH") ? std::getenv("PATH") : "");
    setenv("PATH", path.c_str(), 1);

    EXPECT_EQ(load_images(), 1);
    for (int slot = 0; slot < image_count; slot++)
        EXPECT_EQ(images[slot] != nullptr, slot != image_busy_pointer) << image_names[slot];

    std::ifstream in(log);
    ASSERT_TRUE(in.good()) << "no message box was shown";
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    std::size_t at = 0;
    while (at < lines.size() && lines[at] != "Mam problemy so subormi.")
        at++;
    ASSERT_LT(at + 1, lines.size()) << "the message box did not say \"Mam problemy so subormi.\"";
    EXPECT_FALSE(lines[at + 1].empty()) << "no reason on the line after the message";
}

} // namespace
