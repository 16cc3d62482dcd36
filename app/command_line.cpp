// The command line: a file to open, a printed worked solution or worksheet, a random exercise,
// the check of a hand-worked solution, the window's zoom, help.
#include "command_line.h"

#include "../matrix/random_argument.h"
#include "../matrix/translation.h"
#include "../matrix/store.h"

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

// True when `argument` is the option `name`, alone or as "name=value".
bool option_named(const std::string &argument, const std::string &name)
{
    return argument == name || argument.rfind(name + "=", 0) == 0;
}

// The value of the option `name` at argv[i]: after its "=", or the next argument (then i moves
// past it); false when there is none.
bool option_value(const std::string &argument, const std::string &name, int argc,
                  const char *const *argv, int &i, std::string &value)
{
    if (argument.size() > name.size()) {
        value = argument.substr(name.size() + 1);
        return true;
    }
    if (i + 1 >= argc)
        return false;
    value = argv[++i];
    return true;
}

// ", nie 'value'" for a message about a value given, "" when none was.
std::string not_value(const std::string &value)
{
    return value.empty() ? "" : format_text(tr(", nie '%s'"), value.c_str());
}

// A command line with --exercise and --random: a worksheet of random variants, no file.
CommandLine variants_command(CommandLine command, bool other)
{
    if (other || !command.files.empty() || command.zoom)
        return usage_error(tr("--exercise --random N --count K vypise varianty; nepatri k nemu "
                           "subor, --steps, --latex, --check, --inverse ani --zoom"));
    if (!command.count)
        command.count = 1;
    command.action = command_variants;
    return command;
}

// A command line with --random or --seed: a random system to print, alone.
CommandLine random_command(CommandLine command, bool printing)
{
    if (!command.random_order)
        return usage_error(tr("--seed patri k --random N"));
    if (printing || !command.files.empty() || command.zoom)
        return usage_error(tr("--random N vypise sustavu; nepatri k nemu subor, --steps, --latex, "
                              "--inverse ani --zoom (s --exercise vypise varianty, s --check "
                              "kontroluje prace)"));
    command.action = command_random;
    return command;
}

// Checks what the printing options ask for against the files and the zoom given.
CommandLine printing_command(CommandLine command, bool steps, bool exercise)
{
    const std::string option = exercise ? "--exercise" : command.latex ? "--latex" : "--steps";
    if (exercise && (steps || command.latex))
        return usage_error(tr("--exercise sa neda spojit s --steps ani --latex"));
    if (command.file.empty()) // no name, or an empty one first
        return usage_error(
            option + (exercise ? tr(" potrebuje aspon jedno meno suboru")
                               : tr(" potrebuje meno suboru")));
    if (command.zoom)
        return usage_error(tr("--zoom patri k oknu, nie k vypisu ") + option);
    command.action = exercise ? command_exercise : command_steps;
    return command;
}

// A command line with --check: a system (a file, or --random N with or without --seed S) and
// its hand-ins, or with --inverse a square matrix and its worked inversions; --csv FILE.
CommandLine check_command(CommandLine command, bool printing)
{
    if (printing || command.zoom)
        return usage_error(tr("--check SUBOR PRACA... kontroluje riesenia; nepatri k nemu --steps, "
                              "--latex, --exercise ani --zoom"));
    if (command.seed_given && !command.random_order)
        return usage_error(tr("--seed patri k --random N"));
    if (command.random_order && command.inverse)
        return usage_error(tr("--check --random N kontroluje riesenia sustavy; nepatri k nemu "
                              "--inverse"));
    const std::size_t system_files = command.random_order ? 0 : 1;
    bool named = command.files.size() > system_files;
    for (const std::string &file : command.files)
        named = named && !file.empty();
    if (!named)
        return usage_error(command.random_order
                               ? tr("--check --random N potrebuje aspon jednu pracu")
                           : command.inverse
                               ? tr("--check --inverse potrebuje meno suboru s maticou a aspon "
                                    "jednu inverziu po krokoch")
                               : tr("--check potrebuje meno suboru so sustavou a aspon jednu pracu"));
    if (!command.random_order)
        command.file = command.files[0];
    command.action = command_check;
    return command;
}

// A command line with --inverse (without --check): one square matrix to invert in print, in
// LaTeX with --latex.
CommandLine inverse_command(CommandLine command, bool steps, bool exercise)
{
    if (steps || exercise || command.zoom)
        return usage_error(tr("--inverse SUBOR vypise inverznu maticu po krokoch; nepatri k nemu "
                           "--steps, --exercise ani --zoom"));
    if (command.files.size() != 1 || command.files[0].empty())
        return usage_error(command.files.size() > 1
                               ? format_text(tr("prilis vela mien suborov: '%s'"),
                                             command.files[1].c_str())
                               : std::string(tr("--inverse potrebuje meno suboru")));
    command.file = command.files[0];
    command.action = command_inverse;
    return command;
}

} // namespace

