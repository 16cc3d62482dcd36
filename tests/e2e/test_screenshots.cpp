// Takes the README's pictures from the real program: the menu, the settings, a loaded system,
// a solve in progress in exact fractions, a finished solve with its answer under the grid, the
// grid editor and the learner's own operations (practice). Each picture is taken only once the
// screen is verified to show it, so the run fails when the program cannot reach a screen. With
// SCREENSHOT_DIR set, the pictures are written there as PPM files (tools/screenshots.sh turns
// them into PNG).
#include "e2e_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{

// The system the pictures show: 2x + y - z = 8, -3x - y + 2z = -11, -2x + y + 2z = -3.
constexpr const char *pictured_system = "3\n2 1 -1 8\n-3 -1 2 -11\n-2 1 2 -3\n";

using Grid = std::vector<std::vector<std::string>>;

// The pictured system's grid as loaded.
const Grid pictured_grid{{"2", "1", "-1", "8"}, {"-3", "-1", "2", "-11"}, {"-2", "1", "2", "-3"}};

// Writes the shot as a binary PPM into SCREENSHOT_DIR, when that is set.
void save_shot(const Shot &shot, const std::string &name)
{
    const char *directory = std::getenv("SCREENSHOT_DIR");
    if (!directory || !*directory)
        return;
    const std::string path = std::string(directory) + "/" + name + ".ppm";
    ASSERT_TRUE(write_ppm(shot, path)) << "cannot write " << path;
}

class Screenshots : public ProgramTest
{
};

