// The animated row reduction and the step-by-step solver with its gate, driven frame by frame.
#include "harness.h"

#include "app/frame.h"
#include "app/images.h"
#include "app/layout.h"
#include "app/screens.h"
#include "app/startup.h"
#include "matrix/row_arith.h"
#include "matrix/row_ops.h"
#include "matrix/solver.h"
#include "matrix/store.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{

using SolverTest = ScriptTest;

// Busy frames of a run, and whether they all come before the normal ones.
int busy_frames(const ScriptRun &run)
{
    int busy = 0;
    for (const FrameRecord &record : run.frames)
        busy += record.busy;
    return busy;
}

bool busy_frames_come_first(const ScriptRun &run)
{
    for (std::size_t i = 1; i < run.frames.size(); i++)
        if (run.frames[i].busy && !run.frames[i - 1].busy)
            return false;
    return true;
}

// One row to reduce: its cells, the Euclid frames it costs and the cells afterwards.
struct ReduceCase {
    std::vector<Fraction> cells;
    int frames;
    std::string result;
};

TEST_F(SolverTest, ReducingARowCostsOneBusyFramePerEuclidStepThenOneNormalRepaint)
{
    const std::vector<ReduceCase> cases{
        {{{6, 4}, {1, 1}}, 3, "3/2 1"},
        {{{4, 6}, {1, 1}}, 2, "2/3 1"},
        {{{5, 5}, {1, 1}}, 0, "1 1"},
        {{{-5, -5}, {1, 1}}, 0, "1 1"},
        {{{5, -5}, {1, 1}}, 1, "1/-1 1"},
        {{{0, 7}, {1, 1}}, 0, "0 1"},
        {{{-2, 4}, {1, 1}}, 1, "1/-2 1"},
        {{{1, -2}, {1, 1}}, 1, "1/-2 1"},
        {{{6, 4}, {3, 1}, {4, 6}}, 5, "3/2 3 2/3"},
        {{{3, 1}, {-4, 1}, {7, 1}, {0, 1}}, 0, "3 -4 7 0"},
    };
    for (const ReduceCase &rc : cases) {
        reset_program_state();
        matrix_order = static_cast<int>(rc.cells.size()) - 1;
        for (std::size_t c = 0; c < rc.cells.size(); c++)
            cell(0, static_cast<int>(c)) = rc.cells[c];
        const ScriptRun run = run_script([] { reduce_row(0); }, at_frames({}), 60);
        ASSERT_FALSE(run.ran_out) << rc.result;
        ASSERT_FALSE(run.frames.empty()) << rc.result << ": no repaint at all";
        EXPECT_EQ(busy_frames(run), rc.frames) << rc.result;
        EXPECT_EQ(run.frames.size(), static_cast<std::size_t>(rc.frames + 1)) << rc.result;
        EXPECT_TRUE(busy_frames_come_first(run)) << rc.result;
        EXPECT_FALSE(run.frames.back().busy)
            << rc.result << ": the last repaint has the busy pointer";
        EXPECT_EQ(pointer_image, images[image_normal_pointer]) << rc.result;
        EXPECT_EQ(matrix_rows().at(0), rc.result);
    }
}

