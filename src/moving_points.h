#ifndef MOVING_POINTS_H
#define MOVING_POINTS_H
// moving_points -- score numbers that float from a hit toward the scorer's side

constexpr int MOVING_POINT_LIFE = 200;
constexpr int DRIFT_LEFT = 1; // direction of player 1's points; any other value drifts right

// Shows mult at (x, y), drifting toward player 1 (direction 1) or player 2. It takes the lowest
// free slot of 110-199; with all 90 busy the number is not shown.
void create_new_moving_points(double x, double y, int mult, int direction);
// One logic step: every number drifts one pixel sideways and climbs toward the top edge.
void update_moving_points();
// Draws every live number into buffer.
void display_moving_points();

#endif
