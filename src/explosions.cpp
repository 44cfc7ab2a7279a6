// explosions -- invisible emitters that spray rings of particles for a few logic steps
#include "explosions.h"

#include "init.h"

// Placeholder bodies until this module is built.
explosion_record explosion[EXPLOSION_SLOTS];

void initialise_explosions()
{
}

void create_explosion(int xmin1, int ymin1, int life, int speed, int type)
{
}

void do_explosions()
{
}
