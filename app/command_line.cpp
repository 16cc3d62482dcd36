// The command line: a file to open, a printed worked solution, the window's zoom, help.
#include "command_line.h"

#include <cstring>

#ifndef PROGRAM_VERSION
#define PROGRAM_VERSION "unknown"
#endif

namespace
{

// Reads the value of --zoom: a whole number from 1 to 4.
bool read_zoom(const std::string &text, int &zoom)
{
    if (text.size() != 1 || text[0] < '1' || text[0] > '4')
        return false;
    zoom = text[0] - '0';
    return true;
}

// A command line that cannot be understood, and why.
CommandLine usage_error(const std::string &why)
{
    CommandLine command;
    command.action = command_usage_error;
    command.error = why;
    return command;
}

// Checks what the printing options ask for against the files and the zoom given.
CommandLine printing_command(CommandLine command, bool steps, bool exercise)
{
    const std::string option = exercise ? "--exercise" : command.latex ? "--latex" : "--steps";
    if (exercise && (steps || command.latex))
        return usage_error("--exercise sa neda spojit s --steps ani --latex");
    if (command.file.empty()) // no name, or an empty one first
        return usage_error(
            option + (exercise ? " potrebuje aspon jedno meno suboru" : " potrebuje meno suboru"));
    if (command.zoom)
        return usage_error("--zoom patri k oknu, nie k vypisu " + option);
    command.action = exercise ? command_exercise : command_steps;
    return command;
}

} // namespace

// Understands the arguments after the program's name.
CommandLine parse_command_line(int argc, const char *const *argv)
{
    CommandLine command;
    bool steps = false;
    bool exercise = false;
    bool options_end = false;
    for (int i = 1; i < argc; i++) {
        const std::string argument = argv[i];
        if (options_end || argument.empty() || argument[0] != '-' || argument == "-") {
            command.files.push_back(argument);
        } else if (argument == "--") {
            options_end = true;
        } else if (argument == "--help" || argument == "-h") {
            command.action = command_help;
            return command;
        } else if (argument == "--version" || argument == "-V") {
            command.action = command_version;
            return command;
        } else if (argument == "--steps") {
            steps = true;
        } else if (argument == "--latex") {
            command.latex = true;
        } else if (argument == "--exercise") {
            exercise = true;
        } else if (argument == "--zoom" || argument.rfind("--zoom=", 0) == 0) {
            const bool joined = argument.size() > 6;
            if (!joined && i + 1 >= argc)
                return usage_error("--zoom potrebuje cislo od 1 do 4");
            const std::string value = joined ? argument.substr(7) : std::string(argv[++i]);
            if (!read_zoom(value, command.zoom))
                return usage_error("--zoom potrebuje cislo od 1 do 4, nie '" + value + "'");
        } else {
            return usage_error("neznama volba '" + argument + "'");
        }
    }
    if (command.files.size() > 1 && !exercise)
        return usage_error("prilis vela mien suborov: '" + command.files[1] + "'");
    if (!command.files.empty())
        command.file = command.files.front();
    if (steps || command.latex || exercise)
        return printing_command(command, steps, exercise);
    return command;
}

// The text --help prints.
std::string usage_text()
{
    return "Pouzitie: gauss-jordan [--zoom N] [SUBOR]\n"
           "          gauss-jordan --steps [--latex] SUBOR\n"
           "          gauss-jordan --exercise SUBOR...\n"
           "          gauss-jordan --help | --version\n"
           "\n"
           "Riesi sustavu linearnych rovnic Gauss-Jordanovou eliminaciou krok za krokom.\n"
           "\n"
           "  SUBOR        otvori okno so sustavou zo suboru na obrazovke riesenia\n"
           "  --steps      vypise riesenie po krokoch na standardny vystup, bez okna\n"
           "  --latex      vypise to iste ako dokument LaTeXu (len balik amsmath)\n"
           "  --exercise   vypise pracovny list LaTeXu so sustavami, vysledky na konci\n"
           "  --zoom N     okno N-krat sirsie a vyssie, N od 1 do 4; zapamata sa\n"
           "  --help       vypise tento navod\n"
           "  --version    vypise verziu programu\n"
           "\n"
           "Subor: pocet rovnic n (0 az 10), potom n koeficientov a prava strana kazdej rovnice,\n"
           "cele cisla; za cislom sa preskoci jeden znak (medzera, ciarka...) a potom biele "
           "miesto.\n"
           "\n"
           "Cislo ma najviac 120 cifier. Podozrive miesta (1.5, 1/2, 1-2, cisla za maticou,\n"
           "riadky nesediace s radom) program ohlasi, ale maticu nacita podla pravidla.\n"
           "\n"
           "Navratova hodnota: 0 v poriadku; 1 zlyhala grafika alebo obrazky, pri vypise\n"
           "sa subor neda otvorit; 2 pri vypise je matica prilis velka; 3 pri vypise je\n"
           "matica neplatna; 4 pri vypise sa vystup neda zapisat; 64 chybne pouzitie.\n";
}

// The text --version prints.
std::string version_text()
{
    return std::string("gauss-jordan ") + PROGRAM_VERSION + "\n";
}
