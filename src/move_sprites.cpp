// move_sprites -- moves balls and bumpers, drops ball trails, spins bumpers; friction on balls
#include "move_sprites.h"

#include "init.h"

// Placeholder bodies until this module is built.
void move_sprites()
{
}

void reduce_speed()
{
}
