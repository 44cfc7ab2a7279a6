#ifndef NEW_BALL_H
#define NEW_BALL_H
// new_ball -- launches a ball from a side's launcher, at most once every 16 logic steps

constexpr int LAUNCH_GAP = 16; // logic steps a side must wait between two launches
constexpr double BALL_DIAMETER = 10, BALL_MASS = 1;

// The ball slot a launch takes: the lowest free one of 0-49, or 50 when all are taken.
int free_ball_slot();
// Launches a ball of side type (1 or 2) if the side may fire and has balls left.
void new_ball(int type);

#endif
