// bench_particles -- cost of the particle table under the game's heaviest loads: the game-over
// burst of 8760 particles, a frame of live explosions, and one update pass.
#include <cerrno>
#include <cstdlib>

#include <benchmark/benchmark.h>

#include "explosions.h"
#include "gameover.h"
#include "get_brumzel_pixels.h"
#include "init.h"
#include "particles.h"

static void start()
{
    static bool started = false;
    if (started) return;
    started = true;
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(16);
    char why[256];
    if (!load_gamedata(GAMEDATA_PATH, why, sizeof why)) abort();
    create_offscreen_bitmaps();
    get_brumzel_pixels();
}

// The burst into a table already holding scattered live particles (trails and sprays).
static void BM_GameOverBurst(benchmark::State &state)
{
    start();
    for (auto _ : state) {
        state.PauseTiming();
        initialise_particles();
        initialise_sprites();
        for (int n = 0; n < 3000; n++)
            create_particle(0, 0, 1, PARTICLE_DOT, 1, 1, 1, n % 7 + 1);
        update_particle();
        state.ResumeTiming();
        burst_bumpers();
    }
    state.SetItemsProcessed(state.iterations() * 8760);
}
BENCHMARK(BM_GameOverBurst)->Unit(benchmark::kMicrosecond);

// One logic step's spraying with many explosions live, each asking for 41 particles.
static void BM_ExplosionsStep(benchmark::State &state)
{
    start();
    int live = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        initialise_particles();
        initialise_explosions();
        for (int n = 0; n < live; n++)
            create_explosion(400, 300, 6, 3, PARTICLE_STREAK);
        state.ResumeTiming();
        do_explosions();
    }
    state.SetItemsProcessed(state.iterations() * live * PARTICLES_PER_EXPLOSION_STEP);
}
BENCHMARK(BM_ExplosionsStep)->Arg(10)->Arg(100)->Arg(400)->Unit(benchmark::kMicrosecond);

// One update pass over the whole table with the burst alive.
static void BM_UpdatePass(benchmark::State &state)
{
    start();
    initialise_particles();
    initialise_sprites();
    burst_bumpers();
    for (auto _ : state) {
        for (particle_record &p : particles)
            if (p.life > 0) p.life = 500; // keep them alive between passes
        update_particle();
    }
}
BENCHMARK(BM_UpdatePass)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
