// A long session through the real loops: fifty systems loaded by typed names and solved step
// by step, with pauses and pulse toggles between them. Run under the sanitizers' leak checker
// it also shows that nothing leaks over a whole session.
#include "harness.h"

#include "app/screens.h"
#include "matrix/elimination.h"
#include "matrix/rank.h"
#include "matrix/store.h"
#include "platform/frame.h"
#include "platform/images.h"
#include "platform/input.h"
#include "platform/quit.h"
#include "platform/startup.h"
#include "work/loader.h"
#include "work/solver.h"
#include "work/work_frame.h"
#include "work/work_screen.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace
{

using LongSessionTest = ScriptTest;

// A folder of matrix files that the test works in, so names stay short enough to type.
class WorkingFolder
{
  public:
    WorkingFolder()
    {
        char pattern[] = "/tmp/gj-session-XXXXXX";
        folder_ = mkdtemp(pattern) ? pattern : "";
        char here[4096] = "";
        previous_ = getcwd(here, sizeof here) ? here : "";
        if (!folder_.empty() && chdir(folder_.c_str()) != 0)
            folder_.clear();
    }
    ~WorkingFolder()
    {
        if (!previous_.empty() && chdir(previous_.c_str()) != 0)
            std::perror("chdir");
        for (const std::string &name : names_)
            std::remove((folder_ + "/" + name).c_str());
        rmdir(folder_.c_str());
    }
    bool ready() const
    {
        return !folder_.empty();
    }
    // Writes a file into the folder under its short name.
    void write(const std::string &name, const std::string &content)
    {
        std::ofstream(name) << content;
        names_.push_back(name);
    }

  private:
    std::string folder_;
    std::string previous_;
    std::vector<std::string> names_;
};

// The text of a random system of order n: small entries, sometimes large, sometimes singular.
std::string random_system(std::mt19937 &random, int n)
{
    const bool large = n <= 4 && random() % 3 == 0;
    std::uniform_int_distribution<long> entry(large ? -2000000000L : -9, large ? 2000000000L : 9);
    std::vector<std::vector<long>> rows(static_cast<std::size_t>(n));
    for (auto &row : rows)
        for (int c = 0; c <= n; c++)
            row.push_back(entry(random));
    if (n > 1 && random() % 5 == 0)
        rows[1] = rows[0]; // singular: two equal equations
    std::string text = std::to_string(n) + "\n";
    for (const auto &row : rows) {
        for (long value : row)
            text += std::to_string(value) + " ";
        text += "\n";
    }
    return text;
}

// The rows and finishing message a headless elimination of the loaded system ends with.
struct Expected {
    std::vector<std::string> rows;
    std::string message;
};

Expected solve_a_copy()
{
    const auto saved_cells = matrix_cells;
    const EliminationResult result = run_elimination_now(nullptr);
    Expected expected{matrix_rows(), finish_message(result == elimination_column_empty)};
    matrix_cells = saved_cells;
    return expected;
}

// Answers every gate with Space; at the second gate of a pausing run it pauses with P and
// resumes with R instead. Notes the finishing message, answers it and is done.
Script answer_gates(bool pause_once, std::string &finish, int &requested, int &pauses)
{
    auto still = std::make_shared<int>(0);
    auto gates = std::make_shared<int>(0);
    auto seen = std::make_shared<std::string>();
    return [=, &finish, &requested, &pauses](int) {
        if (key[KEY_P] || key[KEY_R]) { // a held key from the pause goes up one frame later
            release_key(key[KEY_P] ? KEY_P : KEY_R);
            return true;
        }
        const bool resting =
            *seen == status_text && pointer_image == images[image_normal_pointer] && !keypressed();
        *still = resting ? *still + 1 : 0;
        *seen = status_text;
        if (*still < 3)
            return true;
        *still = 0;
        if (*seen == "Krokuj!") {
            if (pause_once && ++*gates == 2) {
                requested++;
                hold_key(KEY_P, 'p');
            } else
                tap_key(KEY_SPACE, ' ');
        } else if (*seen == "Prerusenie") {
            pauses++;
            hold_key(KEY_R, 'r');
        } else if (seen->rfind("Hotovo!", 0) == 0) {
            finish = *seen;
            tap_key(KEY_SPACE, ' ');
            return false;
        }
        return true;
    };
}

// Toggles the pulse on the settings screen with M and leaves with Esc.
void toggle_pulse_on_settings_screen()
{
    const ScriptRun run = run_script(settings_screen, cues({{after(3), hold(KEY_M, 'm')},
                                                            {after(2), release(KEY_M)},
                                                            {after(3), hold(KEY_ESC, 27)},
                                                            {after(2), release(KEY_ESC)}}));
    ASSERT_FALSE(run.ran_out);
}

TEST_F(LongSessionTest, FiftySystemsLoadAndSolveWithPausesAndPulseToggles)
{
    WorkingFolder folder;
    ASSERT_TRUE(folder.ready());
    std::mt19937 random(2026);
    int requested = 0;
    int pauses = 0;
    for (int system = 0; system < 50; system++) {
        const std::string name = "s" + std::to_string(system) + ".txt";
        const int order = system % 10 == 9 ? 10 : 1 + static_cast<int>(random() % 6);
        folder.write(name, random_system(random, order));

        int code = -1;
        const ScriptRun load = run_script(
            [&] {
                code = load_matrix();
                report_load_result(code);
            },
            cues(typing(name + "\r")));
        ASSERT_FALSE(load.ran_out) << name;
        ASSERT_EQ(code, 0) << name;
        ASSERT_EQ(matrix_shape.rows, order) << name;

        const Expected expected = solve_a_copy();
        const bool pause_once = system % 5 == 2;
        std::string finish;
        const ScriptRun run =
            run_script(solve, answer_gates(pause_once, finish, requested, pauses), 120, 200000);
        ASSERT_FALSE(run.ran_out) << name;
        EXPECT_EQ(matrix_rows(), expected.rows) << name;
        EXPECT_EQ(finish, expected.message) << name;
        EXPECT_EQ(std::string(status_text), "") << name;

        if (system % 10 == 4) {
            const int before = pulse_enabled;
            toggle_pulse_on_settings_screen();
            EXPECT_NE(pulse_enabled, before) << "after " << name;
            for (int tick = 0; tick < 300; tick++)
                pulse_tick();
            EXPECT_TRUE(pulse_level >= 0 && pulse_level <= 255);
        }
    }
    EXPECT_GT(requested, 0);
    EXPECT_EQ(pauses, requested) << "every pause request paused the solve";
}

} // namespace
