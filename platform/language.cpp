// The language of the program's texts through GNU gettext's message catalogs: only the messages'
// locale is set, so numbers read and print the same in every language.
#include "language.h"

#include "../matrix/translation.h"

#include <libintl.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

#ifndef PROGRAM_NAME
#define PROGRAM_NAME "gauss-jordan"
#endif
#ifndef LOCALE_DIR
#define LOCALE_DIR "/usr/share/locale"
#endif

int chosen_language = language_desktop;

namespace
{

constexpr const char text_domain[] = PROGRAM_NAME;

// The value of an environment variable, "" when unset.
std::string environment(const char *name)
{
    const char *value = std::getenv(name);
    return value ? value : "";
}

// The folder of the running program, with its final '/'; "" when it cannot be read.
std::string program_folder()
{
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return "";
    path[length] = '\0';
    char *slash = std::strrchr(path, '/');
    return slash ? std::string(path, static_cast<std::size_t>(slash - path + 1)) : "";
}

// True when `folder` holds the English catalog, which every build and package has.
bool holds_catalogs(const std::string &folder)
{
    struct stat info {
    };
    const std::string file = folder + "/en/LC_MESSAGES/" + text_domain + ".mo";
    return stat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The LANGUAGE the desktop gave, read before the program's own choice first sets it.
const std::string &desktop_language_variable()
{
    static const std::string list = environment("LANGUAGE");
    return list;
}

// The catalog's translation of `text`.
const char *catalog_text(const char *text)
{
    return dgettext(text_domain, text);
}

// Sets the messages' locale from the environment; where that locale is not generated, or is
// the C locale in which gettext reads no LANGUAGE, C.UTF-8 with LANGUAGE naming the list.
void set_message_locale(const std::string &languages, bool from_desktop)
{
    if (from_desktop) {
        const std::string &list = desktop_language_variable(); // as the desktop gave it
        if (list.empty())
            unsetenv("LANGUAGE");
        else
            setenv("LANGUAGE", list.c_str(), 1);
        const char *set = std::setlocale(LC_MESSAGES, "");
        if (set && std::strcmp(set, "C") != 0 && std::strcmp(set, "POSIX") != 0)
            return; // gettext reads LANGUAGE and the locale itself
    }
    setenv("LANGUAGE", languages.c_str(), 1);
    if (!std::setlocale(LC_MESSAGES, "C.UTF-8"))
        std::setlocale(LC_MESSAGES, "C");
}

} // namespace

// The desktop's language list in gettext's order.
std::string desktop_languages()
{
    std::string locale;
    for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = environment(name);
        if (!locale.empty())
            break;
    }
    if (locale.empty() || locale == "C" || locale == "POSIX" || locale.rfind("C.", 0) == 0)
        return ""; // gettext too ignores LANGUAGE under the C locale
    const std::string &list = desktop_language_variable();
    return list.empty() ? locale : list;
}

// The folder holding the catalogs.
std::string catalog_folder()
{
    const std::string named = environment("TEXTDOMAINDIR"); // gettext's own variable for it
    if (!named.empty() && holds_catalogs(named))
        return named;
    const std::string beside = program_folder();
    for (const std::string &folder : {beside + "locale", beside + "../share/locale"})
        if (!beside.empty() && holds_catalogs(folder))
            return folder;
    return LOCALE_DIR;
}

// Points the texts at the catalog of `choice`.
void choose_language(int choice)
{
    desktop_language_variable(); // kept before LANGUAGE is set below
    chosen_language = choice;
    std::string languages;
    if (choice == language_english)
        languages = "en";
    else if (choice == language_desktop)
        languages = desktop_languages();
    if (languages.empty()) {
        text_translator = nullptr;
        return;
    }
    static bool bound = false;
    if (!bound) {
        bindtextdomain(text_domain, catalog_folder().c_str());
        bind_textdomain_codeset(text_domain, "UTF-8");
        bound = true;
    }
    set_message_locale(languages, choice == language_desktop);
    text_translator = catalog_text;
}

// True when a catalog gives the texts (the menu's title word tells: every catalog has it).
bool catalog_in_use()
{
    return text_translator && std::strcmp(tr("Nastavenia"), "Nastavenia") != 0;
}
