// The menu and the settings screen, their frames and their input dispatch.
#pragma once

// Runs the menu until the user quits.
void menu_screen();

// Runs the settings screen until the user goes back.
void settings_screen();

// Compose one frame of the menu or of the settings screen into back_buffer, without showing it.
void compose_menu_frame();
void compose_settings_frame();

// Each waits for the retrace, composes its screen's frame and shows it.
void paint_menu_frame();
void paint_settings_frame();
