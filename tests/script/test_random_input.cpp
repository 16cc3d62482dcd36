// A random-input test of the whole work screen. A seeded generator plays the real loops,
// entered from the menu, for thousands of frames: every key of the work screen's table, the
// step gate's keys, the menu's and the settings screen's keys and most others, held 1 to 60
// frames (repeating after 30 as a held key does); clicks of the left and right buttons on
// every button, on the grid's cells and anywhere, held 1 to 60 frames; pointer moves; and file
// names typed into the real prompt that load, fail each way, or are garbage. After every frame
// it checks that:
//   - every loop returned to the harness within its frame: a watchdog thread ends the run when
//     no frame begins for 30 s, and every 200 to 1,500 frames (and after some pauses) the
//     generator lets go of everything and presses Escape, each press once the last was let go,
//     until the menu shows; it must show within 12 presses (a loop waiting for input that never
//     comes fails here);
//   - the store is the matrix as loaded or exactly a store that an elimination reaches from
//     it, on past columns without a pivot to the reduced form, at a gate or at its end,
//     restarts included, or the store the learner's own operations (U) made from one of
//     those, each of them replayed here from the store before it (while a row's fractions are
//     being cancelled on screen, equal in value to one of them);
//   - a typed name leaves in the store what the loader reads from that file, with its message;
//   - the grid editor (E) opens on the last system that came into the store, however it came
//     and whatever failed loads emptied the store since (saying so on the line when the store
//     is empty), or on a 3x3 of zeros before any; the typed system counts as unsaved from the
//     editor's accepting a changed one until W saves or any other matrix comes;
//   - the grid editor stores into a cell only the number its line showed typed there the frame
//     before, exactly (a decimal with a point or a comma, or a fraction, in lowest terms), one
//     cell at a time (a refused character is never stored, nor the digits around it);
//   - while a name or an operation is typed the line shows the end of the text typed (and the
//     note after it when a key was refused); the text line fits its 76 characters, counted in
//     UTF-8, the caption its 72, and whenever the work screen refreshes the line it shows the
//     exact value of the cell under the pointer, or the state message off the grid;
//   - a save (W, through the selector) names a file in the scratch folder that holds the
//     system as loaded;
//   - nothing trips the sanitizers (the default run is part of CI's sanitizer build).
// The work screen's table brings practice: U, answered with row operations that read (of every
// form, rows in range or one past) and that do not (a scaling by 0, a row with itself, a factor
// of 121 digits, garbage), undo (Backspace, Left, a right click) and the hint (H); and the grid
// editor (E), saving (W), random systems (N) and the library's file selector (O, and W's): while
// the selector is open the generator presses its buttons, Escape and Enter and types names into
// its path field, but never clicks its list nor presses Tab (either could browse out of the
// scratch folder), and never deletes more than it typed there. Names are typed in UTF-8: letters
// with diacritics and characters the font has no glyph for come as presses of their Unicode
// codes. Never played: F, + and - (nor = and the keypad's + and -), and the pointer never enters
// the settings screen's display button: they switch the display mode or the window's size, which
// the harness's window must keep; nor '/', so that a name typed in the selector of W always names
// a file in the scratch folder. K, Escape and the quit button do end the menu: the test enters it
// again at once, so the run goes on until the generator itself quits at its end. With a system typed in the grid
// editor and never saved, the menu first asks: the generator answers with Enter (the menu ends),
// another key or a click (it stays), and the checks hold the question to a model of the typed
// system kept here.
//
// Frames: 20,000 by default; GJ_LONG_TESTS=N (N >= 2) plays max(1,000,000, 100,000 N) frames;
// GJ_RANDOM_FRAMES=F plays F frames. Seed: 20286 by default; GJ_RANDOM_SEED=S plays seed S.
// A failure prints the seed, the frame count, the frame and the last 30 input events; the same
// seed and frame count play the same run again, and GJ_RANDOM_TRACE=F then prints what every
// vsync finds from frame F on.
#include "harness.h"

#include "app/screens.h"
#include "matrix/cell_text.h"
#include "matrix/elimination.h"
#include "matrix/learner_operation.h"
#include "matrix/matrix_file.h"
#include "matrix/notation.h"
#include "matrix/row_arith.h"
#include "matrix/store.h"
#include "matrix/translation.h"
#include "matrix/utf8_text.h"
#include "matrix/work_file.h"
#include "matrix/worked_solution.h"
#include "platform/frame.h"
#include "platform/images.h"
#include "platform/input.h"
#include "platform/language.h"
#include "platform/layout.h"
#include "platform/line_editor.h"
#include "platform/quit.h"
#include "work/file_selector.h"
#include "work/grid_editor.h"
#include "work/loader.h"
#include "work/matrix_view.h"
#include "work/practice.h"
#include "work/random_exercise.h"
#include "work/saver.h"
#include "work/work_frame.h"
#include "work/work_screen.h"

#include <allegro/internal/aintern.h>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#ifndef EXAMPLES_DIR
#error "EXAMPLES_DIR must name the folder of the shipped example systems"
#endif

namespace
{

// ---------------------------------------------------------------- run length and seed

constexpr long default_frames = 20000;
constexpr long long_frames = 1000000;
constexpr unsigned long default_seed = 20286;

// A whole number from the environment, or fallback when it is not set.
unsigned long environment_number(const char *name, unsigned long fallback)
{
    const char *text = std::getenv(name);
    return text && *text ? std::strtoul(text, nullptr, 10) : fallback;
}

// How many frames the run plays: GJ_RANDOM_FRAMES, else the long run under GJ_LONG_TESTS.
long frames_to_play()
{
    const long frames = static_cast<long>(environment_number("GJ_RANDOM_FRAMES", 0));
    if (frames > 0)
        return frames;
    const long factor = static_cast<long>(environment_number("GJ_LONG_TESTS", 1));
    return factor > 1 ? std::max(long_frames, 100000 * factor) : default_frames;
}

// ---------------------------------------------------------------- the matrix files

// A file the test writes into its folder, under the short name the generator types.
struct MatrixFile {
    std::string name;
    std::string content;
};

// The text of a 10x10 system whose entries have 1 to 120 digits, always the same.
std::string big_system()
{
    std::mt19937 random(10);
    std::string text = "10\n";
    for (int r = 0; r < 10; r++) {
        for (int c = 0; c <= 10; c++) {
            const int digits = 1 + static_cast<int>(random() % max_entry_digits);
            std::string number(random() % 2 ? "-" : "");
            number += static_cast<char>('1' + random() % 9);
            for (int d = 1; d < digits; d++)
                number += static_cast<char>('0' + random() % 10);
            text += number + (c < 10 ? " " : "\n");
        }
    }
    return text;
}

// The systems the test adds to the shipped examples, and the files that fail each way.
std::vector<MatrixFile> own_files()
{
    return {
        {"skryty.txt", "3\n1 1 1 6\n1 1 2 9\n2 3 1 11\n"},    // hidden pivot after column 0
        {"nula1.txt", "3\n0 2 1 5\n0 0 3 4\n4 1 1 6\n"},      // zero first pivot
        {"nema.txt", "2\n1 2 3\n2 4 7\n"},                    // singular, no solution
        {"vela.txt", "3\n1 2 3 6\n2 4 6 12\n1 1 1 3\n"},      // singular, infinitely many
        {"stlpec.txt", "2\n0 1 2\n0 3 4\n"},                  // a zero first column
        {"pol.txt", "1\n2 -1\n"},                             // ends as 1/-2
        {"prazdna.txt", "0\n"},                               // order 0
        {"velke10.txt", big_system()},                        // 10x10, entries up to 120 digits
        {"jedenast.txt", "11\n"},                             // order 11
        {"kratka.txt", "2\n1 1 3\n1 -1"},                     // one entry short
        {"dlhe.txt", "1\n" + std::string(121, '7') + " 3\n"}, // an entry of 121 digits
        {"zaporna.txt", "-1\n"},                              // a negative order
        {"pismeno.txt", "2\n1 x 3\n1 -1 1\n"},                // an entry that is not a number
        {"sústava-č.txt", "2\n1 1 3\n1 -1 1\n"},              // a name with diacritics
    };
}

// Names that fail without a file of their own: missing, a folder, a FIFO, and a missing name
// longer than the line, which the line shows by its end.
const std::vector<std::string> missing_names{"chyba.txt", "priecinok", "rura",
                                             std::string(90, 'q')};

// A scratch folder holding the examples and the test's own files, made the working directory
// for the run, so that every name is short enough to type; removed with everything in it.
class ScratchFolder
{
  public:
    ScratchFolder()
    {
        char pattern[] = "/tmp/gj-random-XXXXXX";
        if (!mkdtemp(pattern))
            return;
        folder_ = pattern;
        char here[4096] = "";
        previous_ = getcwd(here, sizeof here) ? here : "";
        for (const auto &entry : std::filesystem::directory_iterator(EXAMPLES_DIR))
            if (entry.path().extension() == ".txt") {
                std::filesystem::copy_file(entry.path(), folder_ / entry.path().filename());
                loading_.push_back(entry.path().filename().string());
            }
        std::sort(loading_.begin(), loading_.end()); // the same order on every machine
        for (const MatrixFile &file : own_files()) {
            std::ofstream(folder_ / file.name) << file.content;
            named_.push_back(file.name);
        }
        std::filesystem::create_directory(folder_ / "priecinok");
        mkfifo((folder_ / "rura").c_str(), 0600);
        if (chdir(folder_.c_str()) != 0)
            folder_.clear();
    }
    ~ScratchFolder()
    {
        if (!previous_.empty() && chdir(previous_.c_str()) != 0)
            std::perror("chdir");
        if (!folder_.empty())
            std::filesystem::remove_all(folder_);
    }
    bool ready() const
    {
        return !folder_.empty();
    }
    // Every name the generator types from a list: the examples, then the test's own files
    // (which load or fail), then the names with no file.
    std::vector<std::string> names() const
    {
        std::vector<std::string> all = loading_;
        all.insert(all.end(), named_.begin(), named_.end());
        all.insert(all.end(), missing_names.begin(), missing_names.end());
        return all;
    }

