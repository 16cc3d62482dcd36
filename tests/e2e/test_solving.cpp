// Solving in the real program: R starts the elimination, each key press performs exactly
// one row operation, "Hotovo!" ends it and the grid keeps the solution.
#include "e2e_support.h"

#include <chrono>
#include <thread>

namespace
{

using Grid = std::vector<std::vector<std::string>>;

// A 10x10 system with small integer entries and the solution x = (1, 2, ..., 10). Its first
// pivot is 0, so the first step exchanges rows 0 and 1; two pivots are -1 and get scaled;
// all other steps are eliminations, and every value stays an integer on the way, so
// no step waits out a long cancelling animation.
constexpr const char *ten_by_ten = "10\n"
                                   "0 1 0 0 2 -1 -1 0 -2 0 -19\n"
                                   "1 0 -2 -2 0 -1 2 0 2 -2 -7\n"
                                   "0 0 1 -1 0 0 -2 0 0 0 -15\n"
                                   "0 0 0 1 0 -1 0 1 0 0 6\n"
                                   "0 0 0 2 1 -1 2 2 0 1 47\n"
                                   "0 0 0 0 -2 -1 -4 0 0 -1 -54\n"
                                   "0 0 0 0 0 0 -1 2 0 0 9\n"
                                   "0 1 -1 1 2 -1 -1 5 -2 0 22\n"
                                   "0 0 0 0 0 0 0 -1 -1 -1 -27\n"
                                   "-1 0 4 0 0 1 -4 -4 -2 3 -31\n";

// The cells that differ between two grids, as " (r,c)old->new".
std::string grid_changes(const Grid &before, const Grid &after)
{
    std::string text;
    for (std::size_t r = 0; r < before.size() && r < after.size(); r++) {
        for (std::size_t c = 0; c < before[r].size() && c < after[r].size(); c++) {
            if (before[r][c] != after[r][c])
                text += " (" + std::to_string(r) + "," + std::to_string(c) + ")" + before[r][c] +
                        "->" + after[r][c];
        }
    }
    return text;
}

class SolvingTest : public ProgramTest
{
  protected:
    // Gives one step with a key press at the resting gate and waits until the grid changes;
    // `last` gets the screenshot showing the change.
    bool step_once(int n, const Shot &resting, Shot *last)
    {
        const Grid old_grid = read_grid(resting, n);
        tap_key("space");
        return wait_until([&](const Shot &shot) { return read_grid(shot, n) != old_grid; }, 3.0,
                          last);
    }

    // The caption under the grid.
    static std::string caption(const Shot &shot)
    {
        return read_text(shot, 30, 306, 72);
    }

    // Waits until the line and the caption read as given, and the same a few frames later.
    bool wait_for(const std::string &line, const std::string &text, Shot *shot)
    {
        const auto shows = [&](const Shot &s) { return line_of(s) == line && caption(s) == text; };
        if (!wait_until(shows, 5.0, shot))
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        *shot = take_shot();
        return shows(*shot);
    }
};

} // namespace

TEST_F(SolvingTest, TwoByTwoTakesThreeSteppedOperations)
{
    write_file("small.txt", "2\n1 1 3\n1 -1 1\n");
    ASSERT_NO_FATAL_FAILURE(start_on_work_screen());
    ASSERT_NO_FATAL_FAILURE(load_file("small.txt"));
    ASSERT_TRUE(wait_for_grid({{"1", "1", "3"}, {"1", "-1", "1"}}));

    hold_key("r");
    Shot shot;
    ASSERT_TRUE(wait_for_line("Krokuj!", 3.0, &shot)) << "R does not start: " << line_of(shot);
    EXPECT_EQ(read_grid(shot, 2), Grid({{"1", "1", "3"}, {"1", "-1", "1"}}))
        << "an operation ran before the first step was given";

    // Row 1 minus row 0; then row 1 scaled by its pivot -2; then row 0 minus row 1.
    const Grid steps[] = {
        {{"1", "1", "3"}, {"0", "-2", "-2"}},
        {{"1", "1", "3"}, {"0", "1", "1"}},
        {{"1", "0", "2"}, {"0", "1", "1"}},
    };
    for (const Grid &expected : steps) {
        ASSERT_TRUE(wait_for_rest(2, &shot)) << "the solver does not come to rest";
        ASSERT_EQ(line_of(shot), "Krokuj!") << "the solver ended early";
        ASSERT_TRUE(step_once(2, shot, &shot)) << "a step was not taken";
        EXPECT_EQ(read_grid(shot, 2), expected) << grid_text(read_grid(shot, 2));
    }
    ASSERT_TRUE(wait_for_rest(2, &shot)) << "the solver does not come to rest";
    ASSERT_EQ(line_of(shot), "Hotovo!") << "three steps do not finish the solve";
    EXPECT_EQ(read_grid(shot, 2), steps[2]);

    // One more key ends the solve and empties the line; the grid keeps the solution.
    tap_key("space");
    ASSERT_TRUE(wait_for_line("", 3.0, &shot)) << "the line reads " << line_of(shot);
    EXPECT_EQ(read_grid(shot, 2), steps[2]);
    hover_cell(0, 2);
    EXPECT_TRUE(wait_for_line("2", 3.0, &shot)) << "x reads " << line_of(shot);
    hover_cell(1, 2);
    EXPECT_TRUE(wait_for_line("1", 3.0, &shot)) << "y reads " << line_of(shot);
}

