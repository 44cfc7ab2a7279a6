// particles -- ball trails, explosion sprays and the game-over burst: short-lived specks
#include "particles.h"

#include <cmath>
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
    double direction = (rand() % 630) / 100.0;
    p.dx = sin(direction) * speed;
    p.dy = cos(direction) * speed;
    p.rx = PARTICLE_SHAKE;
    p.ry = PARTICLE_SHAKE;
    p.type = type;
    p.col = makecol(red, grn, blu);
    p.life = life;
    // A particle born dead leaves its record free, so the lowest free index stays n.
    lowest_free = life > 0 ? n + 1 : n;
}

// Adds rand() % range and takes away another rand() % range: with range 2 a shake of -1, 0
// or +1. A range below 1 gives no shake (a remainder by 0 is undefined).
static double shake(double range)
{
    int r = static_cast<int>(range);
    if (r <= 0) return 0;
    int up = rand() % r;
    int down = rand() % r;
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

void display_particles()
{
    int limit = particle_limit();
    for (int n = 0; n < limit; n++) {
        const particle_record &p = particles[n];
        if (p.life <= 0) continue;
        int x1 = static_cast<int>(p.x), y1 = static_cast<int>(p.y);
        switch (p.type) {
        case PARTICLE_STREAK:
            line(buffer, x1, y1, static_cast<int>(p.tx), static_cast<int>(p.ty), p.col);
            break;
        case PARTICLE_DOT:
            putpixel(buffer, x1, y1, p.col);
            break;
        case PARTICLE_BLOB:
            circlefill(buffer, x1, y1, rand() % 3 + 1, p.col);
            break;
        default:
            break; // an unknown style is moved and aged but not drawn
        }
    }
}
