// The settings remembered between runs, in a small text file written atomically.
#include "settings_file.h"

#include "../matrix/atomic_file.h"
#include "../matrix/matrix_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace
{

// A settings file is a few short lines; anything longer is not one.
constexpr std::size_t max_settings_bytes = 4096;

// The text with white space cut from both ends.
std::string trimmed(const std::string &text)
{
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The whole number `text` holds, when it is one from `low` to `high`.
bool read_number(const std::string &text, int low, int high, int &value)
{
    if (text.empty() || text.size() > 2 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const int number = std::atoi(text.c_str());
    if (number < low || number > high)
        return false;
    value = number;
    return true;
}

// Makes the folder `path` and the folders above it, for owner only; true when it exists.
bool make_folders(const std::string &path)
{
    struct stat info {
    };
    if (stat(path.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode);
    const std::size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !make_folders(path.substr(0, slash)))
        return false;
    return mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

// Reads `text` as a settings file into `settings`; false, leaving it as it was, when any
// line is malformed or a value out of range.
bool parse_settings(const std::string &text, Settings &settings)
{
    Settings read = settings;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        line = trimmed(line);
        if (line.empty() || line[0] == '#')
            continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos)
            return false;
        const std::string name = trimmed(line.substr(0, equals));
        const std::string value = trimmed(line.substr(equals + 1));
        if (name == "zoom" && !read_number(value, 1, 4, read.zoom))
            return false;
        if (name == "pulse" && !read_number(value, 0, 1, read.pulse))
            return false;
        if (name == "fractions" && !read_number(value, 0, 1, read.fractions))
            return false;
        if (name == "language" && !read_number(value, 0, 2, read.language))
            return false;
    }
    settings = read;
    return true;
}

// The text of a settings file holding `settings`.
std::string settings_text(const Settings &settings)
{
    return "# Gauss-Jordan: remembered settings\nzoom=" + std::to_string(settings.zoom) +
           "\npulse=" + std::to_string(settings.pulse) +
           "\nfractions=" + std::to_string(settings.fractions) +
           "\nlanguage=" + std::to_string(settings.language) + "\n";
}

} // namespace

// The settings file's path from XDG_CONFIG_HOME or HOME.
std::string settings_path()
{
    const char *config = std::getenv("XDG_CONFIG_HOME");
    std::string folder;
    if (config && config[0] == '/') {
        folder = config;
    } else {
        const char *home = std::getenv("HOME");
        if (!home || home[0] != '/')
            return "";
        folder = std::string(home) + "/.config";
    }
    return folder + "/gauss-jordan/settings";
}

// The remembered settings, or the defaults.
Settings read_settings(const std::string &path)
{
    Settings settings;
    if (path.empty())
        return settings;
    std::FILE *file = open_regular_file(path.c_str()); // a FIFO in its place must not block
    if (!file)
        return settings;
    std::string text(max_settings_bytes + 1, '\0');
    const std::size_t length = std::fread(&text[0], 1, text.size(), file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (length > max_settings_bytes || failed)
        return settings;
    text.resize(length);
    parse_settings(text, settings);
    return settings;
}

// Writes the settings atomically, readable by the user only.
int write_settings(const std::string &path, const Settings &settings)
{
    const std::size_t slash = path.find_last_of('/');
    if (path.empty() || slash == std::string::npos || !make_folders(path.substr(0, slash)))
        return 1;
    return write_file_atomically(path, settings_text(settings), 0600);
}
