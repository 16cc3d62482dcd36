// Paints the program's seven pictures with Allegro and writes them as TGA files into the directory
// given as argv[1].
#include <allegro.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "art.h"
#include "images.h"
#include "layout.h"

namespace
{

// Colours used across all pictures; magenta is Allegro's transparent mask colour.
constexpr Colour mask_colour{255, 0, 255};
constexpr Colour outline_colour{16, 20, 36};
constexpr Colour shadow_colour{44, 46, 60};
constexpr Colour plate_fill{24, 32, 70};
constexpr Colour plate_border{112, 134, 196};
constexpr Colour panel_fill = panel_fill_colour;
constexpr Colour panel_border = panel_border_colour;
constexpr Colour text_white{255, 255, 255};
constexpr Colour text_gold{255, 214, 92};
constexpr Colour text_soft{196, 206, 232};
constexpr Colour text_shadow{8, 10, 20};

// A button face: lighter upper half, base lower half.
struct Face {
    Colour light;
    Colour base;
};

constexpr Face green_face{{70, 170, 95}, {35, 125, 60}};
constexpr Face blue_face{{75, 120, 210}, {35, 75, 165}};
constexpr Face red_face{{210, 80, 70}, {160, 35, 30}};
constexpr Face grey_face{{128, 134, 150}, {90, 96, 112}};
constexpr Face orange_face{{222, 132, 40}, {182, 92, 14}};
constexpr Face teal_face{{45, 162, 172}, {20, 118, 128}};
constexpr Face pulse_on_face{{80, 200, 90}, {30, 150, 45}};
constexpr Face pulse_off_face{{205, 75, 70}, {150, 35, 32}};

// Every label and line drawn into the pictures, in Slovak and in English: the English set
// (<name>_en.tga) draws the second. The keys in brackets stay the same letters.
struct LabelText {
    const char *slovak;
    const char *english;
};

constexpr LabelText label_texts[] = {
    {"Riesenie (S)",
     "Solving (S)"},
    {"Nastavenia (N)",
     "Settings (N)"},
    {"Koniec (K)",
     "Quit (K)"},
    {"Riesit (R)",
     "Solve (R)"},
    {"Prerusit (P)",
     "Pause (P)"},
    {"Nacitat (Z)",
     "Load (Z)"},
    {"Spat (S)",
     "Back (S)"},
    {"Tento program ukazuje Gauss-Jordanovu eliminaciu krok za krokom.",
     "This program shows Gauss-Jordan elimination step by step."},
    {"Nacitajte sustavu linearnych rovnic a spustite riesenie: matica",
     "Load a system of linear equations and start solving: row"},
    {"sa upravuje riadkovymi upravami az na redukovany stupnovity tvar,",
     "operations bring the matrix to the reduced row echelon form,"},
    {"z ktoreho sa priamo precita riesenie sustavy.",
     "from which the solution of the system is read directly."},
    {"Pri rieseni: klaves alebo klik - dalsi krok, Backspace - krok spat,",
     "While solving: a key or click - next step, Backspace - step back,"},
    {"P - prerusit, Esc - zastavit.   R - riesit   Z - nacitat   S - spat",
     "P - pause, Esc - stop.   R - solve   Z - load   S - back"},
    {"Velkost okna:  + zvacsit,  - zmensit  (v okne, nie na celej obraz.)",
     "Window size:  + larger,  - smaller  (in a window, not full screen)"},
    {"Gauss-Jordanova eliminacia",
     "Gauss-Jordan elimination"},
    {"Riesenie sustav linearnych rovnic krok za krokom",
     "Solving systems of linear equations step by step"},
    {"Ovladanie: mys alebo klaves v zatvorke",
     "Use the mouse or the key in brackets"},
    {"O programe",
     "About"},
    {"Nastavenia",
     "Settings"},
    {"Pulzovanie pozadia (M)",
     "Pulsing background (M)"},
    {"Cela obrazovka / okno (F)",
     "Full screen / window (F)"},
    {"Esc - spat",
     "Esc - back"},
    {"Sustava rovnic",
     "Linear system"},
    {"ZAP",
     "ON"},
    {"VYP",
     "OFF"},
};

bool english_set = false; // the pictures being painted are the English set's

// The text of a label in the set being painted.
const char *label(const char *slovak)
{
    if (english_set)
        for (const LabelText &text : label_texts)
            if (std::strcmp(text.slovak, slovak) == 0)
                return text.english;
    return slovak;
}

// A painted button: where it lies, its face, label and horizontal text scale in halves.
struct ButtonArt {
    Rect rect;
    Face face;
    const char *label;
    int x_halves;
};

constexpr std::array<ButtonArt, 3> menu_buttons{{
    {menu_work_button, green_face, "Riesenie (S)", 4},
    {menu_settings_button, blue_face, "Nastavenia (N)", 4},
    {menu_quit_button, red_face, "Koniec (K)", 4},
}};

constexpr std::array<ButtonArt, 4> work_buttons{{
    {work_solve_button, green_face, "Riesit (R)", 3},
    {work_interrupt_button, orange_face, "Prerusit (P)", 3},
    {work_load_button, teal_face, "Nacitat (Z)", 3},
    {work_back_button, grey_face, "Spat (S)", 3},
}};

constexpr ButtonArt settings_back_art{settings_back_button, grey_face, "Spat (S)", 3};
constexpr ButtonArt settings_display_art{settings_display_button, blue_face, "", 3};
constexpr ButtonArt settings_pulse_art{settings_pulse_button, grey_face, "", 3};

// The settings screen's description, one line of 8x8 text each.
constexpr std::array<const char *, 9> about_lines{
    "Tento program ukazuje Gauss-Jordanovu eliminaciu krok za krokom.",
    "Nacitajte sustavu linearnych rovnic a spustite riesenie: matica",
    "sa upravuje riadkovymi upravami az na redukovany stupnovity tvar,",
    "z ktoreho sa priamo precita riesenie sustavy.",
    "",
    "Pri rieseni: klaves alebo klik - dalsi krok, Backspace - krok spat,",
    "P - prerusit, Esc - zastavit.   R - riesit   Z - nacitat   S - spat",
    "",
    "Velkost okna:  + zvacsit,  - zmensit  (v okne, nie na celej obraz.)",
};

// Converts a colour to a pixel value of the current 24-bit depth.
int pixel(Colour c)
{
    return makecol(c.r, c.g, c.b);
}

// Returns c moved towards white (positive amount) or black (negative amount).
Colour shade(Colour c, int amount)
{
    auto clamp = [](int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); };
    return Colour{clamp(c.r + amount), clamp(c.g + amount), clamp(c.b + amount)};
}

