// A teacher's own material on the work screen, run frame by frame: the grid editor (E), saving
// (W), random systems (N) and the library's file selector (O).
#include "harness.h"

#include "app/screens.h"
#include "matrix/matrix_file.h"
#include "matrix/random_system.h"
#include "matrix/row_arith.h"
#include "matrix/store.h"
#include "platform/display.h"
#include "platform/frame.h"
#include "platform/input.h"
#include "platform/layout.h"
#include "platform/quit.h"
#include "work/file_selector.h"
#include "work/grid_editor.h"
#include "work/matrix_view.h"
#include "work/random_exercise.h"
#include "work/saver.h"
#include "work/work_frame.h"
#include "work/work_screen.h"

#include <allegro/internal/aintern.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace
{

using MaterialTest = ScriptTest;
using Rows = std::vector<std::string>;

// A cue that waits until the text line reads `text`, then does nothing.
Cue until_line(const std::string &text)
{
    return {resting_with_line(text, 2), [] {}};
}

// The whole text of a file, "" when there is none.
std::string file_text(const std::string &path)
{
    std::ifstream file(path);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// ---------------------------------------------------------------------------
// The grid editor

constexpr const char *keys_hint = "cislo a Enter; sipky, Tab, klik: ina bunka";

TEST_F(MaterialTest, TheEditorTypesMovesChangesTheOrderFramesAClickedCellAndAcceptsAsALoad)
{
    const unsigned serial = matrix_serial;
    const auto [x, y] = over_cell(2, 3);
    const std::string digits = "-" + std::string(max_entry_digits, '8'); // all are taken
    const std::vector<Cue> script = join({
        {until_line(std::string("Riadok 1, stlpec 1: ") + keys_hint)},
        typing("12"),
        {until_line("Riadok 1, stlpec 1: 12_"), tap_when_free(KEY_ENTER, 13)},
        typing("-3"),
        {tap_when_free(KEY_TAB, 9), tap_when_free(KEY_DOWN)},
        typing("7"),
        {tap_when_free(KEY_RIGHT), until_line(std::string("Riadok 2, prava strana: ") + keys_hint)},
        typing("-5\r"),
        {until_line(std::string("Riadok 3, stlpec 1: ") + keys_hint)},
        {tap_when_free(KEY_PGDN), until_line(std::string("Riadok 2, stlpec 1: ") + keys_hint)},
        {tap_when_free(KEY_PGUP),
         {after(2), point(x, y)},
         {after(1), button_down()},
         {after(2), button_up()},
         until_line(std::string("Riadok 3, prava strana: ") + keys_hint)},
        typing(digits + "\r"), // Enter on the last cell accepts
    });
    const ScriptRun run = run_script(edit_grid, cues(script), 120, 20000);
    ASSERT_FALSE(run.ran_out);
    EXPECT_TRUE(run.finished);
    // Order 2 kept the coefficients 12 and -3 and both right-hand sides; back at order 3 the
    // new entries are 0 (but for the clicked cell's), and the 7 of the dropped column is gone.
    EXPECT_EQ(matrix_rows(), (Rows{"12 -3 0 0", "0 0 0 -5", "0 0 0 " + digits}));
    EXPECT_NE(matrix_text(save_store()), "") << "a matrix the editor makes is no matrix file";
    EXPECT_NE(matrix_serial, serial) << "the accepted matrix did not count as a new load";
    EXPECT_EQ(loaded_matrix.order, 3);
    EXPECT_EQ(shown_draft.matrix, nullptr);
    EXPECT_EQ(shown_step.caption, "");
    EXPECT_EQ(std::string(line_text), "");
}

// Keys that the editor refuses or deletes with, the line they leave, and the first cell of the
// draft then (45 as loaded, unless an entry was stored).
struct EntryCase {
    const char *name;
    std::vector<Cue> keys;
    std::string line;
    long first = 45;
};

TEST_F(MaterialTest, TheEditorRefusesAllButDigitsAndALeadingMinusAndEscapeKeepsAPartSolvedStore)
{
    const std::string digits(max_entry_digits, '9');
    const std::string refused = std::string("  (") + editor_refusal_note + ")";
    const std::string cell_one = "Riadok 1, stlpec 1: ";
    const auto click_on = [](int r, int c) {
        const auto [x, y] = over_cell(r, c);
        return std::vector<Cue>{{after(1), point(x, y)},
                                {after(1), button_down()},
                                {after(2), button_up()},
                                {after(3), [] {}}};
    };
    // A refused character stays in sight with its note until it is deleted, and the cell keeps
    // the cursor: Enter, Tab, an arrow, a click and E store nothing of it.
    const std::vector<EntryCase> cases{
        {"a letter", join({typing("1"), {tap_when_free(KEY_X, 'x')}}), cell_one + "1x_" + refused},
        {"a minus inside", typing("12-"), cell_one + "12-_" + refused},
        {"a space", {tap_when_free(KEY_SPACE, ' ')}, cell_one + " _" + refused},
        {"beyond ASCII", {tap_when_free(KEY_A, 0xe1)}, cell_one + "?_" + refused},
        {"a point, then Enter", typing("0.5\r"), cell_one + "0.5_" + refused},
        {"a comma, then Tab", join({typing("-1,5"), {tap_when_free(KEY_TAB, 9)}}),
         cell_one + "-1,5_" + refused},
        {"a point, then an arrow", join({typing("0.5"), {tap_when_free(KEY_DOWN)}}),
         cell_one + "0.5_" + refused},
        {"a point, then a click on another cell", join({typing("0.5"), click_on(1, 1)}),
         cell_one + "0.5_" + refused},
        {"a point, then E", join({typing("0.5"), {tap_when_free(KEY_E, 'e')}}),
         cell_one + "0.5_" + refused},
        {"a point, then PgDn", join({typing("0.5"), {tap_when_free(KEY_PGDN)}}),
         cell_one + "0.5_" + refused},
        {"Backspace mends it", typing("7.\b5\r"),
         "Riadok 1, stlpec 2: cislo a Enter; sipky, Tab, klik: ina bunka", 75},
        {"a key that types nothing", join({typing("12"), {tap_when_free(KEY_F1)}}),
         cell_one + "12_" + refused},
        {"its note goes with the next edit", join({{tap_when_free(KEY_F1)}, typing("3")}),
         cell_one + "3_"},
        {"and leaves the entry to be stored",
         join({typing("12"), {tap_when_free(KEY_F1)}, typing("\r")}),
         "Riadok 1, stlpec 2: cislo a Enter; sipky, Tab, klik: ina bunka", 12},
        {"a minus alone", typing("-\r"), cell_one + "-_  (za minusom chyba cislo)"},
        {"backspace", typing("123\b\b"), cell_one + "1_"},
        {"backspace on a value", {tap_when_free(KEY_BACKSPACE, 8)}, cell_one + "4_"},
        {"a 121st digit", typing(digits + "7\r"),
         cell_one + "..." + digits.substr(0, 39) + "7_  (najviac 120 cifier)"},
        {"order 11", {tap_when_free(KEY_PGUP)}, cell_one + "_  (rad je od 1 do 10)"},
    };
    std::vector<std::vector<long>> order_ten(10, std::vector<long>(11, 0)); // 45 in cell (0, 0)
    order_ten[0][0] = 45;
    for (const EntryCase &c : cases) {
        reset_program_state();
        set_matrix(order_ten);
        scale_pivot_row(0); // a solve has begun: the editor opens on the 45 as loaded
        const Rows before = matrix_rows();
        const unsigned serial = matrix_serial;
        std::string shown;
        long first = -1;
        std::vector<Cue> script = c.keys;
        script.push_back({[] { return !keypressed(); },
                          [&] {
                              shown = line_text;
                              if (shown_draft.matrix)
                                  first = shown_draft.matrix->cells[0][0].num.get_si();
                              tap_key(KEY_ESC, 27);
                          }});
        const ScriptRun run = run_script(edit_grid, cues(script), 120, 20000);
        EXPECT_FALSE(run.ran_out) << c.name;
        if (c.line.rfind("Riadok 1, stlpec 1: ...", 0) == 0) // the long entry shows its end
            EXPECT_EQ(shown.substr(shown.size() - 23), c.line.substr(c.line.size() - 23))
                << c.name << ": " << shown;
        else
            EXPECT_EQ(shown, c.line) << c.name;
        EXPECT_LE(shown.size(), static_cast<std::size_t>(text_line_chars)) << c.name;
        EXPECT_EQ(first, c.first) << c.name << ": the draft's first cell";
        EXPECT_EQ(matrix_rows(), before) << c.name << ": Escape must keep the matrix";
        EXPECT_EQ(matrix_serial, serial) << c.name;
    }
}

// ---------------------------------------------------------------------------
// Saving

TEST_F(MaterialTest, SavingWritesTheSystemAsLoadedAndReplacesAFileOnlyAfterASecondEnter)
{
    TempFolder folder;
    const std::string path = folder.file("u.txt", "1\n5 5\n");
    set_matrix({{2, 1, 5}, {1, 3, 5}});
    scale_pivot_row(0);
    const std::string asked = "Subor uz existuje. Enter ho prepise, iny klaves nie.";
    // A key other than Enter says no; an Enter held from the name, repeating, says nothing.
    const ScriptRun no = run_script(
        save_matrix, cues(join({typing(path),
                                {{after(1), hold(KEY_ENTER, 13)},
                                 {until_line(asked)},
                                 {after(2), tap(KEY_ENTER, 13)},
                                 {after(2), release(KEY_ENTER)},
                                 {resting_with_line(asked, 5), tap(KEY_N, 'n')},
                                 {resting_with_status("Nezapisane.", 3), tap(KEY_SPACE, ' ')}}})));
    ASSERT_FALSE(no.ran_out);
    EXPECT_EQ(file_text(path), "1\n5 5\n");
    const ScriptRun yes = run_script(
        save_matrix,
        cues(join({typing(path + "\r"),
                   {{until_line(asked)},
                    tap_when_free(KEY_ENTER, 13),
                    {resting_with_status("Zapisane do " + path, 3), tap(KEY_SPACE, ' ')}}})));
    ASSERT_FALSE(yes.ran_out);
    EXPECT_EQ(file_text(path), "2\n2 1   5\n1 3   5\n") << "not the system as loaded";
    EXPECT_EQ(std::string(status_text), "");
    EXPECT_EQ(matrix_rows(), (Rows{"2/2 1/2 5/2", "1 3 5"})) << "saving changed the store";
}

// One save that does not write: the name typed, the message, and what the file then holds.
struct UnsavedCase {
    const char *name;
    bool loaded;
    std::string typed;
    const char *message; // nullptr: none
};

TEST_F(MaterialTest, EscapeNoMatrixAndAFolderThatCannotBeWrittenSaveNothing)
{
    TempFolder folder;
    const std::vector<UnsavedCase> cases{
        {"Escape", true, "x.txt\x1b", nullptr},
        {"empty name", true, "\r", nullptr},
        {"no matrix", false, "", "Nie je co zapisat: ziadna matica."},
        {"no such folder", true, folder.path + "/nie/x.txt\r", "Subor sa neda zapisat."},
        {"a folder", true, folder.path + "\r", "Subor sa neda zapisat."},
    };
    for (const UnsavedCase &c : cases) {
        reset_program_state();
        if (c.loaded)
            set_matrix({{1, 2}});
        std::vector<Cue> script = typing(c.typed);
        if (c.message)
            script.push_back({resting_with_status(c.message, 3), tap(KEY_SPACE, ' ')});
        const ScriptRun run = run_script(save_matrix, cues(script));
        EXPECT_FALSE(run.ran_out) << c.name;
        EXPECT_TRUE(run.finished) << c.name;
        EXPECT_EQ(matrix_rows(), c.loaded ? Rows{"1 2"} : Rows{}) << c.name;
        EXPECT_FALSE(std::filesystem::exists("x.txt")) << c.name;
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder.path)) << "a file or a temporary file was left";
}

// ---------------------------------------------------------------------------
// The file selector

// The frame point at the middle of the selector's button labelled `label`; (-1, -1) when the
// selector is not open.
std::pair<int, int> selector_button(const char *label)
{
    if (!active_dialog)
        return {-1, -1};
    const DIALOG &box = active_dialog[0];
    for (const DIALOG *d = active_dialog; d->proc; d++)
        if (d->proc == _gui_button_proc &&
            std::strcmp(static_cast<const char *>(d->dp), label) == 0)
            return {(screen_width - box.w) / 2 + d->x - box.x + d->w / 2,
                    (screen_height - box.h) / 2 + d->y - box.y + d->h / 2};
    return {-1, -1};
}

// One way to end the selector, in a window of the given zoom, and the rows the store then holds.
struct SelectorEnding {
    const char *name;
    int zoom;
    std::vector<Cue> ending;
    Rows rows;
};

TEST_F(MaterialTest, OOpensTheSelectorWhichLoadsALongPathTypedAndWhoseCancelEscapeOrQuitKeepAll)
{
    TempFolder folder;
    const std::string deep = folder.path + "/dlhy-priecinok-s-ulohami-pre-triedu";
    ASSERT_EQ(mkdir(deep.c_str(), 0700), 0);
    const std::string path =
        folder.file("dlhy-priecinok-s-ulohami-pre-triedu/uloha3.txt", "2\n1 1 3\n1 -1 1\n");
    ASSERT_GT(path.size(), 38u) << "a name the prompt could take";
    const std::vector<Cue> choose = join({{{[] { return active_dialog != nullptr; }, [] {}}},
                                          typing(std::string(160, '\b') + path + "\r")});
    const auto click_cancel = [] {
        const auto [x, y] = selector_button("Cancel");
        point_at(x, y);
        press_button();
    };
    const std::vector<SelectorEnding> endings{
        {"a long path typed", 1, choose, {"1 1 3", "1 -1 1"}},
        {"Cancel, zoomed",
         2,
         {{[] { return selector_button("Cancel").first > 0; }, click_cancel}},
         {"1 2"}},
        {"Escape", 1, {{after(10), tap(KEY_ESC, 27)}}, {"1 2"}},
        {"quit", 1, {{after(10), [] { quit_requested = 1; }}}, {"1 2"}},
    };
    for (const auto &[name, zoom, ending, rows] : endings) {
        reset_program_state();
        pretend_desktop(1280, 960);
        if (zoom == 2)
            change_zoom(+1); // the library centres the selector on the 1280x960 window
        ASSERT_EQ(SCREEN_W, screen_width * zoom) << name;
        set_matrix({{1, 2}});
        const unsigned serial = matrix_serial;
        const ScriptRun run = run_script(work_screen,
                                         cues(join({press_key(KEY_O, 'o', 3),
                                                    ending,
                                                    {{after(3), button_up()},
                                                     {after(10),
                                                      [] {
                                                          if (!quit_requested)
                                                              hold_key(KEY_ESC, 27);
                                                      }},
                                                     {after(3), release(KEY_ESC)}}})),
                                         120, 20000);
        EXPECT_FALSE(run.ran_out) << name;
        EXPECT_EQ(matrix_rows(), rows) << name;
        EXPECT_EQ(matrix_serial != serial, rows.size() == 2) << name << ": a new matrix or not";
        EXPECT_TRUE(std::any_of(run.frames.begin(), run.frames.end(),
                                [](const FrameRecord &f) { return f.shown == Shown::other; }))
            << name << ": the selector was not drawn";
        if (!quit_requested) {
            EXPECT_EQ(screen_order(run).back(), Shown::menu) << name << ": the work screen stayed";
        }
        quit_requested = 0;
    }
}

// ---------------------------------------------------------------------------
// The work screen's keys, and random systems (N)

TEST_F(MaterialTest, TheKeyLineNamesTheKeysAndNLoadsARandomSystemNamingItsSeedWhichEEdits)
{
    EXPECT_EQ(work_key_line(),
              "Z nacitat D zlomky E upravit W zapisat N nahodna O otvorit U krok H rada");
    std::string caption;
    std::string made;
    const ScriptRun run =
        run_script(work_screen, cues(join({press_key(KEY_N, 'n', 3),
                                           {{after(5),
                                             [&] {
                                                 caption = shown_step.caption;
                                                 made = matrix_text(save_store());
                                                 hold_key(KEY_E, 'e');
                                             }},
                                            {after(2), release(KEY_E)}},
                                           typing("42"),
                                           {tap_when_free(KEY_E, 'e'), {after(5), release(KEY_E)}},
                                           press_key(KEY_ESC, 27, 3)})));
    ASSERT_FALSE(run.ran_out);
    ASSERT_EQ(matrix_order, 3) << "N did not load a 3x3 where no system was loaded";
    EXPECT_EQ(cell(0, 0).num, 42) << "E did not edit the random system";
    EXPECT_EQ(screen_order(run).back(), Shown::menu);
    const std::string head = "Nahodna sustava: gauss-jordan --random 3 --seed ";
    ASSERT_EQ(caption.rfind(head, 0), 0u) << caption;
    EXPECT_EQ(made, matrix_text(random_system(3, std::stoull(caption.substr(head.size())))))
        << "the named seed does not print this system";
    // With a system loaded, N keeps its order.
    set_matrix(std::vector<std::vector<long>>(5, std::vector<long>(6, 1)));
    const unsigned serial = matrix_serial;
    load_random_system();
    EXPECT_EQ(matrix_order, 5);
    EXPECT_NE(matrix_serial, serial);
}

} // namespace
