// Writing a whole file through a hidden temporary file and a rename, sweeping the ones killed
// saves left behind.
#include "atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace
{

// What follows the target's name in its temporary files' names, before the six random characters.
constexpr const char temporary_mark[] = ".gauss-jordan-";

// The random characters mkstemp puts at the end of a temporary file's name.
constexpr std::size_t random_characters = 6;

// Writes all of `text` to the open file `descriptor`; false when the disk or the file refused.
bool write_all(int descriptor, const std::string &text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = write(descriptor, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// The folder part of `path`, with its final '/' ("" for a name without a folder).
std::string folder_of(const std::string &path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

// True when `name` is `prefix` followed by exactly the random characters of mkstemp.
bool is_temporary_name(const char *name, const std::string &prefix)
{
    const std::size_t length = std::strlen(name);
    if (length != prefix.size() + random_characters ||
        prefix.compare(0, prefix.size(), name, prefix.size()) != 0)
        return false;
    for (std::size_t k = prefix.size(); k < length; k++) {
        const char c = name[k]; // mkstemp's letters and digits, whatever the locale
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')))
            return false;
    }
    return true;
}

// Removes from the folder of `path` the temporary files of saves of `path` that were killed: this
// user's regular files named as they are, unchanged for stale_temporary_seconds. Any other file,
// and one a save running now in another instance may still hold, is left alone.
void sweep_stale_temporaries(const std::string &path)
{
    const std::string folder = folder_of(path);
    const std::string prefix = temporary_prefix(path).substr(folder.size());
    DIR *listing = opendir(folder.empty() ? "." : folder.c_str());
    if (!listing)
        return;
    const std::time_t now = std::time(nullptr);
    while (const dirent *entry = readdir(listing)) {
        if (!is_temporary_name(entry->d_name, prefix))
            continue;
        struct stat info {
        };
        if (fstatat(dirfd(listing), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && info.st_uid == geteuid() &&
            now - info.st_mtime >= stale_temporary_seconds)
            unlinkat(dirfd(listing), entry->d_name, 0);
    }
    closedir(listing);
}

} // namespace

// The name of a save's temporary file beside `path`, but for its random characters.
std::string temporary_prefix(const std::string &path)
{
    const std::string folder = folder_of(path);
    const std::size_t room = NAME_MAX - 1 - (sizeof temporary_mark - 1) - random_characters;
    return folder + "." + path.substr(folder.size(), room) + temporary_mark;
}

// Writes text to path through a temporary file renamed over it, sweeping stale ones first.
int write_file_atomically(const std::string &path, const std::string &text, mode_t mode)
{
    if (path.empty() || path.back() == '/')
        return 1;
    sweep_stale_temporaries(path);
    std::string temporary = temporary_prefix(path) + std::string(random_characters, 'X');
    const int descriptor = mkstemp(&temporary[0]);
    if (descriptor < 0)
        return 1;
    const bool written =
        write_all(descriptor, text) && fchmod(descriptor, mode) == 0 && fsync(descriptor) == 0;
    if (close(descriptor) != 0 || !written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return 1;
    }
    return 0;
}

// The permissions for a file written to path: the present file's, or a new file's.
mode_t file_mode_for(const std::string &path)
{
    struct stat info {
    };
    if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode))
        return info.st_mode & 07777;
    const mode_t mask = umask(0); // reading the umask means setting it: put it straight back
    umask(mask);
    return 0666 & ~mask;
}
