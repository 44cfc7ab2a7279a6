// display -- the game's 800x600 frame and the display mode that shows it
#include "display.h"

#include <allegro.h>
#include <cstdlib>

void set_display_mode()
{
    static const int depths[] = {16, 24, 32};
    for (int depth : depths) {
        set_color_depth(depth);
        if (set_gfx_mode(GFX_AUTODETECT_FULLSCREEN, SCREEN_WIDTH, SCREEN_HEIGHT, 0, 0) == 0) return;
    }
    set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
    allegro_message("Unable to set 16,24 or 32 bit graphic mode\n%s\n", allegro_error);
    exit(1);
}