// Fills a rectangle with corners rounded by radius r (all bounds inclusive).
void fill_round_rect(BITMAP *bmp, int x1, int y1, int x2, int y2, int r, Colour c)
{
    const int colour = pixel(c);
    rectfill(bmp, x1 + r, y1, x2 - r, y2, colour);
    rectfill(bmp, x1, y1 + r, x2, y2 - r, colour);
    circlefill(bmp, x1 + r, y1 + r, r, colour);
    circlefill(bmp, x2 - r, y1 + r, r, colour);
    circlefill(bmp, x1 + r, y2 - r, r, colour);
    circlefill(bmp, x2 - r, y2 - r, r, colour);
}

// Width in pixels of text drawn with the built-in font at x_halves/2 horizontal scale.
int scaled_text_width(const char *text, int x_halves)
{
    return text_length(font, text) * x_halves / 2;
}

// Draws text with its top-left corner at (x, y), scaled x_halves/2 across and y_scale down.
void draw_scaled_text(BITMAP *bmp, const char *text, int x, int y, int x_halves, int y_scale,
                      Colour c)
{
    const int width = text_length(font, text);
    const int height = text_height(font);
    if (width <= 0)
        return;
    BITMAP *glyphs = create_bitmap_ex(24, width, height);
    if (!glyphs)
        return;
    clear_to_color(glyphs, pixel(mask_colour));
    textout_ex(glyphs, font, text, 0, 0, pixel(c), -1);
    masked_stretch_blit(glyphs, bmp, 0, 0, width, height, x, y, width * x_halves / 2,
                        height * y_scale);
    destroy_bitmap(glyphs);
}

// Draws scaled text centred on (cx, cy) with a dark drop shadow beneath it.
void draw_centred_label(BITMAP *bmp, const char *text, int cx, int cy, int x_halves, int y_scale,
                        Colour c)
{
    // The font's last column is blank, so leave it out when centring.
    const int width = scaled_text_width(text, x_halves) - x_halves / 2;
    const int height = text_height(font) * y_scale;
    const int x = cx - width / 2;
    const int y = cy - height / 2;
    const int drop = y_scale > 1 ? 2 : 1;
    draw_scaled_text(bmp, text, x + drop, y + drop, x_halves, y_scale, text_shadow);
    draw_scaled_text(bmp, text, x, y, x_halves, y_scale, c);
}

