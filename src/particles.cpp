// particles -- ball trails, explosion sprays and the game-over burst: short-lived specks
#include "particles.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "init.h"

particle_record particles[PARTICLE_SLOTS];

int MAX_PARTICLES = PARTICLE_SLOTS;

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
    int v = rand();
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
// rectangle of a 16- or 32-bit memory bitmap, it is written straight into the bitmap's lines
// (the game draws in the library's solid mode throughout), a streak walked by the library's own
// line stepper: the pixels are exactly those putpixel and line would set, without their clipping
// and bank switching for each one. Everything else is drawn by the library.
template <typename Pixel> static void put_inside(BITMAP *bmp, int x, int y, int col)
{
    reinterpret_cast<Pixel *>(bmp->line[y])[x] = static_cast<Pixel>(col);
}

struct particle_canvas {
    BITMAP *bmp;
    void (*put)(BITMAP *, int, int, int); // nullptr: the library draws every particle
    int left, top, right, bottom;         // the writable area, right and bottom excluded
    bool inside(int x, int y) const
    {
        return x >= left && x < right && y >= top && y < bottom;
    }
};

static particle_canvas canvas_of(BITMAP *bmp)
{
    particle_canvas c = {bmp, nullptr, 0, 0, bmp->w, bmp->h};
    if (bmp->clip) {
        c.left = bmp->cl > 0 ? bmp->cl : 0;
        c.top = bmp->ct > 0 ? bmp->ct : 0;
        c.right = bmp->cr < bmp->w ? bmp->cr : bmp->w;
        c.bottom = bmp->cb < bmp->h ? bmp->cb : bmp->h;
    }
    if (is_memory_bitmap(bmp)) {
        int depth = bitmap_color_depth(bmp);
        if (depth == 15 || depth == 16) c.put = put_inside<uint16_t>;
        if (depth == 32) c.put = put_inside<uint32_t>;
    }
    return c;
}

static void draw_streak(const particle_canvas &c, int x1, int y1, int x2, int y2, int col)
{
    if (c.put && c.inside(x1, y1) && c.inside(x2, y2))
        do_line(c.bmp, x1, y1, x2, y2, col, c.put);
    else
        line(c.bmp, x1, y1, x2, y2, col);
}

static void draw_dot(const particle_canvas &c, int x, int y, int col)
{
    if (c.put && c.inside(x, y))
        c.put(c.bmp, x, y, col);
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
