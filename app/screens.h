// The menu and the settings screen, their frames and their input dispatch.
#pragma once

// Runs the menu until the user quits (Esc, K, the quit button) or the program must end. Ending
// by the user's hand (the close button too) while a system typed in the grid editor was never
// saved first asks on the menu: Enter ends, any other key or a click stays on the menu.
void menu_screen();

// True while the menu asks whether to end with a typed system never saved.
bool ending_question_shown();

// Runs the settings screen until the user goes back.
void settings_screen();

// Compose one frame of the menu or of the settings screen into back_buffer, without showing it.
void compose_menu_frame();
void compose_settings_frame();

// Each waits for the retrace, composes its screen's frame and shows it.
void paint_menu_frame();
void paint_settings_frame();
