// The language of the program's texts: the desktop's (by the locale), Slovak or English, and
// the message catalogs that give it.
#pragma once

#include <string>

// The language the user chose on the settings screen, remembered in the settings file.
enum LanguageChoice { language_desktop = 0, language_slovak = 1, language_english = 2 };

extern int chosen_language; // a LanguageChoice; written by choose_language

// The language list the desktop asks for, in gettext's order: "" for the C/POSIX locale or no
// locale set (the Slovak source texts), else LANGUAGE when set, else the first set of LC_ALL,
// LC_MESSAGES and LANG.
std::string desktop_languages();

// The folder holding the catalogs (<folder>/en/LC_MESSAGES/gauss-jordan.mo): TEXTDOMAINDIR when
// it holds them, else locale/ beside the program (the build tree), ../share/locale from it
// (an installed tree), else the folder the program was built for.
std::string catalog_folder();

// Points the texts at the catalog of `choice`: the Slovak source texts for Slovak and for a
// desktop in the C locale; the catalog found by the desktop's list, or English, otherwise.
// Only the messages' locale changes (never numbers'), and a locale the system has not
// generated still gets its catalog.
void choose_language(int choice);

// True when a catalog gives the texts, not the Slovak source texts: the images' labels are then
// the English set's (the only other set drawn).
bool catalog_in_use();
