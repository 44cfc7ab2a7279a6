#ifndef MOVE_SPRITES_H
#define MOVE_SPRITES_H
// move_sprites -- moves balls and bumpers, drops ball trails, spins bumpers; friction on balls

constexpr double FRICTION = 0.992;   // a ball's speed kept per logic step
constexpr double STOP_SPEED = 0.3;   // below this in both components a ball stops
constexpr int LAST_SLOWED_SLOT = 70; // reduce_speed walks 0..70

// One logic step of motion: trails from the balls, then balls and bumpers move, bumpers spin.
void move_sprites();
// Friction on the balls; a ball that has all but stopped is stopped and, in 0-49, removed.
void reduce_speed();

#endif
