#ifndef PARTICLES_H
#define PARTICLES_H
// particles -- ball trails, explosion sprays and the game-over burst: short-lived specks

constexpr int PARTICLE_SLOTS = 20000;
struct particle_record {
    double x, y, dx, dy, rx, ry, tx, ty;
    int col, type, radius, life;
};
extern particle_record particles[PARTICLE_SLOTS];
extern int MAX_PARTICLES;

void initialise_particles();
void create_particle(int x, int y, double speed, int type, int red, int grn, int blu, int life);
void update_particle();
void display_particles();

#endif
