// get_ready -- "GET READY", the counts 3, 2, 1, "GO", and the start of the game's clock
#include "get_ready.h"

#include <allegro.h>

#include "create_play_area.h"
#include "display.h"
#include "display_sprites.h"
#include "gamedata.h"
#include "init.h"
#include "player_input.h"

constexpr int COUNT_X = 390, COUNT_Y = 150, GO_X = 385;
constexpr int LEVEL_AIM_MOUSE_Y = 80;

// The counts go straight to the screen, each on a black box that hides the one before.
static void show_count(const char *text, int x, int sample, int pause_ms)
{
    textprintf_ex(screen, data_font(DAT_FONT_LARGE), x, COUNT_Y, makecol(255, 255, 255), 0, "%s",
                  text);
    present_screen();
    if (sample >= 0) play_data_sample(sample);
    rest_unless_closed(pause_ms);
}

void get_ready()
{
    blit(background, buffer, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    // From a clock of 0 the score bar shows the full count of 100.
    reset_target_frames();
    create_play_area();
    display_sprites();
    textprintf_ex(buffer, data_font(DAT_FONT_LARGE), 260, 100, makecol(255, 255, 255), -1,
                  "GET READY");
    blit(buffer, screen, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    present_screen();
    rest_unless_closed(1000);

    show_count("3", COUNT_X, DAT_COUNT3_SOUND, 1000);
    show_count("2", COUNT_X, DAT_COUNT2_SOUND, 1000);
    show_count("1", COUNT_X, DAT_COUNT1_SOUND, 1000);
    show_count("GO", GO_X, -1, 200);

    // Level aim for the left launcher.
    position_game_mouse(0, LEVEL_AIM_MOUSE_Y);

    // The game's clock starts here. The reset is an atomic store and the timer's tick an
    // atomic add, so a tick arriving at this moment is either counted before the reset and
    // discarded with the rest, or counted from 0; it can never write an old count back.
    reset_target_frames();
    actual_frames = 0;
}
