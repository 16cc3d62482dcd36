// Saving the loaded system to a file named in the library's file selector.
#include "saver.h"
#include "../matrix/translation.h"

#include "../matrix/matrix_file.h"
#include "../matrix/store.h"
#include "../matrix/utf8_text.h"
#include "../platform/frame.h"
#include "../platform/input.h"
#include "../platform/layout.h"
#include "../platform/quit.h"
#include "file_selector.h"
#include "loader.h"
#include "work_frame.h"
#include "work_screen.h"

#include <allegro.h>

#include <cstdio>
#include <string>

namespace
{

bool asking = false; // the overwrite question is on the line

// Shows a message on the text line until a key or a click, then clears it.
void report(const std::string &message)
{
    set_status_text(message.c_str());
    wait_for_input();
    status_text[0] = '\0';
}

// Asks whether the existing file may be replaced: a second Enter says yes; any other key or a
// click says no. The Enter that ended the name must be let go first, so that it does not
// repeat into a yes.
bool answer_to_overwrite()
{
    std::snprintf(line_text, sizeof line_text, "%s",
                  tr("Subor uz existuje. Enter ho prepise, iny klaves nie."));
    while ((key[KEY_ENTER] || key[KEY_ENTER_PAD]) && !quit_requested)
        paint_work_frame();
    clear_keybuf();
    while (!keypressed() && !left_button_down() && !quit_requested)
        paint_work_frame();
    if (!keypressed()) {
        while (left_button_down() && !quit_requested)
            paint_work_frame(); // a click says no once it is let go, and does nothing else
        return false;
    }
    const int scancode = readkey() >> 8;
    return scancode == KEY_ENTER || scancode == KEY_ENTER_PAD;
}

// Asks whether the existing file may be replaced, with the question on the line.
bool overwrite_confirmed()
{
    asking = true;
    const bool confirmed = answer_to_overwrite();
    asking = false;
    return confirmed;
}

} // namespace

// Asks for a file name and writes the loaded system there.
void save_matrix()
{
    if (loaded_matrix.shape.rows == 0) {
        report(tr("Nie je co zapisat: ziadna matica."));
        return;
    }
    std::string name;
    if (!choose_file(tr("Zapisat do suboru"), name) || quit_requested)
        return;
    if (file_exists(name.c_str()) && !regular_file_exists(name.c_str())) {
        report(tr("Subor sa neda zapisat.")); // a folder or a device is never replaced
        return;
    }
    if (file_exists(name.c_str()) && !overwrite_confirmed()) {
        if (!quit_requested)
            report(tr("Nezapisane."));
        return;
    }
    if (quit_requested)
        return;
    if (save_matrix_file(name.c_str(), loaded_matrix) != save_ok) {
        report(tr("Subor sa neda zapisat."));
        return;
    }
    note_system_saved();
    remember_file_folder(name);
    // TRANSLATORS: the top line's head before the file's name, "Saved to "
    const std::string head = tr("Zapisane do ");
    report(head + fit_text_end(name, static_cast<std::size_t>(text_line_chars) - head.size()));
}

// True while the line asks whether an existing file may be replaced.
bool overwrite_question_open()
{
    return asking;
}
