#ifndef GAMEOVER_H
#define GAMEOVER_H
// gameover -- the closing scene: the bumpers burst into logo particles under "GAME OVER"

// Bursts the six bumpers into particles and removes them from the field.
void burst_bumpers();
// True while any particle is alive.
bool any_particle_alive();
void gameover();

#endif
