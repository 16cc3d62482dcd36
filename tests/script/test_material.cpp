// A teacher's own material on the work screen, run frame by frame: the grid editor (E), saving
// (W), random systems (N) and the library's file selector (O).
#include "harness.h"

#include "app/screens.h"
#include "matrix/matrix_file.h"
#include "matrix/random_system.h"
#include "matrix/row_arith.h"
#include "matrix/store.h"
#include "matrix/utf8_text.h"
#include "platform/display.h"
#include "platform/frame.h"
#include "platform/images.h"
#include "platform/input.h"
#include "platform/layout.h"
#include "platform/line_editor.h"
#include "platform/quit.h"
#include "work/file_selector.h"
#include "work/grid_editor.h"
#include "work/loader.h"
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

TEST_F(MaterialTest, TheEditorTypesMovesChangesTheShapeFramesAClickedCellAndAcceptsAsALoad)
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
        {tap_when_free(KEY_DEL),
         tap_when_free(KEY_INSERT),
         tap_when_free(KEY_PGUP),
         {after(2), point(x, y)},
         {after(1), button_down()},
         {after(2), button_up()},
         until_line(std::string("Riadok 3, prava strana: ") + keys_hint)},
        typing(digits + "\r"), // Enter on the last cell accepts
    });
    const ScriptRun run = run_script(edit_grid, cues(script), 120, 20000);
    ASSERT_FALSE(run.ran_out);
    EXPECT_TRUE(run.finished);
    // Two equations in two unknowns kept the coefficients 12 and -3 and both right-hand sides;
    // back at three and three the new entries are 0 (but for the clicked cell's), and the 7 of
    // the dropped column is gone.
    EXPECT_EQ(matrix_rows(), (Rows{"12 -3 0 0", "0 0 0 -5", "0 0 0 " + digits}));
    EXPECT_NE(matrix_text(save_store()), "") << "a matrix the editor makes is no matrix file";
    EXPECT_NE(matrix_serial, serial) << "the accepted matrix did not count as a new load";
    EXPECT_EQ(loaded_matrix.shape, square_shape(3));
    EXPECT_EQ(shown_draft.matrix, nullptr);
    EXPECT_EQ(shown_step.caption, "");
    EXPECT_EQ(std::string(line_text), "");
}

// Keys that the editor takes, refuses or deletes with, the line they leave, and the first cell
// of the draft then, exactly as stored (45 as loaded, unless an entry was stored).
struct EntryCase {
    const char *name;
    std::vector<Cue> keys;
    std::string line;
    std::string first = "45";
};

