// The settings remembered between runs: the window's zoom, the background pulse switch, whether
// the grid shows exact fractions and the language, in $XDG_CONFIG_HOME/gauss-jordan/settings (by
// default ~/.config/gauss-jordan/settings).
#pragma once

#include <string>

// What is remembered; a missing, unreadable or malformed file means these defaults.
struct Settings {
    int zoom = 1;      // 1..4
    int pulse = 1;     // 1 on, 0 off
    int fractions = 0; // 1: the grid shows exact fractions; 0: short decimal texts
    int language = 0;  // 0 the desktop's, 1 Slovak, 2 English
};

// The settings file's path from XDG_CONFIG_HOME or HOME; "" when neither gives an absolute
// folder, and nothing is remembered.
std::string settings_path();

// The remembered settings, or the defaults when the file is missing, unreadable or malformed.
// The file holds lines "zoom=N", "pulse=0|1", "fractions=0|1" and "language=0|1|2", blank lines
// and "#" comments; unknown names are skipped, and any malformed line or value out of range makes
// the whole file malformed.
Settings read_settings(const std::string &path);

// Writes the settings atomically: a temporary file in the same folder, then renamed over the
// old one; creates the folder when needed. 0 on success, else 1 and nothing changed.
int write_settings(const std::string &path, const Settings &settings);
