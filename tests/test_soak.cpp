// Soak: whole games back to back through the real play logic at full speed, both sides firing
// at random aims, the computer playing every other game, game over and high-score entries
// included; every logic step is checked for sane tables and counters, and the process must
// not grow from the tenth game to the last.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <malloc.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "display.h"
#include "explosions.h"
#include "game_round.h"
#include "gameover.h"
#include "get_ready.h"
#include "headless.h"
#include "hiscore.h"
#include "init.h"
#include "particles.h"
#include "play_frame.h"
#include "player_input.h"
#include "rebound_effect.h"
#include "title_screen.h"

#ifndef SOAK_GAMES
#define SOAK_GAMES 300
#endif

namespace {

// The field and a margin around it: no ball or bumper may ever be found outside.
constexpr double FIELD_MARGIN = 200;
// Steps between drawn frames during play and during the closing scene.
constexpr int DRAW_EVERY = 997, GAMEOVER_DRAW_EVERY = 97;
// Every this many games, from the second on, the closing scene runs whole, drawing every step
// and fading out.
constexpr int FULL_GAMEOVER_EVERY = 50;
constexpr int MEMORY_BASELINE_GAME = 10;
constexpr long RESIDENT_SLACK_KIB = 1024;
// The computer fires only at bumpers closing in on its side, so a one-player game mostly runs
// its full 20200 steps. To keep the soak short, most of them end by Escape once player 1's 400
// balls (one every 16 steps: 6400 steps) are spent and have had time to land; every tenth runs
// to the end of its time.
constexpr long ONE_PLAYER_STEP_CAP = 6600;
constexpr int FULL_LENGTH_EVERY = 20; // games; every tenth one-player game
// Longest lives the game ever hands out: a burst particle (200-599 steps) and an explosion.
constexpr int MAX_PARTICLE_LIFE = 599, MAX_EXPLOSION_LIFE = 6;

int env_or(const char *name, int fallback)
{
    const char *v = getenv(name);
    return v && *v ? atoi(v) : fallback;
}

// A figure of /proc/self/status in KiB ("VmRSS", "RssAnon", ...), or -1.
long status_kib(const char *field)
{
    FILE *f = fopen("/proc/self/status", "r");
    if (!f) return -1;
    char line[256], format[64];
    snprintf(format, sizeof format, "%s: %%ld kB", field);
    long kib = -1;
    while (fgets(line, sizeof line, f))
        if (sscanf(line, format, &kib) == 1) break;
    fclose(f);
    return kib;
}
// Bytes the game has allocated and not freed, whether from the heap or mapped on their own.
size_t heap_in_use()
{
    struct mallinfo2 mi = mallinfo2();
    return mi.uordblks + mi.hblkhd;
}

bool finite(double v)
{
    return std::isfinite(v);
}

bool on_field(const sprite_record &s)
{
    return s.x > -FIELD_MARGIN && s.x < SCREEN_WIDTH + FIELD_MARGIN && s.y > -FIELD_MARGIN &&
           s.y < SCREEN_HEIGHT + FIELD_MARGIN;
}

// What one soak has seen, for the figures printed at its end.
struct soak_figures {
    long steps = 0, gameover_steps = 0, frames = 0, balls_fired = 0, entries = 0;
    long longest_game = 0, most_particles = 0;
    long points[2] = {0, 0};
};

// The counters one step must not undo.
struct counters {
    int p1_score, p2_score, p1_balls, p2_balls;
};

counters read_counters()
{
    return {p1_score, p2_score, p1_balls, p2_balls};
}

class Soak : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        start_headless();
        ASSERT_EQ(chdir(make_temp_dir("soak")), 0);
    }
    void TearDown() override
    {
        for (int k = 0; k < KEY_MAX; k++)
            key[k] = 0;
        mouse_b = 0;
    }

    soak_figures fig;
    int failures = 0;

    // Stops the soak at the first broken rule, saying where.
    void expect(bool ok, const char *what, int game, long step)
    {
        if (ok || failures++ > 0) return;
        ADD_FAILURE() << what << " (game " << game << ", step " << step << ")";
    }

    void check_tables(int game, long step)
    {
        int bumpers = 0;
        for (int n = 0; n < SPRITE_SLOTS; n++) {
            const sprite_record &s = sprite[n];
            if (s.type == KIND_FREE) continue;
            bool ball = s.type == KIND_P1_BALL || s.type == KIND_P2_BALL;
            bool point = s.type == KIND_MOVING_POINT;
            expect(finite(s.x) && finite(s.y) && finite(s.dx) && finite(s.dy),
                   "a sprite's position and speed are finite", game, step);
            if (ball) {
                expect(n <= OVERFLOW_BALL_SLOT, "balls stay in slots 0-50", game, step);
                expect(on_field(s), "balls stay on the field", game, step);
            } else if (s.type == KIND_BUMPER) {
                bumpers++;
                expect(n >= FIRST_BUMPER_SLOT && n <= LAST_BUMPER_SLOT,
                       "bumpers stay in slots 71-76", game, step);
                expect(on_field(s), "bumpers stay on the field", game, step);
            } else if (point) {
                expect(n >= FIRST_POINTS_SLOT && s.life <= 200,
                       "score numbers stay in slots 110-199 and live 200 steps", game, step);
            } else {
                expect(s.type >= KIND_PAD_BOTTOM_LEFT && s.type <= KIND_BOTTOM_EDGE &&
                           n > LAST_MOVABLE_SLOT && n <= LAST_COLLIDING_SLOT,
                       "only edge circles besides", game, step);
            }
        }
        expect(bumpers <= LAST_BUMPER_SLOT - FIRST_BUMPER_SLOT + 1, "six bumpers at most", game,
               step);
        // The particle table is walked every step, so cheaply: a non-finite value turns the
        // product with zero into NaN, which the sum keeps; a style out of 1-3 or a life out of
        // range shows in the extremes.
        long live = 0;
        double nan_trap = 0;
        int lowest_type = PARTICLE_STREAK, highest_type = PARTICLE_BLOB, longest_life = 0;
        for (int n = 0; n < PARTICLE_SLOTS; n++) {
            const particle_record &p = particles[n];
            if (p.life <= 0) continue;
            live++;
            nan_trap += (p.x + p.y + p.dx + p.dy + p.tx + p.ty) * 0.0;
            lowest_type = p.type < lowest_type ? p.type : lowest_type;
            highest_type = p.type > highest_type ? p.type : highest_type;
            longest_life = p.life > longest_life ? p.life : longest_life;
        }
        expect(nan_trap == 0, "every particle's position and speed are finite", game, step);
        expect(lowest_type >= PARTICLE_STREAK && highest_type <= PARTICLE_BLOB &&
                   longest_life < MAX_PARTICLE_LIFE,
               "every particle's style and life are the game's own", game, step);
        if (live > fig.most_particles) fig.most_particles = live;
        for (const explosion_record &e : explosion)
            if (e.life > 0)
                expect(e.life <= MAX_EXPLOSION_LIFE && finite(e.x) && finite(e.y),
                       "explosions are short and finite", game, step);
        for (const rebound_record &r : rebound)
            if (r.life > 0)
                expect(r.life <= REBOUND_LIFE && r.type >= KIND_PAD_BOTTOM_LEFT &&
                           r.type <= KIND_PAD_BOTTOM_RIGHT,
                       "pad flashes are of the corner pads and short", game, step);
    }

    void check_counters(const counters &before, int game, long step)
    {
        expect(p1_score >= before.p1_score && p2_score >= before.p2_score, "scores never fall",
               game, step);
        expect(p1_balls >= 0 && p2_balls >= 0, "ball counts never go below 0", game, step);
        expect(p1_balls <= before.p1_balls && p2_balls <= before.p2_balls,
               "ball counts never rise during a game", game, step);
        expect(hi >= p1_score && hi >= p2_score, "the best score keeps up", game, step);
        fig.balls_fired += (before.p1_balls - p1_balls) + (before.p2_balls - p2_balls);
    }

    // The controls of one step: player 1 fires at a random aim; in a two-player game player 2
    // holds the fire key and steers at random; the computer plays the other games itself.
    static void set_controls()
    {
        mouse_y = rand() % (AIM_MOUSE_BOTTOM + 1);
        mouse_b = 1;
        if (Menu_Option == MENU_TWO_PLAYER) {
            key[KEY_LCONTROL] = 1;
            int steer = rand() % 3;
            key[KEY_UP] = steer == 0;
            key[KEY_DOWN] = steer == 1;
        }
    }

    // The play loop of one game, the clock keeping pace with the logic; a frame now and then.
    void play(int game)
    {
        static void (*const no_frame)() = [] {};
        bool capped = Menu_Option == MENU_ONE_PLAYER && game % FULL_LENGTH_EVERY != 0;
        long step = 0;
        while (game_continues()) {
            if (capped && step == ONE_PLAYER_STEP_CAP) {
                key[KEY_ESC] = 1; // the game ends the way a player would end it
                continue;
            }
            set_controls();
            counters before = read_counters();
            target_frames = actual_frames + 1; // the tick for this pass has come
            bool draw = step % DRAW_EVERY == DRAW_EVERY - 1;
            play_pass(draw ? draw_play_frame : no_frame);
            fig.frames += draw;
            step++;
            check_counters(before, game, step);
            check_tables(game, step);
            if (failures) return;
        }
        fig.steps += step;
        if (step > fig.longest_game) fig.longest_game = step;
        fig.points[0] += p1_score;
        fig.points[1] += p2_score;
    }

    // The closing scene: the real one now and then, otherwise its logic with a frame now and
    // then, until the last particle has died.
    void close_game(int game)
    {
        mouse_b = 0;
        for (int k = 0; k < KEY_MAX; k++)
            key[k] = 0;
        if (game % FULL_GAMEOVER_EVERY == 1) {
            target_frames = actual_frames + 100000; // a slow machine: one frame per step
            gameover();
        } else {
            burst_bumpers();
            long step = 0;
            while (any_particle_alive()) {
                counters before = read_counters();
                gameover_logic_step();
                actual_frames++;
                if (++step % GAMEOVER_DRAW_EVERY == 0) {
                    draw_gameover_frame();
                    fig.frames++;
                }
                check_counters(before, game, step);
                check_tables(game, step);
                if (failures) return;
            }
            fig.gameover_steps += step;
        }
        for (int n = FIRST_BUMPER_SLOT; n <= LAST_BUMPER_SLOT; n++)
            expect(sprite[n].type == KIND_FREE, "the bumpers have burst", game, 0);
    }

    // Qualifying scores are named, sorted in and saved: the table stays sorted and whole.
    void enter_scores(int game)
    {
        static int named = 0;
        static const score_screens quiet = {[](int) {
                                                snprintf(score_table[CANDIDATE_ENTRY].player_name,
                                                         NAME_FIELD, "G%d", named++);
                                            },
                                            [](int) { hiscore_display(0); }};
        int before = named;
        enter_high_scores(quiet);
        fig.entries += named - before;
        if (named == before) return;
        Score saved[SCORE_PLACES];
        memcpy(saved, score_table, sizeof saved);
        expect(load_scores(), "the saved table loads", game, 0);
        expect(memcmp(saved, score_table, sizeof saved) == 0, "the saved table loads unchanged",
               game, 0);
        for (int a = 1; a < SCORE_PLACES; a++)
            expect(score_table[a - 1].player_score >= score_table[a].player_score,
                   "the table stays sorted", game, 0);
    }
};

