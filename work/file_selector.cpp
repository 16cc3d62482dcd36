// Choosing a file with the library's own file selector.
//
// The library runs the selector's loop itself and draws on its "GUI screen"; here that is a
// bitmap of the display's size, and the library's pointer hooks stand in for the pointer. The
// hook for the buttons, which every pass of the library's loop calls (its dialog loop and the
// loops that follow a held button alike), paints one work frame with the selector laid over it,
// so the selector is paced by the retrace, zoomed as the frame is, and ends when the program
// must (quit_requested presses Escape for the user). The library's timer also reads the
// buttons, to tell a double click; from there, and from within a frame being painted, the hook
// only reads them: painting waits for the retrace, which that very timer counts.
//
// How the library colours the selector: file_select_ex gives every object of its dialog
// gui_fg_color as its foreground and gui_bg_color as its background (gui_mg_color only greys
// out a disabled object). The list draws an entry in its foreground on its background, and the
// selected entry the other way round: its foreground is the band, its background the text. So
// the list's entries are white on the dark face and the selection dark on a white band. The
// path field draws its text and cursor in its foreground on its background, which the first
// pass of the hook turns to the blue of a step's band, so that the field reads as the place to
// type. The list spaces its entries by the font's height; the library's 8x8 font uses all eight
// rows (accents on top, descenders at the bottom), so entries touched and the selected band's
// dotted frame covered the glyphs' first and last rows. While the selector runs the library
// draws in a copy of that font with blank rows above and below each glyph, and the work frame
// under it in the font itself.
//
// The focus does not follow the pointer (the library's default): the path field has it from the
// start, so typing goes there even with the pointer on the list; a click on the list or Tab
// moves it. The keyboard's callback refuses a character the font has no glyph for, which the
// field would show as '^', and the caption says so until the next key.
#include "file_selector.h"
#include "../matrix/translation.h"

#include "../platform/frame.h"
#include "../platform/input.h"
#include "../platform/layout.h"
#include "../platform/line_editor.h"
#include "../platform/quit.h"
#include "loader.h"
#include "work_frame.h"
#include "work_screen.h"

#include <allegro.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <thread>
#include <vector>

std::string file_folder;

