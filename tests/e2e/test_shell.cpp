// The real program's shell: its window, the menu and settings screens, the pulsing
// background, quitting by key and ending through the window's close button.
#include "e2e_support.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

namespace
{

// The pulse indicator's place on the settings screen.
constexpr Box indicator_box{425, 298, 472, 333};

// The steady background colour with the pulse off.
constexpr Rgb steady_colour{128, 128, 255};

class ShellTest : public ProgramTest
{
  protected:
    // Starts the program and waits until it shows its menu.
    void start_at_menu()
    {
        launch();
        ASSERT_TRUE(find_window()) << "no window; exit code " << program_.exit_code;
        park_pointer();
        ASSERT_TRUE(wait_for_screen("uvod")) << "the menu image is not shown";
    }

    // Waits until the settings screen's indicator shows the named image.
    bool wait_for_indicator(const std::string &image)
    {
        const Picture picture = program_picture(image);
        return wait_until(
            [&](const Shot &shot) {
                int compared = 0;
                const int differing =
                    count_mismatches(shot, picture, indicator_box.x1, indicator_box.y1, 1,
                                     {pointer_box()}, &compared);
                return compared > 100 && differing == 0;
            },
            3.0);
    }

    // The background colour at `point` in screenshots taken for `seconds`.
    std::vector<Rgb> sample_colour(std::pair<int, int> point, double seconds)
    {
        std::vector<Rgb> samples;
        const auto start = std::chrono::steady_clock::now();
        while (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() <
               seconds) {
            samples.push_back(take_shot().at(point.first, point.second));
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
        }
        return samples;
    }

    // The program ends with exit code 0 within two seconds.
    void expect_clean_exit()
    {
        int code = -1;
        ASSERT_TRUE(wait_program_exit(2.0, code)) << "the program did not end";
        EXPECT_EQ(code, 0);
    }
};

// A few transparent pixels of the settings image, away from the indicator and pointer.
std::vector<std::pair<int, int>> transparent_points(const Picture &picture, const Box &pointer)
{
    std::vector<std::pair<int, int>> points;
    for (int y = 4; y < picture.height && points.size() < 6; y += 23) {
        for (int x = 4; x < picture.width && points.size() < 6; x += 29) {
            if (picture.transparent_at(x, y) && !indicator_box.contains(x, y) &&
                !pointer.contains(x, y))
                points.emplace_back(x, y);
        }
    }
    return points;
}

} // namespace

TEST_F(ShellTest, MenuShowsItsImageAndKQuitsWithCodeZero)
{
    ASSERT_NO_FATAL_FAILURE(start_at_menu());
    hold_key("k");
    expect_clean_exit();
}

TEST_F(ShellTest, SettingsScreenTogglesThePulseAndEscGoesBack)
{
    ASSERT_NO_FATAL_FAILURE(start_at_menu());
    hold_key("n");
    ASSERT_TRUE(wait_for_screen("about", {indicator_box})) << "N does not show the settings screen";
    ASSERT_TRUE(wait_for_indicator("butyes")) << "the pulse starts on";

    const auto points = transparent_points(program_picture("about"), pointer_box());
    ASSERT_FALSE(points.empty()) << "the settings image has no transparent area to watch";
    const std::pair<int, int> point = points.front();

    // Pulsing: the background runs between blue and white, so within a second its red
    // part moves far, while blue stays full and red equals green.
    const std::vector<Rgb> pulsing = sample_colour(point, 1.0);
    const auto [low, high] = std::minmax_element(
        pulsing.begin(), pulsing.end(), [](const Rgb &a, const Rgb &b) { return a.r < b.r; });
    EXPECT_GE(high->r - low->r, 40) << "the background does not pulse";
    for (const Rgb &c : pulsing) {
        EXPECT_GE(c.b, 247);
        EXPECT_LE(std::abs(c.r - c.g), 8);
    }

    hold_key("m");
    ASSERT_TRUE(wait_for_indicator("butno")) << "M does not switch the pulse off";
    ASSERT_TRUE(wait_until(
        [&](const Shot &shot) {
            return near_16bit(shot.at(point.first, point.second), steady_colour);
        },
        1.0))
        << "the background does not settle at (128, 128, 255)";
    for (const Rgb &c : sample_colour(point, 0.5))
        EXPECT_TRUE(near_16bit(c, steady_colour)) << c.r << "," << c.g << "," << c.b;
    // Every transparent point shows the same steady colour.
    const Shot steady = take_shot();
    for (const auto &[x, y] : points)
        EXPECT_TRUE(near_16bit(steady.at(x, y), steady_colour)) << "at " << x << "," << y;

    hold_key("m");
    ASSERT_TRUE(wait_for_indicator("butyes")) << "M does not switch the pulse back on";
    EXPECT_TRUE(wait_until(
        [&](const Shot &shot) { return shot.at(point.first, point.second).r < 110; }, 1.5))
        << "the pulse does not resume";

    hold_key("Escape");
    ASSERT_TRUE(wait_for_screen("uvod")) << "Esc does not return to the menu";
    // Esc on the menu quits.
    hold_key("Escape");
    expect_clean_exit();
}

