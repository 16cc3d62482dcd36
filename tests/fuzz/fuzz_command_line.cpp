// Fuzz target for the command line: any arguments give one action that is consistent with
// what it carries, or a usage error that says what is wrong.
#include "app/command_line.h"
#include "tests/fuzz/fuzz_support.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{

// The input's arguments: the bytes split at each zero byte, after the program's name.
std::vector<std::string> arguments_of(const std::uint8_t *data, std::size_t size)
{
    std::vector<std::string> arguments{"gauss-jordan"};
    std::string current;
    for (std::size_t k = 0; k < size; k++) {
        if (data[k] == 0) {
            arguments.push_back(current);
            current.clear();
        } else {
            current.push_back(static_cast<char>(data[k]));
        }
    }
    arguments.push_back(current);
    return arguments;
}

} // namespace

// Parses one input as a command line and checks what it gives.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::vector<std::string> arguments = arguments_of(data, size);
    std::vector<const char *> argv;
    for (const std::string &argument : arguments)
        argv.push_back(argument.c_str());
    const CommandLine command = parse_command_line(static_cast<int>(argv.size()), argv.data());
    require(command.csv.empty() || command.action == command_check ||
                command.action == command_help || command.action == command_version,
            "a table without a check");
    switch (command.action) {
    case command_usage_error:
        require(!command.error.empty(), "a usage error that says nothing");
        break;
    case command_steps:
        require(!command.file.empty(), "a printout without a file");
        require(command.zoom == 0, "a printout with a zoom");
        require(command.files.size() == 1, "a printout of several files");
        break;
    case command_exercise:
        require(!command.files.empty() && command.files.front() == command.file,
                "a worksheet without its first file");
        require(!command.file.empty(), "a worksheet whose first file has no name");
        require(command.zoom == 0 && !command.latex, "a worksheet with a zoom or --latex");
        break;
    case command_run:
        require(command.zoom >= 0 && command.zoom <= 4, "zoom outside 0..4");
        require(!command.latex, "a window asked for LaTeX");
        require(command.random_order == 0 && !command.seed_given, "a window with --random");
        break;
    case command_random:
        require(command.random_order >= 1 && command.random_order <= 10 &&
                    command.random_unknowns >= 1 && command.random_unknowns <= 10,
                "a random system of a size outside 1..10");
        require(command.file.empty() && command.zoom == 0 && !command.latex,
                "a random system with a file, a zoom or LaTeX");
        break;
    case command_check: {
        const std::size_t system_files = command.random_order > 0 ? 0 : 1;
        require(command.files.size() > system_files &&
                    command.file == (system_files ? command.files[0] : ""),
                "a check without its system and a hand-in");
        for (const std::string &file : command.files)
            require(!file.empty(), "a check of a file without a name");
        require(command.zoom == 0 && !command.latex, "a check with a zoom or --latex");
        require(command.random_order == 0 || !command.inverse, "a check of random inversions");
        require(command.seed_given <= (command.random_order > 0), "a seed without --random");
        require(command.csv != "-", "a table written to standard output");
        break;
    }
    case command_inverse:
        require(command.files.size() == 1 && command.file == command.files[0] &&
                    !command.file.empty(),
                "an inversion without exactly one named file");
        require(command.zoom == 0 && command.random_order == 0, "an inversion with a zoom or --random");
        break;
    case command_variants:
        require(command.random_order >= 1 && command.random_order <= 10 &&
                    command.random_unknowns >= 1 && command.random_unknowns <= 10,
                "variants of a size outside 1..10");
        require(command.count >= 1 && command.count <= max_variants,
                "a count of variants outside 1..max_variants");
        require(command.files.empty() && command.zoom == 0 && !command.latex,
                "variants with a file, a zoom or LaTeX");
        break;
    case command_help:
    case command_version:
        break;
    default:
        require(false, "an action outside the list");
    }
    return 0;
}
