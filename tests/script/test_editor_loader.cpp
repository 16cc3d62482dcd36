// The file-name editor, loading by a typed name with its messages, and the matrix view on screen.
#include "harness.h"

#include "app/screens.h"
#include "matrix/matrix_file.h"
#include "matrix/store.h"
#include "matrix/utf8_text.h"
#include "platform/display.h"
#include "platform/frame.h"
#include "platform/images.h"
#include "platform/input.h"
#include "platform/layout.h"
#include "platform/line_editor.h"
#include "platform/quit.h"
#include "platform/startup.h"
#include "work/file_selector.h"
#include "work/grid_editor.h"
#include "work/loader.h"
#include "work/matrix_view.h"
#include "work/work_frame.h"
#include "work/work_screen.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace
{

using EditorTest = ScriptTest;

constexpr const char *prompt = "Zadaj meno suboru";

std::string edited; // what the last edit returned

// Runs the editor as the loader does, with the prompt on the line; `edited` gets the text.
ScriptRun edit(std::vector<Cue> script)
{
    std::snprintf(line_text, line_text_size, "%s", prompt);
    edited = "(the editor did not return)";
    return run_script([] { edited = edit_line(paint_work_frame); }, cues(std::move(script)));
}

TEST_F(EditorTest, ThePromptStaysUntilTheFirstKeyWhichCountsAsTyped)
{
    int first_key_at = -1;
    const ScriptRun run = edit(join({{{after(20),
                                       [&] {
                                           first_key_at = current_frame();
                                           tap_key(KEY_A, 'a');
                                       }}},
                                     typing("b\r")}));
    ASSERT_FALSE(run.ran_out);
    ASSERT_TRUE(run.finished);
    ASSERT_GT(first_key_at, 10);
    for (int f = 0; f <= first_key_at; f++)
        EXPECT_EQ(frame_of(run, f).line, prompt) << "frame " << f;
    for (const FrameRecord &record : run.frames) {
        if (record.frame > first_key_at) {
            EXPECT_NE(record.line, prompt) << "frame " << record.frame;
        }
    }
    EXPECT_EQ(edited, "ab");
    EXPECT_EQ(std::string(line_text), "ab");
}

// A sequence of taps (scancode, character code) and the text the editor returns.
struct TypingCase {
    const char *name;
    std::vector<std::pair<int, int>> taps;
    const char *result;
};

TEST_F(EditorTest, EnterBackspaceAndUnprintableCodes)
{
    const std::pair<int, int> enter{KEY_ENTER, 13}, backspace{KEY_BACKSPACE, 8};
    const std::pair<int, int> a{KEY_A, 'a'}, b{KEY_B, 'b'}, c{KEY_C, 'c'};
    const std::vector<TypingCase> cases{
        {"Enter first", {enter}, ""},
        {"Backspace on the empty line", {backspace, backspace, a, enter}, "a"},
        {"Backspace removes the last character", {a, b, c, backspace, backspace, b, enter}, "ab"},
        {"Backspace past the start", {a, backspace, backspace, backspace, c, enter}, "c"},
        {"space and tilde are printable", {a, {KEY_SPACE, ' '}, {KEY_TILDE, '~'}, enter}, "a ~"},
        {"arrow", {a, {KEY_LEFT, 0}, {KEY_RIGHT, 0}, b, enter}, "ab"},
        {"function key", {a, {KEY_F1, 0}, b, enter}, "ab"},
        {"tab", {a, {KEY_TAB, 9}, b, enter}, "ab"},
        {"escape cancels, as Enter on an empty line", {a, b, {KEY_ESC, 27}}, ""},
        {"code 127", {a, {KEY_DEL, 127}, b, enter}, "ab"},
        {"letters of Latin-1 and Latin Extended-A, whole",
         {a, {KEY_A, 0xe1}, {0, 0x10d}, {0, 0x17e}, {KEY_O, 0xff}, {0, 0x20ac}, b, enter},
         "aáčžÿ€b"},
        {"C1 control codes", {a, {KEY_O, 0x80}, {0, 0x9f}, b, enter}, "ab"},
        {"a character the font has no glyph for", {a, {0, 0x65e5}, {0, 0x1f600}, b, enter}, "ab"},
        {"Backspace removes a letter with diacritics whole",
         {{0, 0xfa}, {0, 0x10d}, backspace, a, enter},
         "úa"},
    };
    for (const TypingCase &tc : cases) {
        reset_program_state();
        std::vector<Cue> script;
        for (const auto &[scancode, code] : tc.taps)
            script.push_back(
                {[] { return !keypressed(); },
                 [scancode = scancode, code = code] { simulate_ukeypress(code, scancode); }});
        const ScriptRun run = edit(script);
        EXPECT_FALSE(run.ran_out) << tc.name;
        EXPECT_TRUE(run.finished) << tc.name << ": the editor ended before Enter";
        EXPECT_EQ(edited, tc.result) << tc.name;
        EXPECT_EQ(std::string(line_text), tc.result) << tc.name;
    }
}

TEST_F(EditorTest, AKeyTypedInTheSameFrameAsAnotherIsDropped)
{
    // Two taps within one frame: the editor types the first and empties the buffer of the second.
    const ScriptRun run = edit(join({typing("x"),
                                     {{[] { return !keypressed(); },
                                       [] {
                                           tap_key(KEY_A, 'a');
                                           tap_key(KEY_B, 'b');
                                       }},
                                      tap_when_free(KEY_ENTER, 13)}}));
    ASSERT_FALSE(run.ran_out);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(edited, "xa");
}

// The line while a long text is typed: at most the line's characters, and the text's end.
TEST_F(EditorTest, ALongTextScrollsOnTheLineAndIsKeptWhole)
{
    std::string text = "/tmp/dlhy-priecinok-";
    for (int i = 0; i < 6; i++)
        text += "úloh-čísla-" + std::to_string(i) + "/";
    text += "sústava.txt"; // 113 characters
    ASSERT_GT(utf8_length(text), 100u);
    std::string shown_full; // the line once the whole text is typed
    const ScriptRun run = edit(join({typing(text),
                                     {{[] { return !keypressed(); },
                                       [&] {
                                           shown_full = line_text;
                                           tap_key(KEY_BACKSPACE, 8);
                                       }}},
                                     typing("t\r")}));
    ASSERT_FALSE(run.ran_out);
    ASSERT_TRUE(run.finished);
    for (const FrameRecord &record : run.frames)
        ASSERT_LE(utf8_length(record.line), static_cast<std::size_t>(text_line_chars))
            << "frame " << record.frame << ": " << record.line;
    const std::string end = "-5/sústava.txt";
    EXPECT_EQ(shown_full.substr(0, 3), "...") << shown_full;
    EXPECT_EQ(shown_full.substr(shown_full.size() - end.size()), end) << shown_full;
    EXPECT_EQ(utf8_length(shown_full), static_cast<std::size_t>(text_line_chars)) << shown_full;
    EXPECT_EQ(edited, text) << "the text was not kept whole";
    EXPECT_EQ(std::string(line_text), fit_text_end(edited, text_line_chars));
}

// A refused key and the note the line shows after the text until the next key.
struct RefusalCase {
    const char *name;
    std::string typed; // typed first
    int refused;       // then this character, refused
    std::string note;  // the note shown
};

TEST_F(EditorTest, ARefusedCharacterIsNotedOnTheLineUntilTheNextKey)
{
    std::string full; // line_edit_bytes - 1 bytes: one more letter of two bytes does not fit
    for (std::size_t i = 0; i < line_edit_bytes / 2; i++)
        full += "č";
    const std::vector<RefusalCase> cases{
        {"no glyph", "úl", 0x65e5, refused_character_note},
        {"no glyph beyond 16 bits", "čí", 0x1f600, refused_character_note},
        {"the text as long as the editor takes", full, 0x10d, refused_length_note},
    };
    for (const RefusalCase &rc : cases) {
        reset_program_state();
        const std::string note = "  (" + rc.note + ")";
        const std::string expected =
            fit_text_end(rc.typed, static_cast<std::size_t>(text_line_chars) - note.size()) + note;
        const ScriptRun run =
            edit(join({typing(rc.typed),
                       {{[] { return !keypressed(); }, [&] { simulate_ukeypress(rc.refused, 0); }},
                        {resting_with_line(expected, 3), [] {}}},
                       typing("\b\r")}));
        EXPECT_FALSE(run.ran_out) << rc.name;
        EXPECT_TRUE(run.finished) << rc.name;
        std::string without_last = rc.typed;
        utf8_pop_back(without_last);
        EXPECT_EQ(edited, without_last) << rc.name << ": the refused key changed the text";
    }
}

// Loads by a typed name as the work screen does, the script typing; `code` gets the result.
ScriptRun load_and_report(const std::vector<Cue> &script, int &code)
{
    return run_script(
        [&] {
            code = load_matrix();
            report_load_result(code);
        },
        cues(script));
}

// One load by a typed name: the file, the code, the message shown and the matrix afterwards.
struct LoadCase {
    const char *name;
    const char *file;
    const char *content; // null: no such file
    int code;
    const char *message;
    std::vector<std::string> rows;
};

TEST_F(EditorTest, LoadingByATypedNameReportsEachFileProblemOnTheLine)
{
    TempFolder files;
    const std::vector<LoadCase> cases{
        {"loaded", "ok.txt", "2\n1 1 3\n1 -1 1\n", 0, "", {"1 1 3", "1 -1 1"}},
        {"missing", "none.txt", nullptr, 1, "Mam problemy so suborom.", {}},
        {"order 11",
         "big 11.txt",
         "11\n1 2 3 4 5 6 7 8 9 10 11 12\n",
         2,
         "Matica v subore je prilis velka.",
         {}},
        {"one entry short", "cut.txt", "2\n1 1 3\n1 -1", 3, "Neplatna matica!", {}},
    };
    for (const LoadCase &lc : cases) {
        reset_program_state();
        set_matrix({{9, 8, 7}, {6, 5, 4}}); // the previous matrix
        const std::string path = files.file(lc.file, lc.content);
        std::vector<Cue> script = typing(path + "\r");
        const bool fails = lc.code != 0;
        if (fails)
            script.push_back({resting_with_status(lc.message, 10), tap(KEY_SPACE, ' ')});
        int code = -1;
        const ScriptRun run = load_and_report(script, code);
        EXPECT_FALSE(run.ran_out) << lc.name;
        EXPECT_TRUE(run.finished) << lc.name;
        EXPECT_EQ(code, lc.code) << lc.name;
        EXPECT_EQ(matrix_rows(), lc.rows) << lc.name;
        EXPECT_EQ(std::string(status_text), "") << lc.name << ": the message was not cleared";
        int message_frames = 0;
        for (const FrameRecord &record : run.frames)
            message_frames += fails && record.line == lc.message;
        if (fails) {
            EXPECT_GE(message_frames, 10) << lc.name << ": the message was not shown on the line";
        }
        if (!fails) {
            EXPECT_EQ(std::string(line_text), "") << lc.name;
            compose_work_frame();
            EXPECT_TRUE(text_drawn_at("1", cell_centre_x(0), cell_top_y(0))) << lc.name;
            EXPECT_TRUE(text_drawn_at("-1", cell_centre_x(1), cell_top_y(1))) << lc.name;
            EXPECT_TRUE(text_drawn_at("3", cell_centre_x(2), cell_top_y(0))) << lc.name;
        }
    }
}

// True when the caption line under the grid shows `text` in the frame now composed; for "",
// when it shows no caption, and so the work screen's key line.
bool caption_drawn(const std::string &text)
{
    compose_work_frame();
    const std::string shown = text.empty() ? work_key_line() : text;
    return text_drawn_at(shown.c_str(), caption_x + text_length(font, shown.c_str()) / 2,
                         caption_y);
}

TEST_F(EditorTest, AFileThatReadsOtherwiseThanMeantGetsANoteUnderTheGridUntilTheNextKey)
{
    TempFolder files;
    const std::string path = files.file("minus.txt", "2\n1 1 3\n1-1 1\n");
    const std::string note = "Pozor, riadok 3: minus medzi cislami sa citalo ako oddelovac";
    bool noted = false;
    bool gone = false;
    const ScriptRun run =
        run_script(work_screen, cues(join({press_key(KEY_Z, 'z', 3),
                                           typing(path + "\r"),
                                           {{steady([&] { return shown_step.caption == note; }, 5),
                                             [&] {
                                                 noted = caption_drawn(note);
                                                 tap_key(KEY_SPACE, ' ');
                                             }},
                                            {after(3), [&] { gone = shown_step.caption.empty(); }}},
                                           press_key(KEY_ESC, 27)})));
    ASSERT_FALSE(run.ran_out);
    EXPECT_TRUE(run.finished) << "the note never showed";
    EXPECT_TRUE(noted) << "the note is not drawn under the grid";
    EXPECT_TRUE(gone) << "the note stayed after a key";
    EXPECT_EQ(matrix_rows(), (std::vector<std::string>{"1 1 3", "1 1 1"}))
        << "the file loads exactly as the format reads it";
}

TEST_F(EditorTest, TheClosingCaptionStaysWhateverIsPointedAtUntilAnotherMatrixIsLoaded)
{
    TempFolder files;
    const std::string path = files.file("dva.txt", "2\n1 1 3\n1 -1 1\n");
    set_matrix({{2, -1}});
    const std::string answer = "Riesenie: x1 = -1/2; det A = 2";
    std::vector<bool> drawn;
    const auto check = [&] { drawn.push_back(caption_drawn(answer)); };
    const ScriptRun run = run_script(
        work_screen, cues(join({press_key(KEY_R, 'r', 3),
                                {{resting_with_status("Krokuj!"), tap(KEY_SPACE, ' ')},
                                 {resting_with_status("Hotovo!"), point(100, 110)}, // over a cell
                                 {resting_with_line("1 / -2"), check},
                                 {after(0), tap(KEY_SPACE, ' ')},
                                 {steady([] { return status_text[0] == '\0'; }, 5), check},
                                 {after(0), point(620, 20)},
                                 {after(3), check}},
                                press_key(KEY_Z, 'z'),
                                typing(path + "\r"),
                                {{steady([] { return matrix_shape.rows == 2; }, 3),
                                  [&] {
                                      drawn.push_back(caption_drawn(answer));
                                      drawn.push_back(caption_drawn(""));
                                  }}},
                                press_key(KEY_ESC, 27)})));
    ASSERT_FALSE(run.ran_out);
    EXPECT_EQ(drawn, (std::vector<bool>{true, true, true, false, true}));
}

// What the session shows at one moment: the store's order, whether the typed system counts as
// unsaved, and the editor's draft and line when it is open.
struct Moment {
    const char *when;
    int order;
    bool unsaved;
    std::string line; // the text line, when the editor is open ("" otherwise)
    long first = -1;  // the draft's (or else the store's) first entry
};

// Notes the moment `when` into `seen`.
Cue note_moment(std::vector<Moment> &seen, const char *when, std::function<bool()> ready)
{
    return {std::move(ready), [&seen, when] {
                const bool open = editing_grid();
                const StoreSnapshot &draft = open ? *shown_draft.matrix : loaded_matrix;
                seen.push_back({when, matrix_shape.rows, typed_system_unsaved(),
                                open ? std::string(line_text) : "",
                                draft.shape.rows ? snapshot_cell(draft, 0, 0).num.get_si() : -1});
            }};
}

TEST_F(EditorTest, AFailedLoadKeepsTheLastSystemForTheEditorWhichSaysSoAndKnowsItUnsaved)
{
    TempFolder files;
    const std::string good = files.file("ok.txt", "2\n1 1 3\n1 -1 1\n");
    const std::string saved = files.file("typed.txt", nullptr);
    const std::string empty = files.file("empty.txt", "0\n");
    const std::string hint = ": cislo a Enter; sipky, Tab, klik: ina bunka";
    std::vector<Moment> seen;
    remember_file_folder(saved); // W's selector opens in the scratch folder
    const auto open = [] { return editing_grid() && !keypressed(); };
    const auto resting = [] { return !editing_grid() && !keypressed(); };
    const auto accept = std::vector<Cue>{tap_when_free(KEY_E, 'e'), {after(5), release(KEY_E)}};
    const ScriptRun run = run_script(
        work_screen,
        cues(join({press_key(KEY_E, 'e', 3),
                   typing("7"),
                   accept,
                   {note_moment(seen, "typed", steady(resting, 3))},
                   press_key(KEY_Z, 'z'),
                   typing(files.path + "/none.txt\r"),
                   {{resting_with_status("Mam problemy so suborom."), tap(KEY_SPACE, ' ')},
                    note_moment(seen, "failed load", steady(resting, 3))},
                   press_key(KEY_Z, 'z'),
                   typing(empty + "\r"),
                   {note_moment(seen, "a file of order 0", steady(resting, 3))},
                   press_key(KEY_E, 'e'),
                   {note_moment(seen, "reopened", steady(open, 3)), tap_when_free(KEY_RIGHT)},
                   {note_moment(seen, "a key", steady(open, 3))},
                   press_key(KEY_ESC, 27),
                   {note_moment(seen, "Escape", steady(resting, 3))},
                   press_key(KEY_E, 'e'),
                   accept,
                   {note_moment(seen, "accepted", steady(resting, 3))},
                   press_key(KEY_W, 'w'),
                   in_selector("typed.txt\r"),
                   {{resting_with_status("Zapisane do " + saved), tap(KEY_SPACE, ' ')},
                    note_moment(seen, "saved", steady(resting, 3))},
                   press_key(KEY_E, 'e'),
                   accept,
                   {note_moment(seen, "accepted unchanged", steady(resting, 3))},
                   press_key(KEY_E, 'e'),
                   typing("5"),
                   accept,
                   {note_moment(seen, "changed", steady(resting, 3))},
                   press_key(KEY_Z, 'z'),
                   typing(good + "\r"),
                   {note_moment(seen, "another file", steady(resting, 3))},
                   press_key(KEY_ESC, 27)})));
    ASSERT_FALSE(run.ran_out);
    EXPECT_TRUE(run.finished);
    const std::vector<Moment> expected{
        {"typed", 3, true, "", 7},
        {"failed load", 0, true, "", -1},
        {"a file of order 0", 0, true, "", -1},
        {"reopened", 0, true, std::string(editor_reopened_note) + hint, 7},
        {"a key", 0, true, "Riadok 1, stlpec 2" + hint, 7},
        {"Escape", 0, true, "", -1},
        {"accepted", 3, true, "", 7},
        {"saved", 3, false, "", 7},
        {"accepted unchanged", 3, false, "", 7},
        {"changed", 3, true, "", 5},
        {"another file", 2, false, "", 1},
    };
    ASSERT_EQ(seen.size(), expected.size());
    for (std::size_t i = 0; i < seen.size(); i++) {
        SCOPED_TRACE(expected[i].when);
        EXPECT_EQ(seen[i].order, expected[i].order);
        EXPECT_EQ(seen[i].unsaved, expected[i].unsaved);
        EXPECT_EQ(seen[i].line, expected[i].line);
        EXPECT_EQ(seen[i].first, expected[i].first);
    }
    ASSERT_EQ(load_matrix_file(saved.c_str()), load_ok);
    EXPECT_EQ(matrix_rows(), (std::vector<std::string>{"7 0 0 0", "0 0 0 0", "0 0 0 0"}))
        << "W saved another system than the one typed";
}

TEST_F(EditorTest, AnEmptyNameOrEscapeKeepsThePreviousMatrix)
{
    const std::vector<std::pair<const char *, std::vector<Cue>>> cases{
        {"Enter at once", {{after(5), tap(KEY_ENTER, 13)}}},
        {"Escape at once", {{after(5), tap(KEY_ESC, 27)}}},
        {"Escape after a name", {{after(5), tap(KEY_A, 'a')}, {after(3), tap(KEY_ESC, 27)}}},
    };
    for (const auto &[name, script] : cases) {
        reset_program_state();
        set_matrix({{9, 8, 7}, {6, 5, 4}});
        cell(1, 2) = Fraction{7, 2};
        int code = -1;
        const ScriptRun run = load_and_report(script, code);
        EXPECT_FALSE(run.ran_out) << name;
        EXPECT_EQ(code, 0) << name;
        EXPECT_EQ(matrix_rows(), (std::vector<std::string>{"9 8 7", "6 5 7/2"})) << name;
        EXPECT_EQ(std::string(status_text), "") << name;
        EXPECT_EQ(std::string(line_text), "") << name;
    }
}

TEST_F(EditorTest, ANameAcceptedWithEnterHeldThatCannotBeLoadedShowsItsMessageUntilANewKey)
{
    const std::string name = std::string(96, 'x') + ".txt"; // longer than the line, no such file
    std::vector<Cue> script = typing(name);
    script.push_back({after(3), hold(KEY_ENTER, 13)});
    script.push_back({after(2), release(KEY_ENTER)});
    script.push_back({resting_with_status("Mam problemy so suborom.", 10), tap(KEY_SPACE, ' ')});
    int code = -1;
    const ScriptRun run = load_and_report(script, code);
    EXPECT_FALSE(run.ran_out);
    EXPECT_TRUE(run.finished) << "the message went before a new key";
    EXPECT_EQ(std::string(status_text), "");
}

TEST_F(EditorTest, AButtonHeldWhileEnterIsTypedDoesNotDismissTheMessageUnseen)
{
    // The left button went down while the name was typed: the message waits for it to be let
    // go, and then for a new key or click, as it does for the Enter that accepted the name.
    int code = -1;
    const ScriptRun run = load_and_report(
        join({typing("none.txt"),
              {{after(2), button_down()},
               {after(2), tap(KEY_ENTER, 13)},
               {after(20), button_up()},
               {resting_with_status("Mam problemy so suborom.", 10), tap(KEY_SPACE, ' ')}}}),
        code);
    EXPECT_FALSE(run.ran_out);
    EXPECT_TRUE(run.finished) << "the message went before it was shown and answered";
    EXPECT_EQ(code, 1);
    EXPECT_EQ(std::string(status_text), "");
}

TEST_F(EditorTest, PointingAtACellShowsItsExactValueAndMovingOffRestoresTheStatus)
{
    set_matrix({{0, 0, 0}, {0, 0, 0}});
    cell(0, 0) = Fraction{3, 1};
    cell(0, 1) = Fraction{7, 2};
    cell(1, 0) = Fraction{1, -2};
    set_status_text("Krokuj!");
    const auto [x00, y00] = over_cell(0, 0);
    const auto [x01, y01] = over_cell(0, 1);
    const auto [x10, y10] = over_cell(1, 0);
    const ScriptRun run =
        run_script(wait_for_input, at_frames({{2, point(x00, y00)},
                                              {4, [] { cell(0, 0).den = 2; }}, // 3 -> 3/2
                                              {6, point(x01, y01)},
                                              {10, point(x10, y10)},
                                              {14, point(620, 20)},
                                              {18, tap(KEY_SPACE, ' ')}}));
    ASSERT_FALSE(run.ran_out);
    EXPECT_EQ(frame_of(run, 1).line, "Krokuj!");
    EXPECT_EQ(frame_of(run, 4).line, "3");
    EXPECT_EQ(frame_of(run, 5).line, "3 / 2") << "a change of the denominator alone";
    EXPECT_EQ(frame_of(run, 8).line, "7 / 2");
    EXPECT_EQ(frame_of(run, 12).line, "1 / -2");
    EXPECT_EQ(frame_of(run, 16).line, "Krokuj!");
    // The grid shows the short forms of the same cells.
    point_at(620, 470);
    compose_work_frame();
    EXPECT_TRUE(text_drawn_at("1.5", cell_centre_x(0), cell_top_y(0)));
    EXPECT_TRUE(text_drawn_at("3.5", cell_centre_x(1), cell_top_y(0)));
    EXPECT_TRUE(text_drawn_at("-0.5", cell_centre_x(0), cell_top_y(1)));
}

// Where the grid of order n puts its last cell and its rule, in screen pixels, and where the
// pointer names that cell.
struct GridCase {
    int order;
    int last_column_x; // centre of the right-hand side's text
    int last_row_y;    // top of the last row's text
    int rule_x;
    int rule_bottom;
    Rect last_hover; // the last cell's hover pixels: first x, first y, last x, last y
};

// The readout with the pointer on frame pixel (x, y), on the display's first or last pixel of
// that frame pixel (as the window is zoomed).
std::string readout_at(int x, int y, bool last_display_pixel)
{
    const int extra = last_display_pixel ? frame_scale - 1 : 0;
    mouse_x = frame_left + x * frame_scale + extra;
    mouse_y = frame_top + y * frame_scale + extra;
    update_readout();
    return line_text;
}

// The pointer on the last cell's hover pixels names it, at its four corners; one pixel past
// them it names the neighbour or nothing (the status).
void expect_last_cell_hovered(const GridCase &g, bool last_display_pixel)
{
    const int n = g.order;
    const auto value = [](int r, int c) { return std::to_string(100 * r + c + 1); };
    for (int r = 0; r < n; r++)
        for (int c = 0; c <= n; c++)
            cell(r, c) = Fraction{100 * r + c + 1, 1};
    set_status_text("Krokuj!");
    const Rect &h = g.last_hover;
    const std::string last = value(n - 1, n);
    const std::vector<std::pair<std::pair<int, int>, std::string>> points{
        {{h.x1, h.y1}, last},
        {{h.x2, h.y1}, last},
        {{h.x1, h.y2}, last},
        {{h.x2, h.y2}, last},
        {{h.x1 - 1, h.y2}, value(n - 1, n - 1)},
        {{h.x2, h.y1 - 1}, n > 1 ? value(n - 2, n) : "Krokuj!"},
        {{h.x2 + 1, h.y1}, "Krokuj!"},
        {{h.x1, h.y2 + 1}, "Krokuj!"},
    };
    for (const auto &[at, expected] : points)
        EXPECT_EQ(readout_at(at.first, at.second, last_display_pixel), expected)
            << "order " << n << ", zoom " << frame_scale << ", at (" << at.first << ", "
            << at.second << ")";
}

TEST_F(EditorTest, TheGridPlacesItsLastCellAndTheRuleExactlyAndThePointerNamesIt)
{
    const int white = makecol(255, 255, 255);
    const GridCase cases[] = {{1, 107, 100, 80, 107, {81, 93, 132, 113}},
                              {3, 212, 142, 185, 149, {186, 135, 237, 155}},
                              {10, 580, 289, 552, 296, {553, 282, 605, 302}}};
    for (const int zoom : {1, 2})
        for (const GridCase &g : cases) {
            reset_program_state();
            pretend_desktop(1280, 960);
            chosen_zoom = window_zoom = zoom;
            ASSERT_EQ(open_display(), 0);
            ASSERT_EQ(frame_scale, zoom);
            set_matrix(std::vector<std::vector<long>>(
                static_cast<std::size_t>(g.order),
                std::vector<long>(static_cast<std::size_t>(g.order + 1), 8)));
            point_at(620, 470);
            compose_work_frame();
            EXPECT_TRUE(text_drawn_at("8", 55, 100)) << "order " << g.order << ": first cell";
            EXPECT_TRUE(text_drawn_at("8", g.last_column_x, 100))
                << "order " << g.order << ": last column";
            EXPECT_TRUE(text_drawn_at("8", 55, g.last_row_y))
                << "order " << g.order << ": last row";
            EXPECT_TRUE(text_drawn_at("8", g.last_column_x, g.last_row_y))
                << "order " << g.order << ": last cell";
            for (int y = 100; y <= g.rule_bottom; y++) {
                ASSERT_EQ(getpixel(back_buffer, g.rule_x, y), white)
                    << "order " << g.order << ", rule at y " << y;
                ASSERT_NE(getpixel(back_buffer, g.rule_x - 1, y), white)
                    << "order " << g.order << ", y " << y;
                ASSERT_NE(getpixel(back_buffer, g.rule_x + 1, y), white)
                    << "order " << g.order << ", y " << y;
            }
            EXPECT_NE(getpixel(back_buffer, g.rule_x, 99), white) << "order " << g.order;
            EXPECT_NE(getpixel(back_buffer, g.rule_x, g.rule_bottom + 1), white)
                << "order " << g.order;
            expect_last_cell_hovered(g, false);
            expect_last_cell_hovered(g, true);
        }
}

TEST_F(EditorTest, EveryPixelNamesTheCellWhoseDrawnTextIsNearestInEveryGrid)
{
    // Rows used to be 22 pixels apart for the pointer and 21 on screen, so that from the sixth
    // row down the pointer named the row above the one it was on.
    std::vector<MatrixShape> shapes{system_shape(3, 4), system_shape(4, 3), system_shape(1, 10),
                                    system_shape(10, 1)};
    for (int n = 1; n <= max_order; n++)
        shapes.push_back(square_shape(n));
    for (const MatrixShape &shape : shapes)
        for (int y = 0; y < screen_height; y++)
            for (int x = 0; x < screen_width; x++) {
                int r = -1, c = -1, near_r = -1, near_c = -1;
                const bool on = cell_at(x, y, shape, r, c);
                ASSERT_EQ(on, nearest_drawn_cell(x, y, shape, near_r, near_c))
                    << shape.rows << "x" << shape.unknowns << " at (" << x << ", " << y << ")";
                if (on) {
                    ASSERT_EQ(std::make_pair(r, c), std::make_pair(near_r, near_c))
                        << shape.rows << "x" << shape.unknowns << " at (" << x << ", " << y
                        << ")";
                }
            }
    // Every pixel of the widest texts each grid draws lies in its own cell: five glyphs of a
    // short text; six of a fraction's parts, 5 pixels above and below the text row.
    set_matrix(std::vector<std::vector<long>>(10, std::vector<long>(11, -8888)));
    for (int fractions : {0, 1}) {
        grid_fractions = fractions;
        if (fractions)
            for (int r = 0; r < 10; r++)
                for (int c = 0; c <= 10; c++)
                    cell(r, c) = Fraction{-88888, 99999};
        point_at(620, 470);
        compose_work_frame();
        const int white = makecol(255, 255, 255);
        int inked = 0;
        for (int y = hover_row_top(0); y < hover_row_top(10); y++)
            for (int x = hover_column_left(0); x < hover_last_column_end(10); x++) {
                int r = -1, c = -1;
                if (x == rule_x(10) || getpixel(back_buffer, x, y) != white)
                    continue;
                inked++;
                ASSERT_TRUE(cell_at(x, y, square_shape(10), r, c)) << "(" << x << ", " << y << ")";
                const int half_width = fractions ? 24 : 20;
                const int above = fractions ? fraction_numerator_rise : 0;
                const int below = fractions ? fraction_denominator_drop + 7 : 7;
                EXPECT_TRUE(x >= cell_centre_x(c) - half_width &&
                            x < cell_centre_x(c) + half_width && y >= cell_top_y(r) - above &&
                            y < cell_top_y(r) + below)
                    << "ink at (" << x << ", " << y << ") is named cell (" << r << ", " << c
                    << "), whose text lies elsewhere; fractions " << fractions;
            }
        EXPECT_GT(inked, 110 * 50) << "fractions " << fractions; // every text was drawn
    }
}

} // namespace
