// A practice session on the real work screen: the learner's operations typed at the prompt and
// cancelled on screen, a refused one back on the line for correcting, the hint, undo back to the
// start, and the goal.
#include "harness.h"

#include "app/screens.h"
#include "matrix/matrix_file.h"
#include "matrix/random_system.h"
#include "matrix/store.h"
#include "matrix/work_check.h"
#include "matrix/work_file.h"
#include "platform/input.h"
#include "platform/quit.h"
#include "work/file_selector.h"
#include "work/matrix_view.h"
#include "work/practice.h"
#include "work/random_exercise.h"
#include "work/saver.h"
#include "work/work_frame.h"
#include "work/work_screen.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace
{

using PracticeTest = ScriptTest;

// Cues that press U, type `operation` and Enter.
std::vector<Cue> typed_operation(const std::string &operation)
{
    return join({press_key(KEY_U, 'u', 2), typing(operation + "\r")});
}

// Condition: the caption has read `caption` for a few frames, with the cancelling done.
std::function<bool()> caption_is(const std::string &caption)
{
    return steady([caption] { return shown_step.caption == caption && !finished_frame().busy; }, 4);
}

// What the session saw at one moment: the caption, the top line, the rows and the highlight.
struct Seen {
    std::string caption;
    std::string status;
    std::vector<std::string> rows;
    bool framed;
};

TEST_F(PracticeTest, OperationsUndoTheHintAndTheGoalWithTheCounts)
{
    set_matrix({{2, 1, 5}, {1, 3, 5}});
    std::vector<Seen> seen;
    std::string refusal;
    std::string kept;
    const auto note = [&] {
        seen.push_back({shown_step.caption, status_text, matrix_rows(), shown_step.framed});
    };
    const std::vector<Cue> script = join({
        typed_operation("R1 <- 1/2 R1"),
        {{caption_is("Uprava 1: R1 <- (1/2) R1"), note}},
        typed_operation("r2<-r2-r1"),
        {{caption_is("Uprava 2: R2 <- R2 - R1"), note}},
        typed_operation("R2 <- 0 R2"),
        {{resting_with_line("nasobenie nulou nie je riadkova uprava"),
          [&] {
              refusal = line_text;
              note();
              tap_key(KEY_SPACE, ' ');
          }},
         // The key that ended the message brings the refused line back; Escape leaves it.
         {resting_with_line("R2 <- 0 R2"), [&] { kept = line_text; }}},
        press_key(KEY_ESC, 27, 2),
        {{resting_with_line(""), [] {}}},
        press_key(KEY_H, 'h', 2),
        {{caption_is("Rada: R2 <- (2/5) R2"), note}},
        press_key(KEY_BACKSPACE, 8),
        {{caption_is("Uprava 1: R1 <- (1/2) R1"), note},
         {after(0), right_button_down()},
         {after(2), right_button_up()},
         {caption_is("Povodna matica, ziadna uprava"), note}},
        press_key(KEY_LEFT, 0),
        {{after(4), note}},
        typed_operation("R1 <-> R2"),
        typed_operation("R2 <- R2 - 2 R1"),
        typed_operation("R2 <- -0.2 R2"),
        typed_operation("R1 <- R1 - 3 R2"),
        {{resting_with_status("Hotovo! Uprav: 4, program: 4"), note},
         {after(0), tap(KEY_SPACE, ' ')},
         {steady([] { return status_text[0] == '\0'; }, 3), note}},
        press_key(KEY_ESC, 27),
    });
    const ScriptRun run = run_script(work_screen, cues(script));
    ASSERT_FALSE(run.ran_out) << seen.size() << " sights; caption '" << shown_step.caption
                              << "', line '" << line_text << "'";
    ASSERT_TRUE(run.finished) << "the session stopped after " << seen.size() << " sights";
    const std::vector<std::string> loaded{"2 1 5", "1 3 5"};
    const std::vector<std::string> first{"1 1/2 5/2", "1 3 5"};
    const std::vector<std::string> second{"1 1/2 5/2", "0 5/2 5/2"};
    // The rows at each sight: two operations; the refused one and the hint leave the matrix;
    // two undos back to the loaded matrix, and a third that goes no further; the goal.
    const std::vector<std::vector<std::string>> rows{first, second, second, second,
                                                     first, loaded, loaded, {"1 0 2", "0 1 1"}};
    ASSERT_EQ(seen.size(), 9u);
    for (std::size_t k = 0; k < rows.size(); k++)
        EXPECT_EQ(seen[k].rows, rows[k]) << "sight " << k;
    EXPECT_FALSE(seen[0].framed) << "a learner's operation has no pivot to frame";
    EXPECT_EQ(refusal, "nasobenie nulou nie je riadkova uprava");
    EXPECT_EQ(kept, "R2 <- 0 R2");
    EXPECT_TRUE(seen[3].framed) << "the hint frames the program's pivot";
    EXPECT_EQ(seen[6].caption, "Povodna matica, ziadna uprava");
    EXPECT_EQ(seen[7].caption, "Riesenie: x1 = 2, x2 = 1; det A = 5");
    EXPECT_EQ(seen[8].caption, "Riesenie: x1 = 2, x2 = 1; det A = 5")
        << "the answer stays after the key";
    EXPECT_EQ(practice_history.moves.size(), 4u);
}

} // namespace

