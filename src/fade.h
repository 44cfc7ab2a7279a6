#ifndef FADE_H
#define FADE_H
// fade -- fades whatever is on the display to black by blending a saved copy over black

// Fades the screen out, dropping opacity by speed (0-255; 0 or less means 8) per step.
void highcolor_fade_out(int speed);
// How many blended pictures the latest fade showed before the screen went black.
extern int fade_pictures;

#endif
