#ifndef PLAYER_INPUT_H
#define PLAYER_INPUT_H
// player_input -- mouse for player 1, keys or the computer for player 2, and the screenshot key

// The mouse is held to a column 160 pixels high; its height is player 1's aim.
constexpr int AIM_MOUSE_X = 10, AIM_MOUSE_TOP = 0, AIM_MOUSE_BOTTOM = 160;
constexpr float P2_AIM_LIMIT = 5.0f; // player 2's aim stays within -5..5
// Aim steps are doubles: the float aim is moved in double arithmetic, then stored.
constexpr double P2_KEY_AIM_STEP = 0.06;
constexpr double CPU_AIM_STEP = 0.01;
// The computer answers a bumper right of this line that moves toward its side line.
constexpr double CPU_WATCH_X = 600;
constexpr const char *SCREENSHOT_FILE = "dump.pcx";

// Player 1's aim for a mouse height: -40 at the top, 0 at 80 and 81, 40 at 160.
float aim_from_mouse(int y);
// Reads both sides' controls for one logic step, launches balls and saves a screenshot on S.
void player_input();

#endif