TEST_F(Soak, WholeGamesBackToBackKeepEveryTableSaneAndTheMemoryFlat)
{
    const int games = env_or("SOAK_GAMES", SOAK_GAMES);
    const unsigned seed = unsigned(env_or("SOAK_SEED", int(time(nullptr))));
    srand(seed);
    remove(SCORE_FILE);
    long baseline_kib = -1;
    size_t baseline_heap = 0;
    clock_t started = clock();
    for (int game = 0; game < games && !failures; game++) {
        Menu_Option = game % 2 == 0 ? MENU_ONE_PLAYER : MENU_TWO_PLAYER;
        start_menu_pass();
        initialise_newgame();
        get_ready();
        play(game);
        if (!failures) close_game(game);
        if (!failures) enter_scores(game);
        if (game + 1 == MEMORY_BASELINE_GAME) {
            baseline_kib = status_kib("VmRSS");
            baseline_heap = heap_in_use();
        }
    }
    double seconds = double(clock() - started) / CLOCKS_PER_SEC;
    long final_kib = status_kib("VmRSS");
    size_t final_heap = heap_in_use();
    printf("soak: seed %u, %d games, %ld play steps (longest game %ld), %ld closing-scene steps, "
           "%ld frames drawn, %ld balls fired, %ld high-score entries, points %ld / %ld, "
           "at most %ld live particles, %.1f s of processor time (%.2f us a step), "
           "resident %ld KiB and %zu bytes allocated after game %d, %ld KiB and %zu bytes at "
           "the end\n",
           seed, games, fig.steps, fig.longest_game, fig.gameover_steps, fig.frames,
           fig.balls_fired, fig.entries, fig.points[0], fig.points[1], fig.most_particles, seconds,
           1e6 * seconds / double(fig.steps + fig.gameover_steps), baseline_kib, baseline_heap,
           MEMORY_BASELINE_GAME, final_kib, final_heap);
    EXPECT_EQ(failures, 0) << "seed " << seed;
#if !defined(__SANITIZE_ADDRESS__)
    // Not a byte more allocated at the end than after the tenth game. The resident size may
    // still move by a few pages: code run for the first time late (a full-length game, the
    // fade) and the allocator keeping freed pages of the fade's screen-sized bitmaps in its
    // arena. A leak of even one record a game would show in the first figure. (The address
    // sanitizer holds freed memory back, so there its leak check stands in for both.)
    if (games > MEMORY_BASELINE_GAME) {
        ASSERT_GT(baseline_kib, 0);
        EXPECT_LE(final_heap, baseline_heap)
            << "allocated memory grew from game " << MEMORY_BASELINE_GAME << " to game " << games;
        EXPECT_LE(final_kib, baseline_kib + RESIDENT_SLACK_KIB)
            << "resident memory grew from game " << MEMORY_BASELINE_GAME << " to game " << games;
    }
#endif
}

} // namespace