TEST_F(SolverTest, AHugeCellReducesInAtMost45FramesToTheSameResultAsAtOnce)
{
    mpz_class previous = 0;
    mpz_class current = 1;
    for (int i = 1; i < 200; i++) { // current = F(200), previous = F(199)
        mpz_class next = previous + current;
        previous = current;
        current = next;
    }
    matrix_order = 1;
    cell(0, 0) = Fraction{6 * current, 6 * previous};
    cell(0, 1) = Fraction{-6 * previous, 4 * current};
    mpz_class num0 = cell(0, 0).num, den0 = cell(0, 0).den;
    mpz_class num1 = cell(0, 1).num, den1 = cell(0, 1).den;
    reduce_cell_now(num0, den0);
    reduce_cell_now(num1, den1);
    ASSERT_GT(euclid_step_count(6 * current, 6 * previous), 45) << "the cell must need many steps";

    const ScriptRun run = run_script([] { reduce_row(0); }, at_frames({}), 200);
    ASSERT_FALSE(run.ran_out);
    EXPECT_LE(busy_frames(run), 2 * max_reduce_frames);
    EXPECT_GT(busy_frames(run), 2);
    EXPECT_EQ(cell(0, 0).num, num0);
    EXPECT_EQ(cell(0, 0).den, den0);
    EXPECT_EQ(cell(0, 1).num, num1);
    EXPECT_EQ(cell(0, 1).den, den1);
    EXPECT_EQ(cell(0, 0).num, current) << "consecutive Fibonacci numbers share no factor";

    // The first cell alone.
    cell(0, 0) = Fraction{6 * current, 6 * previous};
    cell(0, 1) = Fraction{1, 1};
    const ScriptRun alone = run_script([] { reduce_row(0); }, at_frames({}), 200);
    EXPECT_LE(busy_frames(alone), max_reduce_frames);
    EXPECT_GE(busy_frames(alone), 30);
}

// Counts of what a script answered while a solve ran.
struct Answers {
    int gates = 0;        // presses while "Krokuj!" waited
    int finishes = 0;     // presses while a "Hotovo!" message waited
    int finished_at = -1; // frame of the press that answered it
};

// A script that presses Space whenever the solver rests at a gate ("Krokuj!") and once at
// the finishing message; it is done after that press.
Script step_through(Answers &answers)
{
    auto still = std::make_shared<int>(0);
    auto seen = std::make_shared<std::string>();
    return [&answers, still, seen](int) {
        const bool resting =
            *seen == status_text && pointer_image == images[image_normal_pointer] && !keypressed();
        *still = resting ? *still + 1 : 0;
        *seen = status_text;
        if (*still < 4)
            return true;
        *still = 0;
        if (*seen == "Krokuj!") {
            answers.gates++;
            tap_key(KEY_SPACE, ' ');
            return true;
        }
        if (seen->rfind("Hotovo!", 0) == 0) {
            answers.finishes++;
            answers.finished_at = current_frame();
            tap_key(KEY_SPACE, ' ');
            return false;
        }
        return true;
    };
}

// A system, the gated steps it takes, its finishing message and its rows at the end.
struct SolveCase {
    const char *name;
    std::vector<std::vector<long>> system;
    int gates;
    const char *message;
    std::vector<std::string> rows;
};

