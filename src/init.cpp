// init -- start-up in its order, the tick counter, the game-state globals and the sprite table
#include "init.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <initializer_list>

#include "audio.h"
#include "display.h"
#include "gamedata.h"
#include "gamepad.h"
#include "null_drivers.h"
#include "options.h"
#include "pause.h"

volatile int target_frames = 0;
BITMAP *buffer, *text_buffer, *stretch;

int Menu_Option = -1, hi = 0, new_high = 0, countdown_flag = 0, actual_frames = 0;
int p1_frames = 0, p2_frames = 0;
int p1_score = 0, p2_score = 0, p1_balls = BALLS_PER_GAME, p2_balls = BALLS_PER_GAME, mult = 0;
float p1_dy = 0.0f, p2_dy = 0.0f;

sprite_record sprite[SPRITE_SLOTS];

void create_offscreen_bitmaps()
{
    // Started again (at another depth), the old ones go first.
    for (BITMAP *old : {text_buffer, buffer, stretch})
        if (old) destroy_bitmap(old);
    text_buffer = create_bitmap(200, 50);
    buffer = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    stretch = create_bitmap(600, 350);
}

bool initialise_headless(const char *gamedata_path, char *why, int why_size)
{
    if (!start_null_library(SCREEN_WIDTH, SCREEN_HEIGHT, 16)) {
        snprintf(why, why_size, "Allegro did not start: %s", allegro_error);
        return false;
    }
    install_timer();
    set_color_depth(16);
    if (set_gfx_mode(GFX_AUTODETECT_FULLSCREEN, SCREEN_WIDTH, SCREEN_HEIGHT, 0, 0) != 0) {
        snprintf(why, why_size, "the null display did not open: %s", allegro_error);
        return false;
    }
    if (!load_gamedata(gamedata_path, why, why_size)) return false;
    create_offscreen_bitmaps();
    if (!buffer || !text_buffer || !stretch) {
        snprintf(why, why_size, "the off-screen bitmaps could not be made");
        return false;
    }
    return true;
}

// The tick is an atomic increment, so a reset by the game thread is never overwritten by a
// tick that read the old count at the same moment: the store and the add cannot interleave.
void __inc_game_time()
{
    __atomic_add_fetch(&target_frames, 1, __ATOMIC_SEQ_CST);
}
END_OF_FUNCTION(__inc_game_time)

void reset_target_frames()
{
    set_target_frames(0);
}

void set_target_frames(int ticks)
{
    __atomic_store_n(&target_frames, ticks, __ATOMIC_SEQ_CST);
}

int initialise()
{
    if (allegro_init() != 0) {
        // Without a display the library cannot start at all: say so and how one is found.
        report_no_display();
        exit(1);
    }
    initialise_on_library();
    return 0;
}

void initialise_on_library()
{
    install_keyboard();
    install_timer();
    LOCK_VARIABLE(target_frames);
    LOCK_FUNCTION(__inc_game_time);
    install_int_ex(__inc_game_time, BPS_TO_TIMER(TIMER_RATE));
    install_mouse();
    install_gamepads();
    // Without a sound device the game plays silent.
    start_sound();
    // The command line's choice, completed from the settings file.
    read_settings_file(SETTINGS_FILE, &chosen_display);
    apply_sound_choice();
    set_display_mode();
    install_display_hooks();
    char why[256];
    if (!load_gamedata(GAMEDATA_FILE, why, sizeof why)) {
        // The game cannot run without every object of the data file: say which and stop.
        leave_display_mode();
        fprintf(stderr, "Brumzel Ball cannot start: %s\n", why);
        allegro_message("Brumzel Ball cannot start:\n%s\n", why);
        exit(1);
    }
    create_offscreen_bitmaps();
    srand(time(nullptr));
}

// Bumpers start as a downward triangle of three, two and one, 2 pixels apart.
static const struct {
    int slot;
    double x, y;
    int angle;
} bumper_start[] = {
    {71, 340, 240, 0},   {72, 402, 240, 42},  {73, 464, 240, 84},
    {74, 370, 296, 126}, {75, 432, 296, 168}, {76, 402, 352, 210},
};

// The corners and the top and bottom edges of the field are huge immovable circles.
static const struct {
    int slot, type;
    double x, y, diameter;
} edge_start[] = {
    {101, KIND_PAD_BOTTOM_LEFT, 0, 600, 300}, {103, KIND_PAD_TOP_LEFT, 0, 0, 300},
    {104, KIND_TOP_EDGE, 400, -1180, 2450},   {105, KIND_BOTTOM_EDGE, 400, 1980, 2845},
    {107, KIND_PAD_TOP_RIGHT, 800, 0, 300},   {108, KIND_PAD_BOTTOM_RIGHT, 800, 600, 300},
};

constexpr double BUMPER_DIAMETER = 60, BUMPER_MASS = 20, EDGE_MASS = 10000;

void initialise_sprites()
{
    // A freed slot keeps the rest of its last occupant's record; only kind and life go.
    for (sprite_record &s : sprite) {
        s.life = 0;
        s.type = KIND_FREE;
    }
    for (const auto &b : bumper_start) {
        sprite_record &s = sprite[b.slot];
        s.x = b.x;
        s.y = b.y;
        s.dx = s.dy = 0;
        s.w = s.h = BUMPER_DIAMETER;
        s.type = KIND_BUMPER;
        s.mass = BUMPER_MASS;
        s.frame = 1;
        s.angle = b.angle;
    }
    for (const auto &e : edge_start) {
        sprite_record &s = sprite[e.slot];
        s.x = e.x;
        s.y = e.y;
        s.dx = s.dy = 0;
        s.w = s.h = e.diameter;
        s.type = e.type;
        s.mass = EDGE_MASS;
    }
}

void initialise_newgame()
{
    p1_dy = 0.0f;
    p2_dy = 0.0f;
    p1_balls = BALLS_PER_GAME;
    p2_balls = BALLS_PER_GAME;
    p1_score = 0;
    p2_score = 0;
    countdown_flag = 0;
}

void text_mode_transparent()
{
// The legacy call is deprecated but still sets the background of the old text functions.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    text_mode(-1);
#pragma GCC diagnostic pop
}