// Draws a dark rounded plate with a light rim, used behind headings and captions.
void draw_plate(BITMAP *bmp, int x1, int y1, int x2, int y2)
{
    fill_round_rect(bmp, x1 + 2, y1 + 2, x2 + 2, y2 + 2, 6, shadow_colour);
    fill_round_rect(bmp, x1, y1, x2, y2, 6, plate_border);
    fill_round_rect(bmp, x1 + 2, y1 + 2, x2 - 2, y2 - 2, 4, plate_fill);
}

// Paints a raised button whose face covers the inside of its rectangle.
void draw_button(BITMAP *bmp, const ButtonArt &b)
{
    const Rect &r = b.rect;
    const int mid = (r.y1 + r.y2) / 2;
    fill_round_rect(bmp, r.x1 + 1, r.y1 + 1, r.x2 + 3, r.y2 + 3, 5, shadow_colour);
    fill_round_rect(bmp, r.x1 - 1, r.y1 - 1, r.x2 + 1, r.y2 + 1, 5, outline_colour);
    fill_round_rect(bmp, r.x1, r.y1, r.x2, r.y2, 4, b.face.base);
    set_clip_rect(bmp, 0, 0, bmp->w - 1, mid);
    fill_round_rect(bmp, r.x1, r.y1, r.x2, r.y2, 4, b.face.light);
    set_clip_rect(bmp, 0, 0, bmp->w - 1, bmp->h - 1);
    hline(bmp, r.x1 + 4, r.y1 + 1, r.x2 - 4, pixel(shade(b.face.light, 60)));
    hline(bmp, r.x1 + 4, r.y2 - 1, r.x2 - 4, pixel(shade(b.face.base, -40)));
    if (b.label[0] != '\0')
        draw_centred_label(bmp, label(b.label), (r.x1 + r.x2) / 2, mid + 1, b.x_halves, 2,
                           text_white);
}

// Draws a small monitor inside the display-mode button.
void draw_display_icon(BITMAP *bmp, const Rect &r)
{
    const int cx = (r.x1 + r.x2) / 2;
    const int cy = (r.y1 + r.y2) / 2;
    const int black = pixel(outline_colour);
    rectfill(bmp, cx - 11, cy - 10, cx + 11, cy + 5, black);
    rectfill(bmp, cx - 9, cy - 8, cx + 9, cy + 3, pixel(Colour{170, 220, 255}));
    rectfill(bmp, cx - 9, cy - 8, cx + 9, cy - 6, pixel(Colour{90, 140, 220}));
    triangle(bmp, cx, cy + 5, cx - 6, cy + 10, cx + 6, cy + 10, black);
    line(bmp, cx + 2, cy - 1, cx + 6, cy - 5, black);
    line(bmp, cx + 6, cy - 5, cx + 3, cy - 5, black);
    line(bmp, cx + 6, cy - 5, cx + 6, cy - 2, black);
}

// Draws a dark panel with a thin rim exactly on the rectangle's bounds.
void draw_panel(BITMAP *bmp, const Rect &r)
{
    rectfill(bmp, r.x1, r.y1, r.x2, r.y2, pixel(panel_fill));
    rect(bmp, r.x1, r.y1, r.x2, r.y2, pixel(panel_border));
}

// Paints the menu background: title banner, three buttons and a hint line.
void paint_menu(BITMAP *bmp)
{
    clear_to_color(bmp, pixel(mask_colour));
    draw_plate(bmp, 40, 18, 600, 116);
    draw_centred_label(bmp, label("Gauss-Jordanova eliminacia"), 320, 52, 4, 3, text_gold);
    hline(bmp, 120, 78, 520, pixel(plate_border));
    draw_centred_label(bmp, label("Riesenie sustav linearnych rovnic krok za krokom"), 320, 97,
                       2, 1,
                       text_soft);
    for (const ButtonArt &b : menu_buttons)
        draw_button(bmp, b);
    draw_plate(bmp, 150, 440, 466, 466);
    draw_centred_label(bmp, label("Ovladanie: mys alebo klaves v zatvorke"), 308, 453, 2, 1,
                       text_soft);
}

// Paints the description card of the settings screen.
void paint_about_text(BITMAP *bmp)
{
    draw_plate(bmp, 40, 84, 600, 276);
    draw_centred_label(bmp, label("O programe"), 320, 106, 4, 2, text_gold);
    int y = 130;
    for (const char *text : about_lines) {
        textout_ex(bmp, font, label(text), 60, y, pixel(text_white), -1);
        y += 15;
    }
}

