// particles -- ball trails, explosion sprays and the game-over burst: short-lived specks
#include "particles.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "init.h"

particle_record particles[PARTICLE_SLOTS];

int MAX_PARTICLES = PARTICLE_SLOTS;

// ---- the game's random numbers ----
// Nearly all of the game's random numbers are drawn here: every live particle shakes with four
// a step, some 80 000 in a busy one. The runtime's rand() takes a lock on every call, which
// costs more than the number itself; the game draws on one thread only, so it runs the
// runtime's own generator unlocked, in a state of its own, where the shake can have it inline:
// seeded by the runtime's srandom_r and stepped as its random_r steps, so rand() and srand()
// give every module exactly the numbers the runtime's would, seed 1 before any srand().
static char random_state_bytes[128]; // the runtime's default generator: degree 31
static random_data random_state;     // zeroed, as initstate_r needs
static bool random_ready = false;

static void start_random(unsigned seed)
{
    initstate_r(seed, random_state_bytes, sizeof random_state_bytes, &random_state);
    random_ready = true;
}

extern "C" void srand(unsigned seed) noexcept
{
    if (random_ready)
        srandom_r(seed, &random_state);
    else
        start_random(seed);
}

// One step of the additive feedback generator: the front word gains the rear one, both move on
// round the ring, and the sum without its lowest bit is the number. This is rand(), in a form
// the shake can have inline.
unsigned long long random_numbers_drawn = 0;

static inline int next_random()
{
    if (!random_ready) start_random(1);
    random_numbers_drawn++;
    random_data &g = random_state;
    uint32_t sum = static_cast<uint32_t>(*g.fptr) + static_cast<uint32_t>(*g.rptr);
    *g.fptr = static_cast<int32_t>(sum);
    ++g.fptr;
    ++g.rptr;
    if (g.fptr >= g.end_ptr)
        g.fptr = g.state;
    else if (g.rptr >= g.end_ptr)
        g.rptr = g.state;
    return static_cast<int>(sum >> 1);
}

extern "C" int rand() noexcept
{
    return next_random();
}

random_snapshot snapshot_random()
{
    if (!random_ready) start_random(1);
    random_snapshot s;
    for (int n = 0; n < RANDOM_RING_WORDS; n++)
        s.ring[n] = random_state.state[n];
    s.front = static_cast<int>(random_state.fptr - random_state.state);
    s.rear = static_cast<int>(random_state.rptr - random_state.state);
    return s;
}

bool restore_random(const random_snapshot &s)
{
    bool in_ring =
        s.front >= 0 && s.front < RANDOM_RING_WORDS && s.rear >= 0 && s.rear < RANDOM_RING_WORDS;
    if (!in_ring || (s.rear + RANDOM_SEPARATION) % RANDOM_RING_WORDS != s.front) return false;
    if (!random_ready) start_random(1);
    for (int n = 0; n < RANDOM_RING_WORDS; n++)
        random_state.state[n] = s.ring[n];
    random_state.fptr = random_state.state + s.front;
    random_state.rptr = random_state.state + s.rear;
    return true;
}

// Every record below this index is live. A new particle still takes the lowest free index, but
// the search starts here instead of at 0, so a burst of thousands of particles costs one pass.
// It moves up as records are taken and down as they are freed.
static int lowest_free = 0;

// The passes never run past the table, whatever MAX_PARTICLES says.
static int particle_limit()
{
    if (MAX_PARTICLES < 0) return 0;
    return MAX_PARTICLES < PARTICLE_SLOTS ? MAX_PARTICLES : PARTICLE_SLOTS;
}

void initialise_particles()
{
    int limit = particle_limit();
    for (int n = 0; n < limit; n++)
        particles[n].life = 0;
    lowest_free = 0;
}

int live_blobs()
{
    int limit = particle_limit(), blobs = 0;
    for (int n = 0; n < limit; n++)
        blobs += particles[n].life > 0 && particles[n].type == PARTICLE_BLOB;
    return blobs;
}

// A direction is one of 630 hundredths of a radian; their sines and cosines are worked out once,
// by the same sin and cos, instead of for each of the thousands of particles of a busy step.
constexpr int DIRECTIONS = 630;
static double direction_sin[DIRECTIONS], direction_cos[DIRECTIONS];
static bool directions_ready = false;

static void prepare_directions()
{
    for (int k = 0; k < DIRECTIONS; k++) {
        double direction = k / 100.0;
        direction_sin[k] = sin(direction);
        direction_cos[k] = cos(direction);
    }
    directions_ready = true;
}

void create_particle(int x, int y, double speed, int type, int red, int grn, int blu, int life)
{
    int limit = particle_limit();
    int n = lowest_free;
    while (n < limit && particles[n].life > 0)
        n++;
    if (n >= limit) {
        lowest_free = limit;
        return; // every record is live: the particle is dropped
    }
    particle_record &p = particles[n];
    p.x = x;
    p.y = y;
    if (!directions_ready) prepare_directions();
    int direction = rand() % DIRECTIONS; // in hundredths of a radian
    p.dx = direction_sin[direction] * speed;
    p.dy = direction_cos[direction] * speed;
    p.rx = PARTICLE_SHAKE;
    p.ry = PARTICLE_SHAKE;
    p.type = type;
    p.col = makecol(red, grn, blu);
    p.life = life;
    // A particle born dead leaves its record free, so the lowest free index stays n.
    lowest_free = life > 0 ? n + 1 : n;
}

