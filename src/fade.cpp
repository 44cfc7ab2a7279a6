// fade -- fades whatever is on the display to black by blending a saved copy over black
#include "fade.h"

#include <allegro.h>

#include "display.h"

int fade_pictures = 0;

// Waits for the display's retrace; a headless run has no display driver to wait on.
static void wait_retrace()
{
    if (gfx_driver) vsync();
}

void highcolor_fade_out(int speed)
{
    // The screen bitmap's own size: the same as the display mode's in the game.
    const int width = screen->w, height = screen->h;
    fade_pictures = 0;
    BITMAP *bmp_orig = create_bitmap(width, height);
    BITMAP *bmp_buff = bmp_orig ? create_bitmap(width, height) : nullptr;
    if (bmp_orig && bmp_buff) {
        blit(screen, bmp_orig, 0, 0, 0, 0, width, height);
        if (speed <= 0) speed = 8;
        for (int a = 255 - speed; a > 0; a -= speed) {
            clear_to_color(bmp_buff, 0);
            set_trans_blender(0, 0, 0, a);
            draw_trans_sprite(bmp_buff, bmp_orig, 0, 0);
            wait_retrace();
            blit(bmp_buff, screen, 0, 0, 0, 0, width, height);
            present_screen();
            fade_pictures++;
            // A closed window ends the fade: the screen goes black at once.
            end_if_closed();
            if (close_requested()) break;
        }
    }
    // Without its bitmaps the fade is skipped and the screen simply goes black.
    if (bmp_buff) destroy_bitmap(bmp_buff);
    if (bmp_orig) destroy_bitmap(bmp_orig);
    rectfill(screen, 0, 0, width, height, makecol(0, 0, 0));
    present_screen();
}
