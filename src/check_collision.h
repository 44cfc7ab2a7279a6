#ifndef CHECK_COLLISION_H
#define CHECK_COLLISION_H
// check_collision -- circle collisions with mass, ball and bumper rules, side lines and scoring

constexpr double LEFT_SIDE_LINE = 28, RIGHT_SIDE_LINE = 772;

void check_collision();

#endif
