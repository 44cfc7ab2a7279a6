// test_soak -- whole games, closing scenes and high-score entries back to back, checked each step
// (the fixture checks that the heap ends where it began)
#include <cmath>
#include <cstring>
#include <ctime>

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

static int failures = 0, game_no, named = 0, step_no;

// Stops the soak at the first broken rule, saying where.
#define SOAK_CHECK(ok, what)                                                                       \
    if (!(ok) && failures++ == 0)                                                                  \
    ADD_FAILURE() << what << " (game " << game_no << ", step " << step_no << ")"

// One step, checked: scores never fall and the best keeps up, ball counts only fall, balls and
// bumpers stay on the field, effects keep their styles and short lives.
static void checked_step(void (*step)())
{
    int s1 = p1_score, s2 = p2_score, b1 = p1_balls, b2 = p2_balls;
    step(), step_no++;
    SOAK_CHECK(p1_score >= s1 && p2_score >= s2 && hi >= p1_score && hi >= p2_score &&
                   p1_balls >= 0 && p2_balls >= 0 && p1_balls <= b1 && p2_balls <= b2,
               "scores and ball counts");
    for (int n = 0; n < SPRITE_SLOTS; n++) {
        const sprite_record &s = sprite[n];
        bool ball = s.type == KIND_P1_BALL || s.type == KIND_P2_BALL, moves = ball || s.type == 3;
        SOAK_CHECK((!ball || n <= OVERFLOW_BALL_SLOT) &&
                       (!moves || (std::isfinite(s.dx + s.dy) && fabs(s.x - 400) < 600 &&
                                   fabs(s.y - 300) < 500)),
                   "balls in slots 0-50, balls and bumpers within 200 of the field");
    }
    for (const particle_record &p : particles)
        SOAK_CHECK(p.life <= 0 || (p.type >= 1 && p.type <= 3 && p.life < 599 &&
                                   std::isfinite(p.x + p.y + p.dx + p.dy + p.tx + p.ty)),
                   "particles' styles, lives and figures");
    for (int n = 0; n < EXPLOSION_SLOTS; n++)
        SOAK_CHECK(explosion[n].life <= 6 &&
                       (n >= REBOUND_SLOTS || rebound[n].life <= REBOUND_LIFE),
                   "explosions and flashes are short");
}

// Player 1 fires at a random aim, player 2 holds fire and steers at random; a frame every 997.
static void play_step()
{
    mouse_y = rand() % 161, mouse_b = 1;
    int steer = rand() % 3;
    key[KEY_LCONTROL] = 1, key[KEY_UP] = steer == 0, key[KEY_DOWN] = steer == 1;
    target_frames = actual_frames + 1; // the clock's tick for the pass has come
    play_pass(step_no % 997 == 0 ? draw_play_frame : [] {});
}

static const score_screens quiet = {
    [](int) { snprintf(score_table[CANDIDATE_ENTRY].player_name, NAME_FIELD, "G%d", named++); },
    [](int) { hiscore_display(0); }};

TEST_F(Headless, SoakWholeGamesKeepEveryTableSane)
{
    enter_temp_dir();
    unsigned seed = getenv("SOAK_SEED") ? unsigned(atoi(getenv("SOAK_SEED"))) : unsigned(time(0));
    srand(seed);
    for (game_no = 0; game_no < SOAK_GAMES && !failures; game_no++) {
        Menu_Option = game_no % 2 ? MENU_TWO_PLAYER : MENU_ONE_PLAYER;
        start_menu_pass(), initialise_newgame(), get_ready();
        for (step_no = 0; game_continues() && !failures;) {
            checked_step(play_step);
            // One-player games 2, 6, ... stop when player 1's 400 balls (one each 16 steps) are in
            key[KEY_ESC] = game_no % 4 == 2 && step_no == 6600;
        }
        key[KEY_ESC] = key[KEY_LCONTROL] = mouse_b = 0, burst_bumpers();
        for (step_no = 0; any_particle_alive() && !failures;) {
            checked_step(gameover_logic_step);
            if (++actual_frames % 97 == 0) draw_gameover_frame();
            SOAK_CHECK(step_no < 1000, "the closing scene ends when its particles have died");
        }
        enter_high_scores(quiet);
        Score saved[SCORE_PLACES];
        memcpy(saved, score_table, sizeof saved);
        SOAK_CHECK(!named || (load_scores() && !memcmp(saved, score_table, sizeof saved)),
                   "the table saved whole");
    }
    EXPECT_EQ(N(failures, named > 0), N(0, 1)) << "seed " << seed;
}
