#ifndef EXPLOSIONS_H
#define EXPLOSIONS_H
// explosions -- invisible emitters that spray rings of particles for a few logic steps

constexpr int EXPLOSION_SLOTS = 1001;
// New explosions search 0..999; slot 1000 is taken, live or not, when those are all live.
constexpr int REPLACED_SLOT = 1000;
constexpr int PARTICLES_PER_EXPLOSION_STEP = 41;
struct explosion_record {
    double dummy, x, y;
    int life, speed, type;
};
extern explosion_record explosion[EXPLOSION_SLOTS];

// Frees every explosion.
void initialise_explosions();
// Starts an explosion at (xmin1, ymin1) lasting life steps, spraying particles of type at speed.
void create_explosion(int xmin1, int ymin1, int life, int speed, int type);
// Each live explosion sprays 41 particles, then loses one step of life.
void do_explosions();

#endif
