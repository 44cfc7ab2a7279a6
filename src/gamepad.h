#ifndef GAMEPAD_H
#define GAMEPAD_H
// gamepad -- the gamepads found at start-up, played beside the mouse and keys: their sticks and
// buttons merged into the pointer, player 1's aim and button and player 2's keys

// At most two pads play. In a one-player game the first plays player 1; in a two-player game
// the first plays player 2 and the second player 1.
constexpr int MAX_GAMEPADS = 2;
// Buttons by their index in the library's joystick state. The first fires and clicks; Start is
// the eighth, where Linux's common layout puts it (A B X Y LB RB Back Start).
constexpr int PAD_FIRE_BUTTON = 0, PAD_START_BUTTON = 7;
// A stick reads -128 to 128 on each axis; smaller tilts than this count as a stick at rest, and
// tilts past the key tilt work player 2's aim as the Up and Down keys do.
constexpr int PAD_FULL_TILT = 128, PAD_DEAD_ZONE = 40, PAD_KEY_TILT = 64;
// Game pixels the menus' pointer moves a tick at full tilt: across the screen in 1.3 seconds.
constexpr double PAD_POINTER_SPEED = 4.0;

// The pads found at start-up, 0 to MAX_GAMEPADS.
extern int gamepads;

// Starts the library's joystick support and counts the pads it finds; none is no error.
void install_gamepads();
// The pad that plays player 1 or 2 in the game mode chosen (Menu_Option), or -1.
int pad_of_player(int player);
// A pad's tilt on its main stick or its d-pad, whichever is tilted further: axis 0 across
// (negative left), 1 along (negative up); 0 inside the dead zone.
int pad_tilt(int pad, int axis);
// True while a pad's button (a PAD_*_BUTTON) is down.
bool pad_button(int pad, int button);
// True while any pad's Start is down.
bool any_pad_start();

// ---- merged into what a logic step reads ----
// Player 1's pointer height: the mouse's, or where player 1's pad moved it since, by one
// logic step of its stick (full tilt sweeps the aim's range of 0 to 160 in a second).
int merged_aim_y(int mouse_y);
// Puts the pointer where the mouse is: a new game levels the aim by placing the mouse.
void pointer_to_mouse();
// The STEP_KEY_* bits that player 1's pad (fire) and player 2's pad (fire, up, down) hold.
bool pad_holds_step_key(int bit);
bool pad_fires_player1();

// ---- the pointer of the menus, the table and the credits ----
// The pointer in game coordinates: the mouse's, or where a pad's stick moved it since.
int pointer_x();
int pointer_y();
// The buttons as the library's mouse_b, a pad's first button adding the left one.
int pointer_buttons();

#endif
