// Opening a matrix file by browsing, with the library's own file selector.
//
// The library runs the selector's loop itself and draws on its "GUI screen"; here that is a
// bitmap of the display's size, and the library's pointer hooks stand in for the pointer. The
// hook for the buttons, which every pass of the library's loop calls (its dialog loop and the
// loops that follow a held button alike), paints one work frame with the selector laid over it,
// so the selector is paced by the retrace, zoomed as the frame is, and ends when the program
// must (quit_requested presses Escape for the user). The library's timer also reads the
// buttons, to tell a double click; from there, and from within a frame being painted, the hook
// only reads them: painting waits for the retrace, which that very timer counts.
#include "file_selector.h"

#include "../platform/frame.h"
#include "../platform/input.h"
#include "../platform/layout.h"
#include "../platform/quit.h"
#include "loader.h"
#include "work_frame.h"
#include "work_screen.h"

#include <allegro.h>

#include <string>
#include <thread>

namespace
{

constexpr int path_size = 4096; // the longest path the selector edits, in bytes

BITMAP *selector_layer = nullptr; // what the selector draws on, the display's size
int escape_sent = 0;              // Escape was pressed for the user to end the selector
std::thread::id selector_thread;  // the thread that runs the selector, and paints
bool painting = false;            // a frame is being painted, so a nested call only reads
bool browsing = false;            // open_by_browsing has the screen

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

// The buttons for the selector, after one frame painted (on the selector's thread); once the
// program must end, Escape is pressed for the user and the buttons read as up, so every loop of
// the selector ends.
int selector_mouse_b()
{
    if (painting || std::this_thread::get_id() != selector_thread)
        return quit_requested ? 0 : mouse_b;
    const Rect area = selector_area();
    FrameOverlay overlay;
    overlay.bitmap = active_dialog ? selector_layer : nullptr;
    overlay.area = area;
    overlay.x = frame_x_of_selector(area);
    overlay.y = frame_y_of_selector(area);
    painting = true;
    paint_work_frame_under(overlay);
    painting = false;
    if (!quit_requested)
        return mouse_b;
    if (!escape_sent)
        simulate_keypress((KEY_ESC << 8) | 27);
    escape_sent = 1;
    return 0;
}

// The library's settings the selector runs with, kept to be put back.
struct GuiSettings {
    int (*mouse_x)();
    int (*mouse_y)();
    int (*mouse_b)();
    int foreground;
    int middle;
    int background;
    BITMAP *screen;
};

// Points the library's selector at our layer, pointer, pacing and colours.
GuiSettings take_over_gui()
{
    const GuiSettings kept{gui_mouse_x,  gui_mouse_y,  gui_mouse_b,     gui_fg_color,
                           gui_mg_color, gui_bg_color, gui_get_screen()};
    gui_mouse_x = selector_mouse_x;
    gui_mouse_y = selector_mouse_y;
    gui_mouse_b = selector_mouse_b;
    gui_fg_color = makecol(file_selector_text.r, file_selector_text.g, file_selector_text.b);
    gui_mg_color = makecol(file_selector_dim.r, file_selector_dim.g, file_selector_dim.b);
    gui_bg_color = makecol(file_selector_face.r, file_selector_face.g, file_selector_face.b);
    gui_set_screen(selector_layer);
    select_mouse_cursor(MOUSE_CURSOR_NONE); // the library draws no pointer of its own on it
    return kept;
}

// Puts the library's settings back.
void give_back_gui(const GuiSettings &kept)
{
    gui_mouse_x = kept.mouse_x;
    gui_mouse_y = kept.mouse_y;
    gui_mouse_b = kept.mouse_b;
    gui_fg_color = kept.foreground;
    gui_mg_color = kept.middle;
    gui_bg_color = kept.background;
    gui_set_screen(kept.screen == screen ? nullptr : kept.screen);
}

// Runs the selector from `path`; true with the chosen file's path in it.
bool run_selector(char (&path)[path_size])
{
    selector_layer = create_bitmap(SCREEN_W, SCREEN_H);
    if (!selector_layer)
        return false;
    clear_bitmap(selector_layer);
    escape_sent = 0;
    selector_thread = std::this_thread::get_id();
    const GuiSettings kept = take_over_gui();
    const int chosen = file_select_ex("Otvorit subor so sustavou", path, "txt", path_size,
                                      file_selector_width, file_selector_height);
    give_back_gui(kept);
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

// Lets the user choose a matrix file with the library's selector, and loads it.
void open_by_browsing()
{
    char path[path_size] = "./"; // the library shows it as the current folder's full path
    browsing = true;
    clear_keybuf();
    const bool chosen = run_selector(path);
    let_go_of_input();
    browsing = false;
    if (chosen)
        report_load_result(load_named_matrix(path));
}

// True while the selector is open or its keys are being let go.
bool browsing_files()
{
    return browsing;
}