namespace
{

// An operation that leads to a row 0 ... 0 | c is told at once on the top line, before the
// reduced form; a key goes on, and the line empties.
TEST_F(PracticeTest, ARowOfZerosBeforeTheBarIsToldAtOnce)
{
    set_matrix({{1, 1, 2}, {2, 2, 5}});
    std::string told;
    std::string after_key = "unseen";
    const std::vector<Cue> script = join({
        typed_operation("R2 <- R2 - 2 R1"),
        {{resting_with_status("R2 znamena 0 = 1: sustava nema riesenie"),
          [&] {
              told = status_text;
              tap_key(KEY_SPACE, ' ');
          }},
         {steady([] { return status_text[0] == '\0'; }, 3), [&] { after_key = status_text; }}},
        press_key(KEY_ESC, 27),
    });
    const ScriptRun run = run_script(work_screen, cues(script));
    ASSERT_FALSE(run.ran_out) << "status '" << status_text << "', line '" << line_text << "'";
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(told, "R2 znamena 0 = 1: sustava nema riesenie");
    EXPECT_EQ(after_key, "");
    EXPECT_EQ(matrix_rows(), (std::vector<std::string>{"1 1 2", "0 0 1"}));
    EXPECT_EQ(practice_history.moves.size(), 1u);
}

} // namespace