TEST_F(ShellTest, ButtonsWorkWithTheMouse)
{
    ASSERT_NO_FATAL_FAILURE(start_at_menu());
    click_at(307, 284); // settings
    ASSERT_TRUE(wait_for_screen("about", {indicator_box})) << "the settings button does nothing";
    click_at(448, 315); // pulse indicator
    ASSERT_TRUE(wait_for_indicator("butno")) << "clicking the indicator does not switch the pulse";
    click_at(304, 432); // back
    park_pointer();
    ASSERT_TRUE(wait_for_screen("uvod")) << "the back button does not return to the menu";
    click_at(307, 182); // work screen
    park_pointer();
    ASSERT_TRUE(wait_for_screen("start")) << "the work button does not open the work screen";
    click_at(531, 437); // back
    park_pointer();
    ASSERT_TRUE(wait_for_screen("uvod")) << "the work screen's back button does not return";

    // The quit button's bounds are exclusive: a click on its very corner does nothing.
    click_at(160, 363);
    park_pointer();
    ASSERT_TRUE(wait_for_screen("uvod"));
    int code = -1;
    EXPECT_FALSE(wait_program_exit(0.3, code)) << "a click on the corner quit with " << code;
    click_at(307, 386);
    expect_clean_exit();
}

// A close request reaches the program wherever it waits.
struct CloseCase {
    const char *name;
    std::vector<std::pair<const char *, const char *>> steps; // key to hold from the menu,
                                                              // then the image to wait for
                                                              // (nullptr: none)
    const char *line; // the text line expected before closing, or nullptr
};

// Names the case in test output.
void PrintTo(const CloseCase &c, std::ostream *out)
{
    *out << c.name;
}

class CloseButtonTest : public ShellTest, public ::testing::WithParamInterface<CloseCase>
{
};

TEST_P(CloseButtonTest, EndsTheProgramWithCodeZero)
{
    const CloseCase &c = GetParam();
    ASSERT_NO_FATAL_FAILURE(start_at_menu());
    for (const auto &[key_name, image] : c.steps) {
        hold_key(key_name);
        if (image) {
            ASSERT_TRUE(wait_for_screen(image, {indicator_box}))
                << key_name << " does not show " << image;
        }
    }
    if (c.line) {
        ASSERT_TRUE(wait_for_line(c.line)) << "the text line does not read " << c.line;
    }
    close_window();
    expect_clean_exit();
}

INSTANTIATE_TEST_SUITE_P(Screens, CloseButtonTest,
                         ::testing::Values(CloseCase{"Menu", {}, nullptr},
                                           CloseCase{"Settings", {{"n", "about"}}, nullptr},
                                           CloseCase{"WorkScreen", {{"s", "start"}}, nullptr},
                                           CloseCase{"FileNamePrompt",
                                                     {{"s", "start"}, {"z", nullptr}},
                                                     "Zadaj meno suboru"}),
                         [](const ::testing::TestParamInfo<CloseCase> &param) {
                             return std::string(param.param.name);
                         });

// A system typed in the grid editor and never saved: the close button asks on the menu first,
// another key stays there, and the close button pressed again while it asks ends at once.
TEST_F(ShellTest, TheCloseButtonAsksBeforeLosingATypedSystemAndAgainEndsAtOnce)
{
    ASSERT_NO_FATAL_FAILURE(start_at_menu());
    hold_key("s");
    ASSERT_TRUE(wait_for_screen("start"));
    hold_key("e");
    ASSERT_TRUE(wait_for_line("Riadok 1, stlpec 1: cislo a Enter; sipky, Tab, klik: ina bunka"));
    tap_key("5");
    ASSERT_TRUE(wait_for_line("Riadok 1, stlpec 1: 5_"));
    tap_key("e");
    ASSERT_TRUE(wait_for_line("")) << "E did not accept the system";
    const std::string question = "Napisana sustava nie je zapisana (zapisat: S, potom W).";
    close_window();
    ASSERT_TRUE(wait_for_line(question, 1.0)) << "the close button did not ask";
    tap_key("space");
    ASSERT_TRUE(wait_for_screen("uvod")) << "another key did not leave the menu as it was";
    int code = -1;
    EXPECT_FALSE(wait_program_exit(0.3, code)) << "the program ended with " << code;
    close_window();
    ASSERT_TRUE(wait_for_line(question, 1.0)) << "the close button did not ask again";
    const auto start = std::chrono::steady_clock::now();
    close_window();
    ASSERT_TRUE(wait_program_exit(2.0, code)) << "the second press did not end the program";
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 1.0);
    EXPECT_EQ(code, 0);
}

