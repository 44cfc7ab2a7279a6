// get_brumzel_pixels -- samples the bumper logo into a list of pixels for the game-over burst
#include "get_brumzel_pixels.h"

#include "gamedata.h"
#include "init.h"

brumzel_pixel brumzel_pixels[BRUMZEL_PIXEL_SLOTS];

// The logo is read through buffer, cleared to black first, one column and one row past the
// logo, so column 60 and row 60 come out black and are kept. Mask-coloured pixels (the logo's
// transparent background) are skipped; kept pixels past the table's end are ignored, and
// entries past the last kept pixel are zero (black, at the logo's corner).
void get_brumzel_pixels()
{
    clear(buffer);
    blit(brumzel1, buffer, 0, 0, 0, 0, LOGO_SIZE, LOGO_SIZE);
    int mask = bitmap_mask_color(buffer);
    int count = 0;
    for (int x = 0; x <= LOGO_SIZE; x++) {
        for (int y = 0; y <= LOGO_SIZE; y++) {
            int value = getpixel(buffer, x, y);
            if (value == mask || count >= BRUMZEL_PIXEL_SLOTS) continue;
            brumzel_pixels[count++] = {x, y, value};
        }
    }
    for (int n = count; n < BRUMZEL_PIXEL_SLOTS; n++)
        brumzel_pixels[n] = {0, 0, 0};
}
