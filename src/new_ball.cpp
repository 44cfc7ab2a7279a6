// new_ball -- launches a ball from a side's launcher, at most once every 16 logic steps
#include "new_ball.h"

#include "init.h"

// Placeholder bodies until this module is built.
void new_ball(int type)
{
}
