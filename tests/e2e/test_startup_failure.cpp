// The real program with an image missing: it shows a real xmessage box with the reason
// and, once the box is dismissed, ends with exit code 1.
#include "e2e_support.h"

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

namespace
{

// The images the program needs besides the busy pointer "cakaj", which is left out.
constexpr const char *present_images[] = {"butyes", "butno", "start", "myska", "about", "uvod"};

// Splits text at newlines, keeping empty lines.
std::vector<std::string> split_lines(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

// The NUL-separated arguments recorded by the xmessage wrapper.
std::vector<std::string> read_recorded_arguments(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> arguments;
    std::string current;
    for (char ch : all) {
        if (ch == '\0') {
            arguments.push_back(current);
            current.clear();
        } else {
            current += ch;
        }
    }
    return arguments;
}

} // namespace

class StartupFailureTest : public ProgramTest
{
};

TEST_F(StartupFailureTest, MissingBusyPointerShowsTheFileMessageAndExitsWithOne)
{
    for (const char *extension : {".tga", ".bmp"}) {
        const std::string installed = std::string(GJ_DATA_DIR) + "/cakaj" + extension;
        if (fs::exists(installed))
            GTEST_SKIP() << installed << " is installed, so the program would find it there";
    }

    // A copy of the program with six of its seven images beside it, started from an
    // empty directory.
    const fs::path bin = fs::path(scratch_) / "bin";
    const fs::path work = fs::path(scratch_) / "work";
    fs::create_directories(bin);
    fs::create_directories(work);
    fs::copy_file(program_path(), bin / "gauss-jordan");
    for (const char *image : present_images)
        fs::copy_file(fs::path(program_directory()) / (std::string(image) + ".tga"),
                      bin / (std::string(image) + ".tga"));

    // An xmessage first on PATH that records its arguments and runs the real one.
    const std::string record = scratch_ + "/xmessage-arguments";
    const std::string wrapper = write_file(
        "wrap/xmessage", "#!/bin/sh\n"
                         "for argument in \"$@\"; do printf '%s\\0' \"$argument\"; done > '" +
                             record + "'\nexec '" GJ_XMESSAGE "' \"$@\"\n");
    fs::permissions(wrapper, fs::perms::owner_all);
    const char *path = std::getenv("PATH");
    std::vector<std::string> environment = environment_with(
        current_environment(), "PATH",
        fs::path(wrapper).parent_path().string() + ":" + (path ? path : "/usr/bin:/bin"));

    launch((bin / "gauss-jordan").string(), work.string(), environment);

    // The box appears while the program waits for it.
    std::string box;
    const auto start = std::chrono::steady_clock::now();
    while (box.empty() && std::chrono::steady_clock::now() - start < std::chrono::seconds(5) &&
           !poll_exit(program_)) {
        run_tool({"xdotool", "search", "--class", "Xmessage"}, server_.display_name, 2.0, &box);
        if (box.empty())
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_FALSE(box.empty()) << "no message box; the program ended with " << program_.exit_code;
    EXPECT_FALSE(poll_exit(program_)) << "the program must wait until the box is dismissed";

    const std::string box_window = box.substr(0, box.find('\n'));
    xdotool({"windowfocus", "--sync", box_window});
    tap_key("Return");

    int code = -1;
    ASSERT_TRUE(wait_program_exit(3.0, code)) << "the program did not end after the box";
    EXPECT_EQ(code, 1);

    const std::vector<std::string> arguments = read_recorded_arguments(record);
    ASSERT_FALSE(arguments.empty()) << "xmessage was not run through PATH";
    const std::vector<std::string> lines = split_lines(arguments.back());
    ASSERT_GE(lines.size(), 2u) << arguments.back();
    EXPECT_EQ(lines[0], "Mam problemy so subormi.");
    EXPECT_FALSE(lines[1].empty()) << "the reason is missing from the second line";
    for (std::size_t i = 2; i < lines.size(); i++)
        EXPECT_TRUE(lines[i].empty()) << "unexpected line: " << lines[i];
}