TEST_F(MaterialTest, TheEditorTakesNumbersAsFilesWriteThemRefusesTheRestAndEscapeKeepsTheStore)
{
    const std::string digits(max_entry_digits, '9');
    const std::string two_parts = "-" + digits + "/2" + std::string(max_entry_digits - 1, '0');
    const std::string next_cell = "Riadok 1, stlpec 2: cislo a Enter; sipky, Tab, klik: ina bunka";
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
        {"a point after the number, then Enter", typing("0.5.\r"), cell_one + "0.5._" + refused},
        {"two commas, then Tab", join({typing("-1,5,5"), {tap_when_free(KEY_TAB, 9)}}),
         cell_one + "-1,5,5_" + refused},
        {"a slash first, then an arrow", join({typing("/2"), {tap_when_free(KEY_DOWN)}}),
         cell_one + "/2_" + refused},
        {"a second slash, then a click on another cell", join({typing("1/2/"), click_on(1, 1)}),
         cell_one + "1/2/_" + refused},
        {"a letter in a decimal, then E", join({typing("0.5x"), {tap_when_free(KEY_E, 'e')}}),
         cell_one + "0.5x_" + refused},
        {"a letter, then PgDn", join({typing("7x"), {tap_when_free(KEY_PGDN)}}),
         cell_one + "7x_" + refused},
        {"a letter, then Insert", join({typing("7x"), {tap_when_free(KEY_INSERT)}}),
         cell_one + "7x_" + refused},
        {"Backspace mends it", typing("7x\b5\r"), next_cell, "75"},
        {"a fraction, in lowest terms", typing("-14/4\r"), next_cell, "-7/2"},
        {"a fraction over a negative", typing("3/-4\r"), cell_one + "3/-4_" + refused},
        {"a decimal point", typing("0.25\r"), next_cell, "1/4"},
        {"a decimal comma, then Tab", join({typing("-1,5"), {tap_when_free(KEY_TAB, 9)}}),
         next_cell, "-3/2"},
        {"a decimal without its whole part", typing("-.5\r"), next_cell, "-1/2"},
        {"a whole decimal", typing("2,000\r"), next_cell, "2"},
        {"the start of a number is no refusal", typing("3/"), cell_one + "3/_"},
        {"but it is no number either", typing("3/\r"), cell_one + "3/_  (cislo nie je dopisane)"},
        {"a fraction over 0", typing("3/0\r"), cell_one + "3/0_  (zlomok s menovatelom 0)"},
        {"a 0 that may start a denominator", typing("3/0"), cell_one + "3/0_"},
        {"and does", typing("3/04\r"), next_cell, "3/4"},
        {"two parts of 120 digits", typing(two_parts + "\r"), next_cell, two_parts},
        {"a decimal of 121 digits", typing("1." + digits + "\r"),
         cell_one + "..." + digits.substr(0, 39) + "9_  (najviac 120 cifier)"},
        {"a denominator of 121 digits", typing("1/1" + digits),
         cell_one + "..." + digits.substr(0, 39) + "9_  (najviac 120 cifier)"},
        {"backspace on a fraction",
         join({typing("7/2\r"), {tap_when_free(KEY_LEFT)}, {tap_when_free(KEY_BACKSPACE, 8)}}),
         cell_one + "7/_", "7/2"},
        {"a key that types nothing", join({typing("12"), {tap_when_free(KEY_F1)}}),
         cell_one + "12_" + refused},
        {"its note goes with the next edit", join({{tap_when_free(KEY_F1)}, typing("3")}),
         cell_one + "3_"},
        {"and leaves the entry to be stored",
         join({typing("12"), {tap_when_free(KEY_F1)}, typing("\r")}), next_cell, "12"},
        {"a minus alone", typing("-\r"), cell_one + "-_  (za minusom chyba cislo)"},
        {"backspace", typing("123\b\b"), cell_one + "1_"},
        {"backspace on a value", {tap_when_free(KEY_BACKSPACE, 8)}, cell_one + "4_"},
        {"a 121st digit", typing(digits + "7\r"),
         cell_one + "..." + digits.substr(0, 39) + "7_  (najviac 120 cifier)"},
        {"an 11th equation", {tap_when_free(KEY_PGUP)}, cell_one + "_  (rovnic je od 1 do 10)"},
        {"an 11th unknown", {tap_when_free(KEY_INSERT)}, cell_one + "_  (neznamych je od 1 do 10)"},
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
        std::string first;
        std::vector<Cue> script = c.keys;
        script.push_back({[] { return !keypressed(); },
                          [&] {
                              shown = line_text;
                              if (const StoreSnapshot *draft = shown_draft.matrix) {
                                  const Fraction &f = draft->cells[0][0];
                                  first =
                                      f.num.get_str() + (f.den == 1 ? "" : "/" + f.den.get_str());
                              }
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

// Keys that change the draft's shape, opened on two equations in two unknowns, the line they
// leave, and the system accepted with E then.
struct ShapeCase {
    const char *name;
    std::vector<Cue> keys;
    MatrixShape shape;
    Rows rows;
    std::string note = ""; // the line's note before E, when there is one
};

TEST_F(MaterialTest, TheEditorAddsAndRemovesEquationsAndUnknownsAndWSavesWhatIsTypedExactly)
{
    const auto taps = [](std::vector<int> scancodes) {
        std::vector<Cue> script;
        for (const int scancode : scancodes)
            script.push_back(tap_when_free(scancode));
        return script;
    };
    const std::vector<ShapeCase> cases{
        {"nothing changed", {}, system_shape(2, 2), {"1 2 3", "4 5 6"}},
        {"Insert: an unknown more", taps({KEY_INSERT}), system_shape(2, 3), {"1 2 0 3", "4 5 0 6"}},
        {"Delete: the last unknown less", taps({KEY_DEL}), system_shape(2, 1), {"1 3", "4 6"}},
        {"Delete and Insert: its entries are gone",
         taps({KEY_DEL, KEY_INSERT}),
         system_shape(2, 2),
         {"1 0 3", "4 0 6"}},
        {"PgUp: an equation more",
         taps({KEY_PGUP}),
         system_shape(3, 2),
         {"1 2 3", "4 5 6", "0 0 0"}},
        {"PgDn: the last equation less", taps({KEY_PGDN}), system_shape(1, 2), {"1 2 3"}},
        {"PgDn and PgUp: its entries are gone",
         taps({KEY_PGDN, KEY_PGUP}),
         system_shape(2, 2),
         {"1 2 3", "0 0 0"}},
        {"no unknown at all",
         taps({KEY_DEL, KEY_DEL}),
         system_shape(2, 1),
         {"1 3", "4 6"},
         "neznamych je od 1 do 10"},
        {"no equation at all",
         taps({KEY_PGDN, KEY_PGDN}),
         system_shape(1, 2),
         {"1 2 3"},
         "rovnic je od 1 do 10"},
        {"the right-hand side keeps the cursor",
         join({taps({KEY_RIGHT, KEY_RIGHT, KEY_INSERT}), typing("9")}),
         system_shape(2, 3),
         {"1 2 0 9", "4 5 0 6"}},
        {"fractions and decimals in three unknowns",
         join({taps({KEY_INSERT}), typing("-7/2\t0,25\t1.5\t"), taps({KEY_PGUP})}),
         system_shape(3, 3),
         {"-7/2 1/4 3/2 3", "4 5 0 6", "0 0 0 0"}},
        {"ten equations in one unknown",
         join({taps(std::vector<int>(8, KEY_PGUP)), taps({KEY_DEL})}),
         system_shape(10, 1),
         {"1 3", "4 6", "0 0", "0 0", "0 0", "0 0", "0 0", "0 0", "0 0", "0 0"}},
    };
    TempFolder files;
    for (const ShapeCase &c : cases) {
        SCOPED_TRACE(c.name);
        reset_program_state();
        set_matrix({{1, 2, 3}, {4, 5, 6}});
        std::string shown;
        std::vector<Cue> script = c.keys;
        script.push_back({[] { return !keypressed(); },
                          [&] {
                              shown = line_text;
                              tap_key(KEY_E, 'e');
                          }});
        const ScriptRun run = run_script(edit_grid, cues(script), 120, 20000);
        ASSERT_FALSE(run.ran_out);
        EXPECT_EQ(matrix_shape, c.shape);
        EXPECT_EQ(matrix_rows(), c.rows);
        const std::string note = c.note.empty() ? "" : "  (" + c.note + ")";
        EXPECT_EQ(shown.substr(shown.size() - std::min(shown.size(), note.size())), note) << shown;
        // W writes what was typed: a square system of whole numbers in the first form, any
        // other in the form with a shape, and either reads back exactly.
        const std::string text = matrix_text(save_store());
        const bool first_form = c.shape.square() && text.find('/') == std::string::npos;
        EXPECT_EQ(text.rfind("sustava ", 0) == 0, !first_form) << text;
        const std::string path = files.file("typed.txt", text.c_str());
        set_matrix({{0, 0}});
        ASSERT_EQ(load_matrix_file(path.c_str()), load_ok) << text;
        EXPECT_EQ(matrix_shape, c.shape) << text;
        EXPECT_EQ(matrix_rows(), c.rows) << text;
    }
}

// ---------------------------------------------------------------------------
// Saving

TEST_F(MaterialTest, SavingWritesTheSystemAsLoadedAndReplacesAFileOnlyAfterASecondEnter)
{
    TempFolder folder;
    const std::string path = folder.file("u.txt", "1\n5 5\n");
    remember_file_folder(path); // the selector opens in the folder
    set_matrix({{2, 1, 5}, {1, 3, 5}});
    scale_pivot_row(0);
    const std::string asked = "Subor uz existuje. Enter ho prepise, iny klaves nie.";
    // A key other than Enter says no; an Enter held from the name, repeating, says nothing: the
    // question waits for it to be let go.
    const ScriptRun no = run_script(
        save_matrix, cues(join({in_selector("u.txt"),
                                {{after(1), hold(KEY_ENTER, 13)},
                                 {after(2), tap(KEY_ENTER, 13)},
                                 {after(2), tap(KEY_ENTER, 13)},
                                 {after(2), release(KEY_ENTER)},
                                 {resting_with_line(asked, 5), tap(KEY_N, 'n')},
                                 {resting_with_status("Nezapisane.", 3), tap(KEY_SPACE, ' ')}}})));
    ASSERT_FALSE(no.ran_out);
    EXPECT_EQ(file_text(path), "1\n5 5\n");
    const ScriptRun yes = run_script(
        save_matrix,
        cues(join({in_selector("u.txt\r"),
                   {{until_line(asked)},
                    tap_when_free(KEY_ENTER, 13),
                    {resting_with_status("Zapisane do " + path, 3), tap(KEY_SPACE, ' ')}}})));
    ASSERT_FALSE(yes.ran_out);
    EXPECT_EQ(file_text(path), "2\n2 1   5\n1 3   5\n") << "not the system as loaded";
    EXPECT_EQ(std::string(status_text), "");
    EXPECT_EQ(matrix_rows(), (Rows{"2/2 1/2 5/2", "1 3 5"})) << "saving changed the store";
}

// One save that does not write: the name typed in the selector, the message, and what the file
// then holds.
struct UnsavedCase {
    const char *name;
    bool loaded;
    std::string typed;
    const char *message; // nullptr: none
};

TEST_F(MaterialTest, EscapeNoMatrixAndAFileThatCannotBeWrittenSaveNothing)
{
    TempFolder folder;
    ASSERT_EQ(mkfifo((folder.path + "/rura").c_str(), 0600), 0);
    const std::vector<UnsavedCase> cases{
        {"Escape", true, "x.txt\x1b", nullptr},
        {"Enter on the folder alone, which it shows again, then Escape", true, "\r\x1b", nullptr},
        {"no matrix", false, "", "Nie je co zapisat: ziadna matica."},
        {"no such folder", true, "nie/x.txt\r", "Subor sa neda zapisat."},
        {"a FIFO", true, "rura\r", "Subor sa neda zapisat."},
    };
    for (const UnsavedCase &c : cases) {
        reset_program_state();
        remember_file_folder(folder.path + "/x.txt");
        if (c.loaded)
            set_matrix({{1, 2}});
        std::vector<Cue> script = c.loaded ? in_selector(c.typed) : typing(c.typed);
        if (c.message)
            script.push_back({resting_with_status(c.message, 3), tap(KEY_SPACE, ' ')});
        const ScriptRun run = run_script(save_matrix, cues(script));
        EXPECT_FALSE(run.ran_out) << c.name;
        EXPECT_TRUE(run.finished) << c.name;
        EXPECT_EQ(matrix_rows(), c.loaded ? Rows{"1 2"} : Rows{}) << c.name;
        EXPECT_FALSE(std::filesystem::exists("x.txt")) << c.name;
    }
    const auto entries = std::distance(std::filesystem::directory_iterator(folder.path), {});
    EXPECT_EQ(entries, 1) << "a file or a temporary file was left beside the FIFO";
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

// The selector's path field (it has the focus from the start), its list (the tallest object)
// and its caption (the one other object with a size that is not a button).
struct SelectorParts {
    const DIALOG *field = nullptr;
    const DIALOG *list = nullptr;
    const DIALOG *caption = nullptr;
};

SelectorParts selector_parts()
{
    SelectorParts parts;
    for (const DIALOG *d = active_dialog + 1; active_dialog && d->proc; d++)
        if (d->flags & D_GOTFOCUS)
            parts.field = d;
        else if (!parts.list || d->h > parts.list->h)
            parts.list = d;
    for (const DIALOG *d = active_dialog + 1; active_dialog && d->proc; d++)
        if (d != parts.field && d != parts.list && d->proc != _gui_button_proc && d->w > 0)
            parts.caption = d;
    return parts;
}

// How many pixels of a rectangle of the selector's layer (x2, y2 inclusive), read off the
// frame it is laid over, have each of two colours (as a 16-bit display shows them), and how
// many neither.
struct Census {
    int first = 0;
    int second = 0;
    int other = 0;
};

Census census(int x1, int y1, int x2, int y2, const Colour &first, const Colour &second)
{
    const auto same = [](int c, const Colour &colour) {
        const int depth = bitmap_color_depth(back_buffer);
        return std::abs(getr_depth(depth, c) - colour.r) <= 8 &&
               std::abs(getg_depth(depth, c) - colour.g) <= 8 &&
               std::abs(getb_depth(depth, c) - colour.b) <= 8;
    };
    const DIALOG &box = active_dialog[0];
    Census counts;
    for (int y = y1; y <= y2; y++)
        for (int x = x1; x <= x2; x++) {
            const int c = getpixel(back_buffer, (screen_width - box.w) / 2 + x - box.x,
                                   (screen_height - box.h) / 2 + y - box.y);
            (same(c, first) ? counts.first : same(c, second) ? counts.second : counts.other)++;
        }
    return counts;
}

// What the selector showed while it rested open: the path field's pixels, the selected
// entry's band (its rows and pixels), and under it the rows of ink of each entry and the blank
// rows between them.
struct SelectorLook {
    Census field;
    Census band;
    int band_rows = 0;
    std::vector<int> inks;
    std::vector<int> gaps;
};

SelectorLook read_selector_look()
{
    SelectorLook look;
    const DIALOG &f = *selector_parts().field, &l = *selector_parts().list;
    look.field =
        census(f.x, f.y, f.x + f.w - 1, f.y + f.h - 1, file_selector_field, file_selector_text);
    const int left = l.x + 3, right = l.x + l.w - 16; // inside the border, off the scroll bar
    int y = l.y + 2, blank = 0, ink = 0;
    for (Census row; y < l.y + l.h / 2; y++) {
        row = census(left, y, right, y, file_selector_text, file_selector_face);
        if (row.first * 2 >= right - left && look.inks.empty() && ink == 0) { // the band
            look.band = {look.band.first + row.first, look.band.second + row.second,
                         look.band.other + row.other};
            look.band_rows++;
            continue;
        }
        if (row.first > 0 && blank > 0 && ink > 0) {
            look.inks.push_back(ink);
            look.gaps.push_back(blank);
            ink = 0;
        }
        blank = row.first > 0 ? 0 : blank + 1;
        ink += row.first > 0;
    }
    return look;
}

TEST_F(MaterialTest, TheSelectorReadsInThePalettesColoursSpacesItsEntriesAndTypesInThePathField)
{
    TempFolder folder;
    for (const char *name : {"gy.txt", "čšťž.txt", "jpq.txt", "ÁÉÍ.txt"})
        folder.file(name, "1\n1 1\n");
    const std::string path = folder.file("úloha.txt", "2\n1 1 3\n1 -1 1\n");
    remember_file_folder(path);
    FONT *const program_font = font;
    SelectorLook look;
    std::string typed, caption;
    const auto point_at_list = [] { // low on the list, under its entries
        const DIALOG &l = *selector_parts().list, &box = active_dialog[0];
        point_at((screen_width - box.w) / 2 + l.x - box.x + l.w / 2,
                 (screen_height - box.h) / 2 + l.y - box.y + l.h - 20);
    };
    const ScriptRun run =
        run_script(work_screen,
                   cues(join({press_key(KEY_O, 'o', 3),
                              {{[] { return active_dialog != nullptr; }, point_at_list},
                               {steady([] { return active_dialog != nullptr; }, 3),
                                [&] { look = read_selector_look(); }}},
                              typing("úloha日"),
                              {{steady([] { return !keypressed(); }, 3),
                                [&] {
                                    typed = static_cast<const char *>(selector_parts().field->dp);
                                    caption =
                                        static_cast<const char *>(selector_parts().caption->dp);
                                }}},
                              typing(".txt\r"),
                              press_key(KEY_ESC, 27, 10)})),
                   120, 20000);
    ASSERT_FALSE(run.ran_out);
    // The path field: white text on the blue of a step's band, nothing else.
    EXPECT_GT(look.field.first, 0);
    EXPECT_GT(look.field.second, 0) << "no text in the path field";
    EXPECT_EQ(look.field.other, 0);
    // The selected entry: dark on a white band as tall as a glyph with room above and below.
    EXPECT_GE(look.band_rows, glyph_size + 3);
    EXPECT_GT(look.band.second, 0) << "the selected entry's text is not dark on its band";
    EXPECT_EQ(look.band.other, 0);
    // The entries under it: at most a glyph's rows of ink each, blank rows between them
    // (descenders and accents included), so that no two touch.
    ASSERT_GE(look.gaps.size(), 4u);
    for (std::size_t i = 0; i < look.gaps.size(); i++) {
        EXPECT_GE(look.gaps[i], 3) << "entry " << i + 1;
        EXPECT_LE(look.inks[i], glyph_size) << "entry " << i + 1;
    }
    // Typing went to the path field with the pointer on the list; diacritics kept, a character
    // without a glyph refused in the caption; the file named so loaded.
    EXPECT_EQ(typed, folder.path + "/úloha");
    EXPECT_EQ(caption, std::string("Otvorit subor so sustavou: ") + refused_character_note);
    EXPECT_EQ(matrix_rows(), (Rows{"1 1 3", "1 -1 1"}));
    EXPECT_EQ(font, program_font) << "the selector's font was left in place";
}

// The path field's text at the frame the selector opened.
std::string opened_in;

// Opens the selector with O, notes the folder its path field shows, and closes it.
void note_where_the_selector_opens()
{
    opened_in = "(not opened)";
    run_script(
        work_screen,
        cues(join({press_key(KEY_O, 'o', 3),
                   {{[] { return active_dialog != nullptr; },
                     [] { opened_in = static_cast<const char *>(selector_parts().field->dp); }}},
                   press_key(KEY_ESC, 27, 5),
                   press_key(KEY_ESC, 27, 10)})),
        120, 20000);
}

TEST_F(MaterialTest, TheSelectorOpensWhereTheLastFileWasLoadedOrSaved)
{
    TempFolder folder;
    const std::string here = std::filesystem::current_path().string() + "/";
    ASSERT_EQ(mkdir((folder.path + "/a").c_str(), 0700), 0);
    ASSERT_EQ(mkdir((folder.path + "/b").c_str(), 0700), 0);
    const std::string loaded = folder.file("a/x.txt", "1\n2 4\n");
    note_where_the_selector_opens();
    EXPECT_EQ(opened_in, here) << "before any file: the folder the program started in";
    report_load_result(load_named_matrix((folder.path + "/b/../a/x.txt").c_str()));
    note_where_the_selector_opens();
    EXPECT_EQ(opened_in, folder.path + "/a/") << "after a load";
    const ScriptRun save = run_script(
        save_matrix, cues(join({in_selector("\b\bb/y.txt\r"),
                                {{resting_with_status("Zapisane do " + folder.path + "/b/y.txt", 3),
                                  tap(KEY_SPACE, ' ')}}})));
    ASSERT_FALSE(save.ran_out);
    EXPECT_EQ(file_text(folder.path + "/b/y.txt"), "1\n2   4\n");
    note_where_the_selector_opens();
    EXPECT_EQ(opened_in, folder.path + "/b/") << "after a save";
    const ScriptRun failed = run_script(
        [] { report_load_result(load_named_matrix("/nie/je/taky.txt")); },
        cues({{resting_with_status("Mam problemy so suborom.", 3), tap(KEY_SPACE, ' ')}}));
    ASSERT_FALSE(failed.ran_out);
    note_where_the_selector_opens();
    EXPECT_EQ(opened_in, folder.path + "/b/") << "a failed load moved it";
    std::filesystem::remove_all(folder.path + "/b");
    note_where_the_selector_opens();
    EXPECT_EQ(opened_in, here) << "a folder that is gone";
}

// A name with diacritics typed at W and at Z: the file it names, and an unrelated file the
// old editor would have written over.
struct DiacriticsCase {
    std::string name;
    std::string
        unrelated; // the name as the old editor kept it: Latin-1 letters dropped, others '^'
};

TEST_F(MaterialTest, ANameWithDiacriticsIsSavedAndLoadedBackUnderEveryCharacterTyped)
{
    const std::vector<DiacriticsCase> cases{
        {"úloha.txt", "loha.txt"},
        {"čísla.txt", "^sla.txt"},
        {"Ďalšia ŽIAČKA ľ ô ŕ ý.txt", "^al^ia ^IA^KA ^  ^ .txt"},
    };
    for (const DiacriticsCase &c : cases) {
        SCOPED_TRACE(c.name);
        reset_program_state();
        TempFolder folder;
        const std::string unrelated = folder.file(c.unrelated, "1\n7 7\n");
        remember_file_folder(unrelated);
        set_matrix({{2, 1, 5}, {1, 3, 5}});
        const std::string path = folder.path + "/" + c.name;
        const ScriptRun save = run_script(
            save_matrix,
            cues(join({in_selector(c.name + "\r"),
                       {{resting_with_status("Zapisane do " + path, 3), tap(KEY_SPACE, ' ')}}})));
        ASSERT_FALSE(save.ran_out);
        EXPECT_EQ(file_text(path), "2\n2 1   5\n1 3   5\n");
        EXPECT_EQ(file_text(unrelated), "1\n7 7\n") << "an unrelated file was replaced";
        set_matrix({{9, 9}});
        std::string shown; // the line as the name's last character was typed
        const ScriptRun load =
            run_script([] { report_load_result(load_matrix()); },
                       cues(join({typing(path),
                                  {{[] { return !keypressed(); }, [&] { shown = line_text; }}},
                                  typing("\r")})));
        ASSERT_FALSE(load.ran_out);
        EXPECT_EQ(shown, fit_text_end(path, text_line_chars));
        EXPECT_EQ(matrix_rows(), (Rows{"2 1 5", "1 3 5"})) << "Z did not load the file saved";
    }
}

// ---------------------------------------------------------------------------
// The work screen's keys, and random systems (N)

TEST_F(MaterialTest, TheKeyLineNamesTheKeysAndNLoadsARandomSystemNamingItsSeedWhichEEdits)
{
    EXPECT_EQ(work_key_line(),
              "D zlomky E upravit W zapisat N nahodna O otvorit U krok H rada I A^-1");
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
    ASSERT_EQ(matrix_shape.rows, 3) << "N did not load a 3x3 where no system was loaded";
    EXPECT_EQ(cell(0, 0).num, 42) << "E did not edit the random system";
    EXPECT_EQ(screen_order(run).back(), Shown::menu);
    const std::string head = "Nahodna sustava: gauss-jordan --random 3 --seed ";
    ASSERT_EQ(caption.rfind(head, 0), 0u) << caption;
    EXPECT_EQ(made, matrix_text(random_system(3, std::stoull(caption.substr(head.size())))))
        << "the named seed does not print this system";
    // With a system loaded, N keeps its shape and names it in the command that prints it again.
    const struct {
        int rows, unknowns;
        const char *argument;
    } shapes[] = {{5, 5, "5"}, {2, 4, "2x4"}, {4, 1, "4x1"}};
    for (const auto &shape : shapes) {
        set_matrix(std::vector<std::vector<long>>(static_cast<std::size_t>(shape.rows),
                                                  std::vector<long>(shape.unknowns + 1u, 1)));
        const unsigned serial = matrix_serial;
        load_random_system();
        EXPECT_EQ(matrix_shape, system_shape(shape.rows, shape.unknowns)) << shape.argument;
        EXPECT_NE(matrix_serial, serial);
        const std::string named = "Nahodna sustava: gauss-jordan --random " +
                                  std::string(shape.argument) + " --seed ";
        const std::string shown = shown_step.caption;
        ASSERT_EQ(shown.rfind(named, 0), 0u) << shown;
        EXPECT_EQ(matrix_text(save_store()),
                  matrix_text(random_system(shape.rows, shape.unknowns,
                                            std::stoull(shown.substr(named.size())))))
            << shape.argument << ": the named seed does not print this system";
    }
}

} // namespace