TEST_F(Screenshots, EveryScreenIsReachedAndPictured)
{
    write_file("tri.txt", pictured_system);
    launch();
    ASSERT_TRUE(find_window());
    park_pointer();
    ASSERT_TRUE(wait_for_screen("uvod", {pointer_box()})) << "the menu did not show";
    save_shot(take_shot(), "menu");

    hold_key("n");
    ASSERT_TRUE(wait_for_screen("about", {pointer_box(), {425, 298, 472, 333}}))
        << "the settings screen did not show";
    save_shot(take_shot(), "settings");
    hold_key("Escape");
    ASSERT_TRUE(wait_for_screen("uvod", {pointer_box()})) << "the menu did not come back";

    hold_key("s");
    ASSERT_TRUE(wait_for_line("")) << "the work screen did not show";
    load_file("tri.txt");
    ASSERT_TRUE(wait_for_grid(pictured_grid)) << "the loaded system is not shown";
    hover_cell(1, 3);
    Shot loaded;
    ASSERT_TRUE(wait_for_line("-11", 3.0, &loaded)) << "the readout did not show the cell";
    save_shot(loaded, "loaded");

    park_pointer();
    hold_key("r");
    Shot solving;
    ASSERT_TRUE(wait_for_rest(3, &solving)) << "the solve did not start";
    tap_key("space"); // scale the first row by its pivot 2
    ASSERT_TRUE(wait_for_grid(
        {{"1", "0.5", "-0.5", "4"}, {"-3", "-1", "2", "-11"}, {"-2", "1", "2", "-3"}}));
    ASSERT_TRUE(wait_for_rest(3, &solving)) << "the solver did not come to rest";
    hold_key("d"); // exact fractions in the grid, at once and without a step
    ASSERT_TRUE(wait_for_grid(
        {{"1", "1/2", "-1/2", "4"}, {"-3", "-1", "2", "-11"}, {"-2", "1", "2", "-3"}}))
        << "D did not switch the grid to fractions";
    tap_key("space"); // clear the first column of the second row
    ASSERT_TRUE(wait_for_grid(
        {{"1", "1/2", "-1/2", "4"}, {"0", "1/2", "1/2", "1"}, {"-2", "1", "2", "-3"}}))
        << "the solve did not go on step by step";
    ASSERT_TRUE(wait_for_rest(3, &solving)) << "the solver did not come to rest";
    hover_cell(1, 1);
    ASSERT_TRUE(wait_for_line("1 / 2", 3.0, &solving)) << "the readout did not show 1 / 2";
    EXPECT_EQ(read_text(solving, 30, 306, 72), "Krok 3 z 9: R3 <- R3 + 2 R1")
        << "the step's caption is not shown";
    save_shot(solving, "solving");

    park_pointer();
    Shot finished = solving;
    for (int step = 3; step <= 9; step++) {
        ASSERT_TRUE(wait_for_rest(3, &finished)) << "the solver did not rest before step " << step;
        tap_key("space");
        ASSERT_TRUE(wait_until(
            [&](const Shot &s) { return read_grid(s, 3) != read_grid(finished, 3); }, 3.0))
            << "step " << step << " was not taken";
    }
    ASSERT_TRUE(wait_for_rest(3, &finished)) << "the solve did not finish";
    ASSERT_EQ(line_of(finished), "Hotovo!");
    EXPECT_EQ(read_text(finished, 30, 306, 72), "Riesenie: x1 = 2, x2 = 3, x3 = -1; det A = -1")
        << "the answer is not under the grid";
    save_shot(finished, "finished");

    // One more key clears "Hotovo!"; E then opens the grid editor on the system as it was loaded.
    tap_key("space");
    ASSERT_TRUE(wait_for_line("")) << "the finishing message stayed";
    hold_key("e");
    ASSERT_TRUE(wait_for_line("Riadok 1, stlpec 1: cislo a Enter; sipky, Tab, klik: ina bunka"))
        << "E did not open the editor";
    for (const char *key : {"Down", "Right", "minus", "7"})
        tap_key(key);
    Shot editor;
    ASSERT_TRUE(wait_for_line("Riadok 2, stlpec 2: -7_", 3.0, &editor))
        << "the line reads " << line_of(editor);
    EXPECT_EQ(read_grid(editor, 3), pictured_grid)
        << "the editor does not show the system as loaded";
    save_shot(editor, "editor");
    tap_key("Escape");
    ASSERT_TRUE(wait_for_line("")) << "the editor did not close";

    // Practice: the system again, two of the learner's own operations typed at U's prompt.
    park_pointer();
    load_file("tri.txt");
    ASSERT_TRUE(wait_for_grid(pictured_grid)) << "the system did not load again";
    for (const char *operation : {"R1<-1/2R1", "R2<-R2+3R1"}) {
        hold_key("u");
        ASSERT_TRUE(wait_for_line("Uprava:")) << "U did not open its prompt";
        ASSERT_NO_FATAL_FAILURE(type_text(operation));
        tap_key("Return");
        ASSERT_TRUE(wait_for_line("")) << "the operation was not taken";
    }
    Shot practice;
    const Grid practised{
        {"1", "1/2", "-1/2", "4"}, {"0", "1/2", "1/2", "1"}, {"-2", "1", "2", "-3"}};
    ASSERT_TRUE(wait_until(
        [&](const Shot &s) {
            return read_text(s, 30, 306, 72) == "Uprava 2: R2 <- R2 + 3 R1" &&
                   normal_pointer_shown(s) && read_grid(s, 3) == practised;
        },
        3.0, &practice))
        << "the caption reads " << read_text(practice, 30, 306, 72) << "; the grid "
        << grid_text(read_grid(practice, 3));
    save_shot(practice, "practice");

    // Backspace undoes the last of them exactly.
    hold_key("BackSpace");
    const Grid undone{{"1", "1/2", "-1/2", "4"}, {"-3", "-1", "2", "-11"}, {"-2", "1", "2", "-3"}};
    EXPECT_TRUE(wait_until(
        [&](const Shot &s) {
            return read_text(s, 30, 306, 72) == "Uprava 1: R1 <- (1/2) R1" &&
                   read_grid(s, 3) == undone;
        },
        3.0, &practice))
        << "Backspace did not undo the last operation";

    // The inverse: I puts [A | I] of the system as loaded in the grid and solves it step by step.
    hold_key("i");
    Shot inverse;
    ASSERT_TRUE(wait_for_line("Krokuj!", 3.0, &inverse)) << "I did not start: " << line_of(inverse);
    for (int step = 0; step < 20 && line_of(inverse) != "Hotovo!"; step++) {
        tap_key("space");
        ASSERT_TRUE(wait_for_rest(3, &inverse)) << "the inversion did not come to rest";
    }
    ASSERT_EQ(line_of(inverse), "Hotovo!");
    EXPECT_EQ(read_text(inverse, 30, 306, 72), "Inverzna matica: vpravo od ciary; det A = -1");
    save_shot(inverse, "inverse");
}

} // namespace
