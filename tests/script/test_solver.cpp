// The animated row reduction and the step-by-step solver with its gate, driven frame by frame.
#include "harness.h"

#include "app/screens.h"
#include "matrix/elimination.h"
#include "matrix/instant_rows.h"
#include "matrix/row_arith.h"
#include "matrix/store.h"
#include "platform/frame.h"
#include "platform/images.h"
#include "platform/input.h"
#include "platform/layout.h"
#include "platform/quit.h"
#include "platform/settings_file.h"
#include "platform/startup.h"
#include "work/matrix_view.h"
#include "work/row_ops.h"
#include "work/solver.h"
#include "work/work_frame.h"
#include "work/work_screen.h"

#include <gtest/gtest.h>

#include <functional>
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
        matrix_shape = square_shape(static_cast<int>(rc.cells.size()) - 1);
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
    matrix_shape = system_shape(1, 1);
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

    // Told to end in the first cell's frames, it paints no more and leaves the row as the
    // whole animation would have.
    cell(0, 0) = Fraction{6 * current, 6 * previous};
    cell(0, 1) = Fraction{-6 * previous, 4 * current};
    const ScriptRun ended =
        run_script([] { reduce_row(0); }, at_frames({{5, [] { quit_requested = 1; }}}), 200);
    quit_requested = 0;
    ASSERT_FALSE(ended.ran_out);
    EXPECT_EQ(last_frame(ended), 5) << "frames went on after the request to end";
    EXPECT_EQ(cell(0, 0).num, num0);
    EXPECT_EQ(cell(0, 0).den, den0);
    EXPECT_EQ(cell(0, 1).num, num1);
    EXPECT_EQ(cell(0, 1).den, den1);
    EXPECT_EQ(pointer_image, images[image_normal_pointer]);
}