// Understands the arguments after the program's name.
CommandLine parse_command_line(int argc, const char *const *argv)
{
    CommandLine command;
    bool steps = false;
    bool exercise = false;
    bool check = false;
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
        } else if (argument == "--check") {
            check = true;
        } else if (argument == "--inverse") {
            command.inverse = true;
        } else if (option_named(argument, "--zoom")) {
            std::string value;
            if (!option_value(argument, "--zoom", argc, argv, i, value) ||
                !read_zoom(value, command.zoom))
                return usage_error(tr("--zoom potrebuje cislo od 1 do 4") + not_value(value));
        } else if (option_named(argument, "--random")) {
            std::string value;
            if (!option_value(argument, "--random", argc, argv, i, value) ||
                !read_random_shape(value, command.random_order, command.random_unknowns))
                return usage_error(tr("--random potrebuje pocet rovnic od 1 do 10 alebo tvar MxN, "
                                      "napr. 3x4") +
                                   not_value(value));
        } else if (option_named(argument, "--count")) {
            std::string value;
            if (!option_value(argument, "--count", argc, argv, i, value) ||
                !read_small_number(value, max_variants, command.count))
                return usage_error(format_text(tr("--count potrebuje pocet variantov od 1 do %d"),
                                               max_variants) +
                                   not_value(value));
        } else if (option_named(argument, "--csv")) {
            if (!option_value(argument, "--csv", argc, argv, i, command.csv) ||
                command.csv.empty() || command.csv == "-")
                return usage_error(tr("--csv potrebuje meno suboru pre tabulku") +
                                   not_value(command.csv));
        } else if (option_named(argument, "--seed")) {
            std::string value;
            if (!option_value(argument, "--seed", argc, argv, i, value) ||
                !read_seed(value, command.seed))
                return usage_error(
                    tr("--seed potrebuje cele cislo od 0 do 18446744073709551615") +
                    not_value(value));
            command.seed_given = true;
        } else {
            return usage_error(format_text(tr("neznama volba '%s'"), argument.c_str()));
        }
    }
    if (command.count && !(exercise && command.random_order))
        return usage_error(tr("--count patri k --exercise --random N"));
    if (!command.csv.empty() && !check)
        return usage_error(tr("--csv FILE patri k --check"));
    if (exercise && command.random_order)
        return variants_command(command, steps || command.latex || check || command.inverse);
    if (check)
        return check_command(command, steps || command.latex || exercise);
    if (command.random_order || command.seed_given)
        return random_command(command, steps || command.latex || exercise || command.inverse);
    if (command.inverse)
        return inverse_command(command, steps, exercise);
    if (command.files.size() > 1 && !exercise)
        return usage_error(format_text(tr("prilis vela mien suborov: '%s'"),
                                       command.files[1].c_str()));
    if (!command.files.empty())
        command.file = command.files.front();
    if (steps || command.latex || exercise)
        return printing_command(command, steps, exercise);
    return command;
}

