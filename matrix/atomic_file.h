// Writing a whole file so that a reader finds either the old file or the new one, never a part.
#pragma once

#include <sys/types.h>

#include <string>

// Writes `text` to the file `path`: into a new temporary file beside it, flushed to the disk,
// given the permissions `mode`, then renamed over `path`. 0 on success; else 1, with `path` as
// it was and no temporary file left behind.
int write_file_atomically(const std::string &path, const std::string &text, mode_t mode);

// The permissions a file written to `path` should have: those of the regular file there now,
// else those the user's umask gives a new file.
mode_t file_mode_for(const std::string &path);
