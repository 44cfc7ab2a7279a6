// bench_frame_costs -- what a frame costs at the game's heaviest moments, as a multiple of the two
// full-screen copies every frame makes and as a share of the 6.7 ms of one tick, and what the
// present step of the scaled display modes adds to every frame. Headless: 16-bit memory bitmaps
// for buffer and screen, every scene set up by the game's own modules. Heap allocations are
// counted while a frame runs; a play frame must make none.
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

#include <benchmark/benchmark.h>

#include "display.h"
#include "explosions.h"
#include "game_input.h"
#include "game_round.h"
#include "gamedata.h"
#include "gameover.h"
#include "get_brumzel_pixels.h"
#include "hiscore.h"
#include "init.h"
#include "moving_points.h"
#include "new_ball.h"
#include "particles.h"
#include "play_frame.h"
#include "player_input.h"
#include "rebound_effect.h"
#include "replay.h"
#include "title_screen.h"

// ---- heap allocations, counted only while a measured frame runs ----
// The program's own malloc family takes the place of the C library's for every caller, the
// Allegro library and operator new included, and hands on to the C library's own entry points.

extern "C" {
void *__libc_malloc(size_t);
void *__libc_calloc(size_t, size_t);
void *__libc_realloc(void *, size_t);
void *__libc_memalign(size_t, size_t);
void __libc_free(void *);
}

static std::atomic<bool> counting{false};
static std::atomic<long> allocations{0};

static void count_allocation()
{
    if (counting.load(std::memory_order_relaxed))
        allocations.fetch_add(1, std::memory_order_relaxed);
}

extern "C" {
void *malloc(size_t size)
{
    count_allocation();
    return __libc_malloc(size);
}
void *calloc(size_t n, size_t size)
{
    count_allocation();
    return __libc_calloc(n, size);
}
void *realloc(void *p, size_t size)
{
    count_allocation();
    return __libc_realloc(p, size);
}
void *memalign(size_t align, size_t size)
{
    count_allocation();
    return __libc_memalign(align, size);
}
void *aligned_alloc(size_t align, size_t size)
{
    count_allocation();
    return __libc_memalign(align, size);
}
int posix_memalign(void **p, size_t align, size_t size)
{
    count_allocation();
    *p = __libc_memalign(align, size);
    return *p ? 0 : ENOMEM;
}
void free(void *p)
{
    __libc_free(p);
}
}

// ---- clocks ----
// Frames are timed on the thread's own CPU clock: on a machine shared with other work, the
// wall clock also counts the time slices given to other processes. Wall time is kept beside it.

static double thread_cpu_ms()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

static double wall_ms()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// ---- the headless machine ----

static void start()
{
    static bool started = false;
    if (started) return;
    started = true;
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(16);
    screen = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    clear_bitmap(screen);
    char why[256];
    if (!load_gamedata(GAMEDATA_PATH, why, sizeof why)) {
        fprintf(stderr, "bench: %s\n", why);
        exit(1);
    }
    create_offscreen_bitmaps();
    get_brumzel_pixels();
    set_default_scores();
}

constexpr double TICK_MS = 1000.0 / TIMER_RATE;
constexpr unsigned SCENE_SEED = 20070701;

static void clear_input()
{
    for (int k = 0; k < KEY_MAX; k++)
        key[k] = 0;
    mouse_b = 0;
    mouse_x = AIM_MOUSE_X;
    mouse_y = 80;
}

// The clock exactly level with the logic, so a pass draws one frame.
static void clock_level()
{
    target_frames = actual_frames;
}

// A new game as the menu loop leaves it, without reading the score file.
static void new_game(int menu_option)
{
    initialise_sprites();
    initialise_particles();
    initialise_explosions();
    initialise_rebound();
    Menu_Option = menu_option;
    initialise_newgame();
    hi = score_table[0].player_score;
    actual_frames = 0;
    target_frames = 0;
    p1_frames = p2_frames = 0;
    clear_input();
}

// A small generator of its own for placing things, so the game's rand() sequence is the game's.
static unsigned place_state;
static double place_random(double lo, double hi)
{
    place_state = place_state * 1103515245u + 12345u;
    return lo + (hi - lo) * ((place_state >> 8) & 0xffff) / 65535.0;
}