namespace
{

// Where the program is when it is told to end.
enum class Place {
    file_prompt,        // the file-name prompt, a loop nested in the work screen's
    solve_cancelling,   // the first step of a solve of a 10x10 of 120-digit entries, cancelling
    learner_cancelling, // a learner's operation on that system, cancelling
};

// How it is told: a signal, the window's close button or its X server going away.
enum class Telling { signal, close_button, lost_xserver };

// An ending from outside, and what it must come to.
struct OutsideEnding {
    const char *name;
    Place place;
    Telling telling;
    int signal;        // the signal sent, for Telling::signal
    int status;        // the exit status it must end with
    double seconds;    // how soon after it the program must be gone
    const char *error; // all it writes on standard error
};

// Names the case in test output.
void PrintTo(const OutsideEnding &c, std::ostream *out)
{
    *out << c.name;
}

// A 10x10 system of 120-digit entries, the same in every run: each cell of its solve's first
// step takes dozens of frames to cancel.
std::string system_of_120_digits()
{
    std::mt19937_64 random(19);
    std::string text = "10\n";
    for (int r = 0; r < 10; r++) {
        for (int c = 0; c <= 10; c++) {
            std::string number = random() % 2 ? " -" : " ";
            number += static_cast<char>('1' + random() % 9);
            for (int digit = 1; digit < 120; digit++)
                number += static_cast<char>('0' + random() % 10);
            text += number;
        }
        text += "\n";
    }
    return text;
}

// A learner's operation on it whose cancelling takes about 40 frames a cell: the first row
// divided by a 20-digit number.
constexpr const char *long_cancelling_operation = "R1<-1/98765432109876543211R1";

class OutsideEndingTest : public ShellTest, public ::testing::WithParamInterface<OutsideEnding>
{
  protected:
    // True when the busy pointer is drawn at the parked place: a row is being cancelled.
    bool busy_pointer_shown(const Shot &shot) const
    {
        static const Picture busy = program_picture("cakaj");
        int compared = 0;
        const int differing =
            count_mismatches(shot, busy, parked_x - 6, parked_y - 10, 1, {}, &compared);
        return compared > 20 && differing == 0;
    }