// Paints a caption plate to the left of a settings button, level with it.
void paint_caption(BITMAP *bmp, const Rect &button, const char *text)
{
    const int x2 = button.x1 - 12;
    const int x1 = x2 - 320;
    draw_plate(bmp, x1, button.y1, x2, button.y2);
    draw_centred_label(bmp, text, (x1 + x2) / 2, (button.y1 + button.y2) / 2 + 1, 3, 2, text_white);
}

// Paints the settings background: title, description, two switches with captions, the panel of
// the language switch and the back button.
void paint_settings(BITMAP *bmp)
{
    clear_to_color(bmp, pixel(mask_colour));
    draw_plate(bmp, 160, 14, 480, 66);
    draw_centred_label(bmp, label("Nastavenia"), 320, 40, 6, 3, text_gold);
    paint_about_text(bmp);
    paint_caption(bmp, settings_pulse_button, label("Pulzovanie pozadia (M)"));
    draw_button(bmp, settings_pulse_art);
    paint_caption(bmp, settings_display_button, label("Cela obrazovka / okno (F)"));
    draw_button(bmp, settings_display_art);
    draw_display_icon(bmp, settings_display_button);
    draw_button(bmp, settings_back_art);
    draw_panel(bmp, zoom_note_panel);
    draw_panel(bmp, settings_language_button); // the program writes the language switch on it
    draw_plate(bmp, 516, 446, 626, 470);
    draw_centred_label(bmp, label("Esc - spat"), 571, 458, 2, 1, text_soft);
}

// Paints the work background: heading, dark panels for the text line and grid, and four buttons.
void paint_work(BITMAP *bmp)
{
    clear_to_color(bmp, pixel(mask_colour));
    draw_plate(bmp, 18, 3, 352, 29);
    draw_centred_label(bmp, label("Gauss-Jordanova eliminacia"), 185, 17, 3, 2, text_gold);
    draw_panel(bmp, text_line_panel);
    draw_plate(bmp, grid_panel.x1, 62, grid_panel.x1 + 190, 84);
    draw_centred_label(bmp, label("Sustava rovnic"), grid_panel.x1 + 95, 73, 3, 2, text_white);
    draw_panel(bmp, grid_panel);
    for (const ButtonArt &b : work_buttons)
        draw_button(bmp, b);
}

// Paints a pulse indicator: a square plate with a bevel and a centred caption.
void paint_indicator(BITMAP *bmp, const Face &face, const char *caption)
{
    const int w = bmp->w - 1;
    const int h = bmp->h - 1;
    const int mid = h / 2;
    rectfill(bmp, 0, 0, w, h, pixel(outline_colour));
    rectfill(bmp, 1, 1, w - 1, h - 1, pixel(face.base));
    rectfill(bmp, 1, 1, w - 1, mid, pixel(face.light));
    hline(bmp, 2, 2, w - 2, pixel(shade(face.light, 60)));
    vline(bmp, 2, 2, h - 2, pixel(shade(face.light, 40)));
    hline(bmp, 2, h - 2, w - 2, pixel(shade(face.base, -50)));
    vline(bmp, w - 2, 2, h - 2, pixel(shade(face.base, -50)));
    draw_centred_label(bmp, caption, w / 2 + 1, mid + 1, 3, 2, text_white);
}

// Paints the pulse-on indicator.
void paint_pulse_on(BITMAP *bmp)
{
    paint_indicator(bmp, pulse_on_face, label("ZAP"));
}

// Paints the pulse-off indicator.
void paint_pulse_off(BITMAP *bmp)
{
    paint_indicator(bmp, pulse_off_face, label("VYP"));
}

// Arrow pixels with the tip at the top-left: '#' outline, 'o' body, '.' transparent.
constexpr std::array<const char *, 20> arrow_rows{
    "#...........", "##..........", "#o#.........", "#oo#........", "#ooo#.......",
    "#oooo#......", "#ooooo#.....", "#oooooo#....", "#ooooooo#...", "#oooooooo#..",
    "#ooooooooo#.", "#oooooo#####", "#ooo#oo#....", "#oo#.#oo#...", "#o#..#oo#...",
    "##....#oo#..", "#.....#oo#..", ".......#oo#.", ".......#oo#.", "........##..",
};

