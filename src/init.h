#ifndef INIT_H
#define INIT_H
// init -- start-up in its order, the tick counter, the game-state globals and the sprite table
#include <allegro.h>

// ---- clock ----
constexpr int TIMER_RATE = 150; // ticks (and logic steps) a second

// ---- sprite table ----
constexpr int SPRITE_SLOTS = 200;
constexpr int FIRST_BALL_SLOT = 0, LAST_BALL_SLOT = 49, OVERFLOW_BALL_SLOT = 50;
constexpr int LAST_SPARE_SLOT = 70;
constexpr int FIRST_BUMPER_SLOT = 71, LAST_BUMPER_SLOT = 76;
constexpr int LAST_MOVABLE_SLOT = 99; // collisions never move a slot above this
constexpr int LAST_MOVED_SLOT = 100;  // move_sprites walks 0..100
constexpr int LAST_COLLIDING_SLOT = 108;
constexpr int LAST_DRAWN_SLOT = 110;
constexpr int FIRST_POINTS_SLOT = 110, LAST_POINTS_SLOT = 199;

constexpr int KIND_FREE = 0;
constexpr int KIND_P1_BALL = 1;
constexpr int KIND_P2_BALL = 2;
constexpr int KIND_BUMPER = 3;
constexpr int KIND_PAD_BOTTOM_LEFT = 100;
constexpr int KIND_PAD_TOP_LEFT = 101;
constexpr int KIND_PAD_TOP_RIGHT = 102;
constexpr int KIND_PAD_BOTTOM_RIGHT = 103;
constexpr int KIND_TOP_EDGE = 104;
constexpr int KIND_BOTTOM_EDGE = 105;
constexpr int KIND_LAST_COLLIDING = 109;
constexpr int KIND_MOVING_POINT = 110;

struct sprite_record {
    double x, y, w, h, dx, dy, rx, ry, tx, ty, mass;
    int type, frame, life, points, angle, direction;
};
extern sprite_record sprite[SPRITE_SLOTS];

// ---- the tick counter and the off-screen bitmaps ----
extern volatile int target_frames;
extern BITMAP *buffer, *text_buffer, *stretch;

// ---- game state ----
extern int Menu_Option, hi, new_high, countdown_flag, actual_frames, p1_frames, p2_frames;
extern int p1_score, p2_score, p1_balls, p2_balls, mult;
extern float p1_dy, p2_dy;

constexpr int BALLS_PER_GAME = 400;

// Starts the library, timer, input, sound and the chosen display mode (the command line's
// choice completed from the settings file), and loads the data file. Returns 0, and only on
// success: every failure ends the process with status 1 and a word on standard error.
int initialise();
// All of the start-up after the library's own, in its order: keyboard, the tick, mouse, pads,
// sound, the settings file, the display mode and its hooks, the data file, the off-screen
// bitmaps and the seed. Returns only on success, as initialise() does.
void initialise_on_library();
// Timer callback: one tick, 150 a second.
void __inc_game_time();
// Sets target_frames to 0 without losing it to a tick that lands at the same moment.
void reset_target_frames();
// Sets target_frames to a count the same way: a pause puts back the count it stopped at.
void set_target_frames(int ticks);

// Starts the library on the null drivers, as the timedemo and the tests run it: the null timer,
// the null display's 800x600 full-screen mode at 16 bits (screen a memory bitmap), the data file
// at gamedata_path loaded and the off-screen bitmaps made. On failure returns false with the
// reason in why.
bool initialise_headless(const char *gamedata_path, char *why, int why_size);
// Creates text_buffer, buffer and stretch at the current colour depth (again: the old ones go).
void create_offscreen_bitmaps();

// Frees every sprite slot and places the six bumpers and six edge circles.
void initialise_sprites();
// Resets aims, ball counts, scores and the end-of-game count for a new game.
void initialise_newgame();

// Sets the library's legacy text background to transparent, as every screen expects.
void text_mode_transparent();

#endif