TEST_F(SolverTest, SolvingStepsThroughEveryGateAndWaitsOnceAtTheEnd)
{
    const std::vector<SolveCase> cases{
        {"x + y = 3, x - y = 1", {{1, 1, 3}, {1, -1, 1}}, 3, "Hotovo!", {"1 0 2", "0 1 1"}},
        {"order 0", {}, 0, "Hotovo!", {}},
        {"2x = -1", {{2, -1}}, 1, "Hotovo!", {"1 1/-2"}},
        {"three equations",
         {{2, 1, -1, 8}, {-3, -1, 2, -11}, {-2, 1, 2, -3}},
         9,
         "Hotovo!",
         {"1 0 0 2", "0 1 0 3", "0 0 1 1/-1"}},
        {"zero first pivot",
         {{0, 2, 1, 5}, {0, 1, 3, 4}, {4, 1, 1, 6}},
         7,
         "Hotovo!",
         {"1 0 0 4/5", "0 1 0 11/5", "0 0 1 3/5"}},
        {"exchange at the second pivot",
         {{1, 1, 1, 6}, {1, 1, 2, 9}, {2, 3, 1, 11}},
         6,
         "Hotovo!",
         {"1 0 0 1", "0 1 0 2", "0 0 1 3"}},
        {"infinitely many",
         {{1, 2, 3}, {2, 4, 6}},
         1,
         "Hotovo! Sustava ma nekonecne vela rieseni.",
         {"1 2 3", "0 0 0"}},
        {"no solution",
         {{1, 2, 3}, {2, 4, 7}},
         1,
         "Hotovo! Sustava nema riesenie.",
         {"1 2 3", "0 0 1"}},
        {"stops after column 0",
         {{1, 1, 1, 1}, {1, 1, 2, 2}, {1, 1, 3, 3}},
         2,
         "Hotovo! Sustava ma nekonecne vela rieseni.",
         {"1 1 1 1", "0 0 1 1", "0 0 2 2"}},
        {"zero first column",
         {{0, 1, 2}, {0, 3, 4}},
         0,
         "Hotovo! Sustava nema riesenie.",
         {"0 1 2", "0 3 4"}},
    };
    for (const SolveCase &sc : cases) {
        reset_program_state();
        set_matrix(sc.system);
        Answers answers;
        const ScriptRun run = run_script(solve, step_through(answers));
        ASSERT_FALSE(run.ran_out) << sc.name;
        EXPECT_TRUE(run.finished) << sc.name << ": the solve returned before its finishing wait";
        EXPECT_EQ(answers.gates, sc.gates) << sc.name;
        EXPECT_EQ(answers.finishes, 1) << sc.name;
        EXPECT_EQ(last_frame(run), answers.finished_at)
            << sc.name << ": the last input did not end the wait";
        ASSERT_FALSE(run.frames.empty()) << sc.name;
        EXPECT_EQ(run.frames.back().status, sc.message) << sc.name;
        EXPECT_EQ(matrix_rows(), sc.rows) << sc.name;
        EXPECT_EQ(std::string(status_text), "") << sc.name;
        EXPECT_EQ(std::string(line_text), "") << sc.name;
    }
}

TEST_F(SolverTest, OrderZeroShowsHotovoAtOnceAndWaitsForOneInput)
{
    const ScriptRun run = run_script(solve, at_frames({{40, tap(KEY_SPACE, ' ')}}));
    ASSERT_FALSE(run.ran_out);
    EXPECT_EQ(last_frame(run), 40) << "the wait ends at the key";
    for (const FrameRecord &record : run.frames) {
        EXPECT_EQ(record.status, "Hotovo!") << "frame " << record.frame;
        EXPECT_EQ(record.line, "Hotovo!") << "frame " << record.frame;
    }
    EXPECT_EQ(std::string(status_text), "");
    EXPECT_EQ(std::string(line_text), "");
}

// Cues that answer n gates with Space and then the finishing message.
std::vector<Cue> finish_from_gate(int gates)
{
    std::vector<Cue> list;
    for (int g = 0; g < gates; g++)
        list.push_back({resting_with_status("Krokuj!"), tap(KEY_SPACE, ' ')});
    list.push_back({resting_with_status("Hotovo!"), tap(KEY_SPACE, ' ')});
    return list;
}

TEST_F(SolverTest, AKeyPressedWhileAnOperationRunsDoesNotAnswerTheNextGate)
{
    set_matrix({{1, 1, 3}, {1, -1, 1}});
    std::vector<std::string> rows_at_next_gate;
    const ScriptRun run = run_script(
        solve, cues({{resting_with_status("Krokuj!"), tap(KEY_SPACE, ' ')}, // eliminate row 1
                     {after(1), tap(KEY_SPACE, ' ')}, // while row 1 is repainted, before the gate
                     {after(10), [&] { rows_at_next_gate = matrix_rows(); }},
                     {resting_with_status("Krokuj!"), tap(KEY_SPACE, ' ')},
                     {resting_with_status("Krokuj!"), tap(KEY_SPACE, ' ')},
                     {resting_with_status("Hotovo!"), tap(KEY_SPACE, ' ')}}));
    ASSERT_FALSE(run.ran_out);
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(rows_at_next_gate, (std::vector<std::string>{"1 1 3", "0 -2 -2"}))
        << "the early key scaled row 1 without waiting at the gate";
    EXPECT_EQ(matrix_rows(), (std::vector<std::string>{"1 0 2", "0 1 1"}));
}

