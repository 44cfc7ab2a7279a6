#ifndef EXPLOSIONS_H
#define EXPLOSIONS_H
// explosions -- invisible emitters that spray rings of particles for a few logic steps

constexpr int EXPLOSION_SLOTS = 1001;
constexpr int PARTICLES_PER_EXPLOSION_STEP = 41;
struct explosion_record {
    double dummy, x, y;
    int life, speed, type;
};
extern explosion_record explosion[EXPLOSION_SLOTS];

void initialise_explosions();
void create_explosion(int xmin1, int ymin1, int life, int speed, int type);
void do_explosions();

#endif
