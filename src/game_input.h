#ifndef GAME_INPUT_H
#define GAME_INPUT_H
// game_input -- the one place a game's logic reads the world outside it: player 1's pointer and
// button, the keys of the play loop and the clock

// The keys a logic step reads, one bit each.
constexpr int STEP_KEY_ESC = 1;   // Escape: ends the game
constexpr int STEP_KEY_FIRE2 = 2; // Left Ctrl: player 2 fires
constexpr int STEP_KEY_UP = 4;    // player 2 aims up
constexpr int STEP_KEY_DOWN = 8;  // player 2 aims down
constexpr int STEP_KEY_SHOT = 16; // S: the screenshot

// Player 1's pointer height in game coordinates, read after the aim's range is set.
int step_pointer_y();
// Player 1's buttons, as the library's mouse_b.
int step_buttons();
// True while the key of a STEP_KEY_* bit is down.
bool step_key(int bit);
// The tick counter as the logic reads it for the end-of-game count: every read may differ.
int step_clock();

// The tick counter as the score bar shows it.
int shown_clock();
// True once the clock has caught up with the logic steps taken (actual_frames): the play and
// closing loops redraw the same frame until then.
bool clock_caught_up();

#endif