namespace
{

// The bytes of the path the selector edits. Its field takes a quarter of them less one in
// characters, here 4096: a text it cut there would already be longer than any path the system
// opens, so a name is never cut to one that could be saved.
constexpr int path_size = 4 * 4097;

// Blank rows the selector's font adds above and below each glyph of the library's font.
constexpr int font_padding_above = 2;
constexpr int font_padding_below = 2;

BITMAP *selector_layer = nullptr;  // what the selector draws on, the display's size
FONT *program_font = nullptr;      // the font of the work frame under the selector
int escape_sent = 0;               // Escape was pressed for the user to end the selector
std::thread::id selector_thread;   // the thread that runs the selector, and paints
bool painting = false;             // a frame is being painted, so a nested call only reads
bool browsing = false;             // the selector has the screen
std::string caption;               // the selector's caption as asked for
std::vector<char> shown_caption;   // the caption the library draws, with a note at a refusal
std::atomic<int> key_refused{0};   // the last key typed was refused (the keyboard's thread)
int refusal_shown = 0;             // the caption says a key was refused
std::vector<char> kept_characters; // which codes of 0..0xffff the selector's font draws
DIALOG *path_field = nullptr;      // the selector's path field, while the selector runs
int (*field_procedure)(int, DIALOG *, int) = nullptr; // the library's own procedure for it

// Where the library put the selector on its layer (it centres it on the display).
Rect selector_area()
{
    if (!active_dialog)
        return {0, 0, 0, 0};
    const DIALOG &box = active_dialog[0];
    return {box.x, box.y, box.x + box.w, box.y + box.h};
}

// Where the selector lies in the frame: centred on it.
int frame_x_of_selector(const Rect &area)
{
    return (screen_width - (area.x2 - area.x1)) / 2;
}

int frame_y_of_selector(const Rect &area)
{
    return (screen_height - (area.y2 - area.y1)) / 2;
}

// The pointer on the selector's layer.
int selector_mouse_x()
{
    const Rect area = selector_area();
    return pointer_x() - frame_x_of_selector(area) + area.x1;
}

int selector_mouse_y()
{
    const Rect area = selector_area();
    return pointer_y() - frame_y_of_selector(area) + area.y1;
}

// The library's colour for one of the program's.
int gui_colour(const Colour &colour)
{
    return makecol(colour.r, colour.g, colour.b);
}

// The path field's procedure while the selector runs: the library's own, but a character beyond
// ASCII (one the keyboard's filter let through, so the font draws it) is typed by the library's
// plain edit field, as the selector's own field drops every character beyond ASCII.
int path_field_procedure(int message, DIALOG *d, int c)
{
    if (message == MSG_UCHAR && c >= 0xa0)
        return d_edit_proc(message, d, c);
    return field_procedure(message, d, c);
}

// Gives the path field, the object the dialog starts with the focus on, its own background and
// its procedure that takes every character the font draws.
void dress_path_field()
{
    for (DIALOG *d = active_dialog; d && d->proc && !path_field; d++)
        if (d->flags & D_GOTFOCUS) {
            path_field = d;
            field_procedure = d->proc;
            d->proc = path_field_procedure;
            d->bg = gui_colour(file_selector_field);
            object_message(d, MSG_DRAW, 0);
        }
}

// Gives the path field back its own procedure: the library keeps the dialog for its next call.
void undress_path_field()
{
    if (path_field)
        path_field->proc = field_procedure;
    path_field = nullptr;
}

// Shows in the caption whether the last key was refused, when that changed.
void show_refusal()
{
    const int refused = key_refused.load();
    if (refused == refusal_shown || !active_dialog)
        return;
    refusal_shown = refused;
    const std::string text = refused ? caption + ": " + tr(refused_character_note) : caption;
    std::snprintf(shown_caption.data(), shown_caption.size(), "%s", text.c_str());
    const DIALOG &box = active_dialog[0];
    for (DIALOG *d = active_dialog; d->proc; d++)
        if (d->dp == shown_caption.data()) { // centred: a shorter text leaves the longer's ends
            rectfill(gui_get_screen(), box.x + 2, d->y, box.x + box.w - 3, d->y + d->h - 1, d->bg);
            object_message(d, MSG_DRAW, 0);
        }
}

// Paints one work frame under the selector, in the program's own font.
void paint_under_selector()
{
    const Rect area = selector_area();
    FrameOverlay overlay;
    overlay.bitmap = active_dialog ? selector_layer : nullptr;
    overlay.area = area;
    overlay.x = frame_x_of_selector(area);
    overlay.y = frame_y_of_selector(area);
    FONT *selector_font = font;
    font = program_font;
    painting = true;
    paint_work_frame_under(overlay);
    painting = false;
    font = selector_font;
}

// The buttons for the selector, after one frame painted (on the selector's thread); once the
// program must end, Escape is pressed for the user and the buttons read as up, so every loop of
// the selector ends.
int selector_mouse_b()
{
    if (painting || std::this_thread::get_id() != selector_thread)
        return quit_requested ? 0 : mouse_b;
    if (active_dialog) {
        dress_path_field();
        show_refusal();
    }
    paint_under_selector();
    if (!quit_requested)
        return mouse_b;
    if (!escape_sent)
        simulate_keypress((KEY_ESC << 8) | 27);
    escape_sent = 1;
    return 0;
}

// The keyboard's callback while the selector runs: a character the selector's font has no
// glyph for is dropped and noted; every other key passes and clears the note.
int filter_selector_key(int code, int *scancode)
{
    const bool drawn =
        code < 0xa0 || (code <= 0xffff && kept_characters[static_cast<std::size_t>(code)]);
    key_refused = drawn ? 0 : 1;
    if (drawn)
        return code;
    *scancode = 0;
    return 0;
}

// Notes which characters the font draws, for the keyboard's callback: once, as the font's
// ranges stay the same for the run (and the callback may still be reading from another thread).
void note_kept_characters()
{
    if (!kept_characters.empty())
        return;
    kept_characters.assign(0x10000, 0);
    for (int code = 0xa0; code <= 0xffff; code++)
        kept_characters[static_cast<std::size_t>(code)] = typable_character(code) ? 1 : 0;
}

// One range of the library's font, begin..end, as a font of its own whose glyphs have blank
// rows above and below: drawn onto a sheet laid out as grab_font_from_bitmap reads one (each
// glyph in a box bordered in colour 255, ink 1 on 0), grabbed, and moved to its characters.
FONT *padded_font_range(int begin, int end)
{
    const int count = end - begin + 1;
    const int width = glyph_size;
    const int height = text_height(font) + font_padding_above + font_padding_below;
    BITMAP *sheet = create_bitmap_ex(8, 1 + count * (width + 1), height + 2);
    if (!sheet)
        return nullptr;
    clear_to_color(sheet, 255);
    for (int i = 0; i < count; i++) {
        const int x = 1 + i * (width + 1);
        char text[8] = "";
        usetc(text + usetc(text, begin + i), 0);
        rectfill(sheet, x, 1, x + width - 1, height, 0);
        textout_ex(sheet, font, text, x, 1 + font_padding_above, 1, -1);
    }
    FONT *range = grab_font_from_bitmap(sheet);
    destroy_bitmap(sheet);
    if (range && begin != ' ')
        transpose_font(range, begin - ' ');
    return range;
}

// The library's font with blank rows around each glyph, every range of it; nullptr when it
// cannot be made.
FONT *make_selector_font()
{
    FONT *whole = nullptr;
    for (int r = 0; r < get_font_ranges(font); r++) {
        FONT *range = padded_font_range(get_font_range_begin(font, r), get_font_range_end(font, r));
        FONT *merged = whole && range ? merge_fonts(whole, range) : range;
        if (whole && range)
            destroy_font(range);
        if (whole)
            destroy_font(whole);
        whole = merged;
        if (!whole)
            return nullptr;
    }
    return whole;
}

// The library's settings the selector runs with, kept to be put back.
struct GuiSettings {
    int (*mouse_x)();
    int (*mouse_y)();
    int (*mouse_b)();
    int foreground;
    int middle;
    int background;
    int mouse_focus;
    int (*key_filter)(int, int *);
    FONT *font;
    BITMAP *screen;
};

// Points the library's selector at our layer, pointer, pacing, colours, font and focus.
GuiSettings take_over_gui(FONT *selector_font)
{
    const GuiSettings kept{gui_mouse_x,  gui_mouse_y,     gui_mouse_b,     gui_fg_color,
                           gui_mg_color, gui_bg_color,    gui_mouse_focus, keyboard_ucallback,
                           font,         gui_get_screen()};
    gui_mouse_x = selector_mouse_x;
    gui_mouse_y = selector_mouse_y;
    gui_mouse_b = selector_mouse_b;
    gui_fg_color = gui_colour(file_selector_text);
    gui_mg_color = gui_colour(file_selector_dim);
    gui_bg_color = gui_colour(file_selector_face);
    gui_mouse_focus = 0;
    program_font = font;
    if (selector_font)
        font = selector_font;
    note_kept_characters();
    key_refused = 0;
    refusal_shown = 0;
    keyboard_ucallback = filter_selector_key;
    gui_set_screen(selector_layer);
    select_mouse_cursor(MOUSE_CURSOR_NONE); // the library draws no pointer of its own on it
    return kept;
}

// Puts the library's settings back.
void give_back_gui(const GuiSettings &kept)
{
    keyboard_ucallback = kept.key_filter;
    gui_mouse_x = kept.mouse_x;
    gui_mouse_y = kept.mouse_y;
    gui_mouse_b = kept.mouse_b;
    gui_fg_color = kept.foreground;
    gui_mg_color = kept.middle;
    gui_bg_color = kept.background;
    gui_mouse_focus = kept.mouse_focus;
    font = kept.font;
    gui_set_screen(kept.screen == screen ? nullptr : kept.screen);
}

// Runs the selector from `path`, whose buffer holds path_size bytes; true with the chosen
// file's path in it.
bool run_selector(const char *title, char *path)
{
    selector_layer = create_bitmap(SCREEN_W, SCREEN_H);
    if (!selector_layer)
        return false;
    clear_bitmap(selector_layer);
    FONT *selector_font = make_selector_font();
    escape_sent = 0;
    selector_thread = std::this_thread::get_id();
    caption = title;
    shown_caption.assign(caption.size() + std::strlen(refused_character_note) + 8, '\0');
    std::snprintf(shown_caption.data(), shown_caption.size(), "%s", title);
    const GuiSettings kept = take_over_gui(selector_font);
    // Folders and ".txt" files; given as a list (the ';'), so that the library adds no ".txt"
    // of its own to a name typed without it: the file chosen is the one named.
    const int chosen = file_select_ex(shown_caption.data(), path, "txt;", path_size,
                                      file_selector_width, file_selector_height);
    undress_path_field();
    give_back_gui(kept);
    if (selector_font)
        destroy_font(selector_font);
    destroy_bitmap(selector_layer);
    selector_layer = nullptr;
    return chosen && !quit_requested;
}

// Waits until the keys and the button that ended the selector are let go, so the work screen
// does not take them as its own.
void let_go_of_input()
{
    while ((key[KEY_ESC] || key[KEY_ENTER] || key[KEY_ENTER_PAD] || left_button_down()) &&
           !quit_requested)
        paint_work_frame();
    clear_keybuf();
}

} // namespace

// Notes the folder of a file loaded or saved.
void remember_file_folder(const std::string &path)
{
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(path, error);
    if (!error)
        file_folder = full.lexically_normal().parent_path().string();
}

// The path the selector starts from.
std::string selector_start_path()
{
    std::error_code error;
    if (file_folder.empty() || !std::filesystem::is_directory(file_folder, error))
        return "./";
    return file_folder.back() == '/' ? file_folder : file_folder + "/";
}

// Runs the selector; true with the path chosen.
bool choose_file(const char *title, std::string &chosen)
{
    std::vector<char> path(path_size, '\0');
    std::snprintf(path.data(), path.size(), "%s", selector_start_path().c_str());
    browsing = true;
    clear_keybuf();
    const bool done = run_selector(title, path.data());
    let_go_of_input();
    browsing = false;
    if (done)
        chosen = path.data();
    return done;
}

// Lets the user choose a matrix file with the selector, and loads it.
void open_by_browsing()
{
    std::string path;
    if (choose_file(tr("Otvorit subor so sustavou"), path))
        report_load_result(load_named_matrix(path.c_str()));
}

// True while the selector is open or its keys are being let go.
bool browsing_files()
{
    return browsing;
}
