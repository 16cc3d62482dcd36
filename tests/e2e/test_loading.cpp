// Loading matrix files in the real program: typing the name at the prompt, the grid it
// draws, the exact readout under the pointer and the messages for files it refuses.
#include "e2e_support.h"

namespace
{

using Grid = std::vector<std::vector<std::string>>;

// The system x + y = 3, x - y = 1.
constexpr const char *small_system = "2\n1 1 3\n1 -1 1\n";

// An order-11 file, complete but one too large.
std::string order_eleven_file()
{
    std::string text = "11\n";
    for (int r = 0; r < 11; r++) {
        for (int c = 0; c <= 11; c++)
            text += (c == r ? "1" : "0") + std::string(c == 11 ? "\n" : " ");
    }
    return text;
}

class LoadingTest : public ProgramTest
{
};

// A cell pointed at and the exact value the text line shows for it.
struct Readout {
    int row;
    int column;
    const char *text;
};

} // namespace

TEST_F(LoadingTest, LoadedMatrixIsDrawnAndPointingShowsExactValues)
{
    write_file("small.txt", small_system);
    // Values at the edges of what a grid cell can show: longer ones show as "***".
    write_file("edges.txt", "2\n99999 100000 -9999\n-10000 0 5\n");
    ASSERT_NO_FATAL_FAILURE(start_on_work_screen());

    ASSERT_NO_FATAL_FAILURE(load_file("small.txt"));
    Shot shot;
    EXPECT_TRUE(wait_for_grid({{"1", "1", "3"}, {"1", "-1", "1"}}, 3.0, &shot))
        << grid_text(read_grid(shot, 2));
    EXPECT_TRUE(wait_for_line("")) << "the line still reads " << line_of(take_shot());
    for (const Readout &r :
         {Readout{0, 0, "1"}, Readout{1, 1, "-1"}, Readout{0, 2, "3"}, Readout{1, 2, "1"}}) {
        hover_cell(r.row, r.column);
        EXPECT_TRUE(wait_for_line(r.text, 3.0, &shot))
            << "cell (" << r.row << ", " << r.column << ") reads " << line_of(shot);
    }
    park_pointer();
    EXPECT_TRUE(wait_for_line("", 3.0, &shot)) << "off the matrix the line reads " << line_of(shot);

    ASSERT_NO_FATAL_FAILURE(load_file("edges.txt"));
    park_pointer();
    EXPECT_TRUE(wait_for_grid({{"99999", "***", "-9999"}, {"***", "0", "5"}}, 3.0, &shot))
        << grid_text(read_grid(shot, 2));
    for (const Readout &r : {Readout{0, 1, "100000"}, Readout{1, 0, "-10000"},
                             Readout{0, 2, "-9999"}, Readout{1, 1, "0"}}) {
        hover_cell(r.row, r.column);
        EXPECT_TRUE(wait_for_line(r.text, 3.0, &shot))
            << "cell (" << r.row << ", " << r.column << ") reads " << line_of(shot);
    }
}

// A file the loader refuses and the message it shows.
struct RefusedFile {
    const char *name;
    const char *content; // nullptr: the file does not exist
    const char *message;
};

TEST_F(LoadingTest, RefusedFilesShowTheirMessageAndClearTheMatrix)
{
    const std::string order_eleven = order_eleven_file();
    const RefusedFile cases[] = {
        {"missing.txt", nullptr, "Mam problemy so suborom."},
        {"eleven.txt", order_eleven.c_str(), "Matica v subore je prilis velka."},
        {"short.txt", "2\n1 1 3\n1 -1\n", "Neplatna matica!"},
        {"cut.txt", "2\n1 1 3\n1 -1", "Neplatna matica!"},
    };
    write_file("small.txt", small_system);
    for (const RefusedFile &c : cases) {
        if (c.content)
            write_file(c.name, c.content);
    }
    ASSERT_NO_FATAL_FAILURE(start_on_work_screen());

    for (const RefusedFile &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NO_FATAL_FAILURE(load_file("small.txt"));
        ASSERT_TRUE(wait_for_grid({{"1", "1", "3"}, {"1", "-1", "1"}}));

        ASSERT_NO_FATAL_FAILURE(load_file(c.name));
        Shot shot;
        EXPECT_TRUE(wait_for_line(c.message, 3.0, &shot)) << "the line reads " << line_of(shot);
        EXPECT_EQ(read_grid(shot, 2), Grid({{"", "", ""}, {"", "", ""}}))
            << "the old matrix is still drawn:" << grid_text(read_grid(shot, 2));

        // The message stays until a key, then the line is empty again.
        tap_key("space");
        EXPECT_TRUE(wait_for_line("", 3.0, &shot)) << "the line reads " << line_of(shot);
    }
}

TEST_F(LoadingTest, ANameWithDiacriticsTypedOnARealKeyboardLoadsThatFile)
{
    write_file("úloha.txt", small_system);
    write_file("loha.txt", "1\n7 7\n"); // what the name became when the editor dropped 'ú'
    ASSERT_NO_FATAL_FAILURE(start_on_work_screen());
    hold_key("z");
    ASSERT_TRUE(wait_for_line("Zadaj meno suboru"));
    // xdotool types 'ú' through a key it maps for it a while (the delay keeps the mapping until
    // the program has read the key); the line shows it as a glyph of its own, which the reader
    // of the ASCII font reads as '?'.
    xdotool({"type", "--delay", "200", "ú"});
    Shot shot;
    ASSERT_TRUE(wait_for_line("?", 3.0, &shot)) << "the line reads " << line_of(shot);
    const std::string rest = "loha.txt";
    for (std::size_t i = 0; i < rest.size(); i++) {
        xdotool({"type", rest.substr(i, 1)});
        ASSERT_TRUE(wait_for_line("?" + rest.substr(0, i + 1), 3.0, &shot))
            << "the line reads " << line_of(shot);
    }
    tap_key("Return");
    EXPECT_TRUE(wait_for_grid({{"1", "1", "3"}, {"1", "-1", "1"}}, 3.0, &shot))
        << grid_text(read_grid(shot, 2));
}