// Paints the normal pointer: a white arrow with a black outline, tip on the hot spot.
void paint_arrow(BITMAP *bmp)
{
    clear_to_color(bmp, pixel(mask_colour));
    for (std::size_t row = 0; row < arrow_rows.size(); ++row) {
        const int y = pointer_hot_y + static_cast<int>(row);
        for (int col = 0; arrow_rows[row][col] != '\0'; ++col) {
            const char cell = arrow_rows[row][col];
            if (cell != '.')
                putpixel(bmp, pointer_hot_x + col, y, cell == '#' ? 0 : pixel(text_white));
        }
    }
}

// Paints the busy pointer: an orange hourglass whose waist sits on the hot spot.
void paint_hourglass(BITMAP *bmp)
{
    const int x = pointer_hot_x;
    const int y = pointer_hot_y;
    const int black = pixel(Colour{0, 0, 0});
    clear_to_color(bmp, pixel(mask_colour));
    // Glass outline: two cones meeting at the waist.
    line(bmp, x - 5, y - 7, x + 5, y - 7, black);
    line(bmp, x - 5, y - 7, x - 1, y, black);
    line(bmp, x + 5, y - 7, x + 1, y, black);
    line(bmp, x - 1, y, x - 5, y + 7, black);
    line(bmp, x + 1, y, x + 5, y + 7, black);
    line(bmp, x - 5, y + 7, x + 5, y + 7, black);
    floodfill(bmp, x, y - 5, pixel(Colour{255, 246, 170}));
    floodfill(bmp, x, y + 5, pixel(Colour{255, 246, 170}));
    // Sand: a little left on top, a trickle through the waist and a heap below.
    triangle(bmp, x - 2, y - 3, x + 2, y - 3, x, y - 1, pixel(Colour{240, 140, 20}));
    putpixel(bmp, x, y, pixel(Colour{240, 140, 20}));
    triangle(bmp, x, y + 2, x - 4, y + 6, x + 4, y + 6, pixel(Colour{240, 140, 20}));
    // Wooden caps above and below the glass.
    rectfill(bmp, x - 6, y - 10, x + 6, y - 8, black);
    rectfill(bmp, x - 5, y - 9, x + 5, y - 9, pixel(Colour{250, 190, 40}));
    rectfill(bmp, x - 6, y + 8, x + 6, y + 10, black);
    rectfill(bmp, x - 5, y + 9, x + 5, y + 9, pixel(Colour{250, 190, 40}));
}

// One picture to produce: its size and the function that paints it.
struct ImageArt {
    int width;
    int height;
    void (*paint)(BITMAP *);
};

// Every picture, indexed like the shared image-name table.
constexpr std::array<ImageArt, image_count> images{{
    {indicator_width, indicator_height, paint_pulse_on},
    {indicator_width, indicator_height, paint_pulse_off},
    {screen_width, screen_height, paint_work},
    {pointer_size, pointer_size, paint_arrow},
    {screen_width, screen_height, paint_settings},
    {screen_width, screen_height, paint_menu},
    {pointer_size, pointer_size, paint_hourglass},
}};

// Paints one picture and saves it as <dir>/<name><suffix>.tga; returns false on failure.
bool make_image(const std::string &dir, int slot, const char *suffix)
{
    const ImageArt &art = images[slot];
    const std::string path = dir + "/" + image_names[slot] + suffix + ".tga";
    BITMAP *bmp = create_bitmap_ex(24, art.width, art.height);
    if (!bmp) {
        std::fprintf(stderr, "make_images: out of memory for %s\n", path.c_str());
        return false;
    }
    art.paint(bmp);
    const bool saved = save_tga(path.c_str(), bmp, nullptr) == 0;
    destroy_bitmap(bmp);
    if (!saved)
        std::fprintf(stderr, "make_images: cannot write %s\n", path.c_str());
    return saved;
}

} // namespace

// Writes all seven pictures into the directory named on the command line, and the English set
// of the five that carry text (<name>_en.tga; the pointers have none).
int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        std::fprintf(stderr, "make_images: cannot start Allegro\n");
        return 1;
    }
    set_color_depth(24);
    bool ok = true;
    for (int slot = 0; slot < image_count; ++slot)
        ok = make_image(argv[1], slot, "") && ok;
    english_set = true;
    for (int slot = 0; slot < image_count; ++slot)
        if (slot != image_normal_pointer && slot != image_busy_pointer)
            ok = make_image(argv[1], slot, "_en") && ok;
    return ok ? 0 : 1;
}