// Frames of the run showing the status.
int frames_with_status(const ScriptRun &run, const std::string &status)
{
    int count = 0;
    for (const FrameRecord &record : run.frames)
        count += record.status == status;
    return count;
}

TEST_F(SolverTest, HoldingPPausesWithoutStoppingAndRResumes)
{
    set_matrix({{1, 1, 3}, {1, -1, 1}});
    std::vector<Cue> script{{resting_with_status("Krokuj!"), hold(KEY_P, 'p')}};
    for (int repeat = 0; repeat < 15; repeat++) // the keyboard's auto-repeat while P is held
        script.push_back({after(3), tap(KEY_P, 'p')});
    script.push_back({after(2), release(KEY_P)});
    script.push_back({resting_with_status("Prerusenie", 20), hold(KEY_R, 'r')});
    script.push_back({after(2), release(KEY_R)});
    for (const Cue &cue : finish_from_gate(2))
        script.push_back(cue);
    const ScriptRun run = run_script(solve, cues(script));
    ASSERT_FALSE(run.ran_out);
    EXPECT_TRUE(run.finished) << "the solve stopped while P was held";
    EXPECT_GE(frames_with_status(run, "Prerusenie"), 60);
    EXPECT_EQ(matrix_rows(), (std::vector<std::string>{"1 0 2", "0 1 1"}));
    EXPECT_EQ(std::string(status_text), "");
}

// A click that decides a pause: pressed at one point and released at another.
struct ResumeCase {
    const char *name;
    int press_x;
    int press_y;
    int release_x;
    int release_y;
    bool resumes;
};

TEST_F(SolverTest, TheInterruptButtonPausesAndAClickReleasedOnTheSolveButtonResumes)
{
    const ResumeCase cases[] = {
        {"click on solve", 100, 372, 100, 372, true},
        {"press outside, release on solve", 320, 440, 100, 372, true},
        {"press on solve, release outside", 100, 372, 320, 440, false},
        {"click elsewhere", 320, 440, 320, 440, false},
        {"click on the solve button's edge", 18, 372, 18, 372, false},
    };
    for (const ResumeCase &rc : cases) {
        reset_program_state();
        set_matrix({{1, 1, 3}, {1, -1, 1}});
        std::vector<Cue> script{{resting_with_status("Krokuj!"),
                                 [] {
                                     point_at(500, 370); // the interrupt button
                                     press_button();
                                 }},
                                {after(5), button_up()},
                                {resting_with_status("Prerusenie", 10),
                                 [&rc] {
                                     point_at(rc.press_x, rc.press_y);
                                     press_button();
                                 }},
                                {after(3), point(rc.release_x, rc.release_y)},
                                {after(3), button_up()}};
        if (rc.resumes) {
            script.push_back({after(1), point(620, 20)});
            for (const Cue &cue : finish_from_gate(2))
                script.push_back(cue);
        }
        const ScriptRun run = run_script(solve, cues(script));
        ASSERT_FALSE(run.ran_out) << rc.name;
        EXPECT_TRUE(run.finished) << rc.name;
        EXPECT_GE(frames_with_status(run, "Prerusenie"), 10) << rc.name;
        const std::vector<std::string> expected = rc.resumes
                                                      ? std::vector<std::string>{"1 0 2", "0 1 1"}
                                                      : std::vector<std::string>{"1 1 3", "1 -1 1"};
        EXPECT_EQ(matrix_rows(), expected) << rc.name;
        EXPECT_EQ(std::string(status_text), "") << rc.name;
        EXPECT_EQ(std::string(line_text), "") << rc.name;
    }
}

