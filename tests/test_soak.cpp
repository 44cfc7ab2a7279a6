// test_soak -- whole games back to back through the real play logic at full speed: both sides
// firing at random aims, the computer playing every other game, the closing scene and the
// high-score entries included. Every step's tables and counters are checked, and the memory
// in use must not grow from the fourth game to the last.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <malloc.h>

#include "explosions.h"
#include "fixture.h"
#include "game_round.h"
#include "gameover.h"
#include "get_ready.h"
#include "hiscore.h"
#include "moving_points.h"
#include "particles.h"
#include "player_input.h"
#include "rebound_effect.h"
#include "title_screen.h"

#ifndef SOAK_GAMES
#define SOAK_GAMES 16
#endif

// Every fourth game runs its full time; the others end by Escape after 6600 steps, once
// player 1's 400 balls (one every 16 steps) are spent and have landed. Every fifth closing
// scene, from the second game on, is the real one, drawn every step and faded out.
constexpr int FULL_LENGTH_EVERY = 4, FULL_CLOSE_EVERY = 5, BASELINE_GAME = 4;
constexpr long STEP_CAP = 6600;
constexpr double MARGIN = 200; // no ball or bumper ever leaves the field by more
constexpr int LONGEST_PARTICLE = 599, LONGEST_EXPLOSION = 6;

static int failures = 0;
static int game_no;
static long step_no;

// Stops the soak at the first broken rule, saying where.
#define SOAK_CHECK(ok, what)                                                                       \
    do {                                                                                           \
        if (!(ok) && failures++ == 0)                                                              \
            ADD_FAILURE() << what << " (game " << game_no << ", step " << step_no << ")";          \
    } while (0)

static bool on_field(const sprite_record &s)
{
    return std::isfinite(s.x + s.y + s.dx + s.dy) && s.x > -MARGIN && s.x < 800 + MARGIN &&
           s.y > -MARGIN && s.y < 600 + MARGIN;
}

static void check_tables()
{
    for (int n = 0; n < SPRITE_SLOTS; n++) {
        const sprite_record &s = sprite[n];
        if (s.type == KIND_P1_BALL || s.type == KIND_P2_BALL)
            SOAK_CHECK(n <= OVERFLOW_BALL_SLOT && on_field(s), "balls stay in 0-50, on the field");
        else if (s.type == KIND_BUMPER)
            SOAK_CHECK(n >= FIRST_BUMPER_SLOT && n <= LAST_BUMPER_SLOT && on_field(s),
                       "bumpers stay in 71-76, on the field");
        else if (s.type == KIND_MOVING_POINT)
            SOAK_CHECK(n >= FIRST_POINTS_SLOT && s.life <= MOVING_POINT_LIFE, "numbers in 110-199");
        else if (s.type != KIND_FREE)
            SOAK_CHECK(n > LAST_MOVABLE_SLOT && n <= LAST_COLLIDING_SLOT &&
                           s.type >= KIND_PAD_BOTTOM_LEFT && s.type <= KIND_BOTTOM_EDGE,
                       "only edge circles besides");
    }
    // A non-finite value turns the product with zero into NaN, which the sum keeps.
    double nan_trap = 0;
    for (const particle_record &p : particles)
        if (p.life > 0) {
            nan_trap += (p.x + p.y + p.dx + p.dy + p.tx + p.ty) * 0.0;
            SOAK_CHECK(p.type >= PARTICLE_STREAK && p.type <= PARTICLE_BLOB &&
                           p.life < LONGEST_PARTICLE,
                       "particles of the game's styles and lives");
        }
    SOAK_CHECK(nan_trap == 0, "particles finite");
    for (const explosion_record &e : explosion)
        SOAK_CHECK(e.life <= LONGEST_EXPLOSION, "explosions are short");
    for (const rebound_record &r : rebound)
        SOAK_CHECK(r.life <= 0 || (r.life <= REBOUND_LIFE && r.type >= KIND_PAD_BOTTOM_LEFT &&
                                   r.type <= KIND_PAD_BOTTOM_RIGHT),
                   "flashes are short, of corner pads");
}

// One step, checked: scores never fall, ball counts never rise or go below 0, the best keeps up.
static void checked_step(void (*step)())
{
    int s1 = p1_score, s2 = p2_score, b1 = p1_balls, b2 = p2_balls;
    step();
    step_no++;
    SOAK_CHECK(p1_score >= s1 && p2_score >= s2, "scores never fall");
    SOAK_CHECK(p1_balls >= 0 && p2_balls >= 0 && p1_balls <= b1 && p2_balls <= b2,
               "ball counts only fall, to 0");
    check_tables();
}

static void no_frame() {}

static void play_step()
{
    // Player 1 fires at a random aim; player 2 holds fire and steers at random.
    mouse_y = rand() % (AIM_MOUSE_BOTTOM + 1);
    mouse_b = 1;
    int steer = rand() % 3;
    key[KEY_LCONTROL] = 1, key[KEY_UP] = steer == 0, key[KEY_DOWN] = steer == 1;
    target_frames = actual_frames + 1; // the tick for this pass has come
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
        bool capped = Menu_Option == MENU_ONE_PLAYER && game_no % FULL_LENGTH_EVERY != 0;
        for (step_no = 0; game_continues() && !failures;) {
            if (capped && step_no == STEP_CAP)
                key[KEY_ESC] = 1;
            else
                checked_step(play_step);
        }
        steps += step_no;
        for (int k = 0; k < KEY_MAX; k++)
            key[k] = 0;
        mouse_b = 0;
        if (game_no % FULL_CLOSE_EVERY == 1) {
            target_frames = actual_frames + 100000; // a slow machine: a frame each step
            gameover();
        } else {
            burst_bumpers();
            for (step_no = 0; any_particle_alive() && !failures;)
                checked_step(close_step);
        }
        for (int n = FIRST_BUMPER_SLOT; n <= LAST_BUMPER_SLOT; n++)
            SOAK_CHECK(sprite[n].type == KIND_FREE, "the bumpers have burst");
        int before = named;
        enter_high_scores(quiet);
        if (named > before) { // saved whole and sorted
            Score saved[SCORE_PLACES];
            memcpy(saved, score_table, sizeof saved);
            SOAK_CHECK(load_scores() && !memcmp(saved, score_table, sizeof saved), "table saved");
            for (int a = 1; a < SCORE_PLACES; a++)
                SOAK_CHECK(saved[a - 1].player_score >= saved[a].player_score, "table sorted");
        }
        if (game_no + 1 == BASELINE_GAME) baseline = in_use();
    }
    printf("soak: seed %u, %d games, %ld play steps, %d names entered, %zu bytes in use after "
           "game %d, %zu at the end\n",
           seed, SOAK_GAMES, steps, named, baseline, BASELINE_GAME, in_use());
    EXPECT_EQ(failures, 0) << "seed " << seed;
    EXPECT_GT(named, 0);
#if !defined(__SANITIZE_ADDRESS__) // the address sanitizer holds freed memory back
    EXPECT_LE(in_use(), baseline) << "memory in use grew from game " << BASELINE_GAME;
#endif
}