    // Brings the program to the place, from its start.
    void reach(Place place)
    {
        ASSERT_NO_FATAL_FAILURE(start_at_menu());
        hold_key("s");
        ASSERT_TRUE(wait_for_screen("start"));
        if (place == Place::file_prompt) {
            hold_key("z");
            ASSERT_TRUE(wait_for_line("Zadaj meno suboru"));
            return;
        }
        write_file("sto.txt", system_of_120_digits());
        ASSERT_NO_FATAL_FAILURE(load_file("sto.txt"));
        ASSERT_TRUE(wait_for_line("")) << "the system did not load";
        if (place == Place::solve_cancelling) {
            hold_key("r");
            ASSERT_TRUE(wait_for_line("Krokuj!")) << "R did not start the solve";
            tap_key("space");
        } else {
            hold_key("u");
            ASSERT_TRUE(wait_for_line("Uprava:")) << "U did not open its prompt";
            ASSERT_NO_FATAL_FAILURE(type_text(long_cancelling_operation));
            tap_key("Return");
        }
        ASSERT_TRUE(wait_until([&](const Shot &shot) { return busy_pointer_shown(shot); }, 5.0))
            << "no cancelling began";
        // Well into the cancelling, which goes on for seconds.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        Shot still;
        ASSERT_TRUE(
            wait_until([&](const Shot &shot) { return busy_pointer_shown(shot); }, 0.1, &still))
            << "the cancelling was over too soon for the test";
    }
};

TEST_P(OutsideEndingTest, EndsCleanlyWithItsStatusInTime)
{
    const OutsideEnding &c = GetParam();
    error_path_ = scratch_ + "/stderr.txt";
    ASSERT_NO_FATAL_FAILURE(reach(c.place));
    const auto start = std::chrono::steady_clock::now();
    if (c.telling == Telling::signal) {
        ASSERT_EQ(kill(program_.pid, c.signal), 0);
    } else if (c.telling == Telling::close_button) {
        close_window();
    } else {
        stop_xserver_under_program();
    }
    int code = -1;
    ASSERT_TRUE(wait_program_exit(5.0, code)) << "the program did not end";
    const double took =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(program_.signal, 0) << "the program was killed by signal " << program_.signal;
    EXPECT_EQ(code, c.status);
    EXPECT_LT(took, c.seconds);
    std::stringstream error;
    error << std::ifstream(error_path_).rdbuf();
    EXPECT_EQ(error.str(), c.error);
}

constexpr const char *lost_xserver_line = "gauss-jordan: spojenie s X serverom sa prerusilo\n";

INSTANTIATE_TEST_SUITE_P(
    Outside, OutsideEndingTest,
    ::testing::Values(
        OutsideEnding{"Terminate", Place::file_prompt, Telling::signal, SIGTERM, 128 + SIGTERM, 1.0,
                      ""},
        OutsideEnding{"Interrupt", Place::file_prompt, Telling::signal, SIGINT, 128 + SIGINT, 1.0,
                      ""},
        OutsideEnding{"HangUp", Place::file_prompt, Telling::signal, SIGHUP, 128 + SIGHUP, 1.0, ""},
        OutsideEnding{"XServerGone", Place::file_prompt, Telling::lost_xserver, 0, 1, 2.0,
                      lost_xserver_line},
        OutsideEnding{"TerminateWhileASolveCancels", Place::solve_cancelling, Telling::signal,
                      SIGTERM, 128 + SIGTERM, 1.0, ""},
        OutsideEnding{"CloseWhileASolveCancels", Place::solve_cancelling, Telling::close_button, 0,
                      0, 1.0, ""},
        OutsideEnding{"InterruptWhileALearnersOperationCancels", Place::learner_cancelling,
                      Telling::signal, SIGINT, 128 + SIGINT, 1.0, ""},
        OutsideEnding{"CloseWhileALearnersOperationCancels", Place::learner_cancelling,
                      Telling::close_button, 0, 0, 1.0, ""}),
    [](const ::testing::TestParamInfo<OutsideEnding> &param) {
        return std::string(param.param.name);
    });

// The three signals that end the program from outside, in their bits of /proc's signal masks.
constexpr unsigned long long shutdown_signal_bits =
    (1ull << (SIGTERM - 1)) | (1ull << (SIGINT - 1)) | (1ull << (SIGHUP - 1));

// The blocked-signal mask of the process `pid` as /proc shows it, 0 when it cannot be read.
unsigned long long blocked_signals(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("SigBlk:", 0) == 0)
            return std::stoull(line.substr(7), nullptr, 16);
    return 0;
}

using StartUpEndingTest = ShellTest;

// A signal during start-up, after the program has begun to run its own code (before that, the
// system's loader alone runs, and a signal ends the process as it would any other): from the
// moment the program holds the signals back, through the library's start and the first frames.
TEST_F(StartUpEndingTest, ASignalDuringStartUpEndsWith128PlusItsNumberAndNoCore)
{
    error_path_ = scratch_ + "/stderr.txt";
    const std::array<int, 3> signals{SIGTERM, SIGINT, SIGHUP};
    const std::array<int, 6> delays_ms{0, 3, 8, 15, 30, 60};
    for (int attempt = 0; attempt < 18; attempt++) {
        const int signal = signals[static_cast<std::size_t>(attempt % 3)];
        const int delay = delays_ms[static_cast<std::size_t>(attempt / 3)];
        SCOPED_TRACE("signal " + std::to_string(signal) + ", " + std::to_string(delay) +
                     " ms after the program held the signals back");
        launch();
        const auto launched = std::chrono::steady_clock::now();
        while ((blocked_signals(program_.pid) & shutdown_signal_bits) != shutdown_signal_bits &&
               std::chrono::steady_clock::now() - launched < std::chrono::seconds(5))
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
        const auto start = std::chrono::steady_clock::now();
        ASSERT_EQ(kill(program_.pid, signal), 0);
        int code = -1;
        ASSERT_TRUE(wait_program_exit(5.0, code)) << "the program did not end";
        const double took =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_EQ(program_.signal, 0) << "the program was killed by signal " << program_.signal;
        EXPECT_EQ(code, 128 + signal);
        EXPECT_LT(took, 1.0);
        std::stringstream error;
        error << std::ifstream(error_path_).rdbuf();
        EXPECT_EQ(error.str(), "");
    }
}

} // namespace