  private:
    std::filesystem::path folder_;
    std::string previous_;
    std::vector<std::string> loading_;
    std::vector<std::string> named_;
};

// ---------------------------------------------------------------- keys and pointer targets

// Keys never played: they switch the display mode or the window's size on the settings screen,
// or type '/' (a saved file's name must stay in the scratch folder).
bool excluded_key(int scancode)
{
    return scancode == KEY_F || scancode == KEY_EQUALS || scancode == KEY_MINUS ||
           scancode == KEY_PLUS_PAD || scancode == KEY_MINUS_PAD || scancode == KEY_SLASH ||
           scancode == KEY_SLASH_PAD;
}

// The code a key types, as the keyboard puts it into the buffer (0 for keys that type none).
int ascii_of(int scancode)
{
    if (scancode >= KEY_A && scancode <= KEY_Z)
        return 'a' + (scancode - KEY_A);
    if (scancode >= KEY_0 && scancode <= KEY_9)
        return '0' + (scancode - KEY_0);
    switch (scancode) {
    case KEY_ESC:
        return 27;
    case KEY_ENTER:
    case KEY_ENTER_PAD:
        return 13;
    case KEY_BACKSPACE:
        return 8;
    case KEY_TAB:
        return 9;
    case KEY_SPACE:
        return ' ';
    case KEY_STOP:
        return '.';
    case KEY_SLASH:
        return '/';
    case KEY_DEL:
        return 127;
    default:
        return 0;
    }
}

// The keys of the work screen's table, so that a key added there is played too.
std::vector<int> work_table_keys()
{
    std::vector<int> keys;
    for (int i = 0; i < work_key_row_count; i++) {
        keys.push_back(work_key_rows[i].scancode);
        if (work_key_rows[i].other)
            keys.push_back(work_key_rows[i].other);
    }
    return keys;
}

// The step gate's keys, and the menu's and the settings screen's (F is never played).
const std::vector<int> gate_keys{KEY_P,    KEY_R,     KEY_ESC,  KEY_BACKSPACE,
                                 KEY_LEFT, KEY_SPACE, KEY_ENTER};
const std::vector<int> screen_keys{KEY_S, KEY_N, KEY_K, KEY_M, KEY_ESC};

// Every other key, modifiers aside.
std::vector<int> other_keys()
{
    std::vector<int> keys;
    for (int scancode = 1; scancode < KEY_MODIFIERS; scancode++)
        if (!excluded_key(scancode))
            keys.push_back(scancode);
    return keys;
}

// Every button of the three screens but the display button.
const std::vector<Rect> buttons{menu_work_button,     menu_settings_button,  menu_quit_button,
                                settings_back_button, settings_pulse_button, work_solve_button,
                                work_back_button,     work_load_button,      work_interrupt_button};

// True where the pointer must never be: on the display button or its edge.
bool forbidden_point(int x, int y)
{
    const Rect &r = settings_display_button;
    return x >= r.x1 && x <= r.x2 && y >= r.y1 && y <= r.y2;
}

// ---------------------------------------------------------------- input events and their log

// One change of the keyboard or the mouse.
enum class Input { key_down, key_repeat, key_up, move, left_down, left_up, right_down, right_up };

struct Event {
    Input input = Input::move;
    int scancode = 0; // key events
    int ascii = 0;    // the character's code, Unicode
    int x = 0;        // move
    int y = 0;
};

// Readable form of an event, for the log a failure prints.
std::string event_text(const Event &event)
{
    const char *name = event.scancode ? scancode_to_name(event.scancode) : nullptr;
    const std::string key = name ? name : "no key";
    const std::string typed = std::to_string(event.ascii);
    switch (event.input) {
    case Input::key_down:
        return "hold " + key + " (code " + typed + ")";
    case Input::key_repeat:
        return "press " + key + " (code " + typed + ")";
    case Input::key_up:
        return "let go of " + key;
    case Input::move:
        return "point at " + std::to_string(event.x) + "," + std::to_string(event.y);
    case Input::left_down:
        return "left button down";
    case Input::left_up:
        return "left button up";
    case Input::right_down:
        return "right button down";
    default:
        return "right button up";
    }
}

// The last events played, with their frames; read by the watchdog thread too.
class InputLog
{
  public:
    void add(int frame, const std::string &text)
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        lines_.push_back("  frame " + std::to_string(frame) + ": " + text);
        if (lines_.size() > 30)
            lines_.pop_front();
    }
    std::string text() const
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        std::string all;
        for (const std::string &line : lines_)
            all += line + "\n";
        return all;
    }

  private:
    mutable std::mutex mutex_;
    std::deque<std::string> lines_;
};

// ---------------------------------------------------------------- reference stores

// Appends the exact form of a GMP integer: sign, length and limbs.
void append_integer(std::string &key, const mpz_class &value)
{
    const mpz_srcptr z = value.get_mpz_t();
    const std::size_t limbs = mpz_size(z);
    key.push_back(static_cast<char>(mpz_sgn(z) + 1));
    key.append(reinterpret_cast<const char *>(&limbs), sizeof limbs);
    key.append(reinterpret_cast<const char *>(mpz_limbs_read(z)), limbs * sizeof(mp_limb_t));
}

// The live store's shape as the start of a key.
std::string shape_key()
{
    return {static_cast<char>(matrix_shape.rows), static_cast<char>(matrix_shape.unknowns),
            static_cast<char>(matrix_shape.kind)};
}

// The live store as compared exactly: its shape and every cell of its system, num and den as
// stored (1/-2 differs from -1/2).
std::string exact_key()
{
    std::string key = shape_key();
    for (int r = 0; r < matrix_shape.rows; r++)
        for (int c = 0; c < matrix_shape.columns(); c++) {
            append_integer(key, cell(r, c).num);
            append_integer(key, cell(r, c).den);
        }
    return key;
}

// A copy of a store as compared exactly, as exact_key compares the live store.
std::string snapshot_key(const StoreSnapshot &snapshot)
{
    const MatrixShape &shape = snapshot.shape;
    std::string key{static_cast<char>(shape.rows), static_cast<char>(shape.unknowns),
                    static_cast<char>(shape.kind)};
    for (int r = 0; r < shape.rows; r++)
        for (int c = 0; c < shape.columns(); c++) {
            const Fraction &f = snapshot_cell(snapshot, r, c);
            append_integer(key, f.num);
            append_integer(key, f.den);
        }
    return key;
}

// The live store as compared by value: every cell in lowest terms, its sign on top.
std::string value_key()
{
    std::string key = shape_key();
    for (int r = 0; r < matrix_shape.rows; r++)
        for (int c = 0; c < matrix_shape.columns(); c++) {
            mpq_class value(cell(r, c).num, cell(r, c).den);
            value.canonicalize();
            append_integer(key, value.get_num());
            append_integer(key, value.get_den());
        }
    return key;
}

// Where an elimination stands at a gate: the operation's kind, pivot row, row and pivot column.
using GatePosition = std::tuple<int, int, int, int>;

// The stores that eliminations reach from one matrix as loaded: from it, and
// again from every store reached, as a solve started after a stop begins at pivot 0 on the
// part-solved store. Filled as the run shows stores, so only the eliminations it starts are run.
struct ReachableStores {
    std::unordered_map<std::string, std::set<GatePosition>> exact; // store -> gates met at it
    std::unordered_set<std::string> values;                        // the same stores by value
    std::unordered_set<std::string> expanded; // stores an elimination has been run from
};

ReachableStores *recording = nullptr; // the set the gate hook below adds to

// Adds the live store to the set.
void add_live_store(ReachableStores &stores, const std::string &key)
{
    if (stores.exact.emplace(key, std::set<GatePosition>{}).second)
        stores.values.insert(value_key());
}

// The recording gate: notes the store; stops once a gate was met before at this very store,
// as everything from there on is known already.
int record_gate(const RowOperation &operation)
{
    const std::string key = exact_key();
    add_live_store(*recording, key);
    const GatePosition at{operation.kind, operation.pivot, operation.row, pivot_column(operation)};
    return recording->exact[key].insert(at).second ? 0 : 1;
}

// Adds every store an elimination from the live store has at its gates and at its end, and puts
// the live store back. This is the one place that says which stores can follow which. It runs
// on to the reduced form: a plain elimination's stores are the first of those, and a solve that
// goes on past its verdict (at once, or after going back) meets the rest. The learner's own
// row operations extend it through practice_made.
void extend_reachable(ReachableStores &stores)
{
    const StoreSnapshot start = save_store();
    const std::string start_key = exact_key();
    add_live_store(stores, start_key);
    stores.expanded.insert(start_key);
    recording = &stores;
    const EliminationResult result =
        run_elimination({record_gate, reduce_row_now}, reach_reduced_form);
    recording = nullptr;
    if (result != elimination_stopped)
        add_live_store(stores, exact_key());
    restore_store(start);
}

