// display_sprites -- draws the balls and the spinning bumpers of the sprite table
#include "display_sprites.h"

#include "init.h"

// Placeholder bodies until this module is built.
void display_sprites()
{
}