TEST_F(SolvingTest, TenByTenEndsWithTheSolutionInTheLastColumn)
{
    write_file("ten.txt", ten_by_ten);
    ASSERT_NO_FATAL_FAILURE(start_on_work_screen());
    ASSERT_NO_FATAL_FAILURE(load_file("ten.txt"));
    Shot shot;
    ASSERT_TRUE(
        wait_until([](const Shot &s) { return read_grid(s, 10)[9][10] == "-31"; }, 3.0, &shot))
        << grid_text(read_grid(shot, 10));
    const Grid loaded = read_grid(shot, 10);
    EXPECT_EQ(loaded[0], std::vector<std::string>(
                             {"0", "1", "0", "0", "2", "-1", "-1", "0", "-2", "0", "-19"}));

    hold_key("r");
    ASSERT_TRUE(wait_for_line("Krokuj!", 3.0, &shot)) << "R does not start: " << line_of(shot);
    int steps = 0;
    ASSERT_TRUE(wait_for_rest(10, &shot)) << "the solver does not come to rest";
    std::string changes; // the cells each step changed, for a failure message
    while (line_of(shot) != "Hotovo!" && steps < 100) {
        const Grid before = read_grid(shot, 10);
        ASSERT_TRUE(step_once(10, shot, &shot)) << "step " << steps + 1 << " was not taken";
        steps++;
        ASSERT_TRUE(wait_for_rest(10, &shot)) << "the solver does not rest after step " << steps;
        changes +=
            "\n step " + std::to_string(steps) + ":" + grid_changes(before, read_grid(shot, 10));
    }
    ASSERT_EQ(line_of(shot), "Hotovo!") << "not done after " << steps << " steps";
    // One exchange, two scalings and 35 eliminations.
    EXPECT_EQ(steps, 38) << changes;

    const Grid solved = read_grid(shot, 10);
    for (int r = 0; r < 10; r++) {
        for (int c = 0; c < 10; c++)
            EXPECT_EQ(solved[r][c], r == c ? "1" : "0") << "coefficient (" << r << ", " << c << ")";
        EXPECT_EQ(solved[r][10], std::to_string(r + 1)) << "unknown " << r + 1;
    }
    tap_key("space");
    EXPECT_TRUE(wait_for_line("", 3.0, &shot)) << "the line reads " << line_of(shot);

    // The exact readout of each unknown, pointing at the bottom right and the top left of its
    // cell: 52.5 x 21 pixels around the drawn text, from 7 above its top to 13 below, from
    // halfway to the column before to 26 pixels right of the text's centre.
    for (int r = 0; r < 10; r++)
        for (const auto &[x, y] :
             {std::pair<int, int>{grid_centre_x(10) + 25, grid_top_y(r) + 13},
              std::pair<int, int>{(grid_centre_x(9) + grid_centre_x(10)) / 2, grid_top_y(r) - 7}}) {
            move_pointer(x, y);
            EXPECT_TRUE(wait_for_line(std::to_string(r + 1), 3.0, &shot))
                << "unknown " << r + 1 << " at (" << x << ", " << y << ") reads " << line_of(shot);
        }
    // Just past the last row and column the line shows the (empty) status again.
    for (const auto &[x, y] : {std::pair<int, int>{grid_centre_x(10) + 26, grid_top_y(9)},
                               std::pair<int, int>{grid_centre_x(10), grid_top_y(9) + 14}}) {
        move_pointer(x, y);
        EXPECT_TRUE(wait_for_line("", 3.0, &shot))
            << "at (" << x << ", " << y << ") the line reads " << line_of(shot);
    }
}

TEST_F(SolvingTest, TheCaptionNamesEachStepAndBackspaceGoesBackToTheStepBefore)
{
    write_file("tri.txt", "3\n2 1 -1 8\n-3 -1 2 -11\n-2 1 2 -3\n");
    ASSERT_NO_FATAL_FAILURE(start_on_work_screen());
    ASSERT_NO_FATAL_FAILURE(load_file("tri.txt"));
    const Grid loaded{{"2", "1", "-1", "8"}, {"-3", "-1", "2", "-11"}, {"-2", "1", "2", "-3"}};
    ASSERT_TRUE(wait_for_grid(loaded));

    hold_key("r");
    Shot shot;
    ASSERT_TRUE(wait_for_rest(3, &shot)) << "the solver does not come to rest";
    EXPECT_EQ(caption(shot), "Krok 1 z 9: R1 <- (1/2) R1");
    ASSERT_TRUE(step_once(3, shot, &shot)) << "the first step was not taken";
    ASSERT_TRUE(wait_for_rest(3, &shot)) << "the solver does not rest after the first step";
    EXPECT_EQ(caption(shot), "Krok 2 z 9: R2 <- R2 + 3 R1");
    EXPECT_EQ(read_grid(shot, 3)[0], std::vector<std::string>({"1", "0.5", "-0.5", "4"}));

    tap_key("BackSpace");
    EXPECT_TRUE(wait_until(
        [&](const Shot &s) { return caption(s) == "Krok 1 z 9: R1 <- (1/2) R1"; }, 3.0, &shot))
        << "the caption reads " << caption(shot);
    EXPECT_TRUE(wait_for_grid(loaded, 3.0, &shot)) << grid_text(read_grid(shot, 3));
}