// True when the live store is the one the learner's operations made, checked by replaying them
// here: the history belongs to this matrix, starts at a store already known to be reachable,
// and each operation, done at once, leads from the store before it to the next one's (the last
// to the store as it is). The live store is put back.
bool practice_made(const ReachableStores &stores)
{
    const PracticeHistory &history = practice_history;
    if (history.matrix != matrix_serial || history.moves.empty() || !store_equals(history.now))
        return false;
    const StoreSnapshot live = save_store();
    restore_store(history.moves.front().before);
    bool made = stores.exact.count(exact_key()) > 0;
    for (std::size_t k = 0; made && k < history.moves.size(); k++) {
        made = store_equals(history.moves[k].before);
        apply_operation_now(history.moves[k].operation);
    }
    made = made && store_equals(history.now);
    restore_store(live);
    return made;
}

// True when the live store has, by value, what the learner's last operation makes of the store
// before it: its rows are being cancelled on screen.
bool practice_cancelling()
{
    if (practice_history.matrix != matrix_serial || practice_history.moves.empty())
        return false;
    const std::string live = value_key();
    const StoreSnapshot kept = save_store();
    restore_store(practice_history.moves.back().before);
    apply_operation_now(practice_history.moves.back().operation);
    const bool same = value_key() == live;
    restore_store(kept);
    return same;
}

// ---------------------------------------------------------------- the checks after each frame

// What the checks keep of one vsync to compare with the next ones.
struct Moment {
    std::string store; // exact_key()
    std::string status;
    std::string caption;
    std::string line;
    bool editing = false;
    std::string typed;       // the text typed so far while editing
    bool line_owned = false; // the grid editor, W's questions, the selector or a practice
                             // message has it
    bool grid_editor = false; // the grid editor (E) is open
    unsigned serial = 0;
    bool inputs_idle = false; // after this vsync's input: nothing held, no button down
    int pointer_x = 0;
    int pointer_y = 0;
    Shown finished = Shown::other; // the frame this vsync finished
};

// What a typed name loads: the store and the message the loader gives for it.
struct LoadExpectation {
    std::string store;
    std::string message;
};

// Counts that show what the run went through.
struct Coverage {
    long loads = 0;           // new matrices from typed names
    long failed_loads = 0;    // of them, refused with a message
    long stores_reached = 0;  // distinct stores seen with the normal pointer
    long busy_checks = 0;     // frames checked by value while a row was being cancelled
    long readout_checks = 0;  // frames whose line was checked against the hovered cell
    long status_checks = 0;   // frames whose line was checked against the state message
    long gates_seen = 0;      // frames at a step gate ("Krokuj!")
    long finishes_seen = 0;   // solves that reached their finishing message
    long steps_back = 0;      // gates that showed an earlier step of the same solve again
    long menu_entries = 0;    // times the menu was entered again after it ended
    long editor_frames = 0;   // frames with the grid editor open (E)
    long random_systems = 0;  // random systems loaded (N)
    long selector_frames = 0; // frames with the library's file selector open (O)
    long question_frames = 0; // frames asking whether a file may be replaced (W)
    long saves = 0;           // systems saved (W)
    long endings_asked = 0;   // times the menu asked before ending with a typed system
    long practice_stores = 0; // distinct stores first made by the learner's operations (U)
    long hints = 0;           // hints shown (H)
    long refusals = 0;        // operations refused with a message
    long settles = 0;         // times the generator let go and pressed Escape to the menu
    int longest_settle = 0;   // frames the longest of them took
};

// The checks made at every vsync, and what they remember of the frames before.
class Checker
{
  public:
    // Checks the program as this vsync finds it; returns the failure, or "" when all holds.
    std::string check(Coverage &coverage)
    {
        Moment now = observe();
        if (now.editing && !history_.back().editing)
            prompt_ = now.line; // the line shows the prompt until the first key
        std::string failure = check_texts(now);
        if (failure.empty())
            failure = check_typed_line(now);
        if (failure.empty())
            failure = check_save(now, coverage);
        if (failure.empty())
            failure = check_last_system(now);
        if (failure.empty())
            failure = check_editor_entries(now);
        if (failure.empty())
            failure = check_store(now, coverage);
        if (failure.empty())
            failure = check_readout(now, coverage);
        if (failure.empty())
            failure = check_ending_question(coverage);
        if (status_text == std::string(tr("Krokuj!")))
            coverage.gates_seen++;
        coverage.editor_frames += editing_grid();
        coverage.selector_frames += active_dialog != nullptr;
        coverage.question_frames += overwrite_question_open();
        coverage.random_systems +=
            now.serial != history_.back().serial && now.caption.rfind(tr("Nahodna sustava: "), 0) == 0;
        if (now.status != history_.back().status && now.status.rfind(tr("Hotovo!"), 0) == 0)
            coverage.finishes_seen++;
        coverage.hints +=
            now.caption != history_.back().caption && now.caption.rfind(tr("Rada: "), 0) == 0;
        coverage.refusals += history_.back().editing && prompt_ == tr("Uprava:") && !now.editing &&
                             !now.line.empty(); // the message replaces the line
        coverage.steps_back += went_back(history_.back().caption, now.caption);
        history_.push_back(std::move(now));
        history_.pop_front();
        return failure;
    }

    // True when the model says a system typed in the grid editor awaits a save (kept by
    // check_last_system).
    bool typed_unsaved() const
    {
        return typed_unsaved_;
    }

    // Starts watching for the question again, as the menu is entered again.
    void menu_entered()
    {
        asked_ = false;
    }

    // The menu has ended: by Escape, K or the quit button, or with Enter to its question. With
    // a typed system never saved it must have asked first.
    std::string check_menu_ended() const
    {
        if (typed_unsaved() && !asked_)
            return "the menu ended without asking about a typed system never saved";
        return "";
    }

    // Notes the input as this vsync left it, for the next frames' readout check.
    void note_inputs(bool idle)
    {
        history_.back().inputs_idle = idle;
        history_.back().pointer_x = mouse_x;
        history_.back().pointer_y = mouse_y;
    }

  private:
    std::deque<Moment> history_ = std::deque<Moment>(4); // the last four vsyncs, oldest first
    bool asked_ = false;        // the menu asked about it since it was last entered

    // The question before ending shows only while the model says a typed system awaits a save.
    std::string check_ending_question(Coverage &coverage)
    {
        if (!ending_question_shown())
            return "";
        coverage.endings_asked += !asked_;
        asked_ = true;
        if (!typed_unsaved())
            return "the menu asks about a typed system never saved, but none awaits a save";
        return "";
    }
    std::unordered_map<std::string, ReachableStores> reachable_; // by the matrix as loaded
    ReachableStores *stores_ = nullptr;                          // the set of the matrix loaded now
    std::unordered_set<std::string> seen_;                       // stores seen since the start
    std::string prompt_; // the prompt of the line editor running, or that ran last
    std::string last_system_;    // the last non-empty matrix that came into the store, "" before
    std::string opened_on_;      // the draft the grid editor last opened on
    bool typed_unsaved_ = false; // a changed draft was accepted and not saved since
    StoreSnapshot draft_;        // the grid editor's draft at the last vsync
    bool draft_known_ = false;   // the editor was open then

    // True when the caption names an earlier step of the same solve than before.
    static bool went_back(const std::string &before, const std::string &now)
    {
        int step_before = 0, total_before = 0, step_now = 0, total_now = 0;
        return std::sscanf(before.c_str(), tr("Krok %d z %d: "), &step_before, &total_before) ==
                   2 &&
               std::sscanf(now.c_str(), tr("Krok %d z %d: "), &step_now, &total_now) == 2 &&
               total_now == total_before && step_now < step_before;
    }

    Moment observe() const
    {
        Moment now;
        now.store = exact_key();
        now.status = status_text;
        now.caption = shown_step.caption;
        now.line = line_text;
        now.editing = editing_line();
        now.typed = edited_text();
        now.line_owned = editing_grid() || overwrite_question_open() || save_choice_open() ||
                         browsing_files() || practice_message_shown();
        now.grid_editor = editing_grid();
        now.serial = matrix_serial;
        now.finished = finished_frame().shown;
        return now;
    }

    // Whatever failed loads emptied the store since, the grid editor opens on the last matrix
    // that came into it (a 3x3 of zeros before any) and says so when the store is empty; the
    // typed system counts as unsaved from the acceptance of a changed draft until W saves it or
    // another matrix comes.
    std::string check_last_system(const Moment &now)
    {
        const Moment &before = history_.back();
        if (now.grid_editor && !before.grid_editor && shown_draft.matrix) {
            StoreSnapshot zeros;
            zeros.shape = square_shape(3);
            for (auto &column : zeros.cells)
                for (Fraction &f : column)
                    f = Fraction{0, 1};
            opened_on_ = snapshot_key(*shown_draft.matrix);
            if (opened_on_ != (last_system_.empty() ? snapshot_key(zeros) : last_system_))
                return "the grid editor opened on another system than the last one loaded";
            const bool says = now.line.rfind(tr(editor_reopened_note), 0) == 0;
            if (says != (matrix_shape.rows == 0 && !last_system_.empty()))
                return "the editor's line '" + now.line + "' with " +
                       (matrix_shape.rows ? "a system in the store" : "the store empty");
        }
        // I puts [A | I] in the store but keeps the system as loaded: not a new system.
        if (now.serial != before.serial && matrix_shape.rows > 0 &&
            matrix_shape.kind != kind_inverse) {
            if (before.grid_editor)
                typed_unsaved_ = typed_unsaved_ || now.store != opened_on_;
            else
                typed_unsaved_ = false;
            last_system_ = now.store;
        }
        if (now.status.rfind(tr("Zapisane do "), 0) == 0 && saved_system_loads(now.status))
            typed_unsaved_ = false;
        if (typed_system_unsaved() != typed_unsaved_)
            return std::string("the typed system counts as ") +
                   (typed_unsaved_ ? "saved" : "unsaved") + " against the model";
        return "";
    }

