// get_brumzel_pixels -- samples the bumper logo into a list of pixels for the game-over burst
#include "get_brumzel_pixels.h"

#include "init.h"

// Placeholder bodies until this module is built.
brumzel_pixel brumzel_pixels[BRUMZEL_PIXEL_SLOTS];

void get_brumzel_pixels()
{
}
