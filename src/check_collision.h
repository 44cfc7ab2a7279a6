#ifndef CHECK_COLLISION_H
#define CHECK_COLLISION_H
// check_collision -- circle collisions with mass, ball and bumper rules, side lines and scoring

constexpr double LEFT_SIDE_LINE = 28, RIGHT_SIDE_LINE = 772;
constexpr int SIDE_LINE_POINTS = 250; // a bumper over a side line, for the other side
constexpr int FASTEST_SCORING_CLASS = 5;
constexpr int SHOWN_HIT_CLASS = 2; // a hit above this speed class shows its points

// Points of a bumper hit by the bumper's speed class after the hit (1 and up); 0 above class 5.
int bumper_hit_points(int speed_class);

// One logic step of physics and rules over slots 0-108: every touching pair of balls, bumpers
// and edge circles is pushed apart and bounced by mass; balls that meet destroy each other;
// a ball striking a bumper scores for its owner and is used up; bumpers clash, flash corner
// pads; the side lines turn everything back and score 250 for a bumper beyond them.
void check_collision();

#endif