// rand() % r. Every particle shakes with range 2, where the remainder is a mask rather than
// the division it costs for any r.
static int draw_below(int r)
{
    int v = next_random();
    return r == 2 ? v % 2 : v % r;
}

// Adds rand() % range and takes away another rand() % range: with range 2 a shake of -1, 0
// or +1. A range below 1 gives no shake (a remainder by 0 is undefined).
static double shake(double range)
{
    int r = static_cast<int>(range);
    if (r <= 0) return 0;
    int up = draw_below(r);
    int down = draw_below(r);
    return up - down;
}

void update_particle()
{
    int limit = particle_limit();
    int first_free = limit;
    for (int n = 0; n < limit; n++) {
        particle_record &p = particles[n];
        if (p.life > 0) {
            p.tx = p.x;
            p.ty = p.y;
            p.x += p.dx;
            p.y += p.dy;
            if (p.rx > 0) p.x += shake(p.rx);
            if (p.ry > 0) p.y += shake(p.ry);
            p.life--;
        }
        if (p.life <= 0 && first_free == limit) first_free = n;
    }
    lowest_free = first_free;
}

// Thousands of particles are drawn a frame. Where every pixel of one lies inside the clip
// rectangle of a 15/16- or 32-bit memory bitmap, it is written straight into its lines
// (the game draws in the library's solid mode throughout), a streak walked the way the
// library's line walks it: the pixels are exactly those putpixel and line would set, without
// their clipping, bank switching and call for each one. Everything else is drawn by the library.
struct particle_canvas {
    BITMAP *bmp;
    int pixel_size;               // 2 or 4 bytes written straight in; 0: the library draws
    int left, top, right, bottom; // the writable area, right and bottom excluded
    bool inside(int x, int y) const
    {
        return x >= left && x < right && y >= top && y < bottom;
    }
};

static particle_canvas canvas_of(BITMAP *bmp)
{
    particle_canvas c = {bmp, 0, 0, 0, bmp->w, bmp->h};
    if (bmp->clip) {
        c.left = bmp->cl > 0 ? bmp->cl : 0;
        c.top = bmp->ct > 0 ? bmp->ct : 0;
        c.right = bmp->cr < bmp->w ? bmp->cr : bmp->w;
        c.bottom = bmp->cb < bmp->h ? bmp->cb : bmp->h;
    }
    if (is_memory_bitmap(bmp)) {
        int depth = bitmap_color_depth(bmp);
        if (depth == 15 || depth == 16) c.pixel_size = 2;
        if (depth == 32) c.pixel_size = 4;
    }
    return c;
}

template <typename Pixel> static void put(BITMAP *bmp, int x, int y, int col)
{
    reinterpret_cast<Pixel *>(bmp->line[y])[x] = static_cast<Pixel>(col);
}

// The library's line: one pixel a step along the longer axis (x on a tie), end points included,
// with a step across whenever the error term, started at twice the short side less the long
// one, is not negative.
template <typename Pixel>
static void streak_inside(BITMAP *bmp, int x1, int y1, int x2, int y2, int col)
{
    int dx = x2 - x1, dy = y2 - y1;
    bool x_long = abs(dx) >= abs(dy);
    int along = x_long ? abs(dx) : abs(dy), across = x_long ? abs(dy) : abs(dx);
    int step_x = dx >= 0 ? 1 : -1, step_y = dy >= 0 ? 1 : -1;
    int error = 2 * across - along;
    int x = x1, y = y1;
    for (int n = 0; n <= along; n++) {
        put<Pixel>(bmp, x, y, col);
        bool step_across = error >= 0;
        error += step_across ? 2 * (across - along) : 2 * across;
        if (x_long) {
            x += step_x;
            if (step_across) y += step_y;
        } else {
            y += step_y;
            if (step_across) x += step_x;
        }
    }
}

static void draw_streak(const particle_canvas &c, int x1, int y1, int x2, int y2, int col)
{
    bool direct = c.pixel_size && c.inside(x1, y1) && c.inside(x2, y2);
    if (direct && c.pixel_size == 2)
        streak_inside<uint16_t>(c.bmp, x1, y1, x2, y2, col);
    else if (direct)
        streak_inside<uint32_t>(c.bmp, x1, y1, x2, y2, col);
    else
        line(c.bmp, x1, y1, x2, y2, col);
}

static void draw_dot(const particle_canvas &c, int x, int y, int col)
{
    bool direct = c.pixel_size && c.inside(x, y);
    if (direct && c.pixel_size == 2)
        put<uint16_t>(c.bmp, x, y, col);
    else if (direct)
        put<uint32_t>(c.bmp, x, y, col);
    else
        putpixel(c.bmp, x, y, col);
}

void display_particles()
{
    particle_canvas canvas = canvas_of(buffer);
    int limit = particle_limit();
    for (int n = 0; n < limit; n++) {
        const particle_record &p = particles[n];
        if (p.life <= 0) continue;
        int x1 = static_cast<int>(p.x), y1 = static_cast<int>(p.y);
        switch (p.type) {
        case PARTICLE_STREAK:
            draw_streak(canvas, x1, y1, static_cast<int>(p.tx), static_cast<int>(p.ty), p.col);
            break;
        case PARTICLE_DOT:
            draw_dot(canvas, x1, y1, p.col);
            break;
        case PARTICLE_BLOB:
            circlefill(buffer, x1, y1, rand() % 3 + 1, p.col);
            break;
        default:
            break; // an unknown style is moved and aged but not drawn
        }
    }
}
