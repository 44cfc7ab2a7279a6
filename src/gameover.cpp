// gameover -- the closing scene: the bumpers burst into logo particles under "GAME OVER"
#include "gameover.h"

#include "init.h"

// Placeholder bodies until this module is built.
void burst_bumpers()
{
}

bool any_particle_alive()
{
    return false;
}

void gameover()
{
}