// The text --help prints.
std::string usage_text()
{
    // TRANSLATORS: the whole of --help; the options and the words of the file format stay
    return tr("Pouzitie: gauss-jordan [--zoom N] [SUBOR]\n"
           "          gauss-jordan --steps [--latex] SUBOR\n"
           "          gauss-jordan --inverse [--latex] SUBOR\n"
           "          gauss-jordan --exercise SUBOR...\n"
           "          gauss-jordan --exercise --random N|MxN [--count K] [--seed S]\n"
           "          gauss-jordan --random N|MxN [--seed S]\n"
           "          gauss-jordan --check [--inverse] SUBOR PRACA... [--csv CSV]\n"
           "          gauss-jordan --check --random N|MxN [--seed S] PRACA... [--csv CSV]\n"
           "          gauss-jordan --help | --version\n"
           "\n"
           "Riesi sustavu linearnych rovnic Gauss-Jordanovou eliminaciou krok za krokom.\n"
           "\n"
           "  SUBOR        otvori okno so sustavou zo suboru na obrazovke riesenia\n"
           "  --steps      vypise riesenie po krokoch na standardny vystup, bez okna\n"
           "  --latex      vypise to iste ako dokument LaTeXu (len balik amsmath)\n"
           "  --inverse    vypise inverznu maticu stvorcovej matice A zo suboru po krokoch:\n"
           "               [A | I] upravuje, kym vlavo nie je I; vpravo je potom A^-1, so\n"
           "               skuskou A * A^-1 = I, inak riadok s nulami vlavo ukaze, ze A\n"
           "               inverznu maticu nema; aj h(A) a det A. Zo sustavy vezme jej\n"
           "               maticu A (prave strany vynecha a povie to), rad 1 az 10\n"
           "  --exercise   vypise pracovny list LaTeXu so sustavami, vysledky na konci;\n"
           "               s --random K variantov (--count K, 1 az 99), kazdy s cislom,\n"
           "               ktore ho vypise samostatne: uloha k ma --seed S+k-1\n"
           "  --random N   vypise nahodnu sustavu N rovnic (1 az 10) vo formate suboru:\n"
           "               koeficienty od -9 do 9, jedine riesenie z celych cisel od -5 do 5;\n"
           "               na papier: pivoty 1, -1, 2, -2, po ceste cele cisla a zlomky\n"
           "               s menovatelom 2 alebo 4, v citateli najviac dve cifry\n"
           "  --random MxN vypise nahodnu sustavu M rovnic s N neznamymi (napr. 3x4) vo\n"
           "               formate \"sustava MxN\": pri M < N s nekonecne vela rieseniami,\n"
           "               pri M > N s jedinym riesenim alebo asi v tretine pripadov bez neho\n"
           "  --seed S     s tym istym cislom S (0 az 2^64-1) vzdy ta ista sustava\n"
           "  --check SUBOR PRACA\n"
           "               skontroluje riesenie PRACA (vo formate --steps, - je vstup):\n"
           "               pri kazdom kroku v poriadku alebo zle hodnoty (najviac 5),\n"
           "               na konci ci je matica v redukovanom tvare, ci je vysledok\n"
           "               spravny a ci sedi odpoved x = ... z prace; cisla krokov\n"
           "               (Krok 5:, 5.), [ ], ciarky, = za |, 0,5; neprecitany riadok\n"
           "               je chyba kroku; PRACA je obycajny subor alebo rura, do 64 MB;\n"
           "               s --inverse kontroluje inverziu matice zo SUBOR od [A | I]\n"
           "               ako --inverse\n"
           "  --check SUBOR PRACA...\n"
           "               viac prac (alebo priecinok: jeho subory podla mena, bez skrytych\n"
           "               a podpriecinkov): za kazdu riadok - kroky v poriadku, prva chyba,\n"
           "               redukovany tvar, vysledok; neprecitana praca je riadok s dovodom;\n"
           "               na konci Spravne prace: k z n (spravna: vsetky kroky a vysledok)\n"
           "  --check --random N [--seed S] PRACA...\n"
           "               sustava z --random N --seed S; bez --seed z prveho riadku\n"
           "               kazdej prace: # --random N --seed S\n"
           "  --csv CSV    tu istu tabulku zapise aj do suboru CSV (RFC 4180, UTF-8)\n"
           "  --zoom N     okno N-krat sirsie a vyssie, N od 1 do 4; zapamata sa; ak sa okno\n"
           "               nezmesti na obrazovku, pouzije sa najvacsie, ktore sa zmesti\n"
           "  --help       vypise tento navod\n"
           "  --version    vypise verziu programu\n"
           "\n"
           "Subor: pocet rovnic n (0 az 10), potom n koeficientov a prava strana kazdej\n"
           "rovnice, cele cisla; za cislom sa preskoci jeden znak (medzera, ciarka...)\n"
           "a potom biele miesto.\n"
           "\n"
           "Cislo ma najviac 120 cifier. Podozrive miesta (1.5, 1/2, 1-2, cisla za maticou,\n"
           "riadky nesediace s radom) program ohlasi, ale maticu nacita podla pravidla.\n"
           "\n"
           "Subor s hlavickou \"sustava MxN\" (M rovnic s N neznamymi, 1 az 10) alebo\n"
           "\"matica MxN\": potom jeden riadok matice na riadok, | pred pravou stranou\n"
           "moze byt; cisla cele, zlomky (-7/2) aj desatinne (0.25, 1,5); # zacina\n"
           "poznamku.\n"
           "\n"
           "Navratova hodnota: 0 v poriadku; 1 zlyhala grafika alebo obrazky, pri vypise\n"
           "sa subor neda otvorit; 2 pri vypise je matica prilis velka; 3 pri vypise je\n"
           "matica neplatna; 4 pri vypise sa vystup (alebo subor CSV) neda zapisat; 5 pri\n"
           "--check je niektory krok alebo odpoved nespravna alebo PRACA nema ziadny krok\n"
           "(pri viacerych pracach: niektora praca nie je spravna); pre jednu PRACA aj 1,\n"
           "ked sa neda precitat alebo nie je obycajny subor, 2, ked je vacsia ako 64 MB,\n"
           "a 3, ked v nej nie je ziadny riadok matice alebo jej prvy riadok nesedi s\n"
           "--random N; 6 pri --inverse matica nie je stvorcova\n"
           "alebo je prazdna; 64 chybne pouzitie; 128 + cislo signalu, ked okno ukonci\n"
           "SIGTERM, SIGINT alebo SIGHUP (1 aj po strate spojenia s X serverom).\n"
           "\n"
           "V okne: U urobi vlastnu riadkovu upravu (R2 <-> R3, R2 <- 1/2 R2,\n"
           "R3 <- R3 - 2 R1, R2 <- 2 R2 + 3 R1; aj R1 = R1/2, R3 - 2R1 -> R3, 0,5*R1),\n"
           "Backspace ju vrati, H poradi dalsi krok programu; I ukaze inverznu maticu\n"
           "matice A po krokoch (rad 1 az 5).\n");
}

// The text --version prints.
std::string version_text()
{
    return std::string("gauss-jordan ") + PROGRAM_VERSION + "\n";
}
