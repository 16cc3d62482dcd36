// The one-line editor that collects a file name or a row operation on a screen's text line.
#include "line_editor.h"
#include "../matrix/translation.h"

#include "../matrix/store.h"
#include "../matrix/utf8_text.h"
#include "layout.h"
#include "quit.h"

#include <allegro.h>

#include <cstdio>

namespace
{

constexpr int code_backspace = 8;
constexpr int code_enter = 13;
constexpr int code_escape = 27;

bool editing = false;                      // edit_line is running
std::string typed;                         // the text typed so far, in UTF-8
std::string note;                          // why the last key was refused; "" when it was not
void (*paint_frame_of_screen)() = nullptr; // paints the screen the line belongs to

// True for a code that is no character to type: C0 and C1 control codes and Delete.
bool control_code(int code)
{
    return code < 32 || code == 127 || (code >= 0x80 && code < 0xa0);
}

// Shows the text typed on the line: as much of its end as fits beside the note, if any.
void show_typed()
{
    const std::string shown_note =
        note.empty() ? "" : "  (" + std::string(tr(note.c_str())) + ")";
    const std::size_t room = static_cast<std::size_t>(text_line_chars) - utf8_length(shown_note);
    const std::string shown = fit_text_end(typed, room) + shown_note;
    std::snprintf(line_text, sizeof line_text, "%s", shown.c_str());
}

// Cancels editing: the line is emptied, as Enter on an empty line leaves it, and Escape is
// let go before the work screen looks at the keys again, so it does not also leave the screen.
void cancel_editing()
{
    typed.clear();
    line_text[0] = '\0';
    while (key[KEY_ESC] && !quit_requested)
        paint_frame_of_screen();
    clear_keybuf();
}

// Adds a typed character to the text, or notes why it cannot be added.
void type_character(int code)
{
    const std::string bytes = utf8_encode(code);
    if (!typable_character(code))
        note = refused_character_note;
    else if (typed.size() + bytes.size() > line_edit_bytes)
        note = refused_length_note;
    else
        typed += bytes;
}

// Applies one typed character code to the text; returns 1 when editing is over.
int apply_code(int code)
{
    if (code == code_enter)
        return 1;
    if (code == code_escape) {
        cancel_editing();
        return 1;
    }
    if (code != code_backspace && control_code(code))
        return 0; // a key without a character: arrows, function keys, Tab, Delete
    note.clear();
    if (code == code_backspace)
        utf8_pop_back(typed);
    else
        type_character(code);
    show_typed();
    return 0;
}

// Edits the text until Enter or Escape: waits for the first key, then types into the line (the
// prompt goes; a text given to start with stays).
void edit_typed_line()
{
    clear_keybuf();
    while (!keypressed() && !quit_requested)
        paint_frame_of_screen();
    if (typed.empty())
        line_text[0] = '\0';
    while (!quit_requested) {
        paint_frame_of_screen();
        if (!keypressed())
            continue;
        const int code = ureadkey(nullptr);
        clear_keybuf();
        if (apply_code(code))
            return;
    }
}

} // namespace

// Edits a line of text, from `start`, until Enter or Escape, and returns it.
std::string edit_line(void (*paint)(), const std::string &start)
{
    editing = true;
    typed = start; // a text this editor gave back, so within its bound
    note.clear();
    paint_frame_of_screen = paint;
    if (!typed.empty())
        show_typed();
    edit_typed_line();
    if (!typed.empty()) {
        note.clear();
        show_typed();
    }
    std::string result;
    result.swap(typed);
    editing = false;
    return result;
}

// True when the character is printable and the font has a glyph for it.
bool typable_character(int code)
{
    if (control_code(code))
        return false;
    for (int range = 0; range < get_font_ranges(font); range++)
        if (code >= get_font_range_begin(font, range) && code <= get_font_range_end(font, range))
            return true;
    return false;
}

// The text typed so far while edit_line runs.
const std::string &edited_text()
{
    return typed;
}

// True while edit_line runs.
bool editing_line()
{
    return editing;
}
