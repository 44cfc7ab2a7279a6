// test_soak -- whole games back to back through the real play logic at full speed: both sides
// firing at random aims, the computer playing every other game, the closing scene and the
// high-score entries included. Every step's tables and counters are checked, and the memory
// in use must not grow from the fourth game to the last.
#include <cmath>
#include <cstring>
#include <ctime>
#include <malloc.h>

#include "explosions.h"
#include "fixture.h"
#include "game_round.h"
#include "gameover.h"
#include "get_ready.h"
#include "hiscore.h"
#include "particles.h"
#include "rebound_effect.h"
#include "title_screen.h"

#ifndef SOAK_GAMES
#define SOAK_GAMES 16
#endif

static int failures = 0, game_no;
static long step_no;

// Stops the soak at the first broken rule, saying where.
#define SOAK_CHECK(ok, what)                                                                       \
    if (!(ok) && failures++ == 0)                                                                  \
    ADD_FAILURE() << what << " (game " << game_no << ", step " << step_no << ")"

static bool on_field(const sprite_record &s) // within 200 of the field, and finite
{
    return std::isfinite(s.dx + s.dy) && fabs(s.x - 400) < 600 && fabs(s.y - 300) < 500;
}

// One step, checked: scores never fall; ball counts only fall, never below 0; balls, bumpers,
// numbers and edges stay in their slots and on the field; particles, explosions and flashes
// keep the game's styles and lives and finite figures.
static void checked_step(void (*step)())
{
    int s1 = p1_score, s2 = p2_score, b1 = p1_balls, b2 = p2_balls;
    step();
    step_no++;
    SOAK_CHECK(p1_score >= s1 && p2_score >= s2, "scores never fall");
    SOAK_CHECK(p1_balls >= 0 && p2_balls >= 0 && p1_balls <= b1 && p2_balls <= b2, "ball counts");
    for (int n = 0; n < SPRITE_SLOTS; n++) {
        const sprite_record &s = sprite[n];
        bool ball = s.type == KIND_P1_BALL || s.type == KIND_P2_BALL;
        SOAK_CHECK(!ball || (n <= OVERFLOW_BALL_SLOT && on_field(s)), "balls in 0-50, on field");
        SOAK_CHECK(s.type != KIND_BUMPER ||
                       (n >= FIRST_BUMPER_SLOT && n <= LAST_BUMPER_SLOT && on_field(s)),
                   "bumpers in 71-76, on the field");
        SOAK_CHECK(s.type != KIND_MOVING_POINT || (n >= FIRST_POINTS_SLOT && s.life <= 200),
                   "numbers in 110-199");
        SOAK_CHECK(s.type < KIND_PAD_BOTTOM_LEFT || s.type == KIND_MOVING_POINT ||
                       (s.type <= KIND_BOTTOM_EDGE && n > 99 && n <= LAST_COLLIDING_SLOT),
                   "edge circles in 100-108");
    }
    double nan_trap = 0; // a non-finite figure turns the product with 0 into NaN
    for (const particle_record &p : particles)
        if (p.life > 0) {
            nan_trap += (p.x + p.y + p.dx + p.dy + p.tx + p.ty) * 0.0;
            SOAK_CHECK(p.type >= 1 && p.type <= 3 && p.life < 599, "particles' styles and lives");
        }
    SOAK_CHECK(nan_trap == 0, "particles finite");
    for (const explosion_record &e : explosion)
        SOAK_CHECK(e.life <= 6, "explosions are short");
    for (const rebound_record &r : rebound)
        SOAK_CHECK(r.life <= 0 || (r.life <= REBOUND_LIFE && r.type >= KIND_PAD_BOTTOM_LEFT &&
                                   r.type <= KIND_PAD_BOTTOM_RIGHT),
                   "flashes are short, of corner pads");
}

static void no_frame() {}

// Player 1 fires at a random aim, player 2 holds fire and steers at random; the clock's tick
// for the pass has come; a frame every 997 steps.
static void play_step()
{
    mouse_y = rand() % 161, mouse_b = 1;
    int steer = rand() % 3;
    key[KEY_LCONTROL] = 1, key[KEY_UP] = steer == 0, key[KEY_DOWN] = steer == 1;
    target_frames = actual_frames + 1;
    play_pass(step_no % 997 == 0 ? draw_play_frame : no_frame);
    SOAK_CHECK(hi >= p1_score && hi >= p2_score, "the best score keeps up");
}

static void close_step()
{
    gameover_logic_step();
    actual_frames++;
    if (step_no % 97 == 0) draw_gameover_frame();
}

static int named = 0;
static const score_screens quiet = {
    [](int) { snprintf(score_table[CANDIDATE_ENTRY].player_name, NAME_FIELD, "G%d", named++); },
    [](int) { hiscore_display(0); }};

static size_t in_use()
{
    struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

// Every fourth game runs its full time; the other one-player games end by Escape after 6600
// steps, once player 1's 400 balls (one every 16 steps) are spent and have landed. Every fifth
// closing scene, from the second game on, is the real one, drawn every step and faded out.
TEST_F(Headless, SoakWholeGamesKeepEveryTableSaneAndTheMemoryFlat)
{
    enter_temp_dir();
    unsigned seed = getenv("SOAK_SEED") ? unsigned(atoi(getenv("SOAK_SEED"))) : unsigned(time(0));
    srand(seed);
    size_t baseline = 0;
    long steps = 0;
    for (game_no = 0; game_no < SOAK_GAMES && !failures; game_no++) {
        Menu_Option = game_no % 2 ? MENU_TWO_PLAYER : MENU_ONE_PLAYER;
        start_menu_pass();
        initialise_newgame();
        get_ready();
        bool capped = Menu_Option == MENU_ONE_PLAYER && game_no % 4 != 0;
        for (step_no = 0; game_continues() && !failures; steps++)
            if (capped && step_no == 6600)
                key[KEY_ESC] = 1;
            else
                checked_step(play_step);
        for (int k = 0; k < KEY_MAX; k++)
            key[k] = 0;
        mouse_b = 0;
        if (game_no % 5 == 1) {
            target_frames = actual_frames + 100000; // a slow machine: a frame each step
            gameover();
        } else {
            burst_bumpers();
            for (step_no = 0; any_particle_alive() && !failures;) {
                checked_step(close_step);
                SOAK_CHECK(step_no < 1000, "the closing scene ends when its particles have died");
            }
        }
        for (int n = FIRST_BUMPER_SLOT; n <= LAST_BUMPER_SLOT; n++)
            SOAK_CHECK(sprite[n].type == KIND_FREE, "the bumpers have burst");
        int before = named;
        enter_high_scores(quiet);
        Score saved[SCORE_PLACES];
        memcpy(saved, score_table, sizeof saved);
        SOAK_CHECK(named == before || (load_scores() && !memcmp(saved, score_table, sizeof saved)),
                   "the table saved whole");
        for (int a = 1; a < SCORE_PLACES; a++)
            SOAK_CHECK(saved[a - 1].player_score >= saved[a].player_score, "the table sorted");
        if (game_no == 3) baseline = in_use();
    }
    printf("soak: seed %u, %d games, %ld play steps, %d names entered, %zu bytes in use after the "
           "fourth game, %zu at the end\n",
           seed, SOAK_GAMES, steps, named, baseline, in_use());
    EXPECT_EQ(N(failures, named > 0), N(0, 1)) << "seed " << seed;
#if !defined(__SANITIZE_ADDRESS__) // the address sanitizer holds freed memory back
    EXPECT_LE(in_use(), baseline) << "memory in use grew after the fourth game";
#endif
}