    // The grid editor's draft (or the matrix it accepted) differs from the draft of the frame
    // before at most in one cell, which holds the number the line then showed typed into it.
    std::string check_editor_entries(const Moment &now)
    {
        const Moment &before = history_.back();
        const StoreSnapshot *draft = editing_grid() ? shown_draft.matrix : nullptr;
        const bool accepted = before.grid_editor && now.serial != before.serial &&
                              matrix_shape.rows > 0;
        std::string failure;
        if (draft_known_ && (draft || accepted))
            failure = stored_as_typed(before.line, draft ? *draft : save_store());
        draft_known_ = draft != nullptr;
        if (draft)
            draft_ = *draft;
        return failure;
    }

    // The one cell in which `after` differs from the draft before holds what `line` shows typed
    // into it; a change of shape (PgUp, PgDn, Insert, Delete) moves entries and is not compared.
    std::string stored_as_typed(const std::string &line, const StoreSnapshot &after) const
    {
        if (after.shape != draft_.shape)
            return "";
        int changed = 0;
        std::string failure;
        for (int r = 0; r < after.shape.rows; r++)
            for (int c = 0; c < after.shape.columns(); c++) {
                const auto at = [r, c](const StoreSnapshot &s) -> const Fraction & {
                    return s.cells[static_cast<std::size_t>(c)][static_cast<std::size_t>(r)];
                };
                if (at(after).num == at(draft_).num && at(after).den == at(draft_).den)
                    continue;
                if (++changed > 1)
                    return "the grid editor changed two cells in one frame";
                failure = typed_entry_is(line, r, c, after.shape.unknowns, at(after));
            }
        return failure;
    }

    // "" when `line` shows typed into cell (r, c) of a system in n unknowns exactly `value`.
    static std::string typed_entry_is(const std::string &line, int r, int c, int n,
                                      const Fraction &value)
    {
        const std::string head = c == n ? format_text(tr("Riadok %d, prava strana: "), r + 1)
                                        : format_text(tr("Riadok %d, stlpec %d: "), r + 1, c + 1);
        const std::string where = "cell (" + std::to_string(r) + ", " + std::to_string(c) + ")";
        const std::size_t cursor = line.find('_', head.size());
        if (line.rfind(head, 0) != 0 || cursor == std::string::npos)
            return "the grid editor stored into " + where + " what its line '" + line +
                   "' did not show typed there";
        const std::string typed = line.substr(head.size(), cursor - head.size());
        const std::string stored =
            value.num.get_str() + (value.den == 1 ? "" : "/" + value.den.get_str());
        bool same = true;
        if (typed.rfind("...", 0) == 0) { // a long entry shows its last digits
            std::string digits = mpz_class(abs(value.num)).get_str();
            const std::string tail = typed.substr(3);
            if (digits.size() < tail.size())
                digits.insert(0, tail.size() - digits.size(), '0');
            same = value.den == 1 && tail.find_first_not_of("0123456789") == std::string::npos &&
                   digits.compare(digits.size() - tail.size(), tail.size(), tail) == 0;
        } else {
            mpq_class typed_value;
            same = typed.empty() ? value.num == 0 && value.den == 1
                                 : read_typed_number(typed, typed_value) &&
                                       typed_value.get_num() == value.num &&
                                       typed_value.get_den() == value.den;
        }
        if (!same)
            return "the grid editor stored " + stored + " into " + where + " after the line '" +
                   line + "'";
        return "";
    }

    // Reads `typed` whole as a number written as matrix files write entries: "-12", "3/4",
    // "0.25", "-,5"; false for any other text or a fraction over 0. Kept apart from the
    // program's reader, so that the check does not restate it.
    static bool read_typed_number(const std::string &typed, mpq_class &value)
    {
        std::string text = typed;
        const bool negative = !text.empty() && text[0] == '-';
        if (!text.empty() && (text[0] == '-' || text[0] == '+'))
            text.erase(0, 1);
        const auto digits = [](const std::string &part) {
            return part.find_first_not_of("0123456789") == std::string::npos;
        };
        const std::size_t slash = text.find('/');
        const std::size_t point = text.find_first_of(".,");
        mpz_class top;
        mpz_class bottom = 1;
        if (slash != std::string::npos) {
            const std::string p = text.substr(0, slash), q = text.substr(slash + 1);
            if (p.empty() || q.empty() || !digits(p) || !digits(q) || mpz_class(q, 10) == 0)
                return false;
            top = mpz_class(p, 10);
            bottom = mpz_class(q, 10);
        } else {
            const std::string whole = text.substr(0, point);
            const std::string part = point == std::string::npos ? "" : text.substr(point + 1);
            if (!digits(whole) || !digits(part) || whole.size() + part.size() == 0 ||
                (point != std::string::npos && part.empty()))
                return false;
            top = mpz_class(whole + part, 10);
            for (std::size_t i = 0; i < part.size(); i++)
                bottom *= 10;
        }
        value = mpq_class(negative ? mpz_class(-top) : top, bottom);
        value.canonicalize();
        return true;
    }

    // The text line and the caption fit their lines.
    static std::string check_texts(const Moment &now)
    {
        const std::size_t limit = text_line_chars;
        if (utf8_length(now.line) > limit)
            return "the text line holds " + std::to_string(utf8_length(now.line)) +
                   " characters, more than its " + std::to_string(limit) + ": '" + now.line + "'";
        if (now.caption.size() > caption_chars)
            return "the caption holds " + std::to_string(now.caption.size()) +
                   " characters, more than its " + std::to_string(caption_chars) + ": '" +
                   now.caption + "'";
        return "";
    }

    // While a text is typed, once the prompt is gone, the line shows the end of the text typed
    // so far, and after it a note when a key was refused.
    std::string check_typed_line(const Moment &now) const
    {
        if (!now.editing || (now.line == prompt_ && now.typed.empty()))
            return "";
        for (const char *note : {"", refused_character_note, refused_length_note}) {
            const std::string shown = *note ? "  (" + std::string(note) + ")" : "";
            const std::size_t room = static_cast<std::size_t>(text_line_chars) - shown.size();
            if (now.line == fit_text_end(now.typed, room) + shown)
                return "";
        }
        return "the line shows '" + now.line + "' while '" + now.typed + "' is typed";
    }

    // A save names a file in the scratch folder (the working directory) that holds the system
    // as loaded, exactly as written; a name too long for the line is not checked.
    std::string check_save(const Moment &now, Coverage &coverage) const
    {
        const std::string head = tr("Zapisane do ");
        if (now.status.rfind(head, 0) != 0 || now.status == history_.back().status)
            return "";
        coverage.saves++;
        const std::string path = now.status.substr(head.size());
        if (path.rfind("...", 0) == 0)
            return "";
        const std::string full = std::filesystem::absolute(path).lexically_normal().string();
        if (full.rfind(std::filesystem::current_path().string() + "/", 0) != 0)
            return "a save wrote '" + path + "', outside the scratch folder";
        std::ifstream file(path);
        const std::string text{std::istreambuf_iterator<char>(file), {}};
        StoreSnapshot system;
        if (text == matrix_text(loaded_matrix))
            return "";
        if (!read_work_file_system(text, system))
            return "the file saved as '" + path + "' holds neither the system as loaded nor a work";
        const std::string shown = matrix_block_text(notation_plain);
        if (text.size() < shown.size() ||
            text.compare(text.size() - shown.size(), shown.size(), shown))
            return "the work saved as '" + path + "' does not end with the matrix on screen";
        return "";
    }

    // True unless the save named in `status` wrote a work that starts from another matrix than
    // the system as loaded (after a solve): only then does the typed system stay unsaved.
    static bool saved_system_loads(const std::string &status)
    {
        const std::string path = status.substr(std::string("Zapisane do ").size());
        if (path.rfind("...", 0) == 0)
            return true;
        std::ifstream file(path);
        const std::string text{std::istreambuf_iterator<char>(file), {}};
        StoreSnapshot system;
        if (!read_work_file_system(text, system))
            return true;
        const StoreSnapshot live = save_store();
        restore_store(system);
        const bool same = store_has_values_of(loaded_matrix);
        restore_store(live);
        return same;
    }

    // What the loader reads from the named file now, with the message the work screen shows;
    // read again each time, as a save (W) may have written the file since.
    static LoadExpectation expected_load(const std::string &name)
    {
        const StoreSnapshot live = save_store();
        const int code = load_matrix_file(name.c_str());
        const char *message = load_message(code);
        LoadExpectation expected{exact_key(), message ? message : ""};
        restore_store(live);
        return expected;
    }

