// The one-line editor that collects a file name or a row operation on a screen's text line.
#include "line_editor.h"

#include "../matrix/store.h"
#include "quit.h"

#include <allegro.h>

#include <cstring>

namespace
{

constexpr int code_backspace = 8;
constexpr int code_enter = 13;
constexpr int code_escape = 27;

bool editing = false;                      // edit_line is running
int edit_limit = line_edit_limit;          // the most characters it accepts
void (*paint_frame_of_screen)() = nullptr; // paints the screen the line belongs to

// Cancels editing: the line is emptied, as Enter on an empty line leaves it, and Escape is
// let go before the work screen looks at the keys again, so it does not also leave the screen.
int cancel_editing()
{
    line_text[0] = '\0';
    while (key[KEY_ESC] && !quit_requested)
        paint_frame_of_screen();
    clear_keybuf();
    return 1;
}

// With the line full, waits for Enter, Backspace or Escape to be held. Returns 1 when editing
// is over: the line accepted (Enter) or cancelled (Escape); with Backspace held (it wins over
// Enter) returns 0. The Enter press that accepted is taken from the key buffer, so that a
// message about the file then waits for a new key.
int wait_at_full_line()
{
    while (!key[KEY_ENTER] && !key[KEY_BACKSPACE] && !key[KEY_ESC] && !quit_requested)
        paint_frame_of_screen();
    if (key[KEY_BACKSPACE])
        return 0;
    if (key[KEY_ESC])
        return cancel_editing();
    clear_keybuf();
    return 1;
}

// Applies one typed code to the text at index; returns 1 when editing is over.
int apply_code(int code, int &index)
{
    if (code == code_enter)
        return 1;
    if (code == code_escape)
        return cancel_editing();
    if (code == code_backspace) {
        if (index > 0)
            line_text[--index] = '\0';
    } else if (code >= 32 && code <= 126) {
        line_text[index++] = static_cast<char>(code);
        line_text[index] = '\0';
    } else {
        return 0;
    }
    if (static_cast<int>(std::strlen(line_text)) == edit_limit) {
        if (wait_at_full_line())
            return 1;
        index = edit_limit - 1;
        line_text[index] = '\0';
        clear_keybuf();
    }
    return 0;
}

// Edits line_text in place until Enter: waits for the first key, then types into the line.
void edit_typed_line()
{
    int index = 0;
    clear_keybuf();
    while (!keypressed() && !quit_requested)
        paint_frame_of_screen();
    line_text[0] = '\0';
    while (!quit_requested) {
        paint_frame_of_screen();
        if (!keypressed())
            continue;
        int code = static_cast<signed char>(readkey() & 0xff);
        clear_keybuf();
        if (apply_code(code, index))
            return;
    }
}

} // namespace

// Edits line_text in place until Enter, at most `limit` characters.
void edit_line(void (*paint)(), int limit)
{
    editing = true;
    edit_limit = limit;
    paint_frame_of_screen = paint;
    edit_typed_line();
    editing = false;
    edit_limit = line_edit_limit;
}

// The most characters the running edit_line accepts.
int line_limit()
{
    return edit_limit;
}

// True while edit_line runs.
bool editing_line()
{
    return editing;
}
