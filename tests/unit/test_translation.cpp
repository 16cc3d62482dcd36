// The message catalogs: every English text fits where its Slovak one is shown, and the language
// is chosen by the locale's variables in gettext's order, by the settings' switch, and the C
// locale keeps the Slovak texts, without numbers changing their form.
#include "../../matrix/notation.h"
#include "../../matrix/translation.h"
#include "../../matrix/work_check.h"
#include "../../matrix/worked_solution.h"
#include "../../platform/language.h"
#include "../../platform/layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace
{

// One entry of a .po file: the Slovak source, its translation, the width its comment allows
// (0 when it states none) and whether it is marked fuzzy.
struct CatalogEntry {
    std::string source;
    std::string translation;
    int fits = 0;
    bool fuzzy = false;
    bool console = true; // every place it is used prints to a terminal, not on the screen
};

// The sources whose texts only ever go to a terminal: the command line, the printouts and the
// check of hand-worked solutions.
bool console_source(const std::string &location)
{
    return location == "app/command_line.cpp" || location == "matrix/worked_solution.cpp" ||
           location == "matrix/work_check.cpp";
}

// The text of a quoted .po string: its escapes undone.
std::string unquoted(const std::string &line)
{
    const std::size_t open = line.find('"');
    std::string text;
    for (std::size_t k = open + 1; k + 1 < line.size(); k++) {
        if (line[k] == '\\' && k + 2 < line.size()) {
            k++;
            text += line[k] == 'n' ? '\n' : line[k];
        } else {
            text += line[k];
        }
    }
    return text;
}

// The entries of the catalog at `path`, the header left out.
std::vector<CatalogEntry> read_catalog(const std::string &path)
{
    std::ifstream in(path);
    std::vector<CatalogEntry> entries;
    CatalogEntry entry;
    std::string *target = nullptr;
    std::string line;
    while (std::getline(in, line)) {
        // A translators' comment "#. ... fits 38: ..." (std::regex trips GCC 12's
        // maybe-uninitialized warning under the sanitizers, so the comment is read by hand).
        const std::size_t fits = line.rfind("fits ");
        if (line.rfind("#.", 0) == 0 && fits != std::string::npos && fits + 5 < line.size() &&
            std::isdigit(static_cast<unsigned char>(line[fits + 5]))) {
            entry.fits = std::stoi(line.substr(fits + 5));
        } else if (line.rfind("#: ", 0) == 0) {
            std::istringstream places(line.substr(3));
            std::string place;
            while (places >> place)
                entry.console = entry.console && console_source(place);
        } else if (line.rfind("#,", 0) == 0 && line.find("fuzzy") != std::string::npos) {
            entry.fuzzy = true;
        } else if (line.rfind("msgid ", 0) == 0) {
            entry.source = unquoted(line);
            target = &entry.source;
        } else if (line.rfind("msgstr ", 0) == 0) {
            entry.translation = unquoted(line);
            target = &entry.translation;
        } else if (line.rfind("\"", 0) == 0 && target) {
            *target += unquoted(line);
        } else if (line.empty()) {
            if (!entry.source.empty())
                entries.push_back(entry);
            entry = CatalogEntry{};
            target = nullptr;
        }
    }
    if (!entry.source.empty())
        entries.push_back(entry);
    return entries;
}

// The printf conversions of a text in order ("%d", "%s"), which a translation must keep.
std::string conversions(const std::string &text)
{
    std::string found;
    for (std::size_t k = 0; k + 1 < text.size(); k++)
        if (text[k] == '%') {
            found += text.substr(k, 2);
            k++;
        }
    return found;
}

// The width in pixels of a text in the program's font: every glyph 8 pixels wide.
int font_width(const std::string &text)
{
    return static_cast<int>(text.size()) * glyph_size;
}

// The longest line of a text, in characters.
std::size_t longest_line(const std::string &text)
{
    std::size_t longest = 0;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        longest = std::max(longest, line.size());
    return longest;
}

} // namespace

