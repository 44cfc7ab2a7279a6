// move_sprites -- moves balls and bumpers, drops ball trails, spins bumpers; friction on balls
#include "move_sprites.h"

#include <cmath>

#include "init.h"
#include "particles.h"

// A ball sheds one slow green (player 1) or blue (player 2) dot per step from the centre of
// its picture, where it was before this step's move.
constexpr int TRAIL_OFFSET = 5, TRAIL_LIFE = 10;
constexpr double TRAIL_SPEED = 0.2;

static void drop_trail(const sprite_record &s)
{
    int blue = s.type == KIND_P2_BALL ? 255 : 0;
    int green = 255 - blue;
    create_particle(static_cast<int>(s.x + TRAIL_OFFSET), static_cast<int>(s.y + TRAIL_OFFSET),
                    TRAIL_SPEED, PARTICLE_DOT, 0, green, blue, TRAIL_LIFE);
}

// A bumper turns by a tenth of its speed sum in hundredths, always forwards.
static void spin_bumper(sprite_record &s)
{
    int rot = static_cast<int>((fabs(s.dx * 100) + fabs(s.dy * 100)) / 10);
    s.angle += rot;
    if (s.angle == 255) s.angle = 0;
}

void move_sprites()
{
    for (int n = 0; n <= LAST_MOVED_SLOT; n++) {
        sprite_record &s = sprite[n];
        bool ball = s.type == KIND_P1_BALL || s.type == KIND_P2_BALL;
        if (ball) drop_trail(s);
        if (ball || s.type == KIND_BUMPER) {
            s.x += s.dx;
            s.y += s.dy;
        }
        if (s.type == KIND_BUMPER) spin_bumper(s);
    }
}

// Friction only on a component faster than the stop speed; slower ones are left alone.
static void slow_down(double &v)
{
    if (v > STOP_SPEED) v *= FRICTION;
    if (v < -STOP_SPEED) v *= FRICTION;
}

void reduce_speed()
{
    for (int n = 0; n <= LAST_SLOWED_SLOT; n++) {
        sprite_record &s = sprite[n];
        slow_down(s.dx);
        slow_down(s.dy);
        if (fabs(s.dx) < STOP_SPEED && fabs(s.dy) < STOP_SPEED) s.dx = s.dy = 0;
        // A stopped ball leaves the field; one in the overflow slot stays as an obstacle.
        if (s.dx == 0 && s.dy == 0 && n <= LAST_BALL_SLOT) s.type = KIND_FREE;
    }
}
