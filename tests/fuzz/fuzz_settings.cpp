// Fuzz target for the settings file reader: any bytes give settings within range, and what is
// read is written and read back unchanged.
#include "platform/settings_file.h"
#include "tests/fuzz/fuzz_support.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <tuple>
#include <utility>

namespace
{

// A folder of the run's own, made once and removed at the end, for the files of the inputs:
// in memory where there is a memory file system, as a file is written for every input.
const std::string &scratch_folder()
{
    static const std::string folder = [] {
        char in_memory[] = "/dev/shm/gj-fuzz-settings-XXXXXX";
        char on_disk[] = "/tmp/gj-fuzz-settings-XXXXXX";
        const char *made = mkdtemp(in_memory);
        if (!made)
            made = mkdtemp(on_disk);
        require(made != nullptr, "no scratch folder");
        return std::string(made);
    }();
    static const bool cleanup = std::atexit([] {
                                    for (const char *name : {"/settings", "/copy"})
                                        std::remove((folder + name).c_str());
                                    rmdir(folder.c_str());
                                }) == 0;
    (void)cleanup;
    return folder;
}

} // namespace

// Writes one input as the settings file, reads it, and writes and reads what it gave.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string path = scratch_folder() + "/settings";
    std::FILE *file = std::fopen(path.c_str(), "wb");
    require(file != nullptr, "cannot write the input");
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    const Settings read = read_settings(path);
    require(read.zoom >= 1 && read.zoom <= 4, "zoom outside 1..4");
    require(read.pulse == 0 || read.pulse == 1, "pulse neither 0 nor 1");
    require(read.fractions == 0 || read.fractions == 1, "fractions neither 0 nor 1");
    // Each of the few possible results is written and read back once (writing syncs to disk).
    static std::set<std::tuple<int, int, int>> round_tripped;
    if (!round_tripped.insert({read.zoom, read.pulse, read.fractions}).second)
        return 0;
    const std::string copy = scratch_folder() + "/copy";
    require(write_settings(copy, read) == 0, "the settings read cannot be written");
    const Settings again = read_settings(copy);
    require(again.zoom == read.zoom && again.pulse == read.pulse &&
                again.fractions == read.fractions,
            "written settings read back otherwise");
    return 0;
}
