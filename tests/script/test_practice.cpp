// A practice session on the real work screen: the learner's operations typed at the prompt and
// cancelled on screen, a refused one back on the line for correcting, the hint, undo back to the
// start, and the goal.
#include "harness.h"

#include "app/screens.h"
#include "matrix/store.h"
#include "platform/input.h"
#include "platform/quit.h"
#include "work/matrix_view.h"
#include "work/practice.h"
#include "work/work_frame.h"
#include "work/work_screen.h"

#include <gtest/gtest.h>

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