// How a pause at the second gate is decided, and whether the solve goes on.
struct DecisionCase {
    const char *name;
    std::vector<Cue> decide;
    bool resumes;
};

TEST_F(SolverTest, APauseThenAnyOtherKeyOrAClickElsewhereStopsKeepingTheMatrixSoFar)
{
    const std::vector<DecisionCase> cases{
        {"R resumes", {{after(3), hold(KEY_R, 'r')}, {after(2), release(KEY_R)}}, true},
        {"X stops", {{after(3), hold(KEY_X, 'x')}}, false},
        {"Space stops", {{after(3), tap(KEY_SPACE, ' ')}}, false},
        {"P again stops", {{after(3), hold(KEY_P, 'p')}}, false},
        {"a click elsewhere stops",
         {{after(3), point(320, 200)}, {after(1), button_down()}, {after(2), button_up()}},
         false},
    };
    for (const DecisionCase &dc : cases) {
        reset_program_state();
        set_matrix({{1, 1, 3}, {1, -1, 1}});
        std::vector<Cue> script{{resting_with_status("Krokuj!"), tap(KEY_SPACE, ' ')},
                                {resting_with_status("Krokuj!"), hold(KEY_P, 'p')},
                                {after(3), release(KEY_P)},
                                {resting_with_status("Prerusenie", 5), [] {}}};
        script.insert(script.end(), dc.decide.begin(), dc.decide.end());
        if (dc.resumes)
            for (const Cue &cue : finish_from_gate(1))
                script.push_back(cue);
        const ScriptRun run = run_script(solve, cues(script));
        ASSERT_FALSE(run.ran_out) << dc.name;
        EXPECT_TRUE(run.finished) << dc.name;
        const std::vector<std::string> expected =
            dc.resumes ? std::vector<std::string>{"1 0 2", "0 1 1"}
                       : std::vector<std::string>{"1 1 3", "0 -2 -2"};
        EXPECT_EQ(matrix_rows(), expected) << dc.name;
        EXPECT_EQ(std::string(status_text), "") << dc.name;
        EXPECT_EQ(std::string(line_text), "") << dc.name;
    }
}

TEST_F(SolverTest, RAfterHotovoSolvesAgainFromPivotZeroOnTheFinishedMatrix)
{
    set_matrix({{2, -1}});
    std::vector<Cue> script{{after(3), hold(KEY_R, 'r')}, {after(2), release(KEY_R)}};
    for (const Cue &cue : finish_from_gate(1))
        script.push_back(cue);
    int second_start = -1;
    script.push_back({steady([] { return status_text[0] == '\0'; }, 5), [&] {
                          second_start = current_frame();
                          hold_key(KEY_R, 'r');
                      }});
    script.push_back({after(2), release(KEY_R)});
    script.push_back({resting_with_status("Hotovo!", 6), tap(KEY_SPACE, ' ')});
    script.push_back({after(5), hold(KEY_ESC, 27)});
    script.push_back({after(2), release(KEY_ESC)});
    const ScriptRun run = run_script(work_screen, cues(script));
    ASSERT_FALSE(run.ran_out);
    ASSERT_TRUE(run.finished);
    ASSERT_GT(second_start, 0);
    // The second solve: "Krokuj!", row 0 reduced again (its 1/-2 takes one Euclid step), no gate,
    // then "Hotovo!" again.
    int krokuj = 0, busy = 0, hotovo = 0;
    for (const FrameRecord &record : run.frames) {
        if (record.frame <= second_start)
            continue;
        krokuj += record.status == "Krokuj!";
        busy += record.busy;
        hotovo += record.status == "Hotovo!";
    }
    EXPECT_GT(krokuj, 0);
    EXPECT_EQ(busy, 1);
    EXPECT_GE(hotovo, 6);
    EXPECT_EQ(matrix_rows(), (std::vector<std::string>{"1 1/-2"}));
}

} // namespace
