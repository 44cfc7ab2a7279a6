// intro -- the opening card: title picture, maker lines and a sound for six seconds
#include "intro.h"

#include "display.h"
#include "fade.h"
#include "gamedata.h"
#include "init.h"

void intro()
{
    play_data_sample(DAT_INTRO_SOUND);
    text_mode_transparent();
    blit(title1, screen, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    textprintf_centre_ex(screen, data_font(DAT_FONT_SCORE), 400, 140, makecol(255, 64, 64), -1,
                         "%s", MAKER_LINE);
    textprintf_centre_ex(screen, data_font(DAT_FONT_TEXT), 400, 180, makecol(255, 255, 0), -1,
                         "By the Brumzel Ball developers.");
    textprintf_centre_ex(screen, data_font(DAT_FONT_TEXT), 400, 220, makecol(255, 255, 0), -1,
                         "Created using the ALLEGRO game programming library");
    present_screen();
    rest_unless_closed(6000);
    highcolor_fade_out(16);
    rest_unless_closed(500);
}
