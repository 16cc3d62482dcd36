// Saving the loaded system to a file named in the library's file selector.
#include "saver.h"
#include "../matrix/translation.h"

#include "../matrix/matrix_file.h"
#include "../matrix/store.h"
#include "../matrix/utf8_text.h"
#include "../matrix/work_file.h"
#include "../platform/frame.h"
#include "../platform/input.h"
#include "../platform/layout.h"
#include "../platform/quit.h"
#include "file_selector.h"
#include "loader.h"
#include "practice.h"
#include "random_exercise.h"
#include "solver.h"
#include "work_frame.h"
#include "work_screen.h"

#include <allegro.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace
{

bool asking = false;   // the overwrite question is on the line
bool choosing = false; // the question what to save is on the line

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

// Work on screen that W can save: the learner's operations or the program's steps, from the
// matrix they started on to the one the store holds now.
struct ScreenWork {
    bool learner = false;            // the learner's operations (else the program's steps)
    std::size_t program_steps = 0;   // the program's steps before the learner's operations
    StoreSnapshot start;             // the matrix before the first step
    std::vector<WorkFileStep> steps; // empty: no work to save
};

// The learner's operations as they stand: those since the matrix was loaded (or a solve last
// changed it), less those undone, while the store is as the last of them left it.
ScreenWork learner_work()
{
    ScreenWork work;
    const PracticeHistory &history = practice_history;
    if (history.matrix != matrix_serial || history.moves.empty() || !store_equals(history.now))
        return work;
    work.learner = true;
    work.start = history.moves.front().before;
    for (std::size_t k = 0; k < history.moves.size(); k++)
        work.steps.push_back(
            WorkFileStep{history.moves[k].operation,
                         k + 1 < history.moves.size() ? history.moves[k + 1].before : history.now});
    return work;
}

// The program's steps the last solve left, while the store is as they left it (the steps are
// those of the printout, made again from where the solve began).
ScreenWork program_work()
{
    ScreenWork work;
    if (solve_work.matrix != matrix_serial || solve_work.steps <= 0 ||
        !store_equals(solve_work.end))
        return work;
    work.start = solve_work.start;
    work.steps = program_work_steps(solve_work.start, solve_work.steps);
    if (work.steps.size() != static_cast<std::size_t>(solve_work.steps) ||
        !store_has_values_of(work.steps.back().after))
        work.steps.clear(); // not the printout's steps after all: only the system is offered
    return work;
}

// The work on screen: the learner's, else the program's, else none. The learner's operations
// after a solve go on from the matrix the solve left, so the solve's steps come first: the work
// then starts from the system, as --check replays it.
ScreenWork screen_work()
{
    ScreenWork work = learner_work();
    if (work.steps.empty())
        return program_work();
    if (solve_work.matrix == matrix_serial && solve_work.steps > 0 &&
        same_values(work.start, solve_work.end)) {
        std::vector<WorkFileStep> steps = program_work_steps(solve_work.start, solve_work.steps);
        if (steps.size() == static_cast<std::size_t>(solve_work.steps) &&
            same_values(steps.back().after, work.start)) {
            work.program_steps = steps.size();
            steps.insert(steps.end(), work.steps.begin(), work.steps.end());
            work.start = solve_work.start;
            work.steps = std::move(steps);
        }
    }
    return work;
}

// What W is to write.
enum SaveChoice {
    choose_cancel,
    choose_system,
    choose_work,
};

// The question W asks when there is work: "Co zapisat? S sustavu, P postup (tvoje upravy: 3),
// Esc zrusit", with "program: 2, " before the count when a solve's steps come first.
std::string choice_question(const ScreenWork &work)
{
    const int count = static_cast<int>(work.steps.size() - work.program_steps);
    if (work.program_steps > 0)
        return format_text(tr("Co zapisat? S sustavu, P postup (program: %d, tvoje upravy: %d), "
                              "Esc zrusit"),
                           static_cast<int>(work.program_steps), count);
    return format_text(work.learner
                           ? tr("Co zapisat? S sustavu, P postup (tvoje upravy: %d), Esc zrusit")
                           : tr("Co zapisat? S sustavu, P postup (kroky programu: %d), Esc zrusit"),
                       count);
}

// Asks on the text line whether to save the system or the work: S or P choose, Escape or a click
// cancels, any other key is passed over. The key is let go before the selector opens, so that it
// does not act on the work screen too.
SaveChoice ask_what_to_save(const ScreenWork &work)
{
    const std::string question = choice_question(work);
    std::snprintf(line_text, sizeof line_text, "%s", question.c_str());
    clear_keybuf();
    SaveChoice choice = choose_cancel;
    int scancode = 0;
    choosing = true;
    while (!quit_requested) {
        paint_work_frame();
        if (left_button_down() || right_press_ready())
            break;
        if (!keypressed())
            continue;
        scancode = readkey() >> 8;
        if (scancode == KEY_S || scancode == KEY_P || scancode == KEY_ESC) {
            choice = scancode == KEY_S   ? choose_system
                     : scancode == KEY_P ? choose_work
                                         : choose_cancel;
            break;
        }
    }
    while (!quit_requested && ((scancode && key[scancode]) || left_button_down()))
        paint_work_frame();
    if (right_press_ready())
        take_right_press(); // a right click cancels; it does not also undo
    line_text[0] = '\0';
    choosing = false;
    return quit_requested ? choose_cancel : choice;
}

} // namespace

// Asks what to save when there is work, then for a file name, and writes it there.
void save_matrix()
{
    if (loaded_matrix.shape.rows == 0) {
        report(tr("Nie je co zapisat: ziadna matica."));
        return;
    }
    const ScreenWork work = screen_work();
    std::string work_text; // "": the system as loaded
    bool system_in_file = true;
    if (!work.steps.empty()) {
        const SaveChoice choice = ask_what_to_save(work);
        if (choice == choose_cancel)
            return;
        if (choice == choose_work) {
            work_text = work_file_text(random_origin_of(work.start), work.start, work.steps);
            system_in_file = same_values(work.start, loaded_matrix);
        }
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
    const int saved = work_text.empty() ? save_matrix_file(name.c_str(), loaded_matrix)
                                        : save_text_file(name.c_str(), work_text);
    if (saved != save_ok) {
        report(tr("Subor sa neda zapisat."));
        return;
    }
    if (system_in_file) // Z loads the system back from the file
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

// True while the line asks what to save.
bool save_choice_open()
{
    return choosing;
}