    // A new matrix: when a typed name made it, it must be what the loader reads from that
    // file; either way it is now the matrix as loaded. Other ways of making a matrix (an
    // editor, a random system, a file chooser) add their expectation here.
    std::string take_new_matrix(const Moment &now, Coverage &coverage)
    {
        const Moment &before = history_.back();
        if (before.editing) {
            const LoadExpectation expected = expected_load(before.typed);
            coverage.loads++;
            coverage.failed_loads += !expected.message.empty();
            if (now.store != expected.store)
                return "the store after loading '" + before.typed +
                       "' is not what the loader reads from it";
            if (now.status != expected.message)
                return "loading '" + before.typed + "' shows '" + now.status + "', not '" +
                       expected.message + "'";
        }
        stores_ = &reachable_[now.store];
        return "";
    }

    // The store is one a forward elimination reaches from the matrix as loaded: exactly on
    // every frame with the normal pointer, and by value while a row is being cancelled.
    std::string check_store(const Moment &now, Coverage &coverage)
    {
        if (!stores_ || now.serial != history_.back().serial) {
            const std::string failure = take_new_matrix(now, coverage);
            if (!failure.empty())
                return failure;
        }
        if (pointer_image == images[image_busy_pointer]) {
            coverage.busy_checks++;
            if (!stores_->values.count(value_key()) && !practice_cancelling())
                return "while a row is cancelled, the store's values are not those of any "
                       "store an elimination reaches from the matrix as loaded";
            return "";
        }
        if (stores_->exact.empty())
            extend_reachable(*stores_); // the matrix as loaded
        if (!stores_->exact.count(now.store)) {
            if (!practice_made(*stores_))
                return "the store is neither the matrix as loaded nor one an elimination "
                       "reaches from it, nor one the learner's operations made\n" +
                       store_text();
            add_live_store(*stores_, now.store);
            coverage.practice_stores++;
        }
        if (!stores_->expanded.count(now.store))
            extend_reachable(*stores_); // a solve may start again from here
        if (seen_.insert(now.store).second)
            coverage.stores_reached++;
        return "";
    }

    // True when the line of this frame was refreshed by the work screen from the pointer and
    // the store as they are: the last two frames were work frames, the three last inputs left
    // nothing held and the pointer still, and nothing the line shows changed meanwhile. Loops
    // that paint without refreshing the line (while a key or button is held, while a name is
    // typed, the one frame after a solve or a row operation) all fail one of these. So does a
    // solve on its way to its first gate ("Krokuj!" without a caption yet): the repaint that
    // ends each row's cancelling does not refresh the line, and on a part-solved matrix every
    // pivot already done costs one such frame, with nothing else changing.
    bool line_is_refreshed(const Moment &now) const
    {
        if (now.status == tr("Krokuj!") && now.caption.empty())
            return false;
        const Moment &a = history_[1], &b = history_[2], &c = history_[3];
        if (now.finished != Shown::work || c.finished != Shown::work)
            return false;
        for (const Moment *m : {&a, &b, &c})
            if (!m->inputs_idle || m->pointer_x != c.pointer_x || m->pointer_y != c.pointer_y)
                return false;
        for (const Moment *m : {&b, &c})
            if (m->store != now.store || m->status != now.status || m->caption != now.caption ||
                m->editing || m->line_owned || m->serial != now.serial)
                return false;
        return !now.editing && !now.line_owned;
    }

    // Whenever the line was refreshed: the exact value of the cell under the pointer, or the
    // state message when the pointer is off the grid.
    std::string check_readout(const Moment &now, Coverage &coverage)
    {
        if (!line_is_refreshed(now))
            return "";
        const int x = pointer_x();
        const int y = pointer_y();
        int r = 0;
        int c = 0;
        std::string expected = now.status;
        std::string what = "the state message";
        if (nearest_drawn_cell(x, y, matrix_shape, r, c)) {
            expected = readout_text(cell(r, c).num, cell(r, c).den, text_line_chars);
            what = "the value of cell (" + std::to_string(r) + ", " + std::to_string(c) + ")";
            coverage.readout_checks++;
        } else {
            coverage.status_checks++;
        }
        if (now.line != expected)
            return "the line shows '" + now.line + "' with the pointer at " + std::to_string(x) +
                   "," + std::to_string(y) + ", not " + what + " '" + expected + "'";
        return "";
    }

    // The live store's rows, for a failure message.
    static std::string store_text()
    {
        std::string text;
        for (const std::string &row : matrix_rows())
            text += "  " + row + "\n";
        return text.empty() ? "  (order 0)\n" : text;
    }
};

// ---------------------------------------------------------------- the generator

// The frame rectangle of the open file selector's button labelled `label` (the library centres
// the selector on the display; the program shows it centred on the frame); empty when the
// selector is not open.
Rect selector_button(const char *label)
{
    if (!active_dialog)
        return {0, 0, 0, 0};
    const DIALOG &box = active_dialog[0];
    const int left = (screen_width - box.w) / 2 - box.x;
    const int top = (screen_height - box.h) / 2 - box.y;
    for (const DIALOG *d = active_dialog; d->proc; d++)
        if (d->proc == _gui_button_proc &&
            std::strcmp(static_cast<const char *>(d->dp), label) == 0)
            return {left + d->x, top + d->y, left + d->x + d->w - 1, top + d->y + d->h - 1};
    return {0, 0, 0, 0};
}

// Plays random input frame by frame, and every so often lets go and presses Escape until the
// menu shows. All its choices come from its own seeded generator, so a seed replays a run.
class Generator
{
  public:
    Generator(unsigned long seed, long frames, std::vector<std::string> names, InputLog &log)
        : random_(static_cast<std::mt19937::result_type>(seed)), frames_(frames),
          names_(std::move(names)), log_(log), work_keys_(work_table_keys()),
          other_keys_(other_keys())
    {
        next_settle_ = pick(200, 1500);
    }

    // Plays this frame's input; returns a failure, or "".
    std::string play(int frame, Coverage &coverage)
    {
        if (ending_)
            return end_run(frame);
        if (settling_)
            return settle(frame, coverage);
        if (frame >= frames_ || frame >= next_settle_) {
            start_settling(frame);
            return settle(frame, coverage);
        }
        if (steps_left_ > 0)
            step(frame);
        else if (frame >= next_action_)
            plan(frame);
        apply_due(frame);
        return "";
    }

    // True once the generator has played its last input: the menu ends on it.
    bool finished() const
    {
        return finished_;
    }

    // True once the generator has begun to quit the menu at the end of its frames.
    bool ending() const
    {
        return ending_;
    }

    // True when nothing is held and no button is down.
    bool inputs_idle() const
    {
        return held_.empty() && !(mouse_b & 3);
    }

  private:
    std::mt19937 random_;
    long frames_;
    std::vector<std::string> names_;
    InputLog &log_;
    std::vector<int> work_keys_;
    std::vector<int> other_keys_;
    std::multimap<int, Event> pending_; // events by frame, in the order they were planned
    std::multiset<int> held_;           // keys held, once per hold in progress
    int next_action_ = 0;
    long next_settle_ = 0;
    // A run of steps: one input that steps or goes back each time the solve rests at its gate.
    int steps_left_ = 0;
    int steps_until_ = 0; // the frame the run gives up waiting for a gate
    bool finished_ = false;
    bool ending_ = false; // quitting the menu at the end of the run
    int ending_at_ = 0;   // the frame it began
    // Settling: letting go of everything, then Escape until the menu shows.
    bool settling_ = false;
    int settle_start_ = 0;
    int escapes_ = 0;
    int escape_down_at_ = -1; // frame Escape went down, -1 while it is up
    int escape_up_at_ = 0;
    int menu_frames_ = 0;

    static constexpr int max_escapes = 12;

    int pick(int low, int high)
    {
        return std::uniform_int_distribution<int>(low, high)(random_);
    }
    bool chance(int percent)
    {
        return pick(1, 100) <= percent;
    }
    template <class T> const T &one_of(const std::vector<T> &list)
    {
        return list[static_cast<std::size_t>(pick(0, static_cast<int>(list.size()) - 1))];
    }

    // How long a key or button is held: mostly a tap of a few frames, else up to 60.
    int hold_length()
    {
        return chance(70) ? pick(1, 5) : pick(1, 60);
    }

    void at(int frame, Event event)
    {
        pending_.emplace(frame, event);
    }

    // Holds a key for `frames` frames, pressed again every 2 frames after the first 30 as the
    // keyboard repeats it; returns the frame it is let go.
    int hold_key_for(int start, int scancode, int ascii, int frames)
    {
        at(start, {Input::key_down, scancode, ascii});
        for (int f = 30; f < frames; f += 2)
            at(start + f, {Input::key_repeat, scancode, ascii});
        at(start + frames, {Input::key_up, scancode, ascii});
        return start + frames;
    }

    // A point inside the rectangle, now and then on its edge, never on the display button.
    Event point_in(const Rect &r)
    {
        for (;;) {
            const bool edge = chance(10);
            const int x = edge ? (chance(50) ? r.x1 : r.x2) : pick(r.x1 + 1, r.x2 - 1);
            const int y = edge ? pick(r.y1, r.y2) : pick(r.y1 + 1, r.y2 - 1);
            if (!forbidden_point(x, y))
                return {Input::move, 0, 0, x, y};
        }
    }

