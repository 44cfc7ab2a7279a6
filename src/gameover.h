#ifndef GAMEOVER_H
#define GAMEOVER_H
// gameover -- the closing scene: the bumpers burst into logo particles under "GAME OVER"

constexpr int BURST_PIXEL_STEP = 2;    // every second logo pixel becomes a particle
constexpr int BURST_LAST_PIXEL = 2918; // 1460 particles per bumper
constexpr int GAMEOVER_X = 250, GAMEOVER_Y = 100;

// Plays the game-over sound, bursts the six bumpers into particles and removes them.
void burst_bumpers();
// True while any particle is alive.
bool any_particle_alive();
// One logic step of the closing scene: the play step without player input.
void gameover_logic_step();
// Draws one frame of the closing scene into buffer and copies it to the screen.
void draw_gameover_frame();
// Lets the field run on until the last particle has died, paced by target_frames.
void run_gameover_loop();
// The whole closing scene: burst, closing loop, fade out and a half-second pause.
void gameover();

#endif
