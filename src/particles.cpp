// particles -- ball trails, explosion sprays and the game-over burst: short-lived specks
#include "particles.h"

#include "init.h"

// Placeholder bodies until this module is built.
particle_record particles[PARTICLE_SLOTS];

int MAX_PARTICLES = PARTICLE_SLOTS;

void initialise_particles()
{
}

void create_particle(int x, int y, double speed, int type, int red, int grn, int blu, int life)
{
}

void update_particle()
{
}

void display_particles()
{
}
