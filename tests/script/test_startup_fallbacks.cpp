// Start-up when the display or memory refuses: the display modes tried in order, the text mode
// and the message box at the end, and the exit code, with the library's mode switch, bitmap
// creation and message box replaced by recording stand-ins defined here.
#include "platform/display.h"
#include "platform/images.h"
#include "platform/startup.h"

#include <allegro.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#ifndef IMAGE_DIR
#error "IMAGE_DIR must name the directory holding the seven images"
#endif

namespace
{

// One display request as the stand-in saw it: the colour depth then set, the card and the size.
struct ModeRequest {
    int depth;
    int card;
    int width;
    int height;
};

// What the stand-ins refuse in the case under way, and what they saw.
struct Recording {
    std::vector<ModeRequest> refused; // display requests that fail
    bool refuse_back_buffer = false;  // a 640x480 bitmap cannot be created
    std::vector<ModeRequest> requests;
    std::vector<std::string> messages;
};
Recording *recording = nullptr; // the case under way; null: the stand-ins only pass through
int forwarding = 0;             // >0 while the library's own set_gfx_mode runs

// A request as text: "16/WIN/640x480", "16/TEXT/0x0".
std::string describe(const ModeRequest &request)
{
    const char *card = request.card == GFX_AUTODETECT_WINDOWED ? "WIN"
                       : request.card == GFX_SAFE              ? "SAFE"
                       : request.card == GFX_TEXT              ? "TEXT"
                                                               : "other";
    return std::to_string(request.depth) + "/" + card + "/" + std::to_string(request.width) + "x" +
           std::to_string(request.height);
}

// Requests as text, in order.
std::string describe(const std::vector<ModeRequest> &requests)
{
    std::string text;
    for (const ModeRequest &request : requests)
        text += (text.empty() ? "" : " ") + describe(request);
    return text;
}

// The reason a refused request leaves in allegro_error, as the library leaves its own.
std::string refusal_reason(const ModeRequest &request)
{
    return "refused " + describe(request);
}

} // namespace

// Replaces the library's mode switch: records each request of the program, fails the refused
// ones and hands the others to the library so that a real window exists.
int set_gfx_mode(int card, int w, int h, int v_w, int v_h)
{
    using SetGfxMode = int (*)(int, int, int, int, int);
    static const auto real = reinterpret_cast<SetGfxMode>(dlsym(RTLD_NEXT, "set_gfx_mode"));
    if (recording && forwarding == 0) {
        const ModeRequest request{get_color_depth(), card, w, h};
        recording->requests.push_back(request);
        const auto &refused = recording->refused;
        if (std::any_of(refused.begin(), refused.end(), [&](const ModeRequest &r) {
                return r.depth == request.depth && r.card == request.card;
            })) {
            std::snprintf(allegro_error, ALLEGRO_ERROR_SIZE, "%s", refusal_reason(request).c_str());
            return -1;
        }
    }
    forwarding++;
    const int result = real(card, w, h, v_w, v_h);
    forwarding--;
    return result;
}

// Replaces the library's bitmap creation: the 640x480 back buffer fails when the case says so.
BITMAP *create_bitmap(int width, int height)
{
    if (recording && recording->refuse_back_buffer && width == 640 && height == 480)
        return nullptr;
    return create_bitmap_ex(get_color_depth(), width, height);
}

// Replaces the library's message box: records the text instead of showing it.
void allegro_message(const char *format, ...)
{
    char text[1024];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    if (recording)
        recording->messages.push_back(text);
    else
        std::fputs(text, stderr);
}

namespace
{

// One start-up: what is refused, and what the program must try, return, set and say.
struct FallbackCase {
    const char *name;
    std::vector<ModeRequest> refused;
    bool refuse_back_buffer;
    std::vector<ModeRequest> tried; // every display request, in order
    int result;                     // init_graphics, then load_images as main runs them
    const char *message;            // the one message box, or null for none
};

TEST(StartupFallbackTest, EachRefusalFallsBackInOrderAndTheLastOneEndsStartUp)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr)
        << "DISPLAY is not set: this test opens windows and needs an X display "
           "(run it under xvfb-run -a)";
    ASSERT_EQ(chdir(IMAGE_DIR), 0) << "cannot enter the image directory " << IMAGE_DIR;
    const ModeRequest window16{16, GFX_AUTODETECT_WINDOWED, 640, 480};
    const ModeRequest window24{24, GFX_AUTODETECT_WINDOWED, 640, 480};
    const ModeRequest safe16{16, GFX_SAFE, 640, 480};
    const ModeRequest text16{16, GFX_TEXT, 0, 0};
    const std::string no_display = "Zlyhala grafika.\n" + refusal_reason(safe16) + "\n";
    const std::vector<FallbackCase> cases{
        {"16-bit window accepted", {}, false, {window16}, 0, nullptr},
        {"16 refused, 24 accepted", {window16}, false, {window16, window24}, 0, nullptr},
        {"both windows refused, safe accepted",
         {window16, window24},
         false,
         {window16, window24, safe16},
         0,
         nullptr},
        {"everything refused",
         {window16, window24, safe16},
         false,
         {window16, window24, safe16, text16},
         1,
         no_display.c_str()},
        {"no memory for the back buffer",
         {},
         true,
         {window16, text16},
         1,
         "Zlyhala grafika.\nNedostatok pamate pre obraz 640x480.\n"},
    };
    for (const FallbackCase &c : cases) {
        Recording seen;
        seen.refused = c.refused;
        seen.refuse_back_buffer = c.refuse_back_buffer;
        windowed = 0;
        recording = &seen;
        const int result = init_graphics() != 0 ? 1 : load_images();
        recording = nullptr;
        release_images();
        allegro_exit(); // the next case starts the library afresh, as a new run would
        EXPECT_EQ(describe(seen.requests), describe(c.tried)) << c.name;
        EXPECT_EQ(result, c.result) << c.name;
        if (c.result == 0) {
            EXPECT_EQ(windowed, 1) << c.name;
        }
        const std::vector<std::string> expected_messages =
            c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{};
        EXPECT_EQ(seen.messages, expected_messages) << c.name;
    }
}

} // namespace