    // A point over one of the grid's cells (of the largest system, so also beyond a smaller one).
    Event grid_point()
    {
        const int r = pick(0, max_order - 1);
        const int c = pick(0, max_order);
        const int right = c == max_order ? hover_last_column_end(c) : hover_column_left(c + 1);
        return point_in(
            {hover_column_left(c) - 1, hover_row_top(r) - 1, right, hover_row_top(r + 1)});
    }

    // Anywhere in the frame.
    Event any_point()
    {
        return point_in({0, 0, screen_width - 1, screen_height - 1});
    }

    // Presses a button at the point, holds it, sometimes moving meanwhile, and lets it go.
    int click(int start, const Event &where, bool left)
    {
        at(start, where);
        const int frames = hold_length();
        at(start + 1, {left ? Input::left_down : Input::right_down});
        if (chance(15))
            at(start + 1 + pick(0, frames), any_point());
        at(start + 1 + frames, {left ? Input::left_up : Input::right_up});
        return start + 1 + frames;
    }

    // Types one character: its key held 1 to 3 frames, or a press alone for a character that
    // has no key of its own (a letter with diacritics, say).
    int type_character(int start, int code)
    {
        const int scancode = code < 128 ? scancode_of(static_cast<char>(code)) : 0;
        if (!scancode) {
            at(start, {Input::key_repeat, 0, code});
            return start + 1;
        }
        return hold_key_for(start, scancode, code, pick(1, 3));
    }

    // Types a text in UTF-8, character by character; returns the frame after.
    int type_text(int start, const std::string &text)
    {
        for (int code : unicode_codes(text))
            start = type_character(start, code) + pick(1, 4);
        return start;
    }

    // A name from the lists, an empty one, or garbage of 1 to 45 characters: mostly printable
    // ASCII, now and then a Slovak letter, a C1 control code (ignored), a space the font has
    // no glyph for or a character beyond it (both refused with a note).
    std::string name_to_type()
    {
        static const std::vector<int> others{0xe1,  0xe4,  0x10d, 0x10f, 0xed,   0x13e,
                                             0x148, 0xf4,  0x155, 0x161, 0x165,  0xfa,
                                             0xfd,  0x17d, 0x85,  0xa0,  0x65e5, 0x1f600};
        const int kind = pick(1, 100);
        if (kind <= 80)
            return one_of(names_);
        if (kind <= 85)
            return "";
        std::string garbage;
        for (int i = pick(1, 45); i > 0; i--)
            garbage += chance(90) ? std::string(1, static_cast<char>(pick(32, 126)))
                                  : utf8_encode(one_of(others));
        std::replace(garbage.begin(), garbage.end(), '/', '\\');
        return garbage.find_first_not_of('.') == std::string::npos ? garbage + "x" : garbage;
    }

    // Opens the prompt with Z or the load button (or, one time in five, the selector of W to
    // save), types a name, and ends with Enter, Escape, or a few Backspaces and then Enter; a
    // save to a file that exists is then often answered with Enter (replace) or N. In the
    // selector the name is typed after the folder's path, so no more Backspaces than it put
    // there, and it is never "." or "..", which would browse up or stay in the folder.
    int type_name(int start)
    {
        const bool save = chance(20);
        int f = save         ? hold_key_for(start, KEY_W, 'w', pick(1, 3))
                : chance(70) ? hold_key_for(start, KEY_Z, 'z', pick(1, 3))
                             : click(start, point_in(work_load_button), true);
        f += save ? pick(10, 20) : pick(3, 10);
        const std::string name = name_to_type();
        log_.add(start, std::string(save ? "save as '" : "type '") + name + "'");
        f = type_text(f, name);
        const int ending = pick(1, 100);
        const std::vector<int> codes = unicode_codes(name);
        const int most = save ? static_cast<int>(std::count_if(codes.begin(), codes.end(),
                                                               typable_character))
                              : 4; // a character refused never reaches the path field
        if (ending > 90)
            for (int i = pick(std::min(1, most), std::min(4, most)); i > 0; i--)
                f = hold_key_for(f, KEY_BACKSPACE, 8, pick(1, 3)) + pick(0, 2);
        if (ending > 80 && ending <= 90)
            return hold_key_for(f, KEY_ESC, 27, pick(1, 3));
        f = hold_key_for(f, KEY_ENTER, 13, pick(1, 3));
        if (save && chance(60))
            f = play_one_of(f + pick(2, 10), {KEY_ENTER, KEY_ENTER, KEY_N});
        return f;
    }

    // A row operation for a system of order n: of every form, rows in range or one past it, and
    // factors whole, fractional and decimal; now and then one refused otherwise (a scaling by 0,
    // a row with itself, a factor of 121 digits) or garbage.
    std::string operation_to_type(int n)
    {
        const auto row = [&] { return "R" + std::to_string(pick(1, n + (chance(10) ? 1 : 0))); };
        static const std::vector<std::string> factors{"2",    "-3",     "1/2", "(3/4)", "0.5",
                                                      "-.25", "(-2/3)", "5",   "1/3",   "-1"};
        const int kind = pick(1, 100);
        if (kind <= 25)
            return row() + (chance(50) ? " <-> " : "<->") + row();
        if (kind <= 50) {
            const std::string r = row();
            return r + " <- " + (chance(10) ? "0" : one_of(factors)) + " " +
                   (chance(90) ? r : row());
        }
        if (kind <= 90) {
            const std::string r = row();
            return r + " <- " + r + (chance(50) ? " - " : " + ") +
                   (chance(5) ? "1" + std::string(120, '0') : one_of(factors)) + " " + row();
        }
        std::string garbage;
        for (int i = pick(1, 20); i > 0; i--)
            garbage += static_cast<char>(pick(32, 126));
        std::replace(garbage.begin(), garbage.end(), '/', '\\');
        return garbage;
    }

    // Opens the prompt with U, types a row operation and ends with Enter (now and then Escape).
    // A character whose key is never played is typed as a press alone.
    int type_operation(int start)
    {
        int f = hold_key_for(start, KEY_U, 'u', pick(1, 3)) + pick(3, 10);
        const std::string operation = operation_to_type(std::max(matrix_shape.rows, 1));
        log_.add(start, "type the operation '" + operation + "'");
        for (unsigned char c : operation) {
            if (excluded_key(scancode_of(static_cast<char>(c)))) {
                at(f, {Input::key_repeat, 0, c});
                f += pick(1, 4);
            } else {
                f = type_character(f, c) + pick(1, 4);
            }
        }
        const bool cancel = chance(10);
        return hold_key_for(f, cancel ? KEY_ESC : KEY_ENTER, cancel ? 27 : 13, pick(1, 3));
    }

    // A key held: one of the work screen's table, of the gate's, of the screens', or any other.
    int play_key(int start)
    {
        const int kind = pick(1, 100);
        int scancode = 0;
        if (kind <= 25)
            scancode = one_of(work_keys_);
        else if (kind <= 80)
            scancode = one_of(gate_keys);
        else if (kind <= 85)
            scancode = one_of(screen_keys);
        else
            scancode = one_of(other_keys_);
        return hold_key_for(start, scancode, ascii_of(scancode), hold_length());
    }

    // Holds one of the keys.
    int play_one_of(int start, const std::vector<int> &keys)
    {
        const int scancode = one_of(keys);
        return hold_key_for(start, scancode, ascii_of(scancode), hold_length());
    }

    // Starts a run of 2 to 25 steps, with R first when no solve is running; with no matrix
    // loaded, types a name instead.
    int start_steps(int start)
    {
        if (matrix_shape.rows == 0)
            return type_name(start);
        steps_left_ = pick(2, 25);
        steps_until_ = start + 3000;
        return status_text[0] ? start : hold_key_for(start, KEY_R, 'r', pick(1, 3));
    }

    // One input of a run of steps once the gate rests (nothing planned or held, the normal
    // pointer): mostly a step, often going back, now and then a pause answered by a key.
    void step(int frame)
    {
        const bool resting = pending_.empty() && inputs_idle() &&
                             pointer_image != images[image_busy_pointer] && frame >= next_action_;
        if (frame > steps_until_ || (resting && !status_text[0]))
            steps_left_ = 0; // gave up, or the solve has ended
        if (!resting || steps_left_ == 0)
            return;
        steps_left_--;
        const int kind = pick(1, 100);
        int end = frame;
        if (kind <= 55)
            end = chance(60) ? play_one_of(frame, {KEY_SPACE, KEY_ENTER, KEY_X})
                             : click(frame, grid_point(), true);
        else if (kind <= 90)
            end = chance(60) ? play_one_of(frame, {KEY_BACKSPACE, KEY_LEFT})
                             : click(frame, grid_point(), false);
        else if (kind <= 95)
            end = play_one_of(hold_key_for(frame, KEY_P, 'p', pick(1, 3)) + pick(2, 10),
                              {KEY_R, KEY_R, KEY_SPACE});
        else
            next_settle_ = end = hold_key_for(frame, KEY_P, 'p', pick(1, 3)) + pick(2, 10);
        next_action_ = end + pick(1, 12);
    }