// Every source text has an English translation drawn in the font (printable ASCII), with the
// same conversions, no wider than its Slovak text or, where it is wider, than the width its
// place allows: the comment "fits N" names it (N characters of a plate, the top line, a part
// of a line), else it is the caption line's, the narrowest line a message is shown on; a text
// only printed to a terminal keeps its lines within 80 columns.
TEST(Catalogs, EveryEnglishTextIsThereAndFitsItsPlace)
{
    const std::vector<CatalogEntry> entries = read_catalog(PO_DIR "/en.po");
    ASSERT_GT(entries.size(), 100u);
    for (const CatalogEntry &entry : entries) {
        SCOPED_TRACE(entry.source);
        EXPECT_FALSE(entry.fuzzy);
        ASSERT_FALSE(entry.translation.empty());
        for (char c : entry.translation)
            EXPECT_TRUE(c == '\n' || (c >= 32 && c < 127)) << "not in the font: " << int(c);
        EXPECT_EQ(conversions(entry.translation), conversions(entry.source));
        if (entry.console) { // a terminal's 80 columns, as the Slovak text keeps
            EXPECT_LE(longest_line(entry.translation),
                      std::max<std::size_t>(80, longest_line(entry.source)));
            continue;
        }
        const int place = entry.fits > 0 ? entry.fits : static_cast<int>(caption_chars);
        if (font_width(entry.translation) > font_width(entry.source)) {
            EXPECT_LE(font_width(entry.translation), place * glyph_size);
        }
    }
    // The widths stated are the places' own.
    EXPECT_EQ(text_line_chars, 76);
    EXPECT_EQ((settings_language_button.x2 - settings_language_button.x1 - 2) / glyph_size, 17);
    EXPECT_EQ((zoom_note_panel.x2 - zoom_note_panel.x1 - 2) / glyph_size, 26);
}

// The template holds every source text the English catalog translates, and no more.
TEST(Catalogs, TheEnglishCatalogFollowsTheTemplate)
{
    const std::vector<CatalogEntry> english = read_catalog(PO_DIR "/en.po");
    const std::vector<CatalogEntry> templ = read_catalog(PO_DIR "/gauss-jordan.pot");
    ASSERT_EQ(english.size(), templ.size());
    for (std::size_t k = 0; k < templ.size(); k++)
        EXPECT_EQ(english[k].source, templ[k].source);
}

namespace
{

// The environment of one run and the choice on the settings screen, and the language its texts
// come out in.
struct LanguageCase {
    const char *name;
    const char *lc_all;
    const char *lc_messages;
    const char *lang;
    const char *language;
    int choice;
    bool english;
};

// en_GB is never generated by the test scripts: a desktop locale the system lacks.
const std::vector<LanguageCase> language_cases{
    {"no locale", nullptr, nullptr, nullptr, nullptr, language_desktop, false},
    {"C", nullptr, nullptr, "C", nullptr, language_desktop, false},
    {"C with LANGUAGE, which gettext ignores", nullptr, nullptr, "C", "en", language_desktop,
     false},
    {"C.UTF-8", nullptr, nullptr, "C.UTF-8", nullptr, language_desktop, false},
    {"English desktop", nullptr, nullptr, "en_US.UTF-8", nullptr, language_desktop, true},
    {"English desktop not generated", nullptr, nullptr, "en_GB.UTF-8", nullptr,
     language_desktop, true},
    {"Slovak desktop", nullptr, nullptr, "sk_SK.UTF-8", nullptr, language_desktop, false},
    {"LANGUAGE before LANG", nullptr, nullptr, "sk_SK.UTF-8", "en", language_desktop, true},
    {"LANGUAGE lists a language first with no catalog", nullptr, nullptr, "sk_SK.UTF-8",
     "de:en", language_desktop, true},
    {"LC_ALL before LANG", "C", nullptr, "en_US.UTF-8", nullptr, language_desktop, false},
    {"LC_MESSAGES before LANG", nullptr, "en_US.UTF-8", "C", nullptr, language_desktop, true},
    {"a language without a catalog", nullptr, nullptr, "de_DE.UTF-8", nullptr, language_desktop,
     false},
    {"Slovak chosen on an English desktop", nullptr, nullptr, "en_US.UTF-8", nullptr,
     language_slovak, false},
    {"English chosen in the C locale", nullptr, nullptr, "C", nullptr, language_english, true},
    {"English chosen on a desktop not generated", nullptr, nullptr, "de_AT.UTF-8", nullptr,
     language_english, true},
};

// Sets or unsets one environment variable.
void set_variable(const char *name, const char *value)
{
    if (value)
        setenv(name, value, 1);
    else
        unsetenv(name);
}

// Runs one case in this process and ends it: 0 when the texts came out as expected and numbers
// still print with a dot.
[[noreturn]] void run_language_case(const LanguageCase &c)
{
    set_variable("LC_ALL", c.lc_all);
    set_variable("LC_MESSAGES", c.lc_messages);
    set_variable("LANG", c.lang);
    set_variable("LANGUAGE", c.language);
    setenv("TEXTDOMAINDIR", CATALOG_DIR, 1);
    choose_language(c.choice);
    const std::string caption = format_text(tr("Krok %d z %d: "), 3, 9);
    const bool english = caption == "Step 3 of 9: ";
    const bool slovak = caption == "Krok 3 z 9: ";
    const bool numbers = format_text("%.1f", 0.5) == "0.5" && std::strtod("0.5", nullptr) == 0.5;
    std::exit((c.english ? english : slovak) && numbers && catalog_in_use() == c.english ? 0 : 1);
}

} // namespace