// A point of the open field: inside the side lines, clear of the corner circles and the top
// and bottom edges, of the bumpers and of the balls already placed.
static bool open_field(double x, double y, int placed)
{
    for (int n = LAST_COLLIDING_SLOT; n > LAST_MOVABLE_SLOT; n--) {
        const sprite_record &e = sprite[n];
        if (e.type == KIND_FREE) continue;
        if (hypot(x + 5 - e.x, y + 5 - e.y) < e.w / 2 + 12) return false;
    }
    for (int n = FIRST_BUMPER_SLOT; n <= LAST_BUMPER_SLOT; n++)
        if (hypot(x - sprite[n].x, y - sprite[n].y) < 50) return false;
    for (int n = 0; n < placed; n++)
        if (hypot(x - sprite[n].x, y - sprite[n].y) < 14) return false;
    return true;
}

// ---- the scenes ----

// The opening position: bumpers at rest in their triangle, nothing in flight. Nothing moves
// there without input, so every pass finds it again.
static void opening_position()
{
    new_game(MENU_ONE_PLAYER);
}

static void clock_at_start()
{
    actual_frames = 0;
    target_frames = 0;
}

// Fifty balls of both sides in flight across the field, launched by the launchers.
static void fifty_balls_in_flight()
{
    for (int n = 0; n <= LAST_BALL_SLOT; n++) {
        int side = n % 2 ? KIND_P2_BALL : KIND_P1_BALL;
        p1_frames = p2_frames = LAUNCH_GAP;
        new_ball(side);
        sprite_record &s = sprite[n];
        do {
            s.x = place_random(60, 730);
            s.y = place_random(70, 520);
        } while (!open_field(s.x, s.y, n));
        s.dx = (side == KIND_P1_BALL ? 1 : -1) * place_random(1.5, 6);
        s.dy = place_random(-3, 3);
    }
}

// The six bumpers glide away from the middle of their triangle, spinning.
static void bumpers_moving()
{
    for (int n = FIRST_BUMPER_SLOT; n <= LAST_BUMPER_SLOT; n++) {
        sprite_record &s = sprite[n];
        double a = atan2(s.y - 280, s.x - 402);
        s.dx = 1.6 * cos(a);
        s.dy = 1.6 * sin(a);
    }
}

// Particles as play makes them: sprays of streaks and dots and slow trail dots, all over the
// field, their lives spread so that some die in every step.
static void particles_of_play(int count, int dying_now)
{
    for (int n = 0; n < count; n++) {
        int x = static_cast<int>(place_random(40, 760)),
            y = static_cast<int>(place_random(40, 560));
        bool dies = (static_cast<long long>(n) * dying_now) % count < dying_now;
        int life = dies ? 1 : 2 + n % 9;
        switch (n % 4) {
        case 0:
        case 1:
            create_particle(x, y, 3, PARTICLE_STREAK, 255, 200, 200, life);
            break;
        case 2:
            create_particle(x, y, 2, PARTICLE_DOT, 255, 200, 200, life);
            break;
        default:
            create_particle(x, y, 0.2, PARTICLE_DOT, 0, 255, 0, life);
            break;
        }
    }
}

static void explosions_everywhere(int count)
{
    for (int n = 0; n < count; n++) {
        int x = static_cast<int>(place_random(60, 740)),
            y = static_cast<int>(place_random(60, 540));
        switch (n % 3) {
        case 0:
            create_explosion(x, y, 4, 3, PARTICLE_STREAK); // a bumper hit
            break;
        case 1:
            create_explosion(x, y, 5, 2, PARTICLE_DOT); // two balls
            break;
        default:
            create_explosion(x, y, 6, 5, PARTICLE_STREAK); // two bumpers
            break;
        }
    }
}

static void score_numbers_everywhere()
{
    static const int values[] = {10, 25, 50, 100, 250};
    for (int n = FIRST_POINTS_SLOT; n <= LAST_POINTS_SLOT; n++)
        create_new_moving_points(place_random(60, 740), place_random(60, 540), values[n % 5],
                                 n % 2 ? DRIFT_LEFT : DRIFT_LEFT + 1);
}

static void corner_flashes()
{
    for (int n = 0; n < REBOUND_SLOTS; n++)
        create_pad_rebound(KIND_PAD_BOTTOM_LEFT + n % 4);
}

