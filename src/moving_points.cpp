// moving_points -- score numbers that float from a hit toward the scorer's side
#include "moving_points.h"

#include "init.h"

// Placeholder bodies until this module is built.
void create_new_moving_points(double x, double y, int mult, int direction)
{
}

void update_moving_points()
{
}

void display_moving_points()
{
}
