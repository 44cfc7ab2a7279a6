#ifndef SIM_HELPERS_H
#define SIM_HELPERS_H
// sim_helpers -- set-up and counting helpers shared by the tests of the play-field simulation
#include "explosions.h"
#include "init.h"
#include "particles.h"
#include "rebound_effect.h"

// Puts a ball (kinds 1, 2) or a bumper (kind 3) in a slot, as launches and set-up make them.
inline void place(int slot, int type, double x, double y, double dx, double dy)
{
    sprite_record &s = sprite[slot];
    s.type = type;
    s.x = x;
    s.y = y;
    s.dx = dx;
    s.dy = dy;
    s.w = s.h = type == KIND_BUMPER ? 60 : 10;
    s.mass = type == KIND_BUMPER ? 20 : 1;
}

inline void clear_sprite_table()
{
    for (sprite_record &s : sprite)
        s = sprite_record{};
}

inline int live_particles()
{
    int count = 0;
    for (const particle_record &p : particles)
        count += p.life > 0;
    return count;
}

inline int live_explosions()
{
    int count = 0;
    for (const explosion_record &e : explosion)
        count += e.life > 0;
    return count;
}

inline int live_flashes()
{
    int count = 0;
    for (const rebound_record &r : rebound)
        count += r.life > 0;
    return count;
}

inline int live_moving_points()
{
    int count = 0;
    for (int n = FIRST_POINTS_SLOT; n <= LAST_POINTS_SLOT; n++)
        count += sprite[n].life > 0;
    return count;
}

// Pixels of buffer that are not black.
inline int drawn_pixels()
{
    int count = 0;
    for (int y = 0; y < buffer->h; y++)
        for (int x = 0; x < buffer->w; x++)
            count += getpixel(buffer, x, y) != 0;
    return count;
}

#endif