// The heaviest play frame: 50 balls, six moving bumpers, 100 explosions, 90 score numbers, 20
// flashes, both sides firing. free_slots records are left free, scattered through the table
// by the step before, for the particles this frame asks for; 0 means the table is full.
static void peak_load(int free_slots)
{
    new_game(MENU_TWO_PLAYER);
    srand(SCENE_SEED);
    place_state = SCENE_SEED;
    bumpers_moving();
    fifty_balls_in_flight();
    // The scattered free records are those the step before freed: it ran an update pass.
    particles_of_play(PARTICLE_SLOTS, free_slots);
    if (free_slots > 0) update_particle();
    explosions_everywhere(100);
    score_numbers_everywhere();
    corner_flashes();
    p1_frames = p2_frames = LAUNCH_GAP;
    mouse_b = 1;
    mouse_y = 40;
    key[KEY_LCONTROL] = 1;
    clock_level();
}

// Requests of one peak frame: 41 for each of 100 explosions, 50 trails, and the explosions the
// frame's own collisions start. The free records leave room for all of them.
constexpr int PEAK_FRAME_REQUESTS = 100 * PARTICLES_PER_EXPLOSION_STEP + 50 + 400;

static void peak_load_table_full()
{
    peak_load(0);
}

// Says once what the peak scene holds when its frame starts, so the figures can be trusted.
static void describe_peak_load()
{
    static bool described = false;
    if (described) return;
    described = true;
    peak_load(0);
    int balls[3] = {0, 0, 0}, moving_bumpers = 0, numbers = 0, live = 0, bursts = 0, flashes = 0;
    for (int n = 0; n <= LAST_BALL_SLOT; n++)
        if (sprite[n].type == KIND_P1_BALL || sprite[n].type == KIND_P2_BALL)
            balls[sprite[n].type]++;
    for (int n = FIRST_BUMPER_SLOT; n <= LAST_BUMPER_SLOT; n++)
        moving_bumpers += sprite[n].type == KIND_BUMPER && (sprite[n].dx != 0 || sprite[n].dy != 0);
    for (int n = FIRST_POINTS_SLOT; n <= LAST_POINTS_SLOT; n++)
        numbers += sprite[n].life > 0;
    for (const particle_record &p : particles)
        live += p.life > 0;
    for (const explosion_record &e : explosion)
        bursts += e.life > 0;
    for (const rebound_record &r : rebound)
        flashes += r.life > 0;
    fprintf(stderr,
            "peak scene: %d + %d balls in flight, %d moving bumpers, %d live particles, %d "
            "explosions, %d floating scores, %d corner flashes\n",
            balls[KIND_P1_BALL], balls[KIND_P2_BALL], moving_bumpers, live, bursts, numbers,
            flashes);
}

static void peak_load_table_with_room()
{
    peak_load(PEAK_FRAME_REQUESTS);
}

static void burst_into_empty_table()
{
    initialise_sprites();
    initialise_particles();
    srand(SCENE_SEED);
}

// Every second record live, the rest free, as particles of mixed lives leave the table.
static void burst_into_half_full_table()
{
    initialise_sprites();
    initialise_particles();
    srand(SCENE_SEED);
    for (int n = 0; n < PARTICLE_SLOTS; n++)
        create_particle(400, 300, 1, PARTICLE_DOT, 255, 255, 255, n % 2 ? 1 : 300);
    update_particle();
}

// The first frame of the closing scene: the fresh burst with its blobs, over a busy field.
static void gameover_after_peak()
{
    peak_load(PEAK_FRAME_REQUESTS + 8760);
    burst_bumpers();
    clock_level();
}

// ---- what is measured ----

static void one_play_pass()
{
    play_pass(draw_play_frame);
}