namespace
{

// The key of the work screen's row that runs `action`, as its key table has it.
int key_of(void (*action)())
{
    for (int k = 0; k < work_key_row_count; k++)
        if (work_key_rows[k].action == action)
            return work_key_rows[k].scancode;
    ADD_FAILURE() << "no key row runs the action";
    return 0;
}

// What a file holds ("" when it cannot be read).
std::string text_of(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// One work handed in from the screen: where the system comes from, what is done to it, the
// question W asks and the first line the saved file starts with.
struct HandInCase {
    const char *name;
    bool random;                         // N makes the system; else the 2 x 2 below is loaded
    bool solve;                          // the program first solves two steps and is stopped
    std::vector<std::string> operations; // typed at U, in order; then the last one undone
    std::string question;                // on the line after W
    std::string first_line;              // of the saved file ("<seed>" stands for N's seed)
};

// Cues that wait until the learner has made `count` operations and the screen is at rest.
std::vector<Cue> moves_made(std::size_t count)
{
    return {
        {steady(
             [count] { return practice_history.moves.size() == count && !finished_frame().busy; },
             4),
         [] {}}};
}

// The learner's operations or the program's steps, saved with W in the folder: the question, S
// or P answered, the selector; then --check passes the file against the system, and Z loads the
// system from it.
TEST_F(PracticeTest, TheWorkOnScreenIsSavedForTheCheckAndLoadsItsSystemBack)
{
    const std::vector<HandInCase> cases{
        {"own operations, the last undone",
         false,
         false,
         {"R1 <-> R2", "R2 <- R2 - 2 R1", "R2 <- R2 / 5"},
         "Co zapisat? S sustavu, P postup (tvoje upravy: 2), Esc zrusit",
         "2  1 | 5"},
        {"own operations on N's system",
         true,
         false,
         {"R1 <- -1 R1", "R3 <- R3 + R2", "R2 <- 2 R2"},
         "Co zapisat? S sustavu, P postup (tvoje upravy: 2), Esc zrusit",
         "# --random 3 --seed <seed>"},
        {"the program's two steps",
         false,
         true,
         {},
         "Co zapisat? S sustavu, P postup (kroky programu: 2), Esc zrusit",
         "2  1 | 5"},
        {"own operations after the program's two steps",
         false,
         true,
         {"R1 <- 2 R1", "R2 <- R2 + R1"},
         "Co zapisat? S sustavu, P postup (program: 2, tvoje upravy: 1), Esc zrusit",
         "2  1 | 5"},
    };
    for (const HandInCase &c : cases) {
        reset_program_state();
        TempFolder folder;
        const std::string work_path = folder.path + "/praca.txt";
        remember_file_folder(work_path); // the selector opens in the folder
        seed_random_exercises(21);
        if (!c.random)
            set_matrix({{2, 1, 5}, {1, 3, 5}});
        std::string asked;
        std::string caption;
        std::vector<Cue> script;
        if (c.random)
            script = join({press_key(key_of(load_random_system), 'n'),
                           {{steady([] { return shown_step.caption.rfind("Nahodna", 0) == 0; }, 3),
                             [&] { caption = shown_step.caption; }}}});
        // A solve stopped after two steps; the learner's operations go on from there.
        if (c.solve)
            script = join({script,
                           press_key(KEY_R, 'r'),
                           {{steady([] { return shown_step.caption.rfind("Krok 1 z", 0) == 0; }, 4),
                             tap(KEY_SPACE, ' ')},
                            {steady([] { return shown_step.caption.rfind("Krok 2 z", 0) == 0; }, 4),
                             tap(KEY_SPACE, ' ')},
                            {steady(
                                 [] {
                                     return shown_step.caption.rfind("Krok 3 z", 0) == 0 &&
                                            !finished_frame().busy;
                                 },
                                 4),
                             [] {}}},
                           press_key(KEY_ESC, 27)});
        for (std::size_t k = 0; k < c.operations.size(); k++)
            script = join({script, typed_operation(c.operations[k]), moves_made(k + 1)});
        if (!c.operations.empty())
            script =
                join({script, press_key(KEY_BACKSPACE, 8), moves_made(c.operations.size() - 1)});
        // Escape at the question saves nothing and stays on the screen; P saves the work.
        const int save_key = key_of(save_matrix);
        script = join(
            {script,
             press_key(save_key, 'w'),
             {{resting_with_line(c.question), tap(KEY_ESC, 27)}, {resting_with_line(""), [] {}}},
             press_key(save_key, 'w'),
             {{resting_with_line(c.question),
               [&] {
                   asked = line_text;
                   tap_key(KEY_P, 'p');
               }}},
             in_selector("praca.txt\r"),
             {{resting_with_status("Zapisane do " + work_path, 3), tap(KEY_SPACE, ' ')}},
             press_key(KEY_ESC, 27)});
        const StoreSnapshot shown_before = save_store();
        const ScriptRun run = run_script(work_screen, cues(script));
        ASSERT_FALSE(run.ran_out) << c.name << ": line '" << line_text << "', status '"
                                  << status_text << "', caption '" << shown_step.caption << "'";
        ASSERT_TRUE(run.finished) << c.name;
        EXPECT_EQ(asked, c.question) << c.name;
        EXPECT_LE(asked.size(), 76u) << c.name;
        const std::string saved = text_of(work_path);
        std::string first_line = c.first_line;
        const std::size_t seed_at = caption.find("--seed ");
        if (c.random) {
            ASSERT_NE(seed_at, std::string::npos) << caption;
            first_line.replace(first_line.find("<seed>"), 6, caption.substr(seed_at + 7));
        }
        EXPECT_EQ(saved.substr(0, saved.find('\n')), first_line) << c.name << "\n" << saved;
        const StoreSnapshot system =
            c.random ? random_system(3, 3, std::stoull(caption.substr(seed_at + 7))) : shown_before;
        const std::string system_path = folder.path + "/sustava.txt";
        ASSERT_EQ(save_matrix_file(system_path.c_str(), system), save_ok);
        std::FILE *out = std::tmpfile();
        std::FILE *err = std::tmpfile();
        EXPECT_EQ(check_work(system_path.c_str(), work_path.c_str(), out, err), 0) << c.name << "\n"
                                                                                   << saved;
        std::rewind(out);
        std::string report;
        for (int ch = std::fgetc(out); ch != EOF; ch = std::fgetc(out))
            report += static_cast<char>(ch);
        std::fclose(out);
        std::fclose(err);
        EXPECT_NE(report.find("Vsetky kroky su v poriadku."), std::string::npos) << c.name << "\n"
                                                                                 << report;
        if (c.solve && c.operations.empty()) {
            EXPECT_EQ(saved, work_file_text("", system, program_work_steps(system, 2))) << saved;
        }
        // Z loads the system the work starts from.
        set_matrix({{0, 0}});
        ASSERT_EQ(load_matrix_file(work_path.c_str()), load_ok) << c.name;
        EXPECT_TRUE(store_has_values_of(system)) << c.name;
    }
}

} // namespace
