// check_collision -- circle collisions with mass, ball and bumper rules, side lines and scoring
#include "check_collision.h"

#include "init.h"

// Placeholder bodies until this module is built.
void check_collision()
{
}
