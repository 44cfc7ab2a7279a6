#ifndef PARTICLES_H
#define PARTICLES_H
#include <cstdint>

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

// The game's one random generator (rand() lives in this module): its ring of words and its two
// positions, the front and the rear, are the whole of its state. A replay starts from a snapshot
// and checks it as part of the game's state.
constexpr int RANDOM_RING_WORDS = 31, RANDOM_SEPARATION = 3;
struct random_snapshot {
    int32_t ring[RANDOM_RING_WORDS];
    int front, rear; // indices into ring; front is always rear + 3 round the ring
};
random_snapshot snapshot_random();
// Puts the generator back as a snapshot had it; a snapshot whose positions are not a ring's is
// refused (false) and changes nothing.
bool restore_random(const random_snapshot &s);
// How many numbers the generator has given since the start: what a stretch of code drew.
extern unsigned long long random_numbers_drawn;
// Live particles drawn as blobs: each takes one random number every time it is drawn.
int live_blobs();

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
