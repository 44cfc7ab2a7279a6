#ifndef DISPLAY_SPRITES_H
#define DISPLAY_SPRITES_H
// display_sprites -- draws the balls and the spinning bumpers of the sprite table

void display_sprites();

#endif