// Each case runs in a fresh process (the catalog's state and LANGUAGE as the program first saw
// it are the process's own).
TEST(Language, ChosenByTheLocaleInGettextsOrderAndByTheSwitch)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const LanguageCase &c : language_cases)
        EXPECT_EXIT(run_language_case(c), testing::ExitedWithCode(0), "") << c.name;
}

// Switching in one run, as the settings screen does: English, the desktop's C locale again
// (the LANGUAGE the program set for English does not stay), Slovak, English.
TEST(Language, SwitchingBackAndForthInOneRun)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("LANG", "C", 1);
            unsetenv("LC_ALL");
            unsetenv("LC_MESSAGES");
            unsetenv("LANGUAGE");
            setenv("TEXTDOMAINDIR", CATALOG_DIR, 1);
            std::string seen;
            for (int choice : {language_english, language_desktop, language_slovak,
                               language_english, language_desktop}) {
                choose_language(choice);
                seen += std::string(tr("Hotovo!")) + " ";
            }
            std::exit(seen == "Done! Hotovo! Hotovo! Done! Hotovo! " ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

// Work printed in English (--steps, --inverse) is read by --check in Slovak and in English:
// every shipped example's steps are all right and its answer correct.
TEST(Language, CheckReadsWorkPrintedInEitherLanguage)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("TEXTDOMAINDIR", CATALOG_DIR, 1);
            int failures = 0;
            for (const char *name : {"tri.txt", "nekonecno.txt", "sporna.txt", "dva.txt"}) {
                const std::string system = std::string(EXAMPLES_DIR) + "/" + name;
                for (bool inverse : {false, true}) {
                    choose_language(language_english);
                    std::FILE *work = std::tmpfile();
                    if (inverse)
                        print_worked_inverse(system.c_str(), notation_plain, work, stderr);
                    else
                        print_worked_solution(system.c_str(), notation_plain, work, stderr);
                    const std::string path = "/proc/self/fd/" + std::to_string(fileno(work));
                    for (int checking : {language_english, language_slovak}) {
                        choose_language(checking);
                        std::FILE *report = std::tmpfile();
                        const int status =
                            check_work(system.c_str(), path.c_str(), report, report, inverse);
                        std::rewind(report);
                        char first[256] = "";
                        const bool read = std::fgets(first, sizeof first, report) != nullptr;
                        std::fclose(report);
                        // An inverse of a singular system is refused alike in both languages.
                        if (read && status != 0 && !(inverse && status == inverse_refused))
                            failures++;
                    }
                    std::fclose(work);
                }
            }
            std::exit(failures == 0 ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}