    // One action on the work screen (or on a frame not told apart), by weight.
    int act_on_work(int start)
    {
        const int kind = pick(1, 100);
        if (kind <= 10)
            return start_steps(start);
        if (kind <= 20 && matrix_shape.rows > 0 && !status_text[0])
            return type_operation(start);
        if (kind <= 22 && matrix_shape.rows > 0 && !status_text[0])
            return play_one_of(start, {KEY_H}); // the hint, on a store of any shape
        if (kind <= 50)
            return play_key(start);
        if (kind <= 58)
            return type_name(start);
        if (kind <= 68)
            return click(start, point_in(one_of(buttons)), true);
        if (kind <= 74)
            return click(start, grid_point(), true);
        if (kind <= 76)
            return click(start, any_point(), true);
        if (kind <= 81)
            return click(start, chance(50) ? grid_point() : any_point(), false);
        if (kind <= 95) {
            at(start, chance(70) ? grid_point() : any_point());
            return start + pick(1, 20);
        }
        return start + pick(1, 30); // idle
    }

    // True when the grid editor's line shows a note after the entry being typed: one it
    // refuses (which keeps the cell framed), or a size it cannot take.
    static bool refused_entry_shown()
    {
        const std::string line = line_text;
        return line.find("_  (") != std::string::npos;
    }

    // One action in the grid editor, as a learner types: a number of 1 to 4 digits (now and then
    // with a point or a comma, a decimal when it stands between digits and refused where it
    // ends the number or stands twice) and Enter, Tab or E (accepting); now and then a key that
    // adds or removes an equation or an unknown; or, while the line shows a refused entry,
    // Backspace to mend it, tapped or held until it repeats, or Escape to give up the editor.
    int act_on_editor(int start)
    {
        if (refused_entry_shown() && chance(50))
            return hold_key_for(start, KEY_ESC, 27, pick(1, 3));
        if (refused_entry_shown())
            return hold_key_for(start, KEY_BACKSPACE, 8, chance(50) ? pick(1, 3) : pick(30, 60));
        if (chance(5))
            return play_one_of(start, {KEY_PGUP, KEY_PGDN, KEY_INSERT, KEY_DEL});
        std::string number = chance(30) ? "-" : "";
        for (int digits = pick(1, 4); digits > 0; digits--)
            number += static_cast<char>('0' + pick(0, 9));
        for (int marks = chance(20) ? pick(1, 2) : 0; marks > 0; marks--)
            number.insert(static_cast<std::size_t>(pick(1, static_cast<int>(number.size()))),
                          chance(50) ? "." : ",");
        log_.add(start, "type '" + number + "' into the grid editor");
        int f = start;
        for (unsigned char c : number)
            f = type_character(f, c) + pick(1, 4);
        if (chance(50))
            return hold_key_for(f, KEY_E, 'e', pick(1, 3)); // accepts the system
        return chance(70) ? hold_key_for(f, KEY_ENTER, 13, pick(1, 3))
                          : hold_key_for(f, KEY_TAB, 9, pick(1, 3));
    }

    // One action in the open file selector: its OK or Cancel button, Escape or Enter, or a name
    // from the lists typed into its path field and Enter; never a click on its list nor Tab,
    // which would give the list the typing (and its "../" a way out of the scratch folder).
    int act_on_selector(int start)
    {
        const int kind = pick(1, 100);
        if (kind <= 30) {
            const Rect button = selector_button(chance(50) ? "OK" : "Cancel");
            if (button.x2 > button.x1)
                return click(start, point_in(button), true);
        }
        if (kind <= 50)
            return play_one_of(start, {KEY_ESC, KEY_ENTER});
        if (kind <= 90) {
            const std::string name = one_of(names_);
            log_.add(start, "type '" + name + "' into the selector");
            return hold_key_for(type_text(start, name), KEY_ENTER, 13, pick(1, 3));
        }
        return start + pick(1, 20); // idle
    }

    // Answers the menu's question before ending with a typed system: Enter (the menu ends and is
    // entered again), another key, or a click anywhere (the menu stays).
    int answer_ending_question(int start)
    {
        const int kind = pick(1, 100);
        if (kind <= 40)
            return play_one_of(start, {KEY_ENTER, KEY_ENTER_PAD});
        if (kind <= 75)
            return play_one_of(start, {KEY_ESC, KEY_K, KEY_S, KEY_N, KEY_SPACE, KEY_X});
        return click(start, any_point(), true);
    }

    // Plans the next action from what the last frame showed: in the file selector its own, on
    // the menu mostly back to the work screen, on the settings screen mostly back to the menu,
    // with the menu's question before ending answered first.
    void plan(int frame)
    {
        const Shown shown = finished_frame().shown;
        int end = 0;
        if (active_dialog)
            end = act_on_selector(frame);
        else if (ending_question_shown())
            end = answer_ending_question(frame);
        else if (shown == Shown::menu && chance(75))
            end = chance(60) ? hold_key_for(frame, KEY_S, 's', hold_length())
                             : click(frame, point_in(menu_work_button), true);
        else if (shown == Shown::menu && chance(30))
            end = chance(60) ? hold_key_for(frame, KEY_N, 'n', hold_length())
                             : click(frame, point_in(menu_settings_button), true);
        else if (shown == Shown::menu && chance(50))
            end = chance(60) ? play_one_of(frame, {KEY_K, KEY_ESC})
                             : click(frame, point_in(menu_quit_button), true);
        else if (shown == Shown::settings && chance(60))
            end = chance(60) ? play_one_of(frame, {KEY_ESC, KEY_S})
                             : click(frame, point_in(settings_back_button), true);
        else if (shown == Shown::settings && chance(30))
            end = chance(60) ? hold_key_for(frame, KEY_M, 'm', hold_length())
                             : click(frame, point_in(settings_pulse_button), true);
        else if (editing_grid() && (refused_entry_shown() ? chance(90) : chance(40)))
            end = act_on_editor(frame);
        else
            end = act_on_work(frame);
        next_action_ = chance(10) ? pick(frame + 1, std::max(frame + 1, end)) : end + pick(0, 6);
    }

    // Applies one event to the keyboard or the mouse, and logs it.
    void apply(int frame, const Event &event)
    {
        switch (event.input) {
        case Input::key_down:
            key[event.scancode] = 1;
            held_.insert(event.scancode);
            simulate_ukeypress(event.ascii, event.scancode);
            break;
        case Input::key_repeat:
            simulate_ukeypress(event.ascii, event.scancode);
            break;
        case Input::key_up:
            if (held_.count(event.scancode))
                held_.erase(held_.find(event.scancode));
            if (!held_.count(event.scancode))
                key[event.scancode] = 0;
            break;
        case Input::move:
            point_at(event.x, event.y);
            break;
        case Input::left_down:
            mouse_b |= 1;
            break;
        case Input::left_up:
            mouse_b &= ~1;
            break;
        case Input::right_down:
            mouse_b |= 2;
            break;
        case Input::right_up:
            mouse_b &= ~2;
            break;
        }
        log_.add(frame, event_text(event));
    }

    // Applies every event due at this frame.
    void apply_due(int frame)
    {
        auto due = pending_.begin();
        while (due != pending_.end() && due->first <= frame) {
            apply(frame, due->second);
            due = pending_.erase(due);
        }
    }

    // Drops what was planned and lets go of every key and button.
    void start_settling(int frame)
    {
        pending_.clear();
        steps_left_ = 0;
        for (int scancode : std::set<int>(held_.begin(), held_.end()))
            key[scancode] = 0;
        held_.clear();
        mouse_b = 0;
        point_at(620, 20); // off the buttons and the grid
        log_.add(frame, "let go of everything and point at 620,20");
        settling_ = true;
        settle_start_ = frame;
        escapes_ = 0;
        escape_down_at_ = -1;
        escape_up_at_ = frame;
        menu_frames_ = 0;
    }

    // Presses Escape, each press once the last was let go and nothing is being cancelled,
    // until the menu has shown for three frames; at the end of the run then quits the menu.
    std::string settle(int frame, Coverage &coverage)
    {
        menu_frames_ = finished_frame().shown == Shown::menu ? menu_frames_ + 1 : 0;
        if (escape_down_at_ >= 0 && frame - escape_down_at_ >= 2) {
            apply(frame, {Input::key_up, KEY_ESC, 27});
            escape_down_at_ = -1;
            escape_up_at_ = frame;
        }
        if (escape_down_at_ < 0 && menu_frames_ >= 3)
            return settled(frame, coverage);
        const bool busy = pointer_image == images[image_busy_pointer];
        if (escape_down_at_ < 0 && !busy && escapes_ < max_escapes && frame - escape_up_at_ >= 4) {
            apply(frame, {Input::key_down, KEY_ESC, 27});
            escape_down_at_ = frame;
            escapes_++;
        }
        if (frame - settle_start_ > 12000 ||
            (escapes_ == max_escapes && escape_down_at_ < 0 && frame - escape_up_at_ > 600))
            return "the menu did not show after " + std::to_string(escapes_) +
                   " presses of Escape with nothing else held, " +
                   std::to_string(frame - settle_start_) +
                   " frames after letting go: a loop waits for input that never comes";
        return "";
    }

    // The menu shows: random play goes on, or at the end the menu is quit with K.
    std::string settled(int frame, Coverage &coverage)
    {
        settling_ = false;
        coverage.settles++;
        coverage.longest_settle = std::max(coverage.longest_settle, frame - settle_start_);
        next_settle_ = frame + pick(200, 1500);
        next_action_ = frame;
        if (frame >= frames_) {
            ending_ = true;
            ending_at_ = frame;
            const bool asking = ending_question_shown();
            apply(frame, {Input::key_down, asking ? KEY_ENTER : KEY_K, asking ? 13 : 'k'});
            finished_ = asking;
        }
        return "";
    }

