// The program in English: under an English desktop locale its images carry the English labels
// and its top line and caption read in English; on the settings screen J switches the language
// and the choice is remembered for the next start.
#include "e2e_support.h"

namespace
{

using LanguageTest = ProgramTest;

// This process's environment with the language variables set to `lang` alone.
std::vector<std::string> environment_in(const std::string &lang)
{
    std::vector<std::string> environment = current_environment();
    for (const char *name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"})
        environment = environment_with(environment, name, "");
    return environment_with(environment, "LANG", lang);
}

} // namespace

TEST_F(LanguageTest, AnEnglishDesktopShowsEnglishButtonsLineAndCaption)
{
    write_file("small.txt", "2\n1 1 3\n1 -1 1\n");
    launch("", "", environment_in("en_US.UTF-8"));
    ASSERT_TRUE(find_window()) << "no window; exit code " << program_.exit_code;
    park_pointer();
    ASSERT_TRUE(wait_for_screen("uvod_en")) << "the menu's buttons are not the English ones";
    hold_key("s");
    ASSERT_TRUE(wait_for_screen("start_en")) << "the work screen's buttons are not English";
    EXPECT_FALSE(wait_for_screen("start", {}, 0.3)) << "the Slovak labels match as well";
    hold_key("z");
    ASSERT_TRUE(wait_for_line("Type the file name")) << "Z does not prompt in English";
    type_text("small.txt");
    tap_key("Return");
    ASSERT_TRUE(wait_for_grid({{"1", "1", "3"}, {"1", "-1", "1"}}));
    hold_key("r");
    Shot shot;
    ASSERT_TRUE(wait_for_line("Step on!", 3.0, &shot)) << "the line reads " << line_of(shot);
    ASSERT_TRUE(wait_until(
        [](const Shot &s) { return read_text(s, 30, 306, 72) == "Step 1 of 3: R2 <- R2 - R1"; },
        3.0, &shot))
        << "the caption reads " << read_text(shot, 30, 306, 72);
}

TEST_F(LanguageTest, TheSettingsSwitchTurnsACLocaleRunEnglishAndIsRemembered)
{
    const std::vector<std::string> c_locale = environment_in("C");
    launch("", "", c_locale);
    ASSERT_TRUE(find_window()) << "no window; exit code " << program_.exit_code;
    park_pointer();
    ASSERT_TRUE(wait_for_screen("uvod")) << "the C locale does not show the Slovak menu";
    hold_key("n");
    const Box indicator{425, 298, 472, 333}; // the pulse indicator, drawn over its button
    ASSERT_TRUE(wait_for_screen("about", {indicator})) << "N does not show the settings screen";
    // The switch's plate: its name and the choice, which each J steps on (the desktop's, Slovak,
    // English); a press is given once the plate shows the one before took effect.
    Shot shot;
    const auto plate_reads = [&](const std::string &name, const std::string &choice) {
        return wait_until(
            [&](const Shot &s) {
                return read_centred_text(s, 556, 24, 17) == name &&
                       read_centred_text(s, 556, 42, 17) == choice;
            },
            3.0, &shot);
    };
    ASSERT_TRUE(plate_reads("Jazyk (J)", "podla systemu"))
        << read_centred_text(shot, 556, 24, 17) << " / " << read_centred_text(shot, 556, 42, 17);
    hold_key("j");
    ASSERT_TRUE(plate_reads("Jazyk (J)", "slovensky")) << "J does not choose Slovak";
    hold_key("j");
    ASSERT_TRUE(plate_reads("Language (J)", "English")) << "J again does not choose English";
    ASSERT_TRUE(wait_for_screen("about_en", {indicator})) << "the settings screen's labels are not English";
    hold_key("Escape");
    ASSERT_TRUE(wait_for_screen("uvod_en")) << "the menu is not English after the switch";
    hold_key("k");
    int code = -1;
    ASSERT_TRUE(wait_program_exit(5.0, code));
    EXPECT_EQ(code, 0);

    // The next start in the same C locale remembers English.
    launch("", "", c_locale);
    ASSERT_TRUE(find_window()) << "no window on the second start";
    park_pointer();
    EXPECT_TRUE(wait_for_screen("uvod_en")) << "the choice of English was not remembered";
}
