#ifndef MOVING_POINTS_H
#define MOVING_POINTS_H
// moving_points -- score numbers that float from a hit toward the scorer's side

constexpr int MOVING_POINT_LIFE = 200;

void create_new_moving_points(double x, double y, int mult, int direction);
void update_moving_points();
void display_moving_points();

#endif
