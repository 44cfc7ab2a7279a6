#ifndef HELP_H
#define HELP_H
// help -- the help page, left by clicking its spinning ball

// Centre and squared radius of the spinning exit ball of the help, credits and table screens.
constexpr int EXIT_BALL_X = 706, EXIT_BALL_Y = 503;
constexpr int CLICK_RADIUS_SQUARED = 85 * 85;

// True when the pointer at (px, py) lies on the click circle centred on (cx, cy), rim included.
bool on_click_circle(int px, int py, int cx, int cy);
// Draws the spinning exit ball with its quit label into buffer, turned by angle (256 to a full
// turn), and says whether the pointer lies on it now.
bool draw_exit_ball(int angle);
void help_display();

#endif
