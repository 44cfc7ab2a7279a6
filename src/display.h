#ifndef DISPLAY_H
#define DISPLAY_H
// display -- the game's 800x600 frame and the display mode that shows it

constexpr int SCREEN_WIDTH = 800, SCREEN_HEIGHT = 600;

// Sets the 800x600 full-screen mode at 16, 24 or 32 bits, the first the system takes. When
// none is taken, says so and ends the process with status 1.
void set_display_mode();

#endif
