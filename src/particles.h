#ifndef PARTICLES_H
#define PARTICLES_H
// particles -- ball trails, explosion sprays and the game-over burst: short-lived specks

constexpr int PARTICLE_SLOTS = 20000;
// Drawing styles.
constexpr int PARTICLE_STREAK = 1, PARTICLE_DOT = 2, PARTICLE_BLOB = 3;
constexpr double PARTICLE_SHAKE = 2.0; // rx and ry of every new particle: a +-1 pixel shake

struct particle_record {
    double x, y, dx, dy, rx, ry, tx, ty;
    int col, type, radius, life;
};
// Only this module changes a particle's life: it keeps track of where the lowest free record
// can be, so a record freed from outside would be found again only after the next update.
extern particle_record particles[PARTICLE_SLOTS];
// Length of every pass over the table; the table's length unless a test shortens it.
extern int MAX_PARTICLES;

// Frees every particle.
void initialise_particles();
// Starts a particle at (x, y) flying at speed in a random direction, in the lowest free record.
// With life 0 or less the record is written but stays free. A full table drops the particle.
void create_particle(int x, int y, double speed, int type, int red, int grn, int blu, int life);
// Moves, shakes and ages every live particle by one logic step.
void update_particle();
// Draws every live particle into buffer.
void display_particles();

#endif
