// play_frame -- composing a frame of play and drawing frames paced by the tick counter
#include "play_frame.h"

#include <allegro.h>

#include "create_play_area.h"
#include "display.h"
#include "display_sprites.h"
#include "game_input.h"
#include "gamedata.h"
#include "init.h"
#include "moving_points.h"
#include "particles.h"
#include "rebound_effect.h"

void compose_play_frame()
{
    blit(background, buffer, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    create_play_area();
    display_sprites();
    display_particles();
    display_moving_points();
    do_pad_rebound();
}

void draw_play_frame()
{
    compose_play_frame();
    blit(buffer, screen, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    present_screen();
}

// Logic never runs ahead of the clock: while it is ahead, the same picture is drawn again,
// without sleeping, until the ticks catch up. Behind, one frame is drawn and nothing skipped.
int draw_paced(void (*draw_frame)())
{
    int frames = 0;
    do {
        draw_frame();
        frames++;
    } while (!clock_caught_up());
    return frames;
}
