// Entry point: the command line, start-up, the menu with everything nested in it, and shutdown.
#include "../matrix/class_check.h"
#include "../matrix/matrix_file.h"
#include "../matrix/random_system.h"
#include "../matrix/store.h"
#include "../matrix/translation.h"
#include "../matrix/work_check.h"
#include "../matrix/worked_solution.h"
#include "../platform/display.h"
#include "../platform/frame.h"
#include "../platform/images.h"
#include "../platform/language.h"
#include "../platform/quit.h"
#include "../platform/settings_file.h"
#include "../platform/startup.h"
#include "../work/matrix_view.h"
#include "../work/work_screen.h"
#include "command_line.h"
#include "screens.h"

#include <allegro.h>

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

namespace
{

// Takes the remembered settings, with a zoom from the command line taking precedence (and
// remembered in turn).
void apply_settings(const CommandLine &command)
{
    const std::string path = settings_path();
    Settings settings = read_settings(path);
    if (command.zoom) {
        settings.zoom = command.zoom;
        write_settings(path, settings);
    }
    chosen_zoom = settings.zoom;
    window_zoom = settings.zoom; // lowered by open_display when the desktop has no room for it
    pulse_enabled = settings.pulse;
    grid_fractions = settings.fractions;
}

// Prints a random system of the shape asked for in the matrix file format (a square one in the
// first form, any other with its shape): of the seed given, or of a seed of its own.
int print_random_system(const CommandLine &command)
{
    const std::uint64_t seed = command.seed_given ? command.seed : std::random_device{}();
    const std::string text = matrix_text(
        random_system(command.random_order, command.random_unknowns, seed));
    std::fputs(text.c_str(), stdout);
    return finish_output(stdout, stderr);
}

// Checks the hand-ins the command line names, against the system it names or makes; the table
// --csv names may not be one of the files named, which it would replace.
int check_hand_ins(const CommandLine &command)
{
    for (const std::string &name : command.files) {
        std::error_code error;
        if (!command.csv.empty() && std::filesystem::equivalent(command.csv, name, error)) {
            std::fprintf(stderr, tr("gauss-jordan: --csv %s by prepisal subor, ktory sa kontroluje\n"),
                         command.csv.c_str());
            return exit_usage;
        }
    }
    ClassSystem system;
    system.file = command.file;
    system.random_rows = command.random_order;
    system.random_unknowns = command.random_unknowns;
    system.seed_given = command.seed_given;
    system.seed = command.seed;
    system.inversion = command.inverse;
    const auto first_work = command.files.begin() + (command.random_order ? 0 : 1);
    return check_class(system, std::vector<std::string>(first_work, command.files.end()),
                       command.csv, stdout, stderr);
}

// Starts the window, runs the menu until the user quits and releases what it holds.
int run_program(const CommandLine &command)
{
    hold_shutdown_signals(); // a signal during start-up waits for our handlers
    apply_settings(command);
    if (shutdown_signal_waiting()) { // told to end before the library started: it never does
        install_shutdown_handlers();
        return ending_status(0);
    }
    const int started = init_graphics();
    // The library sets every locale category from the desktop: numbers go back to the C form
    // they are read and written in, and the messages to the language chosen.
    std::setlocale(LC_NUMERIC, "C");
    choose_language(chosen_language);
    install_shutdown_handlers();
    if (started != 0)
        return ending_status(1);
    if (quit_signal)
        return ending_status(0); // a signal came during start-up: nothing more is started
    if (load_images() != 0) {
        release_images();
        return ending_status(1);
    }
    LOCK_VARIABLE(pulse_level);
    LOCK_VARIABLE(pulse_enabled);
    LOCK_FUNCTION(pulse_tick);
    install_int(pulse_tick, 20);
    install_close_button();
    matrix_shape = MatrixShape{};
    line_text[0] = '\0';
    status_text[0] = '\0';
    if (!command.file.empty())
        work_screen_with_file(command.file.c_str());
    menu_screen();
    hold_shutdown_signals(); // the ending is decided; the library's exit restores its handlers
    remove_int(pulse_tick);
    release_images();
    return ending_status(exit_code);
}

} // namespace

// Runs what the command line asks for: the program's window, or one of its printed answers.
int main(int argc, char **argv)
{
    // The texts' language: the one chosen on the settings screen, by default the desktop's.
    choose_language(read_settings(settings_path()).language);
    const CommandLine command = parse_command_line(argc, argv);
    switch (command.action) {
    case command_help:
        std::fputs(usage_text().c_str(), stdout);
        return 0;
    case command_version:
        std::fputs(version_text().c_str(), stdout);
        return 0;
    case command_usage_error:
        std::fprintf(stderr, "gauss-jordan: %s\n\n%s", command.error.c_str(),
                     usage_text().c_str());
        return exit_usage;
    case command_steps:
        return print_worked_solution(
            command.file.c_str(), command.latex ? notation_latex : notation_plain, stdout, stderr);
    case command_exercise:
        return print_exercise_sheet(command.files, stdout, stderr);
    case command_variants:
        return print_variant_sheet(command.random_order, command.random_unknowns, command.count,
                                   command.seed_given ? command.seed : std::random_device{}(),
                                   stdout, stderr);
    case command_random:
        return print_random_system(command);
    case command_check:
        return check_hand_ins(command);
    case command_inverse:
        return print_worked_inverse(
            command.file.c_str(), command.latex ? notation_latex : notation_plain, stdout, stderr);
    case command_run:
        break;
    }
    return run_program(command);
}
END_OF_MAIN()
