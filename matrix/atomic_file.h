// Writing a whole file so that a reader finds either the old file or the new one, never a part.
#pragma once

#include <sys/types.h>

#include <string>

// How long, in seconds, a save's temporary file must have gone unchanged before a later save of
// the same target removes it as left by a save that was killed. A save in progress holds its
// temporary file for one write and one flush of a file of some kilobytes, seconds at most even
// on a slow disk; ten minutes leave room for that, and for a file server whose clock is some
// minutes ahead of this machine's.
constexpr long stale_temporary_seconds = 10 * 60;

// The name a save's temporary file gets beside the target `path` (with its folder), but for the
// six random characters that follow: "<folder>/.<name>.gauss-jordan-", hidden and plainly this
// program's ("<name>" cut to keep the whole name within the file system's limit).
std::string temporary_prefix(const std::string &path);

// Writes `text` to the file `path`: into a new temporary file beside it, flushed to the disk,
// given the permissions `mode`, then renamed over `path`. First it removes the stale temporary
// files earlier saves of `path` left when they were killed (this user's, unchanged for
// stale_temporary_seconds). 0 on success; else 1, with `path` as it was and no temporary file
// of this save left behind.
int write_file_atomically(const std::string &path, const std::string &text, mode_t mode);

// The permissions a file written to `path` should have: those of the regular file there now,
// else those the user's umask gives a new file.
mode_t file_mode_for(const std::string &path);
