// The command line, the remembered settings file and the zoomed window's pointer mapping.
#include "app/command_line.h"
#include "matrix/random_argument.h"
#include "platform/display.h"
#include "platform/layout.h"
#include "platform/settings_file.h"
#include "store_helpers.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace
{

// Arguments after the program's name and what they ask for.
struct CommandCase {
    std::vector<const char *> arguments;
    CommandAction action;
    const char *file;
    int zoom;
    bool latex;
    const char *error = ""; // the start of what a usage error says
    const char *files = ""; // every file named, space-separated ("": not checked)
    int random_order = 0;
    std::uint64_t seed = 0;
    bool inverse = false;
    int random_unknowns = -1; // -1: as many as random_order
    int count = 0;
};

const std::vector<CommandCase> command_cases{
    {{}, command_run, "", 0, false},
    {{"dva.txt"}, command_run, "dva.txt", 0, false},
    {{"--zoom", "2", "dva.txt"}, command_run, "dva.txt", 2, false},
    {{"--zoom=4"}, command_run, "", 4, false},
    {{"--steps", "dva.txt"}, command_steps, "dva.txt", 0, false},
    {{"dva.txt", "--latex"}, command_steps, "dva.txt", 0, true},
    {{"--", "--steps"}, command_run, "--steps", 0, false},
    {{"-"}, command_run, "-", 0, false},
    {{"--help", "--bogus"}, command_help, "", 0, false},
    {{"--version"}, command_version, "", 0, false},
    {{"--bogus"}, command_usage_error, "", 0, false},
    {{"-x", "dva.txt"}, command_usage_error, "", 0, false},
    {{"a.txt", "b.txt"}, command_usage_error, "", 0, false, "prilis vela mien suborov: 'b.txt'"},
    {{"--steps"}, command_usage_error, "", 0, false, "--steps potrebuje meno suboru"},
    {{"--zoom"}, command_usage_error, "", 0, false},
    {{"--zoom", "5"}, command_usage_error, "", 0, false},
    {{"--zoom", "0"}, command_usage_error, "", 0, false},
    {{"--zoom=x"}, command_usage_error, "", 0, false},
    {{"--zoom", "2", "--steps", "dva.txt"}, command_usage_error, "", 0, false},
    {{"--latex"}, command_usage_error, "", 0, false, "--latex potrebuje meno suboru"},
    {{"--exercise", "a", "b", "c"}, command_exercise, "a", 0, false, "", "a b c"},
    {{"--exercise", "a.txt"}, command_exercise, "a.txt", 0, false, "", "a.txt"},
    {{"--exercise"}, command_usage_error, "", 0, false, "--exercise potrebuje aspon jedno"},
    {{"--exercise", "--latex", "a.txt"}, command_usage_error, "", 0, false, "--exercise sa neda"},
    {{"--exercise", "--zoom", "2", "a.txt"}, command_usage_error, "", 0, false, "--zoom patri"},
    {{"--random", "4", "--seed", "7"}, command_random, "", 0, false, "", "", 4, 7},
    {{"--seed=18446744073709551615", "--random=10"},
     command_random,
     "",
     0,
     false,
     "",
     "",
     10,
     UINT64_MAX},
    {{"--random", "1"}, command_random, "", 0, false, "", "", 1, 0},
    {{"--random", "3x4", "--seed", "9"}, command_random, "", 0, false, "", "", 3, 9, false, 4},
    {{"--exercise", "--random", "3", "--count", "30", "--seed", "7"},
     command_variants, "", 0, false, "", "", 3, 7, false, -1, 30},
    {{"--random=2x4", "--exercise"}, command_variants, "", 0, false, "", "", 2, 0, false, 4, 1},
    {{"--exercise", "--random", "4", "--count=99"}, command_variants, "", 0, false, "", "", 4, 0,
     false, -1, 99},
    {{"--exercise", "a.txt", "--count", "3"}, command_usage_error, "", 0, false, "--count patri"},
    {{"--count", "3", "--random", "3"}, command_usage_error, "", 0, false, "--count patri"},
    {{"--exercise", "--random", "3", "--count", "100"}, command_usage_error, "", 0, false,
     "--count potrebuje"},
    {{"--exercise", "--random", "3", "--count", "0"}, command_usage_error, "", 0, false,
     "--count potrebuje"},
    {{"--exercise", "--random", "3", "--count"}, command_usage_error, "", 0, false,
     "--count potrebuje"},
    {{"--exercise", "--random", "3", "a.txt"}, command_usage_error, "", 0, false,
     "--exercise --random N --count K vypise"},
    {{"--exercise", "--random", "3", "--latex"}, command_usage_error, "", 0, false,
     "--exercise --random N --count K vypise"},
    {{"--random=10X1"}, command_random, "", 0, false, "", "", 10, 0, false, 1},
    {{"--random", "2x2"}, command_random, "", 0, false, "", "", 2, 0, false, 2},
    {{"--random", "3x"}, command_usage_error, "", 0, false, "--random potrebuje"},
    {{"--random", "x4"}, command_usage_error, "", 0, false, "--random potrebuje"},
    {{"--random", "3x11"}, command_usage_error, "", 0, false, "--random potrebuje"},
    {{"--random", "0x3"}, command_usage_error, "", 0, false, "--random potrebuje"},
    {{"--random", "3x4x5"}, command_usage_error, "", 0, false, "--random potrebuje"},
    {{"--random", "3*4"}, command_usage_error, "", 0, false, "--random potrebuje"},
    {{"--random", "3 x 4"}, command_usage_error, "", 0, false, "--random potrebuje"},
    {{"--check", "tri.txt", "-"}, command_check, "tri.txt", 0, false, "", "tri.txt -"},
    {{"t.txt", "--check", "m.txt"}, command_check, "t.txt", 0, false, "", "t.txt m.txt"},
    {{"--check", "tri.txt"}, command_usage_error, "", 0, false, "--check potrebuje meno"},
    {{"--check", "a", "b", "c"}, command_check, "a", 0, false, "", "a b c"},
    {{"--check", "a", "", "c"}, command_usage_error, "", 0, false, "--check potrebuje meno"},
    {{"--check", "--steps", "a", "b"}, command_usage_error, "", 0, false, "--check SUBOR PRACA"},
    {{"--check", "--random", "3"}, command_usage_error, "", 0, false,
     "--check --random N potrebuje aspon jednu"},
    {{"--check", "--random", "3x4", "a", "b"}, command_check, "", 0, false, "", "a b", 3, 0, false,
     4},
    {{"--check", "--random=3", "--seed", "9", "--csv", "t.csv", "a"},
     command_check, "", 0, false, "", "a", 3, 9},
    {{"--csv=t.csv", "--check", "s", "a"}, command_check, "s", 0, false, "", "s a"},
    {{"--check", "--seed", "9", "s", "a"}, command_usage_error, "", 0, false, "--seed patri"},
    {{"--check", "--random", "3", "--inverse", "a"}, command_usage_error, "", 0, false,
     "--check --random N kontroluje"},
    {{"--csv", "t.csv", "s"}, command_usage_error, "", 0, false, "--csv FILE patri k --check"},
    {{"--check", "s", "a", "--csv"}, command_usage_error, "", 0, false, "--csv potrebuje"},
    {{"--check", "s", "a", "--csv", "-"}, command_usage_error, "", 0, false, "--csv potrebuje"},
    {{"--random", "0"}, command_usage_error, "", 0, false, "--random potrebuje"},
    {{"--random", "11"}, command_usage_error, "", 0, false, "--random potrebuje"},
    {{"--random", "x"}, command_usage_error, "", 0, false, "--random potrebuje"},
    {{"--random=-3"}, command_usage_error, "", 0, false, "--random potrebuje"},
    {{"--random"}, command_usage_error, "", 0, false, "--random potrebuje"},
    {{"--random", "3", "--seed"}, command_usage_error, "", 0, false, "--seed potrebuje"},
    {{"--seed=18446744073709551616"}, command_usage_error, "", 0, false, "--seed potrebuje"},
    {{"--random", "3", "--seed", "-1"}, command_usage_error, "", 0, false, "--seed potrebuje"},
    {{"--random", "3", "--seed", "12a"}, command_usage_error, "", 0, false, "--seed potrebuje"},
    {{"--seed", "7"}, command_usage_error, "", 0, false, "--seed patri"},
    {{"--random", "3", "dva.txt"}, command_usage_error, "", 0, false, "--random N vypise"},
    {{"--random", "3", "--steps"}, command_usage_error, "", 0, false, "--random N vypise"},
    {{"--random", "3", "--exercise", "a"}, command_usage_error, "", 0, false,
     "--exercise --random N --count K vypise"},
    {{"--random", "3", "--zoom", "2"}, command_usage_error, "", 0, false, "--random N vypise"},
    {{"--inverse", "a.txt"}, command_inverse, "a.txt", 0, false, "", "a.txt", 0, 0, true, 0},
    {{"--latex", "a.txt", "--inverse"}, command_inverse, "a.txt", 0, true, "", "", 0, 0, true, 0},
    {{"--check", "--inverse", "a", "b"}, command_check, "a", 0, false, "", "a b", 0, 0, true, 0},
    {{"--inverse"}, command_usage_error, "", 0, false, "--inverse potrebuje meno suboru"},
    {{"--inverse", "a", "b"}, command_usage_error, "", 0, false, "prilis vela mien suborov: 'b'"},
    {{"--inverse", "--steps", "a"}, command_usage_error, "", 0, false, "--inverse SUBOR vypise"},
    {{"--inverse", "--exercise", "a"}, command_usage_error, "", 0, false, "--inverse SUBOR"},
    {{"--inverse", "--zoom", "2", "a"}, command_usage_error, "", 0, false, "--inverse SUBOR"},
    {{"--random", "3", "--inverse"}, command_usage_error, "", 0, false, "--random N vypise"},
    {{"--check", "--inverse", "a"}, command_usage_error, "", 0, false, "--check --inverse potr"},
    {{"--check", "--inverse", "a", "b", "c"}, command_check, "a", 0, false, "", "a b c", 0, 0,
     true, 0},
    {{"--check", "--inverse", "--latex", "a", "b"},
     command_usage_error,
     "",
     0,
     false,
     "--check SUBOR PRACA"},
};

// A hand-in's first line and what it names: its system's --random argument and seed.
struct RandomLineCase {
    const char *line;
    RandomLineRead read;
    int rows = 0;
    int unknowns = 0;
    std::uint64_t seed = 0;
};

TEST(CommandLine, AHandInsFirstLineNamesItsRandomSystem)
{
    const RandomLineCase cases[] = {
        {"# --random 3 --seed 48213", random_line_read, 3, 3, 48213},
        {"# --random 3x4 --seed 0\r", random_line_read, 3, 4, 0},
        {"\xef\xbb\xbf#--random  10X1\t--seed 18446744073709551615 ", random_line_read, 10, 1,
         UINT64_MAX},
        {"", random_line_none},
        {"2 1 | 5", random_line_none},
        {"# poznamka", random_line_none},
        {"# --randomly 3 --seed 4", random_line_none},
        {"# --random 3", random_line_unreadable},
        {"# --random 11 --seed 4", random_line_unreadable},
        {"# --random 3 --seed 18446744073709551616", random_line_unreadable},
        {"# --random 3 --seed -4", random_line_unreadable},
        {"# --random 3 --seed 4 --count 2", random_line_unreadable},
        {"# --random=3 --seed=4", random_line_unreadable},
    };
    for (const RandomLineCase &c : cases) {
        RandomLine line;
        EXPECT_EQ(read_random_line(c.line, line), c.read) << c.line;
        if (c.read != random_line_read)
            continue;
        EXPECT_EQ(line.rows, c.rows) << c.line;
        EXPECT_EQ(line.unknowns, c.unknowns) << c.line;
        EXPECT_EQ(line.seed, c.seed) << c.line;
    }
}

TEST(CommandLine, ArgumentsToWhatTheyAskFor)
{
    for (const CommandCase &c : command_cases) {
        std::vector<const char *> argv{"gauss-jordan"};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        std::string name;
        for (const char *argument : c.arguments)
            name += std::string(" ") + argument;
        const CommandLine command = parse_command_line(static_cast<int>(argv.size()), argv.data());
        EXPECT_EQ(command.action, c.action) << name;
        EXPECT_EQ(command.error.empty(), c.action != command_usage_error) << name;
        EXPECT_EQ(command.error.rfind(c.error, 0), 0u) << name << ": " << command.error;
        if (c.action == command_usage_error)
            continue;
        std::string files;
        for (const std::string &file : command.files)
            files += (files.empty() ? "" : " ") + file;
        if (*c.files) {
            EXPECT_EQ(files, c.files) << name;
        }
        EXPECT_EQ(command.file, c.file) << name;
        EXPECT_EQ(command.zoom, c.zoom) << name;
        EXPECT_EQ(command.latex, c.latex) << name;
        EXPECT_EQ(command.random_order, c.random_order) << name;
        EXPECT_EQ(command.random_unknowns, c.random_unknowns < 0 ? c.random_order : c.random_unknowns)
            << name;
        EXPECT_EQ(command.seed, c.seed) << name;
        EXPECT_EQ(command.inverse, c.inverse) << name;
        EXPECT_EQ(command.count, c.count) << name;
    }
}

// A window coordinate at a zoom (and the frame's offset on a full screen) and the frame
// coordinate it points at.
struct MappingCase {
    int window;
    int scale;
    int frame;
    int offset = 0;
};

TEST(ZoomedPointer, WindowPixelsMapBackToTheFramePixelTheyShow)
{
    // In full screen, 1920x1080 shows the frame twice as large from (320, 60), 1024x768 at its
    // size from (192, 144).
    const MappingCase cases[] = {
        {0, 1, 0},        {639, 1, 639},       {0, 2, 0},         {1, 2, 0},
        {2, 2, 1},        {320, 2, 160},       {321, 2, 160},     {1279, 2, 639},
        {959, 2, 479},    {2, 3, 0},           {3, 3, 1},         {1919, 3, 639},
        {3, 4, 0},        {2559, 4, 639},      {1452, 4, 363},    {320, 2, 0, 320},
        {321, 2, 0, 320}, {1599, 2, 639, 320}, {60, 2, 0, 60},    {1019, 2, 479, 60},
        {192, 1, 0, 192}, {831, 1, 639, 192},  {623, 1, 479, 144}};
    for (const MappingCase &c : cases)
        EXPECT_EQ(frame_coordinate(c.window, c.scale, c.offset), c.frame)
            << c.window << " at zoom " << c.scale << " from " << c.offset;
    // The quit button's corner (160, 363) stays outside it at every zoom.
    for (int scale = 1; scale <= 4; scale++)
        for (int dx = 0; dx < scale; dx++)
            EXPECT_FALSE(rect_contains(menu_quit_button, frame_coordinate(160 * scale + dx, scale),
                                       frame_coordinate(363 * scale + dx, scale)));
}

// A desktop or display size, the largest zoom whose window fits it, and where a full screen
// of that size shows the frame.
struct DesktopCase {
    int width;
    int height;
    int zoom;
    FramePlacement full_screen;
};

TEST(DesktopSize, TheZoomIsCappedToTheDesktopAndFullScreenFillsItByAWholeFactor)
{
    const DesktopCase cases[] = {
        {640, 480, 1, {1, 0, 0}},       {800, 600, 1, {1, 80, 60}},
        {1024, 768, 1, {1, 192, 144}},  {1279, 960, 1, {1, 319, 240}},
        {1280, 959, 1, {1, 320, 239}},  {1280, 960, 2, {2, 0, 0}},
        {1366, 768, 1, {1, 363, 144}},  {1920, 1080, 2, {2, 320, 60}},
        {1920, 1440, 3, {3, 0, 0}},     {2200, 1600, 3, {3, 140, 80}},
        {2560, 1440, 3, {3, 320, 0}},   {2560, 1920, 4, {4, 0, 0}},
        {3840, 2160, 4, {4, 640, 120}}, {7680, 4320, 4, {9, 960, 0}},
        {600, 400, 1, {1, 0, 0}},       {0, 0, 1, {1, 0, 0}},
    };
    for (const DesktopCase &c : cases) {
        const std::string size = std::to_string(c.width) + "x" + std::to_string(c.height);
        EXPECT_EQ(largest_fitting_zoom(c.width, c.height), c.zoom) << size;
        const FramePlacement placement = frame_placement(c.width, c.height);
        EXPECT_EQ(placement.scale, c.full_screen.scale) << size;
        EXPECT_EQ(placement.x, c.full_screen.x) << size;
        EXPECT_EQ(placement.y, c.full_screen.y) << size;
    }
}

// A settings file's text and what it gives; null text: no file.
struct SettingsCase {
    const char *name;
    const char *text;
    int zoom;
    int pulse;
    int fractions = 0;
    int language = 0;
};

const std::vector<SettingsCase> settings_cases{
    {"missing", nullptr, 1, 1},
    {"empty", "", 1, 1},
    {"both", "zoom=3\npulse=0\n", 3, 0},
    {"spaces, comments, other names", "# x\n\n zoom = 2 \ncolour=red\r\n", 2, 1},
    {"last one counts", "zoom=2\nzoom=4\n", 4, 1},
    {"zoom out of range", "zoom=5\npulse=0\n", 1, 1},
    {"zoom not a number", "zoom=two\npulse=0\n", 1, 1},
    {"pulse out of range", "zoom=2\npulse=2\n", 1, 1},
    {"a line without =", "zoom=2\npulse\n", 1, 1},
    {"fractions", "zoom=2\nfractions=1\n", 2, 1, 1},
    {"fractions off", "fractions=0\npulse=0\n", 1, 0, 0},
    {"fractions out of range", "zoom=2\nfractions=2\n", 1, 1, 0},
    {"English", "zoom=2\nlanguage=2\n", 2, 1, 0, 2},
    {"Slovak", "language=1\npulse=0\n", 1, 0, 0, 1},
    {"language out of range", "zoom=2\nlanguage=3\n", 1, 1, 0, 0},
    {"language by name", "zoom=2\nlanguage=en\n", 1, 1, 0, 0},
    {"binary",
     "\x7f"
     "ELF\x01\x01",
     1, 1},
};

// A scratch folder for settings files, removed at the end.
class SettingsFile : public testing::Test
{
  protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/gj_settings_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override
    {
        std::system(("rm -rf '" + dir_ + "'").c_str());
    }
    std::string dir_;
};

TEST_F(SettingsFile, MissingOrMalformedFilesGiveTheDefaults)
{
    const std::string path = dir_ + "/gauss-jordan/settings";
    for (const SettingsCase &c : settings_cases) {
        std::remove(path.c_str());
        if (c.text) {
            mkdir((dir_ + "/gauss-jordan").c_str(), 0700);
            std::ofstream(path, std::ios::binary) << c.text;
        }
        const Settings settings = read_settings(path);
        EXPECT_EQ(settings.zoom, c.zoom) << c.name;
        EXPECT_EQ(settings.pulse, c.pulse) << c.name;
        EXPECT_EQ(settings.fractions, c.fractions) << c.name;
        EXPECT_EQ(settings.language, c.language) << c.name;
    }
    // A file far too long to be one, and a folder in the file's place.
    std::ofstream(path, std::ios::binary) << "zoom=2\n" << std::string(10000, '#');
    EXPECT_EQ(read_settings(path).zoom, 1);
    std::remove(path.c_str());
    ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
    EXPECT_EQ(read_settings(path).zoom, 1);
    // A FIFO in the file's place: opening it to read would wait for a writer.
    ASSERT_EQ(rmdir(path.c_str()), 0);
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    int zoom = 0;
    expect_no_blocking(path, [&] { zoom = read_settings(path).zoom; });
    EXPECT_EQ(zoom, 1);
}

TEST_F(SettingsFile, WritingCreatesTheFolderReplacesTheFileAtOnceAndReadsBack)
{
    const std::string path = dir_ + "/config/gauss-jordan/settings";
    ASSERT_EQ(write_settings(path, Settings{3, 0}), 0);
    Settings read = read_settings(path);
    EXPECT_EQ(read.zoom, 3);
    EXPECT_EQ(read.pulse, 0);
    // What a write killed an hour ago left: the next write sweeps it.
    const std::string killed = dir_ + "/config/gauss-jordan/.settings.gauss-jordan-k1LLed";
    std::ofstream(killed) << "zoom=4\n";
    std::filesystem::last_write_time(killed, std::filesystem::file_time_type::clock::now() -
                                                 std::chrono::hours(1));
    ASSERT_EQ(write_settings(path, Settings{2, 1, 1, 2}), 0);
    read = read_settings(path);
    EXPECT_EQ(read.zoom, 2);
    EXPECT_EQ(read.pulse, 1);
    EXPECT_EQ(read.fractions, 1);
    EXPECT_EQ(read.language, 2);
    // Nothing but the settings file is left in its folder: the temporary file was renamed, and
    // the one left by the killed write removed.
    EXPECT_EQ(
        std::system(("test \"$(ls -A '" + dir_ + "/config/gauss-jordan')\" = settings").c_str()),
        0);
}

TEST_F(SettingsFile, AFolderThatCannotBeWrittenChangesNothingAndFails)
{
    // A plain file where the folder should be: no folder can be made, even by root.
    std::ofstream(dir_ + "/blocked") << "not a folder";
    EXPECT_NE(write_settings(dir_ + "/blocked/gauss-jordan/settings", Settings{2, 0}), 0);
    EXPECT_EQ(read_settings(dir_ + "/blocked/gauss-jordan/settings").zoom, 1);
    EXPECT_NE(write_settings("", Settings{2, 0}), 0);
    // A folder in the file's place: the rename fails, and the temporary file goes with it.
    const std::string folder = dir_ + "/taken/gauss-jordan";
    ASSERT_EQ(std::system(("mkdir -p '" + folder + "/settings/x'").c_str()), 0);
    EXPECT_NE(write_settings(folder + "/settings", Settings{2, 0}), 0);
    EXPECT_EQ(std::system(("test \"$(ls -A '" + folder + "')\" = settings").c_str()), 0)
        << "a temporary file was left behind";
}

TEST_F(SettingsFile, ThePathFollowsXdgConfigHomeThenHome)
{
    const char *saved_config = std::getenv("XDG_CONFIG_HOME");
    const char *saved_home = std::getenv("HOME");
    const std::string old_config = saved_config ? saved_config : "";
    const std::string old_home = saved_home ? saved_home : "";
    setenv("XDG_CONFIG_HOME", "/cfg", 1);
    setenv("HOME", "/home/ucitel", 1);
    EXPECT_EQ(settings_path(), "/cfg/gauss-jordan/settings");
    setenv("XDG_CONFIG_HOME", "relative", 1); // not absolute: ignored, as an empty one is
    EXPECT_EQ(settings_path(), "/home/ucitel/.config/gauss-jordan/settings");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(settings_path(), "/home/ucitel/.config/gauss-jordan/settings");
    unsetenv("HOME");
    EXPECT_EQ(settings_path(), "");
    saved_config ? setenv("XDG_CONFIG_HOME", old_config.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
    saved_home ? setenv("HOME", old_home.c_str(), 1) : unsetenv("HOME");
}

} // namespace
