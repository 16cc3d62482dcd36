// Writing a whole file through a temporary file and a rename.
#include "atomic_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace
{

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

} // namespace

// Writes text to path through a temporary file renamed over it.
int write_file_atomically(const std::string &path, const std::string &text, mode_t mode)
{
    if (path.empty())
        return 1;
    std::string temporary = path + ".XXXXXX";
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