static void two_screen_copies()
{
    blit(background, buffer, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    blit(buffer, screen, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
}

// ---- the present step of the scaled modes, to display-sized memory bitmaps ----
static BITMAP *window_display, *desktop_display;

static void make_displays()
{
    if (!window_display) window_display = create_bitmap(2 * SCREEN_WIDTH, 2 * SCREEN_HEIGHT);
    if (!desktop_display) desktop_display = create_bitmap(1920, 1080);
    blit(title1, screen, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
}

static void window_2x_view()
{
    use_display_view(window_view(2));
}

static void desktop_fill_view_1080()
{
    use_display_view(desktop_fill_view(1920, 1080));
}

static void present_window_2x()
{
    present_frame(screen, window_display);
}

static void present_desktop_fill()
{
    present_frame(screen, desktop_display);
}

// The library's general stretch, for comparison.
static void stretch_blit_2x()
{
    stretch_blit(screen, window_display, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, 0, 0, 2 * SCREEN_WIDTH,
                 2 * SCREEN_HEIGHT);
}

// The scaled present as the game runs it, with a memory bitmap standing for the display: a
// changed picture is compared with the last one sent, scaled and sent in one copy; the same
// picture looked at again at the next tick costs the comparison alone.
static void scale_onto_window_2x()
{
    make_displays();
    scale_frame_onto(screen, window_display, window_view(2));
}

static void change_the_picture()
{
    putpixel(screen, 400, 599, getpixel(screen, 400, 599) ^ 1);
}

static void offer_at_next_tick()
{
    display_ticks = display_ticks + 1;
    offer_picture();
}

static void one_gameover_pass()
{
    gameover_logic_step();
    draw_gameover_frame();
    actual_frames++;
}

static void hiscore_table_frame()
{
    hiscore_display(0);
}

// A busy game: player 1 fires at the full rate with the mouse aim sweeping up and down; player
// 2 does the same on the keys in the two-player game, and in the one-player game the computer
// plays, firing and turning its aim at the bumpers that close in on its side.
constexpr int BUSY_FRAMES = 1000;
static double slowest_busy_frame_ms;

static void busy_two_player_game()
{
    new_game(MENU_TWO_PLAYER);
    srand(SCENE_SEED);
    mouse_b = 1;
    key[KEY_LCONTROL] = 1;
}

static void busy_one_player_game()
{
    new_game(MENU_ONE_PLAYER);
    srand(SCENE_SEED);
    mouse_b = 1;
}

static void busy_game()
{
    double slowest = 0;
    for (int f = 0; f < BUSY_FRAMES; f++) {
        int sweep = f % 320;
        mouse_y = sweep < 160 ? sweep : 320 - sweep;
        key[KEY_UP] = (f / 150) % 2;
        key[KEY_DOWN] = !key[KEY_UP];
        clock_level();
        double t0 = thread_cpu_ms();
        play_pass(draw_play_frame);
        slowest = std::max(slowest, thread_cpu_ms() - t0);
    }
    slowest_busy_frame_ms = slowest;
}

// The longest recorded game of the tests, played back as the timedemo plays it: one frame a
// logic step, as fast as it goes. Each pass is timed; the run's mean and slowest are reported.
// A step whose recorded S key saves dump.pcx writes a file; the slowest step without one is
// reported too.
static int recorded_frames;
static double last_pass_end_ms, slowest_pass_ms, slowest_unshot_pass_ms;

static void load_longest_recording()
{
    char why[512];
    if (!read_recording(RECORDINGS_DIR "/one-player.rec", why, sizeof why)) {
        fprintf(stderr, "bench: %s\n", why);
        exit(1);
    }
}

static void time_recorded_pass()
{
    double now = thread_cpu_ms();
    slowest_pass_ms = std::max(slowest_pass_ms, now - last_pass_end_ms);
    if (!step_key(STEP_KEY_SHOT))
        slowest_unshot_pass_ms = std::max(slowest_unshot_pass_ms, now - last_pass_end_ms);
    last_pass_end_ms = now;
}

static void recorded_game()
{
    slowest_pass_ms = slowest_unshot_pass_ms = 0;
    last_pass_end_ms = thread_cpu_ms();
    replay_outcome o = play_back_recording(false, time_recorded_pass);
    if (!o.in_step) fprintf(stderr, "bench: the recording went out of step at %d\n", o.out_of_step);
    recorded_frames = o.steps;
    slowest_busy_frame_ms = slowest_pass_ms;
}

struct scenario {
    const char *name, *label;
    int frames;             // frames in one measured run; 0: the recorded game's
    void (*prepare)();      // once, before the first run
    void (*setup)();        // before every measured run, not timed
    void (*work)();         // the measured run
    bool must_not_allocate; // a play frame
    double most_floors;     // its limit as a multiple of the floor; 0: none
    double most_of_tick;    // its limit as a share of one tick; 0: none
};

// What a scenario's runs found, by scenario name: every measured run's time per frame on both
// clocks, its heap allocations, and for a busy game its slowest frame.
struct findings {
    std::vector<double> cpu_ms, wall_ms, slowest_ms, slowest_unshot_ms;
    long allocs = 0, frames = 0;
};
static std::map<std::string, findings> found;

static void nothing() {}

// The limits: a peak play frame within 25 floors and a fifth of a tick, the burst within 20
// floors (no quadratic search), the high-score frame within 40 floors, the present step of a 2x
// window within 5 floors (it writes four times the pixels of one copy) and the desktop fill of
// 1920x1080 within 10.
static scenario scenarios[] = {
    {"floor", "floor: background to buffer, buffer to screen", 1, nothing, nothing,
     two_screen_copies, false, 0, 0},
    {"present_window_2x", "present: 2x window, 1600x1200", 1, make_displays, window_2x_view,
     present_window_2x, true, 5, 0},
    {"present_desktop_fill", "present: desktop fill of 1920x1080", 1, make_displays,
     desktop_fill_view_1080, present_desktop_fill, true, 10, 0},
    {"stretch_blit_2x", "the library's stretch_blit to 1600x1200", 1, make_displays, nothing,
     stretch_blit_2x, false, 0, 0},
    {"send_window_2x", "present and send a changed picture: 2x window", 1, scale_onto_window_2x,
     change_the_picture, offer_at_next_tick, true, 0, 0},
    {"look_unchanged", "look at an unchanged picture: 2x window", 1, scale_onto_window_2x, nothing,
     offer_at_next_tick, true, 0, 0},
    {"play_opening", "play frame, opening position", 1, opening_position, clock_at_start,
     one_play_pass, true, 0, 0},
    {"play_peak_full", "play frame, peak load, table full", 1, describe_peak_load,
     peak_load_table_full, one_play_pass, true, 25, 0.2},
    {"play_peak_room", "play frame, peak load, room for its requests", 1, nothing,
     peak_load_table_with_room, one_play_pass, true, 25, 0.2},
    {"burst_empty", "game-over burst, 8760 into an empty table", 1, nothing, burst_into_empty_table,
     burst_bumpers, false, 20, 0},
    {"burst_half", "game-over burst, into a half-full table", 1, nothing,
     burst_into_half_full_table, burst_bumpers, false, 0, 0},
    {"gameover_frame", "game-over frame right after the burst", 1, nothing, gameover_after_peak,
     one_gameover_pass, true, 0, 0},
    {"hiscore_frame", "high-score table screen frame", 1, nothing, nothing, hiscore_table_frame,
     false, 40, 0},
    {"busy_two_players", "busy two-player game, mean of 1000 frames", BUSY_FRAMES, nothing,
     busy_two_player_game, busy_game, true, 0, 0},
    {"busy_one_player", "busy one-player game, mean of 1000 frames", BUSY_FRAMES, nothing,
     busy_one_player_game, busy_game, true, 0, 0},
    {"recorded_game", "recorded game (one-player.rec), timedemo, mean", 0, load_longest_recording,
     nothing, recorded_game, false, 0, 0},
};

static void run_scenario(benchmark::State &state, scenario *s)
{
    start();
    s->prepare();
    findings &f = found[s->name];
    for (auto _ : state) {
        s->setup();
        allocations = 0;
        double w0 = wall_ms(), t0 = thread_cpu_ms();
        counting = true;
        s->work();
        counting = false;
        double t1 = thread_cpu_ms(), w1 = wall_ms();
        state.SetIterationTime((t1 - t0) / 1e3);
        int frames = s->frames > 0 ? s->frames : recorded_frames;
        f.cpu_ms.push_back((t1 - t0) / frames);
        f.wall_ms.push_back((w1 - w0) / frames);
        f.allocs += allocations;
        f.frames += frames;
        if (s->work == busy_game || s->work == recorded_game)
            f.slowest_ms.push_back(slowest_busy_frame_ms);
        if (s->work == recorded_game) f.slowest_unshot_ms.push_back(slowest_unshot_pass_ms);
    }
    clear_input();
    use_display_view(window_view(1));
    display_bitmap = nullptr; // the game draws unscaled again after a present scenario
}

// ---- the summary table ----

// The console shows only the repetitions' aggregates; the table below is made of every run.
class aggregates_reporter : public benchmark::ConsoleReporter {
  public:
    // Colours only on a terminal, so a log or a pipe gets plain text.
    aggregates_reporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular)
    {
    }
    void ReportRuns(const std::vector<Run> &runs) override
    {
        std::vector<Run> shown;
        for (const Run &r : runs)
            if (r.run_type == Run::RT_Aggregate) shown.push_back(r);
        if (!shown.empty()) ConsoleReporter::ReportRuns(shown);
    }
};

static double quantile(std::vector<double> v, double q)
{
    std::sort(v.begin(), v.end());
    return v[static_cast<size_t>(q * (v.size() - 1) + 0.5)];
}

static double median(const std::vector<double> &v)
{
    return quantile(v, 0.5);
}

// "ok" when every limit of the scenario is kept, else what is over.
static std::string verdict(const scenario &s, double floors, double of_tick, long allocs)
{
    std::string over;
    if (s.most_floors > 0 && floors > s.most_floors) over += " floors";
    if (s.most_of_tick > 0 && of_tick > s.most_of_tick) over += " tick";
    if (s.must_not_allocate && allocs != 0) over += " heap";
    if (!over.empty()) return "OVER:" + over;
    return s.most_floors > 0 || s.most_of_tick > 0 || s.must_not_allocate ? "ok" : "";
}

static std::string limits(const scenario &s)
{
    char text[32] = "";
    if (s.most_floors > 0 && s.most_of_tick > 0)
        snprintf(text, sizeof text, "%.0fx, %.0f%%", s.most_floors, s.most_of_tick * 100);
    else if (s.most_floors > 0)
        snprintf(text, sizeof text, "%.0fx", s.most_floors);
    return text;
}

static void print_table()
{
    const findings &floor_found = found[scenarios[0].name];
    if (floor_found.cpu_ms.empty()) return;
    double floor_ms = median(floor_found.cpu_ms);
    printf("\n%-46s %9s %8s %7s %7s %7s %9s %8s %-10s %s\n", "scenario", "median ms", "x floor",
           "% tick", "spread", "runs", "wall ms", "allocs/f", "limit", "");
    for (const scenario &s : scenarios) {
        const findings &f = found[s.name];
        if (f.cpu_ms.empty()) continue;
        double med = median(f.cpu_ms);
        double spread = (quantile(f.cpu_ms, 0.75) - quantile(f.cpu_ms, 0.25)) / med * 100;
        double allocs_per_frame = double(f.allocs) / f.frames;
        printf("%-46s %9.3f %8.1f %6.1f%% %6.0f%% %7zu %9.3f %8.1f %-10s %s\n", s.label, med,
               med / floor_ms, med / TICK_MS * 100, spread, f.cpu_ms.size(), median(f.wall_ms),
               allocs_per_frame, limits(s).c_str(),
               verdict(s, med / floor_ms, med / TICK_MS, f.allocs).c_str());
        if (!f.slowest_ms.empty()) {
            double slowest = median(f.slowest_ms);
            printf("%-46s %9.3f %8.1f %6.1f%%\n", "  its slowest frame (median of the runs)",
                   slowest, slowest / floor_ms, slowest / TICK_MS * 100);
        }
        if (!f.slowest_unshot_ms.empty()) {
            double slowest = median(f.slowest_unshot_ms);
            printf("%-46s %9.3f %8.1f %6.1f%%\n", "  its slowest frame that saves no screenshot",
                   slowest, slowest / floor_ms, slowest / TICK_MS * 100);
        }
    }
    printf("\nmedian ms: thread CPU time per frame, the median of all measured runs (a busy game's "
           "run is its 1000 frames);\nspread: the runs' interquartile range over that median; "
           "wall ms: the median on the wall clock, which also counts time slices lost to\nother "
           "processes; allocs/f: heap allocations per frame inside the measured runs. floor = "
           "%.4f ms, one tick = %.3f ms.\n",
           floor_ms, TICK_MS);
}

int main(int argc, char **argv)
{
    for (scenario &s : scenarios) {
        auto *b = benchmark::RegisterBenchmark(s.name, run_scenario, &s);
        b->UseManualTime()->Unit(benchmark::kMillisecond);
        if (s.frames == 0)
            b->Iterations(1)->Repetitions(3);
        else if (s.frames > 1)
            b->Iterations(1)->Repetitions(9);
        else
            b->MinTime(0.05)->Repetitions(15);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    aggregates_reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    print_table();
    return 0;
}