TEST_F(SolvingTest, InFractionsAContradictorySystemIsReducedToTheEndAndTheCaptionSaysWhy)
{
    write_file("sporna.txt", "3\n1 1 1 1\n1 1 2 2\n1 1 3 4\n");
    ASSERT_NO_FATAL_FAILURE(start_on_work_screen());
    ASSERT_NO_FATAL_FAILURE(load_file("sporna.txt"));
    ASSERT_TRUE(wait_for_grid({{"1", "1", "1", "1"}, {"1", "1", "2", "2"}, {"1", "1", "3", "4"}}));

    // The steps' cells are the scripted solver tests' to check; here the real window steps
    // through them, shows the verdict with its offer, then the closing statement and the grid.
    hold_key("d"); // exact fractions from now on
    hold_key("r");
    Shot shot;
    const char *const steps[] = {"Krok 1 z 2: R2 <- R2 - R1", "Krok 2 z 2: R3 <- R3 - R1",
                                 "Krok 3 z 5: R1 <- R1 - R2", "Krok 4 z 5: R3 <- R3 - 2 R2",
                                 "Krok 5 z 5: R2 <- R2 - R3"};
    for (int k = 0; k < 5; k++) {
        if (k == 2) {
            ASSERT_TRUE(wait_for("Hotovo! Sustava nema riesenie.",
                                 "Sustava nema riesenie. R: dokoncit redukovany tvar; det A = 0",
                                 &shot))
                << line_of(shot) << " / " << caption(shot);
            hold_key("r"); // on to the reduced form
        }
        ASSERT_TRUE(wait_for("Krokuj!", steps[k], &shot)) << steps[k] << ": " << caption(shot);
        tap_key("space");
    }
    ASSERT_TRUE(wait_for("Hotovo! Sustava nema riesenie.",
                         "Sustava nema riesenie: R3 znamena 0 = 1; h(A) = 2, h(A|b) = 3; det A = 0",
                         &shot))
        << line_of(shot) << " / " << caption(shot);
    // The one read of the grid as the real window draws it in fractions.
    EXPECT_EQ(read_grid(shot, 3),
              Grid({{"1", "1", "0", "0"}, {"0", "0", "1", "0"}, {"0", "0", "0", "1"}}));

    // Pointing at the grid shows a cell's value on the line; the caption stays, and stays after
    // the message is dismissed.
    hover_cell(2, 3);
    EXPECT_TRUE(wait_for(
        "1", "Sustava nema riesenie: R3 znamena 0 = 1; h(A) = 2, h(A|b) = 3; det A = 0", &shot))
        << caption(shot);
    tap_key("space");
    park_pointer();
    EXPECT_TRUE(wait_for(
        "", "Sustava nema riesenie: R3 znamena 0 = 1; h(A) = 2, h(A|b) = 3; det A = 0", &shot))
        << caption(shot);
}

TEST_F(SolvingTest, IInvertsTheMatrixStepByStepAndTheClosingCaptionClaimsTheInverse)
{
    write_file("inverse.txt", "2\n2 1 5\n1 1 3\n");
    ASSERT_NO_FATAL_FAILURE(start_on_work_screen());
    ASSERT_NO_FATAL_FAILURE(load_file("inverse.txt"));
    ASSERT_TRUE(wait_for_grid({{"2", "1", "5"}, {"1", "1", "3"}}));

    hold_key("i");
    Shot shot;
    const char *const steps[] = {"Krok 1 z 4: R1 <- (1/2) R1", "Krok 2 z 4: R2 <- R2 - R1",
                                 "Krok 3 z 4: R2 <- 2 R2", "Krok 4 z 4: R1 <- R1 - (1/2) R2"};
    for (const char *step : steps) {
        ASSERT_TRUE(wait_for("Krokuj!", step, &shot)) << step << ": " << caption(shot);
        tap_key("space");
    }
    ASSERT_TRUE(wait_for("Hotovo!", "Inverzna matica: vpravo od ciary; det A = 1", &shot))
        << line_of(shot) << " / " << caption(shot);
    // [A | I] reduced: I on the left, the inverse from the third column on.
    EXPECT_EQ(read_grid(shot, 2), Grid({{"1", "0", "1"}, {"0", "1", "-1"}}));
}