    // At the end of the run K was pressed on the menu, which ends at once or asks about a typed
    // system never saved: then K is let go and Enter ends it.
    std::string end_run(int frame)
    {
        if (frame == ending_at_ + 2)
            apply(frame, {Input::key_up, KEY_K, 'k'});
        if (finished_ || frame < ending_at_ + 4)
            return "";
        if (!ending_question_shown())
            return "K at the end of the run neither ended the menu nor made it ask";
        apply(frame, {Input::key_down, KEY_ENTER, 13});
        finished_ = true;
        return "";
    }
};

// ---------------------------------------------------------------- the run

// Ends the process with the failure when no frame begins for 30 s: a loop that never paints
// would otherwise hang the test until ctest's time-out, without its seed.
class Watchdog
{
  public:
    Watchdog(const std::string &header, const InputLog &log)
        : thread_([this, header, &log] { watch(header, log); })
    {
    }
    ~Watchdog()
    {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    void frame_began(int frame)
    {
        frame_ = frame;
        last_ = std::chrono::steady_clock::now().time_since_epoch().count();
    }

  private:
    std::atomic<int> frame_{0};
    std::atomic<long long> last_{std::chrono::steady_clock::now().time_since_epoch().count()};
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::thread thread_;

    void watch(const std::string &header, const InputLog &log)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!wake_.wait_for(lock, std::chrono::seconds(1), [this] { return stop_; })) {
            const auto since = std::chrono::steady_clock::duration(
                std::chrono::steady_clock::now().time_since_epoch().count() - last_);
            if (since > std::chrono::seconds(30)) {
                std::fprintf(stderr,
                             "%s\nno frame began for 30 s after frame %d: a loop does not paint "
                             "(or blocks)\nlast input events:\n%s",
                             header.c_str(), frame_.load(), log.text().c_str());
                std::fflush(stderr);
                std::_Exit(2);
            }
        }
    }
};

// Prints what a vsync finds, for reading a replayed failure frame by frame.
void trace(int frame)
{
    std::fprintf(stderr,
                 "vsync %d: last frame %s, status '%s', line '%s', caption '%s', order %d, "
                 "%s pointer at %d,%d, buttons %d%s\n",
                 frame, shown_name(finished_frame().shown), status_text, line_text,
                 shown_step.caption.c_str(), matrix_shape.rows,
                 pointer_image == images[image_busy_pointer] ? "busy" : "normal", mouse_x, mouse_y,
                 mouse_b, editing_line() ? ", typing a name" : "");
}

// A text with the scratch folder's path taken out: a save's message names it, and each run
// has a folder of its own.
std::string without_folder(std::string text)
{
    const std::string folder = std::filesystem::current_path().string();
    const std::size_t at = text.find(folder);
    return at == std::string::npos ? text : text.erase(at, folder.size());
}

// The outcome of one random run.
struct RandomRun {
    std::string failure; // the first failure, with the seed and the events; "" when none
    Coverage coverage;
    double seconds = 0;
    int frames = 0;
    unsigned long long digest = 0; // of every frame's texts and store, to compare two runs
};

// Plays `frames` frames of seed `seed` from the menu, with the checks after every frame.
RandomRun play_random_run(unsigned long seed, long frames, const std::vector<std::string> &names)
{
    const std::string header = "random-input run with GJ_RANDOM_SEED=" + std::to_string(seed) +
                               " GJ_RANDOM_FRAMES=" + std::to_string(frames);
    InputLog log;
    Checker checker;
    Generator generator(seed, frames, names, log);
    Watchdog watchdog(header, log);
    RandomRun result;
    const long trace_from = std::getenv("GJ_RANDOM_TRACE")
                                ? static_cast<long>(environment_number("GJ_RANDOM_TRACE", 0))
                                : -1;
    seed_random_exercises(seed); // the random systems of N are part of the replay
    const auto started = std::chrono::steady_clock::now();
    // Notes the first failure with what led to it, and unwinds the loops (without a question).
    const auto fail = [&](int frame, const std::string &failure) {
        result.failure = header + "\nat frame " + std::to_string(frame) + ": " + failure +
                         "\nlast input events:\n" + log.text() + "replay: " + header +
                         " build/tests/script/random_input_tests";
        request_quit(1);
    };
    const Script script = [&](int frame) {
        watchdog.frame_began(frame);
        if (!result.failure.empty())
            return true; // the loops are unwinding
        if (trace_from >= 0 && frame >= trace_from)
            trace(frame);
        std::string failure = checker.check(result.coverage);
        result.digest = result.digest * 1000003 +
                        std::hash<std::string>()(without_folder(line_text)) +
                        std::hash<std::string>()(exact_key());
        if (failure.empty())
            failure = generator.play(frame, result.coverage);
        checker.note_inputs(generator.inputs_idle());
        if (!failure.empty())
            fail(frame, failure);
        return !generator.finished();
    };
    keep_frame_records(false);
    const ScriptRun run = run_script(
        [&] {
            for (;;) {
                checker.menu_entered();
                menu_screen();
                if (quit_requested)
                    return;
                const std::string failure = checker.check_menu_ended();
                if (!failure.empty())
                    return fail(current_frame(), failure);
                if (generator.ending())
                    return;
                result.coverage.menu_entries++;
            }
        },
        script, 120, static_cast<int>(frames) + 50000);
    keep_frame_records(true);
    quit_requested = 0;
    exit_code = 0;
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    result.frames = current_frame();
    if (run.ran_out && result.failure.empty())
        result.failure = header + "\nthe run did not end: the harness had to unwind the loops";
    return result;
}

using RandomInputTest = ScriptTest;

TEST_F(RandomInputTest, RandomKeysClicksAndNamesKeepEveryFrameTrue)
{
    ScratchFolder folder;
    ASSERT_TRUE(folder.ready());
    hide_step();
    // GJ_RANDOM_LANGUAGE=en plays the run in English, every text from the built catalog.
    const char *language = std::getenv("GJ_RANDOM_LANGUAGE");
    if (language && std::string(language) == "en") {
        setenv("TEXTDOMAINDIR", CATALOG_DIR, 1);
        choose_language(language_english);
        ASSERT_STREQ(tr("Krokuj!"), "Step on!");
    }
    const unsigned long seed = environment_number("GJ_RANDOM_SEED", default_seed);
    const long frames = frames_to_play();
    const RandomRun run = play_random_run(seed, frames, folder.names());
    ASSERT_TRUE(run.failure.empty()) << run.failure;
    const Coverage &c = run.coverage;
    std::printf("random-input run: seed %lu, %d frames in %.1f s (%.0f frames/s)\n"
                "  %ld loads (%ld refused), %ld distinct stores, %ld gate frames, %ld finishes, "
                "%ld steps back\n"
                "  %ld readout and %ld state-message checks, %ld frames checked while cancelling\n"
                "  %ld menu re-entries, %ld settles (longest %d frames)\n"
                "  %ld frames in the grid editor, %ld random systems, %ld frames in the file "
                "selector, %ld asking to replace a file, %ld saves, %ld asking before ending\n"
                "  %ld stores made by the learner's operations, %ld refused, %ld hints\n",
                seed, run.frames, run.seconds, run.frames / run.seconds, c.loads, c.failed_loads,
                c.stores_reached, c.gates_seen, c.finishes_seen, c.steps_back, c.readout_checks,
                c.status_checks, c.busy_checks, c.menu_entries, c.settles, c.longest_settle,
                c.editor_frames, c.random_systems, c.selector_frames, c.question_frames, c.saves, c.endings_asked,
                c.practice_stores, c.refusals, c.hints);
    if (seed == default_seed && frames >= default_frames) {
        // The run went everywhere the checks look: without these a broken generator would pass.
        EXPECT_GT(c.loads, 20);
        EXPECT_GT(c.failed_loads, 5);
        EXPECT_GT(c.stores_reached, 30);
        EXPECT_GT(c.steps_back, 10);
        EXPECT_GT(c.finishes_seen, 0);
        EXPECT_GT(c.readout_checks, 100);
        EXPECT_GT(c.status_checks, 100);
        EXPECT_GT(c.busy_checks, 50);
        EXPECT_GT(c.menu_entries, 0);
        EXPECT_GT(c.editor_frames, 100);
        EXPECT_GT(c.random_systems, 0);
        EXPECT_GT(c.selector_frames, 100);
        EXPECT_GT(c.saves, 0);
        EXPECT_GT(c.endings_asked, 0);
        EXPECT_GE(c.settles, frames / 1500);
        EXPECT_GT(c.practice_stores, 5);
        EXPECT_GT(c.refusals, 2);
        EXPECT_GT(c.hints, 2);
    }
}

TEST_F(RandomInputTest, TheSameSeedPlaysTheSameRun)
{
    std::vector<unsigned long long> digests;
    for (int run = 0; run < 2; run++) {
        ScratchFolder folder; // afresh: a run's saves (W) change the files
        ASSERT_TRUE(folder.ready());
        reset_program_state();
        hide_step();
        const RandomRun played = play_random_run(7, 3000, folder.names());
        ASSERT_TRUE(played.failure.empty()) << played.failure;
        digests.push_back(played.digest);
    }
    EXPECT_EQ(digests[0], digests[1]);
}

} // namespace
