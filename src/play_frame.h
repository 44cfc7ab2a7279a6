#ifndef PLAY_FRAME_H
#define PLAY_FRAME_H
// play_frame -- composing a frame of play and drawing frames paced by the tick counter

// Composes one frame of play in buffer: field, score bar, sprites, particles, numbers, flashes.
void compose_play_frame();
// Composes one frame of play and copies it to the screen.
void draw_play_frame();
// Draws frames for one pass: one, and more while the logic is ahead of the tick counter.
// Returns how many frames were drawn.
int draw_paced(void (*draw_frame)());

#endif