TEST_F(SolverTest, TheReadoutFollowsThePointerWhileARowIsBeingCancelled)
{
    matrix_shape = system_shape(1, 1);
    cell(0, 0) = Fraction{1836311903, 1134903170}; // 45 Euclid steps, one frame each
    cell(0, 1) = Fraction{7, 2};
    const auto [x, y] = over_cell(0, 1);
    const ScriptRun run = run_script([] { reduce_row(0); }, at_frames({{10, point(x, y)}}), 80);
    ASSERT_FALSE(run.ran_out);
    ASSERT_TRUE(frame_of(run, 20).busy) << "the cancelling is over too soon for the test";
    EXPECT_EQ(frame_of(run, 5).line, "");
    EXPECT_EQ(frame_of(run, 12).line, "7 / 2") << "the line did not follow the pointer";
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

namespace
{

const std::vector<std::vector<long>> three_equations{
    {2, 1, -1, 8}, {-3, -1, 2, -11}, {-2, 1, 2, -3}};

int forward_gate = 0; // the gate a plain forward run stops at
int forward_seen = 0; // gates it has met

// The store's rows as a plain forward run of the elimination from `start`, as far as `reach`,
// leaves them at gate `gate`.
std::vector<std::string> rows_at_gate(const StoreSnapshot &start, int gate,
                                      EliminationReach reach = reach_first_empty_column)
{
    restore_store(start);
    forward_gate = gate;
    forward_seen = 0;
    run_elimination({[](const RowOperation &) { return ++forward_seen == forward_gate ? 1 : 0; },
                     reduce_row_now},
                    reach);
    return matrix_rows();
}

// The same from a system of integers.
std::vector<std::string> rows_at_gate(const std::vector<std::vector<long>> &system, int gate,
                                      EliminationReach reach = reach_first_empty_column)
{
    set_matrix(system);
    return rows_at_gate(save_store(), gate, reach);
}

// The step number the caption names: "Krok 3 z 9: ..." gives 3; 0 with no caption.
int caption_step()
{
    return shown_step.active ? std::atoi(shown_step.caption.c_str() + 5) : 0;
}

// One way to ask for the previous step at a gate.
struct BackCase {
    const char *name;
    std::vector<Cue> back;
};

// The ways to ask for the previous step.
const std::vector<BackCase> back_cases{
    {"Backspace", {{after(0), tap(KEY_BACKSPACE, 8)}}},
    {"Left", {{after(0), tap(KEY_LEFT, 0)}}},
    {"a right click", {{after(0), right_button_down()}, {after(2), right_button_up()}}},
};

TEST_F(SolverTest, GoingBackRestoresTheStoreAsItWasBeforeTheEarlierStepAndNamesItAgain)
{
    // step, step, back, back, step, back at step 1 (nothing happens), step: the gates met.
    const std::vector<int> gates{1, 2, 3, 2, 1, 1, 2};
    for (const BackCase &bc : back_cases) {
        reset_program_state();
        std::vector<std::pair<int, std::vector<std::string>>> seen; // caption step, store
        std::vector<Cue> script;
        const Cue step{after(0), tap(KEY_SPACE, ' ')};
        for (const std::vector<Cue> &input :
             {std::vector<Cue>{step}, {step}, bc.back, bc.back, bc.back, {step}}) {
            script.push_back({resting_with_status("Krokuj!", 6), [&] {
                                  seen.push_back({caption_step(), matrix_rows()});
                              }});
            script.insert(script.end(), input.begin(), input.end());
        }
        script.push_back({resting_with_status("Krokuj!", 6), [&] {
                              seen.push_back({caption_step(), matrix_rows()});
                          }});
        script.push_back({after(0), tap(KEY_ESC, 27)});
        set_matrix(three_equations);
        const ScriptRun run = run_script(solve, cues(script));
        ASSERT_FALSE(run.ran_out) << bc.name;
        ASSERT_EQ(seen.size(), gates.size()) << bc.name;
        for (std::size_t k = 0; k < gates.size(); k++) {
            EXPECT_EQ(seen[k].first, gates[k]) << bc.name << ", rest " << k;
            const std::vector<std::string> stored = seen[k].second;
            EXPECT_EQ(stored, rows_at_gate(three_equations, gates[k])) << bc.name << ", rest " << k;
        }
        EXPECT_FALSE(shown_step.active) << bc.name << ": Escape left the step shown";
        EXPECT_EQ(std::string(status_text), "") << bc.name;
    }
}

TEST_F(SolverTest, GoingBackInASolveStartedAgainOnAPartSolvedStoreRestoresThatSolvesStore)
{
    // Two steps, Escape; then R again on the part-solved store (whole numbers, so going back
    // replays in the instant form), two steps, and back.
    set_matrix({{1, 2, 1, 4}, {2, 1, 3, 5}, {3, 1, 1, 2}});
    const auto at_gate = [](std::function<void()> act) {
        return Cue{resting_with_status("Krokuj!", 6), std::move(act)};
    };
    const ScriptRun first =
        run_script(solve, cues({at_gate(tap(KEY_SPACE, ' ')), at_gate(tap(KEY_SPACE, ' ')),
                                at_gate(tap(KEY_ESC, 27))}));
    ASSERT_FALSE(first.ran_out);
    const StoreSnapshot part_solved = save_store();
    ASSERT_EQ(begin_instant_rows(), 1) << "the part-solved store must allow the instant form";
    restore_store(part_solved);
    std::vector<std::string> at_rest;
    int step_at_rest = 0;
    const ScriptRun second =
        run_script(solve, cues({at_gate(tap(KEY_SPACE, ' ')), at_gate(tap(KEY_SPACE, ' ')),
                                at_gate(tap(KEY_BACKSPACE, 8)), at_gate([&] {
                                    at_rest = matrix_rows();
                                    step_at_rest = caption_step();
                                    tap_key(KEY_ESC, 27);
                                })}));
    ASSERT_FALSE(second.ran_out);
    EXPECT_EQ(step_at_rest, 2);
    EXPECT_EQ(at_rest, rows_at_gate(part_solved, 2));
}

// What the solver shows at a moment of rest: the caption, whether a step is highlighted, and
// the store.
struct Rest {
    std::string caption;
    bool highlighted = false;
    std::vector<std::string> rows;
};

// Notes the rest into `rests`.
std::function<void()> note_rest(std::vector<Rest> &rests)
{
    return [&rests] { rests.push_back({shown_step.caption, shown_step.active, matrix_rows()}); };
}

TEST_F(SolverTest, EveryGateNamesItsStepOfTheTotalAndGoingBackAtTheEndShowsTheLastStepAgain)
{
    const std::vector<std::string> expected{
        "Krok 1 z 9: R1 <- (1/2) R1",      "Krok 2 z 9: R2 <- R2 + 3 R1",
        "Krok 3 z 9: R3 <- R3 + 2 R1",     "Krok 4 z 9: R2 <- 2 R2",
        "Krok 5 z 9: R1 <- R1 - (1/2) R2", "Krok 6 z 9: R3 <- R3 - 2 R2",
        "Krok 7 z 9: R3 <- -R3",           "Krok 8 z 9: R1 <- R1 + R3",
        "Krok 9 z 9: R2 <- R2 - R3"};
    const std::string answer = "Riesenie: x1 = 2, x2 = 3, x3 = -1; det A = -1";
    for (const BackCase &bc : back_cases) { // at the end, each way of going back
        reset_program_state();
        set_matrix(three_equations);
        std::vector<std::string> captions;
        std::vector<Rest> rests;
        std::vector<Cue> script;
        for (int gate = 0; gate < 9; gate++)
            script.push_back({resting_with_status("Krokuj!"), [&] {
                                  captions.push_back(shown_step.caption);
                                  tap_key(KEY_SPACE, ' ');
                              }});
        const ScriptRun run =
            run_script(solve, cues(join({script,
                                         {{resting_with_status("Hotovo!", 6), note_rest(rests)}},
                                         bc.back,
                                         {{resting_with_status("Krokuj!", 6), note_rest(rests)},
                                          {after(0), tap(KEY_SPACE, ' ')},
                                          {resting_with_status("Hotovo!", 6), note_rest(rests)},
                                          {after(0), tap(KEY_SPACE, ' ')}}})));
        ASSERT_FALSE(run.ran_out) << bc.name;
        EXPECT_EQ(captions, expected) << bc.name;
        EXPECT_FALSE(shown_step.active) << bc.name;
        EXPECT_EQ(shown_step.caption, answer) << bc.name << ": the answer went";
        EXPECT_EQ(std::string(status_text), "") << bc.name;
        EXPECT_EQ(frame_of(run, 0).shown, Shown::work);
        ASSERT_EQ(rests.size(), 3u) << bc.name;
        EXPECT_FALSE(rests[0].highlighted) << "the last step stays highlighted after it was made";
        EXPECT_EQ(rests[0].caption, answer) << bc.name;
        EXPECT_EQ(rests[1].caption, "Krok 9 z 9: R2 <- R2 - R3") << bc.name;
        EXPECT_TRUE(rests[1].highlighted) << bc.name;
        EXPECT_EQ(rests[1].rows, rows_at_gate(three_equations, 9)) << bc.name;
        EXPECT_EQ(rests[2].caption, answer) << bc.name;
        EXPECT_EQ(rests[2].rows, rests[0].rows) << bc.name;
    }
}

// A system whose steps need no cancelling: x + y = 3, x - y = 1.
const std::vector<std::vector<long>> two_equations{{1, 1, 3}, {1, -1, 1}};

TEST_F(SolverTest, OneClickMakesOneStepAndAHeldButtonRepeatsOnlyAfterHalfASecond)
{
    // A plain click held 150 ms (not on the interrupt button) makes exactly one step.
    set_matrix(two_equations);
    std::vector<std::string> after_click;
    const int held_frames = 150 / ms_per_frame;
    ScriptRun run = run_script(
        solve, cues({{resting_with_status("Krokuj!"),
                      [] {
                          point_at(320, 440);
                          press_button();
                      }},
                     {after(held_frames), button_up()},
                     {resting_with_status("Krokuj!"), [&] { after_click = matrix_rows(); }},
                     {after(0), tap(KEY_ESC, 27)}}));
    ASSERT_FALSE(run.ran_out);
    EXPECT_EQ(after_click, (std::vector<std::string>{"1 1 3", "0 -2 -2"}));

    // Held on, the button steps again once half a second has passed, through to the end, and
    // the final message stays after the release until a new press.
    reset_program_state();
    set_matrix(two_equations);
    const int hold_frames = static_cast<int>(hold_delay_ms / ms_per_frame);
    std::vector<int> changes; // frames at which the store had changed since the frame before
    std::vector<std::string> previous = matrix_rows();
    int pressed_at = -1;
    auto started = resting_with_status("Krokuj!");
    const Script holding = [&](int frame) {
        if (matrix_rows() != previous)
            changes.push_back(frame);
        previous = matrix_rows();
        if (pressed_at < 0 && started()) {
            pressed_at = frame;
            point_at(320, 440);
            press_button();
        } else if (pressed_at >= 0 && frame == pressed_at + 60) {
            release_button();
        } else if (pressed_at >= 0 && frame == pressed_at + 70) {
            press_button();
        } else if (pressed_at >= 0 && frame == pressed_at + 72) {
            release_button();
            return false;
        }
        return true;
    };
    run = run_script(solve, holding);
    ASSERT_FALSE(run.ran_out);
    EXPECT_EQ(matrix_rows(), (std::vector<std::string>{"1 0 2", "0 1 1"}));
    ASSERT_EQ(changes.size(), 3u) << "three steps while the button was held";
    EXPECT_LE(changes[0], pressed_at + 2) << "the press did not step at once";
    EXPECT_GE(changes[1], pressed_at + hold_frames) << "the held press stepped again too soon";
    EXPECT_LE(changes[2], pressed_at + hold_frames + 10) << "holding did not keep stepping";
    for (int f = changes[2] + 2; f <= pressed_at + 70; f++)
        EXPECT_EQ(frame_of(run, f).status, "Hotovo!") << "frame " << f;
    EXPECT_EQ(std::string(status_text), "") << "a new press did not dismiss the message";
}

// What a press at the gate does on the way out: the key or button and where.
struct LeaveCase {
    const char *name;
    std::vector<Cue> leave;
};

TEST_F(SolverTest, EscapeOrSpatAtAGateStopsTheSolveKeepingTheMatrixAndTheWorkScreen)
{
    const std::vector<LeaveCase> cases{
        {"Escape", {{after(0), hold(KEY_ESC, 27)}, {after(3), release(KEY_ESC)}}},
        {"a click on Spat",
         {{after(0), point(530, 437)}, {after(1), button_down()}, {after(3), button_up()}}},
    };
    for (const LeaveCase &lc : cases) {
        reset_program_state();
        set_matrix(two_equations);
        std::vector<Cue> script{{after(2), hold(KEY_R, 'r')},
                                {after(2), release(KEY_R)},
                                {resting_with_status("Krokuj!"), tap(KEY_SPACE, ' ')},
                                {resting_with_status("Krokuj!"), [] {}}};
        script.insert(script.end(), lc.leave.begin(), lc.leave.end());
        int stopped_at = -1;
        script.push_back({steady([] { return status_text[0] == '\0'; }, 20),
                          [&] { stopped_at = current_frame(); }});
        script.insert(script.end(), lc.leave.begin(), lc.leave.end()); // leaves the screen
        const ScriptRun run = run_script(work_screen, cues(script));
        ASSERT_FALSE(run.ran_out) << lc.name;
        ASSERT_GT(stopped_at, 0) << lc.name;
        EXPECT_EQ(frame_of(run, stopped_at).shown, Shown::work)
            << lc.name << ": the first press left the work screen";
        EXPECT_EQ(matrix_rows(), (std::vector<std::string>{"1 1 3", "0 -2 -2"})) << lc.name;
        EXPECT_FALSE(shown_step.active) << lc.name;
        EXPECT_EQ(std::string(line_text), "") << lc.name;
    }
}

// x + y + z = 1, x + y + 2z = 2, x + y + 3z = 4: no solution, and the plain elimination ends
// after two steps at the empty second column.
const std::vector<std::vector<long>> contradictory{{1, 1, 1, 1}, {1, 1, 2, 2}, {1, 1, 3, 4}};

TEST_F(SolverTest, RAtTheVerdictGoesOnToTheReducedFormStepByStepAndBackToTheStepsBefore)
{
    set_matrix(contradictory);
    std::vector<Rest> rests;
    const std::string no_solution = "Hotovo! Sustava nema riesenie.";
    std::vector<Cue> script =
        join({{{resting_with_status("Krokuj!"), tap(KEY_SPACE, ' ')},
               {resting_with_status("Krokuj!"), tap(KEY_SPACE, ' ')},
               {resting_with_status(no_solution, 6), note_rest(rests)}},
              press_key(KEY_R, 'r', 0, 3),
              {{resting_with_status("Krokuj!", 6), note_rest(rests)}, // step 3 of 5
               {after(0), tap(KEY_BACKSPACE, 8)},
               {resting_with_status("Krokuj!", 6), note_rest(rests)}}}); // step 2 of 5
    for (int gate = 2; gate <= 5; gate++)
        script.insert(script.end(), {{after(0), tap(KEY_SPACE, ' ')},
                                     {resting_with_status(gate < 5 ? "Krokuj!" : no_solution, 6),
                                      note_rest(rests)}});
    script.push_back({after(0), tap(KEY_SPACE, ' ')});
    const ScriptRun run = run_script(solve, cues(script));
    ASSERT_FALSE(run.ran_out);
    ASSERT_EQ(rests.size(), 7u);
    EXPECT_EQ(rests[0].caption, "Sustava nema riesenie. R: dokoncit redukovany tvar; det A = 0");
    EXPECT_FALSE(rests[0].highlighted);
    EXPECT_EQ(rests[0].rows, rows_at_gate(contradictory, 3));
    const std::vector<std::string> captions{
        "Krok 3 z 5: R1 <- R1 - R2", "Krok 2 z 5: R3 <- R3 - R1", "Krok 3 z 5: R1 <- R1 - R2",
        "Krok 4 z 5: R3 <- R3 - 2 R2", "Krok 5 z 5: R2 <- R2 - R3"};
    const std::vector<int> gates{3, 2, 3, 4, 5};
    for (std::size_t k = 0; k < captions.size(); k++) {
        EXPECT_EQ(rests[k + 1].caption, captions[k]) << "rest " << k + 1;
        EXPECT_EQ(rests[k + 1].rows, rows_at_gate(contradictory, gates[k], reach_reduced_form))
            << "rest " << k + 1;
    }
    EXPECT_EQ(rests[6].caption,
              "Sustava nema riesenie: R3 znamena 0 = 1; h(A) = 2, h(A|b) = 3; det A = 0");
    EXPECT_TRUE(rests[6].highlighted) << "the contradicting row is not highlighted";
    EXPECT_EQ(shown_step.row, 2);
    EXPECT_EQ(shown_step.column, 3);
    EXPECT_EQ(rests[6].rows, (std::vector<std::string>{"1 1 0 0", "0 0 1 0", "0 0 0 1"}));
    EXPECT_EQ(std::string(status_text), "");
}

TEST_F(SolverTest, AVerdictThatIsAlreadyTheReducedFormGivesTheGeneralSolutionAtOnce)
{
    set_matrix({{1, 2, 3}, {2, 4, 6}});
    std::vector<Rest> rests;
    const ScriptRun run = run_script(
        solve, cues({{resting_with_status("Krokuj!"), tap(KEY_SPACE, ' ')},
                     {resting_with_status("Hotovo! Sustava ma nekonecne vela rieseni.", 6),
                      note_rest(rests)},
                     {after(0), tap(KEY_R, 'r')}})); // no offer: R only ends the wait
    ASSERT_FALSE(run.ran_out);
    ASSERT_EQ(rests.size(), 1u);
    EXPECT_EQ(rests[0].caption,
              "Riesenie: x1 = 3 - 2 t1, x2 = t1; h(A) = 1, h(A|b) = 1; det A = 0");
    EXPECT_EQ(matrix_rows(), (std::vector<std::string>{"1 2 3", "0 0 0"}));
    EXPECT_EQ(std::string(status_text), "");
}

TEST_F(SolverTest, DSwitchesTheGridOnReleaseAndInASolveAtOnceAtAGateWhilePausedAndAtTheEnd)
{
    set_matrix(two_equations);
    grid_fractions = 0;
    std::vector<Rest> rests;
    std::vector<int> switched; // the grid while D is held, and once let go on the work screen
    int remembered = -1;
    const auto press_d = [&] {
        return std::vector<Cue>{{after(0), hold(KEY_D, 'd')},
                                {after(3), [&] {
                                     switched.push_back(grid_fractions);
                                     release_key(KEY_D);
                                 }}};
    };
    const std::vector<Cue> script = join({
        {{after(3), [] {}}},
        press_d(), // on the work screen: a key acts once it is let go
        {{after(3),
          [&] {
              switched.push_back(grid_fractions);
              remembered = read_settings(settings_path()).fractions;
              hold_key(KEY_R, 'r');
          }},
         {after(2), release(KEY_R)},
         {resting_with_status("Krokuj!"), [] {}}},
        press_d(),
        {{resting_with_status("Krokuj!"), note_rest(rests)}},
        press_key(KEY_P, 'p'),
        {{resting_with_status("Prerusenie"), [] {}}},
        press_d(),
        {{resting_with_status("Prerusenie"), note_rest(rests)}},
        press_key(KEY_R, 'r'), // makes step 1
        {{resting_with_status("Krokuj!"), tap(KEY_SPACE, ' ')},
         {resting_with_status("Krokuj!"), tap(KEY_SPACE, ' ')},
         {resting_with_status("Hotovo!"), [] {}}},
        press_d(),
        {{resting_with_status("Hotovo!"), note_rest(rests)},
         {after(0), tap(KEY_SPACE, ' ')},
         {steady([] { return status_text[0] == '\0'; }, 3), [] {}}},
        press_key(KEY_ESC, 27),
    });
    const ScriptRun run = run_script(work_screen, cues(script));
    ASSERT_FALSE(run.ran_out);
    EXPECT_EQ(switched, (std::vector<int>{0, 1, 0, 1, 0})) << "D switched at the wrong time";
    EXPECT_EQ(remembered, 1) << "the choice is not remembered";
    ASSERT_EQ(rests.size(), 3u);
    EXPECT_EQ(rests[0].caption, "Krok 1 z 3: R2 <- R2 - R1") << "D made a step";
    EXPECT_EQ(rests[0].rows, (std::vector<std::string>{"1 1 3", "1 -1 1"}));
    EXPECT_EQ(rests[1].rows, rests[0].rows) << "D decided the pause";
    EXPECT_EQ(rests[2].caption, "Riesenie: x1 = 2, x2 = 1; det A = -2") << "D ended the wait";
    EXPECT_EQ(read_settings(settings_path()).fractions, 0);
}

} // namespace

// ---------------------------------------------------------------------------
// The inverse matrix (I): [A | I] of the matrix as loaded, solved step by step

TEST_F(SolverTest, ISolvesAIBesideAStepByStepAndClaimsTheInverseWithDetAAtTheEnd)
{
    set_matrix({{2, 1, 5}, {1, 1, 3}});
    std::vector<Rest> rests;
    const auto rest_then = [&](int scancode, int ascii) {
        return Cue{resting_with_status("Krokuj!"), [&rests, scancode, ascii] {
                       note_rest(rests)();
                       tap_key(scancode, ascii);
                   }};
    };
    const std::vector<Cue> script =
        join({press_key(KEY_I, 'i', 3),
              {rest_then(KEY_SPACE, ' '),
               rest_then(KEY_SPACE, ' '),
               rest_then(KEY_BACKSPACE, 8), // back from the third gate to the second
               rest_then(KEY_SPACE, ' '),
               rest_then(KEY_SPACE, ' '),
               rest_then(KEY_SPACE, ' '),
               {resting_with_status("Hotovo!", 6), note_rest(rests)},
               {after(0), tap(KEY_SPACE, ' ')},
               {steady([] { return status_text[0] == '\0'; }, 3), [] {}}},
              press_key(KEY_ESC, 27)});
    const ScriptRun run = run_script(work_screen, cues(script));
    ASSERT_FALSE(run.ran_out);
    ASSERT_EQ(rests.size(), 7u);
    const std::vector<std::string> captions{"Krok 1 z 4: R1 <- (1/2) R1",
                                            "Krok 2 z 4: R2 <- R2 - R1",
                                            "Krok 3 z 4: R2 <- 2 R2",
                                            "Krok 2 z 4: R2 <- R2 - R1",
                                            "Krok 3 z 4: R2 <- 2 R2",
                                            "Krok 4 z 4: R1 <- R1 - (1/2) R2",
                                            "Inverzna matica: vpravo od ciary; det A = 1"};
    for (std::size_t k = 0; k < captions.size(); k++)
        EXPECT_EQ(rests[k].caption, captions[k]) << "rest " << k;
    EXPECT_EQ(rests[0].rows, (std::vector<std::string>{"2 1 1 0", "1 1 0 1"}))
        << "I did not put [A | I] in the grid, the right-hand sides left out";
    EXPECT_EQ(rests[1].rows, rests[3].rows) << "going back did not restore the second gate";
    EXPECT_EQ(rests[6].rows, (std::vector<std::string>{"1 0 1 1/-1", "0 1 1/-1 2"}));
    EXPECT_FALSE(rests[6].highlighted);
    EXPECT_EQ(matrix_shape, (MatrixShape{2, 2, kind_inverse}));
    EXPECT_EQ(loaded_matrix.shape, system_shape(2, 2)) << "the system as loaded is kept for E";
    EXPECT_EQ(snapshot_cell(loaded_matrix, 1, 2).num, 3);
}

// What I does with a matrix it does not invert on the screen, or one without an inverse.
struct InverseEndCase {
    const char *name;
    std::vector<std::vector<long>> rows;
    std::string status; // the message on the text line; "" when the solve runs
    std::string caption;
    std::string second_line;
    int banded_row; // the row highlighted at the end, -1 for none
};

TEST_F(SolverTest, IRefusesAboveOrderFiveOrANonSquareMatrixAndEndsASingularOneOnItsZeroRow)
{
    const std::vector<long> six(7, 1);
    const std::vector<InverseEndCase> cases{
        {"order 6", std::vector<std::vector<long>>(6, six),
         "Inverzna matica na obrazovke do radu 5; vacsiu vypise gauss-jordan --inverse", "", "",
         -1},
        {"one equation in two unknowns",
         {{1, 2, 3}},
         "Inverzna matica je len pre stvorcovu maticu: A ma 1 riadok a 2 stlpce",
         "",
         "",
         -1},
        {"singular",
         {{1, 2, 0}, {2, 4, 0}},
         "",
         "Matica A nema inverznu maticu: R2 ma vlavo same nuly; h(A) = 1",
         "det A = 0",
         1},
        {"singular, order 5",
         {{1, 1, 0, 0, 0, 0},
          {0, 1, 1, 0, 0, 0},
          {0, 0, 1, 1, 0, 0},
          {0, 0, 0, 1, 1, 0},
          {1, 2, 2, 2, 1, 0}},
         "",
         "Matica A nema inverznu maticu: R5 ma vlavo same nuly; h(A) = 4",
         "det A = 0",
         4},
    };
    for (const InverseEndCase &c : cases) {
        reset_program_state();
        set_matrix(c.rows);
        const std::vector<std::string> before = matrix_rows();
        std::string status;
        std::string caption;
        std::string second_line;
        bool banded = false;
        int banded_row = -1;
        // Steps through every gate: Space at each rest with "Krokuj!", until the end rests.
        const auto at_gate = resting_with_status("Krokuj!");
        const auto at_end = resting_with_status("Hotovo!", 6);
        const auto stepped_to_end = [at_gate, at_end] {
            if (at_gate())
                tap_key(KEY_SPACE, ' ');
            return at_end();
        };
        const auto note_end = [&] {
            status = status_text;
            caption = shown_step.caption;
            second_line = shown_step.second_line;
            banded = shown_step.active;
            banded_row = shown_step.row;
            tap_key(KEY_SPACE, ' ');
        };
        std::vector<Cue> script = press_key(KEY_I, 'i', 3);
        if (c.status.empty())
            script.push_back({stepped_to_end, note_end});
        else
            script.push_back({steady([] { return status_text[0] != '\0'; }, 3), note_end});
        script.push_back({steady([] { return status_text[0] == '\0'; }, 3), [] {}});
        script.insert(script.end(), {{after(0), hold(KEY_ESC, 27)}, {after(3), release(KEY_ESC)}});
        const ScriptRun run = run_script(work_screen, cues(script));
        ASSERT_FALSE(run.ran_out) << c.name;
        if (!c.status.empty()) {
            EXPECT_EQ(status, c.status) << c.name;
            EXPECT_EQ(matrix_rows(), before) << c.name << ": a refused I changed the matrix";
            EXPECT_EQ(matrix_shape.kind, kind_system) << c.name;
            continue;
        }
        EXPECT_EQ(caption, c.caption) << c.name;
        EXPECT_EQ(second_line, c.second_line) << c.name;
        EXPECT_TRUE(banded) << c.name << ": the row whose left block is zero is not highlighted";
        EXPECT_EQ(banded_row, c.banded_row) << c.name;
        EXPECT_EQ(matrix_shape.kind, kind_inverse) << c.name;
    }
}
