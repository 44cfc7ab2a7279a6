// bench_play_frame -- cost of one pass of the play loop against its budget of 6.7 ms a tick:
// the logic step and the drawn frame, on a field with balls in flight and trails alive.
#include <cerrno>
#include <cstdlib>

#include <benchmark/benchmark.h>

#include "game_round.h"
#include "init.h"
#include "particles.h"
#include "title_screen.h"

static void start()
{
    static bool started = false;
    if (started) return;
    started = true;
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(16);
    screen = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    char why[256];
    if (!load_gamedata(GAMEDATA_PATH, why, sizeof why)) abort();
    create_offscreen_bitmaps();
}

// A busy moment of a game: both sides firing for a few seconds.
static void busy_field()
{
    start_menu_pass();
    initialise_newgame();
    Menu_Option = MENU_TWO_PLAYER;
    mouse_b = 1;
    mouse_y = 70;
    key[KEY_LCONTROL] = 1;
    for (int n = 0; n < 450; n++) {
        play_logic_step();
        p1_frames++;
        p2_frames++;
    }
}

static void BM_PlayLogicStep(benchmark::State &state)
{
    start();
    busy_field();
    for (auto _ : state) {
        play_logic_step();
        p1_frames++;
        p2_frames++;
    }
}
BENCHMARK(BM_PlayLogicStep)->Unit(benchmark::kMicrosecond);

static void BM_DrawPlayFrame(benchmark::State &state)
{
    start();
    busy_field();
    for (auto _ : state)
        draw_play_frame();
}
BENCHMARK(BM_DrawPlayFrame)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
