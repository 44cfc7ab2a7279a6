// explosions -- invisible emitters that spray rings of particles for a few logic steps
#include "explosions.h"

#include "particles.h"

explosion_record explosion[EXPLOSION_SLOTS];

// Every explosion sprays pale pink.
constexpr int SPRAY_RED = 255, SPRAY_GREEN = 200, SPRAY_BLUE = 200;

void initialise_explosions()
{
    for (explosion_record &e : explosion)
        e.life = 0;
}

// Takes the lowest free record of 0-999; when all of those are live, record 1000 is taken
// whatever it holds, cutting its explosion short, so a full table never overflows.
void create_explosion(int xmin1, int ymin1, int life, int speed, int type)
{
    int n = 0;
    while (n < REPLACED_SLOT && explosion[n].life > 0)
        n++;
    explosion_record &e = explosion[n];
    e.life = life;
    e.speed = speed;
    e.y = ymin1;
    e.x = xmin1;
    e.type = type;
}

void do_explosions()
{
    for (explosion_record &e : explosion) {
        if (e.life <= 0) continue;
        for (int k = 0; k < PARTICLES_PER_EXPLOSION_STEP; k++)
            create_particle(static_cast<int>(e.x), static_cast<int>(e.y), e.speed, e.type,
                            SPRAY_RED, SPRAY_GREEN, SPRAY_BLUE, e.life);
        e.life--;
    }
}
